#include "profile_2ch.h"

#include "link/chip_catalog.h"

namespace vxc5420 {

const char *const kChipName = chip_name::kVxc5420;

// The profile keys are the register names.
const panel_common::ProfileLayout kProfileLayout{kChipName, kRegisterNames, kRegisterCount};

} // namespace vxc5420
