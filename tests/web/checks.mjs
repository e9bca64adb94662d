// The tally of a test script: each check passes or prints why it failed;
// finish() prints the counts and ends the process, failing if any failed.
let passed = 0;
let failed = 0;

export function check(name, condition, detail = '') {
  if (condition)
    ++passed;
  else {
    ++failed;
    console.log(`FAIL ${name}${detail ? ': ' + detail : ''}`);
  }
}

export function finish() {
  console.log(`${passed} passed, ${failed} failed`);
  process.exit(failed ? 1 : 0);
}
