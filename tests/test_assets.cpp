// The generated images as SDL reads them, and the generator that makes every asset.
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

// Another run of the generator writes the same bytes as the build's did.
TEST(Assets, GeneratorIsDeterministic) {
  const std::string dir = make_temp_dir();
  ASSERT_EQ(run_shell(exe_dir() + "assetgen " + dir + "res").exit_code, 0);
  namespace fs = std::filesystem;
  EXPECT_EQ(std::distance(fs::directory_iterator(dir + "res"), fs::directory_iterator()), 14);
  for (const auto &entry : fs::directory_iterator(dir + "res")) {
    const std::string name = "res/" + entry.path().filename().string();
    EXPECT_EQ(read_file(dir + name), read_file(exe_dir() + name)) << name;
  }
}

} // namespace
