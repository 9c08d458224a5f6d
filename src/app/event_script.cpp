#include "app/event_script.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/message_quote.h"

namespace mokuren {

namespace {

struct VerbShape {
  Verb verb;
  int minArgs;
  int maxArgs;  // -1: a text to the end of the line
};

constexpr VerbShape kShapes[] = {
    {Verb::Click, 2, 2},
    {Verb::RClick, 2, 2},
    {Verb::Move, 2, 2},
    {Verb::Wheel, 1, 1},
    {Verb::Key, 1, 1},
    {Verb::KeyDown, 1, 1},
    {Verb::KeyUp, 1, 1},
    {Verb::Menu, 1, 1},
    {Verb::FloatClick, 2, 2},
    {Verb::Dialog, 1, 1},
    {Verb::Name, 0, -1},
    {Verb::Comment, 0, -1},
    {Verb::Config, 1, -1},
    {Verb::Debug, 2, -1},
    {Verb::QuickSave, 0, 0},
    {Verb::QuickLoad, 0, 0},
    {Verb::Save, 1, 1},
    {Verb::Load, 1, 1},
    {Verb::Screenshot, 1, -1},
    {Verb::ScreenshotFloat, 1, -1},
    {Verb::ScreenshotSaveLoad, 1, -1},
    {Verb::DialogText, 1, -1},
    {Verb::Quit, 0, 0},
    {Verb::Wait, 1, 3},
};
static_assert(std::size(kShapes) == static_cast<size_t>(Verb::Count));

const VerbShape& ShapeOf(Verb verb) { return kShapes[static_cast<size_t>(verb)]; }

std::optional<int32_t> WholeNumber(const std::string& s) {
  int32_t v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
  return v;
}

// "wait title|message|choice|idle|name [TIMEOUT_MS]", "wait task HEX [TIMEOUT_MS]" or "wait dialog KIND
// [TIMEOUT_MS]".
std::string TypeWait(Event& e, const std::vector<std::string>& args) {
  std::optional<WaitFor> what;
  for (int w = 0; w < static_cast<int>(WaitFor::Count); ++w)
    if (args[0] == WaitForName(static_cast<WaitFor>(w))) what = static_cast<WaitFor>(w);
  if (!what) return "wants title, message, choice, name, dialog KIND, task HEX or idle, not " + Quoted(args[0]);
  e.waitFor = *what;
  size_t next = 1;
  if (*what == WaitFor::Dialog) {
    const std::optional<FormId> form = args.size() < 2 ? std::nullopt : DialogKindByName(args[1]);
    if (!form)
      return "dialog wants the window: name, comment, confirm, settings or saveload" +
             (args.size() < 2 ? std::string() : ", not " + Quoted(args[1]));
    e.form = *form;
    next = 2;
  }
  if (*what == WaitFor::Task) {
    if (args.size() < 2) return "task wants the TaskCode in hexadecimal, as the trace shows it";
    std::string_view hex = args[1];
    const bool negative = hex.starts_with('-');
    if (negative) hex.remove_prefix(1);
    if (hex.starts_with("0x") || hex.starts_with("0X")) hex.remove_prefix(2);
    uint32_t code = 0;
    auto [p, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), code, 16);
    if (hex.empty() || ec != std::errc() || p != hex.data() + hex.size() || code > 0x7FFFFFFF)
      return "task wants the TaskCode in hexadecimal (6002, -1), not " + Quoted(args[1]);
    e.taskCode = negative ? -static_cast<int32_t>(code) : static_cast<int32_t>(code);
    next = 2;
  }
  e.timeoutMs = EventScript::kDefaultWaitTimeoutMs;
  if (args.size() > next + 1) return "takes at most a timeout after the condition";
  if (args.size() == next + 1) {
    uint32_t timeout = 0;
    const std::string& t = args[next];
    auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), timeout);
    if (ec != std::errc() || p != t.data() + t.size() || timeout == 0)
      return "wants a timeout in milliseconds (a whole number above 0), not " + Quoted(t);
    e.timeoutMs = timeout;
  }
  return {};
}

