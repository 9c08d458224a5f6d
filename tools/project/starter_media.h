// The placeholder pictures and sounds a new game starts with, for the writer to replace: a plain
// background, a character figure on a full 800x600 canvas, short music and an effect. Everything is
// generated, the same bytes on every run.
#pragma once

#include <string>

namespace mokuren::project {

// An 800x600 background: a soft gradient with a few pale rings, "BG01" in a corner.
std::string PlaceholderBackground();
// A grey figure standing in the middle of a transparent 800x600 canvas, as layers want every character.
std::string PlaceholderCharacter();
// A looping piece of music in Ogg Vorbis: a few seconds of a calm arpeggio in the key of `root` (a MIDI
// note), carrying the "*looptime" comment the engine loops by.
std::string PlaceholderMusic(int root, double seconds);
// A short chime.
std::string PlaceholderEffect();

}  // namespace mokuren::project
