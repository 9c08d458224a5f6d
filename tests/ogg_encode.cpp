#include "ogg_encode.h"

#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstring>
#include <numbers>

namespace mokuren::testing {

std::string EncodeOgg(const std::vector<int16_t>& samples, int channels, int rate,
                      const std::vector<std::pair<std::string, std::string>>& comments) {
  vorbis_info vi;
  vorbis_info_init(&vi);
  vorbis_encode_init_vbr(&vi, channels, rate, 0.6f);
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  for (const auto& [name, value] : comments) vorbis_comment_add_tag(&vc, name.c_str(), value.c_str());
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 1234);
  std::string out;
  auto put = [&](const ogg_page& og) {
    out.append(reinterpret_cast<const char*>(og.header), static_cast<size_t>(og.header_len));
    out.append(reinterpret_cast<const char*>(og.body), static_cast<size_t>(og.body_len));
  };
  ogg_packet h1, h2, h3;
  vorbis_analysis_headerout(&vd, &vc, &h1, &h2, &h3);
  ogg_stream_packetin(&os, &h1);
  ogg_stream_packetin(&os, &h2);
  ogg_stream_packetin(&os, &h3);
  ogg_page og;
  while (ogg_stream_flush(&os, &og)) put(og);
  size_t frames = samples.size() / static_cast<size_t>(channels);
  size_t at = 0;
  bool eos = false;
  while (!eos) {
    size_t n = std::min<size_t>(1024, frames - at);
    if (n == 0) {
      vorbis_analysis_wrote(&vd, 0);
    } else {
      float** buf = vorbis_analysis_buffer(&vd, static_cast<int>(n));
      for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < channels; ++c) buf[c][i] = samples[(at + i) * channels + c] / 32768.0f;
      vorbis_analysis_wrote(&vd, static_cast<int>(n));
      at += n;
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet op;
      while (vorbis_bitrate_flushpacket(&vd, &op)) {
        ogg_stream_packetin(&os, &op);
        while (ogg_stream_pageout(&os, &og)) {
          put(og);
          if (ogg_page_eos(&og)) eos = true;
        }
      }
    }
  }
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}

std::vector<int16_t> Sine(double hz, double amplitude, double seconds, int channels, int rate, int channelMask) {
  size_t frames = static_cast<size_t>(seconds * rate);
  std::vector<int16_t> s(frames * channels);
  for (size_t i = 0; i < frames; ++i) {
    auto v = static_cast<int16_t>(amplitude * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / rate));
    for (int c = 0; c < channels; ++c) s[i * channels + c] = (channels == 1 || (channelMask >> c) & 1) ? v : 0;
  }
  return s;
}

namespace {

struct Source {
  const std::string* bytes;
  size_t at;
};

size_t ReadSource(void* p, size_t size, size_t count, void* s) {
  auto* src = static_cast<Source*>(s);
  size_t n = std::min(size * count, src->bytes->size() - src->at);
  std::memcpy(p, src->bytes->data() + src->at, n);
  src->at += n;
  return size ? n / size : 0;
}

int SeekSource(void* s, ogg_int64_t offset, int whence) {
  auto* src = static_cast<Source*>(s);
  ogg_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<ogg_int64_t>(src->at)
                                                                   : static_cast<ogg_int64_t>(src->bytes->size());
  if (base + offset < 0 || base + offset > static_cast<ogg_int64_t>(src->bytes->size())) return -1;
  src->at = static_cast<size_t>(base + offset);
  return 0;
}

long TellSource(void* s) { return static_cast<long>(static_cast<Source*>(s)->at); }

}  // namespace

std::vector<int16_t> DecodeOgg(const std::string& bytes) {
  OggVorbis_File vf;
  std::vector<int16_t> out;
  Source src{&bytes, 0};
  ov_callbacks cb{ReadSource, SeekSource, nullptr, TellSource};
  if (ov_open_callbacks(&src, &vf, nullptr, 0, cb) < 0) {
    return out;
  }
  char buf[4096];
  int section = 0;
  for (;;) {
    long n = ov_read(&vf, buf, sizeof buf, 0, 2, 1, &section);
    if (n <= 0) break;
    size_t old = out.size();
    out.resize(old + static_cast<size_t>(n) / 2);
    std::memcpy(out.data() + old, buf, static_cast<size_t>(n));
  }
  ov_clear(&vf);
  return out;
}

}  // namespace mokuren::testing
