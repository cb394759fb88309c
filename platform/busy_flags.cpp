#include "busy_flags.h"

int g_acquiring = 0;
int g_registerBusy = 0;
int g_calibrating = 0;
