// How a modal form was left: ShowModal runs engine passes while the result is mrNone.
#pragma once

namespace mokuren {

inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;

}  // namespace mokuren