// Turns the verb's arguments into their types; a message saying what is wrong when they do not fit.
std::string TypeArgs(Event& e, const std::vector<std::string>& args, const std::string& text) {
  switch (e.verb) {
    case Verb::Click:
    case Verb::RClick:
    case Verb::Move:
    case Verb::FloatClick: {
      const std::optional<int32_t> x = WholeNumber(args[0]), y = WholeNumber(args[1]);
      if (!x || !y) return "wants two whole numbers X Y";
      e.point = {*x, *y};
      break;
    }
    case Verb::Wheel:
      if (args[0] != "up" && args[0] != "down") return "wants up or down";
      e.yes = args[0] == "up";
      break;
    case Verb::Key:
    case Verb::KeyDown:
    case Verb::KeyUp: {
      const std::optional<Key> key = KeyByName(args[0]);
      if (!key) return "does not know the key " + Quoted(args[0]);
      e.key = *key;
      break;
    }
    case Verb::Menu: {
      const std::optional<MenuItem> item = MenuItemByName(args[0]);
      if (!item) return "does not know the menu item " + Quoted(args[0]);
      e.item = *item;
      break;
    }
    case Verb::Dialog:
      if (args[0] != "ok" && args[0] != "cancel") return "wants ok or cancel";
      e.yes = args[0] == "ok";
      break;
    case Verb::Save:
    case Verb::Load: {
      const std::optional<int32_t> n = WholeNumber(args[0]);
      if (!n || *n < 1 || *n > 100) return "wants a slot number 1-100";
      e.slot = *n;
      break;
    }
    case Verb::Config:
      for (const std::string& a : args) {
        const std::optional<ConfigSetting> setting = ParseConfigSetting(a);
        if (!setting)
          return "does not know the setting " + Quoted(a) +
                 " (effects=on|off, mode=window|full, speed=1|2|3, auto=0-20, bgm|se|voice=0-100)";
        e.settings.push_back(*setting);
      }
      break;
    case Verb::Debug: {
      std::optional<DebugButtonName> button;
      for (int b = 0; b < static_cast<int>(DebugButtonName::Count); ++b)
        if (args[0] == DebugButtonNameText(static_cast<DebugButtonName>(b))) button = static_cast<DebugButtonName>(b);
      if (!button) return "does not know the button " + Quoted(args[0]);
      e.button = *button;
      // The file is the rest of the line after the button's name.
      e.text = text.substr(text.find(args[0]) + args[0].size());
      e.text.erase(0, e.text.find_first_not_of(" \t"));
      break;
    }
    case Verb::Wait: return TypeWait(e, args);
    default: e.text = text; break;
  }
  return {};
}

}  // namespace

