// Sound effects and music through the mixer on the dummy audio device.
#include "support.h"

#include <SDL_mixer.h>
namespace {

// A running engine beside a short and a long sound of the game's, the long one with 8 KiB of
// other data before its format, the short one again with a long format, and files that are no
// sound.
struct SoundTest : testing::Test {
  void SetUp() override {
    const std::string shot = read_file(exe_dir() + "res/piou.wav");                       // 0.2 s
    std::string listed = read_file(exe_dir() + "res/alarm.wav"), wide = shot, fat = shot; // 1.5 s
    listed.insert(12, std::string("LIST\0\x20\0\0", 8) + std::string(8192, 'x'));
    wide[22] = 0, wide[23] = 1; // 256 channels, which stopped the mixer's music reader dead
    // fat: a format of 4068 bytes, which leaves a 4 KiB head no room for samples.
    fat.insert(36, std::string(4052, '\0')), fat[16] = '\xe4', fat[17] = '\x0f';
    // clang-format off
    for (const auto &[name, bytes] : {std::pair<const char *, std::string>{"short.wav", shot},
             {"long.wav", listed}, {"text.wav", "RIFF? no, just some text\n"}, {"tiny.wav", "BMz@"},
             {"wide.wav", wide}, {"fat.wav", fat}})
      ASSERT_TRUE(write_file(dir + name, bytes)); // tiny: too short for any reader
    // clang-format on
  }
  std::string path(const char *name) const { return relative_to_exe(dir + name); }
  int load(const char *name, float vol = 10.0f) { return VEL_SoundLoad(path(name).c_str(), vol); }
  Engine engine;
  std::string dir = make_temp_dir();
};

// Ids in load order, the same file again in a new slot, up to 64, and a 65th refused; broken
// files take none, as effects or as music (and the sanitizer build sees that nothing of them is
// lost).
TEST_F(SoundTest, IdsInLoadOrderBrokenFilesTakeNone) {
  for (const char *name : {"missing.wav", "text.wav", "tiny.wav", "wide.wav"}) {
    LogCapture log;
    EXPECT_EQ(load(name), -1);
    Lines said{path(name) + ": " + SDL_GetError()}; // one line each
    EXPECT_EQ(VEL_PlayMusic(path(name).c_str(), -1), -1);
    EXPECT_EQ(log.lines(), (said.push_back(path(name) + ": " + SDL_GetError()), said));
  }
  for (int id = 0; id < VEL_MAX_SOUNDS; ++id)
    ASSERT_EQ(load("short.wav"), id);
  LogCapture log;
  const std::vector<int> refused{load("short.wav"), VEL_PlaySound(-1), VEL_PlaySound(64)};
  EXPECT_EQ(refused, std::vector<int>(3, -1));
  EXPECT_EQ(log.lines(),
            (Lines{"reached sounds limit (64)", "id is negative", "no sound with id 64"}));
}

// Volumes are truncated to mixer units, an effect's as given, the music's as a fraction of
// full; each play takes the next free channel, and with every channel busy one more play is
// refused while the others go on.
TEST_F(SoundTest, VolumesAndChannels) {
  // An effect's volume and its units; a music volume and its units.
  const std::tuple<float, int, float, int> volumes[] = {
      {10.9f, 10, 0.5f, 64}, {20.0f, 20, 1.0f, 128}, {0.0f, 0, 0.999f, 127}, {128.0f, 128, 0, 0}};
  for (int id = 0; id < 4; ++id) {
    const auto &[effect, effect_units, music, music_units] = volumes[id];
    ASSERT_EQ(load("long.wav", effect), id);
    ASSERT_EQ(VEL_PlaySound(id), 0);
    EXPECT_EQ(Mix_Playing(-1), id + 1) << "each play takes one channel";
    EXPECT_EQ(Mix_VolumeChunk(Mix_GetChunk(id), -1), effect_units);
    EXPECT_EQ(VEL_SetMusicVolume(music), 0);
    EXPECT_EQ(Mix_VolumeMusic(-1), music_units);
  }
  LogCapture log;
  EXPECT_EQ(VEL_PlaySound(4), -1);
  for (int i = 4; i < Mix_AllocateChannels(-1); ++i)
    EXPECT_EQ(VEL_PlaySound(0), 0);
  EXPECT_EQ(VEL_PlaySound(0), -1);
  EXPECT_EQ(log.lines(), (Lines{"no sound with id 4", SDL_GetError()}));
  EXPECT_EQ(Mix_Playing(-1), Mix_AllocateChannels(-1));
}

// A new track, however long its format, replaces the old, which stops even when the new one is
// missing; a looping track outlasts its length; stopping twice, or with nothing loaded, is
// harmless; quitting with a track still playing releases it (the sanitizer build checks for the
// leak).
TEST_F(SoundTest, MusicIsReplacedStoppedAndLoops) {
  LogCapture log;
  VEL_StopMusic();
  ASSERT_EQ(VEL_PlayMusic(path("short.wav").c_str(), -1), 0);
  SDL_Delay(800); // four times the track's length
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  EXPECT_EQ(VEL_PlayMusic(path("missing.wav").c_str(), -1), -1);
  EXPECT_EQ(Mix_PlayingMusic(), 0);
  EXPECT_EQ(log.lines(), Lines{path("missing.wav") + ": " + SDL_GetError()});
  EXPECT_EQ(VEL_PlayMusic(path("fat.wav").c_str(), -1), 0);
  EXPECT_EQ(VEL_PlayMusic(path("long.wav").c_str(), -1), 0);
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  VEL_StopMusic(), VEL_StopMusic();
  EXPECT_EQ(Mix_PlayingMusic(), 0);
  EXPECT_EQ(VEL_PlayMusic(path("short.wav").c_str(), -1), 0); // left playing for the quit
}

} // namespace
