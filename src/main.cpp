#include <malloc.h>

#include "app/ProgramEntry.h"

int main(int argc, char* argv[]) {
    // Pictures are captured, scaled and coded on worker threads and drawn on the main one. With
    // the C library's sliding threshold, freed picture buffers soon stop going back to the system
    // and stay resident, scattered through the heaps; a fixed threshold keeps every buffer of
    // 128 KiB and more (a picture of 180 x 180 pixels) as a mapping of its own that is returned
    // when freed.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    // A heap per worker thread holds its freed memory for good: two heaps serve the main thread
    // and the workers, which spend their time coding pictures rather than allocating.
    mallopt(M_ARENA_MAX, 2);
    return pellucine::runProgram(argc, argv);
}
