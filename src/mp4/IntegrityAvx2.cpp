// The digest's hashing loop once more, built for AVX2 (this file alone is
// compiled with it on x86-64) and used only where the processor has it:
// XXH3 then runs about 1.5 times as fast as with the SSE2 every x86-64 has.
// Nothing but xxHash's own static functions is built here, so no shared
// inline code compiled for AVX2 can end up in the rest of the program.
#include <cstddef>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace orvo::detail {

// The state is the XXH3_state_t of Integrity.cpp: one layout for every
// vector width, which is what lets each step use its own build of xxHash.
void UpdateDigestAvx2(void *state, const void *data, std::size_t size) {
  XXH3_128bits_update(static_cast<XXH3_state_t *>(state), data, size);
}

} // namespace orvo::detail
