// Every player: the whole level with two keys, the crosshair steered by keys and a gamepad and
// taken back by the mouse, the sound switches, a window away, and the settings kept between
// runs -- the game run as main runs it, on a settings folder of the test's own.
#include "kinds.h"
#include "settings.h"
#include "sounds.h"
#include "support.h"

#include <SDL_mixer.h>

#include <filesystem>
#include <memory>
#include <optional>

using namespace std::string_literals;

namespace {

// The settings file, in a folder of this test process's own where SDL honours XDG_DATA_HOME
// (under Wine, in the prefix's application data).
std::string settings_path() {
  [[maybe_unused]] static const int own = SDL_setenv("XDG_DATA_HOME", make_temp_dir().c_str(), 1);
  const std::unique_ptr<char, void (*)(void *)> folder(SDL_GetPrefPath("", "pordeck"), SDL_free);
  return std::string(folder ? folder.get() : "?/") + "settings.txt";
}

// The game as main starts it, on the settings given (none: no file), a frame at a time.
class Play {
public:
  explicit Play(const std::optional<std::string> &settings = {}) : path(settings_path()) {
    [[maybe_unused]] static const bool registered = (kinds_register(), true);
    std::filesystem::remove_all(path);
    EXPECT_TRUE(!settings || write_file(path, *settings));
    engine = std::make_unique<Engine>();
    settings_start(), game_init(&game);
    EXPECT_EQ(sounds_load(), 0);
    cursor = game_get_entity(&game, entity_type("player"));
  }
  void frame() { game_frame(&game), settings_frame(); }
  // A key pressed and released within one frame.
  void tap(SDL_Scancode key) { push_key(key, true), push_key(key, false), frame(); }
  std::pair<int, int> at() const { return {cursor->x, cursor->y}; }
  const std::string path;
  std::unique_ptr<Engine> engine;
  Game game;
  Entity *cursor;
};

// A press of C moves the crosshair onto the next thing to smash, in reading order, and X there
// hits it: one hit each (the shot and the hit heard), crates and windows, then the clocks; then
// C leaves the crosshair where it is. The reading order wraps round only a few times.
TEST(TwoKeys, TheWholeLevelWithTheAimAssistAlone) {
  Play play;
  int hits = 0, laps = 0;
  std::pair<int, int> last{-1, -1};
  for (; hits < 1000; ++hits) {
    const std::pair<int, int> before = play.at();
    play.tap(SDL_SCANCODE_C);
    const Entity *target = entity_place_meeting(play.cursor, &play.game, -1);
    if (!target) {
      EXPECT_EQ(play.at(), before) << "nothing left, and the crosshair moved";
      break;
    }
    laps += std::pair(target->y, target->x) < last;
    last = {target->y, target->x};
    Mix_HaltChannel(-1), play.tap(SDL_SCANCODE_X);
    EXPECT_EQ(Mix_Playing(-1), 2) << "the shot and the hit at " << target->x << "," << target->y;
  }
  // Every crate twice, every window once, and the three clocks, each of which takes one hit.
  EXPECT_EQ(std::tuple(hits, destructibles, Mix_PlayingMusic()), std::tuple(62 + 2 * 78 + 3, 0, 0));
  EXPECT_LE(laps, 3);
}

// A direction held moves the crosshair a pixel in its first frame and one more in each further
// frame, up to the top speed (3 here, from the settings); a press quicker than a frame moves it
// one; it stops at the canvas's edge. The mouse, moving or clicking, takes it back at once.
TEST(Keys, TheCrosshairSpeedsUpStopsAtTheEdgeAndTheMouseTakesItBack) {
  Play play("top_speed = 3\n");
  push_mouse(100, 100), play.frame(), push_key(SDL_SCANCODE_RIGHT, true);
  std::vector<int> xs;
  for (int i = 0; i < 5; ++i)
    play.frame(), xs.push_back(play.cursor->x);
  EXPECT_EQ(xs, (std::vector<int>{101, 103, 106, 109, 112}));
  push_key(SDL_SCANCODE_RIGHT, false), play.tap(SDL_SCANCODE_DOWN);
  EXPECT_EQ(play.at(), std::pair(112, 101));
  push_key(SDL_SCANCODE_LEFT, true), push_key(SDL_SCANCODE_UP, true);
  for (int i = 0; i < 50; ++i)
    play.frame();
  EXPECT_EQ(play.at(), std::pair(0, 0));
  push_key(SDL_SCANCODE_LEFT, false), push_key(SDL_SCANCODE_UP, false), play.frame();
  push_mouse(-8, 500), play.frame();
  EXPECT_EQ(play.at(), std::pair(-8, 500)) << "a mouse motion, off the canvas too (in a bar)";
  play.tap(SDL_SCANCODE_DOWN), push_mouse(300, 200, SDL_BUTTON_LEFT, true), play.frame();
  EXPECT_EQ(play.at(), std::pair(300, 200)) << "a click where the mouse was";
}

// A virtual gamepad, plugged in while the game runs, twice: its stick moves the crosshair at
// a speed proportional to its tilt past the dead zone (a quarter), the top speed at full tilt;
// the south button smashes, the east one aims; the d-pad is the arrow keys. Unplugged, it lets
// go of what it held.
TEST(Gamepad, PluggedInItSteersSmashesAndAimsUnpluggedItLetsGo) {
  Play play;
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1"); // no window has the focus here
  for (int plugged = 0; plugged < 2; ++plugged) {
    SDL_VirtualJoystickDesc pad{};
    pad.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION, pad.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    pad.naxes = SDL_CONTROLLER_AXIS_MAX, pad.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    const int device = SDL_JoystickAttachVirtualEx(&pad);
    if (device < 0 && SDL_strcmp(SDL_GetPlatform(), "Windows") == 0) // built without HIDAPI
      GTEST_SKIP() << "SDL for Windows has no virtual joysticks: " << SDL_GetError();
    push_mouse(320, 240), play.frame();
    SDL_Joystick *stick = SDL_GameControllerGetJoystick(
        SDL_GameControllerFromInstanceID(SDL_JoystickGetDeviceInstanceID(device)));
    ASSERT_NE(stick, nullptr) << "the pad is not open: " << SDL_GetError();
    const auto set = [&](int button, int down) {
      SDL_JoystickSetVirtualButton(stick, button, static_cast<Uint8>(down)), play.frame();
    };
    // The stick's x and y, the crosshair's move in ten frames (6.5 pixels a frame for -14848).
    const std::tuple<Sint16, Sint16, int, int> tilts[] = {
        {5000, -5000, 0, 0}, {32767, 0, 240, 0}, {-14848, 0, -65, 0}, {0, -32768, 0, -240}};
    for (const auto &[x, y, dx, dy] : tilts) {
      const auto [x0, y0] = play.at();
      SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, x);
      SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTY, y);
      for (int i = 0; i < 10; ++i)
        play.frame();
      EXPECT_EQ(play.at(), std::pair(x0 + dx, std::max(y0 + dy, 0))) << x << "," << y;
    }
    SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTY, 0);
    Mix_HaltChannel(-1), set(SDL_CONTROLLER_BUTTON_A, 1), set(SDL_CONTROLLER_BUTTON_A, 0);
    EXPECT_EQ(Mix_Playing(-1), 1) << "the shot";
    set(SDL_CONTROLLER_BUTTON_B, 1), set(SDL_CONTROLLER_BUTTON_B, 0);
    EXPECT_NE(entity_place_meeting(play.cursor, &play.game, -1), nullptr) << "aimed at nothing";
    const auto [x0, y0] = play.at();
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_DPAD_DOWN, 1);
    VEL_Event down{};
    EXPECT_TRUE(VEL_PollEvent(&down) && down.button == VEL_BUTTON_DOWN) << "as a caller sees it";
    play.frame(), play.frame();
    SDL_JoystickDetachVirtual(device), play.frame(), play.frame();
    EXPECT_EQ(play.at(), std::pair(x0, y0 + 3)) << "held two frames, then unplugged";
  }
}

