#include "welcome_back_sequence.hpp"

#include "globals.hpp"
#include "hud.hpp"
#include "sequence_steps.hpp"
#include "xr_manager.hpp"

#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>

namespace godot {

namespace {

// Plain text, made engine strings only when shown.
const char *const WELCOME_BACK_TEXT[] = { "welcome back!", "", "[press any button]" };

} // namespace

WelcomeBackSequence::WelcomeBackSequence() {}

WelcomeBackSequence::WelcomeBackSequence(XRManager *p_manager) {
	state = 0;
	remember(xr_manager, xr_manager_id, p_manager);
	remember(timer, timer_id, sequence_steps::attach(this, p_manager));
}

WelcomeBackSequence::~WelcomeBackSequence() {
	XRManager *manager = live_manager();
	sequence_steps::detach(this, manager, manager ? live_timer() : nullptr);
}

void WelcomeBackSequence::_bind_methods() {
	ClassDB::bind_method(D_METHOD("get_value"), &WelcomeBackSequence::get_xr_manager);
	ClassDB::bind_method(D_METHOD("set_value", "value"), &WelcomeBackSequence::set_xr_manager);
	ClassDB::bind_method(D_METHOD("_on_timer_timeout"), &WelcomeBackSequence::_on_timer_timeout);
	ClassDB::bind_method(D_METHOD("_on_finished_typing"), &WelcomeBackSequence::_on_finished_typing);
	ClassDB::bind_method(D_METHOD("_on_button_pressed"), &WelcomeBackSequence::_on_button_pressed);
}

XRManager *WelcomeBackSequence::get_xr_manager() {
	return xr_manager;
}

void WelcomeBackSequence::set_xr_manager(XRManager *value) {
	remember(xr_manager, xr_manager_id, value);
}

XRManager *WelcomeBackSequence::live_manager() {
	return live_or_forget(xr_manager, xr_manager_id, "XR manager of a greeting");
}

Timer *WelcomeBackSequence::live_timer() {
	return live_or_forget(timer, timer_id, "timer of a greeting");
}

void WelcomeBackSequence::start() {
	state = 0;
	sequence_steps::start(live_manager(), live_timer());
}

void WelcomeBackSequence::finish() {
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
		if (manager && manager->welcome_back_sequence == this) {
			manager->set_welcome_back_sequence(nullptr);
		}
	}
	// Last action: nothing of this object may be touched afterwards.
	memdelete(this);
}

bool WelcomeBackSequence::is_finishing() const {
	return finishing;
}

void WelcomeBackSequence::keep_going() {
	if (state == 0 && !live_timer()) {
		advance_state();
	}
}

void WelcomeBackSequence::advance_state() {
	XRManager *manager = live_manager();
	ERR_FAIL_NULL_MSG(manager, "A greeting sequence can't go on without the XR manager.");
	// Without its HUD a greeting can neither be read nor answered: end it
	// rather than leave the game paused.
	if (!manager->get_hud()) {
		finish();
		return;
	}
	if (state != 0 && state != 1) {
		// The connections of the one wait end with the object.
		finish();
		return;
	}
	// Stepped on before the step's calls, which can run a script that steps
	// this greeting again or frees it: nothing of it is touched after them.
	const int32_t current = state;
	state += 1;
	if (current == 0) {
		sequence_steps::show_text(manager, WELCOME_BACK_TEXT);
	} else {
		wait_for_button_press();
	}
}

void WelcomeBackSequence::wait_for_button_press() {
	sequence_steps::wait_for_button_press(this);
}

void WelcomeBackSequence::finished_waiting_for_button_press() {
	sequence_steps::finished_waiting_for_button_press(this);
}

void WelcomeBackSequence::_on_timer_timeout() {
	advance_state();
}

void WelcomeBackSequence::_on_finished_typing() {
	advance_state();
}

void WelcomeBackSequence::_on_button_pressed(String p_name, int) {
	if (p_name == "ax_button" || p_name == "by_button") {
		advance_state();
	}
}

} // namespace godot
