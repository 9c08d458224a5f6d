// A headless engine for the benchmarks: a game in a temporary directory whose script 1 is a single end
// instruction, with the SYSGRP.DAT entries given, run past its start-up. The directory goes with it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/TForm1.h"
#include "backends/headless/headless_platform.h"
#include "toolkit/archive_writer.h"

namespace mokuren {

struct BenchEngine {
  std::filesystem::path dir;
  std::unique_ptr<HeadlessPlatform> platform;
  std::unique_ptr<TForm1> form;

  explicit BenchEngine(const std::map<int, std::string>& sysgrp = {}) {
    dir = std::filesystem::temp_directory_path() / ("mokuren-bench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    // Script 1 is a single end instruction: 16 unread bytes, code size 16, the instruction, four empty tables.
    std::string script(16 + 4 + 16 + 16, '\0');
    script[16] = 16;
    script[20] = static_cast<char>(255);
    toolkit::WriteArchive(dir / "SCRIPT.DAT", {{"script1", script}});
    toolkit::WriteArchive(dir / "GRAPHIC.DAT", {});
    std::vector<toolkit::ArchiveEntry> entries(sysgrp.empty() ? 0 : static_cast<size_t>(sysgrp.rbegin()->first));
    for (size_t i = 0; i < entries.size(); ++i) entries[i].name = "SYS" + std::to_string(i + 1) + ".PNG";
    for (const auto& [n, png] : sysgrp) entries[static_cast<size_t>(n - 1)].bytes = png;
    toolkit::WriteArchive(dir / "SYSGRP.DAT", entries);
    LaunchOptions options;
    options.gameDir = dir.string();
    options.headless = true;
    platform = std::make_unique<HeadlessPlatform>();
    form = std::make_unique<TForm1>(*platform, options);
    platform->Attach(*form);
    if (!form->FormCreate()) std::abort();
    form->StartLoopClock();
    form->IdleEvent();
  }
  ~BenchEngine() {
    form.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  BenchEngine(const BenchEngine&) = delete;
  BenchEngine& operator=(const BenchEngine&) = delete;
};

}  // namespace mokuren
