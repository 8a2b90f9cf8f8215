// The image registry and sprite drawing, checked by reading the canvas back.
#include "support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr Rgba kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255}, kGreen{0, 255, 0, 255},
    kWhite{255, 255, 255, 255}, kBlack{0, 0, 0, 255};

// Draws on a black canvas; the frame is open for the test's whole body.
class ImageTest : public testing::Test {
protected:
  void SetUp() override {
    dir = make_temp_dir();
    VEL_DrawBegin();
  }
  void TearDown() override { VEL_DrawEnd(); }

  // Writes an image into the temporary directory and returns its path for VEL_ImageLoad.
  std::string image(const std::string &name, int w, int h,
                    const std::function<Rgba(int, int)> &pixel) {
    EXPECT_TRUE(write_bmp(dir + name, w, h, pixel));
    return relative_to_exe(dir + name);
  }
  int load_solid(int w, int h, Rgba c = kRed) {
    const std::string name = std::to_string(w) + "x" + std::to_string(h) + ".bmp";
    return VEL_ImageLoad(image(name, w, h, [c](int, int) { return c; }).c_str());
  }
  // Starts a new frame on a black canvas, drawing sprites untinted.
  void next_frame() {
    VEL_DrawEnd();
    VEL_DrawBegin();
    VEL_DrawSetColor(1.0f, 1.0f, 1.0f, 1.0f);
  }

  Engine engine;
  std::string dir;
};

struct Box {
  int x0 = 640, y0 = 480, x1 = -1, y1 = -1;
  bool operator==(const Box &) const = default;
};

// The bounding box of the canvas pixels that are not black.
Box drawn_box() {
  std::vector<Uint32> pixels(640 * 480);
  EXPECT_EQ(SDL_RenderReadPixels(test_renderer(), nullptr, SDL_PIXELFORMAT_RGB888, pixels.data(),
                                 640 * 4),
            0);
  Box box;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      if (pixels[y * 640 + x] & 0xFFFFFF) {
        box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x), std::max(box.y1, y)};
      }
    }
  }
  return box;
}

VEL_ImageParams whole(double scale = 1.0, bool center = true) {
  return VEL_ImageParams{0, 0, -1, -1, scale, scale, 0.0, center, 0, 0};
}

TEST_F(ImageTest, LoadsOncePerPathString) {
  const std::string path = image("a.bmp", 4, 4, [](int, int) { return kRed; });
  const int id = VEL_ImageLoad(path.c_str());
  EXPECT_EQ(id, 0);
  std::remove((dir + "a.bmp").c_str());
  LogCapture log;
  EXPECT_EQ(VEL_ImageLoad(path.c_str()), id) << "found again without reading the file";
  EXPECT_TRUE(log.lines().empty());
  const std::string other = image("b.bmp", 4, 4, [](int, int) { return kRed; });
  EXPECT_EQ(VEL_ImageLoad(("./" + other).c_str()), 1) << "another string is another image";
}

TEST_F(ImageTest, HoldsSixtyFourImages) {
  std::vector<std::string> paths;
  for (int i = 0; i <= VEL_MAX_IMAGES; ++i) {
    paths.push_back(image(std::to_string(i) + ".bmp", 2, 2, [](int, int) { return kRed; }));
  }
  for (int i = 0; i < VEL_MAX_IMAGES; ++i) {
    EXPECT_EQ(VEL_ImageLoad(paths[i].c_str()), i);
  }
  LogCapture log;
  EXPECT_EQ(VEL_ImageLoad(paths[VEL_MAX_IMAGES].c_str()), -1);
  EXPECT_EQ(log.lines(), std::vector<std::string>{"reached image limit (64)"});
  for (int i = 0; i < VEL_MAX_IMAGES; ++i) {
    EXPECT_EQ(VEL_ImageLoad(paths[i].c_str()), i);
  }
}

// Missing, truncated and corrupt files are refused with the path and SDL's reason; a refused
// load takes no slot, and the next good image gets the slot it would have used.
TEST_F(ImageTest, BrokenFilesAreRefusedAndTakeNoSlot) {
  const std::string good = image("good.bmp", 8, 8, [](int, int) { return kRed; });
  std::FILE *f = std::fopen((dir + "good.bmp").c_str(), "rb");
  std::string bytes(400, '\0');
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
  std::fclose(f);
  std::string flipped = bytes;
  flipped[28] = '\x03'; // three bits per pixel
  ASSERT_TRUE(write_file(dir + "truncated.bmp", bytes.substr(0, 60)));
  ASSERT_TRUE(write_file(dir + "corrupt.bmp", flipped));
  ASSERT_TRUE(write_file(dir + "text.bmp", "this is not an image\n"));
  for (const char *name : {"missing.bmp", "truncated.bmp", "corrupt.bmp", "text.bmp"}) {
    LogCapture log;
    const std::string path = relative_to_exe(dir + name);
    EXPECT_EQ(VEL_ImageLoad(path.c_str()), -1) << name;
    ASSERT_EQ(log.lines().size(), 1u) << name;
    EXPECT_EQ(log.lines()[0], path + ": " + SDL_GetError());
    EXPECT_GT(log.lines()[0].size(), path.size() + 2) << "a reason is given";
  }
  EXPECT_EQ(VEL_ImageLoad(good.c_str()), 0);
}

