// The engine's variables. The persistent ones live inside SaveBlock, which is the byte image of SAVE.DAT;
// the run-time ones live beside it and are never written.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
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

// A bank of 512 script variables numbered 1..512. Numbers outside that range read 0 and write nowhere,
// so a malformed script cannot reach memory beside the bank.
class VarBank {
 public:
  explicit VarBank(int16_t* first) : first_(first) {}
  static bool Valid(int n) { return n >= 1 && n <= 512; }
  int16_t Get(int n) const { return Valid(n) ? first_[n - 1] : 0; }
  void Set(int n, int16_t v) {
    if (Valid(n)) first_[n - 1] = v;
  }
  int16_t& operator[](int n) { return Valid(n) ? first_[n - 1] : scratch_; }
  void Clear() { std::fill(first_, first_ + 512, int16_t{0}); }

 private:
  int16_t* first_;
  int16_t scratch_ = 0;
};

// TaskCode values of the main loop.
namespace task {
inline constexpr int32_t Init = -1;
inline constexpr int32_t Script = 0;
inline constexpr int32_t Effect01 = 0x2001;
inline constexpr int32_t Effect91 = 0x2091;
inline constexpr int32_t MessageTyping = 0x6001;
inline constexpr int32_t MessageWait = 0x6002;
inline constexpr int32_t SelectWait = 0x6802;
inline constexpr int32_t TitleMenuOpen = 0x700101;
inline constexpr int32_t TitleMenu = 0x700102;
inline constexpr int32_t AlbumMenuOpen = 0x700201;
inline constexpr int32_t AlbumMenu = 0x700202;
inline constexpr int32_t BgmMenuOpen = 0x700301;
inline constexpr int32_t BgmMenu = 0x700302;
inline constexpr int32_t CgMenuOpen = 0x700401;
inline constexpr int32_t CgMenu = 0x700402;
inline constexpr int32_t CgOpen = 0x700491;
inline constexpr int32_t Cg = 0x700492;
inline constexpr int32_t EvMenuOpen = 0x700501;
inline constexpr int32_t EvMenu = 0x700502;
inline constexpr int32_t Restore = 0x800001;
inline constexpr int32_t Wait = 0x800101;
inline constexpr int32_t WaitKey = 0x800102;
inline constexpr int32_t WaitMovie = 0x800103;
inline constexpr int32_t WaitMovieAlbum = 0x800104;
inline constexpr int32_t NameEntry = 0x800201;
}  // namespace task

// The module-level engine variables. The persistent ones are references into the block, so the engine
// reads and writes SAVE.DAT's image directly and saving copies nothing.
struct EngineState {
  std::unique_ptr<SaveBlock> Block = std::make_unique<SaveBlock>();  // zero-filled

  // Persistent: the live record.
  VarBank ScenarioVars{Block->Live.ScenarioVarsRaw};
  int16_t& ScriptNo = Block->Live.ScriptNo;
  int32_t& StepNo = Block->Live.StepNo;
  ReturnEntry (&ReturnTable)[16] = Block->Live.ReturnTable;
  int16_t& ReturnDepth = Block->Live.ReturnDepth;
  int32_t& BackgroundNo = Block->Live.BackgroundNo;
  int32_t (&LayerImage)[5] = Block->Live.LayerImage;
  LayerPosition (&LayerPos)[5] = Block->Live.LayerPos;
  int32_t (&LayerOpacity)[5] = Block->Live.LayerOpacity;
  uint8_t& CursorShown = Block->Live.CursorShown;
  uint8_t& SystemMenuAllowed = Block->Live.SystemMenuAllowed;
  uint8_t& SkipAllowed = Block->Live.SkipAllowed;

  // Persistent: the system area.
  VarBank SystemVars{Block->SystemVarsRaw};
  uint8_t (&CgSeenFlags)[kCgSeenCount] = Block->CgSeenFlags;
  uint8_t (&ReadMarks)[kReadMarkBanks][kReadMarkBankBytes] = Block->ReadMarks;
  int32_t& MessageSpeed = Block->MessageSpeed;
  uint8_t& EffectsOn = Block->EffectsOn;
  int32_t& VoiceVolume = Block->VoiceVolume;
  int32_t& BgmVolume = Block->BgmVolume;
  int32_t& SeVolume = Block->SeVolume;
  int32_t& AutoDelay = Block->AutoDelay;
  uint8_t& FullScreen = Block->FullScreen;
  uint16_t (&StoredHeroName)[16] = Block->StoredHeroName;
  int32_t& AlbumBgmNo = Block->AlbumBgmNo;

  // Run-time only.
  int32_t TaskCode = 0;
  int32_t ResumeTaskCode = 0;
  std::array<int16_t, 512> WorkVarsRaw{};
  VarBank WorkVars{WorkVarsRaw.data()};
  std::array<int32_t, 120> SceneTableRaw{};  // entries 1..120 at index 0..119
  int32_t SceneTableCursor = 0;
  uint8_t NormalPlay = 0;
  int32_t TitleReturnStep = 0;
  double NextFrameTime = 0;
  int32_t WaitDeadline = 0;
  uint8_t WaitClickable = 0;
  int32_t DelayTicks = 0;
  uint8_t ReadSkip = 0, SceneSkip = 0, FastForward = 0, AutoMode = 0, SectionSkip = 0, SectionSkipRequest = 0;
  uint8_t DebugMode = 0;
  std::u16string LineStartForbidden;
  std::u16string LineEndForbidden;
  std::u16string HeroName;
  std::u16string NoticeText;
  int32_t NoticeTimer = 0;

  EngineState() = default;
  EngineState(const EngineState&) = delete;
  EngineState& operator=(const EngineState&) = delete;
};

}  // namespace mokuren
