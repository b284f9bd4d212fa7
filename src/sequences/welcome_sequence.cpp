#include "welcome_sequence.hpp"

#include "greeting_watch.hpp"

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
	waits.owned = p_manager != nullptr;
	remember(xr_manager, xr_manager_id, p_manager);
	remember(timer, timer_id, sequence_steps::attach(this, p_manager));
}

WelcomeSequence::~WelcomeSequence() {
	XRManager *manager = live_manager();
	sequence_steps::detach(this, manager, manager ? live_timer() : nullptr);
}

void WelcomeSequence::_bind_methods() {
	ClassDB::bind_method(D_METHOD("get_value"), &WelcomeSequence::get_xr_manager);
	ClassDB::bind_method(D_METHOD("set_value", "value"), &WelcomeSequence::set_xr_manager_from_script);
	ClassDB::bind_method(D_METHOD("_on_timer_timeout"), &WelcomeSequence::_on_timer_timeout);
	ClassDB::bind_method(D_METHOD("_on_finished_typing"), &WelcomeSequence::_on_finished_typing);
	ClassDB::bind_method(D_METHOD("_on_button_pressed"), &WelcomeSequence::_on_button_pressed);
}

XRManager *WelcomeSequence::get_xr_manager() {
	return live_manager();
}

void WelcomeSequence::set_xr_manager(XRManager *value) {
	remember(xr_manager, xr_manager_id, value);
}

void WelcomeSequence::set_xr_manager_from_script(XRManager *value) {
	ERR_FAIL_COND_MSG(waits.owned && value != live_manager(), "A greeting keeps the XR manager that started it.");
	set_xr_manager(value);
}

XRManager *WelcomeSequence::live_manager() {
	return live_or_forget(xr_manager, xr_manager_id, "XR manager of a greeting");
}

Timer *WelcomeSequence::live_timer() {
	return live_or_forget(timer, timer_id, "timer of a greeting");
}

void WelcomeSequence::let_manager_go(XRManager *p_manager) {
	if (p_manager->welcome_sequence == this) {
		p_manager->set_welcome_sequence(nullptr);
	}
}

void WelcomeSequence::start() {
	state = 0;
	sequence_steps::start(live_manager(), live_timer());
}

void WelcomeSequence::finish() {
	sequence_steps::finish(this);
}

bool WelcomeSequence::is_finishing() const {
	return waits.finishing;
}

void WelcomeSequence::keep_going() {
	sequence_steps::tend(this);
}

bool WelcomeSequence::waiting_for_typing() const {
	return state % 2 == 1;
}

bool WelcomeSequence::waiting_for_press() const {
	return state >= 2 && state % 2 == 0;
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
			sequence_steps::show_text(this, manager, WELCOME_TEXT);
			break;
		case 2:
			finished_waiting_for_button_press();
			sequence_steps::show_text(this, manager, MOVEMENT_TEXT);
			break;
		case 4:
			finished_waiting_for_button_press();
			sequence_steps::show_text(this, manager, ROTATION_TEXT);
			break;
		case 6:
			finished_waiting_for_button_press();
			sequence_steps::show_text(this, manager, FAREWELL_TEXT);
			break;
		default: // 1, 3, 5, 7: the text is typed
			wait_for_button_press();
			break;
	}
}

void WelcomeSequence::wait_for_button_press() {
	sequence_steps::wait_for_button_press(this, waits);
}

void WelcomeSequence::finished_waiting_for_button_press() {
	sequence_steps::finished_waiting_for_button_press(this, waits);
}

void WelcomeSequence::_on_timer_timeout() {
	sequence_steps::on_timer_timeout(this);
}

void WelcomeSequence::_on_finished_typing() {
	if (waiting_for_typing()) {
		advance_state();
	}
}

void WelcomeSequence::_on_button_pressed(String p_name, int) {
	if (waiting_for_press() && (p_name == "ax_button" || p_name == "by_button")) {
		advance_state();
	}
}

} // namespace godot
