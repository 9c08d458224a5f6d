#include "test_runner/html_report.h"

#include <cstdio>

#include "toolkit/archive_writer.h"
#include "toolkit/html_text.h"

namespace mokuren::testrunner {

namespace {

std::string Html(const std::string& text) { return toolkit::HtmlEscaped(text); }

const char* OutcomeName(Outcome o) {
  switch (o) {
    case Outcome::Passed: return "passed";
    case Outcome::Failed: return "failed";
    case Outcome::Updated: return "updated";
  }
  return "";
}

constexpr const char* kStyle =
    "body{font-family:sans-serif;margin:2em;max-width:80em}"
    "table{border-collapse:collapse}td,th{padding:.2em .8em;text-align:left;border-bottom:1px solid #ddd}"
    ".passed{color:#262}.failed{color:#b00;font-weight:bold}.updated{color:#a60}"
    "pre{background:#f4f4f4;padding:.5em;white-space:pre-wrap}img{max-width:100%;border:1px solid #888}";

}  // namespace

void WriteHtmlReport(const std::filesystem::path& file, const RunnerOptions& options,
                     const std::vector<CaseResult>& results) {
  size_t failed = 0;
  for (const CaseResult& r : results) failed += r.Failed() ? 1 : 0;
  std::string page =
      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>mokuren-test: " + Html(options.tests.string()) +
      "</title><style>" + kStyle + "</style></head><body>\n";
  page += "<h1>mokuren-test</h1>\n<p>" + Html(options.tests.string()) + " against " + Html(options.game.string()) +
          ": " + std::to_string(results.size() - failed) + " of " + std::to_string(results.size()) +
          " tests passed.</p>\n<table><tr><th>test</th><th>result</th><th>time</th></tr>\n";
  for (const CaseResult& r : results) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f s", r.seconds);
    page += "<tr><td><a href=\"#" + Html(r.name) + "\">" + Html(r.name) + "</a></td><td class=\"" +
            (r.Failed() ? "failed\">failed" : "passed\">passed") + "</td><td>" + seconds + "</td></tr>\n";
  }
  page += "</table>\n";
  for (const CaseResult& r : results) {
    page += "<h2 id=\"" + Html(r.name) + "\">" + Html(r.name) + "</h2>\n<table>\n";
    for (const CheckResult& c : r.checks) {
      page += "<tr><td>" + Html(c.what) + "</td><td class=\"" + OutcomeName(c.outcome) + "\">" +
              OutcomeName(c.outcome) + "</td><td>" + Html(c.detail.substr(0, c.detail.find('\n'))) + "</td></tr>\n";
    }
    page += "</table>\n";
    for (const CheckResult& c : r.checks) {
      if (c.outcome == Outcome::Passed) continue;
      if (c.detail.find('\n') != std::string::npos) page += "<pre>" + Html(c.detail) + "</pre>\n";
      if (!c.picture.empty())
        page += "<p>" + Html(c.what) + " (golden, this run, difference):<br><a href=\"" + Html(c.picture) +
                "\"><img src=\"" + Html(c.picture) + "\" alt=\"" + Html(c.what) + "\"></a></p>\n";
    }
    if (!r.gameOutput.empty())
      page += "<details><summary>what the game reported</summary><pre>" + Html(r.gameOutput) + "</pre></details>\n";
  }
  page += "</body></html>\n";
  toolkit::WriteWholeFile(file, page);
}

}  // namespace mokuren::testrunner
