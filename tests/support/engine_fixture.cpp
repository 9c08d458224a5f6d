#include "support/engine_fixture.h"

#include <csignal>
#include <thread>

#include "base/text_codec.h"
#include "dialogs/TDebugForm.h"
#include "save/TForm7.h"
#include "support/game_builder.h"
#include "toolkit/archive_writer.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

namespace mokuren::testing {

namespace {

// The programs and the engine under test play the game's original language whatever the developer's
// locale: a test that plays a translation names it (--lang, or LANGUAGE and LANG for one command).
[[maybe_unused]] const bool kOriginalLanguage = [] {
  unsetenv("LANGUAGE");
  setenv("LANG", "C.UTF-8", 1);
  return true;
}();

}  // namespace

TempDir::TempDir() {
  std::random_device rd;
  auto base = std::filesystem::temp_directory_path();
  for (;;) {
    path_ = base / ("mokuren-test-" + std::to_string(getpid()) + "-" + std::to_string(rd()));
    std::error_code ec;
    if (std::filesystem::create_directory(path_, ec)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

namespace {

void PutU32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

void WriteMinimalGame(const std::filesystem::path& dir) {
  // Script 1 loops on the spot, running every pass with TaskCode 0 and never reaching its end
  // instruction (which, before a game has started, would open the album's scene menu):
  //   0: label "loop"   1: jump "loop"   2: end
  std::string script(16 + 4 + 3 * 16, '\0');
  PutU32(script, 16, 3 * 16);
  script[20] = 78;
  script[36] = 64;
  script[52] = static_cast<char>(255);
  auto table = [&script](const std::string& text) {
    std::string size(4, '\0');
    PutU32(size, 0, static_cast<uint32_t>(text.size()));
    script += size + text;
  };
  table("loop\r\n");  // labels
  table("loop\r\n");  // jump names
  table("");          // resource names
  table("");          // messages
  toolkit::WriteArchive(dir / "SCRIPT.DAT", {{"script1", script}});
  toolkit::WriteArchive(dir / "GRAPHIC.DAT", {});
  WriteSystemArchive(dir, NeutralSystemPictures());
}

void EngineFixture::StartEngine(const std::string& eventsText, uint32_t startTick, LaunchOptions options,
                                std::unique_ptr<HeadlessPlatform> platform) {
  if (!std::filesystem::exists(dir_.path() / "SCRIPT.DAT")) WriteMinimalGame(dir_.path());
  options.headless = true;
  if (!eventsText.empty()) {
    options.eventsFile = (dir_.path() / "events.txt").string();
    WriteFile(options.eventsFile, eventsText);
  }
  platform_ = platform ? std::move(platform) : std::make_unique<HeadlessPlatform>(startTick);
  Launch(*platform_, std::move(options));
}

void EngineFixture::Launch(Platform& platform, LaunchOptions options) {
  options.gameDir = dir_.path().string();
  driven_ = &platform;
  form_ = std::make_unique<TForm1>(platform, options);
  platform.Attach(*form_);
  std::string error;
  ASSERT_TRUE(form_->automation().LoadEvents(error)) << error;
  ASSERT_TRUE(form_->automation().StartRecording(error)) << error;
  ASSERT_TRUE(form_->OpenTextReaders(error)) << error;
  ASSERT_TRUE(form_->FormCreate());
  form_->StartLoopClock();
}

void EngineFixture::StartGame(const TestGame& game, LaunchOptions options) {
  BuildTestGame(dir_.path(), game);
  StartEngine({}, 0, std::move(options));
}

void EngineFixture::StartScript(const std::string& script, LaunchOptions options) {
  StartGame(TestGame{{{1, script}}, {}, {}}, std::move(options));
  Passes(2);  // start-up's second stage, then the script's first instructions
}

void EngineFixture::Passes(int n) {
  for (int i = 0; i < n && !form_->Terminated(); ++i) form_->Pass();
}

void EngineFixture::RunMs(uint32_t ms) {
  const uint32_t start = driven_->TickCount();
  while (driven_->TickCount() - start < ms && !form_->Terminated()) form_->Pass();
}

bool EngineFixture::RunUntil(const std::function<bool()>& done, int limit) {
  for (int i = 0; i < limit && !done() && !form_->Terminated(); ++i) form_->Pass();
  return done();
}

bool EngineFixture::RunUntilTask(int32_t taskCode, int limit) {
  return RunUntil([&] { return Task() == taskCode; }, limit);
}

void EngineFixture::Apply(const std::string& line) {
  EventScript events;
  std::string error;
  ASSERT_TRUE(events.Parse("0 " + line + "\n", error)) << error;
  form_->ApplyEvent(events.events().at(0));
}

void EngineFixture::Click(int x, int y) { Apply("click " + std::to_string(x) + " " + std::to_string(y)); }
void EngineFixture::RightClick(int x, int y) { Apply("rclick " + std::to_string(x) + " " + std::to_string(y)); }
void EngineFixture::MoveTo(int x, int y) { Apply("move " + std::to_string(x) + " " + std::to_string(y)); }
void EngineFixture::Wheel(bool up) { Apply(up ? "wheel up" : "wheel down"); }
void EngineFixture::Menu(MenuItem item) { Apply("menu " + std::string(MenuItemName(item))); }
void EngineFixture::Hold(Key key, bool down) { driven_->InjectKey(key, down); }

void EngineFixture::Tap(Key key) {
  Hold(key, true);
  Passes(1);
  Hold(key, false);
}

int32_t EngineFixture::Task() const { return form_->TaskCode; }
int32_t EngineFixture::Script() const { return form_->Script().ScriptNo; }
int32_t EngineFixture::Step() const { return form_->Script().StepNo; }

int16_t EngineFixture::Var(char bank, int n) const {
  const ScriptMachine& machine = form_->Script();
  switch (bank) {
    case 'F': return machine.ScenarioVars.Get(n);
    case 'S': return machine.SystemVars.Get(n);
    default: return machine.WorkVars.Get(n);
  }
}

const TABitmap& EngineFixture::Frame() const { return form_->Pictures().FrameSurface; }
const TABitmap& EngineFixture::FloatFrame() const { return form_->Pictures().FloatSurface; }

std::vector<std::string> EngineFixture::Errors() const {
  std::vector<std::string> lines;
  for (const std::u16string& line : form_->Errors().Lines()) lines.push_back(ToUtf8(line));
  return lines;
}

int EngineFixture::ErrorsWith(const std::string& text) const {
  int n = 0;
  for (const std::string& line : Errors()) n += line.find(text) != std::string::npos;
  return n;
}

std::u16string EngineFixture::Notice() const { return form_->Text().NoticeText; }
std::string EngineFixture::SaveDat() const { return ReadFile(form_->Save().SaveFilePath()); }
int64_t EngineFixture::FrameCount() const { return form_->FrameCount(); }
int EngineFixture::ExitStatus() const { return form_->ExitStatus(); }
uint32_t EngineFixture::Now() { return driven_->TickCount(); }

// ---- Text, choices, play modes, menus and dialogs (tests24a) ------------------------------------------

void EngineFixture::CloseGame() {
  if (!form_->Terminated()) form_->CloseConfirmed();
  form_.reset();
}

std::array<std::u16string, 4> EngineFixture::MessageLines() const { return form_->Text().MessageLines; }
std::u16string EngineFixture::MessageShown() const { return form_->Text().MessageText(form_->Text().CurrentMessage); }
int EngineFixture::Typed() const { return form_->Text().RevealCount; }
bool EngineFixture::WindowShown() const { return form_->Text().WindowShown != 0; }
int EngineFixture::LogEntry() const { return form_->Text().LogView ? form_->Text().LogIndex : 0; }

std::vector<std::u16string> EngineFixture::Choices() const {
  const MessageWindow& text = form_->Text();
  if (!text.ChoiceActive) return {};
  return {text.ChoiceTexts.begin(), text.ChoiceTexts.begin() + text.ChoiceCount};
}

int EngineFixture::ChoiceHovered() const { return form_->Text().ChoiceHover; }
PlayModes EngineFixture::PlayModesNow() const { return form_->Text().Modes; }
std::u16string EngineFixture::HeroName() const { return form_->Text().HeroName; }
int EngineFixture::TitleHovered() const { return form_->Title().MenuHover; }
int EngineFixture::SoundSlot(int slot) const { return form_->Audio().SlotStatus(slot); }
int EngineFixture::ButtonLook(int n) const { return form_->Pictures().ButtonState.at(static_cast<size_t>(n - 1)); }
std::optional<FormId> EngineFixture::FrontForm() const { return form_->FrontForm(); }
std::vector<std::u16string> EngineFixture::FormTexts(FormId form) const { return form_->FormTexts(form); }

std::optional<int> EngineFixture::SaveLoadMode() const {
  const TForm7& screen = form_->GetSaveLoadForm();
  if (!screen.Visible) return std::nullopt;
  return screen.Tag;
}

std::vector<std::u16string> EngineFixture::DebugStatus() const {
  const TDebugForm& debug = form_->GetDebugForm();
  return {debug.Caption, debug.Label1, debug.Label2};
}

const SaveBlock& EngineFixture::Kept() const { return *form_->Save().Block; }
int64_t EngineFixture::PassCount() const { return form_->PassCount(); }
bool EngineFixture::Closed() const { return form_->Terminated(); }

int EngineFixture::CgSeen() const {
  int n = 0;
  for (uint8_t seen : form_->Pictures().CgSeenFlags) n += seen != 0;
  return n;
}

// ---- Main loop, pictures, sound and saves (tests24b) ----

bool EngineFixture::MenuItemEnabled(MenuItem item) const { return platform_->MenuEnabled(item); }
int32_t EngineFixture::MusicKept() const { return form_->Audio().BgmNo; }
int32_t EngineFixture::EffectKept(int position) const { return form_->Audio().SeNo[position - 1]; }
const SaveRecord& EngineFixture::SavedGame(int n) const { return form_->Save().SavedGames().Slot(n); }

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

std::string ProgramPath() { return std::string(MOKUREN_BIN_DIR) + "/mokuren"; }

pid_t StartProgram(const std::vector<std::string>& args) {
  const std::string exe = ProgramPath();
  std::vector<char*> argv{const_cast<char*>(exe.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

int WaitForProgram(pid_t pid, std::chrono::milliseconds deadline) {
  int status = 0;
  if (!WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, deadline)) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -2;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunProgram(const std::string& args, const std::string& stdoutFile, const std::string& stderrFile) {
  return RunProgramIn({}, args, stdoutFile, stderrFile);
}

int RunProgramIn(const std::filesystem::path& cwd, const std::string& args, const std::string& stdoutFile,
                 const std::string& stderrFile) {
  std::string cmd = (cwd.empty() ? std::string() : "cd '" + cwd.string() + "' && ") + ProgramPath() + " " + args;
  cmd += stdoutFile.empty() ? " >/dev/null" : " >'" + stdoutFile + "'";
  cmd += stderrFile.empty() ? " 2>/dev/null" : " 2>'" + stderrFile + "'";
  int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadFile(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

void WriteFile(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream f(p, std::ios::binary);
  f << bytes;
}

}  // namespace mokuren::testing
