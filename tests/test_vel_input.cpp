// Input: SDL events reduced to logical buttons, the canvas mouse position, the quit flag, the
// key map and the key-binding window.
#include "support.h"

#include <climits>

// SDL's switch to and from full screen, refused while refuse_fullscreen is set.
static bool refuse_fullscreen = false;
extern "C" int SDL_SetWindowFullscreen(SDL_Window *window, Uint32 flags) {
  static const auto real = sdl_function(SDL_SetWindowFullscreen, "SDL_SetWindowFullscreen");
  return refuse_fullscreen ? SDL_SetError("no full screen here") : real(window, flags);
}

// Every window but the engine's as it is presented: its size and the colour at its centre.
static std::tuple<int, int, Rgba> other_window;
extern "C" void SDL_RenderPresent(SDL_Renderer *renderer) {
  if (auto &[w, h, colour] = other_window; renderer != SDL_GetRenderer(test_window())) {
    SDL_GetRendererOutputSize(renderer, &w, &h);
    const SDL_Rect centre{w / 2, h / 2, 1, 1};
    SDL_RenderReadPixels(renderer, &centre, SDL_PIXELFORMAT_RGBA32, &colour, 4);
  }
  sdl_function(SDL_RenderPresent, "SDL_RenderPresent")(renderer);
}

