// The C functions the page calls (through the module's ccall/direct exports).
// Texts come back as a pointer into one buffer plus orvik_text_size(), since
// output, terminal lines and messages are 8-bit text that may hold any byte.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "WebCore.h"
#include "WebSession.h"
#include "assembler/AsmLexer.h"
#include "assembler/AsmParser.h"
#include "assembler/LineSource.h"
#include "assembler/SourceText.h"
#include "machine/Disassembler.h"
#include "machine/EditWords.h"
#include "machine/Instruction.h"
#include "machine/Listing.h"
#include "machine/Pacing.h"
#include "machine/ProgramImage.h"

namespace {

struct TAsmError {
  int Line;
  int Column;
  std::string Message;
};

struct TWebState {
  TWebSession Session;
  std::vector<char> Input;  // source text or file bytes written by the page
  std::string Text;         // the last text handed out
  std::vector<int32_t> Image = std::vector<int32_t>(TAsmParser::ImageSize, 0);
  std::vector<TAsmError> Errors;
  std::vector<int32_t> Runs;  // line, start, end, style per highlighting run
  TProgramMap Map;            // of the last assembly without errors
  std::vector<int32_t> Ints;  // the last list of numbers handed out
  std::string EditWords;      // of the last Undo, Redo or Step Back
  TPacing Pacing;             // of the page's run at a set speed
};

TWebState& State() {
  static TWebState* state = new TWebState();
  return *state;
}

const char* Hand(std::string text) {
  State().Text = std::move(text);
  return State().Text.c_str();
}

std::string_view InputView(int length) {
  std::vector<char>& input = State().Input;
  const size_t size = length < 0 ? 0 : std::min(static_cast<size_t>(length), input.size());
  return std::string_view(input.data(), size);
}

}  // namespace

TWebSession& WebSession() { return State().Session; }
std::string_view WebInput(int length) { return InputView(length); }
const char* HandText(std::string text) { return Hand(std::move(text)); }
const std::vector<int32_t>& AssembledImage() { return State().Image; }
const TProgramMap& AssembledMap() { return State().Map; }

