#include <iostream>
#include <sstream>

#include "platform/platform.h"

namespace mokuren {

void PrintFatalMessage(const std::string& utf8) {
  std::istringstream lines(utf8);
  for (std::string line; std::getline(lines, line);) std::cerr << "mokuren: " << line << '\n';
}

}  // namespace mokuren
