// The shipped level as the build compiles it in, and the queries on the current level.
#include "map.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

// One run of records of one type in the level's record order: the first record, the type,
// the id ranges and the top-left corner of every record of the run.
struct Run {
  uint32_t first;
  const char *type;
  std::vector<std::pair<int32_t, int32_t>> ids;
  std::vector<std::pair<double, double>> corners;
};

// The level as it was designed, run by run.
// clang-format off
const std::vector<Run> designed_level = {
    {0, "alarm", {{40, 40}}, {{245, 387}}},
    {1, "window", {{2, 2}, {5, 8}}, {{445, 180}, {169, 203}, {575, 131}, {287, 131}, {22, 172}}},
    {6, "box", {{9, 12}}, {{374, 395}, {538, 325}, {369, 297}, {51, 340}}},
    {10, "window", {{13, 14}}, {{151, 70}, {371, 56}}},
    {12, "box", {{18, 39}},
     {{504, 328}, {101, 368}, {517, 385}, {153, 337}, {441, 360}, {308, 364}, {106, 318},
      {383, 324}, {200, 339}, {75, 360}, {178, 359}, {163, 416}, {231, 362}, {231, 372},
      {324, 336}, {320, 332}, {464, 395}, {451, 284}, {473, 323}, {215, 379}, {281, 371},
      {285, 305}}},
    {34, "window", {{49, 55}, {65, 71}},
     {{359, 165}, {83, 188}, {489, 116}, {201, 116}, {-34, 98}, {65, 55}, {285, 41},
      {564, 174}, {288, 197}, {577, 48}, {406, 125}, {141, 166}, {241, 56}, {490, 50}}},
    {48, "alarm", {{171, 171}}, {{290, 361}}},
    {49, "window", {{172, 176}}, {{490, 154}, {214, 177}, {620, 105}, {332, 105}, {67, 146}}},
    {54, "box", {{177, 180}}, {{419, 369}, {583, 299}, {414, 271}, {96, 314}}},
    {58, "window", {{181, 182}}, {{196, 44}, {416, 30}}},
    {60, "box", {{183, 204}},
     {{549, 302}, {146, 342}, {562, 359}, {198, 311}, {486, 334}, {353, 338}, {151, 292},
      {428, 298}, {245, 313}, {120, 334}, {223, 333}, {208, 390}, {276, 336}, {276, 346},
      {369, 310}, {365, 306}, {509, 369}, {496, 258}, {518, 297}, {260, 353}, {326, 345},
      {330, 279}}},
    {82, "window", {{205, 218}},
     {{404, 139}, {128, 162}, {534, 90}, {246, 90}, {11, 72}, {110, 29}, {330, 15},
      {609, 148}, {333, 171}, {622, 22}, {451, 99}, {186, 140}, {286, 30}, {535, 24}}},
    {96, "alarm", {{267, 267}}, {{172, 395}}},
    {97, "window", {{268, 272}}, {{372, 188}, {96, 211}, {502, 139}, {214, 139}, {-51, 180}}},
    {102, "box", {{273, 276}}, {{301, 403}, {465, 333}, {296, 305}, {-22, 348}}},
    {106, "window", {{277, 278}}, {{78, 78}, {298, 64}}},
    {108, "box", {{279, 300}},
     {{431, 336}, {28, 376}, {444, 393}, {80, 345}, {368, 368}, {235, 372}, {33, 326},
      {310, 332}, {127, 347}, {2, 368}, {105, 367}, {90, 424}, {158, 370}, {158, 380},
      {251, 344}, {247, 340}, {391, 403}, {378, 292}, {400, 331}, {142, 387}, {208, 379},
      {212, 313}}},
    {130, "window", {{301, 304}, {306, 314}},
     {{286, 173}, {10, 196}, {416, 124}, {128, 124}, {-8, 63}, {212, 49}, {491, 182},
      {215, 205}, {504, 56}, {333, 133}, {68, 174}, {168, 64}, {417, 58}}},
    {143, "player", {{74, 74}}, {{294, 134}}},
};
// clang-format on

struct Expected {
  std::string type;
  int32_t id;
  double x, y;
};

std::vector<Expected> expand(const std::vector<Run> &runs) {
  std::vector<Expected> records;
  for (const Run &run : runs) {
    EXPECT_EQ(records.size(), run.first) << run.type;
    std::vector<int32_t> ids;
    for (auto [low, high] : run.ids) {
      for (int32_t id = low; id <= high; ++id) {
        ids.push_back(id);
      }
    }
    EXPECT_EQ(ids.size(), run.corners.size()) << "run at record " << run.first;
    for (size_t i = 0; i < ids.size() && i < run.corners.size(); ++i) {
      records.push_back({run.type, ids[i], run.corners[i].first, run.corners[i].second});
    }
  }
  return records;
}

} // namespace

