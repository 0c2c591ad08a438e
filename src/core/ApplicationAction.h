#pragma once

namespace pellucine {

// An operation on one application, from the application menu of the preview panel.
enum class ApplicationAction { hide, quit, minimizeAll, restoreAll, closeAll };

}  // namespace pellucine
