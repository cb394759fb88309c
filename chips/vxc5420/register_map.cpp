#include "register_map.h"

namespace vxc5420 {

const panel_common::MuxLayout kMuxLayout = {kMux, kInputNames, kInputCount,
                                            -1,   MuxByte,     kSpanPerReference};

} // namespace vxc5420
