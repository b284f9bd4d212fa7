// Entry and exit hooks of the library's functions in the traced bench binary
// (its copy of the library is built with -finstrument-functions). The
// outermost entry and exit bound the time the library's code is on the stack,
// calls it makes into the engine included.
#include "alloc_counter.hpp"

namespace {
uint64_t entered_at = 0;
}

extern "C" {
void __cyg_profile_func_enter(void *, void *) __attribute__((no_instrument_function));
void __cyg_profile_func_exit(void *, void *) __attribute__((no_instrument_function));

void __cyg_profile_func_enter(void *, void *) {
	if (bench_trace::depth++ == 0) {
		if (bench_trace::calls++ == 0) {
			bench_trace::first_ticks = bench_trace::now_ticks();
			bench_trace::first_time = std::chrono::steady_clock::now();
		}
		entered_at = bench_trace::now_ticks();
	}
}

void __cyg_profile_func_exit(void *, void *) {
	if (--bench_trace::depth == 0) {
		bench_trace::ticks += bench_trace::now_ticks() - entered_at;
	}
}
}
