#include "acquisition_messages.h"

namespace acquisition_message {
namespace {
platform::Message message(const QString &text, const QString &caption) {
    platform::Message m;
    m.text = text;
    m.caption = caption;
    return m;
}
} // namespace

platform::Message SendCommandFailed() {
    return message(QStringLiteral("Send command failed !"), QStringLiteral("Error"));
}

platform::Message GetItemFailed(int64_t index) {
    return message(QStringLiteral("Get item %1 failed !").arg(index), QStringLiteral("Error !"));
}

platform::Message ItemChecksumInvalid(int64_t index) {
    return message(QStringLiteral("The checksum of item %1 is invalid !").arg(index),
                   QStringLiteral("Error !"));
}

platform::Message DataCountTooLarge() {
    return message(QStringLiteral("Data count should be less than 65536 !"),
                   QStringLiteral("Error occured !"));
}

platform::Message SaveRawDataFailed() {
    return message(QStringLiteral("Save ADC Raw Data Failed !"), QStringLiteral("Error occured !"));
}

platform::Message SaveDataFailed() {
    return message(QStringLiteral("Save ADC Data Failed !"), QStringLiteral("Error occured !"));
}

void Tell(QObject *owner, const platform::Message &message) {
    platform::ShowMessage(owner, message.text, message.caption, message.icon);
}

} // namespace acquisition_message
