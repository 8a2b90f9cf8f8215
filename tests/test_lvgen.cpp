// The level generator run as the build runs it, on maps written to a temporary directory.
#include "support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A 2 x 1 map as the editor saves it; each broken case below changes one piece of it.
const std::string good_map = R"({ "compressionlevel":-1,
 "height":1,
 "infinite":false,
 "layers":[
        {"data":[0, 1], "height":1, "id":1, "name":"Tile Layer 1", "opacity":1,
         "type":"tilelayer", "visible":true, "width":2, "x":0, "y":0},
        {"draworder":"topdown", "id":2, "name":"Object Layer 1", "objects":[
                {"height":64, "id":3, "name":"", "rotation":0, "type":"box", "visible":true,
                 "width":64, "x":-51, "y":15},
                {"height":0, "id":4, "name":"", "point":true, "rotation":0, "type":"player",
                 "visible":true, "width":0, "x":294, "y":134}],
         "opacity":1, "type":"objectgroup", "visible":true, "x":0, "y":0}],
 "nextlayerid":3,
 "nextobjectid":5,
 "orientation":"orthogonal",
 "renderorder":"right-down",
 "tiledversion":"1.8.2",
 "tileheight":16,
 "tilesets":[],
 "tilewidth":16,
 "type":"map",
 "version":"1.8",
 "width":2
})";