TEST(Map, ShippedLevelHoldsTheDesignedObjects) {
  const lvgen_map *level = lvgen_maps[0];
  ASSERT_NE(level, nullptr);
  EXPECT_STREQ(level->path, "map/fendor.tmj");
  std::vector<Expected> expected = expand(designed_level);
  ASSERT_EQ(expected.size(), 144u);
  ASSERT_EQ(level->num_objects, 144u);

  std::map<std::string, int> counts;
  for (uint32_t i = 0; i < level->num_objects; ++i) {
    const lvgen_object &object = level->objects[i];
    SCOPED_TRACE("record " + std::to_string(i));
    counts[object.type]++;
    EXPECT_EQ(object.type, expected[i].type);
    EXPECT_EQ(object.id, expected[i].id);
    EXPECT_EQ(object.x, expected[i].x);
    EXPECT_EQ(object.y, expected[i].y);
    double size = expected[i].type == "box" || expected[i].type == "window" ? 64.0 : 0.0;
    EXPECT_EQ(object.width, size);
    EXPECT_EQ(object.height, size);
    EXPECT_STREQ(object.name, "");
    EXPECT_EQ(object.rotation, 0.0);
    EXPECT_TRUE(object.visible);
  }
  std::map<std::string, int> designed{{"box", 78}, {"window", 62}, {"alarm", 3}, {"player", 1}};
  EXPECT_EQ(counts, designed);
}

TEST(Map, ShippedLevelIsTheOnlyOneAndItsGridIsEmpty) {
  const lvgen_map *level = lvgen_maps[0];
  ASSERT_NE(level, nullptr);
  EXPECT_EQ(lvgen_maps[1], nullptr);
  EXPECT_EQ(level->width, 40);
  EXPECT_EQ(level->height, 30);
  EXPECT_EQ(level->tilewidth, 16);
  EXPECT_EQ(level->tileheight, 16);
  ASSERT_EQ(level->num_layers, 1u);
  const lvgen_layer &layer = level->layers[0];
  EXPECT_STREQ(layer.name, "Tile Layer 1");
  EXPECT_EQ(layer.opacity, 1.0);
  EXPECT_EQ(layer.offset_x, 0);
  EXPECT_EQ(layer.offset_y, 0);
  int nonzero = 0;
  for (int i = 0; i < 40 * 30; ++i) {
    nonzero += layer.data[i] != 0;
  }
  EXPECT_EQ(nonzero, 0);
}

TEST(Map, QueriesAnswerSolidOutsideTheGrid) {
  struct Query {
    bool pixels; // map_get_px rather than map_get
    int32_t x, y;
    int32_t answer;
  };
  const Query queries[] = {
      {false, 0, 0, 0},         {false, 39, 29, 0},
      {false, -1, 0, 1},        {false, 0, -1, 1},
      {false, 40, 0, 1},        {false, 0, 30, 1},
      {false, 39, 30, 1},       {false, 40, 29, 1},
      {false, INT32_MIN, 0, 1}, {false, INT32_MAX, INT32_MAX, 1},
      {true, 0, 0, 0},          {true, 15, 15, 0},
      {true, 639, 479, 0},      {true, -1, 0, 1},
      {true, 0, -1, 1},         {true, 640, 0, 1},
      {true, 0, 480, 1},        {true, 639, 480, 1},
      {true, INT32_MIN, 5, 1},  {true, INT32_MAX, 5, 1},
  };
  EXPECT_EQ(map_width(), 40);
  EXPECT_EQ(map_height(), 30);
  for (const Query &q : queries) {
    int32_t answer = q.pixels ? map_get_px(q.x, q.y) : map_get(q.x, q.y);
    EXPECT_EQ(answer, q.answer) << (q.pixels ? "map_get_px(" : "map_get(") << q.x << ", " << q.y
                                << ")";
  }
}

TEST(Map, NextStaysOnTheOnlyLevel) {
  const lvgen_object *objects = map_objects(nullptr);
  map_next();
  map_next();
  EXPECT_EQ(map_objects(nullptr), objects);
  EXPECT_EQ(objects, lvgen_maps[0]->objects);
  EXPECT_EQ(map_width(), 40);
  EXPECT_EQ(map_height(), 30);
  EXPECT_EQ(map_get(39, 29), 0);
  EXPECT_EQ(map_get(40, 29), 1);
}

TEST(Map, ObjectsWithAndWithoutCount) {
  EXPECT_EQ(map_objects(nullptr), lvgen_maps[0]->objects);
  uint32_t count = 7;
  EXPECT_EQ(map_objects(&count), lvgen_maps[0]->objects);
  EXPECT_EQ(count, 144u);
}
