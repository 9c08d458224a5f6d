#include "toolkit/theora_encoder.h"

#include <ogg/ogg.h>
#include <theora/theoraenc.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "toolkit/vorbis_encoder.h"

namespace mokuren {

namespace {

constexpr int kVideoSerial = 0x4D4B5631;  // "MKV1"
constexpr int kSoundSerial = 0x4D4B5331;  // "MKS1"

// One finished page and the time (seconds) at which its last packet ends, for interleaving.
struct Page {
  std::string bytes;
  double time;
  bool header;
};

std::string PageBytes(const ogg_page& og) {
  std::string s(reinterpret_cast<const char*>(og.header), static_cast<size_t>(og.header_len));
  s.append(reinterpret_cast<const char*>(og.body), static_cast<size_t>(og.body_len));
  return s;
}

struct Plane {
  int32_t width = 0, height = 0;
  std::vector<uint8_t> bytes;
};

}  // namespace

struct MovieEncoder::State {
  MovieEncodeOptions options;
  int32_t width, height;
  th_info info{};
  th_enc_ctx* encoder = nullptr;
  ogg_stream_state stream{};
  bool streamReady = false;
  std::vector<Page> videoPages;
  double lastVideoTime = 0;
  std::vector<int16_t> sound;
  Plane planes[3];
  bool pending = false;  // a converted frame waits in planes: the last one is sent with the end flag

  ~State() {
    if (encoder) th_encode_free(encoder);
    if (streamReady) ogg_stream_clear(&stream);
    th_info_clear(&info);
  }

  void TakePages() {
    ogg_page og;
    while (ogg_stream_flush(&stream, &og)) {
      const ogg_int64_t gp = ogg_page_granulepos(&og);
      if (gp > 0) {
        const double frame = static_cast<double>(th_granule_frame(encoder, gp));
        lastVideoTime = (frame + 1) * options.fpsDenominator / options.fpsNumerator;
      }
      videoPages.push_back({PageBytes(og), lastVideoTime, false});
    }
  }

  // BT.601 studio range, chroma averaged over the samples it covers; rows and columns outside the
  // picture repeat its edge, which keeps the padding cheap to code.
  void Convert(const TABitmap& frame) {
    const int hs = options.chroma == MovieChroma::k444 ? 0 : 1;
    const int vs = options.chroma == MovieChroma::k420 ? 1 : 0;
    const auto px = static_cast<int32_t>(options.pictureX), py = static_cast<int32_t>(options.pictureY);
    auto rgb = [&](int32_t fx, int32_t fy, double& r, double& g, double& b) {
      const int32_t x = std::clamp(fx - px, 0, width - 1), y = std::clamp(fy - py, 0, height - 1);
      const uint8_t* p = frame.ScanLine(y) + 4 * x;
      b = p[0], g = p[1], r = p[2];
    };
    Plane& luma = planes[0];
    for (int32_t y = 0; y < luma.height; ++y)
      for (int32_t x = 0; x < luma.width; ++x) {
        double r, g, b;
        rgb(x, y, r, g, b);
        luma.bytes[static_cast<size_t>(y) * luma.width + x] =
            static_cast<uint8_t>(std::lround(16 + (65.738 * r + 129.057 * g + 25.064 * b) / 256));
      }
    for (int32_t cy = 0; cy < planes[1].height; ++cy)
      for (int32_t cx = 0; cx < planes[1].width; ++cx) {
        double cb = 0, cr = 0;
        int n = 0;
        for (int32_t y = cy << vs; y < (cy + 1) << vs; ++y)
          for (int32_t x = cx << hs; x < (cx + 1) << hs; ++x, ++n) {
            double r, g, b;
            rgb(x, y, r, g, b);
            cb += 128 + (-37.945 * r - 74.494 * g + 112.439 * b) / 256;
            cr += 128 + (112.439 * r - 94.154 * g - 18.285 * b) / 256;
          }
        const size_t at = static_cast<size_t>(cy) * planes[1].width + cx;
        planes[1].bytes[at] = static_cast<uint8_t>(std::clamp(std::lround(cb / n), 0L, 255L));
        planes[2].bytes[at] = static_cast<uint8_t>(std::clamp(std::lround(cr / n), 0L, 255L));
      }
  }

