#include "text/translatable_texts.h"

#include <charconv>
#include <set>

#include "base/text_codec.h"
#include "script/code_search.h"
#include "script/opcodes.h"
#include "script/script_registers.h"
#include "text/TNameForm.h"
#include "text/engine_texts.h"
#include "text/message_layout.h"

namespace mokuren {

namespace {

std::string Key(std::string_view context, std::string_view original) {
  std::string key(context);
  key.push_back('\4');
  key.append(original);
  return key;
}

// Reads a decimal number at the front of s and removes it; false when there is none.
bool TakeNumber(std::string_view& s, int& n) {
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
  if (ec != std::errc() || n < 0 || (s.size() > 1 && s[0] == '0')) return false;
  s.remove_prefix(static_cast<size_t>(end - s.data()));
  return true;
}

bool TakeWord(std::string_view& s, std::string_view word) {
  if (!s.starts_with(word)) return false;
  s.remove_prefix(word.size());
  return true;
}

TranslatableText Text(TextKind kind, std::string context, std::u16string original, int script = 0, int step = -1,
                      int line = 0, int item = 0) {
  TranslatableText t;
  t.kind = kind;
  t.context = std::move(context);
  t.original = std::move(original);
  t.script = script;
  t.step = step;
  t.line = line;
  t.item = item;
  return t;
}

}  // namespace

std::string MessageContext(int script, int line) {
  return "script " + std::to_string(script) + " message " + std::to_string(line);
}

std::string ChoiceItemContext(int script, int line, int item) {
  return "script " + std::to_string(script) + " choice " + std::to_string(line) + " item " + std::to_string(item);
}

std::optional<TextContext> ParseTextContext(std::string_view s) {
  if (s == kSpeakerContext) return TextContext{TextKind::Speaker};
  if (s == kTitleContext) return TextContext{TextKind::Title};
  if (s == kHeroNameContext) return TextContext{TextKind::HeroName};
  if (s == kEngineTextContext) return TextContext{TextKind::Engine};
  TextContext c;
  if (!TakeWord(s, "script ") || !TakeNumber(s, c.script)) return std::nullopt;
  if (TakeWord(s, " message ")) {
    if (!TakeNumber(s, c.line) || !s.empty()) return std::nullopt;
    c.kind = TextKind::Message;
    return c;
  }
  if (!TakeWord(s, " choice ") || !TakeNumber(s, c.line) || !TakeWord(s, " item ") || !TakeNumber(s, c.item) ||
      c.item < 1 || !s.empty())
    return std::nullopt;
  c.kind = TextKind::ChoiceItem;
  return c;
}

SpokenText SplitSpeaker(std::u16string_view text) {
  const size_t quote = text.find(u'「');
  if (quote == std::u16string_view::npos) return {{}, std::u16string(text)};
  return {std::u16string(text.substr(0, quote)), std::u16string(text.substr(quote))};
}

void GameTexts::Add(TranslatableText text) {
  // An empty text has nothing to translate, and an empty msgid is the PO file's header.
  if (text.original.empty()) return;
  if (!keys_.insert(Key(text.context, ToUtf8(text.original))).second) return;
  std::vector<TranslatableText>& list = text.kind == TextKind::Speaker  ? speakers_
                                        : text.kind == TextKind::Engine ? engine_
                                        : text.kind == TextKind::Message || text.kind == TextKind::ChoiceItem ? scripts_
                                                                                                              : others_;
  if (text.kind != TextKind::Speaker && text.kind != TextKind::Engine)
    byContext_.emplace(text.context, std::make_pair(&list == &scripts_ ? 0 : 1, list.size()));
  list.push_back(std::move(text));
}

void GameTexts::AddScript(int script, const ScriptImage& image) {
  const auto table = [&](ScriptTableKind kind) { return ScriptTableLines(image.tables[static_cast<int>(kind)]); };
  const std::vector<std::u16string> messages = table(ScriptTableKind::Messages);
  const std::vector<std::u16string> resources = table(ScriptTableKind::Resources);
  // A voice operand is a line of the resource table; -1 (or a variable) is none.
  const auto voiceName = [&](int mode, int32_t value) -> std::u16string {
    if (mode != kModeValue || value < 0 || static_cast<size_t>(value) >= resources.size()) return {};
    return resources[static_cast<size_t>(value)];
  };
  std::set<int> seen;
  const int32_t end = CodeEnd(image.code);
  for (int32_t step = 0; step < end; ++step) {
    const ScriptInstruction& ins = image.code[static_cast<size_t>(step)];
    if (ins.Code != op::Message && ins.Code != op::Choice) continue;
    if (OperandMode(ins.Modes, 0) != kModeValue) continue;
    if (ins.P1 < 0 || static_cast<size_t>(ins.P1) >= messages.size() || !seen.insert(ins.P1).second) continue;
    const std::u16string& text = messages[static_cast<size_t>(ins.P1)];
    if (ins.Code == op::Message) {
      SpokenText spoken = SplitSpeaker(text);
      TranslatableText t = Text(TextKind::Message, MessageContext(script, ins.P1), spoken.body, script, step, ins.P1);
      t.speaker = spoken.speaker;
      t.voice = voiceName(OperandMode(ins.Modes, 4), ins.Value);
      Add(t);
      if (!spoken.speaker.empty()) {
        Add(Text(TextKind::Speaker, kSpeakerContext, spoken.speaker, script, step));
      }
    } else {
      const std::vector<std::u16string> items = SplitChoices(text);
      for (size_t k = 0; k < items.size(); ++k) {
        const int item = static_cast<int>(k) + 1;
        TranslatableText t =
            Text(TextKind::ChoiceItem, ChoiceItemContext(script, ins.P1, item), items[k], script, step, ins.P1, item);
        t.voice = voiceName(OperandMode(ins.Modes, 1), ins.P2);
        Add(std::move(t));
      }
    }
  }
}

void GameTexts::AddTitle(std::u16string_view title) {
  Add(Text(TextKind::Title, kTitleContext, std::u16string(title)));
}

void GameTexts::AddDefaultHeroName() {
  Add(Text(TextKind::HeroName, kHeroNameContext, std::u16string(TNameForm::kDefaultName)));
}

void GameTexts::AddEngineTexts() {
  for (std::u16string_view text : EngineTexts()) Add(Text(TextKind::Engine, kEngineTextContext, std::u16string(text)));
}

std::vector<TranslatableText> GameTexts::All() const {
  std::vector<TranslatableText> all = scripts_;
  all.insert(all.end(), speakers_.begin(), speakers_.end());
  all.insert(all.end(), others_.begin(), others_.end());
  return all;
}

bool GameTexts::Has(std::string_view context, std::string_view original) const {
  return keys_.contains(Key(context, original));
}

const TranslatableText* GameTexts::Find(std::string_view context) const {
  const auto it = byContext_.find(std::string(context));
  if (it == byContext_.end()) return nullptr;
  return &(it->second.first == 0 ? scripts_ : others_)[it->second.second];
}

}  // namespace mokuren