namespace {

using Events = std::vector<std::pair<uint32_t, uint32_t>>;
constexpr uint32_t kDown = VEL_EVENT_BUTTON_DOWN, kUp = VEL_EVENT_BUTTON_UP;

// Type and button of every event VEL_PollEvent reports until the queue is empty.
Events poll_all() {
  Events events;
  for (VEL_Event e{}; VEL_PollEvent(&e);)
    events.emplace_back(e.type, e.button);
  return events;
}

// Mouse positions arrive in canvas pixels through the last presented frame's scale; SDL's
// buttons 4 and 5 are none of the engine's, but still move the mouse.
TEST(VelInput, MouseInCanvasPixels) {
  Engine engine;
  SDL_SetWindowSize(test_window(), 1300, 1000); // scale 2 at (10, 20)
  VEL_DrawBegin(), VEL_DrawEnd();
  // SDL button (0 for a motion), window position, canvas position, whether it is reported.
  // clang-format off
  const std::tuple<uint8_t, int, int, int, int, bool> cases[] = {{0, 30, 40, 10, 10, true},
      {SDL_BUTTON_LEFT, 1289, 979, 639, 479, true}, {SDL_BUTTON_RIGHT, 0, 0, -5, -10, true},
      {4, 110, 220, 50, 100, false}, {5, 112, 222, 51, 101, false},
      {0, INT_MIN, INT_MAX, INT_MIN / 2, -(INT_MIN / 2), true}}; // the ends of the range, halved
  // clang-format on
  for (const auto &[button, wx, wy, x, y, reported] : cases) {
    push_mouse(wx, wy, button, true);
    EXPECT_EQ(poll_all().size(), reported ? 1u : 0u) << wx;
    SDL_Point at{-1, -1}; // either pointer may be null
    VEL_MousePosition(&at.x, nullptr), VEL_MousePosition(nullptr, &at.y);
    EXPECT_EQ(std::pair(at.x, at.y), std::pair(x, y));
  }
  LogCapture log;
  EXPECT_TRUE(VEL_ButtonDown(VEL_BUTTON_MOUSE_L) && VEL_ButtonDown(VEL_BUTTON_MOUSE_R));
  EXPECT_FALSE(VEL_ButtonDown(VEL_BUTTON_MOUSE_M) || VEL_ButtonDown(9));
  EXPECT_EQ(log.lines(), Lines{"9 button doesn't exist"});
}

// The default keys drive the six keyboard buttons: a press reports once and holds its button
// down, its repeats report nothing, its release reports once. F1 is a key like any unmapped
// one while the key-binding window is off; F11 switches full screen, and the next F11 back; a
// switch SDL refuses is logged and forgotten, so the next F11 asks for it again. A key can be
// bound to a keyboard button, F11 included, but never F1, and no button beyond.
TEST(VelInput, KeysRepeatsFullScreenAndBinding) {
  Engine engine;
  const SDL_Scancode keys[] = {SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT, SDL_SCANCODE_UP,
                               SDL_SCANCODE_DOWN, SDL_SCANCODE_X,     SDL_SCANCODE_C};
  for (uint32_t button = 0; button < 6; ++button) {
    push_key(keys[button], true), push_key(keys[button], true, true);
    const Events down = poll_all();
    EXPECT_EQ(std::pair(down, VEL_ButtonDown(button)), std::pair(Events{{kDown, button}}, true));
    push_key(keys[button], false);
    const Events up = poll_all();
    EXPECT_EQ(std::pair(up, VEL_ButtonDown(button)), std::pair(Events{{kUp, button}}, false));
  }
  LogCapture log;
  // Whether SDL refuses the switch; whether the window is full screen after the F11.
  for (const auto &[refused, full] :
       {std::pair{true, false}, {false, true}, {true, true}, {false, false}}) {
    refuse_fullscreen = refused;
    push_key(SDL_SCANCODE_F1, true), push_key(SDL_SCANCODE_F11, true);
    EXPECT_TRUE(poll_all().empty());
    EXPECT_EQ((SDL_GetWindowFlags(test_window()) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0, full);
  }
  refuse_fullscreen = false;
  VEL_ButtonBind(0, SDL_SCANCODE_F1), VEL_ButtonBind(6, SDL_SCANCODE_A);
  VEL_ButtonBind(0, SDL_SCANCODE_F11), VEL_ButtonBind(2, SDL_SCANCODE_F11);
  push_key(SDL_SCANCODE_F11, true);
  EXPECT_EQ(poll_all(), (Events{{kDown, VEL_BUTTON_LEFT}})); // the first button that holds it
  EXPECT_EQ(log.lines(),
            (Lines{"no full screen here", "no full screen here",
                   "button 0 can't be remapped to key F1", "button 6 can't be remapped to key A",
                   "bound key F11 to button 0", "bound key F11 to button 2"}));
}

// Any key that goes down, mapped or not, counts as pressed in the cycle that takes it in and
// in no later one; its automatic repeats do not count, nor does its release.
TEST(VelInput, KeysPressedInACycle) {
  Engine engine;
  push_key(SDL_SCANCODE_M, true), push_key(SDL_SCANCODE_N, true, true);
  push_key(SDL_SCANCODE_LEFT, true), push_key(SDL_SCANCODE_F5, false), VEL_CycleEvents();
  const auto pressed = [] {
    std::string keys;
    for (SDL_Scancode s : {SDL_SCANCODE_M, SDL_SCANCODE_N, SDL_SCANCODE_LEFT, SDL_SCANCODE_F5})
      keys += VEL_KeyPressed(s) ? SDL_GetScancodeName(s) + std::string(" ") : "";
    return keys +
           (VEL_KeyPressed(SDL_Scancode(-1)) || VEL_KeyPressed(SDL_NUM_SCANCODES) ? "?" : "");
  };
  EXPECT_EQ(pressed(), "M Left ");
  push_key(SDL_SCANCODE_M, true, true), VEL_CycleEvents();
  EXPECT_EQ(pressed(), "");
}

// F1 opens the menu, a window of 256 x 256 in pale cream. A quit request made in the menu closes it
// and is kept; buttons released in the menu (ours or not) do not stay down, and bind nothing. Keys
// pressed in the menu bind the buttons in order; a key waiting behind the sixth is offered as a
// seventh button and refused.
TEST(VelBindMenu, QuitReleasesAndBindingInOrder) {
  VEL_Config config = test_config;
  config.disable_bind_menu = false;
  Engine engine(config);
  push_key(SDL_SCANCODE_X, true), push_mouse(5, 5, SDL_BUTTON_LEFT, true);
  push_mouse(5, 5, SDL_BUTTON_RIGHT, true), VEL_CycleEvents();
  LogCapture log;
  push_key(SDL_SCANCODE_F1, true), push_key(SDL_SCANCODE_X, false);
  push_mouse(5, 5, SDL_BUTTON_LEFT, false), push_mouse(5, 5, SDL_BUTTON_RIGHT, false);
  push_mouse(5, 5, SDL_BUTTON_X1, false), push_key(SDL_SCANCODE_M, false); // no buttons of ours
  SDL_Event quit{SDL_QUIT};
  SDL_PushEvent(&quit), VEL_CycleEvents();
  EXPECT_TRUE(VEL_ShouldQuit());
  for (unsigned button : {VEL_BUTTON_A, VEL_BUTTON_MOUSE_L, VEL_BUTTON_MOUSE_R})
    EXPECT_FALSE(VEL_ButtonDown(button)) << button;
  push_key(SDL_SCANCODE_F1, true);
  for (SDL_Scancode s : {SDL_SCANCODE_A, SDL_SCANCODE_F11, SDL_SCANCODE_D, SDL_SCANCODE_W,
                         SDL_SCANCODE_S, SDL_SCANCODE_J, SDL_SCANCODE_K, SDL_SCANCODE_L})
    push_key(s, true);
  EXPECT_TRUE(poll_all().empty());
  EXPECT_EQ(other_window, std::tuple(256, 256, Rgba{220, 220, 200, 255})) << "the menu";
  const std::string enter = "entering bind menu", leave = "leaving bind menu";
  EXPECT_EQ(log.lines(),
            (Lines{enter, leave, enter, "bound key A to button 0", "bound key D to button 1",
                   "bound key W to button 2", "bound key S to button 3", "bound key J to button 4",
                   "bound key K to button 5", "button 6 can't be remapped to key L", leave}));
  push_key(SDL_SCANCODE_W, true);
  EXPECT_EQ(poll_all(), (Events{{kDown, VEL_BUTTON_UP}}));
}

} // namespace
