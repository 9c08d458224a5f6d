// Writes a session played by hand as an events file: where the game began waiting for the player since
// the last line, a "wait" line, then the player's input as "+MS" lines counted from that moment (or from
// the line before). Replayed, the file meets the game at the same moments however long each took.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "app/game_moment.h"

namespace mokuren {

class EventRecorder {
 public:
  // Creates (or empties) the file; false with a message naming it when it cannot be written.
  bool Open(const std::string& path, const std::string& gameDir, std::string& error);
  bool Active() const { return file_ != nullptr; }

  // At the start of each pass, before the events of the pass: what the game waits for now.
  void Look(int64_t pass, uint32_t ms, const GameMoment& moment);
  // One line of the player's input ("click 400 300"), taken in `pass` at `ms`.
  void Write(int64_t pass, uint32_t ms, const std::string& line);
  // A right click is written only when no popup-menu item follows it: "menu ITEM" opens the menu itself.
  void RightClick(int64_t pass, uint32_t ms, const std::string& line);
  void MenuItemChosen(int64_t pass, uint32_t ms, const std::string& line);
  // Whether a line was written for `pass` (a close that follows from it is then no input of its own).
  bool WroteInPass(int64_t pass) const { return file_ && lastPass_ == pass; }
  // A line the file cannot replay, kept as a comment so the writer sees what is missing.
  void Note(const std::string& text);

 private:
  struct Pending {
    int64_t pass;
    uint32_t ms;
    std::string line;
  };
  void Flush();
  void Put(int64_t pass, uint32_t ms, const std::string& line);

  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, FileCloser> file_;
  // Where each kind of wait (title, message, choice) first held after the last line, by pass and time.
  std::array<std::optional<std::pair<int64_t, uint32_t>>, 3> since_;
  std::array<bool, 3> holdsNow_{};  // as the last look found them
  int64_t lookedPass_ = 0;
  int64_t lastPass_ = 0;  // the pass of the last line written
  uint32_t lastMs_ = 0;
  std::optional<Pending> rightClick_;
};

}  // namespace mokuren
