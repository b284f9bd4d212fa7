// One whole frame of the game on the runner's demo scene: the physics step
// and the frame with every library callback, both hands touching bodies.
#include "_register_nodes.hpp"
#include "demo_scene.hpp"
#include "player_alloc_counter.hpp"
#include "session.hpp"

#include <godot_cpp/classes/engine.hpp>
#include <godot_host/host.hpp>
#include <godot_host/log.hpp>
#include <godot_host/physics_world.hpp>

#include <benchmark/benchmark.h>

#include <chrono>

using namespace godot;
using godot_host::Host;
using godot_host::PhysicsWorld;

namespace {

constexpr double FRAME = 1.0 / 120.0;

void BM_WholeFrameBothHandsTouching(benchmark::State &state) {
	godot_host::Log::set_echo(false);
	Host::reset();
	godot_host::Extension extension;
	extension.open_entry(init_nodes);
	extension.initialize();
	{
		SceneOptions options;
		options.refresh_rate = 120.0f;
		DemoScene scene = build_demo_scene(options);
		Host::set_current_scene(scene.world);
		Session session(scene, FRAME, false);
		session.emit_session("session_begun");
		session.emit_session("session_visible");
		session.emit_session("session_focussed");
		session.answer_greeting(90.0);
		index_hand_shapes(scene);
		// Thumb and index of each hand on a crate, hands open: contacts but no grab.
		const char *touching[4] = { "thumb_01_l_collider", "index_02_l_collider", "thumb_01_r_collider", "index_02_r_collider" };
		for (int i = 0; i < 4; i++) {
			RigidBody3D *crate = scene.crates[(size_t)(i / 2)];
			PhysicsWorld::begin_shape_contact(scene.player, crate, 0, scene.hand_shapes[touching[i]]);
			PhysicsWorld::Contact c;
			c.local_shape = scene.hand_shapes[touching[i]];
			c.collider = crate;
			c.local_normal = Vector3(0, 0, 1);
			c.local_position = crate->get_global_position();
			PhysicsWorld::add_contact(scene.player, c);
		}
		session.run_for(0.5);
		uint64_t allocations = bench_allocation_count();
		auto start = std::chrono::steady_clock::now();
		for (auto _ : state) {
			Host::iteration(FRAME);
		}
		double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
		double frames = (double)state.iterations();
		state.counters["allocs_per_frame"] = (double)(bench_allocation_count() - allocations) / frames;
		state.counters["percent_of_120Hz_frame"] = 100.0 * seconds / frames / FRAME;
		state.counters["physics_steps_per_frame"] = (double)Engine::get_singleton()->get_physics_ticks_per_second() * FRAME;
	}
	Host::reset();
	PhysicsWorld::reset();
	extension.close();
}

} // namespace

BENCHMARK(BM_WholeFrameBothHandsTouching)->Unit(benchmark::kMicrosecond);
