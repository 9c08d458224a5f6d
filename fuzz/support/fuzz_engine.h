// The whole engine under a fuzz target: a headless TForm1 on a small copy of the demo game (its real
// scripts, stand-in pictures, no sound files), played for a bounded number of passes by an events file
// that clicks, presses keys, pages the log and answers every dialog, so that no wait or modal window can
// hold a run.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "app/TForm1.h"
#include "backends/headless/headless_platform.h"

namespace mokuren::fuzzing {

// The game directory, made at the first call in a folder of the process's own. SCRIPT.DAT holds the
// demo's scenarios; GRAPHIC.DAT a small picture under every name they use; SYSGRP.DAT a small picture at
// every entry the engine reads.
const std::filesystem::path& GameDir();
// Script entries of the demo, by number (the seeds of the targets come from the same sources).
const std::string& DemoScript(int number);
// SAVE.DAT as the game writes it at its first start (the settings' defaults, nothing saved).
const std::string& FreshSave();
// Writes SCRIPT.DAT of the game with `script1` (entry bytes, not checked) in place of the demo's script 1.
void WriteScripts(const std::string& script1);

// How long one input plays: two rounds of the player's input (each round clicks, keys, answers dialogs,
// pages the log and switches the play modes). Random code does most of what it does in its first passes,
// and each pass composes a whole frame.
constexpr uint32_t kPlayMs = 1000;

class Engine {
 public:
  // A fresh engine on GameDir(), whatever SAVE.DAT and THUMB/ hold now, started as the program starts it.
  Engine();
  ~Engine();
  // Runs passes of the main loop until `ms` of virtual time have passed (the events keep it moving).
  void Play(uint32_t ms);
  TForm1& form() { return *form_; }

 private:
  HeadlessPlatform platform_;
  std::unique_ptr<TForm1> form_;
};

}  // namespace mokuren::fuzzing
