// entitytag.cpp -- the table of registered entity kinds, filled once at start-up.
#include "entitytag.h"

#include <SDL.h>

EntityTag entitytags[ENTITYTAG_MAX];
uint32_t num_entitytags = 0;

void entitytag_add(const char *name, EntityInitFn init) {
  if (num_entitytags >= ENTITYTAG_MAX) {
    SDL_Log("reached entity kind limit (%d)", static_cast<int>(ENTITYTAG_MAX));
    return;
  }
  entitytags[num_entitytags] = EntityTag{name, init};
  ++num_entitytags;
}
