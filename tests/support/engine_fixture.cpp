#include "support/engine_fixture.h"

#include <csignal>
#include <thread>

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
  options.gameDir = dir_.path().string();
  options.headless = true;
  if (!eventsText.empty()) {
    options.eventsFile = (dir_.path() / "events.txt").string();
    WriteFile(options.eventsFile, eventsText);
  }
  platform_ = platform ? std::move(platform) : std::make_unique<HeadlessPlatform>(startTick);
  form_ = std::make_unique<TForm1>(*platform_, options);
  platform_->Attach(*form_);
  std::string error;
  ASSERT_TRUE(form_->automation().LoadEvents(error)) << error;
  ASSERT_TRUE(form_->FormCreate());
  form_->StartLoopClock();
}

void EngineFixture::Passes(int n) {
  for (int i = 0; i < n && !form_->Terminated(); ++i) form_->IdleEvent();
}

void EngineFixture::Apply(const std::string& line) {
  EventScript events;
  std::string error;
  ASSERT_TRUE(events.Parse("0 " + line + "\n", error)) << error;
  form_->ApplyEvent(events.events().at(0));
}

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
