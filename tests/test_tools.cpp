// The build's generators: the level generator on broken maps, whose one line is the level
// designer's only word of what is wrong, and the asset generator, whose output is the same
// bytes every time.
#include "support.h"

namespace {

// A map as the editor saves it, small: two cells, one tile layer, one object.
constexpr char kMap[] = R"({"width": 2, "height": 1, "tilewidth": 16, "tileheight": 16,
  "layers": [{"type": "tilelayer", "data": [0, 1]},
             {"type": "objectgroup", "objects": [{"id": 7, "type": "box", "x": 0, "y": 0,
                                                  "width": 64, "height": 64}]}]})";

// Each fault (a change to the map) ends lvgen with status 1 and one line naming the map, where
// in it the fault lies and what is wrong, and leaves the records written before untouched.
TEST(Tools, LvgenNamesWhatIsWrongAndKeepsTheRecords) {
  const std::string dir = make_temp_dir(), records = dir + "records.cpp", map = dir + "map.tmj";
  const std::string lvgen = "\"" + exe_dir() + "lvgen\" \"$0\" \"" + map + "\"";
  ASSERT_TRUE(write_file(map, kMap));
  ASSERT_EQ(run_shell(lvgen, records).exit_code, 0);
  const std::string written = read_file(records);
  EXPECT_NE(written.find("\"box\""), std::string::npos) << written;
  // What is replaced in the map, by what, and the line after "lvgen: MAP: ".
  const std::tuple<std::string, std::string, std::string> faults[] = {
      {"[0, 1]", "[0 1]", "$: expected JSON text, found a syntax error at line 2, column 47"},
      {"{\"type\": \"tilelayer\", \"data\": [0, 1]},", "",
       "$.layers: expected a tile layer, found none"},
      {"\"width\": 2", "\"width\": \"2\"",
       "$.width: expected a positive whole number of tiles, found \"2\""},
      {"\"x\": 0", "\"x\": [0]", "$.layers[1].objects[0].x: expected a number, found an array"},
      {"\"id\": 7, ", "", "$.layers[1].objects[0].id: expected a whole number, found nothing"}};
  for (const auto &[from, to, line] : faults) {
    std::string broken = kMap;
    broken.replace(broken.find(from), from.size(), to);
    ASSERT_TRUE(write_file(map, broken));
    const ProcessResult run = run_shell(lvgen, records);
    EXPECT_EQ(std::pair(run.exit_code, run.output),
              std::pair(1, "lvgen: " + map + ": " + line + "\n"));
    EXPECT_EQ(read_file(records), written);
  }
}

// Two runs of the asset generator, and two of its icons, give the same files, byte for byte.
TEST(Tools, AssetsAreTheSameBytesTwice) {
  const std::string dir = make_temp_dir();
  const ProcessResult run = run_shell("cd \"$0\" && for d in 1 2; do \"" + exe_dir() +
                                          "assetgen\" res$d && \"" + exe_dir() +
                                          "assetgen\" --icons icons$d || exit; done >/dev/null;"
                                          "diff -r res1 res2 && diff -r icons1 icons2 &&"
                                          "ls res1 icons1/scalable/apps | wc -l",
                                      dir);
  EXPECT_EQ(std::pair(run.exit_code, run.output), std::pair(0, std::string("18\n")));
}

} // namespace
