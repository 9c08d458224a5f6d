// The sound subsystem and the opening movie on their own, each with a small fake host in place of the
// engine: what they ask of the rest of the game, and what they keep in the save block they are given.
#include <gtest/gtest.h>

#include "base/error_list.h"
#include "base/sound_slots.h"
#include "base/task_codes.h"
#include "movie/opening_movie.h"
#include "ogg_encode.h"
#include "platform/headless/headless_platform.h"
#include "sound/sound_system.h"
#include "support/engine_fixture.h"
#include "support/test_movie.h"

namespace mokuren::testing {
namespace {

struct FakeSoundHost final : SoundHost {
  bool skipping = false;
  bool SceneSkipping() override { return skipping; }
};

TEST(SoundSystemAlone, AnEffectStartsOnlyWhenTheHostSkipsNoSceneAndItsBlockKeepsItEitherWay) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "Sound");
  WriteFile(dir.path() / "Sound/S01.ogg", EncodeOgg(Sine(440, 8000, 0.5, 2, 44100), 2, 44100));
  HeadlessPlatform platform;
  ErrorList errors;
  auto block = std::make_unique<SaveBlock>();
  std::filesystem::path gameDir;  // start-up finds the game after the subsystems are made
  FakeSoundHost host;
  SoundSystem sound(host, platform, errors, *block, gameDir, {});
  sound.CreateSound();
  gameDir = dir.path();

  host.skipping = true;
  sound.Kumo_PlaySE(1, 1, 1, 0);
  EXPECT_EQ(block->Live.SeNo[0], 1);
  EXPECT_LE(sound.SlotStatus(stream::EffectSlot(1)), 1);
  host.skipping = false;
  sound.Kumo_PlaySE(1, 1, 1, 0);
  EXPECT_EQ(sound.SlotStatus(stream::EffectSlot(1)), 3);
  EXPECT_TRUE(errors.Lines().empty());
}

// A movie sound that plays for as long as the test says.
struct FakeMovieHost final : MovieHost {
  bool soundPlaying = false, skip = false;
  int32_t taskCode = 0;
  int musicStops = 0;
  void PlayMovieSound(const std::vector<int16_t>& stereo, int) override { soundPlaying = !stereo.empty(); }
  void StopMovieSound() override { soundPlaying = false; }
  bool MovieSoundPlaying() override { return soundPlaying; }
  void StopMusic() override { ++musicStops; }
  void SetTaskCode(int32_t code) override { taskCode = code; }
  bool SkipPressed() override { return skip; }
  void DropPendingClick() override { skip = false; }
};

TEST(OpeningMovieAlone, TheAlbumsMovieWaitsForTheHostsSoundAfterItsLastPicture) {
  TempDir dir;
  TestMovie clip;
  clip.frames = 5;
  clip.draw = FlatFrames([](int) { return 0x808080u; });
  WriteFile(dir.path() / "op.ogv", MakeTestMovie(clip));
  HeadlessPlatform platform;
  ErrorList errors;
  FakeMovieHost host;
  OpeningMovie movie(host, platform, errors, dir.path());
  movie.Kuri_TheoraInit();

  host.skip = true;  // a click from before the movie does not skip it
  movie.StartAlbumMovie();
  EXPECT_EQ(host.musicStops, 1);
  EXPECT_TRUE(host.soundPlaying);
  EXPECT_EQ(host.taskCode, task::WaitMovieAlbum);
  platform.Sleep(1000);
  movie.MovieFrameStep();
  EXPECT_FALSE(movie.MoviePlaying());
  movie.Kumo_WaitMovieAlbum();
  EXPECT_EQ(host.taskCode, task::WaitMovieAlbum);
  host.soundPlaying = false;
  movie.Kumo_WaitMovieAlbum();
  EXPECT_EQ(host.taskCode, task::AlbumMenuOpen);
  EXPECT_TRUE(errors.Lines().empty());
}

}  // namespace
}  // namespace mokuren::testing
