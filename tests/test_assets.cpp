// The generated images and sounds as SDL reads them, and the generator that makes them.
#include "support.h"

#include <filesystem>

namespace {

// Square images with transparent corners and an opaque centre; a damaged image differs
// visibly from its intact one in a tenth of its pixels at least; the cursor's hot spot, the
// pixel put on the mouse, is near white so that the shot's red tint shows.
TEST(Assets, Images) {
  const std::tuple<const char *, const char *, int> pairs[] = {
      {"box", "boxdestroyed", 64}, {"windowclean", "window", 64}, {"clock", "clockdestroyed", 32}};
  for (const auto &[intact_name, damaged_name, size] : pairs) {
    const Picture intact = load_picture(std::string("res/") + intact_name + ".bmp"),
                  damaged = load_picture(std::string("res/") + damaged_name + ".bmp");
    ASSERT_EQ(std::tuple(intact.w, intact.h, damaged.w, damaged.h),
              std::tuple(size, size, size, size));
    int diff = 0; // pixels that differ visibly
    const auto d = [](uint8_t a, uint8_t b) { return std::abs(a - b); };
    for (size_t i = 0; i < intact.pixels.size(); ++i) {
      const Rgba a = intact.pixels[i], b = damaged.pixels[i];
      diff += d(a.r, b.r) + d(a.g, b.g) + d(a.b, b.b) + d(a.a, b.a) > 96;
    }
    EXPECT_GE(diff, size * size / 10) << damaged_name;
    for (const Picture &p : {intact, damaged, load_picture("res/cursor.bmp")}) {
      const int n = p.w - 1, c = p.w / 2;
      EXPECT_EQ(std::tuple(p.at(0, 0).a, p.at(n, 0).a, p.at(0, n).a, p.at(n, n).a, p.at(c, c).a),
                std::tuple(0, 0, 0, 0, 255))
          << p.w;
    }
  }
  const Picture cursor = load_picture("res/cursor.bmp");
  const Rgba hot = cursor.at(cursor.w / 2, cursor.h / 2);
  EXPECT_EQ(cursor.w, 23); // odd: its centre is one pixel
  EXPECT_GE(std::min({hot.r, hot.g, hot.b}), 230);
}

// 16-bit 44100 Hz mono within their lengths, loud enough but below full scale; the effects
// start and end in silence, and the alarm loops without a step at its seam.
TEST(Assets, Sounds) {
  const std::tuple<const char *, double, double, int> sounds[] = {
      {"piou", 0.05, 0.5, 16383}, {"glass", 0.05, 0.5, 16383}, {"box0", 0.05, 0.5, 16383},
      {"box1", 0.05, 0.5, 16383}, {"blan", 0.05, 0.5, 16383},  {"alarm", 1.0, 2.0, 327}};
  for (const auto &[name, shortest, longest, quietest] : sounds) {
    SCOPED_TRACE(name);
    SDL_AudioSpec audio{};
    Uint8 *bytes = nullptr;
    Uint32 length = 0;
    ASSERT_TRUE(SDL_LoadWAV((exe_dir() + "res/" + name + ".wav").c_str(), &audio, &bytes, &length));
    const std::vector<int16_t> s(reinterpret_cast<int16_t *>(bytes),
                                 reinterpret_cast<int16_t *>(bytes + length));
    SDL_FreeWAV(bytes);
    EXPECT_EQ(std::tuple(audio.format, audio.freq, audio.channels),
              std::tuple(AUDIO_S16LSB, 44100, 1));
    EXPECT_TRUE(s.size() >= shortest * 44100 && s.size() <= longest * 44100) << s.size();
    int peak = 0, step = 0;
    for (size_t i = 1; i < s.size(); ++i)
      peak = std::max(peak, std::abs(s[i])), step = std::max(step, std::abs(s[i] - s[i - 1]));
    EXPECT_TRUE(peak >= quietest && peak <= 26214) << peak; // 80 % of full scale at most
    const int edge = quietest < 1000 ? std::abs(s.front() - s.back()) - step
                                     : std::max(std::abs(s.front()), std::abs(s.back())) - 327;
    EXPECT_LE(edge, 0) << (quietest < 1000 ? "a step at the seam" : "not silent at an end");
  }
}

// Two runs of the generator write the same bytes as the build did.
TEST(Assets, GeneratorIsDeterministic) {
  const std::string first = make_temp_dir(), second = make_temp_dir();
  for (const std::string &dir : {first, second})
    ASSERT_EQ(run_process({exe_dir() + "assetgen", dir + "res"}).exit_code, 0);
  namespace fs = std::filesystem;
  EXPECT_EQ(std::distance(fs::directory_iterator(first + "res"), fs::directory_iterator()), 14);
  for (const auto &entry : fs::directory_iterator(first + "res")) {
    const std::string name = "res/" + entry.path().filename().string(),
                      bytes = read_file(first + name);
    EXPECT_FALSE(bytes.empty()) << name;
    EXPECT_EQ(bytes, read_file(second + name)) << name;
    EXPECT_EQ(bytes, read_file(exe_dir() + name)) << name;
  }
}

} // namespace
