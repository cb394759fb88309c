#include "busy_flags.h"

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
