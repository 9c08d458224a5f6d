#include "backends/web/web_platform.h"

#include <emscripten.h>

#include <algorithm>

#include "base/frame.h"
#include "base/text_codec.h"
#include "dialogs/TCommentForm.h"
#include "dialogs/TConfigForm.h"
#include "dialogs/TDebugForm.h"
#include "dialogs/TQueryForm.h"
#include "graphics/ABitmap.h"
#include "platform/window_host.h"
#include "save/TForm7.h"
#include "text/TNameForm.h"

namespace mokuren {

namespace {

// A text as a JSON string, for the page's script.
std::string Json(std::u16string_view text) {
  std::string out = "\"";
  for (char c : ToUtf8(text)) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string Json(const std::vector<std::u16string>& texts) {
  std::string out = "[";
  for (const std::u16string& t : texts) out += (out.size() > 1 ? "," : "") + Json(t);
  return out + "]";
}

// Calls the page's handler `name` with a JSON argument.
void CallPage(const char* name, const std::string& json) {
  EM_ASM(
      {
        if (Module.mokuren) Module.mokuren[UTF8ToString($0)](JSON.parse(UTF8ToString($1)));
      },
      name, json.c_str());
}

}  // namespace

WebPlatform::WebPlatform() : rgba_(static_cast<size_t>(kFrameWidth) * kFrameHeight * 4) {
  // The desktop menu's captions, in menu order; the page puts the same separators between them.
  static constexpr std::u16string_view kCaptions[] = {
      u"既読スキップ", u"シーンスキップ", u"自動進行", u"ウィンドウ消去", u"ウィンドウフロート化",
      u"セーブ",       u"ロード",         u"環境設定", u"タイトルに戻る", u"ゲーム終了"};
  static_assert(std::size(kCaptions) == static_cast<size_t>(MenuItem::Count));
  for (size_t i = 0; i < menu_.size(); ++i) menu_[i].caption = kCaptions[i];
}

void WebPlatform::ShowMainWindow() { CallPage("shown", "null"); }

uint32_t WebPlatform::TickCount() { return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now())); }

void WebPlatform::Sleep(uint32_t ms) {
  // The browser may not be held: the wait holds the next pass back instead (web_main.cpp).
  const uint32_t until = TickCount() + ms;
  if (static_cast<int32_t>(until - holdUntil_) > 0) holdUntil_ = until;
}

void WebPlatform::ProcessMessages() {
  while (!inputs_.empty()) {
    const WebInput input = std::move(inputs_.front());
    inputs_.pop_front();
    Deliver(input);
  }
}

uint32_t WebPlatform::Rest(uint32_t ms, std::optional<uint32_t> quietUntil) {
  // The frame callback spaces the passes on the page's clock (web_main.cpp); here the input comes in. The
  // time since the last rest is what was rested, so the engine's 10 ms timer keeps up with the clock when
  // the page rested longer (a quiet wait) or was held up.
  // A quiet rest lasts as long as the engine says, which it said before this input came: input ends the
  // rest, as an event does on the desktop. The sound feeds itself meanwhile, each pull of the page's audio
  // bringing the mixer up to the clock (web_sound_device.h).
  const bool delivered = !inputs_.empty();
  ProcessMessages();
  const uint32_t now = TickCount();
  quietUntil_ = delivered ? std::nullopt : quietUntil;
  const uint32_t rested = std::clamp(now - lastRest_, ms, uint32_t{1000});
  lastRest_ = now;
  return rested;
}

void WebPlatform::PlayerFilesWritten() {
  // IndexedDB keeps what the file system holds only once it is synced.
  EM_ASM({
    if (Module.mokuren) Module.mokuren.sync();
  });
}

WindowId WebPlatform::Foreground() {
  if (openForms_.empty()) return WindowId::Main;
  return openForms_.back() == FormId::TForm7 ? WindowId::SaveLoad : WindowId::Other;
}

Point WebPlatform::CursorPos(WindowId client) {
  if (client == WindowId::Float) return {cursor_.x, cursor_.y - kMessageWindowTop};
  return cursor_;
}

