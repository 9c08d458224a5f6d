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
#include "sound/pcm_source.h"

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

// The sound track, decoded as it is read: Load checks the track (its headers, and that the file does not
// end before it does) without decoding it; each Read then decodes only as far as it needs. The decoder
// owns what it reads through, so it may run on another thread than the one that loaded it.
class TTheoraAudioDecoder final : public PcmSource {
 public:
  TTheoraAudioDecoder() = default;
  ~TTheoraAudioDecoder() override;
  TTheoraAudioDecoder(const TTheoraAudioDecoder&) = delete;
  TTheoraAudioDecoder& operator=(const TTheoraAudioDecoder&) = delete;

  // Finds the file's Vorbis sound track and makes it ready to decode from its start. False when the file
  // has none or its headers cannot be decoded (Problem() says why).
  bool Load(MovieFileSource source);
  bool Exists() const { return exists_; }
  int32_t SampleRate() const { return rate_; }
  int32_t Channels() const { return channels_; }
  const std::string& Problem() const { return problem_; }
  bool Truncated() const { return truncated_; }
  // The next `frames` frames as 16-bit stereo (left, right; a mono track on both sides); fewer once the
  // track ends. Nothing before a successful Load.
  int64_t Read(int16_t* dest, int64_t frames) override;

 private:
  void Clear();

  std::unique_ptr<OggPacketReader> reader_;
  vorbis_info info_{};
  vorbis_comment comment_{};
  vorbis_dsp_state dsp_{};
  vorbis_block block_{};
  bool headersReady_ = false;  // info_ and comment_ initialised
  bool exists_ = false;        // dsp_ and block_ initialised too
  bool ended_ = false;         // the last packet has been read
  bool truncated_ = false;
  int32_t rate_ = 0;
  int32_t channels_ = 0;
  int right_ = 0;  // the channel heard on the right
  std::string problem_;
};

}  // namespace mokuren
