// The level generator run as the build runs it, on maps written to a temporary directory.
#include "support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

// A 2 x 1 map as the editor saves it, less what the generator ignores; each broken map below
// changes one piece of it.
const std::string good_map = R"({"height":1, "infinite":false, "layers":[
  {"data":[0, 1], "height":1, "name":"Tile Layer 1", "type":"tilelayer", "width":2, "x":0},
  {"objects":[{"height":64, "id":3, "name":"", "type":"box", "width":64, "x":-51, "y":15},
   {"height":0, "id":4, "name":"", "type":"player", "width":0, "x":294, "y":134}],
   "type":"objectgroup"}], "tileheight":16, "tilewidth":16, "type":"map", "width":2})";

// Runs the generator in the working directory on the maps, once with no output file and once
// over one an earlier run wrote: each run fails with the one line, leaves no file behind and
// the earlier output as it was.
void expect_failure(const std::vector<std::string> &maps, const std::string &line) {
  namespace fs = std::filesystem;
  std::vector<std::string> argv{exe_dir() + "lvgen", "out.cpp"};
  argv.insert(argv.end(), maps.begin(), maps.end());
  for (const std::string earlier : {"", "// records of an earlier run\n"}) {
    fs::remove("out.cpp");
    if (!earlier.empty())
      write_file("out.cpp", earlier);
    const auto files = [] {
      return std::distance(fs::directory_iterator("."), fs::directory_iterator());
    };
    const auto before = files();
    const ProcessResult run = run_process(argv);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.output, "lvgen: " + line + "\n");
    EXPECT_EQ(files(), before) << "a file left behind";
    EXPECT_EQ(read_file("out.cpp"), earlier);
  }
}

// A fresh temporary directory holding the good map, made the working directory (the build
// names the maps by paths relative to the source tree).
std::string enter_temp_dir() {
  const std::string dir = make_temp_dir();
  EXPECT_EQ(chdir(dir.c_str()), 0);
  EXPECT_TRUE(write_file("good.tmj", good_map));
  return dir;
}

// Each broken map, given after the good one, fails the run (with no `from` the file is `to`,
// with neither there is no file); so do two maps whose records would share a name.
TEST(Lvgen, BrokenMapFailsWithOneLineAndWritesNothing) {
  const std::tuple<const char *, const char *, const char *> broken[] = {
      // clang-format off
      {nullptr, nullptr, "$: expected a readable map file, found none (No such file or directory)"},
      {"\"height\":1", "\"height\" 1", "$: expected JSON text, found a syntax error at line 1, column 11"},
      {nullptr, "[]", "$: expected a map object, found an array"},
      {R"("infinite":false)", R"("infinite":true)", "$.infinite: expected false, found true"},
      {R"("width":2})", R"("width":"2"})", R"($.width: expected a positive whole number of tiles, found "2")"},
      {"[0, 1]", "[0]", "$.layers[0].data: expected 2 tile numbers (2 x 1), found 1"},
      {"[0, 1]", R"("AAAAAAEAAAA=", "encoding":"base64")", "$.layers[0].data: expected an array of 2 tile "
       "numbers (2 x 1), found a string (the layer is encoded: save it in the CSV tile layer format)"},
      {"[0, 1]", "[0, -1]", "$.layers[0].data[1]: expected a tile number from 0 to 4294967295, found -1"},
      {R"("width":2, "x")", R"("width":1, "x")", "$.layers[0].width: expected 2, found 1"},
      {R"("type":"objectgroup")", R"("type":"group")", R"($.layers[1].type: expected "tilelayer" or "objectgroup", found "group")"},
      {R"("type":"box", )", "", "$.layers[1].objects[0].type: expected the name of the object's type, found nothing"},
      {R"("id":4)", R"("id":3)", "$.layers[1].objects[1].id: expected an id unique within the map, found 3 "
       "again (first at $.layers[1].objects[0])"}};
  // clang-format on
  const std::string dir = enter_temp_dir();
  for (const auto &[from, to, fault] : broken) {
    SCOPED_TRACE(fault);
    const size_t at = from ? good_map.find(from) : 0;
    ASSERT_NE(at, std::string::npos);
    std::filesystem::remove("bad.tmj");
    if (to)
      write_file("bad.tmj", from ? std::string(good_map).replace(at, strlen(from), to) : to);
    expect_failure({"good.tmj", "bad.tmj"}, std::string("bad.tmj: ") + fault);
  }
  write_file("good_tmj", good_map);
  expect_failure({"good.tmj", "good_tmj"},
                 "good_tmj: expected a path that gives its records "
                 "names of their own, found good_tmj already taken by good.tmj");
  std::filesystem::remove_all(dir);
}

// Two good maps become records in command-line order, with exact values: the shortest text
// that reads back as the same double, a tile's 32 bits, an escaped name, the newer "class".
TEST(Lvgen, GoodMapsBecomeRecordsInCommandLineOrder) {
  const std::string dir = enter_temp_dir();
  std::filesystem::create_directory("sub");
  write_file("sub/b.tmj", R"({"type":"map", "width":1, "height":2, "tilewidth":8, "tileheight":8,
    "layers":[{"type":"tilelayer", "name":"Floor", "data":[2147483649, 7]}, {"type":"objectgroup",
    "objects":[{"id":1, "class":"alarm", "name":"say \"hi\"\\\n", "x":0.30000000000000004, "y":-2.5,
    "width":0, "height":0}]}]})");
  const ProcessResult run = run_process({exe_dir() + "lvgen", "out.cpp", "good.tmj", "sub/b.tmj"});
  EXPECT_EQ(std::pair(run.exit_code, run.output), std::pair(0, std::string()));
  const std::string source = read_file("out.cpp");
  for (const char *piece :
       {"// generated by lvgen from good.tmj sub/b.tmj; do not edit\n",
        "const lvgen_map good_tmj = {", "const lvgen_map sub_b_tmj = {", R"("sub/b.tmj")",
        "0.30000000000000004", "-2.5", "-2147483647", R"({"alarm", "say \"hi\"\\\012", 1,)",
        "const lvgen_map *const lvgen_maps[] = {&good_tmj, &sub_b_tmj, nullptr};"})
    EXPECT_NE(source.find(piece), std::string::npos) << piece;
  EXPECT_EQ(source.find("// generated"), 0u);
  std::filesystem::remove_all(dir);
}

} // namespace
