// Whole frames of the game on the runner's demo scene at 120 Hz: a physics
// step and a frame with every callback, engine included. The frame in play
// drives everything the game does each frame; the idle frame only has both
// hands resting on crates.
#include "_register_nodes.hpp"
#include "alloc_counter.hpp"
#include "demo_scene.hpp"
#include "hud.hpp"
#include "session.hpp"

#include <godot_cpp/classes/engine.hpp>
#include <godot_host/host.hpp>
#include <godot_host/log.hpp>
#include <godot_host/physics_world.hpp>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>

using namespace godot;
using godot_host::Host;
using godot_host::PhysicsWorld;

namespace {

constexpr double FRAME = 1.0 / 120.0;
// The frame in play repeats every two seconds; a grab and release every eight frames.
constexpr uint64_t CYCLE_FRAMES = 240;
constexpr uint64_t GRAB_FRAMES = 8;

// The demo scene with the session running: begun, visible, focussed, greeted.
struct RunningGame {
	godot_host::Extension extension;
	DemoScene scene;
	std::unique_ptr<Session> session;

	RunningGame() {
		godot_host::Log::set_echo(false);
		Host::reset();
		extension.open_entry(init_nodes);
		extension.initialize();
		SceneOptions options;
		options.refresh_rate = 120.0f;
		scene = build_demo_scene(options);
		Host::set_current_scene(scene.world);
		session = std::make_unique<Session>(scene, FRAME, false);
		session->emit_session("session_begun");
		session->emit_session("session_visible");
		session->emit_session("session_focussed");
		session->answer_greeting(90.0);
		index_hand_shapes(scene);
	}

	~RunningGame() {
		session.reset();
		scene = DemoScene();
		Host::reset();
		PhysicsWorld::reset();
		extension.close();
	}

	int32_t shape(const char *p_name) const {
		auto it = scene.hand_shapes.find(p_name);
		return it == scene.hand_shapes.end() ? -1 : it->second;
	}

	// A contact reported to the player's body integration in every step.
	void keep_contact(const char *p_hand_shape, Object *p_other, const Vector3 &p_normal, const Vector3 &p_position) {
		PhysicsWorld::Contact c;
		c.local_shape = shape(p_hand_shape);
		c.collider = p_other;
		c.local_normal = p_normal;
		c.local_position = p_position;
		PhysicsWorld::add_contact(scene.player, c);
	}

