// Running programs: Run in requestAnimationFrame slices so the page stays
// responsive, Step, Step Back and Break, and the words each stop leaves in
// the status bar.
import {StopBudget} from './core.js';
import {Black, Green, Red, setStatus} from './status.js';

const $ = (id) => document.getElementById(id);
// At Max speed the program runs in tasks of this long, one after another,
// and the views are painted once per display frame between them. Running
// inside the frame callback instead left the machine idle whenever a frame
// overran the display's interval (the browser then waits for the next one),
// which on a slower machine halved the speed; between tasks of a few
// milliseconds the browser paints and answers input when it needs to.
const SliceMs = 8;

// While a program runs, the status bar and the terminal are not read out,
// as on the desktop; they are again once it stops.
function announce(on) {
  for (const id of ['status-text', 'output']) $(id).setAttribute('aria-live', on ? 'polite' : 'off');
}

export class Runner {
  // app: refresh() and save() after the machine changed.
  constructor(core, app) {
    this.core = core;
    this.app = app;
    this.running = false;
    // When the core's pacing was last restarted (the run's start, a change
    // of speed, a stall).
    this.paceStart = 0;
    this.chunk = 4096;
    // A task that continues a run at Max speed is queued.
    this.sliceQueued = false;
    this.channel = new MessageChannel();
    this.channel.port1.onmessage = () => {
      this.sliceQueued = false;
      this.slice();
    };
    this.instructions = 0;
    // The breakpoint Run to row set for its run only, -1 none.
    this.runToAddress = -1;
  }

  // From now on at the speed chosen: also when it changed, so that no
  // instructions are owed from the old one.
  restartPacing(now = performance.now()) {
    const speed = $('speed').value;
    if (speed !== 'max') this.core.pacingRestart(Number(speed));
    this.paceStart = now;
  }

  // The status after a run or a step: the core's words, the desktop's
  // ("Halted", "Breakpoint at 0A", "Ready"), in the stop colour when the
  // program stopped at something.
  finish(stop) {
    setStatus(this.core.stopWords(), stop === StopBudget ? Black : Red);
  }

  // A run that stopped by itself (a halt, a breakpoint, ...).
  stopped(stop) {
    this.stop('', Black);
    this.finish(stop);
  }

  step() {
    setStatus('Running...', Green);
    this.finish(this.core.step());
    this.app.refresh();
    this.app.save();
  }

  stepBack() {
    const done = this.core.stepBack();
    // "Stepped back: 3 steps back available", or why not, as the window says.
    setStatus(this.core.stepBackWords(), done ? Black : Red);
    this.app.refresh();
    this.app.save();
  }

  // Edit > Undo / Redo of the student's edits (not while running).
  undo(redo) {
    if (this.running) return;
    const {done, memoryChanged, words} = this.core.undo(redo);
    // Memory that changed is no longer what a file holds.
    if (memoryChanged) this.app.setModified(true);
    this.app.refresh();
    this.app.save();
    setStatus(words, done ? Black : Red);
  }

  run() {
    if (this.running) return;
    this.running = true;
    announce(false);
    setStatus('Running...', Green);
    $('run').disabled = $('run-to-row').disabled = true;
    $('break').disabled = false;
    // At a set speed the first instruction is due at once: a student sees
    // the program start at the click, then one instruction per period.
    this.restartPacing(performance.now());
    // At Max the first task runs at once: a short program has stopped by
    // the time the click is answered.
    if ($('speed').value === 'max') this.slice();
    this.frame(this.paceStart);
  }

  // Runs until PC reaches address (or the program stops before), with a
  // breakpoint there for this run only unless the student set one.
  runTo(address) {
    if (this.running || address < 0) return;
    if (!this.core.breakpoint(address)) {
      this.core.setBreakpoint(address, true);
      this.runToAddress = address;
    }
    this.run();
  }

  stop(text, colour) {
    if (!this.running) return;
    this.running = false;
    announce(true);
    if (this.runToAddress >= 0) {
      this.core.setBreakpoint(this.runToAddress, false);
      this.runToAddress = -1;
    }
    $('run').disabled = $('run-to-row').disabled = false;
    $('break').disabled = true;
    setStatus(text, colour);
    this.app.refresh();
    this.app.save();
  }

  // Max speed: one task's worth of instructions, then the next task is
  // queued (a message to ourselves is not delayed as a timer is).
  // A run started again while the last one's task is still queued goes on
  // with that task: one chain of tasks at a time.
  slice() {
    if (!this.running || $('speed').value !== 'max') return;
    const end = performance.now() + SliceMs;
    let stop = StopBudget;
    for (;;) {
      const start = performance.now();
      // A few instructions more or less each time, so that a loop whose
      // length divides the slice does not show the same PC every frame.
      stop = this.core.run(this.chunk + ((Math.random() * 61) | 0));
      this.instructions += this.core.executed();
      const took = performance.now() - start;
      if (stop !== StopBudget) break;
      if (took < 0.5)
        this.chunk = Math.min(this.chunk * 2, 1 << 24);
      else if (took > 2)
        this.chunk = Math.max(this.chunk >> 1, 256);
      if (performance.now() >= end) break;
    }
    if (stop !== StopBudget) {
      this.stopped(stop);
      return;
    }
    this.queueSlice();
  }

  queueSlice() {
    if (this.sliceQueued) return;
    this.sliceQueued = true;
    this.channel.port2.postMessage(0);
  }

  // Once per display frame while running: the views, and at a set speed the
  // instructions due by now.
  frame(now) {
    if (!this.running) return;
    const speed = $('speed').value;
    if (speed === 'max') {
      this.queueSlice();
    } else {
      const rate = Number(speed);
      let due = this.core.pacingDue((now - this.paceStart) / 1000);
      // At most a fifth of a second is made up after a stall (a hidden tab).
      if (due - this.core.pacingDone() > rate / 5 + 1) {
        this.restartPacing(now);
        due = this.core.pacingDue(0);
      }
      let stop = StopBudget;
      while (stop === StopBudget && this.core.pacingDone() < due) {
        stop = this.core.run(this.core.pacingBatch(due));
        this.core.pacingCount(this.core.executed());
        this.instructions += this.core.executed();
      }
      if (stop !== StopBudget) {
        this.stopped(stop);
        return;
      }
    }
    this.app.refresh();
    requestAnimationFrame((t) => this.frame(t));
  }
}
