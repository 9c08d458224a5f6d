#include "dialogs/debug_dump.h"

#include "base/text_codec.h"

namespace mokuren {

namespace {

std::u16string Num(int64_t n) { return FromUtf8(std::to_string(n)); }

void AddBank(std::vector<std::u16string>& lines, const std::u16string& heading, const VarBank& bank,
             const char16_t* letter) {
  lines.push_back(heading);
  for (int row = 1; row <= 32; ++row) {
    std::u16string line;
    for (int n = 16 * (row - 1) + 1; n <= 16 * row; ++n) line += letter + Num(n) + u":" + Num(bank.Get(n)) + u" ";
    lines.push_back(std::move(line));
  }
}

}  // namespace

std::vector<std::u16string> FlagDumpLines(const VarBank& scenario, const VarBank& system, const VarBank& work) {
  std::vector<std::u16string> lines;
  AddBank(lines, u"--シナリオ変数---------------------------------------------", scenario, u"F");
  lines.emplace_back();
  AddBank(lines, u"--システム変数---------------------------------------------", system, u"S");
  lines.emplace_back();
  AddBank(lines, u"--ワーク変数-----------------------------------------------", work, u"W");
  return lines;
}

std::vector<std::u16string> MsgLogDumpLines(const MessageLog& log) {
  std::vector<std::u16string> lines{u"--メッセージログ-------------------------------------------"};
  for (int n = 1; n <= 100; ++n) lines.push_back(Num(n) + u":" + log[n].text + u" [" + log[n].voicePath + u"]");
  return lines;
}

std::vector<std::u16string> ReturnTableDumpLines(const ReturnEntry (&table)[16]) {
  std::vector<std::u16string> lines;
  for (int i = 0; i < 6; ++i) lines.push_back(Num(table[i].Script) + u" " + Num(table[i].Step));
  return lines;
}

std::u16string InterpreterStatusLine(int32_t taskCode, int32_t scriptNo, int32_t stepNo, const ScriptRegisters& r) {
  return u"TC:" + Num(taskCode) + u" NO:" + Num(scriptNo) + u" ST:" + Num(stepNo) + u" CD:" + Num(r.Code) + u" P1:" +
         BankLetter(r.Mode[0]) + Num(r.P1) + u" P2:" + BankLetter(r.Mode[1]) + Num(r.P2) + u" P3:" +
         BankLetter(r.Mode[2]) + Num(r.P3);
}

std::u16string SoundStatusLine(const SaveRecord& live) {
  std::u16string line = u"BGM:" + Num(live.BgmNo) + (live.BgmLoop ? u"(L)" : u"");
  for (int ch = 0; ch < 3; ++ch)
    line += u" SE" + Num(ch + 1) + u":" + Num(live.SeNo[ch]) + (live.SeLoop[ch] ? u"(L)" : u"");
  return line;
}

std::string JoinLinesUtf8(const std::vector<std::u16string>& lines) {
  std::string out;
  for (const std::u16string& line : lines) out += ToUtf8(line) + "\n";
  return out;
}

}  // namespace mokuren
