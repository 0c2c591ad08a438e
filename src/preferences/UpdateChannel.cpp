#include "preferences/UpdateChannel.h"

namespace pellucine {

QString rawValue(UpdateChannel channel) {
    switch (channel) {
        case UpdateChannel::stable:
            return QStringLiteral("stable");
        case UpdateChannel::beta:
            return QStringLiteral("beta");
    }
    return {};
}

std::optional<UpdateChannel> updateChannelFromRawValue(QStringView raw) {
    for (UpdateChannel channel : {UpdateChannel::stable, UpdateChannel::beta}) {
        if (rawValue(channel) == raw) {
            return channel;
        }
    }
    return std::nullopt;
}

}  // namespace pellucine
