// The dialogs' engine side on a fake host: the events file's "name" and "config" verbs reach only the dialog
// in front, and a settings dialog left without OK stores nothing but what its volume sliders did at once.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>

#include "dialogs/TConfigForm.h"
#include "dialogs/engine_dialogs.h"

namespace mokuren::testing {
namespace {

using Field = ConfigSetting::Field;

class FakeHost final : public DialogsHost, public ConfigFormHost {
 public:
  std::unique_ptr<SaveBlock> block = std::make_unique<SaveBlock>();
  TConfigForm config{*this, *block};
  std::optional<FormId> front;
  std::vector<std::u16string> reports;
  int volumeChanges = 0;

  TNameForm& NameForm() override { throw std::logic_error("the name dialog is never up here"); }
  TCommentForm& CommentForm() override { throw std::logic_error("the comment dialog is never up here"); }
  TConfigForm& ConfigForm() override { return config; }
  std::u16string SaveScreenCaption() override { return u"セーブ"; }
  // The form is put in front and left there; the test answers it.
  int ShowModal(FormId form, int& modalResult) override {
    front = form;
    return modalResult;
  }
  bool ModalOpen(FormId form) override { return front == form; }
  void ReportEvent(const Event&, const std::u16string& what) override { reports.push_back(what); }
  void ApplyVolumes() override { ++volumeChanges; }
  void FullModeWin() override {}
  void ReturnFullModeWin() override {}
};

Event ConfigEvent(std::vector<ConfigSetting> settings) {
  Event e;
  e.verb = Verb::Config;
  e.settings = std::move(settings);
  return e;
}

TEST(EngineDialogs, NameAndConfigVerbsWithTheirDialogNotInFrontAreReportedAndChangeNothing) {
  FakeHost host;
  EngineDialogs dialogs(host);
  host.front = FormId::TQueryForm;
  dialogs.ApplyDialogEvent(ConfigEvent({{Field::Bgm, 10}}));
  Event name;
  name.verb = Verb::Name;
  name.text = "ミナト";
  dialogs.ApplyDialogEvent(name);
  EXPECT_EQ(host.reports, (std::vector<std::u16string>{u"'config': the settings dialog is not up",
                                                       u"'name': the name-entry dialog is not up"}));
  EXPECT_EQ(host.config.Position[TConfigForm::BgmVolBar], 70);
  EXPECT_EQ(host.volumeChanges, 0);
}

TEST(EngineDialogs, SettingsDialogLeftWithoutOkKeepsOnlyWhatTheVolumeSlidersDid) {
  FakeHost host;
  host.block->MessageSpeed = 2;
  host.block->AutoDelay = 5;
  host.block->BgmVolume = 70;
  EngineDialogs dialogs(host);
  dialogs.menuConfigClick();
  ASSERT_EQ(host.front, FormId::TConfigForm);
  dialogs.ApplyDialogEvent(ConfigEvent({{Field::Speed, 3}, {Field::Auto, 12}, {Field::Bgm, 10}}));
  dialogs.AnswerOtherDialog(FormId::TConfigForm, false);
  EXPECT_EQ(host.config.ModalResult, mrCancel);
  EXPECT_EQ(host.block->BgmVolume, 10);
  EXPECT_EQ(host.block->MessageSpeed, 2);
  EXPECT_EQ(host.block->AutoDelay, 5);
  EXPECT_TRUE(host.reports.empty());
}

}  // namespace
}  // namespace mokuren::testing
