#include "busy_flag.h"

int g_acquiring = 0;
