// A file the program writes for whoever runs it: a screenshot, the trace, the recorded sound, a dump. It
// is opened without waiting, so that a named pipe nothing reads is refused instead of holding the game,
// and a write that fails (a full disk) is kept with its reason, so that the run can end saying so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace mokuren {

class OutputFile {
 public:
  enum class Mode { Replace, Append };

  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Opens `path` for writing, creating it when missing: emptied (a regular file) or appended to. A named
  // pipe is taken only when something reads it, a folder never. False, with `problem` saying why in an
  // English clause ("it is a named pipe that nothing reads", "No space left on device").
  bool Open(const std::string& path, Mode mode, std::string& problem);
  bool IsOpen() const { return fd_ >= 0; }
  // A regular file, which WriteAt can write anywhere in; a pipe or a device is written in order only.
  bool Regular() const { return regular_; }
  // Writes all of it (at the end, or at `offset` of a regular file). False after any failure, this one
  // or an earlier one; Problem() then says why.
  bool Write(const void* data, size_t size);
  bool WriteAt(uint64_t offset, const void* data, size_t size);
  // Closes the file; false when it, or any write before, failed.
  bool Close();
  bool Failed() const { return !problem_.empty(); }
  const std::string& Problem() const { return problem_; }

 private:
  bool Fail(int error);

  int fd_ = -1;
  bool regular_ = false;
  std::string problem_;
};

// The whole of `bytes` into a new file at `path` (as OutputFile writes it); false with `problem` when it
// cannot be.
bool WriteOutputFile(const std::string& path, const std::string& bytes, std::string& problem);

}  // namespace mokuren
