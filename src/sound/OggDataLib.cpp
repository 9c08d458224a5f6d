#include "sound/OggDataLib.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "platform/game_files.h"
#include "sound/mix_kernels.h"
#include "sound/sound_files.h"

namespace mokuren {

namespace {

constexpr int64_t kUnit = int64_t{1} << 40;  // fade level 1.0
constexpr int64_t kAudible = static_cast<int64_t>(0.01 * static_cast<double>(kUnit));
constexpr int32_t kChunkFrames = 512;
constexpr double kBytesPerSecond16 = 176400.0;  // 44100 Hz stereo 16-bit

int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// The whole field must be a number, else the default (as StrToIntDef and StrToFloatDef behave).
int32_t IntField(const std::string& s, int32_t fallback) {
  int32_t v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return (ec == std::errc() && end == s.data() + s.size() && !s.empty()) ? v : fallback;
}

double FloatField(const std::string& s, double fallback) {
  double v = 0;
#if defined(__cpp_lib_to_chars)
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty() || !std::isfinite(v)) return fallback;
#else
  // This standard library reads no floating-point numbers with from_chars (libc++ 14, the web build's
  // over musl, whose strtod knows only the "." of the C locale). strtod reads the same decimal numbers
  // once what from_chars refuses is refused first: a leading "+" or space, and hexadecimal.
  if (s.empty() || s[0] == '+' || std::isspace(static_cast<unsigned char>(s[0])) ||
      s.find_first_of("xX") != std::string::npos)
    return fallback;
  errno = 0;
  char* end = nullptr;
  v = std::strtod(s.c_str(), &end);
  // Out of range is a number too large, or too small to be anything but zero; a subnormal one is read.
  if ((errno == ERANGE && (v == 0 || !std::isfinite(v))) || end != s.c_str() + s.size() || !std::isfinite(v))
    return fallback;
#endif
  return v;
}

}  // namespace

void ParseLoopComment(const std::string& comment, int32_t sampleRate, OggLoopTable& loops) {
  size_t at = 0;
  while (at <= comment.size()) {
    // Lines end at CR LF; a lone LF (files tagged on other systems) ends one too.
    size_t nl = comment.find('\n', at);
    std::string line = comment.substr(at, nl == std::string::npos ? std::string::npos : nl - at);
    at = nl == std::string::npos ? comment.size() + 1 : nl + 1;
    std::array<std::string, 5> fields;
    size_t field = 0;
    for (size_t i = 0; i < line.size(); ++i) {
      auto c = static_cast<unsigned char>(line[i]);
      if (c == '\r' || c == ' ' || c == '\t') continue;
      if (c == '/' && i + 1 < line.size() && line[i + 1] == '/') break;
      if (c == ',') {
        if (++field >= fields.size()) break;  // a sixth field and beyond are ignored
        continue;
      }
      // The comment is kept in UTF-8, whose multi-byte characters never contain these ASCII bytes, so
      // they stay whole without a look at lead bytes.
      if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
      fields[field].push_back(static_cast<char>(c));
    }
    bool time = fields[0] == "*looptime";
    bool sample = fields[0] == "*loopsample";
    if (!time && !sample) continue;
    int32_t entry = IntField(fields[1], 0);
    double start = FloatField(fields[2], 0);
    double end = FloatField(fields[3], 0);
    int32_t limit = IntField(fields[4], -1);
    if (sample) {
      if (sampleRate <= 0) continue;
      start /= sampleRate;
      end /= sampleRate;
    }
    if (entry < 0 || entry > 15) continue;
    loops[static_cast<size_t>(entry)] = OggLoopEntry{start, end, limit, 0};
  }
}

TOggData::TOggData(int32_t size) : size_(std::max<int32_t>(size, 64) & ~7) {
  std::memset(&vf_, 0, sizeof vf_);
  output_.reset(static_cast<int32_t*>(std::calloc(static_cast<size_t>(size_) / 2, sizeof(int32_t))));
  if (!output_) throw std::bad_alloc();
}

TOggData::~TOggData() {
  SemaphoreLock lock(lock_);
  Reset();
}

void TOggData::Reset() {
  playing_ = false;
  looping_ = false;
  loaded_ = false;
  if (decoderOpen_) VorbisFile().ov_clear(&vf_);  // closes and frees the source stream
  decoderOpen_ = false;
  std::memset(&vf_, 0, sizeof vf_);
  comments_.clear();
  vendor_.clear();
  channels_ = rate_ = 0;
  totalSamples_ = 0;
  totalSeconds_ = 0;
  loops_ = OggLoopTable{};
  if (rendered_) {
    ClearOutput();
    decoded_.fill(0);
    converted_.fill(0);
    rendered_ = false;
  }
}

void TOggData::ClearOutput() { std::fill(output_.get(), output_.get() + size_ / 2, 0); }

bool TOggData::LoadFromFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return false;
  std::vector<uint8_t> bytes;
  std::string problem;
  if (!ReadGameFile(path, kMaxSoundFileBytes, bytes, problem)) throw EOggLoad(problem + "; it is not played");
  return LoadFromStream(std::make_unique<TMemoryStream>(std::move(bytes)));
}

