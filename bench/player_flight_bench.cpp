// Cost and heap allocations of one flight step.
#include "player_alloc_counter.hpp"
#include "player_bench_scene.hpp"

#include <benchmark/benchmark.h>

static void BM_PlayerPhysicsProcess(benchmark::State &p_state) {
	PlayerBenchScene scene;
	scene.player->_on_input_vector2_changed("primary", godot::Vector2(0.3f, 0.9f), 1, false);
	scene.player->_on_input_vector2_changed("primary", godot::Vector2(0.7f, -0.8f), 0, false);
	scene.camera->set_position(godot::Vector3(0.1f, 1.6f, -0.2f));
	scene.player->_physics_process(1.0 / 90.0);
	uint64_t before = bench_allocation_count();
	for (auto _ : p_state) {
		scene.player->_physics_process(1.0 / 90.0);
	}
	p_state.counters["allocs_per_step"] = benchmark::Counter((double)(bench_allocation_count() - before) / (double)p_state.iterations());
}
BENCHMARK(BM_PlayerPhysicsProcess);
