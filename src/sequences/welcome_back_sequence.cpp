#include "welcome_back_sequence.hpp"

#include "greeting_watch.hpp"

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
	waits.owned = p_manager != nullptr;
	remember(xr_manager, xr_manager_id, p_manager);
	remember(timer, timer_id, sequence_steps::attach(this, p_manager));
}

WelcomeBackSequence::~WelcomeBackSequence() {
	XRManager *manager = live_manager();
	sequence_steps::detach(this, manager, manager ? live_timer() : nullptr);
}

void WelcomeBackSequence::_bind_methods() {
	ClassDB::bind_method(D_METHOD("get_value"), &WelcomeBackSequence::get_xr_manager);
	ClassDB::bind_method(D_METHOD("set_value", "value"), &WelcomeBackSequence::set_xr_manager_from_script);
	ClassDB::bind_method(D_METHOD("_on_timer_timeout"), &WelcomeBackSequence::_on_timer_timeout);
	ClassDB::bind_method(D_METHOD("_on_finished_typing"), &WelcomeBackSequence::_on_finished_typing);
	ClassDB::bind_method(D_METHOD("_on_button_pressed"), &WelcomeBackSequence::_on_button_pressed);
}

XRManager *WelcomeBackSequence::get_xr_manager() {
	return live_manager();
}

void WelcomeBackSequence::set_xr_manager(XRManager *value) {
	remember(xr_manager, xr_manager_id, value);
}

void WelcomeBackSequence::set_xr_manager_from_script(XRManager *value) {
	ERR_FAIL_COND_MSG(waits.owned && value != live_manager(), "A greeting keeps the XR manager that started it.");
	set_xr_manager(value);
}

XRManager *WelcomeBackSequence::live_manager() {
	return live_or_forget(xr_manager, xr_manager_id, "XR manager of a greeting");
}

Timer *WelcomeBackSequence::live_timer() {
	return live_or_forget(timer, timer_id, "timer of a greeting");
}

void WelcomeBackSequence::let_manager_go(XRManager *p_manager) {
	if (p_manager->welcome_back_sequence == this) {
		p_manager->set_welcome_back_sequence(nullptr);
	}
}

void WelcomeBackSequence::start() {
	state = 0;
	sequence_steps::start(live_manager(), live_timer());
}

void WelcomeBackSequence::finish() {
	sequence_steps::finish(this);
}

bool WelcomeBackSequence::is_finishing() const {
	return waits.finishing;
}

void WelcomeBackSequence::keep_going() {
	sequence_steps::tend(this);
}

bool WelcomeBackSequence::waiting_for_typing() const {
	return state == 1;
}

bool WelcomeBackSequence::waiting_for_press() const {
	return state >= 2;
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
		sequence_steps::show_text(this, manager, WELCOME_BACK_TEXT);
	} else {
		wait_for_button_press();
	}
}

void WelcomeBackSequence::wait_for_button_press() {
	sequence_steps::wait_for_button_press(this, waits);
}

void WelcomeBackSequence::finished_waiting_for_button_press() {
	sequence_steps::finished_waiting_for_button_press(this, waits);
}

void WelcomeBackSequence::_on_timer_timeout() {
	sequence_steps::on_timer_timeout(this);
}

void WelcomeBackSequence::_on_finished_typing() {
	if (waiting_for_typing()) {
		advance_state();
	}
}

void WelcomeBackSequence::_on_button_pressed(String p_name, int) {
	if (waiting_for_press() && (p_name == "ax_button" || p_name == "by_button")) {
		advance_state();
	}
}

} // namespace godot
