// The demo's story keeps read marks: played through once and started again, read-skip passes what the
// player has seen and stops at the first line they have not.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "base/task_codes.h"
#include "support/engine_fixture.h"

namespace mokuren::testing {
namespace {

// Types the hero's name into the name dialog once it is up, as a player would while it waits.
class NamingPlatform : public HeadlessPlatform {
 public:
  std::function<void()> giveName;
  void OpenForm(FormId form) override {
    nameAsked_ = form == FormId::TNameForm;
    HeadlessPlatform::OpenForm(form);
  }
  void ProcessMessages() override {
    if (nameAsked_ && giveName) {
      nameAsked_ = false;
      giveName();
    }
  }

 private:
  bool nameAsked_ = false;
};

class DemoReadSkip : public EngineFixture {
 protected:
  // Clicks through messages and choices (at the second choice) until `done` holds.
  bool PlayUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 600 && !done(); ++i) {
      const int32_t now = Task();
      if (now == task::MessageTyping || now == task::MessageWait || now == task::SelectWait) Click(400, 300);
      RunMs(100);
    }
    return done();
  }
  // From the title: a new game, through the hero's name, up to the first message after it.
  void NewGame() {
    ASSERT_TRUE(RunUntilTask(task::TitleMenu));
    RunMs(500);
    Click(200, 110);  // "はじめから"
    named_ = false;
    ASSERT_TRUE(PlayUntil([this] { return named_ && Task() == task::MessageWait; })) << std::hex << Task();
  }
  bool named_ = false;
  // The newest entry of the message log.
  std::string NewestLogEntry() {
    Apply("debug MSG " + (dir() / "log.txt").string());
    const std::string log = ReadFile(dir() / "log.txt");
    const size_t start = log.find("\n1:") + 3;
    return log.substr(start, log.find('\n', start) - start);
  }
};

TEST_F(DemoReadSkip, SecondPlayThroughSkipsToTheFirstUnreadLine) {
  std::filesystem::copy(std::string(MOKUREN_BIN_DIR) + "/demo-game", dir(), std::filesystem::copy_options::recursive);
  std::filesystem::remove(dir() / "SAVE.DAT");
  auto platform = std::make_unique<NamingPlatform>();
  platform->giveName = [this] {
    Apply("name ミナト");
    named_ = true;
  };
  StartEngine("100 key Enter\n", 0, {}, std::move(platform));  // Enter skips the opening movie
  NewGame();
  // The story to its end, always at the second choice.
  ASSERT_TRUE(PlayUntil([this] { return Task() == task::TitleMenu; })) << std::hex << Task();

  NewGame();
  Menu(MenuItem::menuKSkip);
  // Every line up to the morning's choice was read: no click is needed to get there.
  ASSERT_TRUE(RunUntilTask(task::SelectWait, 3000)) << NewestLogEntry();
  Click(400, 240);  // this time the first choice, whose lines are new
  Menu(MenuItem::menuKSkip);
  RunMs(3000);
  // The first line after the choice waits for the player, and nothing has been passed since the choice.
  EXPECT_EQ(Task(), task::MessageWait);
  EXPECT_EQ(Script(), 2);
  EXPECT_EQ(NewestLogEntry(), "【選択肢】/一緒に行く []");
}

}  // namespace
}  // namespace mokuren::testing
