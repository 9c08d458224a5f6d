// Checks of SAVE.DAT: a writer who changes the scripts keeps saved games made with the old ones, and a
// saved game that leads into a script, step, picture or track the game no longer has breaks on loading.
#include <cstring>
#include <memory>

#include "app/engine_state.h"
#include "lint/game_checks.h"
#include "sound/sound_files.h"
#include "toolkit/archive_writer.h"

namespace mokuren::lint {

namespace {

class SaveChecker {
 public:
  SaveChecker(const GameData& game, const SaveBlock& block, std::string file, Findings& findings)
      : game_(game), block_(block), file_(std::move(file)), findings_(findings) {}

  void Run() {
    Range("the message speed", block_.MessageSpeed, 1, 3);
    Range("the voice volume", block_.VoiceVolume, 0, 100);
    Range("the music volume", block_.BgmVolume, 0, 100);
    Range("the effect volume", block_.SeVolume, 0, 100);
    Range("the auto-advance delay", block_.AutoDelay, 0, 20);
    if (!game_.script) return;
    for (int n = 1; n <= kSaveSlots; ++n)
      if (block_.Slot(n).Used == 1) CheckSlot(n, block_.Slot(n));
  }

 private:
  void Warn(std::string message) { findings_.AtFile(Severity::Warning, "save-data", file_, std::move(message)); }

  void Range(const char* what, int32_t value, int32_t low, int32_t high) {
    if (value < low || value > high)
      Warn(std::string(what) + " is " + std::to_string(value) + ", outside " + std::to_string(low) + "-" +
           std::to_string(high));
  }

  // The step a saved game goes on from must lie in the script's code, up to its end instruction.
  bool PlaceExists(int script, int32_t step) const {
    const GameScript* s = game_.Script(script);
    return s && step >= -1 && step < s->end;
  }

  void CheckSlot(int n, const SaveRecord& r) {
    const std::string slot = n == kQuickSlot ? "the quick save" : "slot " + std::to_string(n);
    if (!PlaceExists(r.ScriptNo, r.StepNo))
      Warn(slot + " goes on in script " + std::to_string(r.ScriptNo) + " at step " + std::to_string(r.StepNo) +
           ", which SCRIPT.DAT no longer has");
    if (r.ReturnDepth < 0 || r.ReturnDepth > 16) {
      Warn(slot + " has " + std::to_string(r.ReturnDepth) + " calls outstanding; at most 16 can be");
    } else {
      for (int k = 0; k < r.ReturnDepth; ++k)
        if (!PlaceExists(r.ReturnTable[k].Script, r.ReturnTable[k].Step))
          Warn(slot + " returns to script " + std::to_string(r.ReturnTable[k].Script) + " at step " +
               std::to_string(r.ReturnTable[k].Step) + ", which SCRIPT.DAT no longer has");
    }
    auto picture = [&](int32_t entry, const std::string& what) {
      if (entry != 0 && game_.graphic && !game_.HasPicture(entry))
        Warn(slot + " shows picture entry " + std::to_string(entry) + " as its " + what + ", which " +
             game_.graphicFile + " no longer holds");
    };
    picture(r.BackgroundNo, "background");
    for (int k = 0; k < 5; ++k) picture(r.LayerImage[k], "layer " + std::to_string(k + 1));
    if (r.BgmNo != 0 && !game_.File(MusicFileName(r.BgmNo, r.BgmVariant != 0)))
      Warn(slot + " plays music " + std::to_string(r.BgmNo) + ", whose file is missing");
  }

  const GameData& game_;
  const SaveBlock& block_;
  const std::string file_;
  Findings& findings_;
};

}  // namespace

void CheckSaveData(const GameData& game, Findings& findings) {
  const std::optional<std::filesystem::path> path = game.File("SAVE.DAT");
  if (!path) return;
  const std::string file = game.Shown(*path);
  std::string bytes, error;
  if (!toolkit::ReadWholeFile(*path, bytes, error)) {
    findings.AtFile(Severity::Error, "save-data", file, error);
    return;
  }
  if (bytes.size() != kSaveFileSize) {
    findings.AtFile(Severity::Error, "save-data", file,
                    "is " + std::to_string(bytes.size()) +
                        " bytes long instead of 407,472: the game keeps it aside and starts afresh");
    return;
  }
  auto block = std::make_unique<SaveBlock>();
  std::memcpy(block.get(), bytes.data(), sizeof(SaveBlock));
  SaveChecker(game, *block, file, findings).Run();
}

}  // namespace mokuren::lint
