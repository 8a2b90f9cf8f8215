// The map reader's two callers, the level generator and `pordeck --level`, on maps as Tiled
// saves them: their lines are the level designer's only word of what is wrong. And the
// release's refusals. (That the asset generator makes the same bytes every time, the
// release's reproducibility check sees: two builds of the downloads that carry them.)
#include "map.h"
#include "records.h"
#include "support.h"

namespace {

// A small map as Tiled saves it: 3 x 2 cells, a tile layer, an object layer of a box and the
// player; and its records.
constexpr char kMap[] = R"({"width": 3, "height": 2, "tilewidth": 16, "tileheight": 16,
  "infinite": false, "layers": [{"type": "tilelayer", "data": [0, 1, 0, 1, 1, 0]},
  {"type": "objectgroup", "objects": [{"id": 7, "type": "box", "x": 0, "y": 0, "width": 64,
  "height": 32}, {"id": 8, "type": "player", "x": 30, "y": 20, "width": 0, "height": 0}]}]})";
const std::string kTiles = "3x2 010110", kBox = " box 7 (0,0 64x32)";
const std::string kRecords = kTiles + kBox + " player 8 (30,20 0x0)";
// kMap's tiles in Tiled's base64 layer formats: uncompressed, zlib, gzip, Zstandard.
constexpr char kEncoded[] = "\"encoding\": \"base64\", \"compression\": \"%s\", \"data\": \"%s\"";
const std::string kBase64[][2] = {{"", "AAAAAAEAAAAAAAAAAQAAAAEAAAAAAAAA"},
                                  {"zlib", "eNpjYGBgYGSAAEYkNgAAQAAE"},
                                  {"gzip", "H4sIAAAAAAACA2NgYGBgZIAARiQ2AJe9qZEYAAAA"},
                                  {"zstd", "KLUv/QBoVQAAgoEBgBCACAgBAA=="}};
std::string encoded(int format) {
  char text[200];
  std::snprintf(text, sizeof text, kEncoded, kBase64[format][0].c_str(),
                kBase64[format][1].c_str());
  return text;
}

// n boxes at (0, 0), ids from 100, each closed by `last`; or their records.
std::string boxes(int n, const std::string &last = "}, ", bool records = false) {
  std::string text;
  for (int id = 100; id < 100 + n; ++id)
    text += records ? " box " + std::to_string(id) + " (0,0 64x64)"
                    : R"({"id": )" + std::to_string(id) +
                          R"(, "type": "box", "x": 0, "y": 0, "width": 64, "height": 64)" + last;
  return text;
}

// kMap with each '|'-separated piece of `from` replaced by the matching piece of `to`.
std::string changed(const std::string &from, const std::string &to) {
  std::string map = kMap;
  for (size_t f = 0, t = 0; f <= from.size() && !from.empty(); ++f, ++t) {
    const size_t f_end = std::min(from.find('|', f), from.size()), t_end = to.find('|', t);
    map.replace(map.find(from.substr(f, f_end - f)), f_end - f, to.substr(t, t_end - t));
    f = f_end, t = std::min(t_end, to.size());
  }
  return map;
}

// The records of the level the game plays, as its queries give them.
std::string played() {
  std::vector<int32_t> tiles;
  for (int32_t i = 0; i < map_width() * map_height(); ++i)
    tiles.push_back(map_get(i % map_width(), i / map_width()));
  uint32_t count = 0;
  const lvgen_object *objects = map_objects(&count);
  return records_line(map_width(), map_height(), tiles.data(), objects, count);
}

struct Row {
  std::string from, to; // the change to kMap
  Lines lines;          // what lvgen and the game say of it, each after "MAP: "
  std::string records;  // "": refused
  bool fifo = false;    // the records go to a FIFO
};

