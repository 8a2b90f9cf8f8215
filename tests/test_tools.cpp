// The level generator on broken maps: its one line is the level designer's only word of what
// is wrong. (That the asset generator makes the same bytes every time, the release's
// reproducibility check sees: two builds of the downloads that carry them.)
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

// A release is refused, with status 2 and its reason, from a work tree with changes, for a
// version that the changelog or the AppStream metadata lacks, and where no version can be
// read; nothing is built.
TEST(Tools, ReleaseRefusesWhatCannotBeReleased) {
  // In a repository of the files the checks read, made and changed by shell lines.
  const std::string repo = make_temp_dir(), in_repo = "export GIT_AUTHOR_NAME=t GIT_AUTHOR_EMAIL=t "
                                                      "GIT_COMMITTER_NAME=t GIT_COMMITTER_EMAIL=t; "
                                                      "s=" PORDECK_SOURCE_DIR "; cd \"$0\" && ";
  ASSERT_EQ(run_shell(in_repo +
                          "mkdir tools packaging && cp $s/CMakeLists.txt . && cp $s/tools/*.sh "
                          "tools && cp $s/packaging/{changelog,*.xml} packaging && git init "
                          "-q && git add -A && git commit -qm 1",
                      repo)
                .exit_code,
            0);
  // A change, and the line the release then refuses with.
  const std::pair<std::string, std::string> changes[] = {
      {"echo >>packaging/changelog", "release: the work tree has uncommitted changes"},
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
