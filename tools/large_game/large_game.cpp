#include "large_game/large_game.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <numbers>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "project/starter_media.h"
#include "project/starter_project.h"
#include "toolkit/archive_writer.h"
#include "toolkit/parallel_jobs.h"
#include "toolkit/png_writer.h"
#include "toolkit/vorbis_encoder.h"

namespace fs = std::filesystem;

namespace mokuren::largegame {

namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr int kVoiceClips = 16;  // distinct voice recordings; every voice file is a link to one of them

// A generator of its own, so that the same seed gives the same game with any standard library.
class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint32_t Next() {
    s_ ^= s_ << 13;
    s_ ^= s_ >> 7;
    s_ ^= s_ << 17;
    return static_cast<uint32_t>(s_ >> 16);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
  template <typename T, size_t N>
  const T& Of(const T (&items)[N]) {
    return items[Below(static_cast<int>(N))];
  }

 private:
  uint64_t s_;
};

const char* const kSpeakers[] = {"ハルカ", "ミナ", "ソウタ", "ユイ", "先生", "店長"};
const char* const kPlaces[] = {"窓の外", "駅前", "教室", "帰り道", "校庭", "図書室", "商店街", "川沿い",
                               "屋上",   "公園", "坂道", "部室",   "廊下", "神社",   "港",     "丘の上"};
const char* const kSights[] = {"風が静かに吹いている",       "空がいつもより高い",       "人の声が遠くに聞こえる",
                               "夕日が長い影を落としている", "雨の匂いがする",           "桜の花びらが舞っている",
                               "時計の音だけが響いている",   "誰かの足音が近づいてくる", "光がやわらかく差している",
                               "鳥が一羽、空を横切った"};
const char* const kThoughts[] = {"少しだけ、胸が高鳴った",   "昨日のことを思い出す",   "何かが始まる気がした",
                                 "言葉が見つからない",       "ため息がひとつこぼれた", "明日はきっと晴れるだろう",
                                 "このままでいいのだろうか", "自然と笑みがこぼれた"};
const char* const kSayings[] = {"おはよう",         "今日はどうするの？",   "それ、本当？",
                                "ちょっと待って",   "一緒に行こうよ",       "気をつけてね",
                                "また明日",         "ありがとう、助かった", "どうしたの、元気ないね",
                                "ねえ、聞いてる？", "そろそろ行かないと",   "うん、わかった"};
const char* const kOptions[] = {"一緒に行く",   "先に帰る",     "図書室に寄る", "声をかける",
                                "黙って見守る", "話を聞く",     "寄り道する",   "まっすぐ帰る",
                                "手紙を書く",   "空を見上げる", "駅へ向かう",   "公園で休む"};

// One message's text, short enough for the window's three lines whatever name the player gives.
std::string MessageText(Rng& rng, bool speech, bool allowName) {
  if (!speech) {
    std::string text = std::string(rng.Of(kPlaces)) + "で、" + rng.Of(kSights) + "。";
    if (rng.Below(3) == 0) text += std::string(rng.Below(2) ? "/" : "") + rng.Of(kThoughts) + "。";
    return text;
  }
  std::string said = rng.Of(kSayings);
  if (allowName && rng.Below(8) == 0) said = "①くん、" + said;
  if (rng.Below(3) == 0) said += std::string(said.ends_with("？") ? "" : "。") + rng.Of(kThoughts);
  return std::string(rng.Of(kSpeakers)) + "「" + said + "」";
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Numbered(const char* prefix, int n, int digits) {
  char text[32];
  std::snprintf(text, sizeof text, "%s%0*d", prefix, digits, n);
  return text;
}

// The plan of one chapter: messages in its common stretches and in each option of each choice.
struct ChoicePlan {
  std::vector<int> options;  // messages of each option's branch
  bool counts = false;       // its first option adds to the chapter's bonus counter
};
struct ChapterPlan {
  std::vector<int> common;  // stretches before, between and after the choices
  std::vector<ChoicePlan> choices;
};

std::vector<ChapterPlan> PlanChapters(const GameShape& shape, Rng& rng) {
  const int chapters = shape.scripts - 1;
  if (chapters < 1) throw std::runtime_error("a large game needs at least two scripts");
  std::vector<ChapterPlan> plans(static_cast<size_t>(chapters));
  const int messages = shape.messages - 1;  // script 1 has the last one
  for (int c = 0; c < chapters; ++c) {
    ChapterPlan& plan = plans[static_cast<size_t>(c)];
    const int choices = shape.choices / chapters + (c < shape.choices % chapters ? 1 : 0);
    int budget = messages / chapters + (c < messages % chapters ? 1 : 0) - 1;  // one for the bonus
    for (int k = 0; k < choices; ++k) {
      ChoicePlan choice;
      choice.options.resize(k % 4 == 3 ? 3 : 2);
      for (int& n : choice.options) {
        n = 4 + rng.Below(7);
        budget -= n;
      }
      choice.counts = k == choices / 2;
      plan.choices.push_back(std::move(choice));
    }
    if (budget < choices + 1) throw std::runtime_error("too few messages for the choices asked");
    for (int k = 0; k <= choices; ++k) plan.common.push_back(budget / (choices + 1) + (k < budget % (choices + 1)));
  }
  return plans;
}

// Writes the scenario sources: script 1 calls every chapter in turn.
class ScenarioWriter {
 public:
  ScenarioWriter(const GameShape& shape, Rng& rng) : shape_(shape), rng_(rng) {}

  void Write(const fs::path& dir, const std::vector<ChapterPlan>& plans) {
    fs::create_directories(dir);
    int common = 0;
    for (const ChapterPlan& p : plans)
      for (int n : p.common) common += n;
    characters_ = shape_.pictures - shape_.pictures / 5 - shape_.pictures / 10;
    sceneGap_ = std::max(1, common / std::max(1, characters_));
    std::string first =
        "# The title, then the story's chapters in order; back to the title at the end.\n"
        "*top\ncursor 1\nsysmenu 0\ntitle\nsysmenu 1\nallowskip 1\n";
    for (int c = 2; c <= shape_.scripts; ++c) first += "call ch" + std::to_string(c) + ", " + std::to_string(c) + "\n";
    first += "msg \"（完）\"\njump top\n";
    toolkit::WriteWholeFile(dir / "script1.txt", first);
    for (size_t c = 0; c < plans.size(); ++c) {
      const int number = static_cast<int>(c) + 2;
      toolkit::WriteWholeFile(dir / (Numbered("", number, 3) + "_chapter.txt"), Chapter(number, plans[c]));
    }
  }

 private:
  std::string Message(bool allowScene) {
    std::string out;
    if (allowScene && ++sinceScene_ >= sceneGap_ && scene_ < characters_) out += Scene();
    ++message_;
    // Voiced messages are spread evenly over the story: message i has one when the share of voices
    // reached so far grows past a whole one.
    const int64_t spoken = shape_.messages - 1;  // all but script 1's last line
    const bool voiced = static_cast<int64_t>(message_) * shape_.voices / spoken >
                        static_cast<int64_t>(message_ - 1) * shape_.voices / spoken;
    const bool speech = voiced || rng_.Below(3) == 0;
    out += "msg " + Quoted(MessageText(rng_, speech, true));
    if (voiced) out += ", " + Quoted(Numbered("V", ++voice_, 5));
    return out + "\n";
  }

  // A new scene: a background (or an event picture) and a character, every picture shown somewhere.
  std::string Scene() {
    sinceScene_ = 0;
    const int backgrounds = shape_.pictures / 5, events = shape_.pictures / 10;
    std::string bg;
    if (scene_ % 7 == 3 && event_ < events)
      bg = Numbered("EV", ++event_, 4);
    else
      bg = Numbered("BG", 1 + background_++ % backgrounds, 4);
    ++scene_;
    return "bg " + Quoted(bg) + "\nlayer2 " +
           (scene_ % 3 == 0   ? "left"
            : scene_ % 3 == 1 ? "center"
                              : "right") +
           ", " + Quoted(Numbered("CH", scene_, 4)) + "\nshow\n" +
           (scene_ % 5 == 0 ? "se1 " + std::to_string(1 + scene_ % 10) + "\n" : "");
  }

  std::string Chapter(int number, const ChapterPlan& plan) {
    std::string s = "# Chapter " + std::to_string(number) + "\n*ch" + std::to_string(number) + "\nbgm " +
                    std::to_string(1 + number % 10) + ", 1, 2\n";
    if (scene_ < characters_) s += Scene();
    for (size_t k = 0; k <= plan.choices.size(); ++k) {
      for (int m = 0; m < plan.common[k]; ++m) s += Message(true);
      if (k == plan.choices.size()) break;
      const ChoicePlan& choice = plan.choices[k];
      std::vector<std::string> texts;
      while (texts.size() < choice.options.size()) {
        const std::string t = rng_.Of(kOptions);
        if (std::find(texts.begin(), texts.end(), t) == texts.end()) texts.push_back(t);
      }
      std::string joined;
      for (const std::string& t : texts) joined += (joined.empty() ? "" : ",") + t;
      s += "choice " + Quoted(joined) + "\n";
      for (size_t o = 0; o < choice.options.size(); ++o) {
        s += o == 0                           ? "if W1 == 1\n"
             : o + 1 == choice.options.size() ? "else\n"
                                              : "elseif W1 == " + std::to_string(o + 1) + "\n";
        for (int m = 0; m < choice.options[o]; ++m) s += "  " + Message(false);
        if (o == 0 && choice.counts) s += "  F10 = F10 + 1\n";
      }
      s += "endif\n";
    }
    // What the chapter's choices added up to shows once at its end, and is then spent.
    ++message_;
    s += "if F10 > 0\n  msg " + Quoted(std::string(rng_.Of(kSpeakers)) + "「今日は、いい一日だったね」") +
         "\nendif\nF10 = 0\nreturn\n";
    return s;
  }

  const GameShape& shape_;
  Rng& rng_;
  int characters_ = 0, sceneGap_ = 1, sinceScene_ = 0;
  int scene_ = 0, background_ = 0, event_ = 0;
  int message_ = 0, voice_ = 0;
};

// Pixels of picture `n` of a kind: a gradient with soft stripes for backgrounds and event pictures, a
// figure on a transparent canvas for characters.
std::string Picture(char kind, int n) {
  std::vector<uint8_t> rgba(static_cast<size_t>(kWidth) * kHeight * 4);
  Rng rng(static_cast<uint64_t>(n) * 131 + static_cast<uint64_t>(kind));
  const int r0 = rng.Below(256), g0 = rng.Below(256), b0 = rng.Below(256);
  const int r1 = rng.Below(256), g1 = rng.Below(256), b1 = rng.Below(256);
  const int stripe = 8 + rng.Below(24), cx = 250 + rng.Below(300), width = 90 + rng.Below(60);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      uint8_t* p = &rgba[(static_cast<size_t>(y) * kWidth + x) * 4];
      const int shade = ((x + y) / stripe) % 2 ? 6 : 0;
      if (kind == 'C') {
        // A figure: a head and a body, standing where the canvas's middle is.
        const int dx = x - cx, head = (dx * dx + (y - 180) * (y - 180)) < 60 * 60;
        const int body = y > 240 && std::abs(dx) < width - (600 - y) / 8;
        if (!head && !body) continue;
        p[0] = static_cast<uint8_t>(r0 / 2 + 80 + shade);
        p[1] = static_cast<uint8_t>(g0 / 2 + 60 + shade);
        p[2] = static_cast<uint8_t>(b0 / 2 + 40);
        p[3] = 255;
        continue;
      }
      p[0] = static_cast<uint8_t>((r0 * (kHeight - y) + r1 * y) / kHeight / 2 + 60 + shade);
      p[1] = static_cast<uint8_t>((g0 * (kHeight - y) + g1 * y) / kHeight / 2 + 60 + shade);
      p[2] = static_cast<uint8_t>((b0 * (kHeight - y) + b1 * y) / kHeight / 2 + 60);
      p[3] = 255;
    }
  }
  return toolkit::EncodePng(kWidth, kHeight, rgba);
}

