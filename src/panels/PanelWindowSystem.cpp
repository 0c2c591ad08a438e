#include "panels/PanelWindowSystem.h"

#include "panels/QtPanelWindowSystem.h"

namespace pellucine {

const PanelWindowSystem& PanelWindowSystem::qtOnly() {
    static const QtPanelWindowSystem system;
    return system;
}

}  // namespace pellucine
