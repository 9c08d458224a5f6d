// mokuren-lint on a copy of the demo game: the demo lints clean, so each mistake put into it must come
// out as exactly one finding, of its kind and at its place.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "app/engine_state.h"
#include "base/text_codec.h"
#include "lint/game_lint.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "toolkit/archive_reader.h"
#include "toolkit/archive_writer.h"
#include "toolkit/scenario_assembler.h"
#include "toolkit/scenario_files.h"

namespace fs = std::filesystem;

namespace mokuren::testing {
namespace {

class LintDemo;

struct Mistake {
  const char* name;
  std::function<void(LintDemo&)> inject;
  const char* check;
  const char* file;            // the file the finding names, by its file name
  const char* sourceLine;      // text of the source line it is placed at, or nullptr
  bool decode = false;         // whether the lint must decode the files to see it
  const char* says = nullptr;  // words the finding's message holds, or nullptr
};

void PrintTo(const Mistake& m, std::ostream* os) { *os << m.name; }

class LintDemo : public ::testing::TestWithParam<Mistake> {
 protected:
  void SetUp() override {
    fs::copy(fs::path(MOKUREN_SOURCE_DIR) / "demo" / "scenario", scenario_);
    fs::copy(fs::path(MOKUREN_BIN_DIR) / "demo-game", game_, fs::copy_options::recursive);
    fs::remove(game_ / "SAVE.DAT");
    // The translation follows the demo's texts: a mistake that changes a text would be found there too.
    fs::remove_all(game_ / "tl");
  }

 public:
  // Puts `text` on the line after the one that reads `after` in a source.
  void Insert(const std::string& file, const std::string& after, const std::string& text) {
    Replace(file, after + "\n", after + "\n" + text + "\n");
  }
  void Replace(const std::string& file, const std::string& from, const std::string& to) {
    std::string source = ReadFile(scenario_ / file);
    const size_t at = source.find(from);
    ASSERT_NE(at, std::string::npos) << file << " has no \"" << from << "\"";
    WriteFile(scenario_ / file, source.replace(at, from.size(), to));
    BuildScripts();
  }
  void BuildScripts() {
    std::vector<toolkit::ArchiveEntry> scripts;
    for (const auto& [n, path] : toolkit::FindScenarioSources(scenario_)) {
      scripts.resize(std::max(scripts.size(), static_cast<size_t>(n)));
      scripts[static_cast<size_t>(n - 1)] = {path.stem().string(),
                                             toolkit::AssembleScenarioOrThrow(ReadFile(path), path.string())};
    }
    toolkit::WriteArchive(game_ / "SCRIPT.DAT", scripts);
  }
  // Replaces the bytes of one entry of GRAPHIC.DAT, or adds the entry.
  void SetPicture(int entry, const std::string& bytes) {
    toolkit::LoadedArchive a = toolkit::LoadArchive((game_ / "GRAPHIC.DAT").string());
    std::vector<toolkit::ArchiveEntry> entries(std::max(a.Count() - 1, static_cast<size_t>(entry)));
    for (size_t n = 1; n < a.Count(); ++n)
      entries[n - 1] = {n - 1 < a.names.lines.size() ? ToUtf8(a.names.lines[n - 1]) : "", std::string(a.Entry(n))};
    toolkit::ArchiveEntry& e = entries[static_cast<size_t>(entry - 1)];
    if (e.name.empty()) e.name = "ENTRY" + std::to_string(entry) + ".PNG";
    e.bytes = bytes;
    toolkit::WriteArchive(game_ / "GRAPHIC.DAT", entries);
  }
  std::vector<lint::Finding> Lint(bool quick) {
    return lint::LintGame({game_, toolkit::FindScenarioSources(scenario_), quick});
  }
  int LineOf(const std::string& file, const std::string& text) {
    const std::string source = ReadFile(scenario_ / file);
    const size_t at = source.find(text + "\n");
    return at == std::string::npos ? -1 : 1 + static_cast<int>(std::count(source.begin(), source.begin() + at, '\n'));
  }
  std::string FileOf(const std::string& file) {
    return ReadFile(fs::exists(scenario_ / file) ? scenario_ / file : game_ / file);
  }