extern "C" {

EMSCRIPTEN_KEEPALIVE char* orvik_input(int size) {
  State().Input.assign(static_cast<size_t>(size > 0 ? size : 1), '\0');
  return State().Input.data();
}

EMSCRIPTEN_KEEPALIVE int orvik_text_size() { return static_cast<int>(State().Text.size()); }

// --- assembler
EMSCRIPTEN_KEEPALIVE int orvik_assemble(int length) {
  TWebState& state = State();
  const TStringListSource source(SplitSourceLines(InputView(length)));
  TAsmParser parser(&source);
  state.Errors.clear();
  parser.Assemble([&state](int line, int column, const std::string& message) {
    state.Errors.push_back(TAsmError{line, column, message});
  });
  for (int adr = 0; adr < TAsmParser::ImageSize; ++adr) state.Image[static_cast<size_t>(adr)] = parser.GetByte(adr);
  if (state.Errors.empty()) state.Map = parser.Map();
  return static_cast<int>(state.Errors.size());
}

EMSCRIPTEN_KEEPALIVE int orvik_error_line(int i) { return State().Errors.at(static_cast<size_t>(i)).Line; }
EMSCRIPTEN_KEEPALIVE int orvik_error_column(int i) { return State().Errors.at(static_cast<size_t>(i)).Column; }
EMSCRIPTEN_KEEPALIVE const char* orvik_error_message(int i) {
  return Hand(State().Errors.at(static_cast<size_t>(i)).Message);
}
EMSCRIPTEN_KEEPALIVE int orvik_image_cell(int adr) { return State().Image.at(static_cast<size_t>(adr & 0xFF)); }
// Copies the last assembled image into memory, as the editor does; the
// session takes its map, so lines, labels and line breakpoints follow it.
EMSCRIPTEN_KEEPALIVE void orvik_load_image() {
  State().Session.LoadMemory(State().Image, eaAssemble);
  State().Session.Debug().SetMap(State().Map);
  State().Session.TraceSection("Assembled into memory");
}

// Highlighting runs of the source in the input: returns their count; the
// runs are orvik_runs()[4 * i ...] = line, start column, end column, style.
EMSCRIPTEN_KEEPALIVE int orvik_highlight(int length) {
  TWebState& state = State();
  const std::vector<std::string> lines = SplitSourceLines(InputView(length));
  TAsmLexer lexer;
  state.Runs.clear();
  for (size_t line = 0; line < lines.size(); ++line) {
    lexer.SetText(lines[line].data(), static_cast<int>(lines[line].size()));
    lexer.TokenizeLine();
    lexer.AssignStyles();
    for (const TToken& token : lexer.Tokens()) {
      state.Runs.insert(state.Runs.end(),
                        {static_cast<int32_t>(line), token.StartPos, token.EndPos, static_cast<int32_t>(token.Style)});
    }
  }
  return static_cast<int>(state.Runs.size() / 4);
}
EMSCRIPTEN_KEEPALIVE const int32_t* orvik_runs() { return State().Runs.data(); }

// --- program files
// Reads a program file from the input; returns "" or the message, memory
// untouched on failure.
EMSCRIPTEN_KEEPALIVE const char* orvik_load_program(int length) {
  std::vector<int32_t> cells;
  std::string error;
  if (!DecodeProgramImage(InputView(length), cells, error)) {
    // Memory stays as it was; PC goes to 0 whatever happened, as on the desktop.
    State().Session.ResetPC();
    return Hand(error);
  }
  State().Session.LoadMemory(cells, eaLoadFile);
  // No source stands behind a program file.
  State().Session.Debug().DropMap();
  return Hand("");
}
EMSCRIPTEN_KEEPALIVE const char* orvik_save_program() {
  std::vector<int32_t> cells(MemorySize);
  for (int adr = 0; adr < MemorySize; ++adr) cells[static_cast<size_t>(adr)] = State().Session.Cell(adr);
  return Hand(EncodeProgramImage(cells));
}

// --- running
EMSCRIPTEN_KEEPALIVE int orvik_run(int budget) { return State().Session.Run(budget); }
// The number of the stop reason a report word names ("halted", "invalid",
// "breakpoint"; "budget" for a run that can go on), so the page holds no
// numbers of its own; -1 for an unknown word.
EMSCRIPTEN_KEEPALIVE int orvik_stop_reason(int length) {
  const std::string_view word = InputView(length);
  if (word == "budget") return srBudget;
  const std::optional<TStopReason> reason = StopFromReportWord(word);
  return reason ? static_cast<int>(*reason) : -1;
}
// The last run's stop in the status bar's words.
EMSCRIPTEN_KEEPALIVE const char* orvik_stop_words() { return Hand(State().Session.StopText()); }
EMSCRIPTEN_KEEPALIVE double orvik_executed() { return static_cast<double>(State().Session.Executed()); }
// Step Back; its status words, as the window's, through orvik_edit_words().
EMSCRIPTEN_KEEPALIVE int orvik_step_back() {
  TWebState& state = State();
  const bool done = state.Session.StepBack();
  state.EditWords = done ? StepBackWords("Stepped back", state.Session.Simulator()) : NoStepBackWords;
  return done ? 1 : 0;
}
// Undo (redo 0) or Redo (1) of the newest user edit: 0 nothing done, 1 done,
// 3 done and memory changed; the status words through orvik_edit_words().
EMSCRIPTEN_KEEPALIVE int orvik_undo(int redo) {
  TWebState& state = State();
  std::string words;
  bool changed = false;
  const bool done = redo ? state.Session.RedoEdit(words, changed) : state.Session.UndoEdit(words, changed);
  state.EditWords = words;
  return done ? (changed ? 3 : 1) : 0;
}
EMSCRIPTEN_KEEPALIVE const char* orvik_edit_words() { return Hand(State().EditWords); }
// A run at a set speed, paced as the window paces it: restart at the start
// and on a change of speed, then per frame the instructions due by then.
EMSCRIPTEN_KEEPALIVE void orvik_pacing_restart(double perSecond) { State().Pacing.Restart(perSecond); }
EMSCRIPTEN_KEEPALIVE double orvik_pacing_due(double elapsed) {
  return static_cast<double>(State().Pacing.DueBy(elapsed));
}
EMSCRIPTEN_KEEPALIVE double orvik_pacing_done() { return static_cast<double>(State().Pacing.Done()); }
// The budget of the next run while done < due: one at a time at the speeds
// where each instruction is shown.
EMSCRIPTEN_KEEPALIVE double orvik_pacing_batch(double due) {
  return static_cast<double>(State().Pacing.Batch(static_cast<uint64_t>(due)));
}
EMSCRIPTEN_KEEPALIVE void orvik_pacing_count(double executed) { State().Pacing.Count(static_cast<uint64_t>(executed)); }
EMSCRIPTEN_KEEPALIVE int orvik_can_step_back() { return State().Session.CanStepBack() ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE void orvik_set_breakpoint(int adr, int on) { State().Session.SetBreakpoint(adr, on != 0); }
EMSCRIPTEN_KEEPALIVE void orvik_remove_breakpoints() { State().Session.RemoveAllBreakpoints(); }
EMSCRIPTEN_KEEPALIVE int orvik_breakpoint(int adr) { return State().Session.Breakpoint(adr) ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE const char* orvik_trace() { return Hand(State().Session.TraceLine()); }

// --- state
EMSCRIPTEN_KEEPALIVE int orvik_cell(int adr) { return State().Session.Cell(adr); }
EMSCRIPTEN_KEEPALIVE void orvik_set_cell(int adr, int value) { State().Session.SetCell(adr, value); }
EMSCRIPTEN_KEEPALIVE int orvik_register(int n) { return State().Session.Register(n); }
EMSCRIPTEN_KEEPALIVE void orvik_set_register(int n, int value) { State().Session.SetRegister(n, value); }
EMSCRIPTEN_KEEPALIVE void orvik_clear_memory(int lo, int hi) { State().Session.Clear(false, lo, hi); }
EMSCRIPTEN_KEEPALIVE void orvik_clear_registers() { State().Session.Clear(true, 0, 0); }
EMSCRIPTEN_KEEPALIVE int orvik_pc() { return State().Session.PC(); }
EMSCRIPTEN_KEEPALIVE void orvik_set_pc(int value) { State().Session.SetPC(value); }
EMSCRIPTEN_KEEPALIVE int orvik_ir() { return State().Session.IR(); }
EMSCRIPTEN_KEEPALIVE const char* orvik_disasm(int adr) {
  return Hand(Disassemble(State().Session.MemoryCells(), adr).Line);
}
// The listing file's bytes for the current memory and PC.
EMSCRIPTEN_KEEPALIVE const char* orvik_listing() {
  return Hand(BuildListing(State().Session.MemoryCells(), State().Session.PC()));
}

// --- output and terminal
EMSCRIPTEN_KEEPALIVE double orvik_output_count() { return static_cast<double>(State().Session.OutputCount()); }
// The output bytes from index `from` (counted since the start) on, as far as
// they are still kept.
EMSCRIPTEN_KEEPALIVE const char* orvik_output(double from) {
  const TWebSession& session = State().Session;
  const int64_t start = std::max(static_cast<int64_t>(from), session.OutputBase());
  const std::string_view output = session.Output();
  const size_t offset = std::min(static_cast<size_t>(start - session.OutputBase()), output.size());
  return Hand(std::string(output.substr(offset)));
}
// The terminal's text as the input holds it, after a reload (see
// TWebSession::RestoreTerminal).
EMSCRIPTEN_KEEPALIVE void orvik_restore_terminal(int length) { State().Session.RestoreTerminal(InputView(length)); }
EMSCRIPTEN_KEEPALIVE void orvik_terminal_size(int cols, int rows) { State().Session.SetTerminalSize(cols, rows); }
EMSCRIPTEN_KEEPALIVE int orvik_terminal_line_count() {
  return static_cast<int>(State().Session.Terminal().Lines().size());
}
EMSCRIPTEN_KEEPALIVE const char* orvik_terminal_line(int i) {
  return Hand(State().Session.Terminal().Lines().at(static_cast<size_t>(i)));
}

// --- the source behind memory (1-based lines)
EMSCRIPTEN_KEEPALIVE int orvik_has_map() { return State().Session.Debug().HasMap() ? 1 : 0; }
// The place the band shows (the instruction at PC, the next to run; after
// a halt the halt's own): a pointer to state (TPlaceState), line, start
// column, end column (0-based, end exclusive).
EMSCRIPTEN_KEEPALIVE const int32_t* orvik_place_at_pc() {
  const TSourcePlace place = State().Session.Debug().PlaceShown();
  State().Ints = {place.State, place.Line, place.StartColumn, place.EndColumn};
  return State().Ints.data();
}
// "line 6", "data, line 6", "changed since assembling" or "".
EMSCRIPTEN_KEEPALIVE const char* orvik_place_words() {
  return Hand(TDebugSession::PlaceWords(State().Session.Debug().PlaceShown()));
}
EMSCRIPTEN_KEEPALIVE const char* orvik_label_at(int adr) {
  const TMapLabel* label = State().Session.Debug().LabelAt(adr & 0xFF);
  return Hand(label ? label->Name : std::string());
}
EMSCRIPTEN_KEEPALIVE const char* orvik_jump_target_label(int adr) {
  const TMapLabel* label = State().Session.Debug().JumpTargetLabel(adr & 0xFF);
  return Hand(label ? label->Name : std::string());
}
// Sets or clears the breakpoint of a line; returns the line it is bound to
// (the next line with code for a line without), 0 when none.
EMSCRIPTEN_KEEPALIVE int orvik_set_line_breakpoint(int line, int on) {
  return State().Session.Debug().SetLineBreakpoint(line, on != 0).BoundLine;
}
// The lines the gutter marks: returns their count, orvik_ints() holds them.
EMSCRIPTEN_KEEPALIVE int orvik_breakpoint_lines() {
  const std::vector<int> lines = State().Session.Debug().BreakpointLines();
  State().Ints.assign(lines.begin(), lines.end());
  return static_cast<int>(lines.size());
}
EMSCRIPTEN_KEEPALIVE const int32_t* orvik_ints() { return State().Ints.data(); }
EMSCRIPTEN_KEEPALIVE void orvik_shift_lines(int from, int delta) { State().Session.Debug().ShiftLines(from, delta); }
}
