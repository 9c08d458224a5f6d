#include "explorer/explore_report.h"

#include <cstdio>
#include <ostream>
#include <sstream>

#include "toolkit/archive_writer.h"
#include "toolkit/html_text.h"

namespace mokuren::explorer {

namespace {

bool Bad(PathEnd end) { return end == PathEnd::DeadEnd || end == PathEnd::Loop || end == PathEnd::TooLong; }

std::string Html(const std::string& text) { return toolkit::HtmlEscaped(text); }

std::string Count(size_t reached, size_t total) { return std::to_string(reached) + " / " + std::to_string(total); }

std::string Seconds(double s) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f s", s);
  return text;
}

constexpr const char* kStyle =
    "body{font-family:sans-serif;margin:2em;max-width:80em}"
    "table{border-collapse:collapse}td,th{padding:.2em .8em;text-align:left;border-bottom:1px solid #ddd;"
    "vertical-align:top}.ok{color:#262}.bad{color:#b00;font-weight:bold}.note{color:#a60}";

}  // namespace

ExploreSummary Summarize(const ExploreResult& result) {
  ExploreSummary s;
  for (const auto& [number, script] : result.catalog.scripts) {
    if (number >= kFirstAlbumScript) {
      s.albumScripts.push_back(number);
      continue;
    }
    ++s.scripts;
    if (result.ScriptReached(number))
      ++s.scriptsReached;
    else
      s.scriptsUnreached.push_back(number);
    auto lines = [&, number = number](const std::vector<CatalogLine>& list, size_t& total, size_t& reached,
                                      const char* kind) {
      for (const CatalogLine& line : list) {
        ++total;
        if (result.Ran(number, line.step))
          ++reached;
        else
          s.unreached.push_back({number, line.step, kind, line.text});
      }
    };
    lines(script.messages, s.messages, s.messagesReached, "message");
    lines(script.choices, s.choices, s.choicesReached, "choice");
    for (const CatalogLabel& label : script.labels) {
      ++s.labels;
      if (result.LabelReached(number, label.step))
        ++s.labelsReached;
      else
        s.unreached.push_back({number, label.step, "label", "*" + label.name});
    }
  }
  for (const ExploredPath& path : result.paths) {
    s.endings += path.end == PathEnd::Title || path.end == PathEnd::Closed;
    s.merged += path.end == PathEnd::Merged;
    s.deadEnds += Bad(path.end);
  }
  s.clean = result.Complete() && s.unreached.empty() && s.scriptsUnreached.empty() && s.deadEnds == 0 &&
            result.errors.empty();
  return s;
}

void WriteTextReport(std::ostream& out, const ExploreResult& result, const ExploreSummary& s, const std::string& game) {
  out << "explored " << game << ": " << result.paths.size() << " paths (" << s.endings << " to an end, " << s.merged
      << " joining an explored state, " << s.deadEnds << " dead ends), " << result.statesAtChoices
      << " states at choices, in " << Seconds(result.seconds) << '\n';
  if (!result.startFailure.empty()) out << "  the game did not start: " << result.startFailure << '\n';
  if (!result.Complete())
    out << "  NOT COMPLETE: a bound stopped the explorer with " << result.queuedLeft << " branches not explored\n";
  out << "  messages " << Count(s.messagesReached, s.messages) << ", choices " << Count(s.choicesReached, s.choices)
      << ", labels " << Count(s.labelsReached, s.labels) << ", scripts " << Count(s.scriptsReached, s.scripts)
      << " reached\n";
  if (!s.albumScripts.empty()) {
    out << "  album scenes (played from the album, not from script 1):";
    for (int n : s.albumScripts) out << ' ' << n;
    out << '\n';
  }
  for (int n : s.scriptsUnreached) out << "  never reached: script " << n << '\n';
  for (const Unreached& u : s.unreached)
    out << "  never reached: script " << u.script << " step " << u.step << ' ' << u.kind << ' ' << u.text << '\n';
  for (size_t i = 0; i < result.paths.size(); ++i) {
    const ExploredPath& path = result.paths[i];
    if (Bad(path.end))
      out << "  " << PathEndName(path.end) << ": " << path.where << "\n    after: " << DescribePath(path) << '\n';
  }
  for (const MetError& e : result.errors)
    out << "  error list: " << e.line << "\n    after: " << DescribePath(result.paths[e.path]) << '\n';
  out << (s.clean ? "everything was reached, with no dead end and no error\n" : "not everything was reached cleanly\n");
}

