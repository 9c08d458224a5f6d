// The modal forms up, innermost last, and those a backend without nested loops leaves open as states of
// the main loop, each with what follows its answer.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/platform.h"

namespace mokuren {

struct ModalForms {
  struct Open {
    FormId form;
    int* result;
    std::function<void(int)> then;
  };
  std::vector<FormId> shown;
  std::vector<Open> open;

  std::optional<FormId> Front() const {
    if (shown.empty()) return std::nullopt;
    return shown.back();
  }
};

}  // namespace mokuren
