#include "text/game_translation.h"

#include <system_error>

#include "base/text_codec.h"
#include "base/text_template.h"
#include "text/TNameForm.h"
#include "text/engine_texts.h"
#include "text/message_layout.h"

namespace mokuren {

namespace {

// The log's line for a taken choice opens with this mark and a line break (choice_display.cpp).
constexpr std::u16string_view kChoiceMark = u"【選択肢】";

// "en_US.UTF-8@euro" -> "en_US".
std::string Bare(std::string_view code) { return std::string(code.substr(0, code.find_first_of(".@"))); }

bool Original(std::string_view code) {
  const std::string_view base = code.substr(0, code.find_first_of("_-"));
  return base == "ja" || code == "C" || code == "POSIX";
}

bool HasFile(const std::filesystem::path& gameDir, std::string_view language) {
  std::error_code ec;
  return !language.empty() && std::filesystem::is_regular_file(TranslationCatalog::FileFor(gameDir, language), ec);
}

std::u16string Quote(std::u16string_view text) {
  constexpr size_t kShown = 30;
  return u"\"" + std::u16string(text.substr(0, kShown)) + (text.size() > kShown ? u"…\"" : u"\"");
}

}  // namespace

std::vector<std::string> EnvironmentLanguages(const char* language, const char* lang) {
  std::vector<std::string> out;
  for (std::string_view list = language ? language : ""; !list.empty();) {
    const size_t colon = list.find(':');
    if (colon) out.emplace_back(list.substr(0, colon));
    if (colon == std::string_view::npos) break;
    list.remove_prefix(colon + 1);
  }
  if (lang && *lang) out.emplace_back(lang);
  return out;
}

std::string ChooseLanguage(const std::filesystem::path& gameDir, std::string_view option,
                           const std::vector<std::string>& environment) {
  if (!option.empty()) return Original(option) ? std::string() : std::string(option);
  for (const std::string& entry : environment) {
    const std::string code = Bare(entry);
    if (code.empty()) continue;
    if (Original(code)) return {};
    if (HasFile(gameDir, code)) return code;
    const std::string base = code.substr(0, code.find_first_of("_-"));
    if (base != code && HasFile(gameDir, base)) return base;
  }
  return {};
}

GameTranslation::GameTranslation(Report report) : report_(std::move(report)) {}
GameTranslation::~GameTranslation() = default;

bool GameTranslation::Load(const std::filesystem::path& gameDir, const std::string& language, const GameCheck& game,
                           const std::filesystem::path& cacheDir) {
  const std::filesystem::path file = TranslationCatalog::FileFor(gameDir, language);
  file_ = file.string();
  unusable_.clear();
  std::vector<std::string> problems;
  const bool loaded = catalog_.Load(file, problems, cacheDir, &game);
  for (const std::string& p : problems) report_(FromUtf8(p));
  PoFault fault = catalog_.Fault();
  std::string detail = catalog_.FaultDetail();
  std::unique_ptr<ShapedFont> font;
  if (loaded) {
    font = std::make_unique<ShapedFont>();
    std::string error;
    if (!font->Open(catalog_.Language(), error)) {
      report_(FromUtf8(file_ + ": " + error));
      fault = PoFault::NoFace;
      detail = catalog_.Language();
    }
  }
  if (fault != PoFault::None) {
    // Said in the window and in the error list, in the player's language, with the file as the game names it.
    const std::u16string shown =
        FromUtf8(std::filesystem::path("tl").append(file.filename().string()).generic_string());
    unusable_ =
        FillIn(Engine(engine_text::kTranslationUnusable), {{u"file", shown}, {u"reason", Reason(fault, detail)}});
    report_(unusable_);
    catalog_ = {};
    return false;
  }
  font_ = std::move(font);
  layout_ = std::make_unique<TranslatedLayout>(*font_, StyleOf(catalog_.Language()));
  return true;
}

std::u16string GameTranslation::Reason(PoFault fault, const std::string& detail) const {
  switch (fault) {
    case PoFault::None: break;
    case PoFault::Missing: return Engine(engine_text::kNoSuchFile);
    case PoFault::Folder: return Engine(engine_text::kIsAFolder);
    case PoFault::Unreadable: return FillIn(Engine(engine_text::kCannotRead), {{u"error", FromUtf8(detail)}});
    case PoFault::TooLarge: return FillIn(Engine(engine_text::kTooLarge), {{u"size", FromUtf8(detail)}});
    case PoFault::Malformed: {
      // "12: end-of-line within string": the line apart, so the template can place it.
      const size_t colon = detail.find(": ");
      const bool numbered = colon != std::string::npos && colon > 0 && detail.find_first_not_of("0123456789") == colon;
      if (!numbered) return FillIn(Engine(engine_text::kMalformedFile), {{u"error", FromUtf8(detail)}});
      return FillIn(Engine(engine_text::kMalformedLine),
                    {{u"line", FromUtf8(detail.substr(0, colon))}, {u"error", FromUtf8(detail.substr(colon + 2))}});
    }
    case PoFault::NoFace: return FillIn(Engine(engine_text::kNoFace), {{u"language", FromUtf8(detail)}});
  }
  return {};
}

void GameTranslation::ReportOnce(const std::string& key, const std::u16string& line) {
  if (reported_.insert(key).second) report_(line);
}

void GameTranslation::NoteMessage(int script, int line, const std::u16string& original) {
  if (!Active()) return;
  const std::string context = MessageContext(script, line);
  const SpokenText split = SplitSpeaker(original);
  const std::optional<std::u16string_view> body = catalog_.Find(context, split.body);
  if (!body) {
    shown_.erase(original);
    return;
  }
  SpokenText text{split.speaker.empty() ? std::u16string() : catalog_.Translate(kSpeakerContext, split.speaker),
                  std::u16string(*body)};
  shown_[original] = {std::move(text), context};
}

const TranslatedMessage* GameTranslation::LayOut(const std::u16string& text, std::u16string_view heroName) {
  current_.reset();
  if (!Active()) return nullptr;
  const auto it = shown_.find(text);
  if (it == shown_.end()) return nullptr;
  current_ = layout_->Message(it->second.text.speaker, it->second.text.body, heroName);
  const std::u16string where = FromUtf8(file_ + ": " + it->second.context + ": ");
  if (current_->overflow)
    ReportOnce(it->second.context,
               where + u"the translation runs past three lines; " + Quote(current_->dropped) + u" is not shown");
  if (current_->speakerOverflow)
    ReportOnce(kSpeakerContext + ToUtf8(it->second.text.speaker),
               where + u"the speaker's name " + Quote(it->second.text.speaker) + u" is wider than its band");
  return &*current_;
}

std::optional<std::u16string> GameTranslation::ForReaders(const std::u16string& text,
                                                          std::u16string_view heroName) const {
  const auto it = shown_.find(text);
  if (!Active() || it == shown_.end()) return std::nullopt;
  const SpokenText& t = it->second.text;
  // As shown: the hero's name in place of "①", in the speaker's name too (the hero speaking).
  std::u16string line;
  const auto add = [&](std::u16string_view text) {
    for (char16_t c : text) {
      if (c == kHeroPlaceholder)
        line.append(heroName);
      else
        line.push_back(c == u'\n' ? u' ' : c);
    }
  };
  if (!t.speaker.empty()) {
    add(t.speaker);
    line += u": ";
  }
  add(t.body);
  return line;
}

std::vector<GameTranslation::ShownChoice> GameTranslation::Choices(int script, int line,
                                                                   const std::u16string& original) {
  std::vector<ShownChoice> shown;
  const std::vector<std::u16string> items = SplitChoices(original);
  for (size_t k = 0; k < items.size(); ++k) {
    const std::string context = ChoiceItemContext(script, line, static_cast<int>(k) + 1);
    const std::optional<std::u16string_view> t = Active() ? catalog_.Find(context, items[k]) : std::nullopt;
    if (!t) {
      shown.push_back({items[k], std::nullopt});
      continue;
    }
    ShownChoice c{std::u16string(*t), layout_->Choice(*t)};
    if (c.layout->overflow)
      ReportOnce(context, FromUtf8(file_ + ": " + context + ": ") + u"the translation " + Quote(c.text) +
                              u" is wider than its band and is cut");
    // The log shows a taken choice under the mark, translated like the item.
    shown_[std::u16string(kChoiceMark) + u"/" + c.text] = {{{}, Engine(kChoiceMark) + u"\n" + c.text}, context};
    shown.push_back(std::move(c));
  }
  return shown;
}

std::string GameTranslation::ShownLanguage() const {
  if (Active()) return catalog_.Language();
  const std::string engine = engineTexts_.Language();
  return engine.empty() ? "ja" : engine;
}

std::u16string GameTranslation::DefaultHeroName() const {
  return Active() ? catalog_.Translate(kHeroNameContext, TNameForm::kDefaultName)
                  : std::u16string(TNameForm::kDefaultName);
}

std::u16string GameTranslation::Caption(const std::u16string& title) const {
  return Active() ? catalog_.Translate(kTitleContext, title) : title;
}

std::u16string GameTranslation::Engine(std::u16string_view text) const {
  if (Active())
    if (const std::optional<std::u16string_view> t = catalog_.Find(kEngineTextContext, text)) return std::u16string(*t);
  return engineTexts_.Translate(text);
}

std::shared_ptr<const CoverageMask> GameTranslation::LineMask(std::u16string_view text, int32_t pixelSize) {
  if (!Active() || text.empty()) return nullptr;
  std::vector<ShapedGlyph> glyphs;
  font_->Shape(ToCodePoints(text), pixelSize, glyphs);
  const int32_t width = glyphs.empty() ? 0 : (glyphs.back().pen + glyphs.back().advance) / 64 + pixelSize;
  auto mask = std::make_shared<CoverageMask>();
  mask->Reset(width, pixelSize + pixelSize / 2);
  const int32_t baseline = font_->Baseline(pixelSize, pixelSize);
  for (const ShapedGlyph& g : glyphs)
    if (const Glyph* r = font_->Raster(g.face, g.glyph, pixelSize))
      BlendCoverage(*mask, *r, (g.pen + g.dx) / 64 + r->left, baseline - g.dy / 64 - r->top);
  return mask;
}

void GameTranslation::Draw(CoverageMask& mask, const TypedLine& line, int32_t y) {
  if (layout_) layout_->Draw(mask, line, y);
}

}  // namespace mokuren
