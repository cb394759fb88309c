#include "update_firmware.h"

#include "hid_device.h"
#include "platform/message_service.h"
#include "update_codes.h"
#include "update_requests.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

#ifndef PELLORIN_UPDATE_OPEN_VALUE
#error "PELLORIN_UPDATE_OPEN_VALUE comes from the build's configuration"
#endif

namespace firmware {
namespace {

uint8_t freshTag() {
    const auto ticks = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return MakeTag(static_cast<uint32_t>(ticks.count()), static_cast<uint32_t>(std::rand()));
}

// Sends one request under a fresh tag, which it hands back for the reply.
int sendRequest(uint16_t code, uint8_t &tag, uint32_t address = 0, uint32_t length = 0,
                uint16_t sum = 0) {
    tag = freshTag();
    const UpdateRequestBlock block = BuildUpdateRequest(tag, code, address, length, sum);
    return SendFeature(block.data(), block.size());
}

int sendRequest(uint16_t code) {
    uint8_t tag = 0;
    return sendRequest(code, tag);
}

// A request answered by a reply.
int exchange(uint16_t code, uint32_t address = 0) {
    uint8_t tag = 0;
    const int sent = sendRequest(code, tag, address);
    return sent != result::kOk ? sent : WaitReply(tag);
}

void showReplyMessage(const char *text) {
    platform::ShowMessage(nullptr, QString::fromLatin1(text), QStringLiteral("Error occured !"),
                          platform::MessageIcon::Error);
}

UpdateOutcome reportFailed(QObject *owner, int code) {
    platform::ShowMessage(owner, QStringLiteral("Firmware update failed !"),
                          QStringLiteral("Error"), platform::MessageIcon::Error);
    return UpdateOutcome::Told(code);
}

// Set-up, identification and, for a known identity, preparation.
int prepare() {
    int step = exchange(request::kSetUp, kSetUpValue);
    if (step != result::kOk)
        return step;
    uint8_t tag = 0;
    step = sendRequest(request::kIdentification, tag, 4, 4);
    uint8_t identity[4] = {};
    if (step == result::kOk)
        step = ReceiveFeature(identity, sizeof identity);
    if (step == result::kOk && IsKnownIdentity(identity))
        step = exchange(request::kPreparation);
    return step;
}

// The configuration block, written and read back. 0 when the board holds it, or the
// failure's code.
int writeConfiguration() {
    const auto block = ConfigWriteBlock();
    uint8_t tag = 0;
    int step =
        sendRequest(request::kConfigWrite, tag, 0, block.size(), Sum16(block.data(), block.size()));
    if (step == result::kOk)
        step = SendFeature(block.data(), block.size());
    if (step == result::kOk)
        step = WaitReply(tag);
    if (step == result::kOk)
        step = sendRequest(request::kConfigReadBack, tag, 0, kConfigBlock.size());
    std::array<uint8_t, kConfigBlock.size()> readBack{};
    if (step == result::kOk)
        step = ReceiveFeature(readBack.data(), readBack.size());
    if (step != result::kOk)
        return step;
    return readBack == kConfigBlock ? result::kOk : result::kConfigMismatch;
}

// The image, written and read back. 0 when the board holds it, or the failure's code.
int writeImage(const QByteArray &image) {
    const auto *bytes = reinterpret_cast<const uint8_t *>(image.constData());
    const auto size = static_cast<uint32_t>(image.size());
    uint8_t tag = 0;
    int step = sendRequest(request::kImageWrite, tag, 0, size, Sum16(bytes, size));
    if (step == result::kOk)
        step = SendFeature(bytes, size);
    if (step == result::kOk)
        step = WaitReply(tag);
    if (step == result::kOk)
        step = sendRequest(request::kImageReadBack, tag, 0, size);
    if (step != result::kOk)
        return step;
    std::vector<uint8_t> readBack(size);
    step = ReceiveFeature(readBack.data(), readBack.size());
    if (step != result::kOk)
        return step;
    return std::equal(readBack.begin(), readBack.end(), bytes) ? result::kOk
                                                               : result::kImageMismatch;
}

} // namespace

uint32_t UpdateOpenValue() {
    static_assert(PELLORIN_UPDATE_OPEN_VALUE <= 0x00FFFFFF, "the top byte must be 0");
    return PELLORIN_UPDATE_OPEN_VALUE;
}

int WaitReply(uint8_t tag) {
    const int read = ReadInputReport();
    if (read != result::kOk)
        return read;
    const Reply reply = ParseReply(g_hidDevice.receiveBuffer.data());
    if (reply.tag != tag)
        return result::kBadReply;
    switch (reply.status) {
    case 0:
        return result::kOk;
    case 1:
        showReplyMessage("Checksum is not match !");
        return result::kStatusChecksum;
    case 2:
        if (VoltageOutOfRange(reply.voltageMillivolts))
            showReplyMessage("DUT's voltage is out of range !");
        return result::kStatusVoltage;
    case 3:
        showReplyMessage("DUT is no response !");
        return result::kStatusNoResponse;
    default:
        return result::kBadReply;
    }
}

UpdateOutcome UpdateFirmware(QObject *owner, const QByteArray &image) {
    // Without a usable image nothing on the board is touched.
    if (image.isEmpty() || image.size() > kMaxImageSize)
        return reportFailed(owner, result::kBadReply);

    int step = OpenUpdateDevice();
    if (step != result::kOk)
        return UpdateOutcome::LeftToCaller(step);
    step = exchange(request::kOpening, UpdateOpenValue());
    if (step != result::kOk) {
        CloseUpdateDevice();
        return UpdateOutcome::LeftToCaller(step);
    }
    step = prepare();
    if (step != result::kOk) {
        sendRequest(request::kEnd);
        CloseUpdateDevice();
        return UpdateOutcome::LeftToCaller(step);
    }
    step = writeConfiguration();
    if (step != result::kOk) {
        CloseUpdateDevice();
        return reportFailed(owner, step);
    }
    step = writeImage(image);
    if (step != result::kOk) {
        sendRequest(request::kFinishing);
        sendRequest(request::kEnd);
        CloseUpdateDevice();
        return reportFailed(owner, step);
    }
    step = sendRequest(request::kFinishing);
    if (step != result::kOk) {
        sendRequest(request::kEnd);
        CloseUpdateDevice();
        return reportFailed(owner, step);
    }
    step = sendRequest(request::kEnd);
    if (step != result::kOk) {
        CloseUpdateDevice();
        return reportFailed(owner, step);
    }
    step = CloseUpdateDevice();
    if (step != result::kOk)
        return reportFailed(owner, step);
    platform::ShowMessage(owner, QStringLiteral("Firmware update succeeded !"),
                          QStringLiteral("Information"), platform::MessageIcon::Information);
    return UpdateOutcome::Succeeded();
}

} // namespace firmware
