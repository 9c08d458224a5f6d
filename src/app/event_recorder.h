// Writes a session played by hand as an events file: where the game began waiting for the player since
// the last line (a message, a choice, the title, the name dialog, a question, the settings, the save/load
// screen or the comment dialog), a "wait" line, then the player's input as "+MS" lines counted from that
// moment (or from the line before). Replayed, the file meets the game at the same moments however long
// each took.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "app/game_moment.h"
#include "platform/output_file.h"

namespace mokuren {

class EventRecorder {
 public:
  // Creates (or empties) the file; false with a message naming it when it cannot be written.
  bool Open(const std::string& path, const std::string& gameDir, std::string& error);
  bool Active() const { return file_.IsOpen(); }
  // A line could not be written (the disk is full): Problem() says why.
  bool Failed() const { return file_.Failed(); }
  const std::string& Problem() const { return file_.Problem(); }

  // At the start of each pass, before the events of the pass: what the game waits for now.
  void Look(int64_t pass, uint32_t ms, const GameMoment& moment);
  // One line of the player's input ("click 400 300"), taken in `pass` at `ms`.
  void Write(int64_t pass, uint32_t ms, const std::string& line);
  // A right click is written only when no popup-menu item follows it: "menu ITEM" opens the menu itself.
  void RightClick(int64_t pass, uint32_t ms, const std::string& line);
  void MenuItemChosen(int64_t pass, uint32_t ms, const std::string& line);
  // Whether a line was written for `pass` (a close that follows from it is then no input of its own).
  bool WroteInPass(int64_t pass) const { return Active() && lastPass_ == pass; }

 private:
  struct Pending {
    int64_t pass;
    uint32_t ms;
    std::string line;
  };
  void Flush();
  void Put(int64_t pass, uint32_t ms, const std::string& line);
  void WriteLine(const std::string& line);

  OutputFile file_;
  // Where each kind of wait (title, message, choice, the name dialog and the other modal windows) first
  // held after the last line, by pass and time.
  static constexpr size_t kWaits = 8;
  std::array<std::optional<std::pair<int64_t, uint32_t>>, kWaits> since_;
  std::array<bool, kWaits> holdsNow_{};  // as the last look found them
  int64_t lookedPass_ = 0;
  int64_t lastPass_ = 0;  // the pass of the last line written
  uint32_t lastMs_ = 0;
  std::optional<Pending> rightClick_;
};

}  // namespace mokuren
