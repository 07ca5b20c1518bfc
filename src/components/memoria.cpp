#include "components/memoria.h"

#include <malloc.h>

namespace tarvix {

void prepararMemoria() {
    // Blocks up to 32 MB from the pool (the default takes anything over 128 KB from the system and
    // gives it back on free); the pool keeps up to 64 MB free at its end before returning any.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
}

} // namespace tarvix
