// Cost per call and heap allocations of the player's body integration and
// frame, by the number of contacts and touch entries.
#include "player_alloc_counter.hpp"
#include "player_bench_scene.hpp"

#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/static_body3d.hpp>

#include <benchmark/benchmark.h>

#include <vector>

using namespace godot;

// Object pushes only: hand colliders moving into rigid bodies.
static void BM_PlayerIntegrateForcesPushes(benchmark::State &p_state) {
	PlayerBenchScene scene;
	BoneColliderIK *hand = scene.add_collider("hand_r_collider");
	for (int i = 0; i < 6; i++) {
		hand->set_position(Vector3(-0.1f * (float)i, 0, 0));
		hand->_physics_process(0.01);
	}
	std::vector<RigidBody3D *> bodies;
	for (int i = 0; i < 16; i++) {
		RigidBody3D *b = scene.add(scene.world, memnew(RigidBody3D), "Body");
		b->set_gravity_scale(0);
		bodies.push_back(b);
	}
	int64_t contacts = p_state.range(0);
	PhysicsDirectBodyState3D *state = scene.step_with_contacts(contacts, [&](int64_t i) {
		godot_host::PhysicsWorld::Contact c;
		c.local_shape = 0;
		c.collider = bodies[(size_t)i % bodies.size()];
		c.local_normal = Vector3(1, 0, 0);
		return c;
	});
	uint64_t before = bench_allocation_count();
	for (auto _ : p_state) {
		scene.player->_integrate_forces(state);
	}
	p_state.counters["allocs_per_call"] = benchmark::Counter((double)(bench_allocation_count() - before) / (double)p_state.iterations());
	if (contacts > 0) {
		p_state.counters["ns_per_contact"] = benchmark::Counter((double)p_state.iterations() * (double)contacts, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
	}
}
BENCHMARK(BM_PlayerIntegrateForcesPushes)->Arg(0)->Arg(16)->Arg(256)->Arg(2048);

// Touch entries that qualify for no grab: the scan visits each of them.
static void BM_PlayerProcess(benchmark::State &p_state) {
	PlayerBenchScene scene;
	scene.add_collider("thumb_01_r_collider");
	int64_t entries = p_state.range(0);
	for (int64_t i = 0; i < entries; i++) {
		RigidBody3D *b = scene.add(scene.world, memnew(RigidBody3D), "Body");
		scene.player->_handle_hand_collision(RID(), b, 0, 0, true); // thumb alone: no grab
	}
	scene.player->_on_input_float_changed("trigger", 0.7f, 0, false);
	scene.player->_process(1.0 / 90.0);
	uint64_t before = bench_allocation_count();
	float target = 0.0f;
	for (auto _ : p_state) {
		// Moving targets keep the blends writing every frame.
		target = target > 0.5f ? 0.1f : target + 0.01f;
		scene.player->finger_targets[1][1] = target;
		scene.player->_process(1.0 / 90.0);
	}
	p_state.counters["allocs_per_frame"] = benchmark::Counter((double)(bench_allocation_count() - before) / (double)p_state.iterations());
}
BENCHMARK(BM_PlayerProcess)->Arg(0)->Arg(10)->Arg(100)->Arg(1000);
