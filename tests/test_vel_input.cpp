// Input: SDL events reduced to logical buttons, the canvas mouse position, the quit flag,
// the key map and the key-binding window.
#include "support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every event VEL_PollEvent reports until the queue is empty.
std::vector<VEL_Event> poll_all() {
  std::vector<VEL_Event> events;
  VEL_Event e{};
  while (VEL_PollEvent(&e)) {
    events.push_back(e);
  }
  return events;
}

VEL_Config with_bind_menu() {
  VEL_Config config = test_config();
  config.disable_bind_menu = false;
  return config;
}

TEST(VelInput, AHeldKeyIsOnePressAndOneRelease) {
  Engine engine;
  push_key(SDL_SCANCODE_X, true);
  push_key(SDL_SCANCODE_X, true, true);
  push_key(SDL_SCANCODE_X, true, true);
  std::vector<VEL_Event> events = poll_all();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, VEL_EVENT_BUTTON_DOWN);
  EXPECT_EQ(events[0].button, VEL_BUTTON_A);
  EXPECT_TRUE(VEL_ButtonDown(VEL_BUTTON_A));
  push_key(SDL_SCANCODE_X, false);
  push_key(SDL_SCANCODE_Q, true); // not mapped
  events = poll_all();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, VEL_EVENT_BUTTON_UP);
  EXPECT_FALSE(VEL_ButtonDown(VEL_BUTTON_A));
}

TEST(VelInput, EventsWriteOnlyTheFieldsTheyUse) {
  Engine engine;
  VEL_Event e{VEL_EVENT_MOUSE_MOVE, 77, 11, 22};
  push_key(SDL_SCANCODE_LEFT, true);
  ASSERT_TRUE(VEL_PollEvent(&e));
  EXPECT_EQ(e.button, VEL_BUTTON_LEFT);
  EXPECT_EQ(e.x, 11);
  EXPECT_EQ(e.y, 22);
  drain_events();
  push_quit();
  e.button = 77;
  ASSERT_TRUE(VEL_PollEvent(&e));
  EXPECT_EQ(e.type, VEL_EVENT_QUIT);
  EXPECT_EQ(e.button, 77u);
  EXPECT_EQ(e.x, 11);
  EXPECT_TRUE(VEL_ShouldQuit());
}

TEST(VelInput, PollingWithoutARecordConsumesNothing) {
  Engine engine;
  LogCapture log;
  push_quit();
  EXPECT_FALSE(VEL_PollEvent(nullptr));
  EXPECT_EQ(log.lines(), std::vector<std::string>{"e is NULL"});
  EXPECT_FALSE(VEL_ShouldQuit());
  VEL_CycleEvents();
  EXPECT_TRUE(VEL_ShouldQuit());
}

// Mouse positions arrive in canvas pixels, through the scale of the last presented frame.
TEST(VelInput, MouseInCanvasPixels) {
  Engine engine;
  int x = -1, y = -1;
  VEL_MousePosition(&x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  SDL_SetWindowSize(test_window(), 1300, 1000); // scale 2 at (10, 20)
  VEL_DrawBegin();
  VEL_DrawEnd();
  push_mouse_motion(30, 40);
  VEL_CycleEvents();
  VEL_MousePosition(&x, &y);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 10);
  push_mouse_button(SDL_BUTTON_LEFT, true, 1289, 979);
  std::vector<VEL_Event> events = poll_all();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, VEL_EVENT_BUTTON_DOWN);
  EXPECT_EQ(events[0].button, VEL_BUTTON_MOUSE_L);
  EXPECT_EQ(events[0].x, 639);
  EXPECT_EQ(events[0].y, 479);
  EXPECT_TRUE(VEL_ButtonDown(VEL_BUTTON_MOUSE_L));
  // Buttons 4 and 5 are no buttons of the engine, but still move the mouse.
  push_mouse_button(4, true, 110, 220);
  push_mouse_button(5, true, 112, 222);
  EXPECT_TRUE(poll_all().empty());
  x = 0;
  VEL_MousePosition(&x, nullptr);
  EXPECT_EQ(x, 51);
  VEL_MousePosition(nullptr, &y);
  EXPECT_EQ(y, 101);
  push_mouse_button(SDL_BUTTON_RIGHT, true, 0, 0);
  VEL_CycleEvents();
  EXPECT_TRUE(VEL_ButtonDown(VEL_BUTTON_MOUSE_R));
  EXPECT_FALSE(VEL_ButtonDown(VEL_BUTTON_MOUSE_M));
}

TEST(VelInput, ButtonsBeyondTheNineDoNotExist) {
  Engine engine;
  LogCapture log;
  EXPECT_FALSE(VEL_ButtonDown(9));
  EXPECT_FALSE(VEL_ButtonDown(static_cast<unsigned>(-1)));
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"9 button doesn't exist", "-1 button doesn't exist"}));
}

