#include "kinds.h"

void alarm_register() {}
