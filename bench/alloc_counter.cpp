// Counts the bench binary's heap allocations by replacing the C allocator's
// entry points (glibc allows this) and forwarding to glibc's own. One
// definition per binary.
#include "alloc_counter.hpp"

#include <atomic>
#include <cerrno>
#include <cstddef>

namespace bench_trace {
int depth = 0;
uint64_t calls = 0;
uint64_t ticks = 0;
uint64_t first_ticks = 0;
std::chrono::steady_clock::time_point first_time;
} // namespace bench_trace

namespace {
std::atomic<uint64_t> allocations{ 0 };
std::atomic<uint64_t> library_allocations{ 0 };

inline void count() {
	allocations.fetch_add(1, std::memory_order_relaxed);
	if (bench_trace::depth > 0) {
		library_allocations.fetch_add(1, std::memory_order_relaxed);
	}
}
} // namespace

uint64_t bench_allocation_count() {
	return allocations.load(std::memory_order_relaxed);
}

bool bench_library_traced() {
	return bench_trace::calls > 0;
}

uint64_t bench_library_call_count() {
	return bench_trace::calls;
}

uint64_t bench_library_allocation_count() {
	return library_allocations.load(std::memory_order_relaxed);
}

double bench_library_seconds() {
	uint64_t elapsed_ticks = bench_trace::now_ticks() - bench_trace::first_ticks;
	if (bench_trace::calls == 0 || elapsed_ticks == 0) {
		return 0.0;
	}
	double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - bench_trace::first_time).count();
	return (double)bench_trace::ticks * elapsed / (double)elapsed_ticks;
}

extern "C" {
void *__libc_malloc(size_t);
void *__libc_calloc(size_t, size_t);
void *__libc_realloc(void *, size_t);
void *__libc_memalign(size_t, size_t);
void *__libc_valloc(size_t);
void *__libc_pvalloc(size_t);
void __libc_free(void *);

void *malloc(size_t p_size) noexcept {
	count();
	return __libc_malloc(p_size);
}

void *calloc(size_t p_count, size_t p_size) noexcept {
	count();
	return __libc_calloc(p_count, p_size);
}

void *realloc(void *p_ptr, size_t p_size) noexcept {
	count();
	return __libc_realloc(p_ptr, p_size);
}

void free(void *p_ptr) noexcept {
	__libc_free(p_ptr);
}

void *memalign(size_t p_alignment, size_t p_size) noexcept {
	count();
	return __libc_memalign(p_alignment, p_size);
}

void *aligned_alloc(size_t p_alignment, size_t p_size) noexcept {
	count();
	return __libc_memalign(p_alignment, p_size);
}

int posix_memalign(void **r_ptr, size_t p_alignment, size_t p_size) noexcept {
	// Alignments glibc accepts: powers of two, multiples of a pointer's size.
	if (p_alignment == 0 || (p_alignment & (p_alignment - 1)) != 0 || p_alignment % sizeof(void *) != 0) {
		return EINVAL;
	}
	count();
	void *p = __libc_memalign(p_alignment, p_size);
	if (!p) {
		return ENOMEM;
	}
	*r_ptr = p;
	return 0;
}

void *valloc(size_t p_size) noexcept {
	count();
	return __libc_valloc(p_size);
}

void *pvalloc(size_t p_size) noexcept {
	count();
	return __libc_pvalloc(p_size);
}
}
