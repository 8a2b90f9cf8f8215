// pordeck_bench -- what the game costs on this machine: a whole frame of the shipped level at
// three moments of a round and its split into update, draw and present; one click from the
// pushed event to the finished smash; the image look-up; the heap allocations of a frame of
// play with the mouse, with keys and with a pad; and (startup.cpp) the time to the first presented
// frame and the memory a run holds.
//
// Each benchmark runs its own engine with the shipped configuration, pacing off. The drivers
// come from the environment; headless:
//   SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software
#include "game.h"
#include "kinds.h"
#include "sounds.h"
#include "vel.h"

#include <SDL_mixer.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

using Clock = std::chrono::steady_clock;

// startup.cpp: main's start-up path in a process of its own, timed from the process start.
int startup_child(Clock::time_point entered, int frames);

namespace {

bool is_prop(const Entity &e) {
  return e.smash && (e.type == entity_type("box") || e.type == entity_type("window"));
}

// Finishes the first `count` props in slot order through their own smash operations: a box
// takes two, a window one. Sounds are cut at once, as a player's pace would let them end.
void finish_props(Game *game, int count) {
  for (Entity &e : game->entities) {
    while (count > 0 && is_prop(e)) {
      count -= e.destroyed || e.type == entity_type("window") ? 1 : 0;
      e.smash(&e, game);
      Mix_HaltChannel(-1);
    }
  }
}

// The engine, the Game and the scene as main builds them, with `finished` props finished and
// one frame drawn (which loads the images and brings the clocks out when none stand).
struct Running {
  explicit Running(int finished) {
    // The shipped configuration with pacing off, so that a frame costs only its own work.
    static constexpr VEL_Config config = game_config_unpaced();
    if (VEL_Init(&config) != 0) {
      std::exit(1); // the engine has logged why
    }
    game = static_cast<Game *>(std::malloc(sizeof(Game)));
    game_init(game);
    if (sounds_load() < 0) {
      std::exit(1);
    }
    finish_props(game, finished);
    game_frame(game);
  }
  ~Running() {
    std::free(game);
    VEL_Quit();
  }
  Game *game;
};

double us_since(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// A whole frame (game_frame), its three parts timed as counters: events and game_update;
// the canvas begun, cleared and drawn; VEL_DrawEnd.
void BM_Frame(benchmark::State &state) {
  Running run(static_cast<int>(state.range(0)));
  VEL_SetOpaqueCopies(state.range(1) != 0);
  double update = 0, draw = 0, present = 0;
  for (auto _ : state) {
    Clock::time_point t = Clock::now();
    VEL_CycleEvents();
    game_update(run.game);
    update += us_since(t);
    t = Clock::now();
    VEL_DrawBegin();
    VEL_DrawSetColor(GAME_BACKGROUND[0], GAME_BACKGROUND[1], GAME_BACKGROUND[2],
                     GAME_BACKGROUND[3]);
    VEL_DrawClear();
    game_draw(run.game);
    draw += us_since(t);
    t = Clock::now();
    VEL_DrawEnd();
    present += us_since(t);
  }
  using benchmark::Counter;
  state.counters["update_us"] = Counter(update, Counter::kAvgIterations);
  state.counters["draw_us"] = Counter(draw, Counter::kAvgIterations);
  state.counters["present_us"] = Counter(present, Counter::kAvgIterations);
}
// Props finished: none (drawn the fast way, and with every pixel blended, side by side);
// half of the 140; all of them, with the clocks out.
BENCHMARK(BM_Frame)
    ->ArgNames({"finished", "opaque_copies"})
    ->Args({0, 1})
    ->Args({0, 0})
    ->Args({70, 1})
    ->Args({140, 1})
    ->Unit(benchmark::kMillisecond);

// Where a player presses next: the on-canvas point nearest the centre of the smashable
// entity in the highest slot, if a press there hits it; false when none is left.
bool next_target(Game *game, int &x, int &y) {
  Entity probe{};
  probe.width = probe.height = 1;
  for (int i = GAME_MAX_ENTITIES - 1; i >= 0; --i) {
    Entity &e = game->entities[i];
    probe.x = x = std::clamp(e.x, 0, GAME_WIDTH - 1);
    probe.y = y = std::clamp(e.y, 0, GAME_HEIGHT - 1);
    if (e.type != 0 && e.smash && entity_place_meeting(&probe, game, -1) == &e) {
      return true;
    }
  }
  return false;
}

void push_mouse(Uint32 type, int x, int y) {
  SDL_Event event{};
  event.type = type;
  if (type == SDL_MOUSEMOTION) {
    event.motion.x = x;
    event.motion.y = y;
  } else {
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
  }
  SDL_PushEvent(&event);
}

// The events handled and the entities updated, as the first half of a frame does.
void handle(Game *game) {
  VEL_CycleEvents();
  game_update(game);
}

// One press: the mouse moved onto the target and the button pressed, then the events taken
// in and the update that smashes. The release, and a fresh round once nothing is left to
// hit, are not timed.
void BM_Click(benchmark::State &state) {
  Running run(0);
  int x = 0, y = 0;
  for (auto _ : state) {
    if (!next_target(run.game, x, y)) {
      game_init(run.game);
      next_target(run.game, x, y);
    }
    const Clock::time_point t = Clock::now();
    push_mouse(SDL_MOUSEMOTION, x, y);
    push_mouse(SDL_MOUSEBUTTONDOWN, x, y);
    handle(run.game);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t).count());
    push_mouse(SDL_MOUSEBUTTONUP, x, y);
    handle(run.game);
    Mix_HaltChannel(-1);
  }
}
BENCHMARK(BM_Click)->UseManualTime()->Unit(benchmark::kMicrosecond);

