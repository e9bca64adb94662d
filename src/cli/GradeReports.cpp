#include "cli/GradeReports.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "grading/ByteText.h"

namespace {

const char* const ResultNames[] = {"pass", "fail", "error"};

// Paths may be in any encoding: valid UTF-8 stays, every other byte is taken
// as Latin-1, so the XML and the JSON are always well formed.
std::string AsUtf8(const std::string& bytes) {
  std::string text;
  for (size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    bool valid = length > 0 && i + length <= bytes.size();
    for (size_t k = 1; valid && k < length; ++k) valid = (static_cast<unsigned char>(bytes[i + k]) & 0xC0) == 0x80;
    if (valid) {
      text.append(bytes, i, length);
      i += length;
    } else {
      text += Latin1ToUtf8(bytes.substr(i, 1));
      ++i;
    }
  }
  return text;
}

// XML 1.0 cannot hold most control characters even as references; they are
// written as \xHH like in the messages.
std::string Xml(const std::string& bytes) {
  std::string text;
  for (char c : AsUtf8(bytes)) {
    switch (c) {
      case '&': text += "&amp;"; break;
      case '<': text += "&lt;"; break;
      case '>': text += "&gt;"; break;
      case '"': text += "&quot;"; break;
      case '\'': text += "&apos;"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t') {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
          text += escaped;
        } else {
          text.push_back(c);
        }
    }
  }
  return text;
}

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", seconds);
  return text;
}

}  // namespace

std::string JunitReport(const std::vector<TSubmissionOutcome>& outcomes) {
  size_t tests = 0, failures = 0, errors = 0;
  double total = 0;
  for (const TSubmissionOutcome& outcome : outcomes) {
    total += outcome.Seconds;
    for (const TCaseOutcome& c : outcome.Cases) {
      ++tests;
      if (!c.Passed) ++(outcome.Result == grError ? errors : failures);
    }
  }
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  xml += "<testsuites name=\"orvik-cli test\" tests=\"" + std::to_string(tests) + "\" failures=\"" +
         std::to_string(failures) + "\" errors=\"" + std::to_string(errors) + "\" time=\"" + Seconds(total) + "\">\n";
  for (const TSubmissionOutcome& outcome : outcomes) {
    size_t suiteFailures = 0;
    for (const TCaseOutcome& c : outcome.Cases) suiteFailures += c.Passed ? 0 : 1;
    const bool error = outcome.Result == grError;
    xml += "  <testsuite name=\"" + Xml(outcome.Path) + "\" tests=\"" + std::to_string(outcome.Cases.size()) +
           "\" failures=\"" + std::to_string(error ? 0 : suiteFailures) + "\" errors=\"" +
           std::to_string(error ? suiteFailures : 0) + "\" time=\"" + Seconds(outcome.Seconds) + "\">\n";
    for (const TCaseOutcome& c : outcome.Cases) {
      xml += "    <testcase classname=\"" + Xml(outcome.Path) + "\" name=\"" + Xml(c.Case->Name) + "\" time=\"" +
             Seconds(c.Seconds) + "\"";
      if (c.Passed && c.Output.empty()) {
        xml += "/>\n";
        continue;
      }
      xml += ">\n";
      if (!c.Passed) {
        const char* element = error ? "error" : "failure";
        xml += std::string("      <") + element + " message=\"" + Xml(c.Message) + "\" type=\"" +
               (error ? "load" : "mismatch") + "\">" + Xml(c.Message) + "</" + element + ">\n";
      }
      if (!c.Output.empty()) xml += "      <system-out>" + Xml(Latin1ToUtf8(c.Output)) + "</system-out>\n";
      xml += "    </testcase>\n";
    }
    xml += "  </testsuite>\n";
  }
  xml += "</testsuites>\n";
  return xml;
}

