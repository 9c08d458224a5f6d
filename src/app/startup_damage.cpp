#include "app/startup_damage.h"

namespace mokuren {

namespace {

// The list stays short enough to read in a message box.
constexpr size_t kListedPictures = 8;

}  // namespace

StartupMessage StartupScriptMessage(const std::string& archive, const ScriptEntryFault& fault) {
  return {"アーカイブ " + archive + " のエントリー 1（ゲームの最初のスクリプト）を読み込めません: " + fault.japanese +
              "。このままでは画面が黒いままです。ゲームのデータを確かめてください。",
          "the archive " + archive + ": entry 1 (the game's first script) cannot be loaded: " + fault.english +
              "; the screen stays black until the game's data is mended"};
}

StartupMessage StartupPicturesMessage(const std::string& archive, const std::vector<UnloadedPicture>& pictures) {
  std::string japanese, english;
  for (size_t i = 0; i < pictures.size() && i < kListedPictures; ++i) {
    const std::string entry = std::to_string(pictures[i].entry);
    japanese += (i ? "、" : "") + entry + (pictures[i].empty ? "（空）" : "（破損）");
    english += (i ? ", " : "") + entry + (pictures[i].empty ? " (empty)" : " (damaged)");
  }
  if (pictures.size() > kListedPictures) {
    const std::string more = std::to_string(pictures.size() - kListedPictures);
    japanese += " ほか " + more + " 個";
    english += " and " + more + " more";
  }
  return {"アーカイブ " + archive + " の起動時に使う画像を読み込めません: エントリー " + japanese +
              "。これらの画像なしで続けます。",
          "the archive " + archive + ": start-up pictures cannot be loaded: " +
              (pictures.size() == 1 ? "entry " : "entries ") + english + "; the game goes on without them"};
}

}  // namespace mokuren
