// platform.h -- the one part of start-up that differs between POSIX systems and Windows.
#pragma once

// Makes the standard streams safe to log to: afterwards no file the game or its libraries
// open can take the place of standard error, and writing to a stream whose reader has gone
// ends nothing but that write.
void platform_guard_standard_streams();
