// Sound effects and music through the mixer on the dummy audio device.
#include "support.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// A tone of the given length, for effects and music the tests can tell apart.
std::vector<int16_t> tone(double seconds) {
  std::vector<int16_t> samples(static_cast<size_t>(seconds * 44100));
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(8000 * std::sin(i * 0.05));
  }
  return samples;
}

class SoundTest : public testing::Test {
protected:
  void SetUp() override {
    dir = make_temp_dir();
    ASSERT_TRUE(write_wav(dir + "short.wav", tone(0.05)));
    ASSERT_TRUE(write_wav(dir + "long.wav", tone(3.0)));
    ASSERT_TRUE(write_file(dir + "text.wav", "RIFF? no, just some text\n"));
  }
  std::string path(const char *name) const { return relative_to_exe(dir + name); }
  int load(const char *name, float volume = 10.0f) {
    return VEL_SoundLoad(path(name).c_str(), volume);
  }

  Engine engine;
  std::string dir;
};

TEST_F(SoundTest, IdsAreHandedOutInLoadOrder) {
  for (int i = 0; i < VEL_MAX_SOUNDS; ++i) {
    ASSERT_EQ(load("short.wav"), i) << "the same file again takes a new slot";
  }
  LogCapture log;
  EXPECT_EQ(load("short.wav"), -1);
  EXPECT_EQ(log.lines(), std::vector<std::string>{"reached sounds limit (64)"});
}

TEST_F(SoundTest, BrokenFilesAreRefusedAndLeaveNoGap) {
  EXPECT_EQ(load("short.wav"), 0);
  for (const char *name : {"missing.wav", "text.wav"}) {
    LogCapture log;
    EXPECT_EQ(load(name), -1);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0], path(name) + ": " + SDL_GetError());
  }
  EXPECT_EQ(load("short.wav"), 1);
}

TEST_F(SoundTest, VolumesAreTruncatedToMixerUnits) {
  const struct {
    float given;
    int chunk;
  } cases[] = {{10.9f, 10}, {20.0f, 20}, {0.0f, 0}, {128.0f, 128}};
  for (const auto &c : cases) {
    const int id = load("long.wav", c.given);
    ASSERT_EQ(VEL_PlaySound(id), 0);
    const int channel = id; // each play takes the next free channel
    ASSERT_NE(Mix_GetChunk(channel), nullptr);
    EXPECT_EQ(Mix_VolumeChunk(Mix_GetChunk(channel), -1), c.chunk);
  }
  const struct {
    float given;
    int music;
  } music_cases[] = {{0.5f, 64}, {1.0f, 128}, {0.999f, 127}, {0.0f, 0}};
  for (const auto &c : music_cases) {
    EXPECT_EQ(VEL_SetMusicVolume(c.given), 0);
    EXPECT_EQ(Mix_VolumeMusic(-1), c.music);
  }
}

// With every channel busy, one more play is refused and the sounds already playing go on.
TEST_F(SoundTest, ChannelsRunOut) {
  const int id = load("long.wav");
  const int channels = Mix_AllocateChannels(-1);
  for (int i = 0; i < channels; ++i) {
    EXPECT_EQ(VEL_PlaySound(id), 0);
  }
  LogCapture log;
  EXPECT_EQ(VEL_PlaySound(id), -1);
  ASSERT_EQ(log.lines().size(), 1u);
  EXPECT_EQ(log.lines()[0], SDL_GetError());
  EXPECT_EQ(Mix_Playing(-1), channels);
}

TEST_F(SoundTest, PlayingUnknownIdsIsRefused) {
  load("short.wav");
  LogCapture log;
  EXPECT_EQ(VEL_PlaySound(-1), -1);
  EXPECT_EQ(VEL_PlaySound(64), -1);
  EXPECT_EQ(VEL_PlaySound(1), -1);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"id is negative", "no sound with id 64",
                                                   "no sound with id 1"}));
}

TEST_F(SoundTest, MusicIsReplacedStoppedAndLoops) {
  LogCapture log;
  VEL_StopMusic();
  VEL_StopMusic();
  EXPECT_TRUE(log.lines().empty()) << "stopping no music is harmless";
  ASSERT_EQ(VEL_PlayMusic(path("short.wav").c_str(), -1), 0);
  SDL_Delay(200); // several times the track's length
  EXPECT_EQ(Mix_PlayingMusic(), 1) << "a looping track keeps playing";
  EXPECT_EQ(VEL_PlayMusic(path("missing.wav").c_str(), -1), -1);
  EXPECT_EQ(Mix_PlayingMusic(), 0) << "the old track stopped before the new one was tried";
  ASSERT_EQ(log.lines().size(), 1u);
  EXPECT_EQ(log.lines()[0], path("missing.wav") + ": " + SDL_GetError());
  EXPECT_EQ(VEL_PlayMusic(path("long.wav").c_str(), -1), 0);
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  VEL_StopMusic();
  EXPECT_EQ(Mix_PlayingMusic(), 0);
}

// Quitting with music still loaded releases it (the sanitizer build checks for the leak).
TEST_F(SoundTest, QuitReleasesMusicStillPlaying) {
  ASSERT_EQ(VEL_PlayMusic(path("long.wav").c_str(), -1), 0);
  VEL_Quit();
  EXPECT_EQ(Mix_PlayingMusic(), 0);
}

// The game's own effects and alarm load through the mixer.
TEST_F(SoundTest, ShippedSoundsLoad) {
  for (const char *name :
       {"res/piou.wav", "res/glass.wav", "res/box0.wav", "res/box1.wav", "res/blan.wav"}) {
    EXPECT_GE(VEL_SoundLoad(name, 10.0f), 0) << name;
  }
  EXPECT_EQ(VEL_PlayMusic("res/alarm.wav", -1), 0);
  EXPECT_EQ(Mix_PlayingMusic(), 1);
}

} // namespace
