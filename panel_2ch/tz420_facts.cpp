// What the analysis, the capture and the scan learn of this chip: the chip core's facts of the
// registers as last read or confirmed, converted in the mode the board last confirmed (a fixed
// mode's own gain and rate, or CR1's in "Command Mode").

#include "chips/vxc5420/chip_facts.h"
#include "tz420_dlg.h"

conversion::ConversionFacts TZ420Dlg::CurrentFacts(std::optional<double> referenceVolts) const {
    return vxc5420::Facts(m_current, m_appliedMode, referenceVolts);
}
