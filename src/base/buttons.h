// The row of ten on-screen buttons along the message window: what each does and the looks it can take.
#pragma once

#include <cstdint>

namespace mokuren {

namespace button {
// Buttons 1 and 2 are never shown.
inline constexpr int MusicVariant = 3;  // the music's other version
inline constexpr int Voice = 4;         // the voice again
inline constexpr int QuickSave = 5;
inline constexpr int QuickLoad = 6;
inline constexpr int SaveScreen = 7;
inline constexpr int LoadScreen = 8;
inline constexpr int ReadSkip = 9;
inline constexpr int Auto = 10;
inline constexpr int Count = 10;
}  // namespace button

// A button's look, which is also the row of its picture in the button sheet (hidden has none).
namespace button_state {
inline constexpr int32_t Hidden = -1;
inline constexpr int32_t Normal = 0;
inline constexpr int32_t Hover = 1;
inline constexpr int32_t On = 2;
inline constexpr int32_t OnHover = 3;
inline constexpr int32_t Disabled = 4;
}  // namespace button_state

}  // namespace mokuren
