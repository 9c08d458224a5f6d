// The demo game's sound, synthesised and encoded here: ten music tracks (with second versions of 1 to 7,
// all looping through "*looptime" comments), ten effects and a set of spoken lines from a small formant
// voice. Everything is generated from fixed seeds, so every build makes the same files.
#include "sound.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "toolkit/vorbis_encoder.h"

namespace mokuren::demo {

namespace {

constexpr double kPi = std::numbers::pi;
namespace fs = std::filesystem;

// A buffer of float samples, stereo or mono, mixed into and then scaled to 16 bits.
struct Buffer {
  int rate;
  int channels;
  std::vector<float> s;
  Buffer(int rate_, int channels_, double seconds)
      : rate(rate_),
        channels(channels_),
        s(static_cast<size_t>(seconds * rate_) * static_cast<size_t>(channels_), 0.f) {}
  size_t Frames() const { return s.size() / static_cast<size_t>(channels); }
  void Add(size_t frame, float left, float right) {
    if (frame >= Frames()) return;
    if (channels == 1) {
      s[frame] += 0.5f * (left + right);
    } else {
      s[frame * 2] += left;
      s[frame * 2 + 1] += right;
    }
  }
  // Scales to a peak of `peak` (of full scale) and converts.
  std::vector<int16_t> ToPcm(double peak = 0.8) const {
    float m = 1e-6f;
    for (float v : s) m = std::max(m, std::abs(v));
    double g = peak * 32767.0 / m;
    std::vector<int16_t> out(s.size());
    for (size_t i = 0; i < s.size(); ++i)
      out[i] = static_cast<int16_t>(std::lround(std::clamp(s[i] * g, -32767.0, 32767.0)));
    return out;
  }
};

double MidiHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// A struck tone: a few harmonics with an exponential decay (bell, piano-ish or music box).
void Tone(Buffer& b, double start, double seconds, double hz, double amp, double pan, double decay,
          std::initializer_list<double> harmonics, double attack = 0.005) {
  auto first = static_cast<size_t>(start * b.rate);
  auto n = static_cast<size_t>(seconds * b.rate);
  for (size_t i = 0; i < n; ++i) {
    double t = static_cast<double>(i) / b.rate;
    double env = std::min(1.0, t / attack) * std::exp(-t * decay);
    double release = std::min(1.0, (seconds - t) / 0.03);  // no click at the cut
    double v = 0;
    int k = 1;
    for (double h : harmonics) v += h * std::sin(2 * kPi * hz * k++ * t);
    float x = static_cast<float>(v * env * release * amp);
    b.Add(first + i, x * static_cast<float>(1 - pan), x * static_cast<float>(1 + pan));
  }
}

// A soft sustained chord note with slow attack and release, slightly detuned between the sides.
void Pad(Buffer& b, double start, double seconds, double hz, double amp) {
  auto first = static_cast<size_t>(start * b.rate);
  auto n = static_cast<size_t>(seconds * b.rate);
  for (size_t i = 0; i < n; ++i) {
    double t = static_cast<double>(i) / b.rate;
    double env = std::min({1.0, t / 0.25, (seconds - t) / 0.35});
    env = std::max(env, 0.0);
    double l = std::sin(2 * kPi * hz * 0.998 * t) + 0.25 * std::sin(4 * kPi * hz * t);
    double r = std::sin(2 * kPi * hz * 1.002 * t) + 0.25 * std::sin(4 * kPi * hz * t + 0.5);
    b.Add(first + i, static_cast<float>(l * env * amp), static_cast<float>(r * env * amp));
  }
}

struct Track {
  int no;
  const char* mood;
  int bpm;
  int root;  // MIDI note of the key
  bool minor;
  std::vector<int> progression;  // scale degrees (0-based), one chord per bar
  int bars;                      // bars in the looped body
  uint32_t seed;
};

const int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
const int kMinor[7] = {0, 2, 3, 5, 7, 8, 10};

int ScaleNote(const Track& t, int degree, int octave) {
  const int* sc = t.minor ? kMinor : kMajor;
  int d = ((degree % 7) + 7) % 7;
  int o = (degree - d) / 7;
  return t.root + sc[d] + 12 * (octave + o);
}

// One track: an intro bar on the first chord, then the body that loops, then a short tail that the loop
// point keeps from being heard. The second version plays the same harmony as a music box, an octave up,
// without bass, so the change on the variant button is easy to hear.
Buffer Music(const Track& t, bool second, double& loopStart, double& loopEnd) {
  const int rate = 44100;
  double beat = 60.0 / t.bpm;
  double bar = beat * 4;
  loopStart = bar;
  loopEnd = bar * (1 + t.bars);
  Buffer b(rate, 2, loopEnd + 1.0);
  std::mt19937 rng(t.seed);
  auto chordAt = [&](int barIndex) {
    return barIndex == 0 ? t.progression[0] : t.progression[static_cast<size_t>(barIndex - 1) % t.progression.size()];
  };
  for (int i = 0; i <= t.bars; ++i) {
    double at = bar * i;
    int c = chordAt(i);
    // Harmony.
    for (int k = 0; k < 3; ++k) Pad(b, at, bar, MidiHz(ScaleNote(t, c + 2 * k, 0)), second ? 0.05 : 0.08);
    if (i == 0) continue;  // the intro is harmony alone
    // Bass on beats 1 and 3.
    if (!second) {
      for (int beatNo : {0, 2})
        Tone(b, at + beatNo * beat, beat * 2, MidiHz(ScaleNote(t, c, -2)), 0.35, 0.0, 2.5, {1.0, 0.4, 0.1}, 0.01);
    }
    // Melody in eighths: chord tones on strong beats, scale steps between, some rests.
    int degree = c + 7;
    for (int e = 0; e < 8; ++e) {
      if (std::uniform_real_distribution<>(0, 1)(rng) < (e % 2 ? 0.45 : 0.2)) continue;
      if (e % 2 == 0) {
        degree = c + 2 * std::uniform_int_distribution<>(0, 2)(rng) + 7;
      } else {
        degree += std::uniform_int_distribution<>(-1, 1)(rng);
      }
      double hz = MidiHz(ScaleNote(t, degree, second ? 1 : 0));
      double len = std::min(beat * 1.5, bar * (i + 1) - (at + e * beat / 2));
      if (second)
        Tone(b, at + e * beat / 2, len, hz, 0.22, 0.3 * std::sin(e), 4.0, {1.0, 0.0, 0.25, 0.0, 0.1});
      else
        Tone(b, at + e * beat / 2, len, hz, 0.25, -0.25, 2.0, {1.0, 0.5, 0.2, 0.1});
    }
  }
  return b;
}

// In the order the music room lists them: its rows play tracks 5, 6, 7, 1, 2, 3, 4, 8 (and 9), 10 from the
// top, so the story's first tunes are numbered for the top rows and the list reads in the story's order.
const std::vector<Track>& Tracks() {
  static const std::vector<Track> tracks = {
      {5, "morning street", 96, 60, false, {0, 4, 5, 3}, 8, 11},
      {6, "school days", 112, 62, false, {0, 5, 3, 4}, 8, 12},
      {7, "quiet evening", 72, 57, true, {0, 5, 2, 6}, 8, 13},
      {1, "worry", 84, 52, true, {0, 3, 4, 0}, 8, 14},
      {2, "festival", 128, 65, false, {0, 3, 4, 4}, 8, 15},
      {3, "rain", 66, 55, true, {0, 6, 5, 4}, 8, 16},
      {4, "confession", 80, 63, false, {0, 2, 3, 4}, 8, 17},
      {8, "tension", 100, 50, true, {0, 1, 0, 4}, 8, 18},
      {9, "title theme", 88, 60, false, {0, 5, 3, 4, 0, 3, 4, 4}, 8, 19},
      {10, "ending", 70, 58, false, {0, 4, 5, 2, 3, 0, 3, 4}, 8, 20},
  };
  return tracks;
}

// ---- Effects ------------------------------------------------------------------------------------------

Buffer Effect(int no, bool& loops) {
  loops = false;
  std::mt19937 rng(static_cast<uint32_t>(100 + no));
  std::uniform_real_distribution<float> noise(-1.f, 1.f);
  switch (no) {
    case 1: {  // chime: a rising arpeggio
      Buffer b(44100, 2, 1.6);
      int notes[] = {72, 76, 79, 84};
      for (int i = 0; i < 4; ++i) Tone(b, i * 0.09, 1.2, MidiHz(notes[i]), 0.3, -0.3 + 0.2 * i, 3.0, {1.0, 0.0, 0.3});
      return b;
    }
    case 2: {  // select: a short blip
      Buffer b(22050, 1, 0.12);
      Tone(b, 0, 0.12, 1320, 0.5, 0, 30, {1.0, 0.2});
      return b;
    }
    case 3: {  // knock on a door: two low thuds
      Buffer b(44100, 1, 0.7);
      for (double at : {0.0, 0.22}) {
        Tone(b, at, 0.25, 110, 0.8, 0, 25, {1.0, 0.6, 0.3});
        auto f = static_cast<size_t>(at * 44100);
        for (size_t i = 0; i < 900; ++i) b.Add(f + i, 0.3f * noise(rng) * static_cast<float>(std::exp(-i / 150.0)), 0);
      }
      return b;
    }
    case 4: {  // footsteps
      Buffer b(44100, 2, 1.6);
      for (int k = 0; k < 4; ++k) {
        auto f = static_cast<size_t>(k * 0.38 * 44100);
        float pan = k % 2 ? 0.3f : -0.3f;
        float lp = 0;
        for (size_t i = 0; i < 4000; ++i) {
          lp += 0.15f * (noise(rng) - lp);
          float v = lp * static_cast<float>(std::exp(-i / 700.0));
          b.Add(f + i, v * (1 - pan), v * (1 + pan));
        }
      }
      return b;
    }
    case 5: {  // whoosh: noise swept through a moving band
      Buffer b(44100, 2, 1.0);
      float lp = 0, lp2 = 0;
      for (size_t i = 0; i < b.Frames(); ++i) {
        double t = static_cast<double>(i) / 44100;
        double c = 0.02 + 0.25 * std::sin(kPi * t);
        lp += static_cast<float>(c) * (noise(rng) - lp);
        lp2 += static_cast<float>(c) * (lp - lp2);
        float v = (lp - lp2) * static_cast<float>(std::sin(kPi * t));
        b.Add(i, v * static_cast<float>(1 - t), v * static_cast<float>(t));
      }
      return b;
    }
    case 6: {  // rain (loops): soft noise with drops
      loops = true;
      Buffer b(44100, 2, 3.0);
      float l = 0, r = 0;
      for (size_t i = 0; i < b.Frames(); ++i) {
        l += 0.3f * (noise(rng) - l);
        r += 0.3f * (noise(rng) - r);
        b.Add(i, 0.25f * l, 0.25f * r);
      }
      for (int d = 0; d < 40; ++d)
        Tone(b, std::uniform_real_distribution<>(0, 2.9)(rng), 0.08, std::uniform_real_distribution<>(1800, 3500)(rng),
             0.06, std::uniform_real_distribution<>(-0.8, 0.8)(rng), 60, {1.0});
      return b;
    }
    case 7: {  // heartbeat (loops)
      loops = true;
      Buffer b(44100, 1, 0.9);
      Tone(b, 0.0, 0.2, 55, 0.9, 0, 20, {1.0, 0.3});
      Tone(b, 0.18, 0.2, 50, 0.6, 0, 20, {1.0, 0.3});
      return b;
    }
    case 8: {  // birds: quick falling chirps
      Buffer b(44100, 2, 1.5);
      for (int k = 0; k < 5; ++k) {
        double at = 0.1 + k * 0.25 + std::uniform_real_distribution<>(0, 0.08)(rng);
        double pan = std::uniform_real_distribution<>(-0.7, 0.7)(rng);
        auto f = static_cast<size_t>(at * 44100);
        double phase = 0;
        for (size_t i = 0; i < 4400; ++i) {
          double t = static_cast<double>(i) / 44100;
          phase += 2 * kPi * (4200 - 18000 * t) / 44100;
          float v = static_cast<float>(0.3 * std::sin(phase) * std::sin(kPi * t / 0.1));
          b.Add(f + i, v * static_cast<float>(1 - pan), v * static_cast<float>(1 + pan));
        }
      }
      return b;
    }
    case 9: {  // thunder: a low rumble
      Buffer b(44100, 2, 3.0);
      float l = 0, r = 0;
      for (size_t i = 0; i < b.Frames(); ++i) {
        double t = static_cast<double>(i) / 44100;
        double env = std::min(1.0, t / 0.05) * std::exp(-t * 1.3) * (1 + 0.5 * std::sin(7 * t));
        l += 0.01f * (noise(rng) - l);
        r += 0.01f * (noise(rng) - r);
        b.Add(i, static_cast<float>(l * env), static_cast<float>(r * env));
      }
      return b;
    }
    default: {  // sparkle: a fast rising glitter
      Buffer b(44100, 2, 1.4);
      for (int k = 0; k < 12; ++k)
        Tone(b, k * 0.05, 0.6, MidiHz(79 + 2 * k), 0.15, std::sin(k * 1.7) * 0.7, 6, {1.0, 0.0, 0.2});
      return b;
    }
  }
}

// ---- Voices -------------------------------------------------------------------------------------------

// A tiny formant voice: each syllable's vowel is a sum of harmonics of the pitch, weighted by the
// vowel's three resonances; consonants are short noise bursts or closures before it.
struct Formants {
  double f1, f2, f3;
};

Formants VowelFormants(char v) {
  switch (v) {
    case 'a': return {800, 1250, 2600};
    case 'i': return {300, 2300, 3000};
    case 'u': return {350, 1300, 2300};
    case 'e': return {480, 1900, 2600};
    case 'o': return {500, 880, 2500};
    default: return {260, 1500, 2500};  // n: a nasal hum
  }
}

struct Speaker {
  double pitch;  // Hz at the start of a line
  double tract;  // formant scale
};

void Speak(Buffer& b, const std::string& romaji, const Speaker& sp, uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> noise(-1, 1);
  // Split into syllables: consonant letters, then a vowel (or a lone n).
  std::vector<std::pair<std::string, char>> syl;
  std::string cons;
  for (size_t i = 0; i < romaji.size(); ++i) {
    char c = romaji[i];
    if (c == ' ') {
      syl.push_back({"", ' '});
      continue;
    }
    if (std::string("aiueo").find(c) != std::string::npos) {
      syl.push_back({cons, c});
      cons.clear();
    } else if (c == 'n' && (i + 1 == romaji.size() || std::string("aiueoy").find(romaji[i + 1]) == std::string::npos)) {
      syl.push_back({cons, 'n'});
      cons.clear();
    } else {
      cons.push_back(c);
    }
  }
  double t0 = 0.15;
  double total = 0.15 * static_cast<double>(syl.size());
  double phase[40] = {};
  double last = 0;
  for (size_t k = 0; k < syl.size(); ++k) {
    const auto& [c, v] = syl[k];
    double dur = v == ' ' ? 0.12 : (v == 'n' ? 0.11 : 0.16);
    if (v == ' ') {
      t0 += dur;
      continue;
    }
    auto first = static_cast<size_t>(t0 * b.rate);
    double consLen = 0;
    if (!c.empty()) {
      bool hiss = c.find('s') != std::string::npos || c.find('h') != std::string::npos || c == "ts" || c == "ch";
      consLen = hiss ? 0.07 : 0.025;
      auto n = static_cast<size_t>(consLen * b.rate);
      double lp = 0;
      for (size_t i = 0; i < n; ++i) {
        double x = noise(rng);
        lp += (hiss ? 0.9 : 0.3) * (x - lp);
        double v2 = (hiss ? x - lp : lp) * 0.12 * std::sin(kPi * static_cast<double>(i) / static_cast<double>(n));
        b.Add(first + i, static_cast<float>(v2), static_cast<float>(v2));
      }
    }
    Formants f = VowelFormants(v);
    auto start = first + static_cast<size_t>(consLen * b.rate);
    auto n = static_cast<size_t>(dur * b.rate);
    for (size_t i = 0; i < n; ++i) {
      double t = t0 + consLen + static_cast<double>(i) / b.rate;
      // Pitch falls over the line, with a rise on the last syllable of a question-like ending.
      double pitch = sp.pitch * (1.0 - 0.18 * t / total) * (1 + 0.01 * std::sin(2 * kPi * 5.5 * t));
      double env =
          std::min({1.0, static_cast<double>(i) / (0.02 * b.rate), static_cast<double>(n - i) / (0.03 * b.rate)});
      double s = 0;
      for (int h = 1; h < 40; ++h) {
        double fh = pitch * h;
        if (fh > 4500) break;
        phase[h] += 2 * kPi * fh / b.rate;
        double g = 0;
        double fs[3] = {f.f1 * sp.tract, f.f2 * sp.tract, f.f3 * sp.tract};
        double bw[3] = {90, 120, 180};
        double amp[3] = {1.0, 0.6, 0.25};
        for (int j = 0; j < 3; ++j) g += amp[j] / (1 + std::pow((fh - fs[j]) / bw[j], 2));
        s += g * std::sin(phase[h]) / std::sqrt(h);
      }
      double a = (v == 'n' ? 0.25 : 0.35) * env * s;
      b.Add(start + i, static_cast<float>(a), static_cast<float>(a));
    }
    last = t0 + consLen + dur;
    t0 = last;
  }
}

struct Line {
  const char* name;
  const char* romaji;
  int speaker;
};

// The demo's voiced lines: VOICE/<name>.ogg.
const std::vector<Line>& Lines() {
  static const std::vector<Line> lines = {
      {"v0001", "ohayou", 0},
      {"v0002", "kyou mo ii tenki da ne", 0},
      {"v0003", "sou da na", 1},
      {"v0004", "machiawase wa nanji", 0},
      {"v0005", "gogo sanji ni ekimae de", 1},
      {"v0006", "arigatou", 0},
      {"v0007", "chotto matte", 0},
      {"v0008", "daijoubu da yo", 1},
      {"v0009", "mata ashita ne", 0},
      {"v0010", "sayounara", 1},
      {"v0011", "hora hayaku hayaku", 0},
      {"v0012", "gozen juuji okirareru to omou", 0},
  };
  return lines;
}

const Speaker kSpeakers[] = {{230, 1.12}, {125, 1.0}};

void Write(const fs::path& file, const Buffer& b, const VorbisEncodeOptions& options) {
  std::vector<int16_t> pcm = b.ToPcm();
  std::string ogg = EncodeVorbis(pcm.data(), b.Frames(), b.channels, b.rate, options);
  if (ogg.empty()) throw std::runtime_error("cannot encode " + file.string());
  std::ofstream out(file, std::ios::binary);
  out.write(ogg.data(), static_cast<std::streamsize>(ogg.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
  char info[160];
  std::snprintf(info, sizeof info, "  %-18s %5.1f s  %4zu KiB",
                (file.parent_path().filename() / file.filename()).string().c_str(),
                static_cast<double>(b.Frames()) / b.rate, ogg.size() / 1024);
  std::cout << info << std::flush;
}

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

}  // namespace

std::vector<int16_t> MakeOpeningMusic(double seconds) {
  // The title theme's harmony as a music box, cut to the movie's length and faded out over its end.
  double loopStart = 0, loopEnd = 0;
  Buffer b = Music(Tracks()[8], true, loopStart, loopEnd);
  b.s.resize(static_cast<size_t>(seconds * b.rate) * static_cast<size_t>(b.channels), 0.f);
  const size_t frames = b.Frames(), fade = static_cast<size_t>(1.5 * b.rate);
  for (size_t i = 0; i < frames; ++i) {
    const float gain = std::min(1.0f, static_cast<float>(frames - i) / static_cast<float>(fade));
    for (int c = 0; c < b.channels; ++c) b.s[i * static_cast<size_t>(b.channels) + static_cast<size_t>(c)] *= gain;
  }
  return b.ToPcm(0.7);
}

void MakeDemoSounds(const fs::path& gameDir) {
  fs::create_directories(gameDir / "Sound");
  fs::create_directories(gameDir / "VOICE");
  uint32_t serial = 1;
  for (const Track& t : Tracks()) {
    for (bool second : {false, true}) {
      if (second && t.no > 7) continue;
      double loopStart = 0, loopEnd = 0;
      Buffer b = Music(t, second, loopStart, loopEnd);
      VorbisEncodeOptions o;
      o.quality = 0.3f;
      o.serial = serial++;
      char loop[96];
      std::snprintf(loop, sizeof loop, "*looptime,0,%.6f,%.6f,-1", loopStart, loopEnd);
      o.comments = {{"TITLE", t.mood}, {"COMMENT", loop}};
      Write(gameDir / "Sound" / ("M" + TwoDigits(t.no) + (second ? "P.ogg" : ".ogg")), b, o);
      std::cout << "  music " << t.no << (second ? " (second version)" : "") << ", loop " << loopStart << "-" << loopEnd
                << " s\n";
    }
  }
  for (int no = 1; no <= 10; ++no) {
    bool loops = false;
    Buffer b = Effect(no, loops);
    VorbisEncodeOptions o;
    o.quality = 0.3f;
    o.serial = serial++;
    Write(gameDir / "Sound" / ("S" + TwoDigits(no) + ".ogg"), b, o);
    std::cout << "  effect " << no << (loops ? " (for looping)" : "") << '\n';
  }
  for (const Line& line : Lines()) {
    double seconds = 0.3 + 0.17 * static_cast<double>(std::string(line.romaji).size()) / 2.0 + 0.4;
    Buffer b(22050, 1, seconds);
    Speak(b, line.romaji, kSpeakers[line.speaker], serial);
    VorbisEncodeOptions o;
    o.quality = 0.2f;
    o.serial = serial++;
    Write(gameDir / "VOICE" / (std::string(line.name) + ".ogg"), b, o);
    std::cout << "  voice \"" << line.romaji << "\"\n";
  }
}

}  // namespace mokuren::demo
