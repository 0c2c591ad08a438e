#pragma once

#include <QUrl>
#include <optional>

#include "core/Bundle.h"

namespace pellucine {

// The product's website: "https://" and the host of the bundle's "SUFeedURL", when that is a
// string whose scheme is written exactly "https" and which has a host; none otherwise.
std::optional<QUrl> websiteURL(const Bundle& bundle = Bundle::main());
// The one website the menus and About link to: the feed's site, or the maker's page for the
// product in a build without a feed.
QUrl productWebsite(const Bundle& bundle = Bundle::main());

}  // namespace pellucine