void WebPlatform::Deliver(const WebInput& in) {
  if (!host_) return;
  switch (in.kind) {
    case WebInput::Kind::MouseMove: cursor_ = {in.a, in.b}; break;
    case WebInput::Kind::MouseDown: {
      cursor_ = {in.a, in.b};
      const auto button = static_cast<MouseButton>(std::clamp(in.c, 0, 2));
      TForm7& screen = host_->GetSaveLoadForm();
      if (!openForms_.empty() && openForms_.back() == FormId::TForm7 && screen.Visible) {
        screen.Image1MouseDown(button, cursor_);
        PaintScreens();
      } else if (openForms_.empty()) {
        host_->FormMouseDown(button, cursor_);
      }
      break;
    }
    case WebInput::Kind::Wheel:
      if (!openForms_.empty()) break;
      for (int32_t i = 0; i < std::abs(in.a); ++i) in.a > 0 ? host_->FormMouseWheelDown() : host_->FormMouseWheelUp();
      break;
    case WebInput::Kind::Key:
      if (in.a >= 0 && in.a < static_cast<int32_t>(Key::Count) && in.b && !openForms_.empty() &&
          openForms_.back() == FormId::TForm7) {
        // The save/load screen in front takes the keys it uses (the slots, the pages, Enter, Escape).
        host_->GetSaveLoadForm().FormKeyDown(static_cast<Key>(in.a));
        PaintScreens();
      } else if (in.a >= 0 && in.a < static_cast<int32_t>(Key::Count)) {
        keys_.Set(static_cast<Key>(in.a), in.b != 0);
      } else if (in.a == -1 && in.b && !openForms_.empty() && openForms_.back() == FormId::TForm7) {
        host_->GetSaveLoadForm().Close();  // Escape leaves the save/load screen
      }
      break;
    case WebInput::Kind::MenuClosed: menuShown_ = false; break;
    case WebInput::Kind::Menu:
      menuShown_ = false;
      if (in.a >= 0 && in.a < static_cast<int32_t>(MenuItem::Count) && openForms_.empty() &&
          menu_[static_cast<size_t>(in.a)].enabled)
        host_->MenuClick(static_cast<MenuItem>(in.a));
      break;
    case WebInput::Kind::DialogAnswer: {
      const auto form = static_cast<FormId>(in.a);
      if (openForms_.empty() || openForms_.back() != form) break;
      switch (form) {
        case FormId::TQueryForm:
          in.b ? host_->GetQueryForm().OkButtonClick() : host_->GetQueryForm().CancelButtonClick();
          break;
        case FormId::TNameForm: {
          TNameForm& name = host_->GetNameForm();
          name.Edit1 = name.Typed(in.text);
          name.Button1Click();
          FormChanged(form);
          break;
        }
        case FormId::TCommentForm: {
          TCommentForm& comment = host_->GetCommentForm();
          comment.Edit1 = TCommentForm::FitBox(in.text);
          in.b ? comment.OkButtonClick() : comment.CancelButtonClick();
          break;
        }
        case FormId::TConfigForm: {
          // The text holds the checked radio buttons' numbers, then ";", then the sliders' positions.
          TConfigForm& config = host_->GetConfigForm();
          const std::string text = ToUtf8(in.text);
          const size_t semi = text.find(';');
          auto numbers = [](std::string_view s) {
            std::vector<int32_t> out;
            while (!s.empty()) {
              const size_t comma = s.find(',');
              out.push_back(std::atoi(std::string(s.substr(0, comma)).c_str()));
              s = comma == std::string_view::npos ? std::string_view() : s.substr(comma + 1);
            }
            return out;
          };
          if (semi != std::string::npos && in.b) {
            for (int32_t r : numbers(std::string_view(text).substr(0, semi)))
              if (r >= 0 && r < TConfigForm::RadioCount) config.Check(static_cast<TConfigForm::Radio>(r));
            const std::vector<int32_t> positions = numbers(std::string_view(text).substr(semi + 1));
            for (size_t s = 0; s < positions.size() && s < TConfigForm::SliderCount; ++s)
              config.SetPosition(static_cast<TConfigForm::Slider>(s), positions[s]);
            config.OkButtonClick();
          } else {
            config.ModalResult = mrCancel;
          }
          break;
        }
        default: break;
      }
      break;
    }
    case WebInput::Kind::Close: host_->Close(); break;
    case WebInput::Kind::DebugButton:
      if (in.a >= 0 && in.a < TDebugForm::ButtonCount && debugVisible_) {
        host_->GetDebugForm().Click(static_cast<TDebugForm::Button>(in.a));
        FormChanged(FormId::TDebugForm);
      }
      break;
  }
}

void WebPlatform::Paint(int which, const TABitmap& frame, const Rect& area) {
  if (!frame.IsValid()) return;
  const int32_t x0 = std::clamp(area.x, 0, frame.Width()), y0 = std::clamp(area.y, 0, frame.Height());
  const int32_t x1 = std::clamp(area.x + area.width, x0, frame.Width());
  const int32_t y1 = std::clamp(area.y + area.height, y0, frame.Height());
  if (x1 == x0 || y1 == y0) return;
  const size_t width = static_cast<size_t>(x1 - x0);
  rgba_.resize(width * static_cast<size_t>(y1 - y0) * 4);
  uint8_t* dst = rgba_.data();
  // The surface keeps blue, green, red and an unused byte; the canvas takes red, green, blue and alpha.
  for (int32_t y = y0; y < y1; ++y) {
    const uint8_t* src = frame.ScanLine(y) + static_cast<size_t>(x0) * 4;
    for (size_t i = 0; i < width; ++i, src += 4, dst += 4) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
      dst[3] = 255;
    }
  }
  EM_ASM(
      {
        if (Module.mokuren) Module.mokuren.paint($0, $1, $2, $3, $4, $5);
      },
      which, rgba_.data(), x0, y0, x1 - x0, y1 - y0);
}