void WritePictures(const fs::path& dir, const GameShape& shape, std::ostream& progress) {
  fs::create_directories(dir);
  const int backgrounds = shape.pictures / 5, events = shape.pictures / 10;
  std::vector<std::function<void()>> jobs;
  std::atomic<int> done{0};
  std::mutex lock;
  std::string failure;
  for (int i = 1; i <= shape.pictures; ++i) {
    const char kind = i <= backgrounds ? 'B' : i <= backgrounds + events ? 'E' : 'C';
    const int n = kind == 'B' ? i : kind == 'E' ? i - backgrounds : i - backgrounds - events;
    const std::string name = Numbered(kind == 'B' ? "BG" : kind == 'E' ? "EV" : "CH", n, 4) + ".png";
    jobs.push_back([&, kind, n, name] {
      try {
        toolkit::WriteWholeFile(dir / name, Picture(kind, n));
      } catch (const std::exception& e) {
        std::lock_guard guard(lock);
        failure = e.what();
      }
      if (const int d = ++done; d % 250 == 0) {
        std::lock_guard guard(lock);
        progress << "  pictures: " << d << " of " << shape.pictures << std::endl;
      }
    });
  }
  toolkit::RunParallel(jobs);
  if (!failure.empty()) throw std::runtime_error(failure);
}

