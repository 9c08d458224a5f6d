#include "support/engine_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

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

void EngineFixture::StartEngine(const std::string& eventsText, uint32_t startTick) {
  LaunchOptions options;
  options.gameDir = dir_.path().string();
  options.headless = true;
  if (!eventsText.empty()) {
    options.eventsFile = (dir_.path() / "events.txt").string();
    WriteFile(options.eventsFile, eventsText);
  }
  platform_ = std::make_unique<HeadlessPlatform>(startTick);
  form_ = std::make_unique<TForm1>(*platform_, options);
  platform_->Attach(*form_);
  std::string error;
  ASSERT_TRUE(form_->LoadEvents(error)) << error;
  ASSERT_TRUE(form_->FormCreate());
  form_->StartLoopClock();
}

void EngineFixture::Passes(int n) {
  for (int i = 0; i < n && !form_->Terminated(); ++i) form_->IdleEvent();
}

std::string ProgramPath() { return std::string(MOKUREN_BIN_DIR) + "/mokuren"; }

int RunProgram(const std::string& args, const std::string& stdoutFile, const std::string& stderrFile) {
  std::string cmd = ProgramPath() + " " + args;
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
