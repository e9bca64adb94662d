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
    expect(all(c.get("classname") == "cases.json" for c in cases), "%s classnames" % name)
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
expect(document["summary"] == {"submissions": 5, "passed": 1, "failed": 2, "errors": 2},
       "json summary %s" % document["summary"])
results = {s["path"]: s["result"] for s in document["submissions"]}
expect(results == {"missing.asm": "error", "submissions/ada.asm": "pass", "submissions/ben.asm": "fail",
                   "submissions/cy.asm": "error", "submissions/dee.asm": "fail"}, "json results %s" % results)
dee = [s for s in document["submissions"] if s["path"] == "submissions/dee.asm"][0]
expect([c["status"] for c in dee["cases"]] == ["step-limit", "step-limit"], "dee statuses")
expect([c["steps"] for c in dee["cases"]] == [1000, 1000], "dee steps")

for problem in problems:
    print("FAIL:", problem)
sys.exit(1 if problems else 0)
