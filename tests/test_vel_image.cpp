// The image registry and sprite drawing, checked by reading the canvas back.
#include "support.h"

#include <climits>

namespace {

constexpr Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255},
    kWhite{255, 255, 255, 255}, kBlack{0, 0, 0, 255};
constexpr VEL_ImageParams kWhole{0, 0, -1, -1, 1.0, 1.0, 0.0, 0, 0, 0}; // at its corner

// A running engine with a frame open on a black canvas, and images written for the test.
struct ImageTest : testing::Test {
  void SetUp() override { VEL_DrawBegin(); }
  std::string path(const std::string &name) const { return relative_to_exe(dir + name); }
  static Rgba red(int, int) { return kRed; }
  // Writes a w x h image, red unless fill says otherwise, and loads it.
  int load(const std::string &name, int w, int h, Rgba (*fill)(int, int) = red) {
    EXPECT_TRUE(write_bmp(dir + name, w, h, fill));
    return VEL_ImageLoad(path(name).c_str());
  }
  Engine engine;
  std::string dir = make_temp_dir();
};

// The bounding box {x0, y0, x1, y1} of the canvas pixels that are not black.
std::array<int, 4> drawn_box() {
  std::array<int, 4> box{640, 480, -1, -1};
  const std::vector<Rgba> canvas = read_canvas();
  for (int i = 0, x = 0, y = 0; i < 640 * 480; ++i, x = i % 640, y = i / 640)
    if (canvas[i].r || canvas[i].g || canvas[i].b)
      box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
  return box;
}

// Broken files are refused with the path and SDL's reason, as images (taking no slot) and as
// the window's icon; bad ids and arguments are refused with their own lines. Ids come in load
// order; each path string is an image of its own, up to 64, found again without its file; a
// 65th is refused.
TEST_F(ImageTest, RegistryRefusesBrokenFilesBadIdsAndTheSixtyFifth) {
  ASSERT_EQ(load("0.bmp", 4, 4), 0);
  EXPECT_EQ(VEL_SetWindowIcon(path("0.bmp").c_str()), 0);
  ASSERT_TRUE(write_file(dir + "truncated.bmp", read_file(dir + "0.bmp").substr(0, 60)));
  LogCapture log; // which has the log back after each capture within it
  for (const char *name : {"missing.bmp", "truncated.bmp"}) { // as images and as the icon
    LogCapture broken;
    EXPECT_EQ(std::pair(VEL_ImageLoad(path(name).c_str()), VEL_SetWindowIcon(path(name).c_str())),
              std::pair(-1, -1));
    EXPECT_EQ(broken.lines(), Lines(2, path(name) + ": " + SDL_GetError()));
  }
  // The last: a 4 x 4 image holds no 16-pixel tile.
  // clang-format off
  const std::vector<int> results{VEL_DrawImage(-1, 0, 0), VEL_DrawImageEx(64, 0, 0, &kWhole),
      VEL_DrawTile(1, 0, 0, 0, 0.0, 0), VEL_DrawImageEx(0, 0, 0, nullptr), VEL_ImageLoad(nullptr),
      VEL_DrawTile(0, -1, 0, 0, 0.0, 0), VEL_DrawTile(0, 0, 0, 0, 0.0, 0)};
  // clang-format on
  EXPECT_EQ(results, std::vector<int>(7, -1));
  std::vector<std::string> paths{path("0.bmp")}; // the same file, named 65 ways
  std::vector<int> ids{0};
  while (paths.size() <= VEL_MAX_IMAGES)
    ids.push_back(VEL_ImageLoad(paths.emplace_back("./" + paths.back()).c_str()));
  ASSERT_TRUE(write_file(dir + "0.bmp", "")); // found again without reading the file
  EXPECT_EQ(std::tuple(ids[1], ids[63], ids[64], VEL_ImageLoad(paths[0].c_str())),
            std::tuple(1, 63, -1, 0));
  EXPECT_EQ(log.lines(), (Lines{"id is negative", "no image with id 64", "no image with id 1",
                                "params is NULL", "path is NULL", "tile is negative",
                                "tile exceeds boundaries", "reached image limit (64)"}));
}

