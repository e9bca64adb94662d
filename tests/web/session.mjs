// The browser session's own rules, under node: Step Back restores every
// cell, PC, IR, the output and the terminal text exactly; runs in slices of
// any size end where single steps do; a breakpoint stops a run also when a
// slice ends on it.
//   node tests/web/session.mjs --site build-web/web/site
import fs from 'node:fs';
import {createRequire} from 'node:module';
import path from 'node:path';

import {check, finish} from './checks.mjs';
import {generateSource, makeRandom} from './generate.mjs';

const options = {
  site: ''
};
for (let i = 2; i < process.argv.length; i += 2) options[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
const site = path.resolve(options.site);
const factory = createRequire(import.meta.url)(path.join(site, 'orvik-core.js'));
const {OrvikCore, StopBudget, StopBreakpoint} = await import('../../web/site/js/core.js');
const core = await OrvikCore.create(factory, {wasmBinary: fs.readFileSync(path.join(site, 'orvik-core.wasm'))});


let outputStart = 0;
function state(withTerminal = true) {
  const cells = [];
  for (let adr = 0; adr < 256; ++adr) cells.push(core.cell(adr));
  for (let n = 0; n < 16; ++n) cells.push(core.register(n));
  cells.push(core.pc(), core.ir());
  const output = Buffer.from(core.output(outputStart)).toString('latin1');
  return cells.join(',') + '|' + output + (withTerminal ? '|' + core.terminalLines().join('\n') : '');
}

function load(source) {
  const {errors} = core.assemble(Buffer.from(source, 'latin1'));
  core.loadImage();
  for (let n = 0; n < 16; ++n) core.setRegister(n, 0);
  core.setPC(0);
  outputStart = core.outputCount();
  return errors.length === 0;
}

// Programs that print forever and store into memory, so every kind of
// change is taken back; the terminal (20 x 4) scrolls many times over.
const printer = [
  '        load  R1,1',
  '        load  R3,40h',
  'Loop:   addi  RF,RF,R1',
  '        store RF,[R3]',
  '        addi  R3,R3,R1',
  '        jmpEQ R0=R0,Loop',
].join('\n');
const sources = [printer];
const random = makeRandom(7);
while (sources.length < 12) {
  const source = generateSource(random);
  if (load(source)) sources.push(source);
}

core.setTerminalSize(20, 4);
for (const [number, source] of sources.entries()) {
  load(source);
  const steps = number === 0 ? 9000 : 1500;
  const states = [state()];
  const bulkStates = [state(false)];
  for (let i = 0; i < steps; ++i) {
    core.step();
    states.push(state());
    bulkStates.push(state(false));
  }
  let same = true;
  let back = 0;
  while (back < steps && core.stepBack()) {
    ++back;
    if (state() !== states[steps - back]) {
      same = false;
      break;
    }
  }
  check(`program ${number}: every step back restores the state before it`, same, `after ${back} steps back`);
  check(`program ${number}: the whole history can be stepped back`, back === steps, `${back} of ${steps}`);
  check(`program ${number}: nothing before the start`, !core.stepBack());

  // Bulk runs in slices of odd sizes end in the same state as single steps.
  load(source);
  let done = 0;
  let stop = StopBudget;
  for (const slice of [1, 7, 4095, 2, 5000, 3]) {
    if (done >= steps || stop !== StopBudget) break;
    stop = core.run(Math.min(slice, steps - done));
    done += core.executed();
  }
  if (stop === StopBudget && done < steps) {
    core.run(steps - done);
    done += core.executed();
  }
  check(`program ${number}: bulk runs agree with single steps`, state(false) === bulkStates[done], `after ${done}`);
}

// Breakpoints: the printer stops after the instruction that brings PC to
// the store at 06, every time round the loop, never before the first.
load(printer);
core.setBreakpoint(6, true);
const pcs = [];
for (let i = 0; i < 3; ++i) {
  check('a breakpoint stop is reported', core.run(100000) === StopBreakpoint);
  pcs.push(core.pc());
}
check('the run stops with PC at the breakpoint each time round', pcs.join() === '6,6,6', pcs.join());
check(
    'a run from the breakpoint goes once round the loop', core.run(100000) === StopBreakpoint && core.executed() === 4);
check(
    'the trace says what the instruction did, in the desktop trace pane\'s words',
    core.trace() === '04: 5F F1  addi RF,RF,R1   RF = 03 + 01 = 04, prints code 04', core.trace());
// A slice that ends on the breakpoint reports it, so that the next slice,
// whose first instruction is never checked, does not step over it.
load(printer);
const slices = [];
for (let i = 0; i < 6 && !slices.includes(StopBreakpoint); ++i) slices.push(core.run(1));
check('slices of one instruction stop on the breakpoint', slices.join() === [StopBudget, StopBudget, StopBreakpoint].join() && core.pc() === 6, slices.join());
check('the next slice leaves the breakpoint', core.run(1) === StopBudget && core.pc() === 8);
core.setBreakpoint(6, false);
const last = core.run(100);
check(
    'without the breakpoint the budget ends the run', last === StopBudget && core.executed() === 100,
    `${last} ${core.executed()}`);

// A reload gives the terminal its text back: the same lines, nothing
// executed, later output after them, and a step back takes only that back.
load(printer);
core.run(300);
const shown = core.terminalLines().join('\n');
const cells = state(false).split('|')[0];
core.restoreTerminal(Buffer.from(shown, 'latin1'));
check('the restored terminal shows the lines given', core.terminalLines().join('\n') === shown);
check('restoring the terminal executes nothing', state(false).split('|')[0] === cells);
// Once round the loop: one byte of output.
for (let i = 0; i < 4; ++i) core.step();
const stepped = core.terminalLines().join('\n');
for (let i = 0; i < 4; ++i) core.stepBack();
check(
    'output after a restored terminal follows it and steps back',
    stepped !== shown && core.terminalLines().join('\n') === shown);

finish();
