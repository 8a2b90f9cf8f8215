#include "kinds.h"

void window_register() {}