// Each map goes through lvgen (its lines, status 1 and the records from before when it
// refuses) and through the game's reader (the same lines, logged; `pordeck --level` ends with
// status 2 before its window opens when it refuses); the records of the accepted ones, as
// the game plays them and compiled from lvgen's source, are the row's. The shipped map still
// gives the same bytes.
TEST(Tools, MapsAsTiledSavesThemBuildOrSayWhatToChange) {
  const std::string dir = make_temp_dir(), records = dir + "records.cpp", fifo = dir + "fifo";
  ASSERT_EQ(run_shell("mkfifo \"$0\"", fifo).exit_code, 0);
  ASSERT_TRUE(write_file(dir + "crate.tj", R"({"type": "template", "object": {"type": "box",
    "name": "crate", "width": 64, "height": 32, "x": 1, "y": 1}})"));
  ASSERT_TRUE(write_file(dir + "empty.tj", R"({"type": "template"})"));
  const std::string csv = R"("data": [0, 1, 0, 1, 1, 0])", box = R"("type": "box", )";
  Lines twenty;
  for (int i = 0; i < 20; ++i)
    twenty.push_back("$.layers[1].objects[" + std::to_string(i) +
                     "].x: expected a number, found an array");
  twenty.push_back("and 2 more faults");
  const std::string player = " player 8 (30,20 0x0)", hidden = R"([{"type": "tilelayer",
    "name": "old", "visible": false}, {)",
                    group = R"({"type": "group", "offsetx": 10,
    "offsety": 2.5, "layers": [{"type": "objectgroup", "offsetx": 5, |]}]}]})";
  std::string deep = R"({"type": "objectgroup", |]})"; // in groups 64 deep, the most read
  for (int i = 0; i < 64; ++i)
    deep = R"({"type": "group", "layers": [)" + deep + "]}";
  // clang-format off
  const Row rows[] = {
      {"", "", {}, kRecords},
      {csv, encoded(0), {}, kRecords}, {csv, encoded(1), {}, kRecords},
      {csv, encoded(2), {}, kRecords}, {csv, encoded(3), {}, kRecords},
      {csv, R"("data": [0.0, 1, 0, 1, 1.0, 0])", {}, kRecords}, // whole numbers as floats
      {R"("type": "box")", R"("class": "box")", {}, kRecords},
      {R"("tilewidth": 16|)" + csv + R"(|"id": 7)", R"("tilewidth": 1|"encoding": "base64", )"
       R"("data": "AAAAAAEBAAAAAAAAAQAAAAEAAAAAAAAA"|"id": -7)", {}, // tile 257
       "3x2 02570110 box -7 (0,0 64x32)" + player},
      {box, R"("type": "", )", {"$.layers[1].objects[0]: warning: object 7 at (0, 0) has no class "
                                "and is left out (give it one: box, window, alarm or player)"},
       kTiles + player},
      {R"({"type": "objectgroup", |]}]})", group, {},
       kTiles + " box 7 (15,2.5 64x32) player 8 (45,22.5 0x0)"},
      {R"({"type": "objectgroup", |]}]})", deep + "]}", {}, kRecords},
      {"[{", hidden, {R"($.layers[0]: warning: hidden layer "old" is left out (show it in the )"
                      "Layers view to have it in the level)"}, kRecords},
      {"[{", R"([{"type": "imagelayer", "name": "sky"}, {)",
       {R"($.layers[0]: warning: image layer "sky" is left out (image layers are not supported: )"
        "the game draws its own background)"}, kRecords},
      {box, R"("template": "crate.tj", )", {}, kRecords},
      {box, R"("template": "crate.tx", )",
       {R"($.layers[1].objects[0].template: expected a template saved as JSON (.tj), found )"
        R"("crate.tx" (XML templates are not supported: save the template in Tiled as a JSON )"
        "template file (.tj) and use that one)"}, ""},
      {R"("type": "box", |"type": "player")",
       R"("template": "missing.tj", |"template": "empty.tj")",
       {"missing.tj: $: expected a readable template file, found none (No such file or directory)",
        "empty.tj: $.object: expected the template's object, found nothing"}, ""},
      {R"("player")", R"("alarm")", {"$: warning: no object of class player, so no crosshair (add "
                                     "a point object of class player)"},
       kTiles + kBox + " alarm 8 (30,20 0x0)"},
      {R"({"id": 7)", boxes(511) + R"({"id": 7)",
       {"$: warning: 513 objects, more than the 512 the game holds (remove 1)"},
       kTiles + boxes(511, "", true) + kBox + player},
      {R"({"id": 7)", boxes(22, R"(, "x": []}, )") + R"({"id": 7)", twenty, ""},
      {R"("infinite": false)", R"("infinite": true)", {"$.infinite: expected false, found true "
       "(infinite maps are not supported: untick Infinite in Map > Map Properties)"}, ""},
      {R"("x": 30)", R"("x": 1e400)", {"$.layers[1].objects[1].x: expected a number that a double "
                                       "holds, found 1e400 at line 4, column 55"}, ""},
      {R"("tilelayer", )", R"("tilelayer", "offsetx": 0.5, )",
       {"$.layers[0].offsetx: expected a whole number of pixels, found 0.5 (fractional tile layer "
        "offsets are not supported: give the layer and its groups whole offsets in their Layer "
        "Properties)"}, ""},
      {"", "", {"cannot write the records (it is a FIFO, not a regular file)"}, "", true},
      // lvgen's faults of old
      {R"({"width|[0, 1, 0)", R"(
{"width|[0 1, 0)", {"$: expected JSON text, found a syntax error at line 3, column 66"}, ""},
      {kMap, "[]", {"$: expected a map object, found an array"}, ""},
      {csv, R"("visible": 0)", {"$.layers[0].visible: expected true or false, found 0"}, ""},
      {", " + csv, "",
       {"$.layers[0].data: expected an array of 6 tile numbers (3 x 2), found nothing"}, ""},
      {R"({"type": "tilelayer", )" + csv + "},", "",
       {"$.layers: expected a tile layer, found none"}, ""},
      {R"("width": 3)", R"("width": "three, as the level designer wrote them in")",
       {"$.width: expected a positive whole number of tiles, found a string"}, ""},
      {R"("id": 7, |"x": 0)", R"(|"x": [0])", {"$.layers[1].objects[0].id: expected a whole number, "
       "found nothing", "$.layers[1].objects[0].x: expected a number, found an array"}, ""}};
  // clang-format on
  std::string maps, all_records;
  for (size_t i = 0; i < std::size(rows); ++i) {
    const Row &row = rows[i];
    const std::string map = dir + "map" + std::to_string(i) + ".tmj",
                      out = row.fifo ? fifo : records;
    SCOPED_TRACE(map);
    ASSERT_TRUE(write_file(map, row.fifo ? kMap : changed(row.from, row.to)));
    std::string said, logged;
    for (const std::string &line : row.lines) { // a template's lines name it, in dir
      const bool own = line.find(".tj: $") == std::string::npos;
      said += "lvgen: " + (own ? (row.fifo ? fifo : map) + ": " : dir) + line + "\n";
      logged += "INFO: " + (own ? map + ": " : dir) + line + "\n";
    }
    const std::string before = read_file(records);
    const ProcessResult run = run_shell("\"" + exe_dir() + "lvgen\" \"$0\" \"" + map + "\"", out);
    EXPECT_EQ(std::pair(run.exit_code, run.output), std::pair(row.records.empty() ? 1 : 0, said));
    EXPECT_TRUE(!row.records.empty() || read_file(records) == before);
    if (row.fifo)
      continue;
    LogCapture log;
    EXPECT_EQ(map_load_file(map.c_str()), row.records.empty() ? -1 : 0);
    std::string lines;
    for (const std::string &line : log.lines())
      lines += "INFO: " + line + "\n";
    EXPECT_EQ(lines, logged);
    if (!row.records.empty()) {
      EXPECT_EQ(played(), row.records);
      maps += " \"" + map + "\"", all_records += row.records + "\n";
    } else { // no window could open: a start of the engine would end with status 1
      const ProcessResult game =
          run_shell("SDL_VIDEODRIVER=none \"" + exe_dir() + "pordeck\" --level \"$0\"", map);
      EXPECT_EQ(std::pair(game.exit_code, game.output), std::pair(2, logged));
    }
  }
  // The records of every accepted map, compiled from lvgen's source and printed by a program.
  ASSERT_TRUE(write_file(dir + "print.cpp", "#include \"records.h\"\n#include <cstdio>\nint main() "
                                            "{\n  for (auto m = lvgen_maps; *m; ++m)\n    "
                                            "std::puts(records_line(**m).c_str());\n}\n"));
  const ProcessResult compiled = run_shell(
      "cd \"$0\" && \"" + exe_dir() + "lvgen\" all.cpp" + maps +
          " 2>/dev/null && " PORDECK_CXX " -std=c++20 -I" PORDECK_SOURCE_DIR
          "/src/level -I" PORDECK_SOURCE_DIR "/tests all.cpp print.cpp -o print && ./print",
      dir);
  EXPECT_EQ(std::pair(compiled.exit_code, compiled.output), std::pair(0, all_records));
  // lvgen's usage, two maps whose records would share a name, the maps named first in the
  // source (a control character as '?'), and the shipped map's source, the same bytes still.
  const std::string lvgen = "; \"" + exe_dir() + "lvgen\" ";
  EXPECT_EQ(
      run_shell("cd \"$0\" && b=$(printf \"b\\037.tmj\") && for m in a.tmj a.tmj_tiles_0 \"$b\"; "
                "do cp map0.tmj \"$m\"; done" +
                    lvgen + "out.cpp; echo $?" + lvgen + "out.cpp a.tmj a.tmj_tiles_0; echo $?" +
                    lvgen + "out.cpp \"$b\" a.tmj && head -1 out.cpp; cd " PORDECK_SOURCE_DIR +
                    lvgen + "\"$0/shipped.cpp\" map/fendor.tmj && sha256sum <\"$0/shipped.cpp\"",
                dir)
          .output,
      "lvgen: usage: lvgen OUT.cpp MAP...\n2\nlvgen: a.tmj_tiles_0: expected a path that gives "
      "its records names of their own, found a_tmj_tiles_0 already taken by a.tmj\n1\n// "
      "generated by lvgen from b?.tmj a.tmj; do not edit\n"
      "047b63404497846ccc4f8b65de1d07e4f6c055077645f9d21af2197cf3fc73c9  -\n");
  // A good map plays until the game is interrupted (after 3 s: on a loaded machine SDL may
  // take a while to start and take over SIGINT).
  EXPECT_EQ(
      run_shell("timeout --preserve-status -s INT 3 \"" + exe_dir() + "pordeck\" --level \"$0\"",
                dir + "map0.tmj")
          .exit_code,
      0);
}

// A release is refused, with status 2 and its reason, from a work tree with changes, for a
// version that the changelog or the AppStream metadata lacks, and where no version can be
// read; nothing is built.
TEST(Tools, ReleaseRefusesWhatCannotBeReleased) {
  // In a repository of the files the checks read, made and changed by shell lines.
  const std::string repo = make_temp_dir(), in_repo = "export GIT_AUTHOR_NAME=t GIT_AUTHOR_EMAIL=t "
                                                      "GIT_COMMITTER_NAME=t GIT_COMMITTER_EMAIL=t; "
                                                      "s=" PORDECK_SOURCE_DIR "; cd \"$0\" && ";
  // A change, and the line the release then refuses with (the first makes the repository).
  const std::pair<std::string, std::string> changes[] = {
      {"mkdir tools packaging && cp $s/CMakeLists.txt . && cp $s/tools/*.sh tools && cp "
       "$s/packaging/{changelog,*.xml} packaging && git init -q && git add -A && git commit -qm 1 "
       "&& echo >>packaging/changelog",
       "release: the work tree has uncommitted changes"},
      {"git checkout -q . && sed -i \"s/VERSION [0-9.]* /VERSION 9.9.9 /\" CMakeLists.txt && "
       "git commit -qam 2",
       "release: packaging/changelog has no entry for 9.9.9 at its top"},
      {"sed -i \"1s/(.*)/(9.9.9)/\" packaging/changelog && git commit -qam 3",
       "release: the AppStream metadata has no <release> of 9.9.9"},
      {"sed -i \"s/^project(pordeck /project(pordeck LANGUAGES CXX /\" CMakeLists.txt && "
       "git commit -qam 4",
       "version.sh: no 'project(pordeck VERSION x.y.z ...)' in tools/../CMakeLists.txt"}};
  for (const auto &[change, line] : changes)
    EXPECT_EQ(
        run_shell(in_repo + change + " && tools/release.sh; echo $?; [ -e dist ] || echo none",
                  repo)
            .output,
        line + "\n2\nnone\n");
}

} // namespace
