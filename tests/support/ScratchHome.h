#pragma once

namespace pellucine::testing {

// Points HOME and the XDG folders at a scratch folder beside the test executable, so that
// nothing a test runs can reach the real home folder.
void useScratchHome();

}  // namespace pellucine::testing