void WebPlatform::PaintMain(const TABitmap& frame) { PaintMainArea(frame, {0, 0, frame.Width(), frame.Height()}); }

void WebPlatform::PaintMainArea(const TABitmap& frame, const Rect& changed) {
  mainFrame_ = &frame;
  if (!openForms_.empty() && openForms_.back() == FormId::TForm7) return;  // the screen covers it
  Paint(0, frame, changed);
}

void WebPlatform::PaintFloat(const TABitmap& frame) { PaintFloatArea(frame, {0, 0, frame.Width(), frame.Height()}); }

void WebPlatform::PaintFloatArea(const TABitmap& frame, const Rect& changed) { Paint(1, frame, changed); }

void WebPlatform::PaintScreens() {
  if (!host_) return;
  if (std::find(openForms_.begin(), openForms_.end(), FormId::TForm7) != openForms_.end() &&
      host_->GetSaveLoadForm().Visible)
    Paint(0, host_->GetSaveLoadForm().Image1, {0, 0, kFrameWidth, kFrameHeight});
}

void WebPlatform::SetCursorShown(bool shown) { CallPage("cursor", shown ? "true" : "false"); }
void WebPlatform::SetFullScreen(bool full) { CallPage("fullScreen", full ? "true" : "false"); }

void WebPlatform::SetFloatVisible(bool visible) {
  floatVisible_ = visible;
  CallPage("floatVisible", visible ? "true" : "false");
}

std::string WebPlatform::MenuJson() const {
  std::string items = "[";
  for (size_t i = 0; i < menu_.size(); ++i) {
    const MenuEntry& e = menu_[i];
    items += (i ? "," : "") + std::string("{\"caption\":") + Json(e.caption) +
             ",\"enabled\":" + (e.enabled ? "true" : "false") + ",\"checked\":" + (e.checked ? "true" : "false") + "}";
  }
  return items + "]";
}

void WebPlatform::PopupMenu(Point client, WindowId) {
  if (host_) host_->PopupMenu1Popup();
  // Separators sit before the window items, before save, and before the title item, as on the desktop.
  CallPage("menu", "{\"x\":" + std::to_string(client.x) + ",\"y\":" + std::to_string(client.y) +
                       ",\"items\":" + MenuJson() + "}");
  menuShown_ = true;
  menuChanged_ = false;
}

void WebPlatform::SendMenuChanges() {
  if (!menuChanged_) return;
  menuChanged_ = false;
  if (menuShown_) CallPage("menuItems", MenuJson());
}

void WebPlatform::OpenForm(FormId form) {
  openForms_.push_back(form);
  ShowForm(form);
}

void WebPlatform::ShowForm(FormId form) {
  if (!host_) return;
  const std::string id = std::to_string(static_cast<int>(form));
  switch (form) {
    case FormId::TQueryForm: {
      const TQueryForm& q = host_->GetQueryForm();
      CallPage("openForm", "{\"form\":" + id + ",\"kind\":\"query\",\"texts\":" +
                               Json({q.Caption, q.Label1, q.OkCaption, q.CancelCaption}) + "}");
      break;
    }
    case FormId::TNameForm: {
      const TNameForm& n = host_->GetNameForm();
      CallPage("openForm", "{\"form\":" + id + ",\"kind\":\"name\",\"texts\":" +
                               Json({n.Caption, n.Edit1, n.Button1Caption, n.Label1}) + "}");
      break;
    }
    case FormId::TCommentForm: {
      const TCommentForm& c = host_->GetCommentForm();
      CallPage("openForm", "{\"form\":" + id + ",\"kind\":\"comment\",\"texts\":" +
                               Json({c.Caption, c.Edit1, c.OkCaption, c.CancelCaption}) + "}");
      break;
    }
    case FormId::TConfigForm: {
      const TConfigForm& c = host_->GetConfigForm();
      std::string radios = "[", sliders = "[", groups = "[";
      for (int r = 0; r < TConfigForm::RadioCount; ++r)
        radios += (r ? "," : "") + std::string("{\"caption\":") + Json(c.RadioCaptions[static_cast<size_t>(r)]) +
                  ",\"group\":" + std::to_string(TConfigForm::kRadios[r].group) +
                  ",\"checked\":" + (c.Checked[static_cast<size_t>(r)] ? "true" : "false") + "}";
      for (int s = 0; s < TConfigForm::SliderCount; ++s)
        sliders += (s ? "," : "") + std::string("{\"label\":") + Json(c.SliderLabels[static_cast<size_t>(s)]) +
                   ",\"group\":" + std::to_string(TConfigForm::kSliders[s].group) +
                   ",\"max\":" + std::to_string(TConfigForm::kSliders[s].max) +
                   ",\"position\":" + std::to_string(c.Position[static_cast<size_t>(s)]) + "}";
      for (size_t g = 0; g < TConfigForm::kGroupCount; ++g) groups += (g ? "," : "") + Json(c.GroupCaptions[g]);
      CallPage("openForm", "{\"form\":" + id + ",\"kind\":\"config\",\"texts\":" + Json({c.Caption, c.OkCaption}) +
                               ",\"groups\":" + groups + "],\"radios\":" + radios + "],\"sliders\":" + sliders +
                               "],\"autoEnds\":" + Json({c.AutoEnds[0], c.AutoEnds[1]}) +
                               ",\"volumeEnds\":" + Json({c.VolumeEnds[0], c.VolumeEnds[1]}) + "}");
      break;
    }
    case FormId::TForm7: PaintScreens(); break;
    default: break;
  }
}

