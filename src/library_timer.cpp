#include "library_timer.hpp"

#include "globals.hpp"

#include <godot_cpp/classes/node.hpp>

namespace godot {

Timer *new_library_timer() {
	Timer *timer = memnew(Timer);
	timer->set_autostart(false);
	// Not the parent's mode: the game waits paused on these timers.
	timer->set_process_mode(Node::PROCESS_MODE_ALWAYS);
	return timer;
}

bool library_timer_runs(Timer *p_timer) {
	return p_timer && p_timer->is_inside_tree() && !p_timer->is_stopped() && !p_timer->is_paused() && p_timer->can_process();
}

void keep_library_timer_running(Timer *p_timer, double p_wait, bool p_one_shot) {
	const uint64_t id = p_timer->get_instance_id();
	if (!p_timer->is_inside_tree()) {
		return;
	}
	if (!p_timer->can_process()) {
		// Mode changes reach the scripts of the timer's subtree.
		p_timer->set_process_mode(Node::PROCESS_MODE_ALWAYS);
		if (!still_exists(id)) {
			return;
		}
	}
	if (p_timer->is_one_shot() != p_one_shot) {
		p_timer->set_one_shot(p_one_shot);
	}
	if (p_timer->get_wait_time() != p_wait) {
		p_timer->set_wait_time(p_wait);
	}
	if (p_timer->is_paused()) {
		p_timer->set_paused(false);
	}
	// Stopped, or started anew for longer than the wait.
	if (p_timer->is_stopped() || p_timer->get_time_left() > p_wait) {
		p_timer->start(p_wait);
	}
}

void retire_library_timer(Timer *p_timer, const Callable &p_on_timeout) {
	if (p_timer->is_connected("timeout", p_on_timeout)) {
		p_timer->disconnect("timeout", p_on_timeout);
	}
	if (!p_timer->get_parent()) {
		p_timer->queue_free();
	}
}

} // namespace godot