// Each switch silences its own sounds: M pauses the alarm, N keeps the effects from starting.
// A window away (hidden or minimised) pauses every sound; back, what is switched on resumes.
TEST(Sound, EachSwitchItsOwnAndAWindowAwayAll) {
  Play play;
  // The key tapped, then whether the music and the effects sound.
  const std::tuple<SDL_Scancode, bool, bool> switches[] = {{SDL_SCANCODE_UNKNOWN, true, true},
                                                           {SDL_SCANCODE_M, false, true},
                                                           {SDL_SCANCODE_N, false, false},
                                                           {SDL_SCANCODE_M, true, false},
                                                           {SDL_SCANCODE_N, true, true}};
  for (const auto &[key, music, effects] : switches) {
    play.tap(key);
    const bool minimised = key == SDL_SCANCODE_N;
    // Switched, then away, then back: the window's event, and whether it is away. A shot is
    // played at each: the effects sounding hold the first, and then the third.
    for (int step = 0; const auto &[what, away] :
                       {std::pair<Uint8, bool>{SDL_WINDOWEVENT_NONE, false},
                        {minimised ? SDL_WINDOWEVENT_MINIMIZED : SDL_WINDOWEVENT_HIDDEN, true},
                        {minimised ? SDL_WINDOWEVENT_RESTORED : SDL_WINDOWEVENT_SHOWN, false}}) {
      SDL_Event event{SDL_WINDOWEVENT};
      event.window.event = what;
      SDL_PushEvent(&event), play.frame(), VEL_PlaySound(SOUND_SHOT);
      const int shots = effects ? 1 + (step++ == 2) : 0;
      EXPECT_EQ(std::tuple(Mix_PausedMusic(), Mix_Playing(-1), Mix_Paused(-1)),
                std::tuple(int{!music || away}, shots, away ? shots : 0))
          << SDL_GetScancodeName(key) << (away ? " away" : "");
    }
    Mix_HaltChannel(-1);
  }
}