std::string JsonReport(const std::vector<TSubmissionOutcome>& outcomes, size_t skipped) {
  using nlohmann::ordered_json;
  size_t passed = 0, failed = 0, errors = 0;
  ordered_json submissions = ordered_json::array();
  for (const TSubmissionOutcome& outcome : outcomes) {
    (outcome.Result == grPass ? passed : outcome.Result == grFail ? failed : errors)++;
    ordered_json cases = ordered_json::array();
    for (const TCaseOutcome& c : outcome.Cases) {
      ordered_json item;
      item["file"] = AsUtf8(c.File->Path);
      item["name"] = AsUtf8(c.Case->Name);
      item["result"] = c.Passed ? "pass" : outcome.Result == grError ? "error" : "fail";
      item["message"] = AsUtf8(c.Message);
      item["points"] = c.Points;
      item["max_points"] = c.Case->Points;
      item["hidden"] = c.Case->Hidden;
      if (outcome.Result != grError) {
        item["status"] = StopReportWord(c.Status);
        item["steps"] = c.Steps;
        item["output"] = Latin1ToUtf8(c.Output);
        item["output_hex"] = HexBytes(c.Output);
        item["output_bytes"] = c.OutputBytes;
      }
      if (!c.Passed && outcome.Result != grError) {
        ordered_json changed = ordered_json::array();
        for (const TCellChange& cell : c.ChangedCells)
          changed.push_back({{"address", cell.Address}, {"old", cell.Old}, {"new", cell.New}});
        item["final"] = {{"pc", c.FinalPC}, {"registers", c.FinalRegisters}, {"changed_cells", std::move(changed)}};
      }
      cases.push_back(std::move(item));
    }
    ordered_json submission;
    submission["path"] = AsUtf8(outcome.Path);
    submission["result"] = ResultNames[outcome.Result];
    submission["message"] = AsUtf8(outcome.Message);
    submission["points"] = outcome.Points;
    submission["max_points"] = outcome.MaxPoints;
    submission["cases"] = std::move(cases);
    submissions.push_back(std::move(submission));
  }
  ordered_json document;
  document["summary"] = {{"submissions", outcomes.size()},
                         {"passed", passed},
                         {"failed", failed},
                         {"errors", errors},
                         {"skipped", skipped}};
  document["submissions"] = std::move(submissions);
  return document.dump(2) + "\n";
}

std::string GradescopeReport(const TSubmissionOutcome& outcome) {
  using nlohmann::ordered_json;
  ordered_json tests = ordered_json::array();
  for (const TCaseOutcome& c : outcome.Cases) {
    ordered_json test;
    test["name"] = AsUtf8(c.Case->Name);
    test["score"] = c.Points;
    test["max_score"] = c.Case->Points;
    test["status"] = c.Passed ? "passed" : "failed";
    test["output"] = c.Passed ? "" : AsUtf8(c.Message);
    test["visibility"] = c.Case->Hidden ? "after_published" : "visible";
    tests.push_back(std::move(test));
  }
  ordered_json document;
  document["score"] = outcome.Points;
  // A failing case's name may be hidden; the overall words only for a
  // submission that could not run at all.
  if (outcome.Result == grError) document["output"] = AsUtf8(outcome.Message);
  document["tests"] = std::move(tests);
  return document.dump(2) + "\n";
}

std::string PrairieLearnReport(const TSubmissionOutcome& outcome) {
  using nlohmann::ordered_json;
  ordered_json document;
  const bool gradable = outcome.FormatErrors.empty();
  document["gradable"] = gradable;
  document["score"] = gradable && outcome.MaxPoints > 0 ? outcome.Points / outcome.MaxPoints : 0.0;
  document["message"] = outcome.Result == grError
                            ? AsUtf8(outcome.Message)
                            : PointsText(outcome.Points) + "/" + PointsText(outcome.MaxPoints) + " points";
  if (!gradable) {
    ordered_json errors = ordered_json::array();
    for (const std::string& e : outcome.FormatErrors) errors.push_back(AsUtf8(e));
    document["format_errors"] = std::move(errors);
  }
  ordered_json tests = ordered_json::array();
  for (const TCaseOutcome& c : outcome.Cases) {
    ordered_json test;
    test["name"] = AsUtf8(c.Case->Name);
    test["points"] = c.Points;
    test["max_points"] = c.Case->Points;
    // A hidden case counts, but what it checks stays with the teacher.
    test["message"] = c.Case->Hidden ? (c.Passed ? "hidden case passed" : "hidden case failed") : AsUtf8(c.Message);
    test["output"] = c.Case->Hidden ? "" : Latin1ToUtf8(c.Output);
    tests.push_back(std::move(test));
  }
  document["tests"] = std::move(tests);
  return document.dump(2) + "\n";
}