bool TOggData::LoadFromStream(std::unique_ptr<TMemoryStream> stream) {
  if (!stream) return false;
  SemaphoreLock lock(lock_);
  Reset();
  if (VorbisFile().ov_open_callbacks(stream.get(), &vf_) < 0) {
    std::memset(&vf_, 0, sizeof vf_);
    throw EOggLoad();  // the stream is destroyed on the way out
  }
  stream.release();  // the decoder owns it now and frees it in ov_clear
  decoderOpen_ = true;
  if (vorbis_info* info = VorbisFile().ov_info(&vf_)) {
    channels_ = info->channels;
    rate_ = static_cast<int32_t>(info->rate);
  }
  totalSamples_ = VorbisFile().ov_pcm_total(&vf_);
  totalSeconds_ = VorbisFile().ov_time_total(&vf_);
  if (vorbis_comment* vc = VorbisFile().ov_comment(&vf_)) {
    for (int i = 0; i < vc->comments; ++i)
      if (vc->user_comments[i])
        comments_.emplace_back(vc->user_comments[i], static_cast<size_t>(vc->comment_lengths[i]));
    if (vc->vendor) vendor_ = vc->vendor;
  }
  for (const std::string& c : comments_) {
    size_t eq = c.find('=');
    if (eq != 7) continue;
    std::string name = c.substr(0, eq);
    for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (name == "COMMENT") {
      ParseLoopComment(c.substr(eq + 1), rate_, loops_);
      break;
    }
  }
  loaded_ = true;
  return true;
}

void TOggData::Play(bool loop) {
  SemaphoreLock lock(lock_);
  playing_ = true;
  looping_ = loop;
}

void TOggData::Seek(double seconds) {
  if (decoderOpen_) VorbisFile().ov_time_seek(&vf_, seconds);
}

void TOggData::Stop() {
  SemaphoreLock lock(lock_);
  playing_ = false;
  looping_ = false;
  Seek(0);
  for (OggLoopEntry& e : loops_) e.Counter = 0;
  if (rendered_) ClearOutput();
}

void TOggData::SetVolume(double level) { FadeTo(0, level); }

void TOggData::FadeTo(double seconds, double level) {
  SemaphoreLock lock(lock_);
  if (!(level >= 0)) level = 0;  // NaN too
  level = std::min(level, 64.0);
  fadeTarget_ = static_cast<int64_t>(level * static_cast<double>(kUnit));
  if (!(seconds >= 0.01)) {
    fadeCurrent_ = fadeTarget_;
    fadeStep_ = 0;
  } else {
    fadeStep_ = static_cast<int64_t>(static_cast<double>(fadeTarget_ - fadeCurrent_) / (seconds * 44100.0));
  }
}

int TOggData::Status() {
  SemaphoreLock lock(lock_);
  if (!loaded_) return 0;
  if (!playing_) return 1;
  return looping_ ? 3 : 2;
}

namespace {
int32_t GainUnits(double g) {
  if (!(g >= 0)) g = 0;
  return static_cast<int32_t>(std::lround(std::min(g, 64.0) * 256.0));  // halves away from zero
}
}  // namespace

void TOggData::SetStreamGain(double g) {
  SemaphoreLock lock(lock_);
  streamGain_ = GainUnits(g);
}

void TOggData::SetSlotGain(double g) {
  SemaphoreLock lock(lock_);
  slotGain_ = GainUnits(g);
}

// One step of decoding and conversion: at most want bytes of 44100 Hz stereo 16-bit into out.
// Returns the bytes produced, 0 at the end of the stream, or a negative value for an error or a format
// that cannot be converted.
int32_t TOggData::DecodeConvert(int16_t* out, int32_t want) {
  int key = rate_ * 10 + channels_;
  if (key != 220501 && key != 220502 && key != 441001 && key != 441002) return -1;
  int32_t repeat = rate_ == 22050 ? 2 : 1;  // output frames per source frame
  int32_t outPerSource = repeat * 4;        // output bytes per source frame
  int32_t sourceFrameBytes = channels_ * 2;
  int32_t frames = want / outPerSource;
  // Less than one source frame is wanted (a loop point split the chunk there): decode one and keep only
  // the part asked for, since the decoder refuses reads shorter than a frame.
  bool partial = frames == 0;
  if (partial) frames = 1;
  frames = std::min<int32_t>(frames, static_cast<int32_t>(decoded_.size()) / channels_);
  int section = 0;
  bool direct = key == 441002 && !partial;
  auto* target = direct ? reinterpret_cast<char*>(out) : reinterpret_cast<char*>(decoded_.data());
  long got = VorbisFile().ov_read(&vf_, target, frames * sourceFrameBytes, &section);
  if (got <= 0) return static_cast<int32_t>(got);
  if (direct) return static_cast<int32_t>(got);
  int32_t n = static_cast<int32_t>(got) / sourceFrameBytes;
  int16_t* dst = partial ? converted_.data() : out;
  const int16_t* src = decoded_.data();
  for (int32_t i = 0; i < n; ++i) {
    int16_t l = src[i * channels_];
    int16_t r = src[i * channels_ + channels_ - 1];
    for (int32_t k = 0; k < repeat; ++k) {
      *dst++ = l;
      *dst++ = r;
    }
  }
  int32_t bytes = n * outPerSource;
  if (partial) {
    bytes = std::min(bytes, want);
    std::memcpy(out, converted_.data(), static_cast<size_t>(bytes));
  }
  return bytes;
}