  TempDir dir_;
  const fs::path scenario_ = dir_.path() / "scenario";
  const fs::path game_ = dir_.path() / "game";
};

TEST_P(LintDemo, FindsExactlyTheMistake) {
  const Mistake& m = GetParam();
  m.inject(*this);
  const std::vector<lint::Finding> findings = Lint(!m.decode);
  std::string all;
  for (const lint::Finding& f : findings) all += lint::FormatFinding(f) + "\n";
  ASSERT_EQ(findings.size(), 1u) << all;
  const lint::Finding& f = findings[0];
  EXPECT_EQ(f.check, m.check) << all;
  EXPECT_EQ(fs::path(f.file).filename().string(), m.file) << all;
  if (m.says) {
    EXPECT_NE(f.message.find(m.says), std::string::npos) << all;
  }
  if (m.sourceLine) {
    std::string source;
    for (const char* name : {"script1.txt", "02_morning.txt", "03_afterschool.txt", "04_rain.txt", "103_rain.txt",
                             "07_extra.txt", "20_epilogue.txt"})
      if (fs::path(f.file).filename() == name) source = name;
    EXPECT_EQ(f.line, LineOf(source, m.sourceLine)) << all;
  }
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

const Mistake kMistakes[] = {
    {"JumpToMissingLabel",
     [](LintDemo& d) {
       d.Insert("04_rain.txt", "S203 = 1                    ; the album's scene 103 opens", "jump nowhere");
     },
     "jump-target", "04_rain.txt", "jump nowhere"},
    {"CallToMissingScript", [](LintDemo& d) { d.Insert("script1.txt", "call rain, 4", "call rain, 150"); },
     "jump-target", "script1.txt", "call rain, 150"},
    {"BlockWithoutEnd",
     [](LintDemo& d) { d.Insert("04_rain.txt", "msg \"明日も、きっといい日になる。\"", "ifeq 40, W1, 1"); },
     "block-end", "04_rain.txt", "ifeq 40, W1, 1"},
    {"LabelNothingJumpsTo", [](LintDemo& d) { d.Insert("04_rain.txt", "show", "*unused"); }, "label-unused",
     "04_rain.txt", "*unused"},
    {"PictureNameNotInArchive", [](LintDemo& d) { d.Insert("04_rain.txt", "show", "bg \"EV0999\""); },
     "picture-missing", "04_rain.txt", "bg \"EV0999\""},
    {"PictureEntryEmpty", [](LintDemo& d) { d.Insert("04_rain.txt", "show", "bg 999"); }, "picture-missing",
     "04_rain.txt", "bg 999"},
    {"MusicFileMissing", [](LintDemo& d) { d.Replace("04_rain.txt", "bgm 3, 1, 2", "bgm 42, 1, 2"); }, "music-missing",
     "04_rain.txt", "bgm 42, 1, 2"},
    {"EffectFileMissing", [](LintDemo& d) { d.Replace("04_rain.txt", "se2 6, 1", "se2 42, 1"); }, "effect-missing",
     "04_rain.txt", "se2 42, 1"},
    {"VoiceFileMissing", [](LintDemo& d) { d.Insert("04_rain.txt", "show", "msg \"ミナ「あ。」\", \"v9999\""); },
     "voice-missing", "04_rain.txt", "msg \"ミナ「あ。」\", \"v9999\""},
    {"MessagePastThreeLines", [](LintDemo& d) { d.Insert("04_rain.txt", "show", "msg \"" + Repeat("あ", 76) + "\""); },
     "message-overflow", "04_rain.txt", nullptr},
    {"NameCanPushMessagePastThreeLines",
     [](LintDemo& d) { d.Insert("04_rain.txt", "show", "msg \"①" + Repeat("あ", 71) + "\""); }, "name-overflow",
     "04_rain.txt", nullptr},
    {"NarrationReadAsSpeaker",
     [](LintDemo& d) { d.Insert("04_rain.txt", "show", "msg \"その日、彼女は「さよなら」と言った。\""); }, "speaker",
     "04_rain.txt", "msg \"その日、彼女は「さよなら」と言った。\""},
    {"ChoiceCutInTwo", [](LintDemo& d) { d.Replace("02_morning.txt", "一緒に行く,", Repeat("一", 33) + ","); },
     "choice-fit", "02_morning.txt", nullptr},
    {"NamePlaceholderInAChoice", [](LintDemo& d) { d.Replace("02_morning.txt", "一緒に行く,", "①と行く,"); },
     "choice-name", "02_morning.txt", nullptr},
    {"ChoiceWiderThanItsBandPicture",
     [](LintDemo& d) { d.Replace("02_morning.txt", "一緒に行く,", Repeat("一", 22) + ","); }, "choice-band",
     "02_morning.txt", nullptr},
    {"CharacterNotOnACanvas", [](LintDemo& d) { d.SetPicture(3, SolidPng(300, 500, 200, 100, 50)); },
     "character-canvas", "02_morning.txt", "layer2 center, \"CH01\""},
    {"GlyphTheFontLacks", [](LintDemo& d) { d.Insert("04_rain.txt", "show", "msg \"合計∑\""); }, "glyph-missing",
     "04_rain.txt", "msg \"合計∑\"", true},
    {"LabelDefinedTwice",
     [](LintDemo& d) {
       d.Insert("03_afterschool.txt", "S202 = 1                    ; the album's scene 102 opens", "*talk");
     },
     "label-unused", "03_afterschool.txt", "*talk\nreturn"},
    {"SourceChangedSinceTheBuild",
     [](LintDemo& d) {
       const fs::path rain = d.scenario_ / "04_rain.txt";
       WriteFile(rain, ReadFile(rain) + "msg \"あとがき\"\n");
     },
     "source-stale", "04_rain.txt", nullptr},
    {"VariableOutsideItsBank", [](LintDemo& d) { d.Insert("04_rain.txt", "show", "F600 = 1"); }, "variable-range",
     "04_rain.txt", "F600 = 1"},
    {"SceneFlagNeverSet",
     [](LintDemo& d) { d.Replace("04_rain.txt", "S203 = 1                    ; the album's scene 103 opens\n", ""); },
     "scene-flag", "103_rain.txt", "call rain, 4"},
    {"StoryInAScriptWithoutReadMarks",
     [](LintDemo& d) {
       WriteFile(d.scenario_ / "20_epilogue.txt", "*epilogue\nmsg \"おまけ\"\nreturn\n");
       d.Insert("script1.txt", "call rain, 4", "call epilogue, 20");
     },
     "read-skip", "20_epilogue.txt", "msg \"おまけ\""},
    {"ScriptNothingReaches",
     [](LintDemo& d) {
       WriteFile(d.scenario_ / "07_extra.txt", "msg \"おまけ\"\n");
       d.BuildScripts();
     },
     "script-unreachable", "07_extra.txt", "msg \"おまけ\""},
    {"AlbumSlotWithoutItsFirstPicture", [](LintDemo& d) { d.SetPicture(352, SolidPng(8, 8, 200, 100, 50)); },
     "album-picture", "GRAPHIC.DAT", nullptr},
    {"PictureThatDoesNotDecode", [](LintDemo& d) { d.SetPicture(2, "not a picture"); }, "picture-broken", "GRAPHIC.DAT",
     nullptr, true},
    {"SoundThatDoesNotDecode",
     [](LintDemo& d) { WriteFile(d.game_ / "Sound" / "S03.ogg", d.FileOf("Sound/S03.ogg").substr(0, 200)); },
     "sound-broken", "S03.ogg", nullptr, true},
    {"MovieCutOff",
     [](LintDemo& d) {
       const std::string movie = d.FileOf("op.ogv");
       WriteFile(d.game_ / "op.ogv", movie.substr(0, movie.size() / 2));
     },
     "movie", "op.ogv", nullptr, true},
    {"MusicRoomTrackMissing", [](LintDemo& d) { std::filesystem::remove(d.game_ / "Sound" / "M01.ogg"); },
     "music-missing", "Sound", nullptr},
    {"ChoiceOfOneItem", [](LintDemo& d) { d.Insert("04_rain.txt", "show", "choice \"ひとつだけ\""); }, "choice-one",
     "04_rain.txt", "choice \"ひとつだけ\""},
    {"JumpToAMisspeltLabel",
     [](LintDemo& d) {
       d.Insert("04_rain.txt", "S203 = 1                    ; the album's scene 103 opens", "jump rian");
     },
     "jump-target", "04_rain.txt", "jump rian", false, "; did you mean \"rain\"?"},
    {"TitleWithAnEmptyFirstLine", [](LintDemo& d) { WriteFile(d.game_ / "title.txt", "\n木蓮\n"); }, "title",
     "title.txt", nullptr},
    {"SavedGameInAScriptNoLongerThere",
     [](LintDemo& d) {
       auto block = std::make_unique<SaveBlock>();
       std::memset(block.get(), 0, sizeof(SaveBlock));
       block->MessageSpeed = 2;
       block->VoiceVolume = block->BgmVolume = block->SeVolume = 100;
       block->Slot(1).Used = 1;
       block->Slot(1).ScriptNo = 77;
       WriteFile(d.game_ / "SAVE.DAT", std::string(reinterpret_cast<const char*>(block.get()), sizeof(SaveBlock)));
     },
     "save-data", "SAVE.DAT", nullptr},
    {"TranslationForAnotherGame",
     [](LintDemo& d) {
       fs::create_directories(d.game_ / "tl");
       WriteFile(d.game_ / "tl" / "en.po",
                 ReadFile(fs::path(MOKUREN_SOURCE_DIR) / "demo" / "tl" / "en.po") +
                     "\nmsgctxt \"script 99 message 0\"\nmsgid \"よその台詞\"\nmsgstr \"Elsewhere\"\n");
     },
     "translation", "en.po", nullptr},
};

INSTANTIATE_TEST_SUITE_P(Mistakes, LintDemo, ::testing::ValuesIn(kMistakes),
                         [](const ::testing::TestParamInfo<Mistake>& info) { return std::string(info.param.name); });

// The rules a game turns off: per line with a "lint: off" comment, for the whole game in
// mokuren-lint.toml (where a misspelt rule is itself told).
TEST_F(LintDemo, RulesTurnedOffPerLineAndPerGame) {
  Insert("04_rain.txt", "show", "*unused");
  ASSERT_EQ(Lint(true).size(), 1u);
  Replace("04_rain.txt", "*unused", "*unused          ; lint: off label-unused (kept for the next scene)");
  EXPECT_TRUE(Lint(true).empty());
  Replace("04_rain.txt", "*unused          ; lint: off label-unused (kept for the next scene)",
          "# lint: off label-unused\n*unused");
  EXPECT_TRUE(Lint(true).empty());

  Replace("04_rain.txt", "# lint: off label-unused\n", "");
  WriteFile(game_ / "mokuren-lint.toml",
            "[rules]\nread-skip = \"off\"\nlabel-unused = \"off\"\nlabel-unsed = \"off\"\n");
  std::vector<lint::Finding> findings = Lint(true);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].check, "lint-config");
  EXPECT_EQ(findings[0].line, 4);
}

// The complete example of docs/scenario-language.md, as script 1, leaves no label unused.
TEST_F(LintDemo, TheLanguageDocumentsExampleUsesItsLabels) {
  const std::string doc = ReadFile(fs::path(MOKUREN_SOURCE_DIR) / "docs" / "scenario-language.md");
  const size_t section = doc.find("## A complete example");
  ASSERT_NE(section, std::string::npos);
  const size_t start = doc.find("```\n", section) + 4;
  WriteFile(scenario_ / "script1.txt", doc.substr(start, doc.find("```", start) - start));
  BuildScripts();
  for (const lint::Finding& f : Lint(true)) {
    if (fs::path(f.file).filename() == "script1.txt") {
      EXPECT_NE(f.check, "label-unused") << lint::FormatFinding(f);
    }
  }
}

// The program itself: a placed finding without sources names SCRIPT.DAT's script and step, --json carries
// the same, and the exit status tells errors from warnings.
TEST(LintProgram, ReportsStepsJsonAndStatus) {
  TempDir dir;
  fs::copy(fs::path(MOKUREN_BIN_DIR) / "demo-game", dir.path() / "game", fs::copy_options::recursive);
  const std::string lint = std::string(MOKUREN_BIN_DIR) + "/mokuren-lint --quick ";
  const std::string out = (dir.path() / "out.txt").string();
  EXPECT_EQ(std::system((lint + (dir.path() / "game").string() + " > " + out).c_str()), 0) << ReadFile(out);

  fs::remove(dir.path() / "game" / "Sound" / "M04P.ogg");
  fs::remove(dir.path() / "game" / "Sound" / "M09.ogg");
  EXPECT_EQ(WEXITSTATUS(std::system((lint + (dir.path() / "game").string() + " > " + out).c_str())), 1);
  const std::string said = ReadFile(out);
  EXPECT_NE(said.find("Sound: warning: a second click on a music-room row plays what the game lacks: Sound/M04P.ogg, "
                      "Sound/M09.ogg [music-missing]"),
            std::string::npos)
      << said;
  EXPECT_NE(said.find("SCRIPT.DAT:1:4: warning: the title screen plays music 9 (Sound/M09.ogg)"), std::string::npos)
      << said;
  EXPECT_EQ(said.find('\\'), std::string::npos) << said;

  fs::remove(dir.path() / "game" / "Sound" / "S06.ogg");  // the rain in script 4, at step 6
  EXPECT_EQ(WEXITSTATUS(std::system((lint + "--json " + (dir.path() / "game").string() + " > " + out).c_str())), 2);
  EXPECT_NE(ReadFile(out).find("\"check\": \"effect-missing\", \"file\": \"SCRIPT.DAT\", \"script\": 4, \"step\": 6"),
            std::string::npos)
      << ReadFile(out);
}

}  // namespace
}  // namespace mokuren::testing
