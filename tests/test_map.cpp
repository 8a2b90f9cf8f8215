// The shipped level as the build compiles it in, and the queries on the current level.
#include "map.h"

#include <gtest/gtest.h>
namespace {

// The shipped level as compiled in: records at the ends of the list and at the extremes of
// the design, with their types, ids and corners (the play test draws and smashes them all).
TEST(Map, ShippedLevelRecords) {
  const lvgen_map &level = *lvgen_maps[0];
  ASSERT_EQ(level.num_objects, 144u);
  const std::tuple<int, const char *, int32_t, double, double, double> records[] = {
      {0, "alarm", 40, 245, 387, 0},      {1, "window", 2, 445, 180, 64},
      {101, "window", 272, -51, 180, 64}, {119, "box", 290, 90, 424, 64},
      {142, "window", 314, 417, 58, 64},  {143, "player", 74, 294, 134, 0}};
  for (const auto &[i, type, id, x, y, size] : records) {
    const lvgen_object &o = level.objects[i];
    EXPECT_EQ(
        std::tuple(std::string(o.type), o.id, o.x, o.y, o.width, o.height, *o.name, o.visible),
        std::tuple(type, id, x, y, size, size, '\0', true))
        << i;
  }
}

// The only level: 40 x 30 cells of 16 pixels, none of them solid, which map_next keeps; every
// cell and pixel outside the grid answers solid.
TEST(Map, TheOnlyLevelAndItsQueries) {
  map_next();
  const lvgen_map &level = *lvgen_maps[0];
  const lvgen_layer &layer = level.layers[0];
  uint32_t count = 0;
  EXPECT_EQ(map_objects(&count), level.objects);
  EXPECT_EQ(
      std::tuple(std::string(level.path), count, level.num_layers, layer.offset_x, layer.offset_y),
      std::tuple("map/fendor.tmj", 144u, 1u, 0, 0));
  EXPECT_EQ(std::tuple(map_width(), map_height(), level.tilewidth, level.tileheight),
            std::tuple(40, 30, 16, 16));
  EXPECT_EQ(std::count(layer.data, layer.data + 40 * 30, 0), 40 * 30);
  EXPECT_EQ(lvgen_maps[1], nullptr);
  // clang-format off
  const std::tuple<bool, int32_t, int32_t, int32_t> queries[] = { // pixels?, x, y, answer
      {false, 0, 0, 0}, {false, 39, 29, 0}, {false, -1, 0, 1}, {false, 0, -1, 1}, {false, 40, 0, 1},
      {false, 0, 30, 1}, {false, 39, 30, 1}, {false, 40, 29, 1}, {false, INT32_MIN, 0, 1},
      {false, INT32_MAX, INT32_MAX, 1}, {true, 0, 0, 0}, {true, 639, 479, 0}, {true, -1, 0, 1},
      {true, 0, -1, 1}, {true, 640, 0, 1}, {true, 0, 480, 1}, {true, INT32_MIN, 5, 1}, {true, INT32_MAX, 5, 1}};
  // clang-format on
  for (const auto &[pixels, x, y, answer] : queries)
    EXPECT_EQ(pixels ? map_get_px(x, y) : map_get(x, y), answer)
        << pixels << ": " << x << ", " << y;
}

} // namespace
