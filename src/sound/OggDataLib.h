// TOggData: one sound file as a stream. It holds the whole Ogg Vorbis file in memory, decodes it on demand,
// converts it to 44100 Hz stereo, follows the loop points of its "COMMENT" tag, and applies a fade level
// and two gains while rendering blocks of 32-bit stereo for the mixer (TOggPlayer).
//
// Threads: RenderHalf runs on the refill thread (under the mixer's lock, then this stream's lock); every
// other operation runs on the engine thread and takes only this stream's lock.
#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "sound/OggWuvorbisLib.h"
#include "sound/TSemaphore.h"

namespace mokuren {

// Raised when a file exists but cannot be played: the decoder cannot open it (what() is then kMessage in
// UTF-8), or it is no regular file or too large to be read (what() says so in English).
class EOggLoad : public std::runtime_error {
 public:
  EOggLoad() : std::runtime_error("ファイルの読み込みに失敗") {}
  explicit EOggLoad(const std::string& why) : std::runtime_error(why) {}
  static constexpr const char16_t* kMessage = u"ファイルの読み込みに失敗";
};

struct OggLoopEntry {
  double Start = 0;   // seconds
  double End = 0;     // seconds
  int32_t Limit = 0;  // -1: no limit; 0: never fires
  int32_t Counter = 0;
};

using OggLoopTable = std::array<OggLoopEntry, 16>;

// Reads "*looptime" and "*loopsample" lines of a COMMENT value into the table (entries 0..15).
void ParseLoopComment(const std::string& comment, int32_t sampleRate, OggLoopTable& loops);

class TOggData {
 public:
  // size: bytes of one half of 32-bit stereo output (163840 gives 20480 frames per render).
  explicit TOggData(int32_t size = 163840);
  ~TOggData();
  TOggData(const TOggData&) = delete;
  TOggData& operator=(const TOggData&) = delete;

  // False when the file does not exist; EOggLoad when it is not a regular file, is larger than
  // kMaxSoundFileBytes (it is then not read at all) or does not decode.
  bool LoadFromFile(const std::filesystem::path& path);
  // False for no stream; EOggLoad (the stream destroyed) when the decoder refuses it.
  bool LoadFromStream(std::unique_ptr<TMemoryStream> stream);

  void Play(bool loop);
  void Stop();
  void SetVolume(double level);
  void FadeTo(double seconds, double level);
  // 0 no file, 1 loaded, 2 playing once, 3 playing and looping.
  int Status();
  void SetStreamGain(double g);
  void SetSlotGain(double g);

  // Renders the next block into the other half: the block's size in bytes, or 0 when not playing. With
  // an accumulator of `accumulatorFrames` 32-bit stereo frames, the block's first frames are also added
  // there, saturating, each piece while it is still in the cache.
  int32_t RenderHalf(int32_t* accumulator = nullptr, int32_t accumulatorFrames = 0);
  // The half just rendered: HalfFrames() stereo frames of 32-bit samples.
  const int32_t* CurrentHalf() const { return output_.get() + halfSelector_; }
  int32_t HalfFrames() const { return size_ / 8; }

  // Information of the loaded file.
  int32_t Channels() const { return channels_; }
  int32_t SampleRate() const { return rate_; }
  int64_t TotalSamples() const { return totalSamples_; }
  double TotalSeconds() const { return totalSeconds_; }
  const std::vector<std::string>& Comments() const { return comments_; }  // name=value, UTF-8
  const std::string& Vendor() const { return vendor_; }
  const OggLoopTable& Loops() const { return loops_; }
  // The fade level's current value and target in 1/2^40 units (tests and the debug window).
  int64_t FadeCurrent() const { return fadeCurrent_; }
  int64_t FadeTarget() const { return fadeTarget_; }
  int32_t StreamGain() const { return streamGain_; }
  int32_t SlotGain() const { return slotGain_; }

 private:
  void Reset();
  void ClearOutput();
  int32_t DecodeConvert(int16_t* out, int32_t want);
  int32_t Fill(int16_t* out, int32_t want);
  int32_t FillChunk(int16_t* out, int32_t want, double t);
  // The chunk in 32 bits with the gains and the fade; also added into `mix` (its first mixFrames frames)
  // when given.
  void ApplyGains(const int16_t* in, int32_t* out, int32_t frames, int32_t* mix, int32_t mixFrames);
  void Seek(double seconds);

  TSemaphore lock_;
  int32_t size_;
  OggVorbis_File vf_;
  bool decoderOpen_ = false;
  std::vector<std::string> comments_;
  std::string vendor_;
  int32_t channels_ = 0;
  int32_t rate_ = 0;
  int64_t totalSamples_ = 0;
  double totalSeconds_ = 0;
  bool loaded_ = false;
  bool playing_ = false;
  bool looping_ = false;
  // Two halves of size_ bytes, from calloc: the pages of a stream never played are never touched (the
  // seven streams hold 2.3 MB). `rendered_`: a block was rendered since they and the scratch buffers below
  // were last cleared.
  struct FreeSamples {
    void operator()(int32_t* p) const { std::free(p); }
  };
  std::unique_ptr<int32_t[], FreeSamples> output_;
  bool rendered_ = false;
  int32_t halfSelector_ = 0;               // index of the half just rendered, 0 or size_/4
  std::array<int16_t, 8192> decoded_{};    // decoder output
  std::array<int16_t, 8192> converted_{};  // 44100 Hz stereo
  int64_t fadeCurrent_ = int64_t{1} << 40;
  int64_t fadeTarget_ = int64_t{1} << 40;
  int64_t fadeStep_ = 0;
  int32_t streamGain_ = 256;
  int32_t slotGain_ = 256;
  OggLoopTable loops_{};
};

}  // namespace mokuren
