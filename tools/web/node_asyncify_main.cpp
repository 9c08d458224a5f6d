// mokuren-node-asyncify: mokuren-node linked with Asyncify, whose headless platform hands control back to
// node's event loop once per frame of virtual time (emscripten_sleep), from wherever the engine is: its
// main loop, or a loop nested in it (a modal dialog being answered, a wait). A browser's frame callback
// would resume the engine the same way. tools/web/measure-asyncify compares it with mokuren-node.
#include <emscripten.h>

#include <filesystem>
#include <iostream>

#include "app/TForm1.h"
#include "app/launch_options.h"
#include "backends/headless/headless_platform.h"

namespace {

class YieldingPlatform : public mokuren::HeadlessPlatform {
 public:
  void Sleep(uint32_t ms) override {
    HeadlessPlatform::Sleep(ms);
    if (TickCount() - lastYield_ < kFrameMs) return;
    lastYield_ = TickCount();
    ++yields_;
    emscripten_sleep(0);
  }
  uint64_t Yields() const { return yields_; }

 private:
  static constexpr uint32_t kFrameMs = 33;
  uint32_t lastYield_ = 0;
  uint64_t yields_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  mokuren::ParseResult parsed = mokuren::ParseCommandLine(argc, argv);
  if (!parsed.error.empty() || !parsed.options.headless) {
    std::cerr << "mokuren-node-asyncify: " << (parsed.error.empty() ? "runs only with --headless" : parsed.error)
              << '\n';
    return 2;
  }
  std::error_code ec;
  mokuren::ResolveFilesAgainst(parsed.options, std::filesystem::current_path(ec).string());
  YieldingPlatform platform;
  int status = 2;
  {
    mokuren::TForm1 form(platform, parsed.options);
    platform.Attach(form);
    std::string error;
    if (!form.LoadEvents(error) || !mokuren::CheckOutputFiles(parsed.options, error) || !form.OpenTextReaders(error)) {
      std::cerr << "mokuren-node-asyncify: " << error << '\n';
      return 2;
    }
    if (form.FormCreate()) status = form.Run();
  }
  std::cerr << "mokuren-node-asyncify: yielded to the event loop " << platform.Yields() << " times\n";
  return status;
}
