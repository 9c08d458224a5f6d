#include "i18n/template_writer.h"

#include <gettext-po.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <type_traits>

#include "base/text_codec.h"
#include "base/text_template.h"
#include "text/engine_texts.h"
#include "text/message_layout.h"

namespace mokuren::i18n {

namespace {

std::vector<std::string>* writeProblems = nullptr;

void OnError(int severity, po_message_t, const char* filename, size_t line, size_t, int, const char* text) {
  std::string where = filename ? filename : "template";
  if (filename && line != 0 && line != static_cast<size_t>(-1)) where += ":" + std::to_string(line);
  writeProblems->push_back(where + ": " + (text ? text : ""));
  // Writing fails fatally only when the file cannot be written; the problem is kept, and the process ends
  // as the library requires.
  if (severity == PO_SEVERITY_FATAL_ERROR) {
    std::fprintf(stderr, "mokuren-i18n: %s\n", writeProblems->back().c_str());
    std::exit(2);
  }
}
void OnError2(int severity, po_message_t m1, const char* f1, size_t l1, size_t c1, int ml1, const char* t1,
              po_message_t, const char*, size_t, size_t, int, const char*) {
  OnError(severity, m1, f1, l1, c1, ml1, t1);
}
const po_xerror_handler kHandler = {OnError, OnError2};

struct FileCloser {
  void operator()(po_file_t f) const { po_file_free(f); }
};
struct IteratorCloser {
  void operator()(po_message_iterator_t it) const { po_message_iterator_free(it); }
};

const char* KindComment(const TranslatableText& t) {
  switch (t.kind) {
    case TextKind::Message: return nullptr;
    case TextKind::ChoiceItem: return "one item of a choice the player picks from";
    case TextKind::Speaker: return "a speaker's name, shown above every message it speaks";
    case TextKind::Title: return "the game's title (title.txt): the window's caption";
    case TextKind::HeroName:
      return "the hero's name the name dialog offers until the player types one; it may be a name of your "
             "language";
    case TextKind::Engine: return nullptr;  // the engine's template holds nothing else
  }
  return nullptr;
}

}  // namespace

std::string TranslatorComments(const TranslatableText& t) {
  std::string c;
  if (const char* kind = KindComment(t)) c += std::string(kind) + "\n";
  if (!t.speaker.empty()) c += "speaker: " + ToUtf8(t.speaker) + "\n";
  if (!t.voice.empty()) c += "voice: VOICE/" + ToUtf8(t.voice) + ".ogg\n";
  if (t.kind == TextKind::Message || t.kind == TextKind::Speaker) {
    if (t.original.find(kHeroPlaceholder) != std::u16string::npos)
      c += "\"①\" is the hero's name, which the player chose: keep it\n";
  }
  if (t.kind == TextKind::Message && t.original.find(u'/') != std::u16string::npos)
    c += "\"/\" breaks the line here; a translation breaks lines with a new line (\\n)\n";
  if (t.kind == TextKind::Engine)
    for (std::u16string_view mark : Placeholders(t.original))
      c += "keep " + ToUtf8(mark) + ": the engine puts a name or a value there\n";
  return c;
}

namespace {

// Writes `texts` under a header of these fields; the header is marked fuzzy in a template, as gettext's are.
bool WritePo(const std::vector<TranslatableText>& texts, const TranslationGame* game, const std::string& project,
             const std::string& language, bool fuzzyHeader, const std::string& file,
             std::vector<std::string>& problems) {
  if (file != "-" && !std::ofstream(file, std::ios::binary | std::ios::app)) {
    problems.push_back(file + ": cannot be written");
    return false;
  }
  std::unique_ptr<std::remove_pointer_t<po_file_t>, FileCloser> po(po_file_create());
  std::unique_ptr<std::remove_pointer_t<po_message_iterator_t>, IteratorCloser> it(
      po_message_iterator(po.get(), nullptr));
  po_message_t header = po_message_create();
  po_message_set_msgid(header, "");
  po_message_set_msgstr(header, ("Project-Id-Version: " + project +
                                 "\n"
                                 "Language: " +
                                 language +
                                 "\n"
                                 "MIME-Version: 1.0\n"
                                 "Content-Type: text/plain; charset=UTF-8\n"
                                 "Content-Transfer-Encoding: 8bit\n"
                                 "X-Generator: mokuren-i18n\n")
                                    .c_str());
  po_message_set_fuzzy(header, fuzzyHeader ? 1 : 0);
  po_message_insert(it.get(), header);
  for (const TranslatableText& t : texts) {
    po_message_t m = po_message_create();
    po_message_set_msgctxt(m, t.context.c_str());
    po_message_set_msgid(m, ToUtf8(t.original).c_str());
    po_message_set_msgstr(m, "");
    const std::string comments = TranslatorComments(t);
    if (!comments.empty()) po_message_set_extracted_comments(m, comments.c_str());
    const std::string position = game ? game->Position(t) : std::string();
    if (const size_t colon = position.rfind(':'); colon != std::string::npos)
      po_message_add_filepos(m, position.substr(0, colon).c_str(), std::stoul(position.substr(colon + 1)));
    po_message_insert(it.get(), m);
  }
  writeProblems = &problems;
  const size_t before = problems.size();
  po_file_write(po.get(), file == "-" ? "/dev/stdout" : file.c_str(), &kHandler);
  writeProblems = nullptr;
  return problems.size() == before;
}

std::string Project(const TranslationGame& game) { return game.title.empty() ? "Mokuren game" : ToUtf8(game.title); }

}  // namespace

bool WriteTemplate(const TranslationGame& game, const std::string& file, std::vector<std::string>& problems) {
  return WritePo(game.texts.All(), &game, Project(game), "", true, file, problems);
}

bool WriteEngineTemplate(const std::string& file, std::vector<std::string>& problems) {
  GameTexts engine;
  engine.AddEngineTexts();
  return WritePo(engine.Engine(), nullptr, "Mokuren", "", true, file, problems);
}

bool WriteEmptyTranslation(const TranslationGame& game, const std::string& language, const std::string& file,
                           std::vector<std::string>& problems) {
  return WritePo(game.texts.All(), &game, Project(game), language, false, file, problems);
}

}  // namespace mokuren::i18n