// Where a w x 24 image drawn at (x, 100) lands, {x0, y0, x1, y1}.
TEST_F(ImageTest, DestinationRectangles) {
  const std::tuple<int, int, VEL_ImageParams, std::array<int, 4>> cases[] = {
      // clang-format off
      {32, 100, {0, 0, -1, -1, 1.0, 1.0, 0.0, 1, 0, 0}, {84, 88, 115, 111}},   // centred
      {33, 10, {0, 0, -1, -1, 1.0, 1.0, 0.0, 1, 0, 0}, {0, 88, 26, 111}},      // -6.5 truncated to -6
      {33, 100, {0, 0, -1, -1, 1.0, 1.0, 0.0, 1, 0, 0}, {83, 88, 115, 111}},   // 83.5 truncated to 83
      {32, 100, {0, 0, -1, -1, 2.0, 0.5, 0.0, 1, 0, 0}, {68, 94, 131, 105}},   // scaled unevenly
      {32, 100, {0, 0, -1, -1, 1.0, 1.0, 0.0, 0, 0, 0}, {100, 100, 131, 123}}, // top-left corner
      {32, 100, {0, 0, 0, 0, 2.0, 2.0, 0.0, 1, 0, 0}, {68, 76, 131, 123}},     // scaled
      {32, 100, {-8, -8, 0, 0, 1.0, 1.0, 0.0, 0, 0, 0}, {108, 108, 131, 123}}, // clipped left, top
      {32, 100, {-8, -8, 0, 0, 2.0, 2.0, 0.0, 0, 0, 0}, {116, 116, 163, 147}}, // the same, scaled
      {32, 100, {8, 0, 32, 0, 2.0, 2.0, 0.0, 0, 0, 0}, {100, 100, 147, 147}},  // clipped right
      {32, 100, {0, 5, 1, 1, 1.0, 1.0, 0.0, 0, 0, 0}, {100, 100, 100, 100}},   // one pixel
      {32, INT_MIN, {0, 0, -1, -1, 1.0, 1.0, 0.0, 1, 0, 0}, {640, 480, -1, -1}},  // at INT_MIN
      {32, 100, {INT_MIN, INT_MAX, 0, 0, 1.0, 1.0, 0.0, 0, 0, 0}, {640, 480, -1, -1}}}; // nothing to copy
  // clang-format on
  for (const auto &[w, x, params, box] : cases) {
    VEL_DrawBegin();
    EXPECT_EQ(VEL_DrawImageEx(load(std::to_string(w) + ".bmp", w, 24), x, 100, &params), 0);
    EXPECT_EQ(drawn_box(), box) << box[0] << ", " << box[1];
  }
  const VEL_ImageParams from_row_8{0, 8, 0, 0, 1.0, 1.0, 0.0, 0, 0, 0}; // its rows at INT_MAX
  EXPECT_EQ(VEL_DrawImageEx(load("32.bmp", 32, 24), 0, INT_MAX, &from_row_8), 0);
  EXPECT_EQ(drawn_box(), (std::array{640, 480, -1, -1}));
}

// A 32 x 24 image in four coloured quadrants shows where each part of it lands: turned a
// quarter clockwise about its centre (300, 300); from a source starting 8 left of the image,
// which shows its own first columns 8 further on (400); and whole, at its size, with its
// corner at (500, 300), tinted yellow (blue goes black, white yellow).
TEST_F(ImageTest, RotationClippedContentAndWhole) {
  const int id = load("quad.bmp", 32, 24, [](int x, int y) {
    return y < 12 ? (x < 16 ? kRed : kGreen) : (x < 16 ? kBlue : kWhite);
  });
  const VEL_ImageParams turned{0, 0, -1, -1, 1.0, 1.0, 0.25, 1, 0, 0},
      clipped{-8, 0, 0, 0, 1.0, 1.0, 0.0, 0, 0, 0};
  const std::vector<int> results{VEL_DrawImageEx(id, 300, 300, &turned),
                                 VEL_DrawImageEx(id, 400, 100, &clipped),
                                 VEL_DrawSetColor(1, 1, 0, 1), VEL_DrawImage(id, 500, 300)};
  EXPECT_EQ(results, std::vector<int>(4, 0));
  const Rgba yellow{255, 255, 0, 255};
  // clang-format off
  for (const auto &[x, y, colour] : {std::tuple{310, 290, kRed}, {310, 310, kGreen}, {290, 310, kWhite},
           {407, 101, kBlack}, {408, 101, kRed}, {424, 101, kGreen}, {424, 122, kWhite},
           {500, 300, kRed}, {516, 311, kGreen}, {515, 312, kBlack}, {531, 323, yellow},
           {499, 300, kBlack}, {532, 323, kBlack}, {531, 324, kBlack}})
    // clang-format on
    EXPECT_EQ(read_pixel(x, y), colour) << x << ", " << y;
}