TEST(VelInput, BindingRules) {
  Engine engine;
  LogCapture log;
  VEL_ButtonBind(6, SDL_SCANCODE_A);
  VEL_ButtonBind(0, SDL_SCANCODE_F1);
  VEL_ButtonBind(0, SDL_SCANCODE_F11);
  VEL_ButtonBind(2, SDL_SCANCODE_F11);
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"button 6 can't be remapped to key A",
                                      "button 0 can't be remapped to key F1",
                                      "bound key F11 to button 0", "bound key F11 to button 2"}));
  // F11 now both toggles fullscreen and drives the lower of its two buttons.
  push_key(SDL_SCANCODE_F11, true);
  std::vector<VEL_Event> events = poll_all();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].button, VEL_BUTTON_LEFT);
  EXPECT_FALSE(VEL_ButtonDown(VEL_BUTTON_UP));
  EXPECT_TRUE(SDL_GetWindowFlags(test_window()) & SDL_WINDOW_FULLSCREEN_DESKTOP);
  push_key(SDL_SCANCODE_LEFT, true);
  EXPECT_TRUE(poll_all().empty()) << "the old key drives nothing now";
}

TEST(VelInput, HeldF11TogglesOnEveryRepeat) {
  Engine engine;
  const Uint32 fullscreen = SDL_WINDOW_FULLSCREEN_DESKTOP;
  push_key(SDL_SCANCODE_F11, true);
  VEL_CycleEvents();
  EXPECT_EQ(SDL_GetWindowFlags(test_window()) & fullscreen, fullscreen);
  push_key(SDL_SCANCODE_F11, true, true);
  VEL_CycleEvents();
  EXPECT_EQ(SDL_GetWindowFlags(test_window()) & fullscreen, 0u);
  push_key(SDL_SCANCODE_F11, true, true);
  VEL_CycleEvents();
  EXPECT_EQ(SDL_GetWindowFlags(test_window()) & fullscreen, fullscreen);
}

TEST(VelBindMenu, SwitchedOffF1IsAnOrdinaryKey) {
  Engine engine;
  LogCapture log;
  push_key(SDL_SCANCODE_F1, true);
  EXPECT_TRUE(poll_all().empty());
  EXPECT_TRUE(log.lines().empty());
}

// Keys pressed in the menu are bound to the buttons in order; keys waiting in the same batch
// behind the sixth are offered as further buttons and refused.
TEST(VelBindMenu, BindsTheNextKeysInOrder) {
  Engine engine(with_bind_menu());
  LogCapture log;
  push_key(SDL_SCANCODE_F1, true);
  push_key(SDL_SCANCODE_A, false); // only key-downs count
  for (SDL_Scancode s : {SDL_SCANCODE_A, SDL_SCANCODE_F11, SDL_SCANCODE_D, SDL_SCANCODE_W,
                         SDL_SCANCODE_S, SDL_SCANCODE_J, SDL_SCANCODE_K, SDL_SCANCODE_L}) {
    push_key(s, true);
  }
  EXPECT_TRUE(poll_all().empty());
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"entering bind menu", "bound key A to button 0",
                                      "bound key D to button 1", "bound key W to button 2",
                                      "bound key S to button 3", "bound key J to button 4",
                                      "bound key K to button 5",
                                      "button 6 can't be remapped to key L", "leaving bind menu"}));
  push_key(SDL_SCANCODE_W, true);
  std::vector<VEL_Event> events = poll_all();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].button, VEL_BUTTON_UP);
}

TEST(VelBindMenu, EscapeLeavesBindingsAlone) {
  Engine engine(with_bind_menu());
  LogCapture log;
  push_key(SDL_SCANCODE_F1, true);
  push_key(SDL_SCANCODE_ESCAPE, true);
  push_key(SDL_SCANCODE_X, true); // waits for the game
  std::vector<VEL_Event> events = poll_all();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"entering bind menu", "leaving bind menu"}));
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].button, VEL_BUTTON_A);
}

// A quit request made in the menu closes it and is kept; buttons released in the menu do not
// stay stuck down.
TEST(VelBindMenu, KeepsQuitRequestsAndReleases) {
  Engine engine(with_bind_menu());
  push_key(SDL_SCANCODE_X, true);
  push_mouse_button(SDL_BUTTON_LEFT, true, 5, 5);
  VEL_CycleEvents();
  ASSERT_TRUE(VEL_ButtonDown(VEL_BUTTON_A));
  LogCapture log;
  push_key(SDL_SCANCODE_F1, true);
  push_key(SDL_SCANCODE_X, false);
  push_mouse_button(SDL_BUTTON_LEFT, false, 5, 5);
  push_quit();
  VEL_CycleEvents();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"entering bind menu", "leaving bind menu"}));
  EXPECT_TRUE(VEL_ShouldQuit());
  EXPECT_FALSE(VEL_ButtonDown(VEL_BUTTON_A));
  EXPECT_FALSE(VEL_ButtonDown(VEL_BUTTON_MOUSE_L));
}

} // namespace
