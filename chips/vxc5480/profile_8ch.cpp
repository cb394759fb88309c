#include "profile_8ch.h"

#include "link/chip_catalog.h"

namespace vxc5480 {

const char *const kChipName = chip_name::kVxc5480;

// "DRAT", not "DRATE": the profile format names the data-rate key so, on every platform.
const char *const kProfileKeys[kRegisterCount] = {"STATUS", "MUX",  "ADCON", "DRAT", "IO",  "OFC0",
                                                  "OFC1",   "OFC2", "FSC0",  "FSC1", "FSC2"};

const panel_common::ProfileLayout kProfileLayout{kChipName, kProfileKeys, kRegisterCount};

QString InvalidProfileMessage() {
    return panel_common::InvalidProfileMessage(kProfileLayout);
}

bool SaveRegisterProfile(const QString &path, const RegisterImage &image) {
    return !panel_common::SaveRegisterProfile(path, kProfileLayout, image.data()).failed();
}

ProfileLoad LoadRegisterProfile(const QString &path, RegisterImage &image) {
    return panel_common::LoadRegisterProfile(path, kProfileLayout, image.data());
}

} // namespace vxc5480
