// The stored form of a compiled script: parsing with mended faults, and encoding.
#include "script/script_image.h"

#include <algorithm>
#include <cstring>

#include "base/text_codec.h"
#include "script/opcodes.h"

namespace mokuren {

namespace {

int32_t ReadI32(std::string_view s, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(s[at + i])) << (8 * i);
  return static_cast<int32_t>(v);
}

void PutI32(std::string& s, int32_t value) {
  auto v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

ScriptInstruction DecodeInstruction(const char* p) {
  auto u16 = [p](int at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(p[at]) | (static_cast<uint8_t>(p[at + 1]) << 8));
  };
  ScriptInstruction ins{};
  ins.Code = u16(0);
  ins.Modes = u16(2);
  ins.P1 = static_cast<int16_t>(u16(4));
  ins.P2 = static_cast<int16_t>(u16(6));
  ins.P3 = static_cast<int16_t>(u16(8));
  ins.P4 = static_cast<int16_t>(u16(10));
  ins.Value = static_cast<int32_t>(static_cast<uint32_t>(u16(12)) | (static_cast<uint32_t>(u16(14)) << 16));
  return ins;
}

void EncodeInstruction(std::string& out, const ScriptInstruction& ins) {
  auto u16 = [&out](uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
  };
  u16(ins.Code);
  u16(ins.Modes);
  u16(static_cast<uint16_t>(ins.P1));
  u16(static_cast<uint16_t>(ins.P2));
  u16(static_cast<uint16_t>(ins.P3));
  u16(static_cast<uint16_t>(ins.P4));
  PutI32(out, ins.Value);
}

}  // namespace

const char* ScriptTableName(ScriptTableKind kind) {
  switch (kind) {
    case ScriptTableKind::Labels: return "label";
    case ScriptTableKind::Jumps: return "jump-name";
    case ScriptTableKind::Resources: return "resource-name";
    case ScriptTableKind::Messages: return "message";
  }
  return "?";
}

ScriptImage EmptyScriptImage() {
  ScriptImage image;
  ScriptInstruction end{};
  end.Code = op::End;
  image.code.push_back(end);
  return image;
}

std::u16string ScriptEntryFault::In(const StartupWords& words) const {
  return text ? FillIn(words(*text), {{u"size", size}, {u"left", left}}) : std::u16string();
}

std::string ScriptEntryFault::English() const {
  return ToUtf8(In(StartupWords(StartupWords::Language::English, TextTranslator())));
}

ScriptEntryFault UnloadableScriptFault(std::string_view entry) {
  using namespace startup_text;
  if (entry.empty()) return ScriptEntryFault(kScriptEntryEmpty);
  if (entry.size() < 20) return ScriptEntryFault(kScriptEntryTooShort, FromUtf8(std::to_string(entry.size())));
  const int32_t codeSize = ReadI32(entry, 16);
  const std::u16string size = FromUtf8(std::to_string(codeSize));
  const size_t left = entry.size() - 20;
  if (codeSize < 0) return ScriptEntryFault(kCodeSizeNegative, size);
  if (codeSize > kMaxScriptCodeBytes) return ScriptEntryFault(kCodeSizeOverLimit, size);
  if (static_cast<size_t>(codeSize) > left)
    return ScriptEntryFault(kCodeSizePastEnd, size, FromUtf8(std::to_string(left)));
  return {};
}

bool ParseScriptImage(std::string_view entry, ScriptImage& image, std::vector<std::string>& problems) {
  image = ScriptImage{};
  if (const ScriptEntryFault fault = UnloadableScriptFault(entry)) {
    problems.push_back(fault.English() + "; an empty script is loaded");
    image = EmptyScriptImage();
    return false;
  }
  std::memcpy(image.header.data(), entry.data(), 16);
  const int32_t codeSize = ReadI32(entry, 16);
  size_t pos = 20;
  if (codeSize % 16 != 0) {
    problems.push_back("the code size " + std::to_string(codeSize) +
                       " is not a multiple of 16; the incomplete last instruction is dropped");
  }
  const size_t records = static_cast<size_t>(codeSize) / 16;
  image.code.reserve(records);
  for (size_t i = 0; i < records; ++i) image.code.push_back(DecodeInstruction(entry.data() + pos + 16 * i));
  pos += static_cast<size_t>(codeSize);

  for (int t = 0; t < kScriptTableCount; ++t) {
    const char* name = ScriptTableName(static_cast<ScriptTableKind>(t));
    if (entry.size() - pos < 4) {
      problems.push_back(std::string("the entry ends before the size of the ") + name +
                         " table; it and the tables after it are empty");
      return true;
    }
    ScriptTable& table = image.tables[t];
    table.storedSize = ReadI32(entry, pos);
    pos += 4;
    if (table.storedSize <= 0) continue;
    size_t size = static_cast<size_t>(table.storedSize);
    if (size > entry.size() - pos) {
      problems.push_back(std::string("the ") + name + " table's size " + std::to_string(size) +
                         " runs past the end of the entry; only its " + std::to_string(entry.size() - pos) +
                         " bytes there are read");
      size = entry.size() - pos;
    }
    table.bytes.assign(entry.substr(pos, size));
    pos += size;
  }
  image.trailer.assign(entry.substr(pos));
  return true;
}

std::string EncodeScriptImage(const ScriptImage& image) {
  std::string out(reinterpret_cast<const char*>(image.header.data()), image.header.size());
  PutI32(out, static_cast<int32_t>(image.code.size() * 16));
  for (const ScriptInstruction& ins : image.code) EncodeInstruction(out, ins);
  for (const ScriptTable& table : image.tables) {
    // A table with bytes stores their length; an empty one keeps whatever non-positive size it had.
    PutI32(out, table.bytes.empty() ? std::min(table.storedSize, 0) : static_cast<int32_t>(table.bytes.size()));
    out += table.bytes;
  }
  out += image.trailer;
  return out;
}

std::vector<std::u16string> ScriptTableLines(const ScriptTable& table) {
  std::vector<std::u16string> lines;
  for (const std::string& line : SplitLines(table.bytes)) lines.push_back(Cp932ToUtf16(line));
  return lines;
}

}  // namespace mokuren
