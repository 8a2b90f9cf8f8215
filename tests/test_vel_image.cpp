// The image registry and sprite drawing, checked by reading the canvas back.
#include "scene.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255},
    kWhite{255, 255, 255, 255}, kBlack{0, 0, 0, 255};
using Lines = std::vector<std::string>;
using Fill = Rgba (*)(int x, int y);

// A running engine with a frame open on a black canvas, and images written for the test.
class ImageTest : public testing::Test {
protected:
  void SetUp() override { VEL_DrawBegin(); }
  std::string path(const std::string &name) const { return relative_to_exe(dir + name); }
  // Writes a w x h image, red unless pixel says otherwise, and loads it.
  int load(
      const std::string &name, int w = 4, int h = 4, Fill fill = [](int, int) { return kRed; }) {
    EXPECT_TRUE(write_bmp(dir + name, w, h, fill));
    return VEL_ImageLoad(path(name).c_str());
  }
  Engine engine;
  std::string dir = make_temp_dir();
};

// The bounding box {x0, y0, x1, y1} of the canvas pixels that are not black.
std::array<int, 4> drawn_box() {
  std::array<int, 4> box{640, 480, -1, -1};
  const Canvas canvas = read_canvas();
  for (int i = 0; i < 640 * 480; ++i) {
    const int x = i % 640, y = i / 640;
    if (canvas[i] & 0xFFFFFF)
      box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
  }
  return box;
}

// Ids in load order; a path loaded before is found again without its file; the 65th is refused.
TEST_F(ImageTest, LoadsOncePerPathAndHoldsSixtyFour) {
  for (int i = 0; i < VEL_MAX_IMAGES; ++i)
    ASSERT_EQ(load(std::to_string(i) + ".bmp"), i);
  std::remove((dir + "0.bmp").c_str());
  LogCapture log;
  EXPECT_EQ(VEL_ImageLoad(path("0.bmp").c_str()), 0);
  EXPECT_EQ(load("64.bmp"), -1);
  EXPECT_EQ(log.lines(), Lines{"reached image limit (64)"});
}

// Broken files are refused with the path and SDL's reason and take no slot; bad ids and
// arguments are refused with their own lines.
TEST_F(ImageTest, RefusesBrokenFilesBadIdsAndArguments) {
  ASSERT_EQ(load("good.bmp", 8, 8), 0);
  std::string bytes = read_file(dir + "good.bmp");
  ASSERT_TRUE(write_file(dir + "truncated.bmp", bytes.substr(0, 60)));
  bytes[28] = '\x03'; // three bits per pixel
  ASSERT_TRUE(write_file(dir + "corrupt.bmp", bytes) &&
              write_file(dir + "text.bmp", "an image?\n"));
  for (const char *name : {"missing.bmp", "truncated.bmp", "corrupt.bmp", "text.bmp"}) {
    LogCapture log;
    EXPECT_EQ(VEL_ImageLoad(path(name).c_str()), -1);
    EXPECT_EQ(log.lines(), Lines{path(name) + ": " + SDL_GetError()});
    EXPECT_STRNE(SDL_GetError(), "");
  }
  LogCapture log;
  const VEL_ImageParams params{0, 0, -1, -1, 1.0, 1.0, 0.0, 1, 0, 0};
  const std::vector<int> results{VEL_DrawImage(-1, 0, 0), VEL_DrawImageEx(64, 0, 0, &params),
                                 VEL_DrawTile(1, 0, 0, 0, 0.0, 0),
                                 VEL_DrawImageEx(0, 0, 0, nullptr), VEL_ImageLoad(nullptr)};
  EXPECT_EQ(results, std::vector<int>(5, -1));
  EXPECT_EQ(log.lines(), (Lines{"id is negative", "no image with id 64", "no image with id 1",
                                "params is NULL", "path is NULL"}));
  EXPECT_EQ(load("next.bmp"), 1);
}

// Where a w x 24 image drawn at (x, 100) lands, {x0, y0, x1, y1}.
TEST_F(ImageTest, DestinationRectangles) {
  const std::tuple<int, int, VEL_ImageParams, std::array<int, 4>> cases[] = {
      // clang-format off
      {32, 100, {0, 0, -1, -1, 1.0, 1.0, 0.0, 1, 0, 0}, {84, 88, 115, 111}},   // centred
      {33, 10, {0, 0, -1, -1, 1.0, 1.0, 0.0, 1, 0, 0}, {0, 88, 26, 111}},      // -6.5 truncated to -6
      {32, 100, {0, 0, -1, -1, 1.0, 1.0, 0.0, 0, 0, 0}, {100, 100, 131, 123}}, // top-left corner
      {32, 100, {0, 0, 0, 0, 2.0, 2.0, 0.0, 1, 0, 0}, {68, 76, 131, 123}},     // scaled
      {32, 100, {-8, -8, 0, 0, 1.0, 1.0, 0.0, 0, 0, 0}, {108, 108, 131, 123}}, // clipped left, top
      {32, 100, {8, 0, 32, 0, 2.0, 2.0, 0.0, 0, 0, 0}, {100, 100, 147, 147}},  // clipped right
      // clang-format on
  };
  for (const auto &[w, x, params, box] : cases) {
    VEL_DrawBegin();
    EXPECT_EQ(VEL_DrawImageEx(load(std::to_string(w) + ".bmp", w, 24), x, 100, &params), 0);
    EXPECT_EQ(drawn_box(), box) << box[0] << ", " << box[1];
  }
}

