// The one-page report of a run: every test and check, the differences of those that failed, and the
// pictures to look at before rewriting a golden.
#pragma once

#include <filesystem>
#include <vector>

#include "test_runner/test_runner.h"

namespace mokuren::testrunner {

void WriteHtmlReport(const std::filesystem::path& file, const RunnerOptions& options,
                     const std::vector<CaseResult>& results);

}  // namespace mokuren::testrunner
