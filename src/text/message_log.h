// The message log: the last 256 messages and taken choices, each with the voice it was heard with, so
// that the player can page back through them. It lives for the run and is never saved.
#pragma once

#include <array>
#include <string>

namespace mokuren {

struct MessageLogEntry {
  std::u16string text;       // the raw scenario text (the hero's name is substituted when it is shown)
  std::u16string voicePath;  // "VOICE\<name>.ogg", or empty for a message without voice and for a choice
};

class MessageLog {
 public:
  static constexpr int kSize = 256;

  // Entry n: 1 is the newest, 256 the oldest. Entries never written, and numbers outside 1-256, are
  // empty.
  const MessageLogEntry& operator[](int n) const {
    static const MessageLogEntry kEmpty;
    if (n < 1 || n > kSize) return kEmpty;
    return entries_[static_cast<size_t>((newest_ + n - 1) % kSize)];
  }
  // The new entry becomes entry 1; the oldest drops out.
  void Add(std::u16string text, std::u16string voicePath) {
    newest_ = (newest_ + kSize - 1) % kSize;
    entries_[static_cast<size_t>(newest_)] = {std::move(text), std::move(voicePath)};
  }
  void Clear() { entries_.fill({}); }

 private:
  // A ring: adding moves where entry 1 is instead of moving 255 entries.
  std::array<MessageLogEntry, kSize> entries_;
  int newest_ = 0;
};

}  // namespace mokuren
