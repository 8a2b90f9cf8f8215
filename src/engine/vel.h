// vel.h -- the engine layer: one window, a logical canvas shown at a whole scale, frame
// pacing, a colour state, shapes, an image registry, sound and music, and input.
//
// There is one engine per process, on the program's one thread. Call VEL_Init once before
// anything else and VEL_Quit once at the end (also after a failed VEL_Init). Every function
// that can fail returns 0 on success and -1 on failure and writes one line through SDL_Log.
#pragma once

#include <SDL.h>

#include <cstdint>

// ---- Configuration ------------------------------------------------------------------------

struct VEL_Config {
  uint32_t display_width;  // canvas width in canvas pixels; must not be 0
  uint32_t display_height; // canvas height in canvas pixels; must not be 0
  uint32_t target_fps;     // frames per second to pace at; 0 switches pacing off
  uint32_t tile_size;      // edge of one tile for VEL_DrawTile; 0 becomes 1
  const char *title;       // window title; null becomes "VEL"
  double ratio;            // aspect ratio the whole canvas is shown at; <= 0 is square pixels;
                           // the window it gives must be 1 to 16384 pixels wide
  bool disable_bind_menu;  // true: F1 does not open the key-binding window
  bool hide_cursor;        // true: the system mouse cursor is hidden
};

// ---- Lifecycle ----------------------------------------------------------------------------

// Copies and checks the configuration and starts the engine afresh, also after a VEL_Quit (no
// quit asked, no frame presented, the default key map, every button up, no pad open, both sound
// switches on, windowed): SDL video and game controllers (without them, no pad is read), the
// audio device (SDL's dummy audio driver, silent, when no device can be opened, which is
// logged), the resizable window, its renderer (SDL's software renderer when no accelerated one
// can be had, which is logged), the canvas and the point buffer. On -1 the caller calls
// VEL_Quit; what was created so far stays until then.
int VEL_Init(const VEL_Config *config);
// Releases everything the engine holds and shuts SDL down; safe after a partial start and twice.
void VEL_Quit();
// Gives the window the BMP at path (relative to the executable) as its icon.
int VEL_SetWindowIcon(const char *path);
// True once the window has been asked to close; never cleared.
bool VEL_ShouldQuit();
// Number of frames VEL_DrawEnd has presented.
uint64_t VEL_GetTick();
// New string (release with free): the executable's directory followed by the relative path.
// Without a running engine it logs "basepath is NULL" and returns a plain copy.
char *VEL_PathPrefix(const char *path);

// ---- Frames, presentation and colour --------------------------------------------------------

// Sets the draw colour and the sprite tint; each component is clamped to 0..1 (NaN is 0).
int VEL_DrawSetColor(float red, float green, float blue, float alpha);
// Fills the current render target with the renderer's draw colour.
int VEL_DrawClear();
// Opens a frame: moves the deadline on, targets the canvas and clears it to opaque black.
int VEL_DrawBegin();
// Closes a frame: waits for the deadline, shows the canvas at the largest whole scale that
// fits, centred in the window, and counts the frame.
int VEL_DrawEnd();
// Maps a window position to canvas pixels by the last presented frame, held to the int range;
// null pointers are skipped; nothing changes while the scale is 0.
void VEL_ScreenTransform(int *x, int *y);
// Switches between windowed and desktop fullscreen; a refused switch is logged and forgotten.
// Back from full screen, the window gets the size it had before, even where full screen never
// took effect (no window manager).
void VEL_ToggleFullscreen();

// ---- Shapes (in the renderer's draw colour) -------------------------------------------------

int VEL_DrawPoint(int x, int y);
// Draws n points (x[i], y[i]); more than one per canvas pixel is refused with "%d > %u".
int VEL_DrawPoints(const int *x, const int *y, int n);
int VEL_DrawLine(int x0, int y0, int x1, int y1);
// Fills the rectangle, or draws its outline only.
int VEL_DrawRectangle(bool fill, int x, int y, int w, int h);
// Switched off: logs "VEL GFX module is disabled" and returns -1.
int VEL_DrawCircle(bool fill, int x, int y, int radius);
// Switched off: logs "VEL GFX module is disabled" and returns -1.
int VEL_DrawPolygon(bool fill, const int *x, const int *y, int n);

// ---- Images ---------------------------------------------------------------------------------

struct VEL_ImageParams {
  int32_t src_x, src_y; // top-left of the source rectangle in image pixels
  int32_t src_w, src_h; // source size; 0 or less means the whole image's size
  double scale_x, scale_y;
  double rotation; // clockwise, in turns (1.0 is 360 degrees)
  uint8_t center;  // non-zero: x, y is the sprite's centre; 0: its top-left corner
  uint8_t flip_h;  // 1: mirror left to right
  uint8_t flip_v;  // 1: mirror top to bottom
};

constexpr int VEL_MAX_IMAGES = 64;

