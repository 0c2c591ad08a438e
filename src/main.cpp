#include <malloc.h>

#include "app/ProgramEntry.h"

int main(int argc, char* argv[]) {
    // Pictures are captured, scaled and coded on worker threads, each with a heap of its own.
    // With the C library's sliding threshold, freed picture buffers soon stop going back to the
    // system and stay resident in those heaps; a fixed threshold keeps them as separate
    // mappings that are returned when freed.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    return pellucine::runProgram(argc, argv);
}
