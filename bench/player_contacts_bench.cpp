// Cost per call and heap allocations of the player's contact paths: contact
// events, wall contacts, grab and release, and bursts of new contacts.
#include "player_alloc_counter.hpp"
#include "player_bench_scene.hpp"

#include <godot_cpp/classes/collision_shape3d.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/sphere_shape3d.hpp>
#include <godot_cpp/classes/static_body3d.hpp>

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

using namespace godot;

namespace {

void report_allocations(benchmark::State &p_state, uint64_t p_before, const char *p_name, double p_per_iteration = 1.0) {
	double calls = (double)p_state.iterations() * p_per_iteration;
	p_state.counters[p_name] = benchmark::Counter((double)(bench_allocation_count() - p_before) / calls);
}

// The body integration over a step's contacts, per contact.
void time_integration(benchmark::State &p_state, PlayerBenchScene &p_scene, PhysicsDirectBodyState3D *p_step, int64_t p_contacts) {
	uint64_t before = bench_allocation_count();
	for (auto _ : p_state) {
		p_scene.player->_integrate_forces(p_step);
	}
	report_allocations(p_state, before, "allocs_per_contact", (double)p_contacts);
	p_state.counters["ns_per_contact"] = benchmark::Counter((double)p_state.iterations() * (double)p_contacts, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

RigidBody3D *add_body(PlayerBenchScene &p_scene) {
	RigidBody3D *b = memnew(RigidBody3D);
	b->set_gravity_scale(0);
	p_scene.world->add_child(b);
	return b;
}

} // namespace

// One hand shape entering and leaving a body already in the touch list.
static void BM_PlayerContactEvent(benchmark::State &p_state) {
	PlayerBenchScene scene;
	scene.add_collider("hand_r_collider");
	scene.add_collider("index_02_l_outer_collider");
	RigidBody3D *body = add_body(scene);
	for (int i = 0; i < 16; i++) {
		add_body(scene); // other entries in the list
		scene.player->_handle_hand_collision(RID(), scene.world->get_child(scene.world->get_child_count() - 1), 0, 0, true);
	}
	scene.player->_handle_hand_collision(RID(), body, 0, 1, true);
	uint64_t before = bench_allocation_count();
	for (auto _ : p_state) {
		scene.player->_handle_hand_collision(RID(), body, 0, 0, true);
		scene.player->_handle_hand_collision(RID(), body, 0, 0, false);
	}
	report_allocations(p_state, before, "allocs_per_event", 2.0);
	p_state.counters["ns_per_event"] = benchmark::Counter((double)p_state.iterations() * 2.0, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PlayerContactEvent);

// Hand colliders of both sides on a wall: the rest/brake/push-off path.
static void BM_PlayerWallContacts(benchmark::State &p_state) {
	PlayerBenchScene scene;
	scene.add_collider("hand_l_collider");
	scene.add_collider("index_01_r_collider");
	StaticBody3D *wall = scene.add(scene.world, memnew(StaticBody3D), "Wall");
	int64_t contacts = p_state.range(0);
	PhysicsDirectBodyState3D *state = scene.step_with_contacts(contacts, [&](int64_t i) {
		godot_host::PhysicsWorld::Contact c;
		c.local_shape = (int32_t)(i % 2);
		c.collider = wall;
		c.local_normal = Vector3(0, 0, 1);
		return c;
	});
	time_integration(p_state, scene, state, contacts);
}
BENCHMARK(BM_PlayerWallContacts)->Arg(16)->Arg(256);

// A held object's copy pushing rigid bodies: the held-object weight path.
static void BM_PlayerHeldObjectPushes(benchmark::State &p_state) {
	PlayerBenchScene scene;
	BoneColliderIK *copy = scene.add_collider("Shape__hand_r_held_object_collider");
	copy->set_mass(2.0f);
	for (int i = 0; i < 6; i++) {
		copy->set_position(Vector3(-0.1f * (float)i, 0, 0));
		copy->_physics_process(0.01);
	}
	RigidBody3D *body = add_body(scene);
	int64_t contacts = p_state.range(0);
	PhysicsDirectBodyState3D *state = scene.step_with_contacts(contacts, [&](int64_t) {
		godot_host::PhysicsWorld::Contact c;
		c.local_shape = 0;
		c.collider = body;
		c.local_normal = Vector3(1, 0, 0);
		return c;
	});
	time_integration(p_state, scene, state, contacts);
}
BENCHMARK(BM_PlayerHeldObjectPushes)->Arg(16)->Arg(256);

// A closed right hand grabs a one-shape body, then opens and lets it go.
static void BM_PlayerGrabRelease(benchmark::State &p_state) {
	PlayerBenchScene scene;
	scene.add_collider("thumb_01_r_collider");
	scene.add_collider("index_01_r_collider");
	RigidBody3D *body = add_body(scene);
	CollisionShape3D *shape = memnew(CollisionShape3D);
	shape->set_shape(Ref<SphereShape3D>(memnew(SphereShape3D)));
	body->add_child(shape);
	Player *player = scene.player;
	auto cycle = [&]() {
		player->_handle_hand_collision(RID(), body, 0, 0, true);
		player->_handle_hand_collision(RID(), body, 0, 1, true);
		player->_on_input_float_changed("trigger", 1.0f, 1, false);
		player->_process(1.0 / 90.0); // grabs
		player->_on_input_float_changed("trigger", 0.0f, 1, false);
		player->_process(1.0 / 90.0); // releases
	};
	cycle();
	godot_host::Host::process_frame(1.0 / 90.0); // frees the first copy
	uint64_t before = bench_allocation_count();
	for (auto _ : p_state) {
		cycle();
		p_state.PauseTiming();
		godot_host::Host::process_frame(1.0 / 90.0);
		p_state.ResumeTiming();
	}
	// The count includes the host's frame that frees the copy.
	report_allocations(p_state, before, "allocs_per_cycle");
}
BENCHMARK(BM_PlayerGrabRelease);

// N bodies newly touched in one step, then all of them freed at once: the
// library's share of each (events, and the next frame's sweep).
static void BM_PlayerContactBurst(benchmark::State &p_state) {
	PlayerBenchScene scene;
	scene.add_collider("hand_r_collider");
	Player *player = scene.player;
	int64_t n = p_state.range(0);
	std::vector<RigidBody3D *> bodies;
	double sweep_seconds = 0.0;
	uint64_t event_allocations = 0;
	for (auto _ : p_state) {
		p_state.PauseTiming();
		bodies.clear();
		for (int64_t i = 0; i < n; i++) {
			bodies.push_back(add_body(scene));
		}
		uint64_t before = bench_allocation_count();
		p_state.ResumeTiming();
		for (RigidBody3D *b : bodies) {
			player->_handle_hand_collision(RID(), b, 0, 0, true);
		}
		p_state.PauseTiming();
		event_allocations += bench_allocation_count() - before;
		for (RigidBody3D *b : bodies) {
			memdelete(b);
		}
		auto start = std::chrono::steady_clock::now();
		player->_process(1.0 / 90.0);
		sweep_seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
		p_state.ResumeTiming();
	}
	p_state.counters["ns_per_new_contact"] = benchmark::Counter((double)p_state.iterations() * (double)n, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
	p_state.counters["sweep_us_after_freeing_all"] = benchmark::Counter(sweep_seconds * 1e6 / (double)p_state.iterations());
	p_state.counters["allocs_per_new_contact"] = benchmark::Counter((double)event_allocations / ((double)p_state.iterations() * (double)n));
}
BENCHMARK(BM_PlayerContactBurst)->Arg(16)->Arg(256)->Arg(2048)->Arg(8192)->Unit(benchmark::kMicrosecond);

// The same burst through the engine: the step's delivery of the contact
// signals, then freeing every body, which reports each pair's end.
static void BM_PlayerContactBurstThroughEngine(benchmark::State &p_state) {
	PlayerBenchScene scene;
	scene.add_collider("hand_r_collider");
	int64_t n = p_state.range(0);
	std::vector<RigidBody3D *> bodies;
	double free_seconds = 0.0;
	for (auto _ : p_state) {
		p_state.PauseTiming();
		bodies.clear();
		for (int64_t i = 0; i < n; i++) {
			bodies.push_back(add_body(scene));
			godot_host::PhysicsWorld::begin_shape_contact(scene.player, bodies.back(), 0, 0);
		}
		p_state.ResumeTiming();
		godot_host::PhysicsWorld::deliver_contact_signals();
		p_state.PauseTiming();
		auto start = std::chrono::steady_clock::now();
		for (RigidBody3D *b : bodies) {
			memdelete(b);
		}
		scene.player->_process(1.0 / 90.0);
		free_seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
		p_state.ResumeTiming();
	}
	p_state.counters["ns_per_new_contact"] = benchmark::Counter((double)p_state.iterations() * (double)n, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
	p_state.counters["free_all_us"] = benchmark::Counter(free_seconds * 1e6 / (double)p_state.iterations());
}
BENCHMARK(BM_PlayerContactBurstThroughEngine)->Arg(16)->Arg(256)->Arg(2048)->Arg(8192)->Unit(benchmark::kMicrosecond);
