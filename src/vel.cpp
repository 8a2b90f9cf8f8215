#include "vel.h"
