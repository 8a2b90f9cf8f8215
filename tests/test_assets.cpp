// test_assets.cpp -- the generated images and sounds as SDL and SDL2_mixer read them, and
// the generator that makes them.
#include "support.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char *asset_names[] = {"cursor.bmp",         "box.bmp",    "boxdestroyed.bmp",
                                       "windowclean.bmp",    "window.bmp", "clock.bmp",
                                       "clockdestroyed.bmp", "piou.wav",   "glass.wav",
                                       "box0.wav",           "box1.wav",   "blan.wav",
                                       "alarm.wav"};
constexpr int full_scale = 32767;

std::string res(const std::string &name) {
  return exe_dir() + "res/" + name;
}

std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

using Surface = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

Surface load_image(const std::string &name) {
  return Surface(SDL_LoadBMP(res(name).c_str()), SDL_FreeSurface);
}

Rgba pixel(SDL_Surface *surface, int x, int y) {
  const uint8_t *row = static_cast<const uint8_t *>(surface->pixels) + y * surface->pitch;
  Uint32 value = 0;
  SDL_memcpy(&value, row + x * surface->format->BytesPerPixel, surface->format->BytesPerPixel);
  Rgba p{};
  SDL_GetRGBA(value, surface->format, &p.r, &p.g, &p.b, &p.a);
  return p;
}

struct Wav {
  SDL_AudioSpec spec{};
  std::vector<int16_t> samples;
  double seconds() const { return static_cast<double>(samples.size()) / spec.freq; }
  int peak() const {
    int peak = 0;
    for (int16_t s : samples) {
      peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return peak;
  }
};

Wav load_wav(const std::string &name) {
  Wav wav;
  Uint8 *buffer = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV(res(name).c_str(), &wav.spec, &buffer, &length)) {
    ADD_FAILURE() << name << ": " << SDL_GetError();
    return wav;
  }
  wav.samples.resize(length / sizeof(int16_t));
  SDL_memcpy(wav.samples.data(), buffer, wav.samples.size() * sizeof(int16_t));
  SDL_FreeWAV(buffer);
  return wav;
}

struct ImageCase {
  const char *name;
  int size;
};
constexpr ImageCase images[] = {
    {"cursor.bmp", 16}, {"box.bmp", 64},   {"boxdestroyed.bmp", 64},  {"windowclean.bmp", 64},
    {"window.bmp", 64}, {"clock.bmp", 32}, {"clockdestroyed.bmp", 32}};

TEST(Assets, ImagesHaveTheirSizeRealTransparencyAndAnOpaqueCentre) {
  for (const ImageCase &c : images) {
    SCOPED_TRACE(c.name);
    Surface image = load_image(c.name);
    ASSERT_TRUE(image) << SDL_GetError();
    EXPECT_EQ(image->w, c.size);
    EXPECT_EQ(image->h, c.size);
    EXPECT_NE(image->format->Amask, 0u);
    for (int corner : {0, 1, 2, 3}) {
      EXPECT_EQ(pixel(image.get(), corner % 2 * (c.size - 1), corner / 2 * (c.size - 1)).a, 0);
    }
    EXPECT_EQ(pixel(image.get(), c.size / 2, c.size / 2).a, 255);
  }
}

TEST(Assets, CursorIsNearWhiteAtItsHotSpotAndLooksTheSameFlipped) {
  Surface cursor = load_image("cursor.bmp");
  ASSERT_TRUE(cursor);
  int n = cursor->w;
  // Centred on the mouse at x - n / 2, the sprite puts pixel (n / 2, n / 2) on the mouse.
  Rgba hot = pixel(cursor.get(), n / 2, n / 2);
  EXPECT_GE(std::min({hot.r, hot.g, hot.b}), 230) << "the shot's red tint needs a white base";
  int dark_outline = 0;
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      Rgba p = pixel(cursor.get(), x, y);
      EXPECT_EQ(p, pixel(cursor.get(), n - 1 - x, y)) << x << "," << y;
      EXPECT_EQ(p, pixel(cursor.get(), x, n - 1 - y)) << x << "," << y;
      dark_outline += p.a == 255 && p.r + p.g + p.b < 200;
    }
  }
  EXPECT_GT(dark_outline, n) << "an outline keeps it visible over light props";
}

TEST(Assets, DamagedImagesDifferVisiblyFromIntactOnes) {
  const std::pair<const char *, const char *> pairs[] = {{"box.bmp", "boxdestroyed.bmp"},
                                                         {"windowclean.bmp", "window.bmp"},
                                                         {"clock.bmp", "clockdestroyed.bmp"}};
  for (const auto &[intact_name, damaged_name] : pairs) {
    SCOPED_TRACE(damaged_name);
    Surface intact = load_image(intact_name);
    Surface damaged = load_image(damaged_name);
    ASSERT_TRUE(intact && damaged);
    ASSERT_EQ(intact->w, damaged->w);
    int changed = 0;
    for (int y = 0; y < intact->h; ++y) {
      for (int x = 0; x < intact->w; ++x) {
        Rgba a = pixel(intact.get(), x, y);
        Rgba b = pixel(damaged.get(), x, y);
        changed +=
            std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) + std::abs(a.a - b.a) >
            96;
      }
    }
    EXPECT_GE(changed, intact->w * intact->h / 10);
  }
}

