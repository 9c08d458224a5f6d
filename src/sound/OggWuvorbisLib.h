// TVorbisFileDLL: the Vorbis decoder binding. Decoding is libvorbisfile's published API, linked directly;
// the binding supplies the four stream callbacks over an in-memory file and thin wrappers for the calls
// the stream decoder makes. One binding exists per process (VorbisFile()).
#pragma once

#include <vorbis/vorbisfile.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace mokuren {

// A whole file in memory with a read position: the decoder's data source.
class TMemoryStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}
  size_t Read(void* buffer, size_t count);
  // Returns the new position, or -1 (position unchanged) for a target before the start.
  int64_t Seek(int64_t offset, int origin);
  int64_t Position() const { return position_; }
  int64_t Size() const { return static_cast<int64_t>(data_.size()); }

 private:
  std::vector<uint8_t> data_;
  int64_t position_ = 0;
};

class TVorbisFileDLL {
 public:
  TVorbisFileDLL();

  // Opens the decoder on a stream. On success (result >= 0) the decoder owns the stream and closes it
  // through the close callback in ov_clear; on failure the caller still owns it.
  int ov_open_callbacks(TMemoryStream* source, OggVorbis_File* vf);
  void ov_clear(OggVorbis_File* vf);
  vorbis_info* ov_info(OggVorbis_File* vf);
  vorbis_comment* ov_comment(OggVorbis_File* vf);
  int64_t ov_pcm_total(OggVorbis_File* vf);
  double ov_time_total(OggVorbis_File* vf);
  // 16-bit signed little-endian interleaved samples: bytes written, 0 at the end, negative on error.
  long ov_read(OggVorbis_File* vf, char* buffer, int length, int* section);
  long ov_seekable(OggVorbis_File* vf);
  int ov_time_seek(OggVorbis_File* vf, double seconds);
  double ov_time_tell(OggVorbis_File* vf);

  const std::string& LibraryPath() const { return path_; }

 private:
  ov_callbacks callbacks_;
  std::string path_ = "vorbisfile";
};

// Creates the process's binding. Always succeeds with the library linked in; kept so start-up reads as
// it always has. The name is recorded for information only.
bool LoadVorbisLibrary(const std::string& fileName);
// The process's binding (created on first use if start-up has not made it).
TVorbisFileDLL& VorbisFile();

}  // namespace mokuren