TEST_F(ImageTest, RefusesBadIdsAndArguments) {
  const int id = load_solid(4, 4);
  const VEL_ImageParams params = whole();
  LogCapture log;
  EXPECT_EQ(VEL_DrawImage(-1, 0, 0), -1);
  EXPECT_EQ(VEL_DrawImageEx(64, 0, 0, &params), -1);
  EXPECT_EQ(VEL_DrawTile(id + 1, 0, 0, 0, 0.0, 0), -1);
  EXPECT_EQ(VEL_DrawImageEx(id, 0, 0, nullptr), -1);
  EXPECT_EQ(VEL_ImageLoad(nullptr), -1);
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"id is negative", "no image with id 64", "no image with id 1",
                                      "params is NULL", "path is NULL"}));
  EXPECT_EQ(drawn_box(), Box{}) << "nothing drawn";
}

struct Placement {
  const char *what;
  int iw, ih, x, y;
  VEL_ImageParams params;
  Box expected;
};

TEST_F(ImageTest, DestinationRectangles) {
  const Placement cases[] = {
      {"centred", 32, 24, 100, 100, whole(), {84, 88, 115, 111}},
      {"odd width truncates", 33, 24, 100, 100, whole(), {83, 88, 115, 111}},
      {"toward zero", 33, 24, 10, 100, whole(), {0, 88, 26, 111}},
      {"top-left", 32, 24, 100, 100, whole(1.0, false), {100, 100, 131, 123}},
      {"scaled", 32, 24, 100, 100, whole(2.0), {68, 76, 131, 123}},
      {"part", 32, 24, 100, 100, {4, 2, 10, 6, 1.0, 1.0, 0.0, 0, 0, 0}, {100, 100, 109, 105}},
      {"clipped left",
       32,
       24,
       100,
       100,
       {-8, 0, 0, 0, 1.0, 1.0, 0.0, 0, 0, 0},
       {108, 100, 131, 123}},
      {"clipped top",
       32,
       24,
       100,
       100,
       {0, -8, 0, 0, 1.0, 1.0, 0.0, 0, 0, 0},
       {100, 108, 131, 123}},
      {"clipped right keeps the scale",
       32,
       24,
       100,
       100,
       {8, 0, 32, 0, 2.0, 2.0, 0.0, 0, 0, 0},
       {100, 100, 147, 147}},
  };
  for (const Placement &c : cases) {
    next_frame();
    EXPECT_EQ(VEL_DrawImageEx(load_solid(c.iw, c.ih), c.x, c.y, &c.params), 0) << c.what;
    EXPECT_EQ(drawn_box(), c.expected) << c.what;
  }
}

// A 32 x 24 image in four quadrants shows where each part of it lands.
Rgba quadrants(int x, int y) {
  if (y < 12) {
    return x < 16 ? kRed : kGreen;
  }
  return x < 16 ? kBlue : kWhite;
}

TEST_F(ImageTest, FlipsRotationAndClippedContent) {
  const int id = VEL_ImageLoad(image("quad.bmp", 32, 24, quadrants).c_str());
  const struct {
    const char *what;
    VEL_ImageParams params;
    Rgba top_left, top_right, bottom_left;
  } cases[] = {
      {"plain", whole(1.0, false), kRed, kGreen, kBlue},
      {"flip_h", {0, 0, -1, -1, 1.0, 1.0, 0.0, 0, 1, 0}, kGreen, kRed, kWhite},
      {"flip_v", {0, 0, -1, -1, 1.0, 1.0, 0.0, 0, 0, 1}, kBlue, kWhite, kRed},
      {"both", {0, 0, -1, -1, 1.0, 1.0, 0.0, 0, 1, 1}, kWhite, kBlue, kGreen},
  };
  for (const auto &c : cases) {
    VEL_DrawImageEx(id, 100, 100, &c.params);
    EXPECT_EQ(read_pixel(101, 101), c.top_left) << c.what;
    EXPECT_EQ(read_pixel(130, 101), c.top_right) << c.what;
    EXPECT_EQ(read_pixel(101, 122), c.bottom_left) << c.what;
  }
  // A quarter turn clockwise about the centre: the red top-left goes to the top right.
  const VEL_ImageParams turned{0, 0, 0, 0, 1.0, 1.0, 0.25, 1, 0, 0};
  VEL_DrawImageEx(id, 300, 300, &turned);
  EXPECT_EQ(read_pixel(310, 290), kRed);
  EXPECT_EQ(read_pixel(290, 290), kBlue);
  // A source starting 8 left of the image shows the image's own first columns, 8 further right.
  const VEL_ImageParams clipped{-8, 0, 0, 0, 1.0, 1.0, 0.0, 0, 0, 0};
  VEL_DrawImageEx(id, 400, 100, &clipped);
  EXPECT_EQ(read_pixel(407, 101), kBlack);
  EXPECT_EQ(read_pixel(408, 101), kRed);
  EXPECT_EQ(read_pixel(423, 101), kRed);
  EXPECT_EQ(read_pixel(424, 101), kGreen);
  EXPECT_EQ(read_pixel(432, 101), kBlack);
}

