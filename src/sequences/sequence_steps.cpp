#include "sequence_steps.hpp"

#include "globals.hpp"
#include "hud.hpp"
#include "library_timer.hpp"
#include "xr_manager.hpp"

#include <godot_cpp/classes/xr_controller3d.hpp>
#include <godot_cpp/classes/xr_server.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/string.hpp>

#include <vector>

namespace godot {
namespace sequence_steps {

Timer *attach_timer(Object *p_sequence, XRManager *p_manager) {
	ERR_FAIL_NULL_V_MSG(p_manager, nullptr, "A greeting sequence needs the XR manager that starts it.");
	Timer *timer = new_library_timer();
	const uint64_t timer_id = timer->get_instance_id();
	timer->connect("timeout", Callable(p_sequence, "_on_timer_timeout"), 0);
	p_manager->add_child(timer);
	// The tree signals of the addition may have run a script that freed the
	// manager (the timer with it) or the timer.
	return still_exists(timer_id) ? timer : nullptr;
}

Timer *attach(Object *p_sequence, XRManager *p_manager) {
	ERR_FAIL_NULL_V_MSG(p_manager, nullptr, "A greeting sequence needs the XR manager that starts it.");
	const uint64_t manager_id = p_manager->get_instance_id();
	Timer *timer = attach_timer(p_sequence, p_manager);
	const uint64_t timer_id = timer ? timer->get_instance_id() : 0;
	if (!still_exists(manager_id)) {
		return nullptr;
	}
	HUD *hud = p_manager->get_hud();
	if (hud) {
		hud->connect("finished_typing", Callable(p_sequence, "_on_finished_typing"), 0);
	} else {
		ERR_PRINT("The XR manager has no HUD to type the greeting on.");
	}
	return still_exists(timer_id) ? timer : nullptr;
}

void detach(Object *p_sequence, XRManager *p_manager, Timer *p_timer) {
	if (!p_manager) {
		return;
	}
	if (p_timer) {
		Callable on_timeout(p_sequence, "_on_timer_timeout");
		if (p_timer->is_connected("timeout", on_timeout)) {
			p_timer->disconnect("timeout", on_timeout);
		}
		p_timer->queue_free();
	}
	HUD *hud = p_manager->get_hud();
	Callable on_typed(p_sequence, "_on_finished_typing");
	if (hud && hud->is_connected("finished_typing", on_typed)) {
		hud->disconnect("finished_typing", on_typed);
	}
}

void start(XRManager *p_manager, Timer *p_timer) {
	ERR_FAIL_NULL_MSG(p_manager, "A greeting sequence can't start without the XR manager.");
	ERR_FAIL_NULL_MSG(p_timer, "A greeting sequence without its timer can't start.");
	HUD *hud = p_manager->get_hud();
	ERR_FAIL_NULL_MSG(hud, "The XR manager has no HUD to type the greeting on.");
	hud->clear_text();
	p_timer->set_one_shot(true);
	if (p_timer->is_inside_tree()) {
		p_timer->start(START_DELAY);
	} else {
		// The engine starts no timer out of the tree (it says so): this one
		// starts once it is in, as the engine's autostart does.
		p_timer->set_wait_time(START_DELAY);
		p_timer->set_autostart(true);
	}
}

void show_text(Object *p_sequence, XRManager *p_manager, const char *const *p_lines, size_t p_count) {
	HUD *hud = p_manager->get_hud();
	ERR_FAIL_NULL_MSG(hud, "The XR manager has no HUD to type the greeting on.");
	// The manager may have another HUD than when the greeting began.
	Callable on_typed(p_sequence, "_on_finished_typing");
	if (!hud->is_connected("finished_typing", on_typed)) {
		hud->connect("finished_typing", on_typed, 0);
	}
	std::vector<String> lines;
	lines.reserve(p_count);
	for (size_t i = 0; i < p_count; i++) {
		lines.emplace_back(p_lines[i]);
	}
	hud->set_text(std::move(lines));
	hud->play_text();
}

void wait_for_button_press(Object *p_sequence, Waits &r_waits) {
	for (int hand = 0; hand < 2; hand++) {
		if (!Globals::get_hand_controller(hand)) {
			ERR_PRINT("A controller is missing: its buttons can't answer the greeting.");
		}
	}
	keep_listening(p_sequence, r_waits);
}

namespace {

Callable press_callable(Object *p_sequence, int p_hand) {
	return Callable(p_sequence, "_on_button_pressed").bind(p_hand);
}

void stop_listening(Object *p_sequence, Waits &r_waits, int p_hand) {
	if (XRController3D *controller = live<XRController3D>(r_waits.answering_ids[p_hand])) {
		Callable on_press = press_callable(p_sequence, p_hand);
		if (controller->is_connected("button_pressed", on_press)) {
			controller->disconnect("button_pressed", on_press);
		}
	}
	r_waits.answering_ids[p_hand] = 0;
}

} // namespace

void finished_waiting_for_button_press(Object *p_sequence, Waits &r_waits) {
	for (int hand = 0; hand < 2; hand++) {
		stop_listening(p_sequence, r_waits, hand);
	}
}

bool keep_listening(Object *p_sequence, Waits &r_waits) {
	bool can_answer = false;
	for (int hand = 0; hand < 2; hand++) {
		XRController3D *controller = Globals::get_hand_controller(hand);
		const uint64_t controller_id = controller ? controller->get_instance_id() : 0;
		if (r_waits.answering_ids[hand] != controller_id) {
			stop_listening(p_sequence, r_waits, hand);
		}
		if (!controller) {
			continue;
		}
		// Connecting runs no script; a script may have disconnected us.
		Callable on_press = press_callable(p_sequence, hand);
		if (!controller->is_connected("button_pressed", on_press)) {
			controller->connect("button_pressed", on_press, 0);
		}
		r_waits.answering_ids[hand] = controller_id;
		// Out of the tree a controller follows no device.
		can_answer = can_answer || controller->is_inside_tree();
	}
	return can_answer;
}

void hand_back(XRManager *p_manager) {
	// Each call below can run a script that frees the manager.
	const uint64_t manager_id = p_manager->get_instance_id();
	XRServer *server = p_manager->get_xr_server();
	if (server) {
		server->center_on_hmd(XRServer::RESET_FULL_ROTATION, false);
		if (!still_exists(manager_id)) {
			return;
		}
	} else {
		ERR_PRINT("No XR server: the view is not recentred.");
	}
	p_manager->set_hud_visible(false);
	// A script run by the switch may have shown the HUD again (the session
	// went back to visible): the game then stays paused with it.
	if (!still_exists(manager_id) || p_manager->hud_visible) {
		return;
	}
	p_manager->pause_game(false);
}

} // namespace sequence_steps
} // namespace godot
