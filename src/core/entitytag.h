// entitytag.h -- the table of registered entity kinds. A kind's type id is its index in
// entitytags plus one, so ids run from 1 in registration order and 0 means "no type".
#pragma once

#include <cstdint>

struct Entity;

using EntityInitFn = void (*)(Entity *e, int32_t x, int32_t y);

// One registered kind: the type name level objects use, and the kind's init function.
struct EntityTag {
  const char *name;
  EntityInitFn init;
};

constexpr uint32_t ENTITYTAG_MAX = 256;

extern EntityTag entitytags[ENTITYTAG_MAX];
extern uint32_t num_entitytags;

// Appends a kind to entitytags. Once the table is full it logs "reached entity kind limit
// (%d)" and registers nothing.
void entitytag_add(const char *name, EntityInitFn init);
