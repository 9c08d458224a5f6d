#include "sound/sound_files.h"

#include <algorithm>

namespace mokuren {

namespace {

std::string Numbered(char kind, int no, bool variant) {
  return std::string("Sound\\") + kind + (no < 10 ? "0" : "") + std::to_string(no) + (variant ? "P.ogg" : ".ogg");
}

}  // namespace

std::string MusicFileName(int no, bool variant) {
  return Numbered('M', no, variant && no >= kFirstTrackWithVariant && no <= kLastTrackWithVariant);
}

std::string EffectFileName(int no) { return Numbered('S', no, false); }

std::u16string VoiceFileName(const std::u16string& name) { return u"VOICE\\" + name + u".ogg"; }

std::u16string ShownSoundPath(std::u16string name) {
  std::replace(name.begin(), name.end(), u'\\', u'/');
  return name;
}

}  // namespace mokuren
