// Random assembly sources for the agreement test: mostly valid programs
// that loop, print through RF and store into memory (also into their own
// code), with a share of lines that the assembler must reject.

export function makeRandom(seed) {
  let state = seed >>> 0 || 1;
  const next = () => {
    // xorshift32: the same sources on every machine for a given seed.
    state ^= state << 13;
    state >>>= 0;
    state ^= state >>> 17;
    state ^= state << 5;
    state >>>= 0;
    return state;
  };
  return {
    int: (n) => next() % n,
    pick: (list) => list[next() % list.length],
    chance: (p) => next() / 4294967296 < p,
  };
}

const hex = (n) => '0' + n.toString(16).toUpperCase() + 'h';

export function generateSource(random) {
  const reg = () => 'R' + random.int(16).toString(16).toUpperCase();
  const address = () => {
    const n = random.int(256);
    return random.pick([String(n), hex(n), '$' + n.toString(16)]);
  };
  const byte = () => (random.chance(0.2) ? String(random.int(128) - 128) : address());
  const text = () => {
    let chars = '';
    for (let n = random.int(4); n >= 0; --n) chars += random.pick(['A', 'z', ' ', '!', '\'', ';', '\xe9', '\t']);
    return chars;
  };
  const labels = ['Start', 'Loop', 'Next', 'Done', 'Data', 'Out', 'L1', 'L2'];
  const target = () => (random.chance(0.8) ? random.pick(labels) : address());
  const forms = [
    () => `load  ${reg()},${byte()}`,
    () => `load  ${reg()},[${random.chance(0.5) ? address() : random.pick(labels)}]`,
    () => `load  ${reg()},[${reg()}]`,
    () => `store ${reg()},[${address()}]`,
    () => `store ${reg()},[${reg()}]`,
    () => `move  ${reg()},${reg()}`,
    () => `${random.pick(['addi', 'addf', 'or', 'and', 'xor'])}  ${reg()},${reg()},${reg()}`,
    () => `ror   ${reg()},${random.int(8)}`,
    () => `jmpEQ ${reg()}=R0,${target()}`,
    () => `jmpLE ${reg()}<=R0,${target()}`,
    () => `jmp   ${target()}`,
    () => 'load  RF,[R1]',
    () => 'addi  R1,R1,R2',
    () => `load  RF,${random.int(256)}`,
    () => 'halt',
    () => `db    ${byte()},"${text()}"`,
  ];
  const mistakes = [
    () => `load  ${reg()},256`,
    () => `store ${reg()},${byte()}`,
    () => `jmpEQ ${reg()}=R1,Loop`,
    () => 'halt  R1',
    () => `frob  ${reg()}`,
    () => `db    'abc`,
    () => `jmp   Nowhere${random.int(3)}`,
    () => `load  ${reg()} ${byte()}`,
  ];
  const lines = ['Start: load  R2,1', '       load  R1,Data'];
  const used = new Set(['Start']);
  const count = 4 + random.int(40);
  // About one source in five has one mistake somewhere.
  const mistakeAt = random.chance(0.2) ? random.int(count) : -1;
  for (let i = 0; i < count; ++i) {
    let label = '';
    const candidate = random.pick(labels);
    if (random.chance(0.25) && !used.has(candidate)) {
      used.add(candidate);
      label = candidate + ':';
    }
    const form = i === mistakeAt ? random.pick(mistakes) : random.pick(forms);
    const comment = random.chance(0.2) ? '   ; note ' + i : '';
    lines.push(label.padEnd(7) + form() + comment);
  }
  // Define the remaining labels near the end so that most jumps resolve.
  for (const label of labels)
    if (!used.has(label) && random.chance(0.95)) lines.push(`${label}: db 41h,"x",0`);
  // Sometimes the data moves to a page of its own.
  if (random.chance(0.3)) lines.push('       org   0C0h', '       db    1,2,3');
  return lines.join(random.pick(['\r\n', '\n'])) + '\n';
}
