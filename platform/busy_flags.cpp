#include "busy_flags.h"

int g_acquiring = 0;
int g_registerBusy = 0;
int g_calibrating = 0;

bool BoardBusy() {
    return g_acquiring || g_registerBusy || g_calibrating;
}

BusyGuard::BusyGuard(int &flag, std::initializer_list<const int *> refusedWhile) {
    if (flag != 0)
        return;
    for (const int *other : refusedWhile) {
        if (*other != 0)
            return;
    }
    flag = 1;
    m_flag = &flag;
}

BusyGuard::~BusyGuard() {
    if (m_flag)
        *m_flag = 0;
}
