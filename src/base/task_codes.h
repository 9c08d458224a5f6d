// TaskCode: what the main loop's pass runs. A task ends by setting the next one.
#pragma once

#include <cstdint>

namespace mokuren {

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

}  // namespace mokuren
