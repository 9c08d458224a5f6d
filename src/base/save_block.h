// SAVE.DAT's layout: the game-state record (live, and once per save slot) and the persistent block that
// the file is byte for byte. Every subsystem that keeps state across runs keeps it here.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace mokuren {

static_assert(std::endian::native == std::endian::little, "SAVE.DAT is stored little-endian, as laid out in memory");

// A call/return entry: the script and the step of the call instruction.
struct ReturnEntry {
  int16_t Script;
  int16_t Step;
};

struct LayerPosition {
  int32_t X;
  int32_t Y;
};

// The game-state record: live at the start of SaveBlock, and once per save slot. Every field sits on its
// natural alignment, so the struct has no padding and is the stored image byte for byte.
struct SaveRecord {
  uint8_t Used;  // 1 = the slot holds a saved game
  uint8_t Reserved1[7];
  double SaveDate;               // days since 30 December 1899, fraction = time of day (local clock)
  int16_t ScenarioVarsRaw[512];  // ScenarioVars 1..512; entry 0 would overlap the date and is never used
  int16_t ScriptNo;
  uint8_t Reserved2[2];
  int32_t StepNo;               // instruction being executed; -1 = before the first
  ReturnEntry ReturnTable[16];  // entries 1..16
  int16_t ReturnDepth;
  uint8_t Reserved3[10];
  int32_t BackgroundNo;  // GRAPHIC.DAT entry, 0 = black
  uint8_t Reserved4[8];
  int32_t LayerImage[5];  // layers 1..5, 0 = empty
  LayerPosition LayerPos[5];
  int32_t LayerOpacity[5];  // 255 = opaque
  int32_t BgmNo;
  uint8_t BgmLoop;
  uint8_t BgmVariant;  // tracks up to 7: play the "P" file
  uint8_t Reserved5[34];
  int32_t SeNo[3];  // effect channels 1..3, 0 = none
  uint8_t SeLoop[3];
  uint8_t Reserved6[97];
  uint8_t CursorShown;
  uint8_t SystemMenuAllowed;
  uint8_t SkipAllowed;
  uint8_t Reserved7[3];
  uint16_t Comment[24];  // three lines of 8 UTF-16 units, a line ends early at 0
  uint8_t Reserved8[2];  // where SystemVars entry 0 would fall; never used
};

static_assert(sizeof(SaveRecord) == 1424);
static_assert(std::is_trivially_copyable_v<SaveRecord> && std::is_standard_layout_v<SaveRecord>);
static_assert(offsetof(SaveRecord, SaveDate) == 8);
static_assert(offsetof(SaveRecord, ScenarioVarsRaw) == 16);
static_assert(offsetof(SaveRecord, ScriptNo) == 1040);
static_assert(offsetof(SaveRecord, StepNo) == 1044);
static_assert(offsetof(SaveRecord, ReturnTable) == 1048);
static_assert(offsetof(SaveRecord, ReturnDepth) == 1112);
static_assert(offsetof(SaveRecord, BackgroundNo) == 1124);
static_assert(offsetof(SaveRecord, LayerImage) == 1136);
static_assert(offsetof(SaveRecord, LayerPos) == 1156);
static_assert(offsetof(SaveRecord, LayerOpacity) == 1196);
static_assert(offsetof(SaveRecord, BgmNo) == 1216);
static_assert(offsetof(SaveRecord, BgmLoop) == 1220);
static_assert(offsetof(SaveRecord, BgmVariant) == 1221);
static_assert(offsetof(SaveRecord, SeNo) == 1256);
static_assert(offsetof(SaveRecord, SeLoop) == 1268);
static_assert(offsetof(SaveRecord, CursorShown) == 1368);
static_assert(offsetof(SaveRecord, SystemMenuAllowed) == 1369);
static_assert(offsetof(SaveRecord, SkipAllowed) == 1370);
static_assert(offsetof(SaveRecord, Comment) == 1374);

inline constexpr int kReadMarkBanks = 16;
inline constexpr int kReadMarkBankBytes = 16384;
inline constexpr int kSaveSlots = 100;
inline constexpr int kQuickSlot = 100;
inline constexpr int kCgSeenFirst = 351;  // CgSeenFlags[0] is image entry 351
inline constexpr int kCgSeenCount = 409;

// The persistent block: SAVE.DAT is exactly this, byte for byte.
struct SaveBlock {
  SaveRecord Live;
  int16_t SystemVarsRaw[512];  // SystemVars 1..512
  uint8_t CgSeenFlags[kCgSeenCount];
  uint8_t ReadMarks[kReadMarkBanks][kReadMarkBankBytes];
  uint8_t Reserved1[3];
  int32_t MessageSpeed;  // 1 fast, 2 normal, 3 slow
  uint8_t EffectsOn;
  uint8_t Reserved2[3];
  int32_t VoiceVolume;  // percent 0..100
  int32_t BgmVolume;
  int32_t SeVolume;
  int32_t AutoDelay;  // seconds 0..20
  uint8_t Reserved3[1];
  uint8_t FullScreen;
  uint8_t Reserved4[2];
  uint16_t StoredHeroName[16];  // UTF-16, ended by 0 when shorter than 16
  int32_t AlbumBgmNo;
  uint8_t Reserved5[4];
  SaveRecord Slots[kSaveSlots];  // slots 1..100; slot 100 is the quick-save slot

  SaveRecord& Slot(int n) { return Slots[n - 1]; }
  const SaveRecord& Slot(int n) const { return Slots[n - 1]; }
};

inline constexpr std::size_t kSaveFileSize = 407472;
static_assert(sizeof(SaveBlock) == kSaveFileSize);
static_assert(std::is_trivially_copyable_v<SaveBlock> && std::is_standard_layout_v<SaveBlock>);
static_assert(offsetof(SaveBlock, SystemVarsRaw) == 1424);
static_assert(offsetof(SaveBlock, CgSeenFlags) == 2448);
static_assert(offsetof(SaveBlock, ReadMarks) == 2857);
static_assert(offsetof(SaveBlock, MessageSpeed) == 265004);
static_assert(offsetof(SaveBlock, EffectsOn) == 265008);
static_assert(offsetof(SaveBlock, VoiceVolume) == 265012);
static_assert(offsetof(SaveBlock, BgmVolume) == 265016);
static_assert(offsetof(SaveBlock, SeVolume) == 265020);
static_assert(offsetof(SaveBlock, AutoDelay) == 265024);
static_assert(offsetof(SaveBlock, FullScreen) == 265029);
static_assert(offsetof(SaveBlock, StoredHeroName) == 265032);
static_assert(offsetof(SaveBlock, AlbumBgmNo) == 265064);
static_assert(offsetof(SaveBlock, Slots) == 265072);
static_assert(offsetof(SaveBlock, Slots) + 99 * sizeof(SaveRecord) == 406048);  // the quick-save slot

}  // namespace mokuren
