#include "kinds.h"

void box_register() {}
