// Reading the packets of one logical stream out of a multiplexed Ogg file (a movie interleaves the pages
// of its picture and its sound). The file is read through the caller's callbacks in chunks, from the
// start, so a reader can be restarted at any time and never holds more than a few pages.
#pragma once

#include <ogg/ogg.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace mokuren {

// Where a decoder reads the movie file: read(buffer, position, count) copies up to count bytes from
// position on and returns how many it copied (0 at or past the end); size() is the file's length.
struct MovieFileSource {
  std::function<size_t(void* buffer, int64_t position, size_t count)> read;
  std::function<int64_t()> size;
};

class OggPacketReader {
 public:
  explicit OggPacketReader(MovieFileSource source);
  ~OggPacketReader();
  OggPacketReader(const OggPacketReader&) = delete;
  OggPacketReader& operator=(const OggPacketReader&) = delete;

  struct Beginning {
    int serial;
    std::vector<uint8_t> packet;  // the stream's first packet, which says what kind of stream it is
  };
  // The streams that begin the file (its leading run of beginning-of-stream pages), at most 32.
  std::vector<Beginning> Beginnings();

  // Starts over at the beginning of the file, following the stream with this serial number.
  void Follow(int serial);
  // The next packet of the followed stream; false at the end of the file. The packet's bytes stay valid
  // until the next call. Damaged or missing pages are skipped.
  bool Next(ogg_packet& packet);
  // Once Next has returned false: whether the stream ended as a stream should, with its end-of-stream
  // page (false for a file cut off anywhere before it; bytes after it do not matter).
  bool EndedCleanly() const { return sawEnd_; }

 private:
  void Rewind();
  bool NextPage(ogg_page& page);

  MovieFileSource source_;
  int64_t position_ = 0;
  ogg_sync_state sync_{};
  ogg_stream_state stream_{};
  bool streamReady_ = false;
  int serial_ = 0;
  bool sawEnd_ = false;
};

}  // namespace mokuren
