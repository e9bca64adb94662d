#include "cli/RunReport.h"

#include <nlohmann/json.hpp>

#include "grading/ByteText.h"

namespace {

// Paths and messages may hold bytes that are not UTF-8; they become U+FFFD
// instead of ending the report with an exception.
std::string Dump(const nlohmann::ordered_json& document) {
  return document.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + '\n';
}

}  // namespace

std::string RunReportJson(const TRunResult& result) {
  nlohmann::ordered_json document;
  document["status"] = StopReportWord(result.Status);
  document["steps"] = result.Steps;
  document["output"] = Latin1ToUtf8(result.Output);
  document["output_hex"] = HexBytes(result.Output);
  document["pc"] = result.PC;
  document["ir"] = result.IR;
  document["registers"] = result.Registers;
  document["memory"] = result.Memory;
  return Dump(document);
}

std::string LoadFailureJson(const TLoadedProgram& loaded) {
  nlohmann::ordered_json document;
  document["status"] = "error";
  if (!loaded.Problem.empty()) document["message"] = loaded.Problem;
  if (!loaded.Errors.empty()) {
    nlohmann::ordered_json errors = nlohmann::ordered_json::array();
    // Assembler messages quote the source, whose bytes are Latin-1.
    for (const TAsmError& e : loaded.Errors)
      errors.push_back({{"line", e.Line}, {"column", e.Column}, {"message", Latin1ToUtf8(e.Message)}});
    document["errors"] = std::move(errors);
  }
  return Dump(document);
}
