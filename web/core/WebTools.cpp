// The page's exports of the desktop's debugging tools: the value readings,
// Back to start of run, Break here, Stop when written, the trace pane's
// lines, Cut/Copy/Paste of memory ranges and the instruction composer. Texts in UTF-8 unless said.
#include <emscripten/emscripten.h>

#include <string>

#include "WebCore.h"
#include "WebSession.h"
#include "machine/Composer.h"
#include "machine/EditWords.h"
#include "machine/StopWords.h"
#include "machine/ValueReadings.h"

namespace {

// The status words of the last command here.
std::string& Words() {
  static std::string* words = new std::string();
  return *words;
}

TCellSpace Space(int registers) { return registers ? csRegister : csMemory; }

// 0 nothing done, 1 done, 3 done and memory changed (no longer what a file
// holds), as orvik_undo() counts.
int EditResult(bool done, const TMemoryCells& before) {
  if (!done) return 0;
  return WebSession().MemoryCells() != before ? 3 : 1;
}

}  // namespace

extern "C" {

// "3C hex  60  +60  00111100 bin  '<'  float 96" of a memory cell or a
// register (registers set).
EMSCRIPTEN_KEEPALIVE const char* orvik_value_readings(int registers, int adr) {
  TWebSession& session = WebSession();
  return HandText(ValueReadings(registers ? session.Register(adr & 0x0F) : session.Cell(adr & 0xFF)));
}

EMSCRIPTEN_KEEPALIVE const char* orvik_tool_words() { return HandText(Words()); }

// Back to start of run: the instructions undone; the words through
// orvik_tool_words().
EMSCRIPTEN_KEEPALIVE double orvik_back_to_start() {
  const uint64_t undone = WebSession().BackToStart();
  Words() = BackToStartWords(undone, WebSession().Simulator());
  return static_cast<double>(undone);
}

// Break here on a memory cell, or a breakpoint toggled in the disassembly:
// returns whether it is set now.
EMSCRIPTEN_KEEPALIVE int orvik_toggle_breakpoint(int adr) {
  const bool on = !WebSession().Breakpoint(adr & 0xFF);
  WebSession().SetBreakpoint(adr & 0xFF, on);
  Words() = BreakpointWords(adr, on);
  return on ? 1 : 0;
}

// Stop when written on a memory cell or a register.
EMSCRIPTEN_KEEPALIVE int orvik_toggle_watch(int registers, int adr) {
  const TCellSpace space = Space(registers);
  const int address = registers ? adr & 0x0F : adr & 0xFF;
  const bool on = !WebSession().Watched(space, address);
  WebSession().SetWatch(space, address, on);
  Words() = WatchWords(space, address, on);
  return on ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE int orvik_watched(int registers, int adr) {
  return WebSession().Watched(Space(registers), registers ? adr & 0x0F : adr & 0xFF) ? 1 : 0;
}

// The trace: its revision, to tell whether the page's copy is behind, and
// its lines, newest last, one a line.
EMSCRIPTEN_KEEPALIVE double orvik_trace_revision() { return static_cast<double>(WebSession().Trace().Revision()); }
EMSCRIPTEN_KEEPALIVE const char* orvik_trace_lines() {
  const TTraceLog& trace = WebSession().Trace();
  std::string text;
  for (size_t i = 0; i < trace.Size(); ++i) text += (i ? "\n" : "") + trace.Line(i);
  return HandText(text);
}
// Between runs: the instructions that ran without a line of their own.
EMSCRIPTEN_KEEPALIVE void orvik_trace_catch_up() { WebSession().TraceCatchUp(); }
// A program file was opened; the input holds its name.
EMSCRIPTEN_KEEPALIVE void orvik_trace_opened(int length) {
  WebSession().TraceSection("Opened " + std::string(WebInput(length)));
}

// Cut, Copy and Paste of the memory selection lo..hi (lo < 0: none).
// Cut and Paste count as orvik_undo() does; a paste refused leaves its
// message in orvik_tool_words().
EMSCRIPTEN_KEEPALIVE void orvik_copy(int lo, int hi) { WebSession().Copy(lo, hi); }
EMSCRIPTEN_KEEPALIVE int orvik_cut(int lo, int hi) {
  const TMemoryCells before = WebSession().MemoryCells();
  WebSession().Cut(lo, hi);
  return EditResult(lo >= 0 && hi >= 0, before);
}
EMSCRIPTEN_KEEPALIVE int orvik_paste(int lo, int hi) {
  const TMemoryCells before = WebSession().MemoryCells();
  Words() = WebSession().Paste(lo, hi);
  return EditResult(Words().empty(), before);
}

// The instruction composer (a right click on a disassembly row): the word
// at adr, the instructions' names, each operand slot's list (its items one
// a line) and item, the word after a choice, and the write.
EMSCRIPTEN_KEEPALIVE int orvik_composer_word(int adr) {
  // Only the low byte of a cell can take part in an instruction word.
  return (WebSession().Cell(adr & 0xFF) & 0xFF) << 8 | (WebSession().Cell((adr + 1) & 0xFF) & 0xFF);
}
EMSCRIPTEN_KEEPALIVE const char* orvik_composer_name(int opcode) {
  return HandText(std::string(InstructionTable[static_cast<size_t>(opcode & 0xF)].ComposerName));
}
EMSCRIPTEN_KEEPALIVE int orvik_composer_slot_choices(int word, int slot) {
  return ComposerSlotChoices(static_cast<uint16_t>(word), slot);
}
EMSCRIPTEN_KEEPALIVE int orvik_composer_slot_value(int word, int slot) {
  return ComposerSlotValue(static_cast<uint16_t>(word), slot);
}
EMSCRIPTEN_KEEPALIVE const char* orvik_composer_choices(int kind) {
  std::string text;
  for (const std::string& item : ComposerChoices(static_cast<TChoiceKind>(kind)))
    text += (text.empty() ? "" : "\n") + item;
  return HandText(text);
}
EMSCRIPTEN_KEEPALIVE int orvik_composer_with_opcode(int word, int opcode) {
  return ComposerWithOpcode(static_cast<uint16_t>(word), opcode);
}
EMSCRIPTEN_KEEPALIVE int orvik_composer_with_choice(int word, int slot, int index) {
  return ComposerWithChoice(static_cast<uint16_t>(word), slot, index);
}
EMSCRIPTEN_KEEPALIVE int orvik_compose(int adr, int word) {
  const TMemoryCells before = WebSession().MemoryCells();
  WebSession().Compose(adr, static_cast<uint16_t>(word));
  return EditResult(true, before);
}
}
