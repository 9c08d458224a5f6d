#include "base/error_list.h"

#include <iostream>

#include "base/error_texts.h"
#include "base/text_codec.h"

namespace mokuren {

std::u16string ErrorList::Shown(std::u16string_view text, std::initializer_list<TextField> fields) const {
  return FillIn(translator_ ? translator_(text) : std::u16string(text), fields);
}

void ErrorList::AddAt(int32_t script, int32_t step, const std::u16string& what) {
  // A game with faults at every step must not fill memory: past this many places, the rest are not told.
  constexpr size_t kMostPlaces = 4 * kKeptLines;
  if (placedLines_.size() > kMostPlaces) return;
  std::u16string line = FromUtf8("script " + std::to_string(script) + " step " + std::to_string(step) + ": ") + what;
  if (!placedLines_.insert(line).second) return;
  if (placedLines_.size() > kMostPlaces) line = u"script: faults at too many places; no more are listed";
  // Told once, so never counted as a repeat.
  Append(line);
}

void ErrorList::Add(const std::u16string& line) {
  if (placed_) {
    AddAt(placeScript_, placeStep_, line);
    return;
  }
  std::u16string shown = line;
  if (clock_) {
    const uint32_t now = clock_();
    // Lines not seen for a while are forgotten, so the table stays small whatever the game reports.
    if (recent_.size() > kKeptLines) {
      std::erase_if(recent_, [now](const auto& entry) { return now - entry.second.shownAt >= kRepeatQuietMs; });
      if (recent_.size() > kKeptLines) recent_.clear();
    }
    auto [it, fresh] = recent_.try_emplace(line, Recent{now, 0});
    if (!fresh) {
      Recent& recent = it->second;
      if (now - recent.shownAt < kRepeatQuietMs) {
        ++recent.repeats;
        return;
      }
      if (recent.repeats > 0) {
        shown += Shown(error_text::kRepeated, {{u"count", FromUtf8(std::to_string(recent.repeats))}});
      }
      recent = Recent{now, 0};
    }
  }
  Append(shown);
}

void ErrorList::Append(const std::u16string& shown) {
  lines_.push_back(shown);
  // The front is let go a quarter at a time, so adding stays cheap.
  if (lines_.size() > kKeptLines + kKeptLines / 4) {
    const size_t excess = lines_.size() - kKeptLines;
    lines_.erase(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(excess));
    dropped_ += excess;
  }
  std::cerr << "mokuren: " << ToUtf8(shown) << '\n';
  if (observer_) observer_->ErrorListChanged();
}

}  // namespace mokuren
