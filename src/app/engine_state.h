// The main loop's own variables, beside the subsystems. The persistent settings and permissions are not
// here: each subsystem binds those it uses into the save block SaveData owns.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "base/archive_kind.h"
#include "base/buttons.h"
#include "base/frame.h"
#include "base/play_state.h"
#include "base/save_block.h"
#include "base/sound_slots.h"
#include "base/task_codes.h"
#include "base/var_bank.h"

namespace mokuren {

// The task dispatch and the frame and timer counts of the main loop; never written to SAVE.DAT.
struct EngineState {
  int32_t TaskCode = 0;
  double NextFrameTime = 0;
  int32_t DelayTicks = 0;
  uint8_t DebugMode = 0;

  EngineState() = default;
  EngineState(const EngineState&) = delete;
  EngineState& operator=(const EngineState&) = delete;
};

}  // namespace mokuren