// Opaque rows copied without blending give the very pixels of blending everywhere: every
// image of the game, in every orientation, white, red, half-flashed and half transparent,
// whole, cut by the canvas's edges and from a source starting off the image.
TEST_F(ImageTest, OpaqueCopiesDrawTheSamePixelsAsBlending) {
  const float tints[][4] = {{1, 1, 1, 1}, {1, 0, 0, 1}, {1, 0.5f, 0.5f, 1}, {1, 1, 1, 0.5f}};
  const auto draw_all = [&](bool opaque_copies) {
    VEL_SetOpaqueCopies(opaque_copies), VEL_DrawBegin();
    for (int n = 0; n < 7 * 4 * 4; ++n) { // image, tint, flip
      const char *names[] = {"cursor", "box",   "boxdestroyed",  "windowclean",
                             "window", "clock", "clockdestroyed"};
      const float *tint = tints[n / 4 % 4];
      VEL_DrawSetColor(tint[0], tint[1], tint[2], tint[3]);
      VEL_ImageParams params = kWhole;
      params.src_x = -(n % 3) * 5, params.src_y = n % 5 == 0 ? -7 : 0;
      params.flip_h = n & 1, params.flip_v = n >> 1 & 1;
      const int edge = n % 9 == 0, x = edge ? -20 : n % 14 * 46, y = edge ? 450 : n / 14 * 46;
      const int id = VEL_ImageLoad((std::string("res/") + names[n / 16] + ".bmp").c_str());
      EXPECT_EQ(VEL_DrawImageEx(id, x, y, &params), 0);
    }
    return read_canvas();
  };
  const std::vector<Rgba> blended = draw_all(false);
  EXPECT_TRUE(blended == draw_all(true)) << "the pixels differ";
  EXPECT_NE(blended, std::vector<Rgba>(blended.size(), blended[0])) << "nothing drawn";
}

// A sheet of 16-pixel tiles, 40 x 32: two whole tiles a row (the 8 columns left over make
// none), numbered row by row; each tile is full colour on its left half and half as bright
// on its right. A tile is drawn at its size, mirrored as asked.
TEST_F(ImageTest, TilesRowByRow) {
  const int id = load("tiles.bmp", 40, 32, [](int x, int y) {
    const uint8_t v = x % 16 < 8 ? 255 : 128;
    const Rgba colours[] = {{v, 0, 0, 255}, {0, v, 0, 255}, {0, 0, v, 255}, {v, v, v, 255}};
    return x >= 32 ? kRed : colours[y / 16 * 2 + x / 16];
  });
  // Tile, flip; the colours seen at its drawn left and right halves.
  // clang-format off
  const std::tuple<int, int, Rgba, Rgba> tiles[] = {{0, 0, kRed, {128, 0, 0, 255}},
      {1, 0, kGreen, {0, 128, 0, 255}}, {2, 0, kBlue, {0, 0, 128, 255}},
      {3, 0, kWhite, {128, 128, 128, 255}}, {1, SDL_FLIP_HORIZONTAL, {0, 128, 0, 255}, kGreen}};
  // clang-format on
  for (int i = 0; i < 5; ++i) {
    const auto &[tile, flip, left, right] = tiles[i];
    EXPECT_EQ(VEL_DrawTile(id, tile, 20 * i, 0, 0.0, flip), 0);
    EXPECT_EQ(read_pixel(20 * i + 2, 8), left) << tile;
    EXPECT_EQ(read_pixel(20 * i + 13, 8), right) << tile;
  }
  EXPECT_EQ(drawn_box(), (std::array{0, 0, 95, 15}));
  LogCapture log;
  EXPECT_EQ(VEL_DrawTile(id, 4, 0, 0, 0.0, 0), -1);
  EXPECT_EQ(log.lines(), Lines{"tile exceeds boundaries"});
}

} // namespace
