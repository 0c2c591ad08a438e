#pragma once

namespace pellucine {

// Writes "idle after launch" to the "pellucine.startup" log (off unless QT_LOGGING_RULES turns
// it on) the first time the event loop is about to wait once the work queued before this call
// has run.
void traceFirstIdle();

}  // namespace pellucine
