// Loading a compiled script into the engine: the stored form's parser and Kumo_ReadScript.
#include "script/script_loader.h"

#include <algorithm>
#include <cstring>

#include "app/TForm1.h"
#include "text/text_codec.h"

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

std::vector<std::u16string> LoadList(const std::string& bytes) {
  std::vector<std::u16string> list;
  for (const std::string& line : SplitLines(bytes)) list.push_back(Cp932ToUtf16(line));
  return list;
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
  end.Code = 255;
  image.code.push_back(end);
  return image;
}

bool ParseScriptImage(std::string_view entry, ScriptImage& image, std::vector<std::string>& problems) {
  image = ScriptImage{};
  if (entry.size() < 20) {
    problems.push_back("the entry is " + std::to_string(entry.size()) +
                       " bytes long, too short for a script (at least 20 bytes); an empty script is loaded");
    image = EmptyScriptImage();
    return false;
  }
  std::memcpy(image.header.data(), entry.data(), 16);
  const int32_t codeSize = ReadI32(entry, 16);
  size_t pos = 20;
  const size_t left = entry.size() - pos;
  if (codeSize < 0 || codeSize > kMaxScriptCodeBytes || static_cast<size_t>(codeSize) > left) {
    std::string why = codeSize < 0                      ? "is negative"
                      : codeSize > kMaxScriptCodeBytes ? "is over 1,048,576 bytes"
                                                       : "runs past the end of the entry (" +
                                                             std::to_string(left) + " bytes left)";
    problems.push_back("the code size " + std::to_string(codeSize) + " " + why + "; an empty script is loaded");
    image = EmptyScriptImage();
    return false;
  }
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

void TForm1::CreateScriptLists() {
  LabelNames.clear();
  JumpNames.clear();
  MessageTexts.clear();
  ResourceNames.clear();
}

void TForm1::Kumo_ReadScript(int n) {
  // 1.
  ScriptNo = static_cast<int16_t>(n);
  // 2.
  std::vector<uint8_t> stream;
  const int found = Kuri_ReadFile(1, n & 0xFFFF, stream);
  // 3.
  LabelNames.clear();
  JumpNames.clear();
  MessageTexts.clear();
  ResourceNames.clear();
  // 4.-6. A missing entry becomes the empty script, so the interpreter meets an end instruction at
  // once instead of running the previous script's code under the new number.
  ScriptImage image;
  std::vector<std::string> problems;
  const std::u16string where = u"SCRIPT.DAT: script " + FromUtf8(std::to_string(n)) + u": ";
  if (found != 0 || stream.empty()) {
    ReportError(where + u"the entry is empty or missing; an empty script is loaded");
    image = EmptyScriptImage();
  } else {
    ParseScriptImage(std::string_view(reinterpret_cast<const char*>(stream.data()), stream.size()), image,
                     problems);
  }
  for (const std::string& p : problems) ReportError(where + FromUtf8(p));

  std::copy(image.code.begin(), image.code.end(), ScriptCode.begin());
  const bool hasEnd = std::any_of(image.code.begin(), image.code.end(),
                                  [](const ScriptInstruction& i) { return (i.Code & 0xFF) == 255; });
  if (!hasEnd) {
    // Searches and execution would otherwise run on into an earlier script's leftover records.
    ReportError(where + u"the code has no end instruction (255); one is added after it");
    if (image.code.size() < ScriptCode.size()) ScriptCode[image.code.size()] = ScriptInstruction{255, 0, 0, 0, 0, 0, 0};
  }
  auto load = [&image](ScriptTableKind kind) { return LoadList(image.tables[static_cast<int>(kind)].bytes); };
  LabelNames = load(ScriptTableKind::Labels);
  JumpNames = load(ScriptTableKind::Jumps);
  ResourceNames = load(ScriptTableKind::Resources);
  MessageTexts = load(ScriptTableKind::Messages);

  // 7.
  ResourceNames.push_back(u"--END--");
  size_t k = 0;
  for (; ResourceNames[k] != u"--END--"; ++k) {
    if (k == ResourceNameArray.size()) {
      ReportError(where + u"more than 10,000 resource names; the names after the first 10,000 are not used");
      break;
    }
    ResourceNameArray[k] = ResourceNames[k];
  }
}

}  // namespace mokuren