void WriteHtmlReport(const std::filesystem::path& file, const ExploreResult& result, const ExploreSummary& s,
                     const std::string& game) {
  std::ostringstream h;
  h << "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\"><title>mokuren-test --explore: " << Html(game)
    << "</title><style>" << kStyle << "</style></head><body>\n";
  h << "<h1>Branch explorer: " << Html(game) << "</h1>\n<p class=\"" << (s.clean ? "ok" : "bad") << "\">"
    << (s.clean ? "Everything was reached, with no dead end and no error." : "Not everything was reached cleanly.")
    << "</p>\n<table><tr><th>paths</th><td>" << result.paths.size() << " (" << s.endings << " to an end, " << s.merged
    << " joining an explored state, " << s.deadEnds << " dead ends)</td></tr>\n<tr><th>states at choices</th><td>"
    << result.statesAtChoices << "</td></tr>\n<tr><th>time</th><td>" << Seconds(result.seconds)
    << "</td></tr>\n<tr><th>messages</th><td>" << Count(s.messagesReached, s.messages)
    << "</td></tr>\n<tr><th>choices</th><td>" << Count(s.choicesReached, s.choices)
    << "</td></tr>\n<tr><th>labels</th><td>" << Count(s.labelsReached, s.labels)
    << "</td></tr>\n<tr><th>scripts</th><td>" << Count(s.scriptsReached, s.scripts) << "</td></tr>\n";
  if (!s.albumScripts.empty()) {
    h << "<tr><th>album scenes</th><td>";
    for (int n : s.albumScripts) h << n << ' ';
    h << "(played from the album, not from script 1)</td></tr>\n";
  }
  h << "</table>\n";
  if (!result.startFailure.empty())
    h << "<p class=\"bad\">The game did not start: " << Html(result.startFailure) << "</p>\n";
  if (!result.Complete())
    h << "<p class=\"bad\">A bound stopped the explorer with " << result.queuedLeft << " branches not explored.</p>\n";
  h << "<h2>Per script</h2>\n<table><tr><th>script</th><th>messages</th><th>choices</th><th>labels</th></tr>\n";
  for (const auto& [number, script] : result.catalog.scripts) {
    if (number >= kFirstAlbumScript) continue;
    size_t m = 0, c = 0, l = 0;
    for (const CatalogLine& line : script.messages) m += result.Ran(number, line.step);
    for (const CatalogLine& line : script.choices) c += result.Ran(number, line.step);
    for (const CatalogLabel& label : script.labels) l += result.LabelReached(number, label.step);
    const bool all = m == script.messages.size() && c == script.choices.size() && l == script.labels.size();
    h << "<tr class=\"" << (all ? "ok" : "bad") << "\"><td>" << number << "</td><td>"
      << Count(m, script.messages.size()) << "</td><td>" << Count(c, script.choices.size()) << "</td><td>"
      << Count(l, script.labels.size()) << "</td></tr>\n";
  }
  h << "</table>\n";
  if (!s.unreached.empty() || !s.scriptsUnreached.empty()) {
    h << "<h2>Never reached</h2>\n<table><tr><th>script</th><th>step</th><th>what</th><th>text</th></tr>\n";
    for (int n : s.scriptsUnreached) h << "<tr><td>" << n << "</td><td></td><td>script</td><td></td></tr>\n";
    for (const Unreached& u : s.unreached)
      h << "<tr><td>" << u.script << "</td><td>" << u.step << "</td><td>" << u.kind << "</td><td>" << Html(u.text)
        << "</td></tr>\n";
    h << "</table>\n";
  }
  if (!result.errors.empty()) {
    h << "<h2>Error list</h2>\n<table><tr><th>line</th><th>first met after</th></tr>\n";
    for (const MetError& e : result.errors)
      h << "<tr><td class=\"bad\">" << Html(e.line) << "</td><td>" << Html(DescribePath(result.paths[e.path]))
        << "</td></tr>\n";
    h << "</table>\n";
  }
  h << "<h2>Paths</h2>\n<table><tr><th>#</th><th>how it ended</th><th>choices</th><th>where</th><th>game "
       "clock from its choice</th></tr>\n";
  for (size_t i = 0; i < result.paths.size(); ++i) {
    const ExploredPath& path = result.paths[i];
    h << "<tr><td>" << i + 1 << "</td><td class=\"" << (Bad(path.end) ? "bad" : "ok") << "\">" << PathEndName(path.end)
      << "</td><td>" << Html(DescribePath(path)) << "</td><td>" << Html(path.where) << "</td><td>" << path.gameMs
      << " ms</td></tr>\n";
  }
  h << "</table>\n</body></html>\n";
  toolkit::WriteWholeFile(file, h.str());
}

}  // namespace mokuren::explorer
