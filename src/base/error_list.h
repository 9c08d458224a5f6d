// The engine's error list: every problem the game meets and goes on after (a picture that does not decode,
// a missing sound file, a fault of the script). Each line is also written to standard error. The debug
// window shows the list, whether or not it is up when the line comes.
//
// A game that meets the same fault every frame would fill memory and the terminal, so the list keeps its
// newest lines only (it counts those it let go), and a line that comes again within a second of its last
// showing is counted rather than shown; when it is next shown, it says how often it came meanwhile.
//
// The engine's lines are templates among its own texts (base/error_texts.h), Japanese by default: the list
// shows them in the player's language, their blanks filled in, and keeps and writes only what it shows.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/text_template.h"
#include "base/text_translator.h"

namespace mokuren {

class ErrorList {
 public:
  // Told after a line was added (the debug window's view then brings its list up to date).
  class Observer {
   public:
    virtual void ErrorListChanged() = 0;

   protected:
    ~Observer() = default;
  };

  static constexpr size_t kKeptLines = 4000;
  static constexpr uint32_t kRepeatQuietMs = 1000;

  void SetObserver(Observer* observer) { observer_ = observer; }
  // The clock that repeats are measured with, in milliseconds; without one every line is shown.
  void SetClock(std::function<uint32_t()> clock) { clock_ = std::move(clock); }
  // How an engine text is shown in the player's language; without one, the Japanese original is.
  void SetTranslator(TextTranslator translator) { translator_ = std::move(translator); }
  // The translator set (empty without one), for the engine's other messages in the same language.
  const TextTranslator& Translator() const { return translator_; }
  // A line as it stands (a problem told by a library, a line already made with Shown).
  void Add(const std::u16string& line);
  // An engine text (error_texts.h), shown in the player's language with its blanks filled in.
  void Add(std::u16string_view text, std::initializer_list<TextField> fields) { Add(Shown(text, fields)); }
  // An engine text in the player's language with its blanks filled in, for a line made of several.
  std::u16string Shown(std::u16string_view text, std::initializer_list<TextField> fields = {}) const;
  // While the script runs an instruction, the lines it causes (a picture or a sound file missing, a
  // message the window cuts) are told with that place, "script 3 step 40: …", and each is listed once for
  // its place however often the game comes by it. The script sets the place before each instruction and
  // clears it after; lines added meanwhile by anything go to that place.
  void SetPlace(int32_t script, int32_t step) {
    placeScript_ = script;
    placeStep_ = step;
    placed_ = true;
  }
  void ClearPlace() { placed_ = false; }
  bool Placed() const { return placed_; }
  // A line of `script` and `step` whatever place is set: listed once for that place.
  void AddAt(int32_t script, int32_t step, const std::u16string& what);
  // The newest lines, oldest first.
  const std::vector<std::u16string>& Lines() const { return lines_; }
  size_t Size() const { return lines_.size(); }
  // Lines let go from the front of the list to keep it at its size.
  uint64_t Dropped() const { return dropped_; }
  // Every line the list has shown (kept or let go).
  uint64_t Total() const { return dropped_ + lines_.size(); }

 private:
  // Keeps the line, writes it on standard error and tells the observer.
  void Append(const std::u16string& shown);

  struct Recent {
    uint32_t shownAt = 0;
    uint32_t repeats = 0;
  };

  std::vector<std::u16string> lines_;
  uint64_t dropped_ = 0;
  std::unordered_map<std::u16string, Recent> recent_;
  std::unordered_set<std::u16string> placedLines_;  // every line told at a place, kept to tell each once
  int32_t placeScript_ = 0;
  int32_t placeStep_ = 0;
  bool placed_ = false;
  std::function<uint32_t()> clock_;
  TextTranslator translator_;
  Observer* observer_ = nullptr;
};

}  // namespace mokuren