// The switches are written when they change and read back by the next run, whose alarm starts
// paused; keys are remapped in the file. Without a file the defaults hold, silently; a damaged
// one, or one too large to read, gives them too, with one line naming it.
TEST(Settings, KeptReadBackRemappedAndDamaged) {
  {
    LogCapture log;
    Play play;
    play.tap(SDL_SCANCODE_M), play.tap(SDL_SCANCODE_N);
    EXPECT_EQ(log.lines(), Lines{});
    const std::string kept = read_file(play.path);
    EXPECT_NE(kept.find("\nmusic = off\neffects = off\ntop_speed = 24\n"), std::string::npos)
        << kept;
    EXPECT_FALSE(std::filesystem::exists(play.path + ".new"));
  }
  {
    Play play(read_file(settings_path()) + "smash = Space\nleft = A\n");
    EXPECT_EQ(std::tuple(VEL_MusicOn(), VEL_EffectsOn(), Mix_PausedMusic()), std::tuple(0, 0, 1));
    push_key(SDL_SCANCODE_SPACE, true), push_key(SDL_SCANCODE_A, true), VEL_CycleEvents();
    EXPECT_TRUE(VEL_ButtonDown(VEL_BUTTON_A) && VEL_ButtonDown(VEL_BUTTON_LEFT));
  }
  const std::string damaged = ": line 2 is not a setting: playing with the default settings";
  const std::pair<std::string, std::string> files[] = {
      {"", ""}, // empty: the defaults, silently
      {"# speed\ntop_speed = 0\n", damaged},
      {"music = on\r\nsmash = Nothing", damaged},
      {"up = Up\nmusic = maybe\n", damaged},
      {"left = Left\nmusic = off\0 and on\n"s, damaged},
      {"\xEF\xBB\xBF# as a text editor saves it\nvolume = 3\n", damaged},
      {std::string(5000, '#'),
       " cannot be read (larger than 4096 bytes): playing with the default settings"}};
  for (const auto &[text, line] : files) {
    LogCapture log;
    Play play(text);
    EXPECT_EQ(log.lines(), line.empty() ? Lines{} : Lines{play.path + line}) << text;
    EXPECT_TRUE(VEL_MusicOn() && VEL_EffectsOn());
  }
  std::filesystem::remove(settings_path());
}

} // namespace