bool EventScript::Parse(const std::string& text, std::string& error) {
  events_.clear();
  next_ = 0;
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  std::istringstream in(text.starts_with(kByteOrderMark) ? text.substr(kByteOrderMark.size()) : text);
  std::string raw;
  int lineNo = 0;
  while (std::getline(in, raw)) {
    ++lineNo;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    auto fail = [&](const std::string& why) {
      error = "events file line " + std::to_string(lineNo) + ": " + why;
      return false;
    };
    if (raw.size() > kMaxLineBytes)
      return fail("is " + std::to_string(raw.size()) + " bytes long; a line may hold at most " +
                  std::to_string(kMaxLineBytes));
    // A NUL would silently end a file name or text where the system reads it.
    if (raw.find('\0') != std::string::npos) return fail("holds a NUL byte");
    std::string line = raw;
    // A '#' starts a comment, except inside the free text of name/comment/debug/screenshot verbs,
    // where it is taken as text only when it is not preceded by a blank.
    auto hash = line.find('#');
    if (hash != std::string::npos && (hash == 0 || line[hash - 1] == ' ' || line[hash - 1] == '\t')) line.erase(hash);
    auto first = line.find_first_not_of(" \t");
    if (first == std::string::npos) continue;
    // "wait" may stand without a time: it starts waiting as soon as the line before it was applied.
    const bool untimedWait =
        line.compare(first, 5, "wait ") == 0 || line.compare(first, 5, "wait\t") == 0 || line.substr(first) == "wait";
    std::istringstream ls(untimedWait ? "+0 " + line.substr(first) : line.substr(first));
    std::string msText, verb;
    ls >> msText >> verb;
    // "+MS": counted from the moment the line before was applied.
    const bool relative = msText.starts_with('+');
    const std::string_view digits = std::string_view(msText).substr(relative ? 1 : 0);
    uint32_t ms = 0;
    auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), ms);
    if (digits.empty() || ec != std::errc() || p != digits.data() + digits.size())
      return fail(Quoted(msText) + " is not a time in milliseconds (MS, or +MS after the line before)");
    if (verb.empty()) return fail("no verb after the time");
    const std::optional<Verb> known = VerbByName(verb);
    if (!known) return fail("unknown verb " + Quoted(verb));
    const VerbShape& shape = ShapeOf(*known);
    Event e;
    e.ms = ms;
    e.relative = relative;
    e.verb = *known;
    e.line = lineNo;
    std::string rest;
    std::getline(ls, rest);
    auto rs = rest.find_first_not_of(" \t");
    std::string text = rs == std::string::npos ? std::string() : rest.substr(rs);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    std::vector<std::string> args;
    std::istringstream as(text);
    for (std::string a; as >> a;) args.push_back(a);
    const int n = static_cast<int>(args.size());
    if (n < shape.minArgs) return fail("'" + verb + "' needs " + std::to_string(shape.minArgs) + " argument(s)");
    if (shape.maxArgs >= 0 && n > shape.maxArgs)
      return fail("'" + verb + "' takes " + std::to_string(shape.maxArgs) + " argument(s)");
    if (std::string why = TypeArgs(e, args, text); !why.empty()) return fail("'" + verb + "' " + why);
    events_.push_back(std::move(e));
  }
  // Lines with times since the start are applied in time order, equal times in file order. A wait or a
  // "+MS" line keeps its place: the lines before it are applied first, those after it after.
  auto absolute = [](const Event& e) { return !e.relative && e.verb != Verb::Wait; };
  for (auto run = events_.begin(); run != events_.end();) {
    auto end = std::find_if_not(run, events_.end(), absolute);
    std::stable_sort(run, end, [](const Event& a, const Event& b) { return a.ms < b.ms; });
    run = end == events_.end() ? end : end + 1;
  }
  return true;
}

bool EventScript::Load(const std::string& path, std::string& error) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    error = "the events file " + path + " is a directory";
    return false;
  }
  std::ifstream f(path, std::ios::binary);
  if (!f) {
    error = "cannot read the events file " + path;
    return false;
  }
  // Read in pieces up to one byte past the limit: a device or pipe reports no size to check first.
  std::string text;
  char piece[65536];
  while (f.read(piece, sizeof piece) || f.gcount() > 0) {
    text.append(piece, static_cast<size_t>(f.gcount()));
    if (text.size() > kMaxFileBytes) {
      error =
          "the events file " + path + " is larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB, or has no end";
      return false;
    }
  }
  if (f.bad()) {
    error = "cannot read the events file " + path;
    return false;
  }
  return Parse(text, error);
}

const Event* EventScript::Next() const { return next_ < events_.size() ? &events_[next_] : nullptr; }

uint64_t EventScript::DueMs(const Event& e) const { return e.relative ? uint64_t{lastAppliedMs_} + e.ms : e.ms; }

Event EventScript::Take(uint32_t nowMs) {
  lastAppliedMs_ = nowMs;
  return events_[next_++];
}

std::optional<Event> EventScript::TakeNextDue(uint32_t ms) {
  if (const Event* e = Next(); e && DueMs(*e) <= ms) return Take(ms);
  return std::nullopt;
}

std::vector<Event> EventScript::TakeDue(uint32_t ms) {
  std::vector<Event> due;
  while (std::optional<Event> e = TakeNextDue(ms)) due.push_back(std::move(*e));
  return due;
}

}  // namespace mokuren
