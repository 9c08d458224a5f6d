// Where the engine shows each system picture (SYSGRP.DAT), for the translator who redraws them: the list
// `mokuren-i18n pictures` writes beside the pictures.
#pragma once

#include <cstdint>
#include <string>

namespace mokuren::i18n {

// What the picture of entry `entry` is and where it is shown; empty for an entry the engine never loads.
std::string SystemPictureUse(int32_t entry);

}  // namespace mokuren::i18n
