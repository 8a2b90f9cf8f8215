// startup.cpp -- how long the program takes from its process start to its first presented
// frame, and how much memory a run holds. Each measure starts this program again as a child
// that runs main's start-up path (engine, scene, sounds, first frame) and reports through a
// pipe.
#include "game.h"
#include "sounds.h"
#include "vel.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

using Clock = std::chrono::steady_clock;

// pordeck_bench.cpp: one frame of play with clicks.
void play_frame(Game *game, int frame);

namespace {

double ms_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Milliseconds since this process started: its start time in /proc/self/stat (field 22, in
// clock ticks since boot, so in steps of 10 ms) against the boot-time clock.
double ms_since_process_start() {
  std::ifstream file("/proc/self/stat");
  const std::string stat{std::istreambuf_iterator<char>(file), {}};
  // The fields are counted from the state (field 3), after the command name's ')'.
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string field;
  for (int i = 3; i <= 22; ++i) {
    fields >> field;
  }
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  const double start_ms = std::stod(field) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
  return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6 -
         start_ms;
}

long max_rss_kib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// This program started again as a start-up child; its standard output is `out`.
struct Child {
  explicit Child(int frames) {
    int fds[2];
    if (pipe(fds) != 0) {
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::string count = std::to_string(frames);
    char name[] = "pordeck_bench", flag[] = "--startup-child";
    char *argv[] = {name, flag, count.data(), nullptr};
    if (posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv, environ) != 0) {
      pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    out = fdopen(fds[0], "r");
  }
  ~Child() {
    if (out) {
      std::fclose(out);
    }
    if (pid > 0) {
      waitpid(pid, nullptr, 0);
    }
  }
  pid_t pid = -1;
  FILE *out = nullptr;
};

// From the spawn to the child's report of its first presented frame (manual time); the
// child's own figures as counters: from its start time in /proc/self/stat, and from main.
void BM_StartUp(benchmark::State &state) {
  double since_start = 0, in_process = 0;
  for (auto _ : state) {
    const Clock::time_point t = Clock::now();
    Child child(0);
    double from_start = 0, from_main = 0;
    long rss = 0;
    if (!child.out || std::fscanf(child.out, "%lf %lf %ld", &from_main, &from_start, &rss) != 3) {
      state.SkipWithError("the start-up child did not report");
      break;
    }
    state.SetIterationTime(ms_since(t) / 1000.0);
    since_start += from_start;
    in_process += from_main;
  }
  using benchmark::Counter;
  state.counters["from_proc_start_ms"] = Counter(since_start, Counter::kAvgIterations);
  state.counters["from_main_ms"] = Counter(in_process, Counter::kAvgIterations);
}
BENCHMARK(BM_StartUp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// Peak resident memory (ru_maxrss) of one run: after start-up, and after 2,000 frames of
// play with clicks.
void BM_PeakMemory(benchmark::State &state) {
  for (auto _ : state) {
    Child child(2000);
    double ignored = 0;
    long at_start = 0, after = 0;
    if (!child.out ||
        std::fscanf(child.out, "%lf %lf %ld %ld", &ignored, &ignored, &at_start, &after) != 4) {
      state.SkipWithError("the run did not report");
      break;
    }
    // A child's ru_maxrss starts from its parent's peak (the spawn shares its memory until the
    // exec), so it only tells the child's own peak when this process is the smaller one; the
    // benchmarks of this file are registered, and run, before those that grow it.
    if (max_rss_kib() >= at_start) {
      state.SkipWithError("this process is larger than the run it measures");
      break;
    }
    state.counters["maxrss_startup_MiB"] = static_cast<double>(at_start) / 1024.0;
    state.counters["maxrss_2000_frames_MiB"] = static_cast<double>(after) / 1024.0;
  }
}
BENCHMARK(BM_PeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

// The child: main's start-up path, timed to the first presented frame, then `frames` frames
// of play. Reports "<ms from main> <ms from process start> <max RSS KiB>" after the first
// frame and "<max RSS KiB>" after the rest.
int startup_child(Clock::time_point entered, int frames) {
  static constexpr VEL_Config config = game_config_unpaced();
  if (VEL_Init(&config) != 0) {
    return 1;
  }
  auto *game = static_cast<Game *>(std::malloc(sizeof(Game)));
  game_init(game);
  if (sounds_load() < 0) {
    return 1;
  }
  game_frame(game);
  const double from_main = ms_since(entered), from_start = ms_since_process_start();
  std::printf("%f %f %ld\n", from_main, from_start, max_rss_kib());
  std::fflush(stdout);
  for (int frame = 1; frame <= frames; ++frame) {
    play_frame(game, frame);
  }
  std::printf("%ld\n", max_rss_kib());
  std::free(game);
  VEL_Quit();
  return 0;
}
