#include "welcome_back_sequence.hpp"

#include "sequence_steps.hpp"
#include "xr_manager.hpp"

#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>

#include <vector>

namespace godot {

namespace {

const std::vector<String> &welcome_back_text() {
	static const std::vector<String> lines = { "welcome back!", "", "[press any button]" };
	return lines;
}

} // namespace

WelcomeBackSequence::WelcomeBackSequence() {}

WelcomeBackSequence::WelcomeBackSequence(XRManager *p_manager) {
	state = 0;
	xr_manager = p_manager;
	timer = sequence_steps::attach(this, p_manager);
}

WelcomeBackSequence::~WelcomeBackSequence() {
	sequence_steps::detach(this, xr_manager, timer);
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
	xr_manager = value;
}

void WelcomeBackSequence::start() {
	state = 0;
	sequence_steps::start(xr_manager, timer);
}

void WelcomeBackSequence::advance_state() {
	ERR_FAIL_NULL_MSG(xr_manager, "A greeting sequence can't go on without the XR manager.");
	switch (state) {
		case 0:
			sequence_steps::show_text(xr_manager, welcome_back_text());
			break;
		case 1:
			wait_for_button_press();
			break;
		default:
			// The connections of the one wait end with the object.
			sequence_steps::hand_back(xr_manager);
			xr_manager->set_welcome_back_sequence(nullptr);
			memdelete(this);
			return;
	}
	state += 1;
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
