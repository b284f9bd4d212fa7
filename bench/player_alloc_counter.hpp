#ifndef MOSSGLIMMER_BENCH_PLAYER_ALLOC_COUNTER_HPP
#define MOSSGLIMMER_BENCH_PLAYER_ALLOC_COUNTER_HPP

// The player benchmarks' name for the bench binary's allocation counter.
#include "alloc_counter.hpp"

#endif // MOSSGLIMMER_BENCH_PLAYER_ALLOC_COUNTER_HPP
