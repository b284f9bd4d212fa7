#include "welcome_sequence.hpp"

#include "globals.hpp"
#include "hud.hpp"
#include "sequence_steps.hpp"
#include "xr_manager.hpp"

#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>

namespace godot {

namespace {

// Plain text, made engine strings only when shown.
const char *const WELCOME_TEXT[] = { "welcome to", "mossglimmer!", "", "", "[press any button]" };
const char *const MOVEMENT_TEXT[] = { "push off walls", "or use the right", "thumbstick to move", "", "use the triggers to", "close your hands" };
const char *const ROTATION_TEXT[] = { "lean forward, back,", "left and right", "or use thumbsticks", "to rotate" };
const char *const FAREWELL_TEXT[] = { "have fun!" };

} // namespace

WelcomeSequence::WelcomeSequence() {}

WelcomeSequence::WelcomeSequence(XRManager *p_manager) {
	state = 0;
	remember(xr_manager, xr_manager_id, p_manager);
	remember(timer, timer_id, sequence_steps::attach(this, p_manager));
}

WelcomeSequence::~WelcomeSequence() {
	XRManager *manager = live_manager();
	sequence_steps::detach(this, manager, manager ? live_timer() : nullptr);
}

void WelcomeSequence::_bind_methods() {
	ClassDB::bind_method(D_METHOD("get_value"), &WelcomeSequence::get_xr_manager);
	ClassDB::bind_method(D_METHOD("set_value", "value"), &WelcomeSequence::set_xr_manager);
	ClassDB::bind_method(D_METHOD("_on_timer_timeout"), &WelcomeSequence::_on_timer_timeout);
	ClassDB::bind_method(D_METHOD("_on_finished_typing"), &WelcomeSequence::_on_finished_typing);
	ClassDB::bind_method(D_METHOD("_on_button_pressed"), &WelcomeSequence::_on_button_pressed);
}

XRManager *WelcomeSequence::get_xr_manager() {
	return xr_manager;
}

void WelcomeSequence::set_xr_manager(XRManager *value) {
	remember(xr_manager, xr_manager_id, value);
}

XRManager *WelcomeSequence::live_manager() {
	return live_or_forget(xr_manager, xr_manager_id, "XR manager of a greeting");
}

Timer *WelcomeSequence::live_timer() {
	return live_or_forget(timer, timer_id, "timer of a greeting");
}

void WelcomeSequence::start() {
	state = 0;
	sequence_steps::start(live_manager(), live_timer());
}

void WelcomeSequence::finish() {
	// Entered again by a script that runs inside the end: that end goes on.
	if (finishing) {
		return;
	}
	finishing = true;
	const uint64_t self_id = get_instance_id();
	if (XRManager *manager = live_manager()) {
		sequence_steps::hand_back(manager);
		// A script run by the end may have freed this greeting itself.
		if (!still_exists(self_id)) {
			return;
		}
		// Or the manager, which then let go of this greeting.
		manager = live_manager();
		if (manager && manager->welcome_sequence == this) {
			manager->set_welcome_sequence(nullptr);
		}
	}
	// Last action: nothing of this object may be touched afterwards.
	memdelete(this);
}

bool WelcomeSequence::is_finishing() const {
	return finishing;
}

void WelcomeSequence::keep_going() {
	if (state == 0 && !live_timer()) {
		advance_state();
	}
}

void WelcomeSequence::advance_state() {
	XRManager *manager = live_manager();
	ERR_FAIL_NULL_MSG(manager, "A greeting sequence can't go on without the XR manager.");
	// Without its HUD a greeting can neither be read nor answered: end it
	// rather than leave the game paused.
	if ((uint32_t)state > 7 || !manager->get_hud()) {
		finish();
		return;
	}
	// Stepped on before the step's calls, which can run a script that steps
	// this greeting again or frees it: nothing of it is touched after them.
	const int32_t current = state;
	state += 1;
	switch (current) {
		case 0:
			sequence_steps::show_text(manager, WELCOME_TEXT);
			break;
		case 2:
			finished_waiting_for_button_press();
			sequence_steps::show_text(manager, MOVEMENT_TEXT);
			break;
		case 4:
			finished_waiting_for_button_press();
			sequence_steps::show_text(manager, ROTATION_TEXT);
			break;
		case 6:
			finished_waiting_for_button_press();
			sequence_steps::show_text(manager, FAREWELL_TEXT);
			break;
		default: // 1, 3, 5, 7: the text is typed
			wait_for_button_press();
			break;
	}
}

void WelcomeSequence::wait_for_button_press() {
	sequence_steps::wait_for_button_press(this);
}

void WelcomeSequence::finished_waiting_for_button_press() {
	sequence_steps::finished_waiting_for_button_press(this);
}

void WelcomeSequence::_on_timer_timeout() {
	advance_state();
}

void WelcomeSequence::_on_finished_typing() {
	advance_state();
}

void WelcomeSequence::_on_button_pressed(String p_name, int) {
	if (p_name == "ax_button" || p_name == "by_button") {
		advance_state();
	}
}

} // namespace godot
