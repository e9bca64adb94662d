// The WebAssembly core under node against the native orvik-cli: the same
// output, outcome, final state, listing and assembler messages, byte for
// byte, on every golden case and on generated sources.
//   node tests/web/agree.mjs --cli build/src/cli/orvik-cli --site build-web/web/site [--count 200] [--seed N]
import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import {createRequire} from 'node:module';
import os from 'node:os';
import path from 'node:path';

import {generateSource, makeRandom} from './generate.mjs';

const options = {
  cli: '',
  site: '',
  count: 200,
  seed: 20
};
for (let i = 2; i < process.argv.length; i += 2) options[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
if (!options.cli || !options.site) {
  console.error('usage: node agree.mjs --cli ORVIK_CLI --site SITE_FOLDER [--count N] [--seed N]');
  process.exit(2);
}
const site = path.resolve(options.site);
options.cli = path.resolve(options.cli);
const require = createRequire(import.meta.url);
const factory = require(path.join(site, 'orvik-core.js'));
const {OrvikCore, StopBudget, StopHalt, StopInvalid} = await import('../../web/site/js/core.js');
const core = await OrvikCore.create(factory, {wasmBinary: fs.readFileSync(path.join(site, 'orvik-core.wasm'))});

const hex = (value, digits) => (value >>> 0).toString(16).toUpperCase().padStart(digits, '0');
const latin1 = (text) => Buffer.from(text, 'latin1');

// The PROGRAM argument as orvik-cli reads it, into the core's memory.
// Returns the error text for standard error, or "".
function loadArgument(file, cwd) {
  const full = path.resolve(cwd, file);
  let bytes;
  try {
    if (fs.statSync(full).isDirectory()) throw new Error('folder');
    bytes = fs.readFileSync(full);
  } catch {
    return `Cannot open file ${file}\n`;
  }
  if (/\.asm$/i.test(file)) {
    const {errors} = core.assemble(bytes);
    if (errors.length)
      return errors.map((e) => `${file}:${e.line + 1}:${e.column + 1}: error: ${e.message}\n`).join('');
    core.loadImage();
    return '';
  }
  const message = core.loadProgram(bytes);
  return message ? message + '\n' : '';
}

function resetMachine() {
  for (let adr = 0; adr < 256; ++adr) core.setCell(adr, 0);
  for (let n = 0; n < 16; ++n) core.setRegister(n, 0);
  core.setPC(0);
  // IR is set only by instructions; a halt at 00 after a zero PC leaves it known.
}

// The same commands as orvik-cli, the output made from what the core reports.
function webCli(args, cwd) {
  const [command, ...rest] = args;
  let program = '';
  let steps = 1000000;
  let state = false;
  let pc = 0;
  for (let i = 0; i < rest.length; ++i) {
    if (rest[i] === '--steps')
      steps = Number(rest[++i]);
    else if (rest[i] === '--state')
      state = true;
    else if (rest[i] === '--pc')
      pc = parseInt(rest[++i], 16);
    else
      program = rest[i];
  }
  let stdout = Buffer.alloc(0);
  if (command === 'assemble') {
    let bytes;
    try {
      bytes = fs.readFileSync(path.resolve(cwd, program));
    } catch {
      return {stdout, stderr: `Cannot open file ${program}\n`, exit: 1};
    }
    const {errors, image} = core.assemble(bytes);
    if (errors.length) {
      const stderr = errors.map((e) => `${program}:${e.line + 1}:${e.column + 1}: error: ${e.message}\n`).join('');
      return {stdout, stderr, exit: 1};
    }
    let rows = '';
    for (let row = 0; row < 256; row += 16) {
      rows += hex(row, 2) + ':';
      for (let c = 0; c < 16; ++c) rows += ' ' + hex(image[row + c], 2);
      rows += '\n';
    }
    return {stdout: latin1(rows), stderr: '', exit: 0};
  }
  const problem = loadArgument(program, cwd);
  if (problem) return {stdout, stderr: problem, exit: 1};
  if (command === 'disasm') {
    core.setPC(pc);
    return {stdout: Buffer.from(core.listing()), stderr: '', exit: 0};
  }
  // The core keeps only the output that its step-back history can take
  // back, so it is collected after every slice, as the page does.
  let seen = core.outputCount();
  const chunks = [];
  let stop = StopBudget;
  let done = 0;
  while (stop === StopBudget && (steps === 0 || done < steps)) {
    const budget = steps === 0 ? 1 << 16 : Math.min(steps - done, 1 << 16);
    stop = core.run(budget);
    done += core.executed();
    chunks.push(core.output(seen));
    seen = core.outputCount();
  }
  stdout = Buffer.concat(chunks);
  let stderr = stop === StopHalt ? 'Halted\n' : stop === StopInvalid ? 'Invalid instruction\n' : 'Step limit reached\n';
  const exit = stop === StopHalt ? 0 : stop === StopInvalid ? 2 : 3;
  if (state) {
    stderr += `PC=${hex(core.pc(), 2)} IR=${hex(core.ir(), 4)}\n`;
    stderr += [...Array(16).keys()].map((r) => `R${hex(r, 1)}=${hex(core.register(r), 2)}`).join(' ') + '\n';
    for (let row = 0; row < 256; row += 16) {
      stderr += hex(row, 2) + ':';
      for (let c = 0; c < 16; ++c) stderr += ' ' + hex(core.cell(row + c), 2);
      stderr += '\n';
    }
  }
  return {stdout, stderr, exit};
}

let passed = 0;
let failed = 0;
function compare(name, args, cwd) {
  const native = spawnSync(options.cli, args, {cwd, maxBuffer: 1 << 26});
  const web = webCli(args, cwd);
  const problems = [];
  if (!native.stdout.equals(web.stdout))
    problems.push(`stdout: native ${native.stdout.length} bytes, web ${web.stdout.length}`);
  // The page reads files through the browser, which gives no system reason:
  // orvik-cli's ": reason" after a file message is not compared.
  const nativeErr = native.stderr.toString('latin1').replace(
      /^((?:Cannot open file|Stream read error).*?): [^:\n]*$/gm, '$1');
  if (nativeErr !== web.stderr)
    problems.push(`stderr:\n--- native\n${native.stderr}--- web\n${web.stderr}`);
  if (native.status !== web.exit) problems.push(`exit: native ${native.status}, web ${web.exit}`);
  if (problems.length) {
    ++failed;
    console.log(`FAIL ${name}: orvik-cli ${args.join(' ')}\n  ${problems.join('\n  ')}`);
  } else {
    ++passed;
  }
}

// Every golden case that runs, lists or assembles a program; the same
// program also in the two other commands.
const goldenRoot = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../golden');
for (const name of fs.readdirSync(goldenRoot).sort()) {
  const dir = path.join(goldenRoot, name);
  if (!fs.statSync(dir).isDirectory()) continue;
  const args = fs.readFileSync(path.join(dir, 'args'), 'latin1').split('\n').filter((line) => line !== '');
  // Reports, traces, breakpoints and the usage are orvik-cli's own; the core
  // is compared on what both give: output, outcome, state, listing, errors.
  const cliOnly = ['--json', '--trace', '--break', '--help', '--', '-'];
  if (!['run', 'disasm', 'assemble'].includes(args[0]) || args.some((a) => a.startsWith('--bogus') || cliOnly.includes(a)))
    continue;
  const filtered = args.filter((a, i) => a !== '-o' && args[i - 1] !== '-o');
  resetMachine();
  compare(`golden/${name}`, filtered, dir);
  const program = filtered.find((a, i) => i > 0 && !a.startsWith('--') && !/^[0-9a-f]+$/i.test(a));
  if (program === undefined) continue;
  for (const extra of [['run', program, '--state'], ['disasm', program]]) {
    resetMachine();
    compare(`golden/${name} (${extra[0]})`, extra, dir);
  }
}

// Generated sources: loops, output, stores into code, odd operands and a
// share of mistakes, so that both the assembler's messages and the
// executor's paths are compared.
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'orvik-agree-'));
const random = makeRandom(Number(options.seed));
for (let i = 0; i < Number(options.count); ++i) {
  const file = `gen${i}.asm`;
  fs.writeFileSync(path.join(scratch, file), latin1(generateSource(random)));
  const pc = (i * 37) % 256;
  const commands = [
    ['run', file, '--state', '--steps', '5000'], ['assemble', file], ['disasm', file],
    ['disasm', file, '--pc', pc.toString(16)]
  ];
  for (const args of commands) {
    resetMachine();
    compare(`generated ${file}`, args, scratch);
  }
}
if (failed === 0)
  fs.rmSync(scratch, {recursive: true});
else
  console.log(`generated sources kept in ${scratch}`);
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