struct SoundCase {
  const char *name;
  double min_seconds;
  double max_seconds;
  int min_peak; // loud enough for the mixer volume the game plays it at
  bool effect;  // played once: it must start and end in silence
};
constexpr SoundCase sounds[] = {{"piou.wav", 0.05, 0.5, full_scale / 2, true},
                                {"glass.wav", 0.05, 0.5, full_scale / 2, true},
                                {"box0.wav", 0.05, 0.5, full_scale / 2, true},
                                {"box1.wav", 0.05, 0.5, full_scale / 2, true},
                                {"blan.wav", 0.05, 0.5, full_scale / 2, true},
                                {"alarm.wav", 1.0, 2.0, full_scale / 100, false}};

TEST(Assets, SoundsAre16Bit44100HzMonoWithinTheirLengthBelowFullScaleWithoutClicks) {
  for (const SoundCase &c : sounds) {
    SCOPED_TRACE(c.name);
    Wav wav = load_wav(c.name);
    ASSERT_FALSE(wav.samples.empty());
    EXPECT_EQ(wav.spec.format, AUDIO_S16LSB);
    EXPECT_EQ(wav.spec.freq, 44100);
    EXPECT_EQ(wav.spec.channels, 1);
    EXPECT_GE(wav.seconds(), c.min_seconds);
    EXPECT_LE(wav.seconds(), c.max_seconds);
    EXPECT_LE(wav.peak(), std::lround(full_scale * 0.8));
    EXPECT_GE(wav.peak(), c.min_peak);
    double sum = 0;
    for (int16_t s : wav.samples) {
      sum += s;
    }
    EXPECT_LT(std::abs(sum / wav.samples.size()), full_scale / 200.0) << "DC offset";
    if (c.effect) {
      EXPECT_LE(std::abs(wav.samples.front()), full_scale / 100);
      EXPECT_LE(std::abs(wav.samples.back()), full_scale / 100);
    }
  }
  EXPECT_GT(load_wav("box1.wav").seconds(), load_wav("box0.wav").seconds())
      << "the hit that breaks a crate is the longer";
}

TEST(Assets, AlarmLoopsWithoutAStepAtItsSeam) {
  Wav alarm = load_wav("alarm.wav");
  ASSERT_GT(alarm.samples.size(), 2u);
  int largest_inside = 0;
  for (size_t i = 1; i < alarm.samples.size(); ++i) {
    largest_inside = std::max(largest_inside, std::abs(alarm.samples[i] - alarm.samples[i - 1]));
  }
  EXPECT_LE(std::abs(alarm.samples.front() - alarm.samples.back()), largest_inside);
}

TEST(Assets, MixerLoadsTheEffectsAsChunksAndPlaysTheAlarmAsLoopingMusic) {
  ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
  ASSERT_EQ(Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024), 0) << Mix_GetError();
  for (const char *name : {"piou.wav", "glass.wav", "box0.wav", "box1.wav", "blan.wav"}) {
    Mix_Chunk *chunk = Mix_LoadWAV(res(name).c_str());
    EXPECT_NE(chunk, nullptr) << name << ": " << Mix_GetError();
    Mix_FreeChunk(chunk);
  }
  Mix_Music *music = Mix_LoadMUS(res("alarm.wav").c_str());
  ASSERT_NE(music, nullptr) << Mix_GetError();
  EXPECT_EQ(Mix_PlayMusic(music, -1), 0) << Mix_GetError();
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  Mix_HaltMusic();
  Mix_FreeMusic(music);
  Mix_CloseAudio();
  SDL_Quit();
}

TEST(Assets, GeneratorWritesTheSameBytesOnEveryRunAsInTheBuild) {
  std::string first = make_temp_dir();
  std::string second = make_temp_dir();
  for (const std::string &dir : {first, second}) {
    ProcessResult run = run_process({exe_dir() + "assetgen", dir + "res"});
    ASSERT_EQ(run.exit_code, 0) << run.output;
    ProcessResult icon = run_process({exe_dir() + "assetgen", "--icon", dir + "icon.svg"});
    ASSERT_EQ(icon.exit_code, 0) << icon.output;
  }
  for (const char *name : asset_names) {
    std::string bytes = read_file(first + "res/" + name);
    EXPECT_FALSE(bytes.empty()) << name;
    EXPECT_EQ(bytes, read_file(second + "res/" + name)) << name;
    EXPECT_EQ(bytes, read_file(res(name))) << name;
  }
  std::string icon = read_file(first + "icon.svg");
  EXPECT_EQ(icon, read_file(second + "icon.svg"));
  EXPECT_EQ(icon.rfind("<svg", 0), 0u);
  EXPECT_NE(icon.find("shape-rendering=\"crispEdges\""), std::string::npos);
}

TEST(Assets, GeneratorNamesTheFileItCannotWriteAndFails) {
  std::string dir = make_temp_dir();
  std::ofstream(dir + "plain-file") << "not a directory";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{exe_dir() + "assetgen", dir + "plain-file/res"}, "cursor.bmp"},
      {{exe_dir() + "assetgen", "--icon", dir + "plain-file/icon.svg"}, "icon.svg"}};
  for (const auto &[argv, file] : cases) {
    ProcessResult run = run_process(argv);
    EXPECT_NE(run.exit_code, 0) << file;
    EXPECT_NE(run.output.find(dir + "plain-file/"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(file), std::string::npos) << run.output;
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
  }
}

} // namespace
