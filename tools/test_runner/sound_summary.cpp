#include "test_runner/sound_summary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace mokuren::testrunner {

namespace {

constexpr std::string_view kHeader = "# mokuren-test:";

ChannelSecond Measure(const toolkit::WavSamples& wav, size_t first, size_t frames, int channel) {
  const auto channels = static_cast<size_t>(wav.channels);
  auto sample = [&](size_t f) { return static_cast<double>(wav.samples[(first + f) * channels + channel]); };
  double sum = 0;
  for (size_t f = 0; f < frames; ++f) sum += sample(f) * sample(f);
  const double rms = frames ? std::sqrt(sum / static_cast<double>(frames)) : 0;
  ChannelSecond out;
  out.level = rms > 0 ? std::max(kSilence, 20 * std::log10(rms / 32768)) : kSilence;
  // Crossings through a band around zero a tenth of the level wide, so that low noise riding on a
  // quiet stretch does not count.
  const double band = rms / 10;
  int side = 0, crossings = 0;
  for (size_t f = 0; f < frames; ++f) {
    const double v = sample(f);
    const int now = v > band ? 1 : v < -band ? -1 : 0;
    if (now != 0 && now != side) {
      if (side != 0) ++crossings;
      side = now;
    }
  }
  out.pitch = frames ? crossings / 2.0 * wav.rate / static_cast<double>(frames) : 0;
  return out;
}

std::string Fixed(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

}  // namespace

SoundSummary SummariseSound(const toolkit::WavSamples& wav) {
  SoundSummary s;
  if (wav.channels <= 0 || wav.rate <= 0) return s;
  const size_t frames = wav.samples.size() / static_cast<size_t>(wav.channels);
  const auto perSecond = static_cast<size_t>(wav.rate);
  for (size_t first = 0; first < frames; first += perSecond) {
    std::vector<ChannelSecond> second;
    for (int c = 0; c < wav.channels; ++c)
      second.push_back(Measure(wav, first, std::min(perSecond, frames - first), c));
    s.seconds.push_back(std::move(second));
  }
  return s;
}

std::string FormatSoundSummary(const SoundSummary& s) {
  std::string out = "# The recorded sound, second by second: level (dB) and pitch (Hz) of each channel.\n";
  out += std::string(kHeader) + " level=" + Fixed(s.levelTolerance) + " pitch=" + Fixed(s.pitchTolerance) + "\n";
  for (size_t i = 0; i < s.seconds.size(); ++i) {
    out += std::to_string(i);
    for (const ChannelSecond& c : s.seconds[i]) out += " " + Fixed(c.level) + " " + Fixed(c.pitch);
    out += "\n";
  }
  return out;
}

bool ParseSoundSummary(const std::string& text, SoundSummary& s, std::string& error) {
  s = SoundSummary{};
  std::istringstream lines(text);
  int lineNo = 0;
  for (std::string line; std::getline(lines, line);) {
    ++lineNo;
    std::istringstream fields(line.compare(0, kHeader.size(), kHeader) == 0 ? line.substr(kHeader.size()) : line);
    if (line.compare(0, kHeader.size(), kHeader) == 0) {
      for (std::string pair; fields >> pair;) {
        const size_t eq = pair.find('=');
        double value = 0;
        if (eq == std::string::npos || std::sscanf(pair.c_str() + eq + 1, "%lf", &value) != 1 || value < 0 ||
            (pair.compare(0, eq, "level") != 0 && pair.compare(0, eq, "pitch") != 0)) {
          error = "line " + std::to_string(lineNo) + ": '" + pair + "' is not level=DB or pitch=PERCENT";
          return false;
        }
        (pair[0] == 'l' ? s.levelTolerance : s.pitchTolerance) = value;
      }
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    size_t second = 0;
    std::vector<ChannelSecond> channels;
    ChannelSecond c;
    fields >> second;
    while (fields >> c.level >> c.pitch) channels.push_back(c);
    if (second != s.seconds.size() || channels.empty() || !fields.eof()) {
      error = "line " + std::to_string(lineNo) + ": expected second " + std::to_string(s.seconds.size()) +
              " with a level and a pitch for each channel";
      return false;
    }
    s.seconds.push_back(std::move(channels));
  }
  return true;
}

std::vector<std::string> CompareSound(const SoundSummary& golden, const SoundSummary& actual, size_t limit) {
  std::vector<std::string> out;
  if (golden.seconds.size() != actual.seconds.size())
    out.push_back("the recording lasts " + std::to_string(actual.seconds.size()) + " s, the golden one " +
                  std::to_string(golden.seconds.size()) + " s");
  const size_t n = std::min(golden.seconds.size(), actual.seconds.size());
  for (size_t i = 0; i < n && out.size() < limit; ++i) {
    const auto& g = golden.seconds[i];
    const auto& a = actual.seconds[i];
    if (g.size() != a.size()) {
      out.push_back("second " + std::to_string(i) + ": " + std::to_string(a.size()) + " channels, the golden one " +
                    std::to_string(g.size()));
      continue;
    }
    for (size_t c = 0; c < g.size(); ++c) {
      const std::string where = "second " + std::to_string(i) + ", " +
                                (c == 0   ? "left"
                                 : c == 1 ? "right"
                                          : "channel " + std::to_string(c + 1));
      const bool bothQuiet = g[c].level < kQuiet && a[c].level < kQuiet;
      if (!bothQuiet && std::abs(g[c].level - a[c].level) > golden.levelTolerance) {
        out.push_back(where + ": level " + Fixed(a[c].level) + " dB, golden " + Fixed(g[c].level) + " dB");
      } else if (g[c].level >= kQuiet && a[c].level >= kQuiet &&
                 std::abs(g[c].pitch - a[c].pitch) > golden.pitchTolerance / 100 * std::max(g[c].pitch, 1.0)) {
        out.push_back(where + ": pitch " + Fixed(a[c].pitch) + " Hz, golden " + Fixed(g[c].pitch) + " Hz");
      }
    }
  }
  if (out.size() > limit) out.resize(limit);
  return out;
}

}  // namespace mokuren::testrunner
