// The data archives: index, name list, entry reads, and archives that are short or point past their end.
#include <gtest/gtest.h>

#include "archive/archive_index.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "toolkit/archive_reader.h"
#include "toolkit/archive_writer.h"

namespace mokuren::testing {
namespace {

void PutU32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

TEST(ArchiveNames, LookupTrimsUpperCasesAndStopsAtEnd) {
  ArchiveNameList list = ParseNameList("BG01.PNG\r\nev_02.png\r\n:END\r\nBG03.PNG\r\n");
  EXPECT_TRUE(list.hasEnd);
  EXPECT_EQ(FindArchiveName(list.lines, u"  bg01 "), 1);
  EXPECT_EQ(FindArchiveName(list.lines, u"EV_02"), 2);
  EXPECT_EQ(FindArchiveName(list.lines, u"BG03"), 0);      // listed only after ":END"
  EXPECT_EQ(FindArchiveName(list.lines, u"BG01.PNG"), 0);  // the key gets ".PNG" of its own
  // Without ":END" the search ends with the list instead of running past it.
  ArchiveNameList open = ParseNameList("A.PNG\nB.PNG");
  EXPECT_FALSE(open.hasEnd);
  EXPECT_EQ(FindArchiveName(open.lines, u"b"), 2);
  EXPECT_EQ(FindArchiveName(open.lines, u"c"), 0);
  EXPECT_EQ(FindArchiveName({}, u"c"), 0);
  // Line ends of every kind, and Shift-JIS names.
  ArchiveNameList mixed = ParseNameList("x.png\ry.png\n\x83\x41.png\r\n :end \r\n");
  EXPECT_TRUE(mixed.hasEnd);
  EXPECT_EQ(FindArchiveName(mixed.lines, u"ア"), 3);
}

TEST(ArchiveIndexTest, EntriesInsideAndPastTheFile) {
  std::string file(ArchiveIndex::kMinFileSize + 10, '\0');
  PutU32(file, 16 + 8 * 1, static_cast<uint32_t>(file.size() - 1));  // one byte at the very end
  PutU32(file, 16 + 8 * 1 + 4, 1);
  PutU32(file, 16 + 8 * 2, static_cast<uint32_t>(file.size() - 1));  // two bytes from the last one
  PutU32(file, 16 + 8 * 2 + 4, 2);
  PutU32(file, 16 + 8 * 3, 0xFFFFFFF0u);  // offset + size overflows 32 bits
  PutU32(file, 16 + 8 * 3 + 4, 0x20);
  ArchiveIndex index;
  index.Load(std::span(reinterpret_cast<const uint8_t*>(file.data()) + 16, ArchiveIndex::kIndexBytes), file.size());
  EXPECT_TRUE(index.InFile(1));
  EXPECT_FALSE(index.InFile(2));
  EXPECT_FALSE(index.InFile(3));
  EXPECT_TRUE(index.InFile(4));  // empty
  EXPECT_EQ(index.CountPastEnd(), 2u);
}

TEST(ArchiveWriter, PackAndReadBack) {
  std::string a = toolkit::BuildArchive({{"one.png", "1"}, {"空.png", ""}, {"three.png", std::string(300, 'x')}});
  TempDir dir;
  WriteFile(dir.path() / "a.dat", a);
  toolkit::LoadedArchive back = toolkit::LoadArchive((dir.path() / "a.dat").string());
  EXPECT_EQ(back.Count(), 4u);
  EXPECT_EQ(back.Entry(1), "1");
  EXPECT_EQ(back.index[2].size, 0u);
  EXPECT_EQ(back.Entry(3), std::string(300, 'x'));
  EXPECT_EQ(FindArchiveName(back.names.lines, u"空"), 2);
  EXPECT_TRUE(back.names.hasEnd);
  EXPECT_THROW(toolkit::BuildArchive({{"bad\nname", "x"}}), std::runtime_error);
  EXPECT_THROW(toolkit::BuildArchive({{"€", "x"}}), std::runtime_error);
}

class ArchiveEngine : public EngineFixture {
 protected:
  void BuildGame() {
    TestGame game;
    game.scripts[1] = "show\n";
    game.graphics = {{"BG01", "png-one"}, {"ev_02.png", "png-two"}};
    game.sysgrp[1] = "s";  // one byte, the last byte of SYSGRP.DAT
    BuildTestGame(dir_.path(), game);
  }
  // The archives, the layer these tests drive.
  Archives& A() { return form_->Archive(); }
};

TEST_F(ArchiveEngine, ReadFileAndFileNo) {
  BuildGame();
  StartEngine();
  std::vector<uint8_t> stream;
  EXPECT_EQ(A().Kuri_ReadFile(ArchiveKind::Graphic, 2, stream), 0);
  EXPECT_EQ(std::string(stream.begin(), stream.end()), "png-two");
  EXPECT_EQ(A().Kuri_ReadFile(ArchiveKind::System, 1, stream), 0);  // size 1 at the end of the file
  EXPECT_EQ(std::string(stream.begin(), stream.end()), "s");
  EXPECT_EQ(A().Kuri_ReadFile(ArchiveKind::Graphic, 40000, stream), -1);  // an all-zero slot
  EXPECT_TRUE(stream.empty());
  stream = {7, 7};
  EXPECT_EQ(A().Kuri_ReadFile(static_cast<ArchiveKind>(4), 1, stream), 0);  // unknown kind: untouched
  EXPECT_EQ(stream.size(), 2u);
  EXPECT_EQ(A().Kuri_ReadFile(ArchiveKind::Graphic, -1, stream), -1);
  EXPECT_EQ(A().Kuri_ReadFile(ArchiveKind::Graphic, 65536, stream), -1);
  EXPECT_EQ(A().Kuri_FileNo(ArchiveKind::Graphic, u" bg01 "), 1);
  EXPECT_EQ(A().Kuri_FileNo(ArchiveKind::Graphic, u"EV_02"), 2);
  EXPECT_EQ(A().Kuri_FileNo(ArchiveKind::Graphic, u"BG03"), 0);
  EXPECT_EQ(A().Kuri_FileNo(ArchiveKind::Script, u"script1"), 0);  // only GRAPHIC.DAT is searched
  for (const std::string& line : Errors()) EXPECT_EQ(line.find(".DAT"), std::string::npos);
}

TEST_F(ArchiveEngine, IndexPastTheEndAndNameListWithoutEnd) {
  BuildGame();
  std::string g = ReadFile(dir_.path() / "GRAPHIC.DAT");
  PutU32(g, 16 + 8 * 2 + 4, 1000000);  // entry 2 runs far past the end
  // Replace ":END" in the name list so that the list has no end line.
  g.replace(g.find(":END"), 4, "XEND");
  WriteFile(dir_.path() / "GRAPHIC.DAT", g);
  StartEngine();
  auto reported = [&](const std::string& line) {
    const std::vector<std::string> errors = Errors();
    return std::find(errors.begin(), errors.end(), line) != errors.end();
  };
  EXPECT_TRUE(reported("GRAPHIC.DAT: 1 index entries point past the end of the file; they read as empty"));
  EXPECT_TRUE(reported("GRAPHIC.DAT: the name list has no \":END\" line"));
  std::vector<uint8_t> stream;
  EXPECT_EQ(A().Kuri_ReadFile(ArchiveKind::Graphic, 2, stream), -1);
  EXPECT_TRUE(stream.empty());
  EXPECT_EQ(Errors().back(), "GRAPHIC.DAT: entry 2 points past the end of the file; it reads as empty");
  EXPECT_EQ(A().Kuri_FileNo(ArchiveKind::Graphic, u"nothere"), 0);
  EXPECT_EQ(A().Kuri_FileNo(ArchiveKind::Graphic, u"ev_02"), 2);
}

// Start-up failures end the program with status 2 and a message naming the file and the fault.
TEST(ArchiveStartup, MissingOrTruncatedArchiveStopsTheProgram) {
  TempDir dir;
  TestGame game;
  game.scripts[1] = "show\n";
  BuildTestGame(dir.path(), game);
  const std::string err = (dir.path() / "err.txt").string();
  std::string sys = ReadFile(dir.path() / "SYSGRP.DAT");
  WriteFile(dir.path() / "SYSGRP.DAT", sys.substr(0, 524303));
  EXPECT_EQ(RunProgram(dir.path().string() + " --headless --max-ms 50", {}, err), 2);
  EXPECT_NE(ReadFile(err).find("SYSGRP.DAT is 524303 bytes long, too short for its index"), std::string::npos)
      << ReadFile(err);
  std::filesystem::remove(dir.path() / "GRAPHIC.DAT");
  EXPECT_EQ(RunProgram(dir.path().string() + " --headless --max-ms 50", {}, err), 2);
  EXPECT_NE(ReadFile(err).find("GRAPHIC.DAT: the file is missing"), std::string::npos) << ReadFile(err);
}

}  // namespace
}  // namespace mokuren::testing
