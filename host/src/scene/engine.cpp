#include <godot_cpp/classes/engine.hpp>

#include <godot_cpp/core/class_db.hpp>

namespace godot {

Engine *Engine::get_singleton() {
	static Engine *engine = memnew(Engine);
	return engine;
}

bool Engine::is_editor_hint() const {
	return _editor_hint;
}

void Engine::set_max_fps(int32_t p_max_fps) {
	_max_fps = p_max_fps > 0 ? p_max_fps : 0;
}

int32_t Engine::get_max_fps() const {
	return _max_fps;
}

void Engine::set_physics_ticks_per_second(int32_t p_physics_ticks_per_second) {
	ERR_FAIL_COND_MSG(p_physics_ticks_per_second <= 0, "Engine iterations per second must be greater than 0.");
	_physics_ticks = p_physics_ticks_per_second;
}

int32_t Engine::get_physics_ticks_per_second() const {
	return _physics_ticks;
}

void Engine::set_max_physics_steps_per_frame(int32_t p_max_physics_steps) {
	ERR_FAIL_COND_MSG(p_max_physics_steps <= 0, "Maximum number of physics steps per frame must be greater than 0.");
	_max_physics_steps = p_max_physics_steps;
}

int32_t Engine::get_max_physics_steps_per_frame() const {
	return _max_physics_steps;
}

void Engine::set_time_scale(double p_time_scale) {
	_time_scale = p_time_scale;
}

double Engine::get_time_scale() {
	return _time_scale;
}

int32_t Engine::get_frames_drawn() {
	return (int32_t)_process_frames;
}

uint64_t Engine::get_process_frames() const {
	return _process_frames;
}

uint64_t Engine::get_physics_frames() const {
	return _physics_frames;
}

double Engine::get_physics_interpolation_fraction() const {
	return 0.0;
}

Dictionary Engine::get_version_info() const {
	Dictionary d;
	d["major"] = 4;
	d["minor"] = 4;
	d["patch"] = 1;
	d["status"] = "stable";
	d["string"] = "4.4.1-stable";
	return d;
}

void Engine::_host_set_editor_hint(bool p_editor) {
	_editor_hint = p_editor;
}

void Engine::_host_reset() {
	_editor_hint = false;
	_max_fps = 0;
	_physics_ticks = 60;
	_max_physics_steps = 8;
	_time_scale = 1.0;
}

GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(Engine);

} // namespace godot
