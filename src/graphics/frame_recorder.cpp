#include "graphics/frame_recorder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "graphics/ABitmapFilters32.h"

namespace mokuren {

namespace {

bool FullFramesRequested() {
  const char* v = std::getenv("MOKUREN_FULL_FRAMES");
  return v && *v && std::strcmp(v, "0") != 0;
}

bool Overlap(const Rect& a, const Rect& b) {
  return !a.Empty() && !b.Empty() && a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
         b.y < a.y + a.height;
}

Rect Union(const Rect& a, const Rect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  const int32_t x = std::min(a.x, b.x), y = std::min(a.y, b.y);
  return {x, y, std::max(a.x + a.width, b.x + b.width) - x, std::max(a.y + a.height, b.y + b.height) - y};
}

}  // namespace

bool FrameRecorder::Item::SameDrawing(const Item& other) const {
  return kind == other.kind && source == other.source && sourceStamp == other.sourceStamp &&
         arguments == other.arguments && text == other.text;
}

FrameRecorder::FrameRecorder(TABitmap& target) : target_(target), enabled_(!FullFramesRequested()) {
  target_.recorder_ = this;
}

FrameRecorder::~FrameRecorder() { target_.recorder_ = nullptr; }

void FrameRecorder::Begin() {
  items_.clear();
  recording_ = enabled_ && target_.IsValid();
}

Rect FrameRecorder::AreaOf(Kind kind, const std::array<int32_t, 8>& a) const {
  if (kind == Kind::Text) return Whole();
  // The destination rectangle within the target, in 64 bits: the arguments may be anything.
  const int64_t x0 = std::max<int64_t>(a[0], 0), y0 = std::max<int64_t>(a[1], 0);
  const int64_t x1 = std::min<int64_t>(int64_t{a[0]} + a[2], target_.Width());
  const int64_t y1 = std::min<int64_t>(int64_t{a[1]} + a[3], target_.Height());
  if (x1 <= x0 || y1 <= y0) return {};
  return {static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(x1 - x0),
          static_cast<int32_t>(y1 - y0)};
}

bool FrameRecorder::Record(Kind kind, const TABitmap* source, const std::array<int32_t, 8>& arguments) {
  if (!recording_) return false;
  // A picture that is itself being recorded is not finished yet: both are drawn now instead.
  if (source && source->RecordedBy()) {
    source->RecordedBy()->Settle();
    Settle();
    return false;
  }
  items_.push_back({kind, source, source ? source->Stamp() : 0, arguments, {}, {}, AreaOf(kind, arguments)});
  return true;
}

bool FrameRecorder::RecordText(std::u16string key, std::function<void(TABitmap&)> draw) {
  if (!recording_) return false;
  items_.push_back({Kind::Text, nullptr, 0, {}, std::move(key), std::move(draw), Whole()});
  return true;
}

void FrameRecorder::Settle() {
  if (!recording_) return;
  recording_ = false;
  Draw(items_, Whole());
}

Rect FrameRecorder::End() {
  if (!recording_) {
    // Drawn at once, wholly or in part: there is no record to compare the next frame with.
    items_.clear();
    previous_.clear();
    stampAfter_ = 0;
    return Whole();
  }
  recording_ = false;
  Rect changed;
  if (stampAfter_ == 0 || target_.Stamp() != stampAfter_ || items_.size() != previous_.size()) {
    changed = Whole();
  } else {
    bool text = false;
    for (size_t i = 0; i < items_.size(); ++i) {
      text = text || items_[i].kind == Kind::Text;
      if (!items_[i].SameDrawing(previous_[i])) changed = Union(changed, Union(items_[i].area, previous_[i].area));
    }
    // Text is not drawn clipped, so with any change a frame that holds text is drawn whole.
    if (text && !changed.Empty()) changed = Whole();
  }
  if (!changed.Empty()) Draw(items_, changed);
  stampAfter_ = target_.Stamp();
  previous_.swap(items_);
  items_.clear();
  return changed;
}

void FrameRecorder::Draw(const std::vector<Item>& items, const Rect& area) {
  // The routines draw on the target directly now.
  target_.recorder_ = nullptr;
  {
    const DrawClip clip(target_, area);
    for (const Item& item : items) {
      if (!Overlap(item.area, area)) continue;
      const auto& a = item.arguments;
      switch (item.kind) {
        case Kind::Copy: CopyOpaque(*item.source, target_, a[0], a[1], a[2], a[3], a[4], a[5]); break;
        case Kind::Keyed: DrawKeyed(*item.source, target_, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]); break;
        case Kind::Fill:
          FillRect(target_, a[0], a[1], a[2], a[3], static_cast<uint8_t>(a[4]), static_cast<uint8_t>(a[5]),
                   static_cast<uint8_t>(a[6]));
          break;
        case Kind::BlendConst: BlendConst(*item.source, target_, a[0], a[1], a[2], a[3], a[4], a[5], a[6]); break;
        case Kind::DrawAlpha: DrawAlpha(*item.source, target_, a[0], a[1], a[2], a[3], a[4], a[5], a[6]); break;
        case Kind::DrawAlphaSkip: DrawAlphaSkip(*item.source, target_, a[0], a[1], a[2], a[3], a[4], a[5], a[6]); break;
        case Kind::Invert: InvertRect(target_, a[0], a[1], a[2], a[3]); break;
        case Kind::Text: item.drawText(target_); break;
      }
    }
  }
  target_.recorder_ = this;
}

}  // namespace mokuren
