// What the noise analysis learns of this chip: gain and data rate from the chip's registers,
// the reference from the "VRef" the Power & Ref page shows.

#include "tz410_dlg.h"
#include "tz410_power_dlg.h"

#include <QLineEdit>

using namespace vxc5480;

namespace {
constexpr int kVrefEdit = 1097; // the Power & Ref page's "VRef"
}

ConversionScale TZ410Dlg::CurrentScale() const {
    ConversionScale scale;
    scale.pgaGain = PgaGain(m_current[kAdcon]);
    scale.sampleRateHz = DataRateSps(m_current[kDrate]);
    scale.spanPerReference = kSpanPerReference;
    if (m_powerPage) {
        if (auto *vref = m_powerPage->controlAs<QLineEdit>(kVrefEdit)) {
            QString text = vref->text().trimmed();
            if (text.endsWith(u'V', Qt::CaseInsensitive))
                text.chop(1);
            bool ok = false;
            const double volts = text.toDouble(&ok);
            scale.referenceVolts = ok && volts > 0 ? volts : 0.0;
        }
    }
    return scale;
}
