#include "app/game_moment.h"

#include "app/TForm1.h"
#include "base/task_codes.h"

namespace mokuren {

GameMoment AskGameMoment(TForm1& engine) {
  GameMoment m;
  m.taskCode = engine.TaskCode;
  m.front = engine.FrontForm();
  m.dialogUp = m.front.has_value();
  switch (m.taskCode) {
    case task::TitleMenu:
    case task::AlbumMenu:
    case task::BgmMenu:
    case task::CgMenu:
    case task::EvMenu:
    case task::Cg: m.menuWaits = true; break;
    case task::MessageTyping:
    case task::Effect01:
    case task::Effect91:
    case task::TitleMenuOpen:
    case task::AlbumMenuOpen:
    case task::BgmMenuOpen:
    case task::CgMenuOpen:
    case task::CgOpen:
    case task::EvMenuOpen: m.moving = true; break;
    default: break;
  }
  m.messageWaits = engine.Text().MessageTakesClick();
  m.choiceWaits = engine.Text().ChoiceTakesClick();
  if (engine.Movie().MoviePlaying()) m.moving = true;
  return m;
}

bool WaitHolds(const Event& event, const GameMoment& m) {
  switch (event.waitFor) {
    case WaitFor::Title: return m.menuWaits && !m.dialogUp;
    case WaitFor::Message: return m.messageWaits && !m.dialogUp;
    case WaitFor::Choice: return m.choiceWaits && !m.dialogUp;
    case WaitFor::Task: return m.taskCode == event.taskCode;
    case WaitFor::Idle: return !m.moving;
    case WaitFor::Name: return m.front == FormId::TNameForm;
    case WaitFor::Dialog: return m.front == event.form;
    case WaitFor::Count: break;
  }
  return false;
}

}  // namespace mokuren