// A short spoken-sounding tone: a few syllables of a voice's pitch.
std::string VoiceClip(int k) {
  constexpr int kRate = 22050;
  const double pitch = 180 + 20 * k;
  std::vector<int16_t> pcm(kRate * 6 / 5);
  for (size_t i = 0; i < pcm.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double syllable = std::sin(std::numbers::pi * std::fmod(t * 5, 1.0));
    pcm[i] = static_cast<int16_t>(9000 * syllable * std::sin(2 * std::numbers::pi * pitch * t * (1 + 0.1 * syllable)));
  }
  return EncodeVorbis(pcm.data(), pcm.size(), 1, kRate);
}

void WriteVoices(const fs::path& dir, const GameShape& shape, std::ostream& progress) {
  fs::create_directories(dir);
  std::vector<fs::path> clips;
  for (int k = 0; k < kVoiceClips; ++k) {
    clips.push_back(dir / Numbered("clip", k, 2));
    toolkit::WriteWholeFile(clips.back(), VoiceClip(k));
  }
  for (int v = 1; v <= shape.voices; ++v) {
    const fs::path file = dir / (Numbered("V", v, 5) + ".ogg");
    std::error_code ec;
    fs::remove(file, ec);
    fs::create_hard_link(clips[static_cast<size_t>(v % kVoiceClips)], file, ec);
    if (ec) fs::copy_file(clips[static_cast<size_t>(v % kVoiceClips)], file, fs::copy_options::overwrite_existing);
    if (v % 5000 == 0) progress << "  voices: " << v << " of " << shape.voices << std::endl;
  }
  for (const fs::path& clip : clips) fs::remove(clip);
}

