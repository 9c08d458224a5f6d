// The command-line tools on real files: pack, list, unpack; compile to an archive and back.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "toolkit/archive_reader.h"

namespace mokuren::testing {
namespace {

// Runs a tool of the build directory; returns its exit status.
int Tool(const std::string& command, const std::filesystem::path& out) {
  const std::string line = std::string(MOKUREN_BIN_DIR) + "/" + command + " >" + out.string() + " 2>&1";
  const int status = std::system(line.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(AsmTools, ArchivePackListUnpack) {
  TempDir dir;
  const auto& d = dir.path();
  std::filesystem::create_directory(d / "in");
  WriteFile(d / "in" / "b.png", "BBB");
  WriteFile(d / "in" / "a.png", "A");
  ASSERT_EQ(Tool("mokuren-arc pack " + (d / "x.dat").string() + " " + (d / "in").string(), d / "out.txt"), 0);
  ASSERT_EQ(Tool("mokuren-arc list " + (d / "x.dat").string(), d / "out.txt"), 0);
  EXPECT_EQ(ReadFile(d / "out.txt"), "0\t20\t(name list)\n1\t1\ta.png\n2\t3\tb.png\n");  // sorted by name
  ASSERT_EQ(Tool("mokuren-arc unpack " + (d / "x.dat").string() + " " + (d / "back").string(), d / "out.txt"), 0);
  EXPECT_EQ(ReadFile(d / "back" / "b.png"), "BBB");
  // A hostile name list cannot write outside the target directory.
  TestGame game;
  game.graphics = {{"../evil.png", "E"}};
  BuildTestGame(d, game);
  ASSERT_EQ(Tool("mokuren-arc unpack " + (d / "GRAPHIC.DAT").string() + " " + (d / "g").string(), d / "out.txt"), 0);
  EXPECT_TRUE(std::filesystem::exists(d / "g" / ".._evil.png"));
  EXPECT_FALSE(std::filesystem::exists(d / "evil.png"));
  // N=FILE places a file at entry N; the files after it follow on, the entries between stay empty.
  ASSERT_EQ(Tool("mokuren-arc pack " + (d / "y.dat").string() + " " + (d / "in" / "a.png").string() +
                     " 371=" + (d / "in" / "b.png").string() + " " + (d / "in" / "a.png").string(),
                 d / "out.txt"),
            0);
  ASSERT_EQ(Tool("mokuren-arc list " + (d / "y.dat").string(), d / "out.txt"), 0);
  EXPECT_NE(ReadFile(d / "out.txt").find("\n1\t1\ta.png\n371\t3\tb.png\n372\t1\ta.png\n"), std::string::npos)
      << ReadFile(d / "out.txt");
  EXPECT_EQ(Tool("mokuren-arc pack " + (d / "z.dat").string() + " 5=" + (d / "in" / "a.png").string() +
                     " 5=" + (d / "in" / "b.png").string(),
                 d / "out.txt"),
            1);
  EXPECT_NE(ReadFile(d / "out.txt").find("two files for entry 5"), std::string::npos);
  EXPECT_EQ(Tool("mokuren-arc list " + (d / "in" / "a.png").string(), d / "out.txt"), 1);
  EXPECT_NE(ReadFile(d / "out.txt").find("too short for an archive index"), std::string::npos);
}

TEST(AsmTools, CompileToArchiveAndDisassembleAll) {
  TempDir dir;
  const auto& d = dir.path();
  WriteFile(d / "one.txt", "msg \"一\"\njump next, 3\n");
  WriteFile(d / "three.txt", "*next\nmsg \"三\"\n");
  ASSERT_EQ(Tool("mokuren-asm --archive " + (d / "S.DAT").string() + " " + (d / "one.txt").string() +
                     " 3=" + (d / "three.txt").string(),
                 d / "out.txt"),
            0)
      << ReadFile(d / "out.txt");
  ASSERT_EQ(
      Tool("mokuren-disasm --archive " + (d / "S.DAT").string() + " --all " + (d / "src").string(), d / "out.txt"), 0)
      << ReadFile(d / "out.txt");
  EXPECT_EQ(ReadFile(d / "src" / "script1.txt"), "msg \"一\"\njump next, 3\n");
  EXPECT_EQ(ReadFile(d / "src" / "script3.txt"), "*next\nmsg \"三\"\n");
  EXPECT_FALSE(std::filesystem::exists(d / "src" / "script2.txt"));
  // A fault stops the compile with the file, line and column.
  WriteFile(d / "bad.txt", "show\nmsg 1 2\n");
  EXPECT_EQ(Tool("mokuren-asm " + (d / "bad.txt").string() + " -o " + (d / "bad.bin").string(), d / "out.txt"), 1);
  EXPECT_EQ(ReadFile(d / "out.txt"), (d / "bad.txt").string() + ":2:7: expected ',' before '2'\n");
  EXPECT_FALSE(std::filesystem::exists(d / "bad.bin"));
}

// A SCRIPT.DAT cut off in the middle of script 3: every tool that reads it names the entries it cannot read
// and why, and goes on with the others (the entries after the cut, empty ones included, point past the end).
TEST(AsmTools, EveryToolTellsTheEntriesOfACutOffArchive) {
  TempDir dir;
  const auto& d = dir.path();
  std::filesystem::create_directory(d / "game");
  for (const char* name : {"SCRIPT.DAT", "GRAPHIC.DAT", "SYSGRP.DAT"})
    std::filesystem::copy(std::filesystem::path(MOKUREN_BIN_DIR) / "demo-game" / name, d / "game" / name);
  const toolkit::LoadedArchive demo = toolkit::LoadArchive((d / "game" / "SCRIPT.DAT").string());
  std::filesystem::resize_file(d / "game" / "SCRIPT.DAT", demo.index[3].offset + demo.index[3].size / 2);
  const std::string game = (d / "game").string(), out = (d / "out.txt").string();

  EXPECT_EQ(Tool("mokuren-lint --quick " + game, out), 2);
  EXPECT_NE(ReadFile(out).find("SCRIPT.DAT:3: error: points past the end of the file"), std::string::npos)
      << ReadFile(out);
  EXPECT_EQ(Tool("mokuren-disasm --archive " + game + "/SCRIPT.DAT --all " + (d / "src").string(), out), 1);
  EXPECT_NE(ReadFile(out).find("script 3 points past the end of the file"), std::string::npos) << ReadFile(out);
  EXPECT_TRUE(std::filesystem::exists(d / "src" / "script2.txt"));
  EXPECT_EQ(Tool("mokuren-i18n extract " + game + " -o " + (d / "game.pot").string(), out), 0);
  EXPECT_NE(ReadFile(out).find("script 3 points past the end of the file"), std::string::npos) << ReadFile(out);
  EXPECT_EQ(Tool("mokuren-arc list " + game + "/SCRIPT.DAT", out), 1);
  EXPECT_NE(ReadFile(out).find("\n3\t"), std::string::npos) << ReadFile(out);
}

// Every tool answers --help on standard output with status 0, and nothing on standard error.
TEST(AsmTools, EveryToolsHelpGoesToStandardOutput) {
  TempDir dir;
  for (const char* tool : {"mokuren-arc", "mokuren-asm", "mokuren-build", "mokuren-demo", "mokuren-disasm",
                           "mokuren-lint", "mokuren-new", "mokuren-test"}) {
    const std::string line = std::string(MOKUREN_BIN_DIR) + "/" + tool + " --help >" + (dir.path() / "out").string() +
                             " 2>" + (dir.path() / "err").string();
    const int status = std::system(line.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0) << tool;
    EXPECT_EQ(ReadFile(dir.path() / "out").rfind("usage: ", 0), 0u) << tool;
    EXPECT_EQ(ReadFile(dir.path() / "err"), "") << tool;
  }
}

}  // namespace
}  // namespace mokuren::testing
