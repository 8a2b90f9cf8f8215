#include "entity.h"
