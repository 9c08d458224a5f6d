#include "movie/uTheoraLib_DLL.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "movie/ycbcr_convert.h"

namespace mokuren {

namespace {

// The largest picture taken: a movie for an 800x600 game has no use for more, and a damaged header
// must not make the decoder allocate gigabytes.
constexpr uint32_t kMaxSide = 4096;
constexpr uint64_t kMaxArea = 4096ull * 2304ull;

bool IsTheoraHeader(const std::vector<uint8_t>& p) {
  return p.size() >= 7 && p[0] == 0x80 && std::memcmp(p.data() + 1, "theora", 6) == 0;
}

bool IsVorbisHeader(const std::vector<uint8_t>& p) {
  return p.size() >= 7 && p[0] == 0x01 && std::memcmp(p.data() + 1, "vorbis", 6) == 0;
}

// A decoded sample (nominally -1 to 1) as 16 bits, rounded to nearest and clamped.
int16_t ToSample(float v) { return static_cast<int16_t>(std::lrintf(std::clamp(v * 32768.0f, -32768.0f, 32767.0f))); }

// The first stream of the file whose first packet passes the test. Otherwise false, with `problem`
// saying whether the file holds no Ogg stream at all or only streams of other kinds.
bool FindStream(OggPacketReader& reader, bool (*test)(const std::vector<uint8_t>&), const char* what, int& serial,
                std::string& problem) {
  const std::vector<OggPacketReader::Beginning> streams = reader.Beginnings();
  for (const auto& b : streams)
    if (test(b.packet)) {
      serial = b.serial;
      return true;
    }
  problem = streams.empty() ? "the file is not an Ogg file" : std::string("the file has no ") + what;
  return false;
}

}  // namespace

// ---- Picture --------------------------------------------------------------------------------------

TTheoraVideoDecoder::~TTheoraVideoDecoder() { Clear(); }

void TTheoraVideoDecoder::Clear() {
  if (decoder_) th_decode_free(decoder_);
  decoder_ = nullptr;
  if (setup_) th_setup_free(setup_);
  setup_ = nullptr;
  if (infoReady_) {
    th_info_clear(&th_);
    th_comment_clear(&comment_);
  }
  infoReady_ = false;
  reader_.reset();
  exists_ = truncated_ = false;
  headerPackets_ = 0;
  frames_ = 0;
  frame_ = -1;
  hasPicture_ = false;
  info_ = {};
  problem_.clear();
}

bool TTheoraVideoDecoder::Load(MovieFileSource source, MovieFrameTarget target) {
  Clear();
  target_ = std::move(target);
  reader_ = std::make_unique<OggPacketReader>(std::move(source));
  if (!FindStream(*reader_, IsTheoraHeader, "Theora picture stream", serial_, problem_)) return false;
  th_info_init(&th_);
  th_comment_init(&comment_);
  infoReady_ = true;
  reader_->Follow(serial_);
  ogg_packet packet;
  bool data = false;
  while (!data && reader_->Next(packet)) {
    const int r = th_decode_headerin(&th_, &comment_, &setup_, &packet);
    if (r < 0) {
      problem_ = "the picture stream's headers are damaged";
      return false;
    }
    if (r > 0) ++headerPackets_;
    data = r == 0;  // the first picture: the headers are complete
  }
  if (!data) {
    problem_ = headerPackets_ < 3 ? "the picture stream's headers are incomplete" : "the picture stream has no frames";
    return false;
  }
  if (th_.pic_width == 0 || th_.pic_height == 0 || th_.pic_width > kMaxSide || th_.pic_height > kMaxSide ||
      uint64_t{th_.frame_width} * th_.frame_height > kMaxArea) {
    problem_ = "the picture's size " + std::to_string(th_.pic_width) + "x" + std::to_string(th_.pic_height) +
               " is not supported (at most 4096 pixels a side and 4096x2304 in all)";
    return false;
  }
  if (th_.fps_numerator == 0 || th_.fps_denominator == 0) {
    problem_ = "the picture stream has no frame rate";
    return false;
  }
  frames_ = 1;
  while (frames_ < INT32_MAX && reader_->Next(packet)) ++frames_;
  truncated_ = !reader_->EndedCleanly();
  if (truncated_) problem_ = "the file ends before its picture stream does (cut off?)";
  info_ = {static_cast<int32_t>(th_.pic_width), static_cast<int32_t>(th_.pic_height), th_.fps_numerator,
           th_.fps_denominator};
  exists_ = true;
  return true;
}

bool TTheoraVideoDecoder::Restart() {
  if (decoder_) th_decode_free(decoder_);
  decoder_ = th_decode_alloc(&th_, setup_);
  frame_ = -1;
  hasPicture_ = false;
  if (!decoder_) return false;
  reader_->Follow(serial_);
  ogg_packet packet;
  for (int i = 0; i < headerPackets_; ++i)
    if (!reader_->Next(packet)) return false;
  return true;
}

bool TTheoraVideoDecoder::DecodeFrame(int32_t n) {
  if (!DecodePicture(n)) return false;
  if (target_.resize) target_.resize(info_.width, info_.height);
  return target_.row && DrawPicture(target_.row, info_.width, info_.height);
}

bool TTheoraVideoDecoder::DecodePicture(int32_t n) {
  if (!exists_ || frames_ <= 0) return false;
  n = std::clamp(n, 0, frames_ - 1);
  if (!decoder_ || n < frame_)
    if (!Restart()) return false;
  // Frames on the way are decoded (later ones are coded against them) but not converted.
  ogg_packet packet;
  while (frame_ < n && reader_->Next(packet)) {
    ++frame_;
    hasPicture_ = false;
    th_decode_packetin(decoder_, &packet, nullptr);  // a damaged frame leaves the one before it
  }
  if (frame_ < 0) return false;
  if (!hasPicture_) hasPicture_ = th_decode_ycbcr_out(decoder_, picture_) == 0;
  return hasPicture_;
}

bool TTheoraVideoDecoder::DrawPicture(const std::function<uint8_t*(int32_t y)>& row, int32_t width,
                                      int32_t height) const {
  if (!hasPicture_ || !row) return false;
  YCbCrPicture p{};
  for (int i = 0; i < 3; ++i) {
    p.plane[i] = picture_[i].data;
    p.stride[i] = picture_[i].stride;
  }
  p.x = static_cast<int32_t>(th_.pic_x);
  p.y = static_cast<int32_t>(th_.pic_y);
  p.width = info_.width;
  p.height = info_.height;
  p.chromaX = th_.pixel_fmt == TH_PF_444 ? 0 : 1;
  p.chromaY = th_.pixel_fmt == TH_PF_420 ? 1 : 0;
  // libtheora's checks on the header keep the picture inside the frame; this keeps it so whatever it
  // let through.
  if (p.x + p.width > picture_[0].width || p.y + p.height > picture_[0].height) return false;
  const int32_t rows = std::clamp(height, 0, p.height);
  p.width = std::clamp(width, 0, p.width);
  for (int32_t y = 0; y < rows; ++y) {
    uint8_t* dst = row(reverse_ ? y : p.height - 1 - y);
    if (dst) ConvertYCbCrRow(p, y, dst);
  }
  return true;
}

// ---- Sound ----------------------------------------------------------------------------------------

TTheoraAudioDecoder::~TTheoraAudioDecoder() { Clear(); }

void TTheoraAudioDecoder::Clear() {
  if (exists_) {
    vorbis_block_clear(&block_);
    vorbis_dsp_clear(&dsp_);
  }
  if (headersReady_) {
    vorbis_comment_clear(&comment_);
    vorbis_info_clear(&info_);
  }
  headersReady_ = exists_ = ended_ = truncated_ = false;
  rate_ = channels_ = right_ = 0;
  reader_.reset();
  problem_.clear();
}

bool TTheoraAudioDecoder::Load(MovieFileSource source) {
  Clear();
  reader_ = std::make_unique<OggPacketReader>(std::move(source));
  int serial = 0;
  if (!FindStream(*reader_, IsVorbisHeader, "Vorbis sound track", serial, problem_)) return false;
  // A file cut off before the track's end is found by reading its pages through, which costs little
  // beside decoding them.
  ogg_packet packet;
  reader_->Follow(serial);
  while (reader_->Next(packet)) {
  }
  truncated_ = !reader_->EndedCleanly();
  reader_->Follow(serial);
  vorbis_info_init(&info_);
  vorbis_comment_init(&comment_);
  headersReady_ = true;
  int headers = 0;
  while (headers < 3 && reader_->Next(packet) && vorbis_synthesis_headerin(&info_, &comment_, &packet) == 0) ++headers;
  if (headers < 3 || vorbis_synthesis_init(&dsp_, &info_) != 0) {
    Clear();
    problem_ = "the sound track's headers are damaged or incomplete";
    return false;
  }
  vorbis_block_init(&dsp_, &block_);
  exists_ = true;
  channels_ = info_.channels;
  right_ = channels_ == 2 || channels_ == 4 ? 1 : channels_ >= 3 ? 2 : 0;  // Vorbis's channel order
  rate_ = static_cast<int32_t>(std::clamp<long>(info_.rate, 0, INT32_MAX));
  if (truncated_) problem_ = "the file ends before its sound track does (cut off?)";
  return true;
}

int64_t TTheoraAudioDecoder::Read(int16_t* dest, int64_t frames) {
  if (!exists_ || !dest) return 0;
  int64_t done = 0;
  while (done < frames) {
    float** pcm;
    const int n = vorbis_synthesis_pcmout(&dsp_, &pcm);
    if (n > 0) {
      const int take = static_cast<int>(std::min<int64_t>(n, frames - done));
      int16_t* out = dest + done * 2;
      for (int i = 0; i < take; ++i) {
        out[2 * i] = ToSample(pcm[0][i]);
        out[2 * i + 1] = ToSample(pcm[right_][i]);
      }
      vorbis_synthesis_read(&dsp_, take);
      done += take;
      continue;
    }
    // A damaged packet is passed over, as the pages around it are.
    ogg_packet packet;
    if (ended_ || !reader_->Next(packet)) {
      ended_ = true;
      break;
    }
    if (vorbis_synthesis(&block_, &packet) == 0) vorbis_synthesis_blockin(&dsp_, &block_);
  }
  return done;
}

}  // namespace mokuren