  void SendPending(bool last) {
    if (!pending) return;
    th_ycbcr_buffer buffer;
    for (int i = 0; i < 3; ++i)
      buffer[i] = {planes[i].width, planes[i].height, planes[i].width, planes[i].bytes.data()};
    th_encode_ycbcr_in(encoder, buffer);
    ogg_packet op;
    while (th_encode_packetout(encoder, last ? 1 : 0, &op) > 0) ogg_stream_packetin(&stream, &op);
    // A page per frame: the picture's pages then lie among the sound's in time order.
    TakePages();
    pending = false;
  }
};

MovieEncoder::MovieEncoder(int32_t width, int32_t height, const MovieEncodeOptions& options)
    : state_(std::make_unique<State>()) {
  State& s = *state_;
  s.options = options;
  s.width = width;
  s.height = height;
  if (width <= 0 || height <= 0 || options.pictureX > 255 || options.pictureY > 255 || options.fpsNumerator == 0 ||
      options.fpsDenominator == 0)
    return;
  th_info_init(&s.info);
  s.info.pic_width = static_cast<uint32_t>(width);
  s.info.pic_height = static_cast<uint32_t>(height);
  s.info.pic_x = options.pictureX;
  s.info.pic_y = options.pictureY;
  s.info.frame_width = (options.pictureX + s.info.pic_width + 15) & ~15u;
  s.info.frame_height = (options.pictureY + s.info.pic_height + 15) & ~15u;
  s.info.fps_numerator = options.fpsNumerator;
  s.info.fps_denominator = options.fpsDenominator;
  s.info.aspect_numerator = 1;
  s.info.aspect_denominator = 1;
  s.info.colorspace = TH_CS_UNSPECIFIED;
  s.info.pixel_fmt = options.chroma == MovieChroma::k420   ? TH_PF_420
                     : options.chroma == MovieChroma::k422 ? TH_PF_422
                                                           : TH_PF_444;
  s.info.quality = std::clamp(options.quality, 0, 63);
  s.info.target_bitrate = 0;
  int shift = 0;
  while ((1 << shift) < std::max(options.keyframeInterval, 1)) ++shift;
  s.info.keyframe_granule_shift = shift;
  s.encoder = th_encode_alloc(&s.info);
  if (!s.encoder) return;
  int interval = std::max(options.keyframeInterval, 1);
  th_encode_ctl(s.encoder, TH_ENCCTL_SET_KEYFRAME_FREQUENCY_FORCE, &interval, sizeof interval);
  // The fastest search: the demo's movie is built on every build, and speed costs little size here.
  int level = 0;
  if (th_encode_ctl(s.encoder, TH_ENCCTL_GET_SPLEVEL_MAX, &level, sizeof level) == 0)
    th_encode_ctl(s.encoder, TH_ENCCTL_SET_SPLEVEL, &level, sizeof level);

  ogg_stream_init(&s.stream, kVideoSerial);
  s.streamReady = true;
  th_comment comment;
  th_comment_init(&comment);
  ogg_packet op;
  while (th_encode_flushheader(s.encoder, &comment, &op) > 0) {
    ogg_stream_packetin(&s.stream, &op);
    // The identification header alone on the first page, as Ogg wants every stream's first page.
    if (op.b_o_s) {
      ogg_page og;
      while (ogg_stream_flush(&s.stream, &og)) s.videoPages.push_back({PageBytes(og), 0, true});
    }
  }
  th_comment_clear(&comment);
  ogg_page og;
  while (ogg_stream_flush(&s.stream, &og)) s.videoPages.push_back({PageBytes(og), 0, true});

  const int hs = options.chroma == MovieChroma::k444 ? 0 : 1;
  const int vs = options.chroma == MovieChroma::k420 ? 1 : 0;
  const auto fw = static_cast<int32_t>(s.info.frame_width), fh = static_cast<int32_t>(s.info.frame_height);
  s.planes[0] = {fw, fh, std::vector<uint8_t>(static_cast<size_t>(fw) * fh)};
  for (int i = 1; i < 3; ++i)
    s.planes[i] = {fw >> hs, fh >> vs, std::vector<uint8_t>(static_cast<size_t>(fw >> hs) * (fh >> vs))};
}

MovieEncoder::~MovieEncoder() = default;

bool MovieEncoder::Ok() const { return state_->encoder != nullptr; }

void MovieEncoder::AddFrame(const TABitmap& frame) {
  State& s = *state_;
  if (!s.encoder || frame.Width() != s.width || frame.Height() != s.height) return;
  s.SendPending(false);
  s.Convert(frame);
  s.pending = true;
}

void MovieEncoder::AddSound(const int16_t* samples, size_t frames) {
  State& s = *state_;
  if (s.options.soundChannels <= 0) return;
  s.sound.insert(s.sound.end(), samples, samples + frames * static_cast<size_t>(s.options.soundChannels));
}

std::string MovieEncoder::Finish() {
  State& s = *state_;
  if (!s.encoder) return {};
  s.SendPending(true);

  // The sound track as its own Ogg stream, cut back into pages to interleave with the picture's.
  std::vector<Page> soundPages;
  if (s.options.soundChannels > 0) {
    VorbisEncodeOptions vo;
    vo.quality = s.options.soundQuality;
    vo.serial = kSoundSerial;
    const std::string sound =
        EncodeVorbis(s.sound.data(), s.sound.size() / static_cast<size_t>(s.options.soundChannels),
                     s.options.soundChannels, s.options.soundRate, vo);
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    char* buffer = ogg_sync_buffer(&sync, static_cast<long>(sound.size()));
    std::memcpy(buffer, sound.data(), sound.size());
    ogg_sync_wrote(&sync, static_cast<long>(sound.size()));
    ogg_page og;
    double time = 0;
    while (ogg_sync_pageout(&sync, &og) == 1) {
      const ogg_int64_t gp = ogg_page_granulepos(&og);
      if (gp > 0) time = static_cast<double>(gp) / s.options.soundRate;
      soundPages.push_back({PageBytes(og), time, gp == 0});
    }
    ogg_sync_clear(&sync);
  }

  // Every stream's first page first, then the rest of the headers, then the data pages by time.
  std::string out;
  auto firstData = [](const std::vector<Page>& pages) {
    size_t i = 0;
    while (i < pages.size() && pages[i].header) ++i;
    return i;
  };
  const size_t videoData = firstData(s.videoPages), soundData = firstData(soundPages);
  if (!s.videoPages.empty()) out += s.videoPages[0].bytes;
  if (!soundPages.empty()) out += soundPages[0].bytes;
  for (size_t i = 1; i < videoData; ++i) out += s.videoPages[i].bytes;
  for (size_t i = 1; i < soundData; ++i) out += soundPages[i].bytes;
  size_t v = videoData, a = soundData;
  while (v < s.videoPages.size() || a < soundPages.size()) {
    const bool takeVideo =
        a >= soundPages.size() || (v < s.videoPages.size() && s.videoPages[v].time <= soundPages[a].time);
    out += takeVideo ? s.videoPages[v++].bytes : soundPages[a++].bytes;
  }
  return out;
}

}  // namespace mokuren
