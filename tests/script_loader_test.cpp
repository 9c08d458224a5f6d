// Loading scripts: the stored form, the string tables, and entries that are short, missing or malformed.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "script/opcodes.h"
#include "script/script_loader.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "toolkit/archive_writer.h"

namespace mokuren::testing {
namespace {

void PutI32(std::string& s, size_t at, int32_t value) {
  auto v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string I32(int32_t v) {
  std::string s(4, '\0');
  PutI32(s, 0, v);
  return s;
}

// An entry from its parts: code records and the four tables' bytes.
std::string Entry(const std::vector<ScriptInstruction>& code, const std::array<std::string, 4>& tables) {
  ScriptImage image;
  image.code = code;
  for (int k = 0; k < 4; ++k) {
    image.tables[k].bytes = tables[k];
    image.tables[k].storedSize = static_cast<int32_t>(tables[k].size());
  }
  return EncodeScriptImage(image);
}

constexpr ScriptInstruction kEnd{op::End, 0, 0, 0, 0, 0, 0};
constexpr ScriptInstruction kShow{op::Show, 0, 0, 0, 0, 0, 0};

TEST(ScriptImageParse, MendsEveryShapeOfDamage) {
  ScriptImage image;
  std::vector<std::string> problems;
  auto parse = [&](const std::string& entry) {
    problems.clear();
    return ParseScriptImage(entry, image, problems);
  };
  // Too short for a code size, or a code size that cannot be: the empty script.
  for (const std::string& bad :
       {std::string("abc"), std::string(16, '\0') + I32(-16), std::string(16, '\0') + I32(1048592),
        std::string(16, '\0') + I32(32) + std::string(16, '\0')}) {
    EXPECT_FALSE(parse(bad));
    ASSERT_EQ(image.code.size(), 1u);
    EXPECT_EQ(image.code[0].Code, 255);
    EXPECT_EQ(problems.size(), 1u);
  }
  EXPECT_EQ(problems[0], "the code size 32 runs past the end of the entry (16 bytes left); an empty script is loaded");
  // A code size of 20: one whole record, the rest dropped.
  EXPECT_TRUE(parse(std::string(16, '\0') + I32(20) + std::string(20, '\x01')));
  EXPECT_EQ(image.code.size(), 1u);
  EXPECT_EQ(problems.size(), 2u);  // the odd size, and no table sizes after it
  // A table whose size runs past the entry keeps the bytes that are there.
  std::string entry = Entry({kEnd}, {"", "", "", "one\r\ntwo\r\n"});
  PutI32(entry, entry.size() - 10 - 4, 1000);
  EXPECT_TRUE(parse(entry));
  EXPECT_EQ(image.tables[3].bytes, "one\r\ntwo\r\n");
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0],
            "the message table's size 1000 runs past the end of the entry; only its 10 bytes there are read");
  // Negative table sizes are empty tables, as stored.
  entry = Entry({kEnd}, {"", "", "", ""});
  PutI32(entry, 20 + 16, -5);
  EXPECT_TRUE(parse(entry));
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(image.tables[0].storedSize, -5);
  EXPECT_EQ(EncodeScriptImage(image), entry);
  // The largest code block there may be is accepted.
  std::string big = std::string(16, '\0') + I32(1048576) + std::string(1048576, '\0') + std::string(16, '\0');
  EXPECT_TRUE(parse(big));
  EXPECT_EQ(image.code.size(), 65536u);
}

class ScriptLoader : public EngineFixture {
 protected:
  // SCRIPT.DAT with the given raw entries 1.., and empty picture archives.
  void Game(const std::vector<std::string>& entries) {
    BuildTestGame(dir_.path(), TestGame{});
    std::vector<toolkit::ArchiveEntry> list;
    for (const std::string& e : entries) list.push_back({"s", e});
    toolkit::WriteArchive(dir_.path() / "SCRIPT.DAT", list);
  }
  bool Reported(const std::string& line) {
    const std::vector<std::string> errors = Errors();
    return std::find(errors.begin(), errors.end(), line) != errors.end();
  }
  // The script machine, the layer that loads scripts.
  ScriptMachine& Machine() { return form_->Script(); }
};

TEST_F(ScriptLoader, TablesAndResourceNameArray) {
  Game({Entry({kShow, kEnd}, {"top\r\n", "top\r\nother", "A\r\nB\r\n", "m0\nm1\rm2\r\n"}),
        Entry({kEnd}, {"", "", "", ""})});
  StartEngine();
  Machine().Kumo_ReadScript(1);
  EXPECT_EQ(Script(), 1);
  EXPECT_EQ(Machine().LabelNames, std::vector<std::u16string>{u"top"});
  EXPECT_EQ(Machine().JumpNames, (std::vector<std::u16string>{u"top", u"other"}));
  EXPECT_EQ(Machine().ResourceNames, (std::vector<std::u16string>{u"A", u"B", u"--END--"}));
  EXPECT_EQ(Machine().ResourceNameArray[0], u"A");
  EXPECT_EQ(Machine().ResourceNameArray[1], u"B");
  EXPECT_EQ(Machine().MessageTexts, (std::vector<std::u16string>{u"m0", u"m1", u"m2"}));
  // A shorter script leaves the longer one's tail in place; the lists are replaced.
  Machine().Kumo_ReadScript(2);
  EXPECT_EQ(Machine().ScriptCode[0].Code, 255);
  EXPECT_EQ(Machine().ScriptCode[1].Code, 255);  // the first script's end instruction
  EXPECT_TRUE(Machine().LabelNames.empty());
  EXPECT_TRUE(Machine().MessageTexts.empty());
  EXPECT_EQ(Machine().ResourceNames, std::vector<std::u16string>{u"--END--"});
}

TEST_F(ScriptLoader, ResourceNameEndMarkerAndTooManyNames) {
  std::string many;
  for (int i = 0; i < 10002; ++i) many += "R" + std::to_string(i) + "\r\n";
  Game({Entry({kEnd}, {"", "", "X\r\n--END--\r\nY\r\n", ""}), Entry({kEnd}, {"", "", many, ""})});
  StartEngine();
  Machine().Kumo_ReadScript(1);
  EXPECT_EQ(Machine().ResourceNames.size(), 4u);
  EXPECT_EQ(Machine().ResourceNameArray[0], u"X");
  EXPECT_EQ(Machine().ResourceNameArray[1], u"") << "the copy stops at the literal --END--";
  Machine().Kumo_ReadScript(2);
  EXPECT_EQ(Machine().ResourceNames.size(), 10003u);
  EXPECT_EQ(Machine().ResourceNameArray[9999], u"R9999");
  EXPECT_TRUE(
      Reported("SCRIPT.DAT: script 2: more than 10,000 resource names; the names after the first 10,000 are not used"));
}

TEST_F(ScriptLoader, BrokenEntriesLoadTheEmptyScript) {
  std::string noEnd = Entry({kShow, kShow}, {"", "", "", ""});
  Game({Entry({kShow, kShow, kShow, kEnd}, {"", "", "", "hello\r\n"}), "abc", noEnd,
        std::string(16, '\0') + I32(-16) + std::string(16, '\0')});
  StartEngine();
  Passes(1);
  EXPECT_EQ(Machine().MessageTexts.size(), 1u);
  // A 3-byte entry.
  Machine().Kumo_ReadScript(2);
  EXPECT_EQ(Script(), 2);
  EXPECT_EQ(Machine().ScriptCode[0].Code, 255);
  EXPECT_EQ(Machine().ScriptCode[1].Code, 32);  // untouched beyond the empty script
  EXPECT_TRUE(Machine().MessageTexts.empty());
  EXPECT_TRUE(
      Reported("SCRIPT.DAT: script 2: the entry is 3 bytes long, too short for a script (at least 20 bytes); "
               "an empty script is loaded"));
  // Code without an end instruction gets one right after it.
  Machine().Kumo_ReadScript(3);
  EXPECT_EQ(Machine().ScriptCode[2].Code, 255);
  EXPECT_TRUE(Reported("SCRIPT.DAT: script 3: the code has no end instruction; one is added after it"));
  Machine().Kumo_ReadScript(4);
  EXPECT_TRUE(Reported("SCRIPT.DAT: script 4: the code size -16 is negative; an empty script is loaded"));
  // A missing entry, and a number beyond the archive.
  Machine().Kumo_ReadScript(9);
  EXPECT_EQ(Machine().ScriptCode[0].Code, 255);
  EXPECT_TRUE(Reported("SCRIPT.DAT: script 9: the entry is empty or missing; an empty script is loaded"));
  Machine().Kumo_ReadScript(-1);  // wraps to entry 65535
  EXPECT_EQ(Script(), -1);
}

// Random bytes as SCRIPT.DAT: start-up goes on, the index faults are reported and the game runs.
TEST_F(ScriptLoader, RandomBytesAsScriptArchive) {
  BuildTestGame(dir_.path(), TestGame{});
  std::mt19937 rng(1234);
  std::string bytes(600000, '\0');
  for (char& c : bytes) c = static_cast<char>(rng());
  WriteFile(dir_.path() / "SCRIPT.DAT", bytes);
  StartEngine();
  Passes(20);
  EXPECT_FALSE(form_->Terminated());
  EXPECT_EQ(Script(), 1);
  bool indexReported = false;
  for (const std::string& line : Errors())
    indexReported =
        indexReported || (line.find("SCRIPT.DAT: ") == 0 && line.find("index entries point past") != std::string::npos);
  EXPECT_TRUE(indexReported);
}

}  // namespace
}  // namespace mokuren::testing