// Id (0..63) of the BMP at path (relative to the executable), loading it on first request;
// later requests for the same string find it without touching the disk. -1 on failure.
int VEL_ImageLoad(const char *path);
// On (the default), the fully opaque rows of a sprite drawn unturned, unscaled and at full
// alpha are copied without blending; off, every pixel is blended. The pixels are the same.
void VEL_SetOpaqueCopies(bool on);
// Draws the whole image at its size with its top-left corner at x, y, tinted by the colour.
int VEL_DrawImage(int id, int x, int y);
// Draws part of the image scaled, rotated, centred and flipped as params says, tinted.
int VEL_DrawImageEx(int id, int x, int y, const VEL_ImageParams *params);
// Draws tile number `tile` (row by row) of a sheet of tile_size squares at x, y; angle in
// degrees and flip (an SDL_RendererFlip) go to SDL unchanged.
int VEL_DrawTile(int id, int tile, int x, int y, double angle, int flip);

// ---- Sound and music ------------------------------------------------------------------------

constexpr int VEL_MAX_SOUNDS = 64;

// Loads a WAV effect into the next free slot with a volume of 0..128; returns its id or -1.
int VEL_SoundLoad(const char *path, float volume);
// Plays the effect once on a free mixer channel.
int VEL_PlaySound(int id);
// Sets the music volume as a fraction of full (1.0).
int VEL_SetMusicVolume(float volume);
// Halts the music and releases it; harmless without music.
void VEL_StopMusic();
// Stops any music, then loads and starts the track at path; loops -1 repeats for ever. A WAV
// track's header must pass SDL's WAV reader, checked once while the same path is played again.
// It starts paused while the music is switched off or the window is away.
int VEL_PlayMusic(const char *path, int loops);

// ---- Sound switches and a window away -------------------------------------------------------
//
// The music sounds while it is switched on and the window is not away (hidden or minimised);
// effects start only then too. VEL_PollEvent sees the window go away, which pauses every sound,
// and come back, which resumes what is switched on.

// On: the music resumes where it was paused, unless the window is away. Off: it pauses.
void VEL_SetMusicOn(bool on);
bool VEL_MusicOn();
// On: VEL_PlaySound plays again. Off: the effects sounding stop and no more start.
void VEL_SetEffectsOn(bool on);
bool VEL_EffectsOn();

// ---- Input ----------------------------------------------------------------------------------

// Logical buttons: six keyboard buttons through a rebindable key map (a gamepad's d-pad, south
// and east buttons drive them too), then the mouse.
enum VEL_Button : unsigned {
  VEL_BUTTON_LEFT,
  VEL_BUTTON_RIGHT,
  VEL_BUTTON_UP,
  VEL_BUTTON_DOWN,
  VEL_BUTTON_A,
  VEL_BUTTON_B,
  VEL_BUTTON_MOUSE_L,
  VEL_BUTTON_MOUSE_M,
  VEL_BUTTON_MOUSE_R,
};

enum VEL_EventType : uint32_t {
  VEL_EVENT_QUIT,
  VEL_EVENT_BUTTON_DOWN,
  VEL_EVENT_BUTTON_UP,
  VEL_EVENT_MOUSE_MOVE,
};

// One reported event; fields an event does not use keep what the caller left in them.
struct VEL_Event {
  VEL_EventType type;
  uint32_t button; // button events only
  int32_t x, y;    // mouse events only, in canvas pixels
};

// The keys VEL_Init maps to the six keyboard buttons: the arrows, X and C.
constexpr SDL_Scancode VEL_DEFAULT_KEYS[VEL_BUTTON_MOUSE_L] = {
    SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT, SDL_SCANCODE_UP,
    SDL_SCANCODE_DOWN, SDL_SCANCODE_X,     SDL_SCANCODE_C};

// Consumes SDL events until one is reportable, fills e with it and returns true; false once
// the queue is empty. F11 toggles fullscreen; F1 opens the key-binding window when enabled.
// A gamepad plugged in is opened, and closed when it goes (what it held let go first); its
// d-pad, south and east buttons are reported as LEFT, RIGHT, UP, DOWN, A and B.
bool VEL_PollEvent(VEL_Event *e);
// Drains the queue so that buttons, mouse position and the quit flag reflect every event.
void VEL_CycleEvents();
// True while the button is down; a button above 8 is logged and false.
bool VEL_ButtonDown(unsigned button);
// True when the button went down during the last VEL_CycleEvents, even if it came up again
// in the same cycle (a click quicker than a frame); a button above 8 is logged and false.
bool VEL_ButtonPressed(unsigned button);
// True when the key went down (not an automatic repeat) during the last VEL_CycleEvents,
// whether or not it drives a button: for keys of a program's own beside the six buttons.
bool VEL_KeyPressed(SDL_Scancode scancode);
// Binds a key to keyboard button 0..5 (F1 is refused), logging either way.
void VEL_ButtonBind(unsigned button, SDL_Scancode scancode);
// The last mouse position in canvas pixels (0, 0 before any mouse event); nulls are skipped.
void VEL_MousePosition(int *x, int *y);
// True when the mouse moved, or one of its buttons went down or up, during the last
// VEL_CycleEvents.
bool VEL_MouseActive();
// The left stick's tilt, each axis from -1 to 1 (right and down positive), of the open pad
// tilted furthest; 0, 0 without a pad.
void VEL_StickTilt(float *x, float *y);
