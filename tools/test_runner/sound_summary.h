// What a recording sounds like, second by second: for each channel its level (RMS in dB below full
// scale) and its pitch (half the rate of zero crossings, in Hz). Small enough to keep as a golden text
// file beside the test, and tolerant of mixing that differs by a rounding.
//
// The file: comment lines "# mokuren-test: level=DB pitch=PERCENT" set the tolerances (1.5 dB and 10 %
// by default), other "#" lines are comments, and each further line is
// "SECOND LEFT-DB LEFT-HZ RIGHT-DB RIGHT-HZ ...".
#pragma once

#include <string>
#include <vector>

#include "toolkit/wav_reader.h"

namespace mokuren::testrunner {

struct ChannelSecond {
  double level = 0;  // dB below full scale; kSilence for digital silence
  double pitch = 0;  // Hz
};

struct SoundSummary {
  double levelTolerance = 1.5;                      // dB
  double pitchTolerance = 10;                       // percent
  std::vector<std::vector<ChannelSecond>> seconds;  // [second][channel]
};

inline constexpr double kSilence = -96;
// Below this level a second counts as quiet: its level is compared only against other quiet ones' and
// its pitch not at all (the pitch of a murmur is noise).
inline constexpr double kQuiet = -60;

SoundSummary SummariseSound(const toolkit::WavSamples& wav);

std::string FormatSoundSummary(const SoundSummary& summary);
// False, with `error` naming the line, for a line that is not a second of the summary.
bool ParseSoundSummary(const std::string& text, SoundSummary& summary, std::string& error);

// The seconds where `actual` differs from `golden` beyond the golden's tolerances, described one a line
// ("second 3, left: level -20.1 dB, golden -31.0 dB"), at most `limit` of them; empty when they agree.
std::vector<std::string> CompareSound(const SoundSummary& golden, const SoundSummary& actual, size_t limit = 8);

}  // namespace mokuren::testrunner