// VEL_ImageLoad finding the path loaded last, with `loaded` images in the registry: the
// game's seven, then the same files named by other strings ("res//box.bmp", ...).
void BM_ImageLoad(benchmark::State &state) {
  Running run(0);
  const char *names[] = {"cursor.bmp", "box.bmp",   "boxdestroyed.bmp",  "windowclean.bmp",
                         "window.bmp", "clock.bmp", "clockdestroyed.bmp"};
  std::string last;
  for (int n = 0; n < state.range(0); ++n) {
    last = "res" + std::string(static_cast<size_t>(n / 7 + 1), '/') + names[n % 7];
    VEL_ImageLoad(last.c_str());
  }
  if (VEL_ImageLoad(last.c_str()) != state.range(0) - 1) {
    state.SkipWithError("the last path is not in the last slot");
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(VEL_ImageLoad(last.c_str()));
  }
}
BENCHMARK(BM_ImageLoad)->ArgName("loaded")->Arg(7)->Arg(64);

} // namespace

// Plays one frame of a run: every 8 frames a press on the next target (over nothing once the
// round is over), released 4 frames later; sounds are cut after each press, as a player's
// pace would let them end.
void play_frame(Game *game, int frame) {
  static int x = 100, y = 20;
  if (frame % 8 == 0 && !next_target(game, x, y)) {
    x = 100;
    y = 20;
  }
  if (frame % 4 == 0) {
    push_mouse(SDL_MOUSEMOTION, x, y);
    push_mouse(frame % 8 == 0 ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP, x, y);
  }
  game_frame(game);
  Mix_HaltChannel(-1);
}

namespace {

void push_key(SDL_Scancode scancode, bool down) {
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.scancode = scancode;
  SDL_PushEvent(&event);
}

// A virtual gamepad, plugged in and opened by the engine; it is read with no window focused.
SDL_Joystick *plug_in_pad() {
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  SDL_VirtualJoystickDesc pad{};
  pad.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  pad.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  pad.naxes = SDL_CONTROLLER_AXIS_MAX;
  pad.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  const int device = SDL_JoystickAttachVirtualEx(&pad);
  VEL_CycleEvents();
  return SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(device));
}

