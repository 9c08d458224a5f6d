// Game files that are not what they claim to be: archive entries and sounds of gigabytes (sparse files
// that take no room on the disk), and named pipes where the game expects files. The game starts, names
// what it refuses, and goes on.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "archive/archive_index.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"

namespace mokuren::testing {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kAddressSanitizer = false;
#endif

// Runs the program headless on `game` for a second of virtual time with its standard error in `err`;
// the status as WaitForProgram gives it. A game that reads what it should refuse runs out of its 2 GiB
// of address space (where the address sanitizer, which reserves far more, leaves room for a limit)
// instead of the machine's memory.
int RunGame(const std::filesystem::path& game, std::string& err) {
  const std::filesystem::path errFile = game / "err.txt";
  const pid_t pid = fork();
  if (pid == 0) {
    const rlimit limit{rlim_t{2} << 30, rlim_t{2} << 30};
    if (!kAddressSanitizer) setrlimit(RLIMIT_AS, &limit);
    if (!std::freopen(errFile.c_str(), "w", stderr)) _exit(126);
    const std::string exe = ProgramPath();
    execl(exe.c_str(), exe.c_str(), game.c_str(), "--headless", "--max-ms", "1000", static_cast<char*>(nullptr));
    _exit(127);
  }
  const int status = WaitForProgram(pid, std::chrono::seconds(60));
  err = ReadFile(errFile);
  return status;
}

// Makes entry `entry` of an archive `size` bytes long, starting where the index ends, and lengthens the
// file without writing (a sparse file) so that the entry lies inside it.
void OversizeEntry(const std::filesystem::path& archive, size_t entry, uint32_t size) {
  std::fstream f(archive, std::ios::in | std::ios::out | std::ios::binary);
  const uint32_t fields[2] = {static_cast<uint32_t>(ArchiveIndex::kMinFileSize), size};
  f.seekp(static_cast<std::streamoff>(ArchiveIndex::kIndexOffset + 8 * entry));
  f.write(reinterpret_cast<const char*>(fields), sizeof fields);
  f.close();
  const uintmax_t end = ArchiveIndex::kMinFileSize + uintmax_t{size};
  if (std::filesystem::file_size(archive) < end) std::filesystem::resize_file(archive, end);
}

TEST(HostileFiles, EntriesAndSoundsOfGigabytesAreRefusedUnreadNamingTheirSize) {
  TempDir dir;
  BuildTestGame(
      dir.path(),
      TestGame{{{1, "bgm 1\nbg \"BG01\"\njump a, 2\n"}, {2, "*a\nend\n"}}, {{"BG01", SolidPng(8, 8, 1, 2, 3)}}, {}});
  OversizeEntry(dir.path() / "SYSGRP.DAT", 0, 1u << 30);
  OversizeEntry(dir.path() / "GRAPHIC.DAT", 1, 3u << 30);
  OversizeEntry(dir.path() / "SCRIPT.DAT", 2, 2u << 30);
  std::filesystem::create_directory(dir.path() / "Sound");
  WriteFile(dir.path() / "Sound" / "M01.ogg", "");
  std::filesystem::resize_file(dir.path() / "Sound" / "M01.ogg", uintmax_t{4} << 30);

  std::string err;
  ASSERT_EQ(RunGame(dir.path(), err), 0) << err;
  for (const char* line :
       {"SYSGRP.DAT: entry 0 (the name list) is 1,073,741,824 bytes, more than the 16 MiB a name list may have",
        "GRAPHIC.DAT: entry 1 is 3,221,225,472 bytes, more than the 520 MiB a picture may have; it is not read",
        "SCRIPT.DAT: entry 2 is 2,147,483,648 bytes, more than the 16 MiB a script may have",
        "Sound/M01.ogg: the file is 4,294,967,296 bytes, more than the 128 MiB allowed; it is not played"})
    EXPECT_NE(err.find(line), std::string::npos) << line << "\n" << err;
}

TEST(HostileFiles, NamedPipesAmongTheGameFilesDoNotHoldTheStartUp) {
  std::string err;
  TempDir titled;
  WriteMinimalGame(titled.path());
  ASSERT_EQ(mkfifo((titled.path() / "title.txt").c_str(), 0644), 0);
  EXPECT_EQ(RunGame(titled.path(), err), 0) << err;
  EXPECT_NE(err.find("title.txt: it is a named pipe, not a regular file"), std::string::npos) << err;

  TempDir piped;
  WriteMinimalGame(piped.path());
  std::filesystem::remove(piped.path() / "SCRIPT.DAT");
  ASSERT_EQ(mkfifo((piped.path() / "SCRIPT.DAT").c_str(), 0644), 0);
  EXPECT_EQ(RunGame(piped.path(), err), 2) << err;
  EXPECT_NE(err.find("SCRIPT.DAT: it is a named pipe, not a regular file"), std::string::npos) << err;
}

}  // namespace
}  // namespace mokuren::testing
