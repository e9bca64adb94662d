// The desktop's debugging tools on the page, in headless Chromium as a
// student uses them: the value panel and a cell's tooltip, Break here, Stop
// when written, Back to start of run, the trace pane's last 1,000 lines,
// Cut/Copy/Paste of memory with the keys (one undoable edit each), the
// editor's line numbers; axe-core with the new panes, and a phone in dark.
//   node tests/web/tools.mjs --site build-web/web/site
import fs from 'node:fs';
import {createRequire} from 'node:module';

import {check, finish} from './checks.mjs';
import {withHelloPage} from './serve.mjs';

await withHelloPage('tools.mjs', async (page, errors) => {
  await page.click('#assemble');
  const settle = () => page.waitForFunction(() => !window.orvik.running, {timeout: 10000});
  const cell = (grid, i) => `#${grid} .cell[data-index="${i}"]`;
  const shown = () => page.evaluate(() => {
    const $ = (id) => document.getElementById(id);
    const core = window.orvik.core;
    return {
      status: $('status-text').textContent,
      panel: $('value-panel').hidden ? 'hidden' : $('value-panel').textContent,
      breakHere: $('break-here').getAttribute('aria-pressed'),
      watch: $('watch').getAttribute('aria-pressed'),
      watched: [...document.querySelectorAll('.cell.watched')].map((c) => c.id).join(),
      trace: $('trace-pane').hidden ? 'hidden' : $('trace-pane').textContent,
      mem: [0x80, 0x81, 0x82, 0x83, 0xfe, 0xff].map((a) => core.cell(a).toString(16)).join(' '),
      dialog: document.querySelector('dialog[open]') ? document.getElementById('ask-text').textContent : '',
      pc: core.pc(),
    };
  });
  const key = async (chord) => {
    const keys = chord.split('+');
    const last = keys.pop();
    for (const m of keys) await page.keyboard.down(m);
    await page.keyboard.press(last);
    for (const m of keys.reverse()) await page.keyboard.up(m);
  };
  // What the student does, then what the page must show. Each action is a
  // click on a selector, a shift-click ('shift:SELECTOR') or a key chord.
  const act = async (step) => {
    if (step.startsWith('#'))
      await page.click(step);
    else if (step.startsWith('shift:')) {
      await page.keyboard.down('Shift');
      await page.click(step.slice(6));
      await page.keyboard.up('Shift');
    } else
      await key(step);
    await settle();
  };
  const rows = [
    ['no value panel before a cell is chosen', [], (s) => s.panel === 'hidden'],
    ['a memory cell read every way', [cell('memory', 0)],
     (s) => s.panel === '21 hex  33  +33  00100001 bin  \'!\'  float 4'],
    ['Break here on 06', [cell('memory', 6), '#break-here'],
     (s) => s.status === 'Breakpoint set at 06' && s.breakHere === 'true'],
    ['a run stops there', ['F9'], (s) => s.status === 'Breakpoint at 06' && s.pc === 6],
    ['Break here again removes it', ['#break-here'],
     (s) => s.status === 'Breakpoint removed at 06' && s.breakHere === 'false'],
    ['a register read every way', [cell('registers', 1)],
     (s) => s.panel === '10 hex  16  +16  00010000 bin  \'\u0010\'  float 0'],
    ['Stop when written on RF', [cell('registers', 15), '#watch'],
     (s) => s.status === 'RF watched' && s.watch === 'true' && s.watched === 'registers-15'],
    ['a run stops after the write', ['F9'], (s) => s.status === 'RF written at 06' && s.pc === 8],
    ['and on a memory cell', [cell('memory', 0x40), '#watch'],
     (s) => s.status === 'Cell 40 watched' && s.watched === 'memory-64,registers-15'],
    ['Remove all breakpoints takes the watches', ['#remove-breakpoints'], (s) => s.watched === ''],
    ['Back to start of run', ['#back-to-start'],
     (s) => s.status === 'Back 4 steps: 0 steps back available' && s.pc === 0],
    ['and nothing more to go back', ['#back-to-start'], (s) => s.status === 'No instruction to step back'],
    ['the trace pane opens empty', ['#trace-toggle'], (s) => s.trace === ''],
    ['a step gives its line, with its place', ['F8'],
     (s) => s.trace === 'line 1: 00: 21 10  load R1,10      R1 = 10'],
    ['a run counts its instructions in one line', [cell('memory', 0x0c), '#break-here', 'F9'],
     (s) => s.trace.split('\n')[1] === '... 5 instructions at full speed'],
    ['Step Back takes back what the undone step told', ['Shift+F8'],
     (s) => s.trace.split('\n').length === 2 && s.trace.endsWith('... 4 instructions at full speed')],
    ['Copy 00..03, paste at 80', [cell('memory', 0), `shift:${cell('memory', 3)}`, 'Control+c', cell('memory', 0x80),
                                  'Control+v'],
     (s) => s.mem === '21 10 22 1 0 0'],
    ['a paste at FE drops what passes the end', [cell('memory', 0xfe), 'Control+v'], (s) => s.mem === '21 10 22 1 21 10'],
    ['Cut 80..83 clears them', [cell('memory', 0x80), `shift:${cell('memory', 0x83)}`, 'Control+x'],
     (s) => s.mem === '0 0 0 0 21 10'],
    ['one Undo brings the cut back', ['Control+z'], (s) => s.mem === '21 10 22 1 21 10' && s.status === 'Undone: Cut'],
    ['a paste over a range is refused', ['Control+v'],
     (s) => s.dialog === 'No destination selected.\nSelect one cell to mark the start of the destination.'],
    ['and loses nothing', ['Escape'], (s) => s.dialog === '' && s.mem === '21 10 22 1 21 10'],
  ];
  for (const [name, steps, wanted] of rows) {
    for (const step of steps) await act(step);
    const got = await shown();
    check(name, wanted(got), JSON.stringify(got));
  }

  // The composer: a right click on the disassembly row of 40 (two zero
  // cells, "invalid"), an immediate load chosen, its operands, Ok.
  const composer = () => page.evaluate(() => {
    const box = (id) => {
      const e = document.getElementById(id);
      return `${e.disabled ? '-' : ''}${e.selectedOptions[0]?.text}/${e.options.length}`;
    };
    const core = window.orvik.core;
    return {
      open: document.getElementById('composer-dialog').open,
      boxes: ['composer-opcode', 'composer-op1', 'composer-op2', 'composer-op3'].map(box).join(' '),
      cells: `${core.cell(0x40).toString(16)} ${core.cell(0x41).toString(16)}`,
      status: document.getElementById('status-text').textContent,
    };
  });
  const composerRows = [
    ['a right click opens it on the row\'s instruction', () => page.click('#disasm-row-32', {button: 'right'}),
     (c) => c.open && c.boxes === 'invalid/16 -N/A/1 -N/A/1 -N/A/1'],
    ['an immediate load offers a register and a byte', () => page.select('#composer-opcode', '2'),
     (c) => c.boxes === 'immediate load/16 R0/16 00/256 -N/A/1'],
    ['its operands', async () => {
      await page.select('#composer-op1', '3');
      await page.select('#composer-op2', '127');
    }, (c) => c.boxes === 'immediate load/16 R3/16 7F/256 -N/A/1' && c.cells === '0 0'],
    ['another instruction keeps the fields both have', () => page.select('#composer-opcode', '1'),
     (c) => c.boxes === 'direct load/16 R3/16 [7F]/256 -N/A/1'],
    // The dialog's close event, which writes the word, comes a task after
    // the click: wait (a while at most) for it; the check says whether it did.
    ['Ok writes the word', async () => {
      await page.click('#composer-dialog button[value=ok]');
      await page.waitForFunction(() => window.orvik.core.cell(0x40) !== 0, {timeout: 5000}).catch(() => {});
    },
     (c) => !c.open && c.cells === '13 7f' && c.status === 'Ready'],
    ['as one edit', () => key('Control+z'), (c) => c.cells === '0 0' && c.status === 'Undone: Composer'],
  ];
  for (const [name, action, wanted] of composerRows) {
    await action();
    const got = await composer();
    check(`composer: ${name}`, wanted(got), JSON.stringify(got));
  }

  // The tooltip reads the value the mouse rests on.
  await page.hover(cell('memory', 0x81));
  check('a cell\'s tooltip has its readings',
        (await page.$eval(cell('memory', 0x81), (e) => e.title)) === '10 hex  16  +16  00010000 bin  \'\u0010\'  float 0');

  // The trace keeps the last 1,000 lines: Hello World stepped through
  // again and again.
  const trace = await page.evaluate(() => {
    for (let i = 0; i < 1100; ++i) document.getElementById(window.orvik.core.pc() === 0x0e ? 'zero-pc' : 'step').click();
    return document.querySelector('#trace-pane pre').textContent.split('\n');
  });
  check('the trace keeps the last 1,000 lines', trace.length === 1000 && !trace[0].startsWith('line 1: '),
        `${trace.length} ${trace[0]}`);

  // Line numbers beside the text, hidden from screen readers, scrolled with it.
  await page.focus('#source');
  await key('Control+End');
  await page.evaluate(() => document.execCommand('insertText', false, '\n;'.repeat(40)));
  const numbers = await page.evaluate(() => {
    const area = document.getElementById('source');
    area.scrollTop = 34;
    area.dispatchEvent(new Event('scroll'));
    const column = document.querySelector('.line-numbers');
    return {
      hidden: column.getAttribute('aria-hidden'),
      lines: column.textContent.trimEnd().split('\n').length === area.value.split('\n').length,
      first: column.textContent.startsWith('1\n2\n3\n'),
      moved: `${area.scrollTop} ${column.querySelector('pre').style.transform}`,
    };
  });
  check('the editor numbers its lines', numbers.hidden === 'true' && numbers.lines && numbers.first &&
                                            numbers.moved === '34 translateY(-34px)',
        JSON.stringify(numbers));

  // axe-core with the value panel and the trace pane shown, light and dark,
  // wide and on a phone.
  const axeSource = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
  await page.addScriptTag({content: axeSource});
  for (const [state, width, height, theme] of [['wide, light', 1280, 800, 'light'], ['390 x 844, dark', 390, 844, 'dark']]) {
    await page.setViewport({width, height});
    await page.select('#theme', theme);
    const found = await page.evaluate(async () => {
      const {violations} = await window.axe.run(document, {resultTypes: ['violations']});
      return violations.filter((v) => ['serious', 'critical'].includes(v.impact))
          .map((v) => `${v.id}: ${v.nodes.slice(0, 5).map((n) => n.target.join(' ')).join(', ')}`);
    });
    check(`axe-core finds nothing serious with the tools, ${state}`, found.length === 0, found.join('; '));
  }
  const phone = await page.evaluate(() => ({
    sideways: document.documentElement.scrollWidth > innerWidth,
    small: [...document.querySelectorAll('.tools button')].filter((b) => b.getBoundingClientRect().height < 24).length,
  }));
  check('on a phone nothing scrolls sideways and the tools are big enough to tap', !phone.sideways && !phone.small,
        JSON.stringify(phone));
  check('no errors on the page', errors.length === 0, errors.join('; '));
});
finish();