	void touch(const char *p_hand_shape, RigidBody3D *p_body, bool p_begin) {
		if (p_begin) {
			PhysicsWorld::begin_shape_contact(scene.player, p_body, 0, shape(p_hand_shape));
		} else {
			PhysicsWorld::end_shape_contact(scene.player, p_body, 0, shape(p_hand_shape));
		}
	}
};

// Runs the frames and reports per frame: heap allocations, the share of a
// 120 Hz frame and, where the library is traced, both split by whether the
// library's code was on the stack.
template <typename EachFrame, typename WasSteady>
void measure_frames(benchmark::State &r_state, EachFrame p_each_frame, WasSteady p_was_steady) {
	uint64_t allocations = bench_allocation_count();
	uint64_t library_allocations = bench_library_allocation_count();
	double library_seconds = bench_library_seconds();
	uint64_t library_calls = bench_library_call_count();
	uint64_t frame = 0;
	auto start = std::chrono::steady_clock::now();
	uint64_t steady_frames = 0;
	uint64_t steady_library_allocations = 0;
	for (auto _ : r_state) {
		uint64_t library_before = bench_library_allocation_count();
		p_each_frame(frame);
		Host::iteration(FRAME);
		if (p_was_steady(frame)) {
			steady_frames++;
			steady_library_allocations += bench_library_allocation_count() - library_before;
		}
		frame++;
	}
	double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
	double frames = (double)r_state.iterations();
	double all = (double)(bench_allocation_count() - allocations) / frames;
	r_state.counters["allocs_per_frame"] = all;
	r_state.counters["percent_of_120Hz_frame"] = 100.0 * seconds / frames / FRAME;
	r_state.counters["physics_steps_per_frame"] = (double)Engine::get_singleton()->get_physics_ticks_per_second() * FRAME;
	if (bench_library_traced()) {
		// The library's own time is inflated by its tracing; the engine's is not.
		double library = (double)(bench_library_allocation_count() - library_allocations) / frames;
		double in_library = bench_library_seconds() - library_seconds;
		r_state.counters["library_allocs_per_frame"] = library;
		r_state.counters["library_allocs_per_steady_frame"] = steady_frames ? (double)steady_library_allocations / (double)steady_frames : 0.0;
		r_state.counters["steady_frame_share"] = (double)steady_frames / frames;
		r_state.counters["host_allocs_per_frame"] = all - library;
		r_state.counters["host_us_per_frame"] = 1e6 * (seconds - in_library) / frames;
		r_state.counters["library_us_per_frame_traced"] = 1e6 * in_library / frames;
		r_state.counters["library_calls_per_frame"] = (double)(bench_library_call_count() - library_calls) / frames;
	}
}

void BM_FrameInPlay(benchmark::State &r_state) {
	RunningGame game;
	DemoScene &s = game.scene;
	if (!s.player || s.crates.size() < 3 || !s.camera || !s.hands[0] || !s.hands[1] || !s.controllers[0] || !s.controllers[1]) {
		r_state.SkipWithError("the demo scene lacks the nodes the frame in play needs");
		return;
	}
	HUD *hud = Object::cast_to<HUD>(s.hud);
	RigidBody3D *grabbed = s.crates[0];	 // the left hand grabs and releases it
	RigidBody3D *fingered = s.crates[1]; // right fingers touch it and let go
	RigidBody3D *pushed = s.crates[2];	 // the right palm pushes it
	grabbed->set_global_position(s.hands[0]->get_global_position() + Vector3(0.02f, 0, -0.06f));
	const Transform3D player_start = s.player->get_global_transform();
	const Vector3 fingered_start = fingered->get_global_position();
	const Vector3 pushed_start = pushed->get_global_position();
	const Vector3 head_rest = s.camera->get_position();
	const Vector3 right_hand_rest = s.hands[1]->get_position();
	game.keep_contact("hand_r_collider", pushed, Vector3(1, 0, 0), pushed_start);
	game.keep_contact("hand_l_collider", s.wall, Vector3(0, 0, 1), s.wall->get_global_position());
	// The left controller moves away from the wall it touches: a push-off.
	s.trackers[0]->set_pose("default", Transform3D(), Vector3(0, 0, 1.5f), Vector3(), XRPose::XR_TRACKING_CONFIDENCE_HIGH);
	// What the frames did, so that a change of behaviour can't quietly empty them.
	uint64_t grabs = 0;
	uint64_t releases = 0;
	uint64_t cycles_with_push = 0;
	bool held_before_frame = false;
	// No grab, no release and no new text: a frame that must allocate nothing in the library.
	auto was_steady = [&](uint64_t p_frame) {
		bool held = grabbed->get_process_mode() == Node::PROCESS_MODE_DISABLED;
		return p_frame % CYCLE_FRAMES != 0 && held == held_before_frame;
	};

	auto play_frame = [&](uint64_t p_frame) {
		uint64_t cycle = p_frame % CYCLE_FRAMES;
		uint64_t phase = p_frame % GRAB_FRAMES;
		double t = (double)p_frame * FRAME;
		bool held = grabbed->get_process_mode() == Node::PROCESS_MODE_DISABLED;
		held_before_frame = held;
		grabs += phase == 1 && held ? 1 : 0;
		releases += phase == GRAB_FRAMES / 2 + 1 && !held ? 1 : 0;
		if (cycle == 0) {
			cycles_with_push += pushed->get_linear_velocity() != Vector3() ? 1 : 0;
			// Back to the start, so that pushes and flight never carry the scene away.
			s.player->set_global_transform(player_start);
			s.player->set_linear_velocity(Vector3());
			s.player->set_angular_velocity(Vector3());
			for (RigidBody3D *crate : { fingered, pushed }) {
				crate->set_linear_velocity(Vector3());
				crate->set_angular_velocity(Vector3());
			}
			fingered->set_global_position(fingered_start);
			pushed->set_global_position(pushed_start);
			if (hud) {
				hud->set_text({ "Welcome back", "in play" });
				hud->play_text();
			}
		}
		// Flight with both sticks, and leaning.
		s.controllers[1]->_host_set_vector2("primary", Vector2(0.3f * (float)std::sin(t), 0.9f * (float)std::cos(t)));
		s.controllers[0]->_host_set_vector2("primary", Vector2(0.5f * (float)std::sin(1.3 * t), 0.2f * (float)std::cos(1.3 * t)));
		s.camera->set_position(head_rest + Vector3(0.12f * (float)std::sin(0.7 * t), 0, -0.15f * (float)std::cos(0.7 * t)));
		// The right hand swings across the pushed crate.
		s.hands[1]->set_position(right_hand_rest + Vector3(0.08f * (float)std::sin(0.4 * (double)p_frame), 0, 0));
		// Left: closes around the crate (a grab), opens again (a release).
		bool closing = phase < GRAB_FRAMES / 2;
		s.controllers[0]->_host_set_float("trigger", closing ? 0.7f + 0.05f * (float)phase : 0.05f * (float)(phase - GRAB_FRAMES / 2));
		if (phase == 0 || phase == GRAB_FRAMES / 2) {
			game.touch("thumb_01_l_collider", grabbed, closing);
			game.touch("index_02_l_collider", grabbed, closing);
		}
		// Right: fingers keep moving; two touch a crate and let go, without the thumb.
		s.controllers[1]->_host_set_float("trigger", 0.5f + 0.45f * (float)std::sin(0.3 * (double)p_frame));
		if (phase == 2 || phase == 6) {
			game.touch("middle_02_r_collider", fingered, phase == 2);
			game.touch("ring_02_r_collider", fingered, phase == 2);
		}
	};
	// One whole cycle first, so that the lists the game keeps have grown to
	// their size: a steady frame then has nothing to grow.
	for (uint64_t f = 0; f < CYCLE_FRAMES; f++) {
		play_frame(f);
		Host::iteration(FRAME);
	}
	grabs = 0;
	releases = 0;
	cycles_with_push = 0;
	measure_frames(r_state, play_frame, was_steady);
	double frames = (double)r_state.iterations();
	r_state.counters["grabs_per_8_frames"] = (double)grabs * GRAB_FRAMES / frames;
	r_state.counters["releases_per_8_frames"] = (double)releases * GRAB_FRAMES / frames;
	r_state.counters["cycles_with_object_push"] = (double)cycles_with_push * CYCLE_FRAMES / frames;
}

void BM_IdleFrameHandsTouching(benchmark::State &r_state) {
	RunningGame game;
	DemoScene &s = game.scene;
	if (!s.player || s.crates.size() < 2) {
		r_state.SkipWithError("the demo scene lacks the player or its crates");
		return;
	}
	// Thumb and index of each hand on a crate, hands open: contacts but no grab.
	const char *touching[4] = { "thumb_01_l_collider", "index_02_l_collider", "thumb_01_r_collider", "index_02_r_collider" };
	for (int i = 0; i < 4; i++) {
		RigidBody3D *crate = s.crates[(size_t)(i / 2)];
		game.touch(touching[i], crate, true);
		game.keep_contact(touching[i], crate, Vector3(0, 0, 1), crate->get_global_position());
	}
	game.session->run_for(0.5);
	measure_frames(r_state, [](uint64_t) {}, [](uint64_t) { return true; });
}

} // namespace

BENCHMARK(BM_FrameInPlay)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IdleFrameHandsTouching)->Unit(benchmark::kMicrosecond);
