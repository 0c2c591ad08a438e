#pragma once

#include <QList>

#include "platform/Screen.h"

namespace pellucine {

// The screens and displays. Main thread only.
class ScreenLayout {
  public:
    virtual ~ScreenLayout() = default;

    // The screen with the menu bar first, then the others.
    virtual QList<Screen> screens() const = 0;
    virtual quint32 mainDisplayIdentifier() const = 0;
    // A display's bounds in the global space; the empty rectangle for an unknown identifier.
    virtual GlobalRect displayBounds(quint32 displayIdentifier) const = 0;
};

}  // namespace pellucine
