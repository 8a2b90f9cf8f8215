// The shipped level as the build compiles it in, and the queries on the current level.
#include "map.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// The level as designed, in record order: a word names the type of the records after it, "#n"
// gives the next record the id n (each record takes the id after the one before), and every
// pair of numbers is a record's top-left corner.
constexpr const char *DESIGNED = R"(alarm #40 245 387 window #2 445 180 #5 169 203 575 131 287 131
22 172 box 374 395 538 325 369 297 51 340 window 151 70 371 56 box #18 504 328 101 368 517 385 153
337 441 360 308 364 106 318 383 324 200 339 75 360 178 359 163 416 231 362 231 372 324 336 320 332
464 395 451 284 473 323 215 379 281 371 285 305 window #49 359 165 83 188 489 116 201 116 -34 98 65
55 285 41 #65 564 174 288 197 577 48 406 125 141 166 241 56 490 50 alarm #171 290 361 window 490 154
214 177 620 105 332 105 67 146 box 419 369 583 299 414 271 96 314 window 196 44 416 30 box 549 302
146 342 562 359 198 311 486 334 353 338 151 292 428 298 245 313 120 334 223 333 208 390 276 336 276
346 369 310 365 306 509 369 496 258 518 297 260 353 326 345 330 279 window 404 139 128 162 534 90
246 90 11 72 110 29 330 15 609 148 333 171 622 22 451 99 186 140 286 30 535 24 alarm #267 172 395
window 372 188 96 211 502 139 214 139 -51 180 box 301 403 465 333 296 305 -22 348 window 78 78 298
64 box 431 336 28 376 444 393 80 345 368 368 235 372 33 326 310 332 127 347 2 368 105 367 90 424 158
370 158 380 251 344 247 340 391 403 378 292 400 331 142 387 208 379 212 313 window 286 173 10 196
416 124 128 124 #306 -8 63 212 49 491 182 215 205 504 56 333 133 68 174 168 64 417 58 player #74 294
134)";

// Every record against the design (test_game counts the entities of each type).
TEST(Map, ShippedLevelHoldsTheDesignedObjects) {
  const lvgen_map &level = *lvgen_maps[0];
  ASSERT_EQ(level.num_objects, 144u);
  std::istringstream designed(DESIGNED);
  std::string type;
  int32_t id = 0;
  uint32_t i = 0;
  for (std::string word; designed >> word && i < 144;) {
    double y = 0;
    if (word[0] == '#') {
      id = std::stoi(word.substr(1));
    } else if (std::isalpha(word[0])) {
      type = word;
    } else if (designed >> y) {
      const lvgen_object &o = level.objects[i++];
      const double size = type == "box" || type == "window" ? 64.0 : 0.0;
      EXPECT_EQ(std::tuple(std::string(o.type), o.id, o.x, o.y, o.width, o.height, o.rotation,
                           *o.name, o.visible),
                std::tuple(type, id++, std::stod(word), y, size, size, 0.0, '\0', true))
          << i - 1;
    }
  }
  EXPECT_EQ(i, 144u);
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
