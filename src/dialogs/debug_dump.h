// The texts the debug window shows: the variable dump ("FLG表示"), the message log ("MSG履歴"), the
// return-table dump ("RT") and the two status lines. They are plain functions of the engine state so
// that the events file, the window and the tests all get the same text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/save_block.h"
#include "base/var_bank.h"
#include "script/script_registers.h"
#include "text/message_log.h"

namespace mokuren {

// "--シナリオ変数---…", 32 lines of "F1:0 F2:0 … F16:0 ", an empty line, the system bank (S) and the
// work bank (W) the same way: 101 lines.
std::vector<std::u16string> FlagDumpLines(const VarBank& scenario, const VarBank& system, const VarBank& work);

// "--メッセージログ---…", then entries 1-100 of the log as "n:text [voice path]".
std::vector<std::u16string> MsgLogDumpLines(const MessageLog& log);

// Return-table entries 1-6, one "script step" line each.
std::vector<std::u16string> ReturnTableDumpLines(const ReturnEntry (&table)[16]);

// "TC:0 NO:3 ST:41 CD:16 P1:0 P2:W5 P3:0": the last fetched instruction with its resolved operands and
// the bank letter of each operand that came from a variable.
std::u16string InterpreterStatusLine(int32_t taskCode, int32_t scriptNo, int32_t stepNo, const ScriptRegisters& r);

// "BGM:3(L) SE1:0 SE2:12(L) SE3:0": the music and the three effect channels, "(L)" where they loop.
std::u16string SoundStatusLine(const SaveRecord& live);

// The lines as UTF-8 text, each ended by a line feed.
std::string JoinLinesUtf8(const std::vector<std::u16string>& lines);

}  // namespace mokuren