void WriteSounds(const fs::path& dir) {
  fs::create_directories(dir);
  // Ten tracks, the first seven with their second versions, and ten effects.
  for (int t = 1; t <= 10; ++t) {
    const std::string music = project::PlaceholderMusic(48 + 2 * t, 4);
    toolkit::WriteWholeFile(dir / Numbered("M", t, 2).append(".ogg"), music);
    if (t <= 7) toolkit::WriteWholeFile(dir / Numbered("M", t, 2).append("P.ogg"), music);
  }
  const std::string effect = project::PlaceholderEffect();
  for (int e = 1; e <= 10; ++e) toolkit::WriteWholeFile(dir / Numbered("S", e, 2).append(".ogg"), effect);
}

}  // namespace

void WriteLargeGame(const fs::path& dir, const GameShape& shape, std::ostream& progress) {
  progress << "large game: " << shape.scripts << " scripts, " << shape.messages << " messages, " << shape.choices
           << " choices, " << shape.pictures << " pictures, " << shape.voices << " voices into " << dir.string()
           << std::endl;
  // The starter's system pictures, title and settings; its own scenes and pictures are replaced.
  std::ostringstream starter;
  project::WriteStarterProject(dir, "大きな物語", starter);
  for (const char* made : {"scenario", "pictures", "tests"}) fs::remove_all(dir / made);
  toolkit::WriteWholeFile(dir / "album.txt", "# PAGE-SLOT  FIRST  [VARIANTS...]\n");
  toolkit::WriteWholeFile(dir / "mokuren-lint.toml",
                          "[rules]\nread-skip = \"off\"        # the story runs through a hundred scripts\n");
  Rng rng(shape.seed);
  const std::vector<ChapterPlan> plans = PlanChapters(shape, rng);
  ScenarioWriter(shape, rng).Write(dir / "scenario", plans);
  progress << "  scenario: " << shape.scripts << " scripts" << std::endl;
  WriteSounds(dir / "Sound");
  WriteVoices(dir / "VOICE", shape, progress);
  WritePictures(dir / "pictures", shape, progress);
}

}  // namespace mokuren::largegame