// A 32 x 24 image in four coloured quadrants shows where each part of it lands: flipped (at
// 100, 150, 200, 250), turned a quarter clockwise about its centre (300, 300), and from a
// source starting 8 left of the image, which shows its own first columns 8 further on (400).
TEST_F(ImageTest, FlipsRotationAndClippedContent) {
  const int id = load("quad.bmp", 32, 24, [](int x, int y) {
    return y < 12 ? (x < 16 ? kRed : kGreen) : (x < 16 ? kBlue : kWhite);
  });
  const std::pair<int, VEL_ImageParams> draws[] = {
      // clang-format off
      {100, {0, 0, -1, -1, 1.0, 1.0, 0.0, 0, 0, 0}}, {150, {0, 0, -1, -1, 1.0, 1.0, 0.0, 0, 1, 0}},
      {200, {0, 0, -1, -1, 1.0, 1.0, 0.0, 0, 0, 1}}, {250, {0, 0, -1, -1, 1.0, 1.0, 0.0, 0, 1, 1}},
      {300, {0, 0, -1, -1, 1.0, 1.0, 0.25, 1, 0, 0}}, {400, {-8, 0, 0, 0, 1.0, 1.0, 0.0, 0, 0, 0}}};
  const std::tuple<int, int, Rgba> seen[] = {
      {101, 101, kRed}, {130, 101, kGreen}, {101, 122, kBlue},    // plain
      {151, 101, kGreen}, {180, 101, kRed}, {151, 122, kWhite},   // mirrored left to right
      {201, 101, kBlue}, {230, 101, kWhite}, {201, 122, kRed},    // mirrored top to bottom
      {251, 101, kWhite}, {280, 101, kBlue}, {251, 122, kGreen},  // both
      {310, 290, kRed}, {290, 290, kBlue}, {310, 310, kGreen},    // turned
      {407, 101, kBlack}, {408, 101, kRed}, {424, 101, kGreen}};  // clipped
  // clang-format on
  for (const auto &[x, params] : draws)
    EXPECT_EQ(VEL_DrawImageEx(id, x, x == 300 ? 300 : 100, &params), 0);
  for (const auto &[x, y, colour] : seen)
    EXPECT_EQ(read_pixel(x, y), colour) << x << ", " << y;
}

// Sprites are tinted by the colour state; the clear that opens a frame leaves it alone.
TEST_F(ImageTest, SpritesAreTintedByTheColourState) {
  const int id = load("white.bmp", 8, 8, [](int, int) { return kWhite; });
  VEL_DrawSetColor(1.0f, 0.5f, 0.0f, 1.0f);
  VEL_DrawImage(id, 10, 10);
  VEL_DrawSetColor(1.0f, 1.0f, 1.0f, 0.5f);
  VEL_DrawImage(id, 30, 10);
  EXPECT_EQ(read_pixel(12, 12), (Rgba{255, 127, 0, 255}));
  EXPECT_EQ(read_pixel(32, 12), (Rgba{127, 127, 127, 255})) << "half alpha over black";
  VEL_DrawEnd();
  VEL_DrawSetColor(1.0f, 0.0f, 0.0f, 1.0f);
  VEL_DrawBegin();
  VEL_DrawImage(id, 10, 10);
  EXPECT_EQ(read_pixel(0, 0), kBlack);
  EXPECT_EQ(read_pixel(12, 12), kRed);
}

// 40 x 32 with 16-pixel tiles: two whole tiles a row, two rows; the partial column is none.
TEST_F(ImageTest, TilesAreWholeSquaresRowByRow) {
  static constexpr Rgba colours[] = {kRed, kGreen, kBlue, kWhite};
  const int id = load("tiles.bmp", 40, 32,
                      [](int x, int y) { return x >= 32 ? kBlack : colours[y / 16 * 2 + x / 16]; });
  for (int tile = 0; tile < 4; ++tile) {
    EXPECT_EQ(VEL_DrawTile(id, tile, 20 * tile, 0, 0.0, 0), 0);
    EXPECT_EQ(read_pixel(20 * tile + 15, 15), colours[tile]);
  }
  EXPECT_EQ(drawn_box(), (std::array{0, 0, 75, 15}));
  LogCapture log;
  EXPECT_EQ(VEL_DrawTile(id, 4, 0, 100, 0.0, 0), -1);
  EXPECT_EQ(VEL_DrawTile(id, -1, 0, 100, 0.0, 0), -1);
  EXPECT_EQ(log.lines(), (Lines{"tile exceeds boundaries", "tile is negative"}));
}

} // namespace
