#include "text/translated_layout.h"

#include <algorithm>

#include "base/text_codec.h"

namespace mokuren {

namespace {

bool Contains(std::u16string_view set, char32_t c) {
  return c <= 0xFFFF && set.find(static_cast<char16_t>(c)) != std::u16string_view::npos;
}

// Where a spaced line may break: a space (consumed by the break) or a zero-width space.
bool BreaksLine(char32_t c) { return c == U' ' || c == U'\u3000' || c == U'\u200B'; }

std::u16string ToUtf16(std::u32string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (char32_t c : s) {
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

// Pixels from 1/64 pixel: rounded to nearest, or up (for the edge of what a typed character shows).
int32_t Round64(int32_t v) { return v >= 0 ? (v + 32) / 64 : -((-v + 32) / 64); }
int32_t Ceil64(int32_t v) { return v >= 0 ? (v + 63) / 64 : -(-v / 64); }

bool Blank(std::u32string_view s) {
  return std::all_of(s.begin(), s.end(), [](char32_t c) { return BreaksLine(c) || c == U'\n'; });
}

}  // namespace

LanguageStyle StyleOf(std::string_view language) {
  const std::string_view base = language.substr(0, language.find_first_of("_-.@"));
  if (base == "zh") return {Writing::Cells, kCharacterCell, kChineseLineStartForbidden, kChineseLineEndForbidden};
  if (base == "ja") return {Writing::Cells, kCharacterCell, kLineStartForbidden, kLineEndForbidden};
  if (base == "ko") return {Writing::Spaced, 26, {}, {}};
  return {Writing::Spaced, 24, {}, {}};
}

int32_t TypedLine::RevealEdge(size_t typed) const {
  if (typed == 0 || revealRight.empty()) return left;
  return revealRight[std::min(typed, revealRight.size()) - 1];
}

size_t TranslatedMessage::TypedLength() const {
  size_t n = 0;
  for (const TypedLine& l : lines) n += l.Length();
  return n;
}

std::u16string TranslatedLayout::WithName(std::u16string_view text, std::u16string_view heroName) const {
  std::u16string name(heroName);
  if (style_.writing == Writing::Spaced) {
    for (char16_t& c : name) {
      if (c >= u'！' && c <= u'～') c = static_cast<char16_t>(c - 0xFEE0);
      if (c == u'　') c = u' ';
    }
  }
  std::u16string out;
  out.reserve(text.size() + name.size());
  for (char16_t c : text) {
    if (c == kHeroPlaceholder)
      out.append(name);
    else
      out.push_back(c);
  }
  return out;
}

void TranslatedLayout::ShapeParagraph(std::u32string_view text) {
  chars_.assign(text);
  font_.Shape(chars_, style_.pixelSize, shaped_);
  // The pen before each character is the start of its cluster; a character inside a cluster (as in a
  // ligature) adds nothing until the cluster is complete.
  const size_t n = chars_.size();
  penAt_.assign(n + 1, -1);
  int32_t total = 0;
  for (const ShapedGlyph& g : shaped_) {
    if (g.cluster < n && (penAt_[g.cluster] < 0 || g.pen < penAt_[g.cluster])) penAt_[g.cluster] = g.pen;
    total = std::max(total, g.pen + g.advance);
  }
  if (penAt_[0] < 0) penAt_[0] = 0;
  for (size_t i = 1; i < n; ++i)
    if (penAt_[i] < 0) penAt_[i] = penAt_[i - 1];
  penAt_[n] = total;
}

void TranslatedLayout::FillSpaced(size_t from, size_t to, int32_t x, TypedLine& line) {
  const int32_t base = penAt_[from];
  line.left = x;
  line.text = ToUtf16(std::u32string_view(chars_).substr(from, to - from));
  line.glyphs.clear();
  line.revealRight.assign(to - from, x);
  int32_t ink = x;
  size_t c = from;
  for (const ShapedGlyph& g : shaped_) {
    if (g.cluster < from || g.cluster >= to) continue;
    // Characters before this glyph's cluster are complete: they show up to here.
    for (; c < g.cluster; ++c) line.revealRight[c - from] = std::max(ink, x + Ceil64(penAt_[c + 1] - base));
    const int32_t gx = x + Round64(g.pen + g.dx - base);
    line.glyphs.push_back({g.glyph, g.face, gx, Round64(g.dy)});
    if (const Glyph* r = font_.Raster(g.face, g.glyph, style_.pixelSize)) ink = std::max(ink, gx + r->left + r->width);
  }
  for (; c < to; ++c) line.revealRight[c - from] = std::max(ink, x + Ceil64(penAt_[c + 1] - base));
  for (size_t k = 1; k < line.revealRight.size(); ++k)
    line.revealRight[k] = std::max(line.revealRight[k], line.revealRight[k - 1]);
  line.width = Round64(penAt_[to] - base);
}

void TranslatedLayout::FillCells(std::u32string_view chars, int32_t x, TypedLine& line) {
  line.left = x;
  line.text = ToUtf16(chars);
  line.glyphs.clear();
  line.revealRight.clear();
  for (char32_t c : chars) {
    const ShapedGlyph g = font_.Single(c, style_.pixelSize);
    line.glyphs.push_back({g.glyph, g.face, x, 0});
    x += kCharacterCell;
    line.revealRight.push_back(x);
  }
  line.width = static_cast<int32_t>(chars.size()) * kCharacterCell;
}

size_t TranslatedLayout::LayOutSpaced(const std::u32string& text, int32_t left, int32_t width, bool hanging,
                                      TypedLine* lines, size_t maxLines) {
  size_t lineNo = 0;
  size_t pos = 0;
  int32_t indent = 0;
  while (lineNo < maxLines) {
    const size_t end = std::min(text.find(U'\n', pos), text.size());
    ShapeParagraph(std::u32string_view(text).substr(pos, end - pos));
    const size_t n = chars_.size();
    if (hanging && pos == 0 && n > 0) indent = Round64(penAt_[1]);
    size_t i = 0;
    do {
      const int32_t shift = lineNo > 0 && hanging ? indent : 0;
      const int32_t room = (width - shift) * 64;
      size_t stop = n, next = n;
      if (penAt_[n] - penAt_[i] > room) {
        // The last break where the line still fits, its spaces left out; else as much of the word as fits.
        size_t best = 0;
        for (size_t j = i + 1; j < n; ++j) {
          if (!BreaksLine(chars_[j])) continue;
          size_t trimmed = j;
          while (trimmed > i && BreaksLine(chars_[trimmed - 1])) --trimmed;
          if (penAt_[trimmed] - penAt_[i] > room) break;
          if (trimmed > i) best = j;
        }
        if (best > 0) {
          stop = best;
          while (stop > i && BreaksLine(chars_[stop - 1])) --stop;
          next = best;
          while (next < n && BreaksLine(chars_[next])) ++next;
        } else {
          stop = i + 1;
          while (stop < n && penAt_[stop + 1] - penAt_[i] <= room) ++stop;
          next = stop;
        }
      }
      FillSpaced(i, stop, left + shift, lines[lineNo]);
      ++lineNo;
      i = next;
    } while (i < n && lineNo < maxLines);
    if (i < n) return pos + i;  // the paragraph did not fit
    if (end >= text.size()) return text.size();
    pos = end + 1;
  }
  return pos;
}

size_t TranslatedLayout::LayOutCells(const std::u32string& text, int32_t left, bool hanging, TypedLine* lines,
                                     size_t maxLines) {
  size_t pos = 0;
  for (size_t n = 0; n < maxLines; ++n) {
    const size_t indent = n > 0 && hanging ? 1 : 0;
    const size_t capacity = kMessageLineLength - indent;
    size_t stop = pos;
    while (stop < text.size() && stop - pos < capacity && text[stop] != U'\n') ++stop;
    const bool forced = stop < text.size() && text[stop] == U'\n';
    size_t next = forced ? stop + 1 : stop;
    if (!forced && stop - pos == capacity && stop < text.size()) {
      if (Contains(style_.lineEndForbidden, text[stop - 1])) {
        next = --stop;  // a mark that opens moves down to the next line
      } else if (Contains(style_.lineStartForbidden, text[stop])) {
        next = ++stop;  // a mark that closes hangs in the 26th cell
      }
    }
    FillCells(std::u32string_view(text).substr(pos, stop - pos), left + static_cast<int32_t>(indent) * kCharacterCell,
              lines[n]);
    pos = next;
    if (pos >= text.size()) return text.size();
  }
  return pos;
}

TranslatedMessage TranslatedLayout::Message(std::u16string_view speaker, std::u16string_view body,
                                            std::u16string_view heroName) {
  TranslatedMessage m;
  std::u32string name = ToCodePoints(WithName(speaker, heroName));
  std::replace(name.begin(), name.end(), U'\n', U' ');
  if (!name.empty()) {
    // The speaker's band is one line: what does not fit is cut.
    TypedLine band[1];
    if (style_.writing == Writing::Cells) {
      const size_t fits = static_cast<size_t>(kSpeakerBandWidth / kCharacterCell);
      m.speakerOverflow = name.size() > fits;
      FillCells(std::u32string_view(name).substr(0, fits), kMessageTextLeft, band[0]);
    } else {
      m.speakerOverflow = LayOutSpaced(name, kMessageTextLeft, kSpeakerBandWidth, false, band, 1) < name.size();
    }
    m.speaker = std::move(band[0]);
  }
  const std::u16string text = WithName(body, heroName);
  const bool hanging = !text.empty() && kOpeningQuotes.find(text.front()) != std::u16string_view::npos;
  const std::u32string all = ToCodePoints(text);
  const size_t fitted =
      style_.writing == Writing::Cells
          ? LayOutCells(all, kMessageTextLeft, hanging, m.lines.data(), m.lines.size())
          : LayOutSpaced(all, kMessageTextLeft, kTranslatedLineWidth, hanging, m.lines.data(), m.lines.size());
  if (fitted < all.size() && !Blank(std::u32string_view(all).substr(fitted))) {
    m.overflow = true;
    m.dropped = ToUtf16(std::u32string_view(all).substr(fitted));
  }
  return m;
}

TranslatedChoice TranslatedLayout::Choice(std::u16string_view item) {
  TranslatedChoice c;
  std::u32string chars = ToCodePoints(item);
  std::replace(chars.begin(), chars.end(), U'\n', U' ');
  if (style_.writing == Writing::Cells) {
    // As the Japanese choices: centred as cells, at most 28 of them on the band.
    const size_t fits = static_cast<size_t>(kChoiceTextWidth / kCharacterCell);
    c.overflow = chars.size() > fits;
    chars.resize(std::min(chars.size(), fits));
    FillCells(chars, ChoiceTextLeft(chars.size()), c.line);
    return c;
  }
  // Laid out from column 0, then moved to the middle of the band; a choice too wide keeps what fits.
  TypedLine line[1];
  c.overflow = LayOutSpaced(chars, 0, kChoiceTextWidth, false, line, 1) < chars.size();
  const int32_t left = (kChoiceBandWidth - line[0].width) / 2;
  for (PlacedGlyph& g : line[0].glyphs) g.x += left;
  for (int32_t& r : line[0].revealRight) r += left;
  line[0].left += left;
  c.line = std::move(line[0]);
  return c;
}

void TranslatedLayout::Draw(CoverageMask& mask, const TypedLine& line, int32_t y) {
  const int32_t baseline = y + font_.Baseline(style_.pixelSize, kLineBox);
  for (const PlacedGlyph& g : line.glyphs) {
    const Glyph* r = font_.Raster(g.face, g.glyph, style_.pixelSize);
    if (r) BlendCoverage(mask, *r, g.x + r->left, baseline - g.dy - r->top);
  }
}

}  // namespace mokuren
