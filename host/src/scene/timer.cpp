// Timers count down in the frame (or the physics step) while their node may
// process, and emit "timeout" at each expiry.
#include <godot_cpp/classes/timer.hpp>

#include <godot_cpp/classes/engine.hpp>

namespace godot {

void Timer::set_wait_time(double p_time_sec) {
	ERR_FAIL_COND_MSG(p_time_sec <= 0, "Time should be greater than zero.");
	_wait_time = p_time_sec;
}

double Timer::get_wait_time() const {
	return _wait_time;
}

void Timer::set_one_shot(bool p_enable) {
	_one_shot = p_enable;
}

bool Timer::is_one_shot() const {
	return _one_shot;
}

void Timer::set_autostart(bool p_enable) {
	_autostart = p_enable;
}

bool Timer::has_autostart() const {
	return _autostart;
}

void Timer::start(double p_time_sec) {
	ERR_FAIL_COND_MSG(!is_inside_tree(), "Unable to start the timer because it's not inside the scene tree. Either add it or set autostart to true.");
	if (p_time_sec > 0) {
		set_wait_time(p_time_sec);
	}
	_time_left = _wait_time;
	_set_process(true);
}

void Timer::stop() {
	_time_left = -1;
	_set_process(false);
	_autostart = false;
}

void Timer::set_paused(bool p_paused) {
	if (_paused == p_paused) {
		return;
	}
	_paused = p_paused;
	_set_process(_processing);
}

bool Timer::is_paused() const {
	return _paused;
}

void Timer::set_ignore_time_scale(bool p_ignore) {
	_ignore_time_scale = p_ignore;
}

bool Timer::is_ignoring_time_scale() {
	return _ignore_time_scale;
}

bool Timer::is_stopped() const {
	return get_time_left() <= 0;
}

double Timer::get_time_left() const {
	return _time_left > 0 ? _time_left : 0;
}

void Timer::set_timer_process_callback(Timer::TimerProcessCallback p_callback) {
	if (_callback == p_callback) {
		return;
	}
	bool was = _processing;
	_set_process(false);
	_callback = p_callback;
	_set_process(was);
}

Timer::TimerProcessCallback Timer::get_timer_process_callback() const {
	return _callback;
}

void Timer::_set_process(bool p_process) {
	set_physics_process_internal(_callback == TIMER_PROCESS_PHYSICS && p_process && !_paused);
	set_process_internal(_callback == TIMER_PROCESS_IDLE && p_process && !_paused);
	_processing = p_process;
}

void Timer::_tick(double p_delta) {
	_time_left -= p_delta;
	if (_time_left < 0) {
		if (!_one_shot) {
			_time_left += _wait_time;
		} else {
			stop();
		}
		// Interned once for the process: a tick that fires allocates nothing.
		static const StringName *timeout = new StringName("timeout");
		emit_signal(*timeout);
	}
}

void Timer::_host_notification(int p_what) {
	Node::_host_notification(p_what);
	switch (p_what) {
		case NOTIFICATION_READY:
			if (_autostart && !Engine::get_singleton()->is_editor_hint()) {
				start();
				_autostart = false;
			}
			break;
		case NOTIFICATION_INTERNAL_PROCESS:
			if (!_processing || _callback == TIMER_PROCESS_PHYSICS || !is_processing_internal()) {
				return;
			}
			_tick(get_process_delta_time());
			break;
		case NOTIFICATION_INTERNAL_PHYSICS_PROCESS:
			if (!_processing || _callback == TIMER_PROCESS_IDLE || !is_physics_processing_internal()) {
				return;
			}
			_tick(get_physics_process_delta_time());
			break;
		default:
			break;
	}
}

GDHOST_REGISTER_ENGINE_CLASS(Timer, "timeout");

} // namespace godot
