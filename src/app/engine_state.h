// The engine's variables. The persistent ones live inside SaveBlock, which is the byte image of SAVE.DAT;
// the run-time ones live beside it and are never written.
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

// The module-level engine variables. The persistent ones are references into the block, so the engine
// reads and writes SAVE.DAT's image directly and saving copies nothing.
struct EngineState {
  // Transition: the block is SaveData's (save/save_data.h); this is the name the subsystems still use. It
  // goes once every subsystem binds its persistent fields into the block it is given.
  const std::unique_ptr<SaveBlock>& Block;

  // Persistent: the live record.
  uint8_t& CursorShown = Block->Live.CursorShown;
  uint8_t& SystemMenuAllowed = Block->Live.SystemMenuAllowed;
  uint8_t& SkipAllowed = Block->Live.SkipAllowed;

  // Persistent: the system area.
  int32_t& MessageSpeed = Block->MessageSpeed;
  int32_t& AutoDelay = Block->AutoDelay;
  uint8_t& FullScreen = Block->FullScreen;
  uint16_t (&StoredHeroName)[16] = Block->StoredHeroName;
  int32_t& AlbumBgmNo = Block->AlbumBgmNo;

  // Run-time only.
  int32_t TaskCode = 0;
  double NextFrameTime = 0;
  int32_t DelayTicks = 0;
  uint8_t DebugMode = 0;

  explicit EngineState(const std::unique_ptr<SaveBlock>& block) : Block(block) {}
  EngineState(const EngineState&) = delete;
  EngineState& operator=(const EngineState&) = delete;
};

}  // namespace mokuren
