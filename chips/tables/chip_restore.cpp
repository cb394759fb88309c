#include "chip_restore.h"

#include "link/protocol.h"
#include "link/register_range.h"
#include "link/result_codes.h"

#include <vector>

namespace cli {

namespace {
// The first register whose writable bits differ, or -1.
int firstDifference(const ChipSupport &chip, std::span<const uint8_t> a,
                    std::span<const uint8_t> b) {
    for (size_t address = 0; address < a.size() && address < b.size(); ++address) {
        const uint8_t fixed = chip.readOnlyBits ? chip.readOnlyBits(static_cast<int>(address)) : 0;
        if ((a[address] ^ b[address]) & ~fixed)
            return static_cast<int>(address);
    }
    return -1;
}

int readImage(BoardLink &link, std::vector<uint8_t> &image) {
    return ReadRegisterRange(link, image.data(), static_cast<int>(image.size()), nullptr);
}
} // namespace

ChipRestore RestoreChip(BoardLink &link, const ChipSupport &chip, std::span<const uint8_t> recorded,
                        int mode) {
    ChipRestore restore;
    const int count = chip.registerCount();
    if (count == 0 || recorded.size() < static_cast<size_t>(count)) {
        restore.reason = QStringLiteral("the registers recorded at the start are not known");
        return restore;
    }
    const std::span<const uint8_t> wanted = recorded.first(static_cast<size_t>(count));
    std::vector<uint8_t> image(static_cast<size_t>(count), 0);
    if (const int result = readImage(link, image); result != result::kOk) {
        restore.reason =
            QStringLiteral("its registers could not be read (result code %1)").arg(result);
        return restore;
    }
    if (firstDifference(chip, image, wanted) >= 0) {
        std::vector<uint8_t> pending(wanted.begin(), wanted.end());
        if (chip.allRegsWrite)
            chip.allRegsWrite(pending);
        const int result = WriteRegisterRange(link, pending.data(), image.data(), count, nullptr);
        if (result != result::kOk) {
            restore.reason =
                QStringLiteral("the registers recorded at the start could not be written back "
                               "(result code %1)")
                    .arg(result);
            return restore;
        }
        restore.wroteBack = true;
    }
    if (chip.lastMode > 0 && mode > 0) {
        for (const CommandEntry &command : chip.commands) {
            if (QLatin1String(command.name) == QLatin1String("set-mode") &&
                SendCommand(link, command.code, static_cast<uint8_t>(mode)) != result::kOk) {
                restore.reason = QStringLiteral("its mode %1 could not be sent again").arg(mode);
                return restore;
            }
        }
        restore.wroteBack = true;
    }
    if (restore.wroteBack) {
        if (const int result = readImage(link, image); result != result::kOk) {
            restore.reason =
                QStringLiteral("its registers could not be read back (result code %1)").arg(result);
            return restore;
        }
        if (const int address = firstDifference(chip, image, wanted); address >= 0) {
            restore.reason =
                QStringLiteral("its registers did not take the values recorded at the start "
                               "(register 0x%1 reads 0x%2, not 0x%3)")
                    .arg(address, 2, 16, QLatin1Char('0'))
                    .arg(image[static_cast<size_t>(address)], 2, 16, QLatin1Char('0'))
                    .arg(wanted[static_cast<size_t>(address)], 2, 16, QLatin1Char('0'));
            return restore;
        }
    }
    restore.ok = true;
    return restore;
}

} // namespace cli
