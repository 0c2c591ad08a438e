#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace pellucine {

// The updater's release channel, stored in the machine preferences by its raw value.
enum class UpdateChannel { stable, beta };

QString rawValue(UpdateChannel channel);
std::optional<UpdateChannel> updateChannelFromRawValue(QStringView raw);

}  // namespace pellucine