void WebPlatform::CloseForm(FormId form) {
  auto it = std::find(openForms_.rbegin(), openForms_.rend(), form);
  if (it != openForms_.rend()) openForms_.erase(std::next(it).base());
  CallPage("closeForm", std::to_string(static_cast<int>(form)));
  // The save/load screen was painted over the frame: the frame comes back whole.
  if (form == FormId::TForm7 && mainFrame_ && (openForms_.empty() || openForms_.back() != FormId::TForm7))
    Paint(0, *mainFrame_, {0, 0, mainFrame_->Width(), mainFrame_->Height()});
}

void WebPlatform::SetFormVisible(FormId form, bool visible) {
  if (form != FormId::TDebugForm || !host_ || visible == debugVisible_) return;
  debugVisible_ = visible;
  std::string buttons = "[";
  for (int b = 0; b < TDebugForm::ButtonCount; ++b) buttons += (b ? "," : "") + Json(TDebugForm::kButtons[b].caption);
  CallPage("debugVisible",
           "{\"visible\":" + std::string(visible ? "true" : "false") + ",\"buttons\":" + buttons + "]}");
  if (visible) {
    debugDump_.clear();
    debugErrorsSent_ = 0;
    FormChanged(form);
  }
}

void WebPlatform::FormChanged(FormId form) {
  if (form == FormId::TForm7) {
    PaintScreens();
    return;
  }
  if (form == FormId::TDebugForm && host_ && debugVisible_) {
    // The status lines always; the dump and the error list only when they changed (the list sends its
    // new lines, or all it keeps once it has let lines go since the last time).
    const TDebugForm& debug = host_->GetDebugForm();
    std::string json = "{\"caption\":" + Json(debug.Caption) + ",\"label1\":" + Json(debug.Label1) +
                       ",\"label2\":" + Json(debug.Label2);
    if (debug.Memo1 != debugDump_) {
      debugDump_ = debug.Memo1;
      json += ",\"dump\":" + Json(debugDump_);
    }
    const ErrorList& errors = debug.Memo2;
    const std::vector<std::u16string>& lines = errors.Lines();
    const uint64_t fresh = errors.Total() - debugErrorsSent_;
    if (fresh > 0) {
      const bool all = fresh > lines.size() || debugErrorsSent_ == 0;
      std::vector<std::u16string> sent(lines.end() - static_cast<std::ptrdiff_t>(all ? lines.size() : fresh),
                                       lines.end());
      if (all && errors.Dropped() > 0)
        sent.insert(sent.begin(), u"… " + FromUtf8(std::to_string(errors.Dropped())) + u" earlier lines not kept");
      json += std::string(",\"errors\":") + Json(sent) + ",\"restart\":" + (all ? "true" : "false");
      debugErrorsSent_ = errors.Total();
    }
    CallPage("debug", json + "}");
    return;
  }
  if (form == FormId::TNameForm && host_ && !openForms_.empty() && openForms_.back() == form)
    CallPage("formLabel", "{\"form\":" + std::to_string(static_cast<int>(form)) +
                              ",\"text\":" + Json(host_->GetNameForm().Label1) + "}");
}

void WebPlatform::FatalMessage(const std::string& utf8) {
  PrintFatalMessage(utf8);
  CallPage("fatal", Json(FromUtf8(utf8)));
}

void WebPlatform::WarningMessage(const std::string& utf8) {
  PrintFatalMessage(utf8);
  CallPage("warning", Json(FromUtf8(utf8)));
}

void WebPlatform::SetMainCaption(const std::u16string& caption) { CallPage("caption", Json(caption)); }

}  // namespace mokuren
