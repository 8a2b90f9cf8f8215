#include "kinds.h"

void player_register() {}
