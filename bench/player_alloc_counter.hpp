#ifndef MOSSGLIMMER_BENCH_PLAYER_ALLOC_COUNTER_HPP
#define MOSSGLIMMER_BENCH_PLAYER_ALLOC_COUNTER_HPP

#include <cstdint>

// Heap allocations made through the global operator new, which the bench
// binary replaces (player_alloc_counter.cpp).
uint64_t bench_allocation_count();

#endif // MOSSGLIMMER_BENCH_PLAYER_ALLOC_COUNTER_HPP
