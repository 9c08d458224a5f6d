#include "app/startup_damage.h"

#include "base/startup_message.h"
#include "base/text_codec.h"

namespace mokuren {

namespace {

// The list stays short enough to read in a message box.
constexpr size_t kListedPictures = 8;

std::u16string PicturesLine(const StartupWords& words, const std::string& archive,
                            const std::vector<UnloadedPicture>& pictures) {
  using namespace startup_text;
  std::u16string list;
  for (size_t i = 0; i < pictures.size() && i < kListedPictures; ++i) {
    if (i) list += words(kPictureSeparator);
    list += FillIn(words(pictures[i].empty ? kEmptyPicture : kDamagedPicture),
                   {{u"entry", FromUtf8(std::to_string(pictures[i].entry))}});
  }
  if (pictures.size() > kListedPictures)
    list += FillIn(words(kMorePictures), {{u"count", FromUtf8(std::to_string(pictures.size() - kListedPictures))}});
  // The English line of the command line names them "entry 52" or "entries 52, 53".
  if (words.language() == StartupWords::Language::English)
    list = (pictures.size() == 1 ? u"entry " : u"entries ") + list;
  return FillIn(words(kPicturesNotLoaded), {{u"file", FromUtf8(archive)}, {u"entries", list}});
}

}  // namespace

std::string StartupScriptMessage(const TextTranslator& translator, const std::string& archive,
                                 const ScriptEntryFault& fault) {
  const StartupText& text = startup_text::kFirstScriptNotLoaded;
  return StartupMessage(translator, text, [&](const StartupWords& words) {
    return FillIn(words(text), {{u"file", FromUtf8(archive)}, {u"problem", fault.In(words)}});
  });
}

std::string StartupPicturesMessage(const TextTranslator& translator, const std::string& archive,
                                   const std::vector<UnloadedPicture>& pictures, std::u16string& english) {
  english = PicturesLine(StartupWords(StartupWords::Language::English, translator), archive, pictures);
  return StartupMessage(translator, startup_text::kPicturesNotLoaded,
                        [&](const StartupWords& words) { return PicturesLine(words, archive, pictures); });
}

}  // namespace mokuren