// Plays one frame with the keys, or with a pad, every 8 frames: a smash (X, the south button)
// held for a frame; two frames steering right (the right arrow, the stick) and two back left;
// then the aim assist (C, the east button) held for a frame. The smash comes first, so that the
// crosshair of a fresh round is tinted red from its first frame, as with the clicks: where a
// sprite's tint is switched on or off, SDL's software renderer makes its blit anew, which
// allocates.
void play_assisted(Game *game, int frame, SDL_Joystick *pad) {
  constexpr SDL_Scancode KEYS[] = {SDL_SCANCODE_X, SDL_SCANCODE_C};
  constexpr SDL_GameControllerButton BUTTONS[] = {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B};
  constexpr Sint16 TILT[] = {0, 0, 20000, 20000, -20000, -20000, 0, 0}; // the stick, by phase
  const int phase = frame % 8;
  if (phase == 0 || phase == 1 || phase == 6 || phase == 7) { // press, release
    const int button = phase < 4 ? 0 : 1;
    pad ? void(SDL_JoystickSetVirtualButton(pad, BUTTONS[button], phase % 2 == 0))
        : push_key(KEYS[button], phase % 2 == 0);
  }
  if (pad) {
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, TILT[phase]);
  } else if (phase % 2 == 0) { // the arrows, as the stick
    push_key(SDL_SCANCODE_RIGHT, phase == 2);
    push_key(SDL_SCANCODE_LEFT, phase == 4);
  }
  game_frame(game);
  Mix_HaltChannel(-1);
}

// Heap allocations made on the game's thread, SDL's included, while counting is on.
thread_local bool counting = false;
long allocations = 0;

// Heap allocations in a frame of play, once warm, with clicks, with keys and with a pad: a
// whole round played first loads every image in every orientation and grows SDL's event queue
// and command buffers.
void BM_Allocations(benchmark::State &state) {
#ifdef __SANITIZE_ADDRESS__
  state.SkipWithError("AddressSanitizer owns malloc: allocations are counted in a normal build");
#endif
  constexpr const char *INPUTS[] = {"mouse", "keys", "pad"};
  state.SetLabel(INPUTS[state.range(0)]);
  Running run(0);
  SDL_Joystick *pad = state.range(0) == 2 ? plug_in_pad() : nullptr;
  const auto play = [&](int frame) {
    state.range(0) == 0 ? play_frame(run.game, frame) : play_assisted(run.game, frame, pad);
  };
  int frame = 0;
  for (; frame < 8 * (62 + 2 * 78 + 3 + 1); ++frame) { // a first smash may find nothing
    play(frame);
  }
  if (destructibles != 0) {
    state.SkipWithError("the round was not played to its end");
  }
  game_restart_scene(run.game);
  for (auto _ : state) {
    counting = true;
    play(frame++);
    counting = false;
  }
  state.counters["allocations"] =
      benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
  allocations = 0;
}
BENCHMARK(BM_Allocations)
    ->ArgName("input")
    ->DenseRange(0, 2)
    ->Iterations(1000)
    ->Unit(benchmark::kMillisecond);

} // namespace

// malloc, calloc and realloc for the whole process, SDL included (but under AddressSanitizer,
// which owns them); operator new comes down to malloc, and free needs no counting.
#ifndef __SANITIZE_ADDRESS__
extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t n, size_t size);
void *__libc_realloc(void *p, size_t size);
void *malloc(size_t size) noexcept {
  return allocations += counting, __libc_malloc(size);
}
void *calloc(size_t n, size_t size) noexcept {
  return allocations += counting, __libc_calloc(n, size);
}
void *realloc(void *p, size_t size) noexcept {
  return allocations += counting, __libc_realloc(p, size);
}
}
#endif

int main(int argc, char **argv) {
  const Clock::time_point entered = Clock::now();
  kinds_register();
  if (argc == 3 && std::strcmp(argv[1], "--startup-child") == 0) {
    return startup_child(entered, std::atoi(argv[2]));
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
