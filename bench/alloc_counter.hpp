#ifndef MOSSGLIMMER_BENCH_ALLOC_COUNTER_HPP
#define MOSSGLIMMER_BENCH_ALLOC_COUNTER_HPP

#include <chrono>
#include <cstdint>
#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

// Heap allocations of the bench binary: malloc, calloc, realloc and the
// aligned forms, which the binary replaces (alloc_counter.cpp); operator new
// and the regex library's match data allocate through them.
uint64_t bench_allocation_count();

// In the traced bench binary the library's functions report entry and exit
// (library_trace.cpp): allocations and time are then split by whether the
// library's code is on the stack. Elsewhere nothing is traced.
bool bench_library_traced();
uint64_t bench_library_allocation_count();
double bench_library_seconds();

// The number of times the engine called into the library (outermost entries).
uint64_t bench_library_call_count();

namespace bench_trace {
// Written by the tracing hooks only; one thread runs the engine and the library.
extern int depth;
extern uint64_t calls;
extern uint64_t ticks; // spent in the library
// The first entry's time, to convert ticks to seconds.
extern uint64_t first_ticks;
extern std::chrono::steady_clock::time_point first_time;

// The time stamp counter costs a few nanoseconds where the system clock
// costs tens: less of the hooks' own cost lands in the engine's share.
inline uint64_t now_ticks() {
#if defined(__x86_64__) || defined(__i386__)
	return __rdtsc();
#else
	return (uint64_t)std::chrono::steady_clock::now().time_since_epoch().count();
#endif
}
} // namespace bench_trace

#endif // MOSSGLIMMER_BENCH_ALLOC_COUNTER_HPP
