// The script machine on its own, with a host that writes down what the machine asks of the engine: the
// order of a message's steps and the archive entries a call into another script reads.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/error_list.h"
#include "base/task_codes.h"
#include "base/text_codec.h"
#include "script/script_machine.h"
#include "support/game_builder.h"

namespace mokuren::testing {
namespace {

class RecordingHost final : public ScriptHost {
 public:
  std::map<int, std::string> scripts;  // SCRIPT.DAT entries by number
  std::vector<std::string> asked;
  int32_t taskCode = task::Script;
  PassInput input;
  PlayModes modes;

  void SetTaskCode(int32_t code) override {
    taskCode = code;
    Ask("SetTaskCode " + std::to_string(code));
  }
  uint32_t Now() override { return 0; }
  PassInput& Input() override { return input; }
  PlayModes& Modes() override { return modes; }
  void ClearKeys() override { Ask("ClearKeys"); }
  void ClearMouseButtons() override { Ask("ClearMouseButtons"); }
  int ReadScriptEntry(int entry, std::vector<uint8_t>& bytes) override {
    Ask("ReadScriptEntry " + std::to_string(entry));
    const auto found = scripts.find(entry);
    if (found == scripts.end()) return -1;
    bytes.assign(found->second.begin(), found->second.end());
    return 0;
  }
  bool ScriptEntryListedEmpty(int entry) override { return !scripts.contains(entry); }
  int32_t PictureEntry(const std::u16string&) override { return 0; }
  void NoteBackground(int32_t) override { Ask("NoteBackground"); }
  void BlackBackground() override { Ask("BlackBackground"); }
  void PlaceLayer(int, int32_t, std::optional<int32_t>) override { Ask("PlaceLayer"); }
  void LoadPicture(int32_t, int32_t) override { Ask("LoadPicture"); }
  void CrossFadeIn() override { Ask("CrossFadeIn"); }
  void StartOpeningMovie() override { Ask("StartOpeningMovie"); }
  void PlayMusic(int, int, int) override { Ask("PlayMusic"); }
  void PlayEffect(int, int, int, int) override { Ask("PlayEffect"); }
  void CheckVoice(const std::u16string& path) override { Ask("CheckVoice " + ToUtf8(path)); }
  void PlayVoice(const std::u16string& path, int repeat) override {
    Ask("PlayVoice " + ToUtf8(path) + " " + std::to_string(repeat));
  }
  void StopVoice() override { Ask("StopVoice"); }
  void StopVoiceUnlessLooping() override { Ask("StopVoiceUnlessLooping"); }
  void EndVoiceLoop() override { Ask("EndVoiceLoop"); }
  void ReleaseVoiceButton() override { Ask("ReleaseVoiceButton"); }
  void NoteMessage(int32_t message, int32_t voice, bool repeatVoice) override {
    Ask("NoteMessage " + std::to_string(message) + " " + std::to_string(voice) + (repeatVoice ? " repeat" : ""));
  }
  void NoteChoice(int32_t, int32_t) override { Ask("NoteChoice"); }
  std::u16string LayOutMessage(const std::u16string& text) override {
    Ask("LayOutMessage " + ToUtf8(text));
    return {};
  }
  void AnnounceMessage(const std::u16string& text) override { Ask("AnnounceMessage " + ToUtf8(text)); }
  void OpenMessageWindow() override { Ask("OpenMessageWindow"); }
  int32_t LayOutChoices(const std::u16string&) override {
    Ask("LayOutChoices");
    return 2;
  }
  void AnnounceChoices() override { Ask("AnnounceChoices"); }
  void ShowChoices() override { Ask("ShowChoices"); }
  void DropMessageFrame() override { Ask("DropMessageFrame"); }
  void ShowCursor(bool) override { Ask("ShowCursor"); }
  void AllowSystemMenu(bool) override { Ask("AllowSystemMenu"); }
  void AllowSkip(bool) override { Ask("AllowSkip"); }
  void OpenNameEntry() override { Ask("OpenNameEntry"); }
  void HideFloatingWindow() override { Ask("HideFloatingWindow"); }
  void PlayGalleryMusic() override { Ask("PlayGalleryMusic"); }

 private:
  void Ask(std::string what) { asked.push_back(std::move(what)); }
};

class ScriptMachineTest : public ::testing::Test {
 protected:
  // Loads script `n` and starts it from its first instruction, as start-up does.
  void Start(int n) {
    machine_.Kumo_ReadScript(n);
    machine_.StepNo = -1;
    host_.asked.clear();
  }

  RecordingHost host_;
  ErrorList errors_;
  std::unique_ptr<SaveBlock> block_ = std::make_unique<SaveBlock>();
  ScriptMachine machine_{host_, errors_, *block_};
};

TEST_F(ScriptMachineTest, AMessageDecidesTheSkipFromTheReadMarkBeforeMarkingItAndPlaysItsVoiceBeforeTheLayout) {
  host_.scripts[1] = AssembleTestScript("msg \"Good morning\", \"V001\", 7\n");
  Start(1);
  machine_.NormalPlay = 1;
  host_.modes.ReadSkip = 1;

  machine_.Kumo_TaskScript();

  const std::vector<std::string> expected = {"ReleaseVoiceButton",
                                             "StopVoiceUnlessLooping",
                                             "ClearKeys",
                                             "ClearMouseButtons",
                                             "NoteMessage 0 0 repeat",
                                             "PlayVoice VOICE\\V001.ogg 1",
                                             "LayOutMessage Good morning",
                                             "AnnounceMessage Good morning",
                                             "OpenMessageWindow",
                                             "SetTaskCode " + std::to_string(task::MessageTyping),
                                             "DropMessageFrame"};
  EXPECT_EQ(host_.asked, expected);
  // The message was unread, so read-skip stopped at it, and it is read now.
  EXPECT_EQ(host_.modes.ReadSkip, 0);
  EXPECT_EQ(host_.modes.FastForward, 0);
  EXPECT_TRUE(machine_.CheckKidoku(0));
  EXPECT_TRUE(errors_.Lines().empty());
}

TEST_F(ScriptMachineTest, ACallIntoAnotherScriptReadsItsEntryAndTheReturnReadsTheCallersAgain) {
  host_.scripts[1] = AssembleTestScript("call there, 2\nwait click\n");
  host_.scripts[2] = AssembleTestScript("*there\nreturn\n");
  Start(1);

  for (int pass = 0; pass < 3 && host_.taskCode == task::Script; ++pass) machine_.Kumo_TaskScript();

  std::vector<std::string> reads;
  for (const std::string& what : host_.asked)
    if (what.starts_with("ReadScriptEntry")) reads.push_back(what);
  EXPECT_EQ(reads, (std::vector<std::string>{"ReadScriptEntry 2", "ReadScriptEntry 1"}));
  EXPECT_EQ(host_.taskCode, task::WaitKey);  // the instruction after the call
  EXPECT_EQ(machine_.ScriptNo, 1);
  EXPECT_EQ(machine_.ReturnDepth, 0);
  EXPECT_TRUE(errors_.Lines().empty());
}

}  // namespace
}  // namespace mokuren::testing
