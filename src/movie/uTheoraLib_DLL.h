// The movie decoder: an Ogg file's Theora picture and its Vorbis sound track, decoded with libtheora and
// libvorbis (linked in; nothing is loaded at run time). Two decoders, one for the picture and one for
// the sound, each read the same file through the caller's callbacks.
//
// Every call checks the decoder's state first: before a successful Load, Exists() is false and the
// other calls do nothing and return 0 or false. A file is untrusted: a damaged one gives a decoder that
// reports what is wrong (Problem()) and never reads or writes outside its buffers.
#pragma once

#include <theora/theoradec.h>
#include <vorbis/codec.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "movie/ogg_packet_reader.h"

namespace mokuren {

// Where the picture decoder draws: row(y) is the address of target row y (4 bytes a pixel: blue, green,
// red, 0), resize(w, h) gives the target that size (the decoder calls it before drawing; a target that
// already has the size stays as it is).
struct MovieFrameTarget {
  std::function<uint8_t*(int32_t y)> row;
  std::function<void(int32_t width, int32_t height)> resize;
};

struct TheoraVideoInfo {
  int32_t width = 0, height = 0;  // the picture (not the coded frame, which is rounded up to 16)
  uint32_t fpsNumerator = 0, fpsDenominator = 0;
};

class TTheoraVideoDecoder {
 public:
  TTheoraVideoDecoder() = default;
  ~TTheoraVideoDecoder();
  TTheoraVideoDecoder(const TTheoraVideoDecoder&) = delete;
  TTheoraVideoDecoder& operator=(const TTheoraVideoDecoder&) = delete;

  // Theora codes its pictures bottom row first, and by default the rows reach the target in that order
  // (row 0 gets the picture's bottom row, as a bottom-up bitmap wants). With vertical reversal on they
  // come top row first, upright in a top-down surface such as TABitmap.
  void SetVReverse(bool on) { reverse_ = on; }

  // Reads the file's picture stream: its headers and how many frames it has. False when the file has no
  // usable Theora stream (Exists() false, Problem() says why). The source and the target must stay
  // valid while the decoder draws.
  bool Load(MovieFileSource source, MovieFrameTarget target);
  bool Exists() const { return exists_; }
  int32_t TotalFrame() const { return frames_; }
  const TheoraVideoInfo& Info() const { return info_; }
  // Set by Load when something is wrong, with or without a usable stream (a file cut off after its
  // last whole page still decodes).
  const std::string& Problem() const { return problem_; }
  bool Truncated() const { return truncated_; }

  // Draws frame n (0 = the first; numbers past the last draw the last) into the target. Decodes forward
  // from the frame drawn before, starting over from the first frame only when n is earlier. False when
  // nothing could be drawn.
  bool DecodeFrame(int32_t n);
  // Decodes forward to frame n as DecodeFrame does, without drawing: the picture stays in the decoder's
  // own Y'CbCr planes until the next decode. False when there is no picture.
  bool DecodePicture(int32_t n);
  // Draws the picture decoded last, cut to width x height pixels (its top-left part), into `row`'s rows
  // (in the order SetVReverse says, counted in the picture's rows): the conversion writes straight into
  // whatever surface is composed, with no copy of its own in between. False when no picture has been
  // decoded since the decoder (re)started.
  bool DrawPicture(const std::function<uint8_t*(int32_t y)>& row, int32_t width, int32_t height) const;

 private:
  void Clear();
  bool Restart();

  std::unique_ptr<OggPacketReader> reader_;
  MovieFrameTarget target_;
  int serial_ = 0;
  th_info th_{};
  th_comment comment_{};
  th_setup_info* setup_ = nullptr;
  th_dec_ctx* decoder_ = nullptr;
  bool infoReady_ = false;
  bool exists_ = false;
  bool truncated_ = false;
  bool reverse_ = false;
  int headerPackets_ = 0;
  int32_t frames_ = 0;
  int32_t frame_ = -1;  // the frame last decoded since the decoder (re)started
  // The picture of that frame: libtheora's planes, valid until its next decode, restart or free.
  th_ycbcr_buffer picture_{};
  bool hasPicture_ = false;
  TheoraVideoInfo info_;
  std::string problem_;
};

class TTheoraAudioDecoder {
 public:
  // Reads the file's Vorbis sound track and decodes all of it. False when the file has none or it
  // cannot be decoded (Problem() says why).
  bool Load(MovieFileSource source);
  bool Exists() const { return exists_; }
  int32_t SampleRate() const { return rate_; }
  int32_t Channels() const { return channels_; }
  // Audio frames (one sample per side) of the whole track.
  int64_t TotalSample() const { return static_cast<int64_t>(stereo_.size() / 2); }
  const std::string& Problem() const { return problem_; }
  bool Truncated() const { return truncated_; }
  // Copies `count` frames from frame `first` on into dest as 16-bit stereo (left, right; a mono track
  // on both sides). Returns the frames copied: fewer when the track ends first.
  int64_t DecodeSample(int16_t* dest, int64_t first, int64_t count) const;

  // A longer track is refused: the whole of it is held in memory (about 128 MiB at this length).
  static constexpr int64_t kMaxFrames = int64_t{1} << 25;

 private:
  bool exists_ = false;
  bool truncated_ = false;
  int32_t rate_ = 0;
  int32_t channels_ = 0;
  std::vector<int16_t> stereo_;
  std::string problem_;
};

}  // namespace mokuren
