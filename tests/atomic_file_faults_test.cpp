// The atomic file writer on a failing file system: before or at every system call of replacing a file,
// the disk fills up, the folder turns read-only, or the file or its temporary twin becomes a folder.
// Whatever happens the file is the last good one or the new one, the writer's answer says which, and
// nothing it leaves behind is half a file under the file's name.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/atomic_file.h"
#include "support/engine_fixture.h"
#include "support/faulty_file_calls.h"

namespace mokuren::testing {
namespace {

constexpr uid_t kNobody = 65534;

class AtomicFileFaults : public ::testing::Test {
 protected:
  std::filesystem::path Target() const { return dir_.path() / "SAVE.DAT"; }
  std::filesystem::path Pending() const { return PendingFileName(Target()); }
  // The number of calls a replacement that meets no fault makes.
  int Steps() {
    WriteFile(Target(), old_);
    FaultyFileCalls calls;
    EXPECT_EQ(WriteFileAtomically(Target(), Bytes(fresh_), {}, calls), "");
    EXPECT_GT(calls.calls, 9);  // the write goes out in several pieces
    return calls.calls;
  }
  static std::span<const uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
  }
  // The file is the old one after a failure and the new one after success, and a failure says why.
  void ExpectOldOrNew(const std::string& error, const FaultyFileCalls& calls, int step) {
    EXPECT_EQ(error.empty(), calls.renamed) << "step " << step << ": " << error;
    const std::string now = ReadFile(Target());
    EXPECT_TRUE(now == (calls.renamed ? fresh_ : old_)) << "step " << step << ": " << now.size() << " bytes";
  }

  TempDir dir_;
  const std::string old_ = std::string(407472, 'o'), fresh_ = std::string(407472, 'n');
};

TEST_F(AtomicFileFaults, ADiskThatFillsUpAtAnyStepLeavesTheLastGoodFile) {
  const int steps = Steps();
  for (int k = 0; k < steps; ++k) {
    WriteFile(Target(), old_);
    FaultyFileCalls calls;
    calls.failAt = k;
    const std::string error = WriteFileAtomically(Target(), Bytes(fresh_), {}, calls);
    ExpectOldOrNew(error, calls, k);
    if (!error.empty()) {
      EXPECT_NE(error.find(std::strerror(ENOSPC)), std::string::npos) << error;
    }
    EXPECT_FALSE(std::filesystem::exists(Pending())) << "step " << k;
  }
}

TEST_F(AtomicFileFaults, AFileOrItsTemporaryTwinTurnedIntoAFolderIsNeitherLostNorWrittenThrough) {
  const int steps = Steps();
  for (int k = 0; k < steps; ++k) {
    // The temporary name becomes a folder: the new bytes never take the file's name through it.
    WriteFile(Target(), old_);
    FaultyFileCalls calls;
    calls.changeAt = k;
    calls.change = [&] {
      std::filesystem::remove(Pending());
      std::filesystem::create_directory(Pending());
    };
    ExpectOldOrNew(WriteFileAtomically(Target(), Bytes(fresh_), {}, calls), calls, k);
    std::filesystem::remove_all(Pending());

    // The file itself becomes a folder with something in it, which a failed replacement leaves alone.
    WriteFile(Target(), old_);
    FaultyFileCalls moved;
    moved.changeAt = k;
    moved.change = [&] {
      std::filesystem::remove(Target());
      std::filesystem::create_directory(Target());
      WriteFile(Target() / "kept", "kept");
    };
    const std::string error = WriteFileAtomically(Target(), Bytes(fresh_), {}, moved);
    if (!moved.renamed) {
      EXPECT_FALSE(error.empty()) << "step " << k;
      EXPECT_EQ(ReadFile(Target() / "kept"), "kept") << "step " << k;
    }
    EXPECT_FALSE(std::filesystem::exists(Pending())) << "step " << k;
    std::filesystem::remove_all(Target());
  }
}

// Root writes into read-only folders, so the writer runs in a child process as an ordinary user; the
// child reports each wrong outcome on standard error and exits with their number.
TEST_F(AtomicFileFaults, AFolderTurnedReadOnlyAtAnyStepLeavesTheLastGoodFile) {
  const int steps = Steps();
  const std::filesystem::path folder = dir_.path() / "saves";
  std::filesystem::create_directory(folder);
  if (geteuid() == 0) {
    ASSERT_EQ(chown(folder.c_str(), kNobody, kNobody), 0);
  }
  const std::filesystem::path target = folder / "SAVE.DAT";
  auto replaceAsAUser = [&] {
    if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) std::_Exit(126);
    int wrong = 0;
    for (int k = 0; k < steps; ++k) {
      chmod(folder.c_str(), 0755);
      WriteFile(target, old_);
      FaultyFileCalls calls;
      calls.changeAt = k;
      calls.change = [&] { chmod(folder.c_str(), 0555); };
      const std::string error = WriteFileAtomically(target, Bytes(fresh_), {}, calls);
      if (error.empty() != calls.renamed || ReadFile(target) != (calls.renamed ? fresh_ : old_)) {
        std::fprintf(stderr, "step %d: %s\n", k, error.c_str());
        ++wrong;
      }
    }
    // A link into a folder that cannot be written: the answer names the file it leads to.
    chmod(folder.c_str(), 0755);
    std::filesystem::create_symlink(target, folder / "LINK.DAT");
    chmod(folder.c_str(), 0555);
    const std::string error = WriteFileAtomically(folder / "LINK.DAT", Bytes(fresh_));
    if (error.find("it is a link to " + target.string()) == std::string::npos) {
      std::fprintf(stderr, "link: %s\n", error.c_str());
      ++wrong;
    }
    std::_Exit(wrong);
  };
  EXPECT_EXIT(replaceAsAUser(), ::testing::ExitedWithCode(0), "");
  chmod(folder.c_str(), 0755);
}

}  // namespace
}  // namespace mokuren::testing
