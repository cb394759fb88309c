#include "scroll.h"

#include <algorithm>

int32_t ScrollTarget(ScrollCode code, const ScrollModel &m) {
    const int32_t p = m.position;
    switch (code) {
    case ScrollCode::LineLeft:
        return p > m.minimum && p > 0 ? p - 1 : p;
    case ScrollCode::LineRight:
        return p + 1 < m.maximum ? p + 1 : p;
    case ScrollCode::PageLeft:
        return p > m.page ? p - m.page : 0;
    case ScrollCode::PageRight: {
        // Compared unsigned: with fewer samples than a page the difference wraps, and the
        // page step wins.
        const uint32_t next = static_cast<uint32_t>(p) + static_cast<uint32_t>(m.page);
        const uint32_t last = static_cast<uint32_t>(m.maximum) - static_cast<uint32_t>(m.page);
        return static_cast<int32_t>(std::min(next, last));
    }
    case ScrollCode::Track:
        return m.track;
    case ScrollCode::LeftEnd:
        return m.minimum;
    case ScrollCode::RightEnd:
        return m.maximum;
    case ScrollCode::Other:
        break;
    }
    return p;
}

int32_t HeldPosition(int32_t target, const ScrollModel &m) {
    const int64_t highest = std::max<int64_t>(m.minimum, int64_t{m.maximum} - m.page + 1);
    return static_cast<int32_t>(std::clamp<int64_t>(target, m.minimum, highest));
}
