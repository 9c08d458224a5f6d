#include "platform/event.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace mokuren {

namespace {

constexpr std::array<std::string_view, static_cast<size_t>(Verb::Count)> kVerbNames = {
    "click",       "rclick",      "move",   "wheel", "key",        "keydown",          "keyup",
    "menu",        "float-click", "dialog", "name",  "comment",    "config",           "debug",
    "quicksave",   "quickload",   "save",   "load",  "screenshot", "screenshot-float", "screenshot-saveload",
    "dialog-text", "quit",        "wait"};

constexpr std::array<std::string_view, static_cast<size_t>(WaitFor::Count)> kWaitNames = {
    "title", "message", "choice", "task", "idle", "name", "dialog"};

// By FormId: TNameForm, TCommentForm, TQueryForm, TConfigForm, TDebugForm, TMsgForm, TForm7.
constexpr std::array<std::string_view, 7> kDialogKindNames = {"name", "comment", "confirm", "settings",
                                                              "",     "",        "saveload"};

constexpr std::array<std::string_view, static_cast<size_t>(Key::Count)> kKeyNames = {
    "Enter",  "Space", "PageUp", "PageDown", "F1",    "F2",  "Ctrl",
    "Escape", "Up",    "Down",   "Left",     "Right", "Tab", "Backtab"};

constexpr std::array<std::string_view, static_cast<size_t>(MenuItem::Count)> kMenuItemNames = {
    "menuKSkip", "menuSSkip", "menuAuto",   "menuWindow", "menuFloat",
    "menuSave",  "menuLoad",  "menuConfig", "menuTitle",  "menuQuit"};

constexpr std::array<std::string_view, static_cast<size_t>(DebugButtonName::Count)> kDebugButtonNames = {
    "FLG", "MSG", "AlbumOn", "AlbumOff", "AlbumRnd", "RT", "status"};

template <typename Enum, size_t N>
std::optional<Enum> ByName(const std::array<std::string_view, N>& names, std::string_view name) {
  for (size_t i = 0; i < N; ++i)
    if (names[i] == name) return static_cast<Enum>(i);
  return std::nullopt;
}

template <typename Enum, size_t N>
std::string_view NameOf(const std::array<std::string_view, N>& names, Enum value) {
  const auto i = static_cast<size_t>(value);
  return i < N ? names[i] : std::string_view();
}

}  // namespace

std::string_view VerbName(Verb verb) { return NameOf(kVerbNames, verb); }
std::optional<Verb> VerbByName(std::string_view name) { return ByName<Verb>(kVerbNames, name); }
std::string_view KeyName(Key key) { return NameOf(kKeyNames, key); }
std::optional<Key> KeyByName(std::string_view name) { return ByName<Key>(kKeyNames, name); }
std::string_view MenuItemName(MenuItem item) { return NameOf(kMenuItemNames, item); }
std::optional<MenuItem> MenuItemByName(std::string_view name) { return ByName<MenuItem>(kMenuItemNames, name); }
std::string_view DebugButtonNameText(DebugButtonName button) { return NameOf(kDebugButtonNames, button); }
std::string_view WaitForName(WaitFor what) { return NameOf(kWaitNames, what); }
std::string_view DialogKindName(FormId form) { return NameOf(kDialogKindNames, form); }
std::optional<FormId> DialogKindByName(std::string_view name) {
  return name.empty() ? std::nullopt : ByName<FormId>(kDialogKindNames, name);
}

std::string WaitText(const Event& wait) {
  std::string text = "wait " + std::string(WaitForName(wait.waitFor));
  if (wait.waitFor == WaitFor::Dialog) text += " " + std::string(DialogKindName(wait.form));
  if (wait.waitFor == WaitFor::Task) {
    char code[16];
    std::snprintf(code, sizeof code, " %s%x", wait.taskCode < 0 ? "-" : "",
                  static_cast<uint32_t>(wait.taskCode < 0 ? -static_cast<int64_t>(wait.taskCode) : wait.taskCode));
    text += code;
  }
  return text;
}

std::optional<ConfigSetting> ParseConfigSetting(std::string_view pair) {
  using Field = ConfigSetting::Field;
  const size_t eq = pair.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  const std::string_view field = pair.substr(0, eq), value = pair.substr(eq + 1);
  if (field == "effects" && (value == "on" || value == "off")) return ConfigSetting{Field::Effects, value == "on"};
  if (field == "mode" && (value == "window" || value == "full")) return ConfigSetting{Field::Mode, value == "full"};
  struct Range {
    std::string_view name;
    Field field;
    int32_t min, max;
  };
  static constexpr Range kRanges[] = {{"speed", Field::Speed, 1, 3},
                                      {"auto", Field::Auto, 0, 20},
                                      {"bgm", Field::Bgm, 0, 100},
                                      {"se", Field::Se, 0, 100},
                                      {"voice", Field::Voice, 0, 100}};
  for (const Range& r : kRanges) {
    if (field != r.name) continue;
    int32_t n = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc() || end != value.data() + value.size() || n < r.min || n > r.max) return std::nullopt;
    return ConfigSetting{r.field, n};
  }
  return std::nullopt;
}

}  // namespace mokuren
