"""Runs orvik-cli test on the golden grading case and reads its --junit and
--json reports with real parsers (xml.etree and json), checking what a CI
system or a grade book takes from them.

    python3 CheckGradeReports.py ORVIK_CLI CASE_DIR SCRATCH_DIR
"""
import json
import os
import subprocess
import sys
import xml.etree.ElementTree as ET

cli, case_dir, scratch = sys.argv[1:4]
os.makedirs(scratch, exist_ok=True)
junit = os.path.join(scratch, "report.xml")
report = os.path.join(scratch, "report.json")
for path in (junit, report):
    if os.path.exists(path):
        os.remove(path)

run = subprocess.run(
    [cli, "test", "cases.json", "submissions", "missing.asm", "--junit", junit, "--json", report],
    cwd=case_dir, capture_output=True)
problems = []


def expect(condition, what):
    if not condition:
        problems.append(what)


expect(run.returncode == 4, "exit code %d, expected 4" % run.returncode)

root = ET.parse(junit).getroot()
expect(root.tag == "testsuites", "root element is %s" % root.tag)
expect((root.get("tests"), root.get("failures"), root.get("errors")) == ("10", "4", "4"),
       "totals %s" % dict(root.attrib))
suites = {suite.get("name"): suite for suite in root.findall("testsuite")}
expect(sorted(suites) == ["missing.asm", "submissions/ada.asm", "submissions/ben.asm",
                          "submissions/cy.asm", "submissions/dee.asm"], "suites %s" % sorted(suites))
# (tests, failures, errors) per submission, and what the first case reports.
wanted = {
    "missing.asm": ("2", "0", "2", "error", "Cannot open file missing.asm: No such file or directory"),
    "submissions/ada.asm": ("2", "0", "0", None, None),
    "submissions/ben.asm": ("2", "2", "0", "failure", "memory cell A0 is 00, expected 05"),
    "submissions/cy.asm": ("2", "0", "2", "error", "does not assemble: line 1, column 20: "
                           "Unexpected end of line. Expected: ','"),
    "submissions/dee.asm": ("2", "2", "0", "failure", "expected the program to halt, but it was "
                            "still running after 1000 steps (the step limit)"),
}
for name, (tests, failures, errors, kind, message) in wanted.items():
    suite = suites.get(name)
    if suite is None:
        continue
    expect((suite.get("tests"), suite.get("failures"), suite.get("errors")) == (tests, failures, errors),
           "%s counts %s" % (name, dict(suite.attrib)))
    cases = suite.findall("testcase")
    expect([c.get("name") for c in cases] == ["2 + 3", "the sum wraps past FF"], "%s case names" % name)
    expect(all(c.get("classname") == name for c in cases), "%s classnames" % name)
    first = cases[0] if cases else None
    if kind is None:
        expect(first is not None and first.find("failure") is None and first.find("error") is None,
               "%s passes" % name)
        expect(first is not None and first.findtext("system-out") == "Done\n", "%s output" % name)
    else:
        element = first.find(kind) if first is not None else None
        expect(element is not None and element.get("message") == message,
               "%s %s message %r" % (name, kind, None if element is None else element.get("message")))

with open(report, encoding="utf-8") as f:
    document = json.load(f)
expect(document["summary"] == {"submissions": 5, "passed": 1, "failed": 2, "errors": 2, "skipped": 0},
       "json summary %s" % document["summary"])
results = {s["path"]: s["result"] for s in document["submissions"]}
expect(results == {"missing.asm": "error", "submissions/ada.asm": "pass", "submissions/ben.asm": "fail",
                   "submissions/cy.asm": "error", "submissions/dee.asm": "fail"}, "json results %s" % results)
dee = [s for s in document["submissions"] if s["path"] == "submissions/dee.asm"][0]
expect([c["status"] for c in dee["cases"]] == ["step-limit", "step-limit"], "dee statuses")
expect([c["steps"] for c in dee["cases"]] == [1000, 1000], "dee steps")

expect([(c["points"], c["max_points"]) for c in dee["cases"]] == [(0, 1), (0, 1)], "dee points")
expect(dee["cases"][0]["final"]["registers"][3] == 5 if "final" in dee["cases"][0] else False, "dee final R3")

# Gradescope and PrairieLearn, for one submission each, against a case file
# with points and a hidden case.
with open(os.path.join(case_dir, "cases.json"), encoding="utf-8") as f:
    cases = json.load(f)
cases["program"] = os.path.join(case_dir, cases.get("program", "sum.asm"))
cases["cases"][0]["points"] = 4
cases["cases"][1]["points"] = 2
cases["cases"][1]["hidden"] = True
weighted = os.path.join(scratch, "weighted.json")
with open(weighted, "w", encoding="utf-8") as f:
    json.dump(cases, f)


def grade(submission, option):
    out = os.path.join(scratch, "results.json")
    if os.path.exists(out):
        os.remove(out)
    run = subprocess.run([cli, "test", weighted, os.path.join(case_dir, "submissions", submission), option, out],
                         capture_output=True)
    with open(out, encoding="utf-8") as f:
        return run, json.load(f)


run, gs = grade("ada.asm", "--gradescope")
expect(run.returncode == 0 and b"(6/6 points)" in run.stdout, "gradescope ada run %r" % run.stdout)
expect(gs["score"] == 6, "gradescope ada score %r" % gs.get("score"))
expect([(t["name"], t["score"], t["max_score"], t["status"], t["output"], t["visibility"]) for t in gs["tests"]] ==
       [("2 + 3", 4, 4, "passed", "", "visible"),
        ("the sum wraps past FF", 2, 2, "passed", "", "after_published")], "gradescope ada tests %r" % gs["tests"])
run, gs = grade("ben.asm", "--gradescope")
expect(run.returncode == 4 and b"(0/6 points)" in run.stdout, "gradescope ben run %r" % run.stdout)
expect(gs["score"] == 0 and [t["status"] for t in gs["tests"]] == ["failed", "failed"], "gradescope ben %r" % gs)
expect(gs["tests"][0]["output"] == "memory cell A0 is 00, expected 05", "gradescope ben output %r" % gs["tests"][0])

run, pl = grade("ada.asm", "--prairielearn")
expect((pl["gradable"], pl["score"], pl["message"]) == (True, 1.0, "6/6 points"), "prairielearn ada %r" % pl)
expect([(t["name"], t["points"], t["max_points"]) for t in pl["tests"]] ==
       [("2 + 3", 4, 4), ("the sum wraps past FF", 2, 2)], "prairielearn ada tests %r" % pl["tests"])
expect(pl["tests"][0]["output"] == "Done\n" and pl["tests"][1]["output"] == "", "prairielearn hidden output")
run, pl = grade("cy.asm", "--prairielearn")
expect((pl["gradable"], pl["score"]) == (False, 0.0), "prairielearn cy %r" % pl)
expect((pl.get("format_errors") or [""])[0] == "line 1, column 20: Unexpected end of line. Expected: ','",
       "prairielearn cy format_errors %r" % pl.get("format_errors"))
run, pl = grade("ben.asm", "--prairielearn")
expect(pl["gradable"] and pl["score"] == 0 and pl["tests"][1]["message"] == "hidden case failed",
       "prairielearn ben %r" % pl)

for problem in problems:
    print("FAIL:", problem)
sys.exit(1 if problems else 0)
