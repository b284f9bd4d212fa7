// Counts the bench binary's heap allocations. One definition per binary:
// other benchmarks read the count through bench_allocation_count().
#include "player_alloc_counter.hpp"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<uint64_t> allocations{ 0 };

void *counted_alloc(std::size_t p_size) {
	allocations.fetch_add(1, std::memory_order_relaxed);
	void *p = std::malloc(p_size ? p_size : 1);
	if (!p) {
		std::abort();
	}
	return p;
}
} // namespace

uint64_t bench_allocation_count() {
	return allocations.load(std::memory_order_relaxed);
}

void *operator new(std::size_t p_size) {
	return counted_alloc(p_size);
}

void *operator new[](std::size_t p_size) {
	return counted_alloc(p_size);
}

void *operator new(std::size_t p_size, const std::nothrow_t &) noexcept {
	allocations.fetch_add(1, std::memory_order_relaxed);
	return std::malloc(p_size ? p_size : 1);
}

void *operator new[](std::size_t p_size, const std::nothrow_t &) noexcept {
	allocations.fetch_add(1, std::memory_order_relaxed);
	return std::malloc(p_size ? p_size : 1);
}

void operator delete(void *p_ptr) noexcept {
	std::free(p_ptr);
}

void operator delete[](void *p_ptr) noexcept {
	std::free(p_ptr);
}

void operator delete(void *p_ptr, std::size_t) noexcept {
	std::free(p_ptr);
}

void operator delete[](void *p_ptr, std::size_t) noexcept {
	std::free(p_ptr);
}
