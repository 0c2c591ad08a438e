#pragma once

namespace pellucine {

// The program: decides the road from the environment and the command line, and on the
// application road becomes the one running instance (or hands its links to it and returns 0),
// sets the activation policy from the machine preferences before any window exists, and runs
// the event loop. Returns the exit status.
int runProgram(int argc, char* argv[]);

}  // namespace pellucine
