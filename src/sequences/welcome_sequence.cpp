#include "welcome_sequence.hpp"

#include "sequence_steps.hpp"
#include "xr_manager.hpp"

#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>

#include <vector>

namespace godot {

namespace {

const std::vector<String> &welcome_text() {
	static const std::vector<String> lines = { "welcome to", "mossglimmer!", "", "", "[press any button]" };
	return lines;
}

const std::vector<String> &movement_text() {
	static const std::vector<String> lines = { "push off walls", "or use the right", "thumbstick to move", "", "use the triggers to", "close your hands" };
	return lines;
}

const std::vector<String> &rotation_text() {
	static const std::vector<String> lines = { "lean forward, back,", "left and right", "or use thumbsticks", "to rotate" };
	return lines;
}

const std::vector<String> &farewell_text() {
	static const std::vector<String> lines = { "have fun!" };
	return lines;
}

} // namespace

WelcomeSequence::WelcomeSequence() {}

WelcomeSequence::WelcomeSequence(XRManager *p_manager) {
	state = 0;
	xr_manager = p_manager;
	timer = sequence_steps::attach(this, p_manager);
}

WelcomeSequence::~WelcomeSequence() {
	sequence_steps::detach(this, xr_manager, timer);
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
	xr_manager = value;
}

void WelcomeSequence::start() {
	state = 0;
	sequence_steps::start(xr_manager, timer);
}

void WelcomeSequence::advance_state() {
	ERR_FAIL_NULL_MSG(xr_manager, "A greeting sequence can't go on without the XR manager.");
	if ((uint32_t)state > 7) {
		sequence_steps::hand_back(xr_manager);
		xr_manager->set_welcome_sequence(nullptr);
		// Last action: nothing of this object may be touched afterwards.
		memdelete(this);
		return;
	}
	switch (state) {
		case 0:
			sequence_steps::show_text(xr_manager, welcome_text());
			break;
		case 2:
			finished_waiting_for_button_press();
			sequence_steps::show_text(xr_manager, movement_text());
			break;
		case 4:
			finished_waiting_for_button_press();
			sequence_steps::show_text(xr_manager, rotation_text());
			break;
		case 6:
			finished_waiting_for_button_press();
			sequence_steps::show_text(xr_manager, farewell_text());
			break;
		default: // 1, 3, 5, 7: the text is typed
			wait_for_button_press();
			break;
	}
	state += 1;
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
