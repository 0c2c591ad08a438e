#include "app/ProgramEntry.h"

int main(int argc, char* argv[]) {
    return pellucine::runProgram(argc, argv);
}