std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::set<std::string> files_in(const std::string &dir) {
  std::set<std::string> names;
  for (const fs::directory_entry &entry : fs::directory_iterator(dir)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// Runs the generator in dir on maps that must fail with the one line `fault`: once with no
// output file, once over an output file from an earlier run, which must stay as it was.
void expect_failure(const std::string &dir, const std::vector<std::string> &maps,
                    const std::string &fault) {
  std::vector<std::string> argv{exe_dir() + "lvgen", "out.cpp"};
  argv.insert(argv.end(), maps.begin(), maps.end());
  std::set<std::string> before = files_in(dir);
  ProcessResult fresh = run_process(argv);
  EXPECT_NE(fresh.exit_code, 0);
  EXPECT_EQ(fresh.output, "lvgen: " + fault + "\n");
  EXPECT_EQ(files_in(dir), before) << "the generator left a file behind";

  const std::string earlier = "// records of an earlier run\n";
  write_file(dir + "out.cpp", earlier);
  ProcessResult again = run_process(argv);
  EXPECT_NE(again.exit_code, 0);
  EXPECT_EQ(again.output, fresh.output);
  EXPECT_EQ(read_file(dir + "out.cpp"), earlier);
  fs::remove(dir + "out.cpp");
}

// A temporary directory holding the good map, made the working directory (as the build runs
// the generator from the source tree, the maps are named by relative paths).
std::string enter_temp_dir() {
  std::string dir = make_temp_dir();
  EXPECT_EQ(chdir(dir.c_str()), 0);
  write_file(dir + "good.tmj", good_map);
  return dir;
}

std::string replaced(const std::string &text, const std::string &from, const std::string &to) {
  size_t at = text.find(from);
  EXPECT_TRUE(at != std::string::npos && text.find(from, at + 1) == std::string::npos)
      << "the case must change exactly one piece of the map: " << from;
  return at == std::string::npos ? text : text.substr(0, at) + to + text.substr(at + from.size());
}

struct Broken {
  const char *from; // the piece of the good map to change; null: `to` is the whole file
  const char *to;   // null with `from`: the file does not exist
  const char *fault;
};

const Broken broken_maps[] = {
    {nullptr, nullptr, "$: expected a readable map file, found none (No such file or directory)"},
    {nullptr, "", "$: expected JSON text, found a syntax error at line 1, column 1"},
    {"\"height\":1,\n", "\"height\" 1,\n",
     "$: expected JSON text, found a syntax error at line 2, column 11"},
    {nullptr, "[]", "$: expected a map object, found an array"},
    {R"("type":"map")", R"("type":"tileset")", R"($.type: expected "map", found "tileset")"},
    {R"("infinite":false)", R"("infinite":true)", "$.infinite: expected false, found true"},
    {"\"width\":2\n}", "\"width\":0\n}",
     "$.width: expected a positive whole number of tiles, found 0"},
    {"\"width\":2\n}", "\"width\":\"2\"\n}",
     R"($.width: expected a positive whole number of tiles, found "2")"},
    {R"("tilewidth":16,)", "",
     "$.tilewidth: expected a positive whole number of pixels, found nothing"},
    {R"("layers":[)", R"("levels":[)", "$.layers: expected an array of layers, found nothing"},
    {nullptr, R"({"width":2, "height":1, "tilewidth":16, "tileheight":16, "layers":[]})",
     "$.layers: expected a tile layer, found none"},
    {"[0, 1]", "[0]", "$.layers[0].data: expected 2 tile numbers (2 x 1), found 1"},
    {"[0, 1]", R"("AAAAAAEAAAA=", "encoding":"base64")",
     "$.layers[0].data: expected an array of 2 tile numbers (2 x 1), found a string (the layer "
     "is encoded: save it in the CSV tile layer format)"},
    {"[0, 1]", "[0, -1]",
     "$.layers[0].data[1]: expected a tile number from 0 to 4294967295, found -1"},
    {"[0, 1]", "[0.5, 1]",
     "$.layers[0].data[0]: expected a tile number from 0 to 4294967295, found 0.5"},
    {R"("width":2, "x")", R"("width":1, "x")", "$.layers[0].width: expected 2, found 1"},
    {R"("type":"objectgroup")", R"("type":"group")",
     R"($.layers[1].type: expected "tilelayer" or "objectgroup", found "group")"},
    {R"("objects":[)", R"("things":[)",
     "$.layers[1].objects: expected an array of objects, found nothing"},
    {R"("type":"box", )", "",
     "$.layers[1].objects[0].type: expected the name of the object's type, found nothing"},
    {R"("type":"box", )", R"("class":"", )",
     R"($.layers[1].objects[0].class: expected the name of the object's type, found "")"},
    {R"("x":294)", R"("x":"294")", R"($.layers[1].objects[1].x: expected a number, found "294")"},
    {R"("height":64, )", "", "$.layers[1].objects[0].height: expected a number, found nothing"},
    {R"("id":4)", R"("id":3)",
     "$.layers[1].objects[1].id: expected an id unique within the map, found 3 again (first at "
     "$.layers[1].objects[0])"},
};

} // namespace

TEST(Lvgen, BrokenMapFailsWithOneLineAndWritesNothing) {
  std::string dir = enter_temp_dir();
  for (const Broken &map : broken_maps) {
    SCOPED_TRACE(map.fault);
    fs::remove(dir + "bad.tmj");
    if (map.from != nullptr) {
      write_file(dir + "bad.tmj", replaced(good_map, map.from, map.to));
    } else if (map.to != nullptr) {
      write_file(dir + "bad.tmj", map.to);
    }
    // The good map comes first: a later fault must still keep its records from being written.
    expect_failure(dir, {"good.tmj", "bad.tmj"}, std::string("bad.tmj: ") + map.fault);
  }
  fs::remove_all(dir);
}

TEST(Lvgen, MapsWhoseRecordsWouldShareANameFail) {
  std::string dir = enter_temp_dir();
  write_file(dir + "good_tmj", good_map);
  expect_failure(dir, {"good.tmj", "good_tmj"},
                 "good_tmj: expected a path that gives its records names of their own, found "
                 "good_tmj already taken by good.tmj");
  fs::remove_all(dir);
}

TEST(Lvgen, GoodMapsBecomeRecordsInCommandLineOrder) {
  std::string dir = enter_temp_dir();
  fs::create_directory(dir + "sub");
  // The newer editors' "class", a flipped tile, a name to escape and fractional corners.
  write_file(dir + "sub/b.tmj", R"({"type":"map", "width":1, "height":2, "tilewidth":8,
    "tileheight":8, "layers":[{"type":"tilelayer", "name":"Floor", "data":[2147483649, 7]},
    {"type":"objectgroup", "objects":[{"id":1, "class":"alarm", "name":"say \"hi\"\\\n",
    "x":0.30000000000000004, "y":-2.5, "width":0, "height":0}]}]})");
  ProcessResult run = run_process({exe_dir() + "lvgen", "out.cpp", "good.tmj", "sub/b.tmj"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, "");
  std::string source = read_file(dir + "out.cpp");
  EXPECT_EQ(source.substr(0, source.find('\n')),
            "// generated by lvgen from good.tmj sub/b.tmj; do not edit");
  EXPECT_NE(source.find("const lvgen_map good_tmj = {"), std::string::npos);
  EXPECT_NE(source.find("const lvgen_map sub_b_tmj = {"), std::string::npos);
  EXPECT_NE(source.find(R"("sub/b.tmj")"), std::string::npos);

  size_t list = source.find("const lvgen_map *const lvgen_maps[] = {");
  ASSERT_NE(list, std::string::npos);
  std::string entries = source.substr(list, source.find('\n', list) - list);
  size_t first = entries.find("&good_tmj");
  size_t second = entries.find("&sub_b_tmj");
  size_t end = entries.find("nullptr}");
  EXPECT_TRUE(first < second && second < end && end != std::string::npos) << entries;

  // Exact values: the shortest text that reads back as the same double, the tile's 32 bits.
  EXPECT_NE(source.find("0.30000000000000004"), std::string::npos);
  EXPECT_NE(source.find("-2.5"), std::string::npos);
  EXPECT_NE(source.find("-2147483647"), std::string::npos);
  EXPECT_NE(source.find(R"({"alarm", "say \"hi\"\\\012", 1,)"), std::string::npos);
  EXPECT_EQ(files_in(dir), (std::set<std::string>{"good.tmj", "sub", "out.cpp"}));
  fs::remove_all(dir);
}