TEST_F(ImageTest, SpritesAreTintedByTheColourState) {
  const int id = load_solid(8, 8, kWhite);
  VEL_DrawSetColor(1.0f, 0.5f, 0.0f, 1.0f);
  VEL_DrawImage(id, 10, 10);
  EXPECT_EQ(read_pixel(12, 12), (Rgba{255, 127, 0, 255}));
  VEL_DrawSetColor(1.0f, 1.0f, 1.0f, 0.5f);
  VEL_DrawImage(id, 30, 10);
  EXPECT_NEAR(read_pixel(32, 12).r, 127, 1) << "half alpha over black";
  VEL_DrawSetColor(1.0f, 1.0f, 1.0f, 1.0f);
  VEL_DrawImage(id, 50, 10);
  EXPECT_EQ(read_pixel(52, 12), kWhite);
  EXPECT_EQ(drawn_box(), (Box{10, 10, 57, 17}));
  // A new frame clears to black without touching the tint.
  VEL_DrawEnd();
  VEL_DrawSetColor(1.0f, 0.0f, 0.0f, 1.0f);
  VEL_DrawBegin();
  VEL_DrawClear();
  EXPECT_EQ(read_pixel(0, 0), kBlack);
  VEL_DrawImage(id, 10, 10);
  EXPECT_EQ(read_pixel(12, 12), kRed);
}

TEST_F(ImageTest, TilesAreWholeSquaresRowByRow) {
  // 40 x 32 with 16-pixel tiles: two per row, two rows; the partial column does not count.
  const Rgba colours[] = {kRed, kGreen, kBlue, kWhite};
  const int id = VEL_ImageLoad(image("tiles.bmp", 40, 32, [&colours](int x, int y) {
                                 return x >= 32 ? kBlack : colours[y / 16 * 2 + x / 16];
                               }).c_str());
  for (int tile = 0; tile < 4; ++tile) {
    EXPECT_EQ(VEL_DrawTile(id, tile, tile * 20, 0, 0.0, 0), 0);
    EXPECT_EQ(read_pixel(tile * 20, 0), colours[tile]);
    EXPECT_EQ(read_pixel(tile * 20 + 15, 15), colours[tile]);
  }
  EXPECT_EQ(drawn_box(), (Box{0, 0, 75, 15}));
  EXPECT_EQ(VEL_DrawTile(id, 0, 200, 0, 0.0, SDL_FLIP_HORIZONTAL), 0);
  LogCapture log;
  EXPECT_EQ(VEL_DrawTile(id, 4, 0, 100, 0.0, 0), -1);
  EXPECT_EQ(VEL_DrawTile(id, -1, 0, 100, 0.0, 0), -1);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"tile exceeds boundaries", "tile is negative"}));
}

// The game's own images load, keep their transparency and draw at their own size.
TEST_F(ImageTest, ShippedImagesDrawCentredWithTransparency) {
  const int id = VEL_ImageLoad("res/box.bmp");
  ASSERT_EQ(id, 0);
  EXPECT_EQ(VEL_ImageLoad("res/cursor.bmp"), 1);
  EXPECT_EQ(VEL_ImageLoad("res/box.bmp"), 0);
  const VEL_ImageParams params = whole();
  VEL_DrawImageEx(id, 320, 240, &params);
  const Box box = drawn_box();
  EXPECT_GE(box.x0, 288);
  EXPECT_LE(box.x1, 351);
  EXPECT_GE(box.y0, 208);
  EXPECT_LE(box.y1, 271);
  EXPECT_GT(box.x1 - box.x0, 40) << "the crate fills most of its 64 x 64 square";
}

} // namespace
