#pragma once

namespace pellucine {

// Writes "idle after launch" to the "pellucine.startup" log (off unless QT_LOGGING_RULES turns
// it on) the first time the event loop of the running application is about to wait.
void traceFirstIdle();

}  // namespace pellucine
