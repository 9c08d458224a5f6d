#include "app/event_script.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "app/message_quote.h"
#include "dialogs/TConfigForm.h"

namespace mokuren {

namespace {

struct VerbShape {
  const char* verb;
  int minArgs;
  int maxArgs;  // -1: a text to the end of the line
};

constexpr VerbShape kVerbs[] = {
    {"click", 2, 2},
    {"rclick", 2, 2},
    {"move", 2, 2},
    {"wheel", 1, 1},
    {"key", 1, 1},
    {"keydown", 1, 1},
    {"keyup", 1, 1},
    {"menu", 1, 1},
    {"float-click", 2, 2},
    {"dialog", 1, 1},
    {"name", 0, -1},
    {"comment", 0, -1},
    {"config", 1, -1},
    {"debug", 2, -1},
    {"quicksave", 0, 0},
    {"quickload", 0, 0},
    {"save", 1, 1},
    {"load", 1, 1},
    {"screenshot", 1, -1},
    {"screenshot-float", 1, -1},
    {"screenshot-saveload", 1, -1},
    {"dialog-text", 1, -1},
    {"quit", 0, 0},
};

const VerbShape* FindVerb(const std::string& v) {
  for (const auto& s : kVerbs)
    if (v == s.verb) return &s;
  return nullptr;
}

bool IsInt(const std::string& s) {
  int v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && p == s.data() + s.size();
}

// Checks the arguments of the verbs whose arguments have a fixed form.
std::string CheckArgs(const Event& e) {
  static const std::set<std::string> keys = {"Enter", "Space", "PageUp", "PageDown", "F1", "F2", "Ctrl"};
  static const std::set<std::string> menus = {"menuKSkip", "menuSSkip", "menuAuto",   "menuWindow", "menuFloat",
                                              "menuSave",  "menuLoad",  "menuConfig", "menuTitle",  "menuQuit"};
  const std::string& v = e.verb;
  if (v == "click" || v == "rclick" || v == "move" || v == "float-click") {
    if (!IsInt(e.args[0]) || !IsInt(e.args[1])) return "wants two whole numbers X Y";
  } else if (v == "wheel") {
    if (e.args[0] != "up" && e.args[0] != "down") return "wants up or down";
  } else if (v == "key" || v == "keydown" || v == "keyup") {
    if (!keys.count(e.args[0])) return "does not know the key " + Quoted(e.args[0]);
  } else if (v == "menu") {
    if (!menus.count(e.args[0])) return "does not know the menu item " + Quoted(e.args[0]);
  } else if (v == "dialog") {
    if (e.args[0] != "ok" && e.args[0] != "cancel") return "wants ok or cancel";
  } else if (v == "save" || v == "load") {
    int n = 0;
    if (!IsInt(e.args[0]) || (n = std::stoi(e.args[0])) < 1 || n > 100) return "wants a slot number 1-100";
  } else if (v == "config") {
    for (const auto& a : e.args)
      if (!ParseConfigControl(a))
        return "does not know the setting " + Quoted(a) +
               " (effects=on|off, mode=window|full, speed=1|2|3, auto=0-20, bgm|se|voice=0-100)";
  } else if (v == "debug") {
    static const std::set<std::string> buttons = {"FLG", "MSG", "RT", "AlbumOn", "AlbumOff", "AlbumRnd", "status"};
    if (!buttons.count(e.args[0])) return "does not know the button " + Quoted(e.args[0]);
  }
  return {};
}

}  // namespace

bool EventScript::KnownVerb(const std::string& verb) { return FindVerb(verb) != nullptr; }

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
    std::istringstream ls(line.substr(first));
    std::string msText, verb;
    ls >> msText >> verb;
    uint32_t ms = 0;
    auto [p, ec] = std::from_chars(msText.data(), msText.data() + msText.size(), ms);
    if (ec != std::errc() || p != msText.data() + msText.size())
      return fail(Quoted(msText) + " is not a time in milliseconds");
    if (verb.empty()) return fail("no verb after the time");
    const VerbShape* shape = FindVerb(verb);
    if (!shape) return fail("unknown verb " + Quoted(verb));
    Event e;
    e.ms = ms;
    e.verb = verb;
    e.line = lineNo;
    std::string rest;
    std::getline(ls, rest);
    auto rs = rest.find_first_not_of(" \t");
    e.text = rs == std::string::npos ? std::string() : rest.substr(rs);
    while (!e.text.empty() && (e.text.back() == ' ' || e.text.back() == '\t')) e.text.pop_back();
    std::istringstream as(e.text);
    for (std::string a; as >> a;) e.args.push_back(a);
    int n = static_cast<int>(e.args.size());
    if (n < shape->minArgs) return fail("'" + verb + "' needs " + std::to_string(shape->minArgs) + " argument(s)");
    if (shape->maxArgs >= 0 && n > shape->maxArgs)
      return fail("'" + verb + "' takes " + std::to_string(shape->maxArgs) + " argument(s)");
    if (std::string why = CheckArgs(e); !why.empty()) return fail("'" + verb + "' " + why);
    events_.push_back(std::move(e));
  }
  // Events are applied in time order; equal times keep their file order.
  std::stable_sort(events_.begin(), events_.end(), [](const Event& a, const Event& b) { return a.ms < b.ms; });
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

std::optional<Event> EventScript::TakeNextDue(uint32_t ms) {
  if (next_ < events_.size() && events_[next_].ms <= ms) return events_[next_++];
  return std::nullopt;
}

std::vector<Event> EventScript::TakeDue(uint32_t ms) {
  std::vector<Event> due;
  while (std::optional<Event> e = TakeNextDue(ms)) due.push_back(std::move(*e));
  return due;
}

}  // namespace mokuren
