#include <malloc.h>

#include "app/ProgramEntry.h"

int main(int argc, char* argv[]) {
    // Pictures are captured, scaled and coded on worker threads, each with a heap of its own.
    // With the C library's sliding threshold, freed capture buffers soon stop going back to the
    // system and stay resident in those heaps; a fixed threshold keeps buffers of a megabyte
    // and more as separate mappings that are returned when freed.
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
    // A heap per worker thread holds its freed memory for good: two heaps serve the main thread
    // and the workers, which spend their time coding pictures rather than allocating.
    mallopt(M_ARENA_MAX, 2);
    return pellucine::runProgram(argc, argv);
}