// The read loop: want bytes, following the end of the stream (back to 0 s when looping).
int32_t TOggData::Fill(int16_t* out, int32_t want) {
  int32_t produced = 0;
  bool justWrapped = false;
  while (produced < want) {
    int32_t r = DecodeConvert(out + produced / 2, want - produced);
    if (r < 0) {
      playing_ = false;
      break;
    }
    if (r == 0) {
      // A looping file that ends again right after going back to 0 s has nothing to play; stopping it
      // keeps the refill from spinning on it forever.
      if (looping_ && !justWrapped) {
        Seek(0);
        justWrapped = true;
        continue;
      }
      playing_ = false;
      looping_ = false;
      Seek(0);
      break;
    }
    justWrapped = false;
    produced += r;
  }
  return produced;
}

// One chunk of want bytes starting at time t, with the loop points applied.
int32_t TOggData::FillChunk(int16_t* out, int32_t want, double t) {
  double span = want / kBytesPerSecond16;
  bool fired = false;
  int32_t produced = 0;
  for (OggLoopEntry& e : loops_) {
    if (!fired && (e.Counter < e.Limit || e.Limit == -1) && t <= e.End && e.End <= t + span) {
      fired = true;
      if (e.Limit != -1) ++e.Counter;
      double d = std::round((e.End - t) * kBytesPerSecond16);  // halves away from zero
      int32_t split = std::min(static_cast<int32_t>(d) & ~3, want);
      produced = Fill(out, split);
      if (playing_) {
        Seek(e.Start);
        produced += Fill(out + produced / 2, want - produced);
      }
    }
    if (e.End < t) e.Counter = 0;
  }
  if (!fired) produced = Fill(out, want);
  return produced;
}

void TOggData::ApplyGains(const int16_t* in, int32_t* out, int32_t frames, int32_t* mix, int32_t mixFrames) {
  const int64_t g = static_cast<int64_t>(streamGain_) * slotGain_ / 256;
  int32_t i = 0;
  // While a fade runs, the level moves every frame.
  for (; i < frames && fadeStep_ != 0; ++i) {
    int64_t distance = fadeTarget_ - fadeCurrent_;
    if ((distance < 0 ? -distance : distance) < (fadeStep_ < 0 ? -fadeStep_ : fadeStep_)) {
      fadeCurrent_ = fadeTarget_;
      fadeStep_ = 0;
    }
    fadeCurrent_ += fadeStep_;
    int64_t f = g * (fadeCurrent_ >> 32) / 256;
    out[i * 2] = Saturate(f * in[i * 2] / 256);
    out[i * 2 + 1] = Saturate(f * in[i * 2 + 1] / 256);
  }
  if (mix && i > 0) mix::AddSaturating(mix, out, std::min(i, mixFrames) * 2);
  // At a steady level one gain serves the rest of the chunk.
  if (i < frames)
    mix::ScaleToInt32(in + i * 2, out + i * 2, (frames - i) * 2, g * (fadeCurrent_ >> 32) / 256,
                      mix && i < mixFrames ? mix + i * 2 : nullptr, (mixFrames - i) * 2);
}

int32_t TOggData::RenderHalf(int32_t* accumulator, int32_t accumulatorFrames) {
  SemaphoreLock lock(lock_);
  // A faded-out stream stops itself.
  if (fadeCurrent_ < kAudible && fadeTarget_ < kAudible) playing_ = false;
  if (!loaded_ || !playing_) return 0;
  halfSelector_ = halfSelector_ == 0 ? size_ / 4 : 0;
  rendered_ = true;
  int32_t* block = output_.get() + halfSelector_;
  int32_t frames = HalfFrames();
  int32_t done = 0;
  while (done < frames && playing_) {
    int32_t want = std::min(kChunkFrames, frames - done) * 4;
    // The chunk's time is the decoder's position, so that a jump back at a loop point is seen by the
    // next chunk and the entry's counter is not reset by a time that ran past its end.
    double t = VorbisFile().ov_time_tell(&vf_);
    int32_t got = FillChunk(converted_.data() + 4096, want, t);
    if (got <= 0) break;
    const bool mixing = accumulator && done < accumulatorFrames;
    ApplyGains(converted_.data() + 4096, block + done * 2, got / 4, mixing ? accumulator + done * 2 : nullptr,
               accumulatorFrames - done);
    done += got / 4;
  }
  std::fill(block + done * 2, block + frames * 2, 0);
  return size_;
}

}  // namespace mokuren
