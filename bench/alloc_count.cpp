// Counts every heap allocation of the process: the C allocator is replaced
// by one that counts and hands on to the C library's own. C++ allocations
// (operator new) end up here too, and so do the library's malloc'd variant
// payloads, which a count of operator new alone would miss.
#include "alloc_count.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* p);
}

namespace {

std::atomic<std::uint64_t> allocations{0};

void counted() { allocations.fetch_add(1, std::memory_order_relaxed); }

}  // namespace

namespace bench {

std::uint64_t allocationCount() { return allocations.load(std::memory_order_relaxed); }

}  // namespace bench

extern "C" {

void* malloc(std::size_t size) {
    counted();
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) {
    counted();
    return __libc_calloc(count, size);
}

void* realloc(void* p, std::size_t size) {
    counted();
    return __libc_realloc(p, size);
}

void free(void* p) { __libc_free(p); }

void* memalign(std::size_t alignment, std::size_t size) {
    counted();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
    counted();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
    counted();
    void* p = __libc_memalign(alignment, size);
    if (!p) return 12;  // ENOMEM
    *out = p;
    return 0;
}

}  // extern "C"
