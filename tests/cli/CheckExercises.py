"""Checks every shipped exercise with the built orvik-cli: it has a title, a
statement, a starter that assembles, visible and hidden cases; its model
answer passes; each wrong answer (first line "; fails: CASE") fails that
case; and doing nothing (the starter, a bare halt) passes no case at all, so
that no point is earned without an answer.

    python3 CheckExercises.py ORVIK_CLI EXERCISES_DIR SCRATCH_DIR
"""
import glob
import json
import os
import subprocess
import sys

cli, folder, scratch = sys.argv[1:4]
os.makedirs(scratch, exist_ok=True)
problems = []


def expect(condition, what):
    if not condition:
        problems.append(what)


def case_results(path, submission):
    report = os.path.join(scratch, "report.json")
    subprocess.run([cli, "test", path, submission, "--json", report], capture_output=True)
    with open(report, encoding="utf-8") as f:
        return {c["name"]: c["result"] for c in json.load(f)["submissions"][0]["cases"]}


exercises = sorted(glob.glob(os.path.join(folder, "*.json")))
expect(len(exercises) >= 12, "%d exercises, expected at least 12" % len(exercises))
for path in exercises:
    name = os.path.basename(path)
    with open(path, encoding="utf-8") as f:
        exercise = json.load(f)
    for key in ("title", "statement", "starter", "program"):
        expect(isinstance(exercise.get(key), str) and exercise[key].strip(), "%s has no %s" % (name, key))
    hidden = [c for c in exercise["cases"] if c.get("hidden")]
    expect(hidden and len(hidden) < len(exercise["cases"]), "%s needs visible and hidden cases" % name)

    starter = os.path.join(scratch, "starter.asm")
    with open(starter, "w", encoding="latin-1") as f:
        f.write(exercise.get("starter", ""))
    run = subprocess.run([cli, "assemble", starter], capture_output=True)
    expect(run.returncode == 0, "%s: the starter does not assemble: %r" % (name, run.stderr))
    halt = os.path.join(scratch, "halt.asm")
    with open(halt, "w", encoding="latin-1") as f:
        f.write("        halt\n")
    for what, submission in (("the starter", starter), ("a bare halt", halt)):
        passing = [case for case, result in case_results(path, submission).items() if result != "fail"]
        expect(not passing, "%s: %s passes %s" % (name, what, passing))

    run = subprocess.run([cli, "test", path], capture_output=True)
    expect(run.returncode == 0, "%s: the model answer fails: %r" % (name, run.stdout))

    wrongs = sorted(glob.glob(os.path.join(os.path.splitext(path)[0], "wrong*.asm")))
    expect(wrongs, "%s has no wrong answer" % name)
    for wrong in wrongs:
        with open(wrong, encoding="latin-1") as f:
            first = f.readline()
        expect(first.startswith("; fails: "), "%s does not name the case it fails" % wrong)
        case = first[len("; fails: "):].strip()
        expect(case in [c["name"] for c in exercise["cases"]], "%s names no case of %s: %r" % (wrong, name, case))
        run = subprocess.run([cli, "test", path, wrong], capture_output=True)
        expect(run.returncode == 4, "%s passes %s" % (wrong, name))
        results = case_results(path, wrong)
        expect(results.get(case) == "fail", "%s: case %r is %r, expected fail" % (wrong, case, results.get(case)))

for problem in problems:
    print("FAIL:", problem)
print("%d exercises checked" % len(exercises))
sys.exit(1 if problems else 0)
