// Read-message marks: one bit per (script, message) for scripts 0-14, kept in SAVE.DAT so that
// read-skip knows across games which messages the player has already seen.
#include "base/text_codec.h"
#include "script/script_machine.h"

namespace mokuren {

namespace {

// Scripts 15 and above have no marks: their messages never count as read. The byte offset
// ScriptNo * 16384 + message / 8 must also stay inside the 15 used banks; a message number is a signed
// 16-bit operand, so only negative numbers could leave them.
bool Markable(int32_t script, int32_t message) {
  return script >= 0 && script <= 14 && message >= 0 && message / 8 < kReadMarkBankBytes;
}

}  // namespace

bool ScriptMachine::CheckKidoku(int32_t message) {
  if (!Markable(ScriptNo, message)) return false;
  return (ReadMarks[ScriptNo][message / 8] >> (message % 8)) & 1;
}

void ScriptMachine::MarkKidoku(int32_t message) {
  if (message < 0) {
    ReportScriptFault(u"message number " + FromUtf8(std::to_string(message)) + u" is negative; it is not marked read");
    return;
  }
  if (!Markable(ScriptNo, message)) return;
  ReadMarks[ScriptNo][message / 8] |= static_cast<uint8_t>(1u << (message % 8));
}

}  // namespace mokuren
