#include "entitytag.h"
