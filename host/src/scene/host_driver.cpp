// The main loop as tests and the runner drive it.
#include <godot_host/host.hpp>

#include <godot_cpp/classes/audio_server.hpp>
#include <godot_cpp/classes/display_server.hpp>
#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/window.hpp>
#include <godot_cpp/classes/xr_server.hpp>

#include <algorithm>
#include <cmath>

namespace godot_host {

namespace {
double &physics_accumulator() {
	static double acc = 0.0;
	return acc;
}
} // namespace

void Host::set_editor_hint(bool p_editor) {
	godot::Engine::get_singleton()->_host_set_editor_hint(p_editor);
}

bool Host::is_editor_hint() {
	return godot::Engine::get_singleton()->is_editor_hint();
}

godot::SceneTree *Host::tree() {
	return godot::SceneTree::_host_get_singleton();
}

void Host::set_current_scene(godot::Node *p_scene) {
	ERR_FAIL_NULL(p_scene);
	godot::SceneTree *t = tree();
	if (p_scene->get_parent() != t->get_root()) {
		t->get_root()->add_child(p_scene);
	}
	t->set_current_scene(p_scene);
}

void Host::reset() {
	tree()->_host_reset();
	bool editor = godot::Engine::get_singleton()->is_editor_hint();
	godot::Engine::get_singleton()->_host_reset();
	godot::Engine::get_singleton()->_host_set_editor_hint(editor);
	godot::XRServer::get_singleton()->_host_reset();
	godot::AudioServer::get_singleton()->_host_reset();
	godot::DisplayServer::get_singleton()->_host_reset();
	physics_accumulator() = 0.0;
}

void Host::physics_step(double p_delta) {
	tree()->_host_physics_step(p_delta);
}

void Host::process_frame(double p_delta) {
	tree()->_host_process_frame(p_delta);
}

void Host::iteration(double p_frame_delta) {
	godot::Engine *engine = godot::Engine::get_singleton();
	double step = 1.0 / (double)engine->get_physics_ticks_per_second();
	double &acc = physics_accumulator();
	acc += p_frame_delta;
	int steps = 0;
	// A small tolerance keeps frames of exactly one tick from drifting a step behind.
	while (acc + 1e-9 >= step && steps < engine->get_max_physics_steps_per_frame()) {
		acc -= step;
		physics_step(step);
		steps++;
	}
	if (steps == engine->get_max_physics_steps_per_frame() && acc > step) {
		acc = std::fmod(acc, step);
	}
	process_frame(p_frame_delta);
}

void Host::advance(double p_seconds, double p_frame_delta) {
	ERR_FAIL_COND(p_frame_delta <= 0);
	int64_t frames = (int64_t)std::llround(p_seconds / p_frame_delta);
	for (int64_t i = 0; i < frames; i++) {
		iteration(p_frame_delta);
	}
}

double Host::frame_delta(double p_unlimited_delta) {
	int32_t limit = godot::Engine::get_singleton()->get_max_fps();
	if (limit <= 0) {
		return p_unlimited_delta;
	}
	return 1.0 / (double)std::min(limit, FASTEST_FRAME_RATE);
}

double Host::paced_iteration(double p_unlimited_delta) {
	ERR_FAIL_COND_V_MSG(!(p_unlimited_delta > 0.0 && std::isfinite(p_unlimited_delta)), 0.0, "A frame must take some time.");
	double delta = frame_delta(p_unlimited_delta);
	iteration(delta);
	return delta;
}

} // namespace godot_host
