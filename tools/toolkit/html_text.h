// Text put into the HTML reports of the tools (the test runner's and the branch explorer's).
#pragma once

#include <string>

namespace mokuren::toolkit {

// `text` with the characters that mean something in HTML (< > & ") written as entities.
std::string HtmlEscaped(const std::string& text);

}  // namespace mokuren::toolkit
