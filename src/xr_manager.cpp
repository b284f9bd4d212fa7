#include "xr_manager.hpp"

#include "globals.hpp"
#include "hud.hpp"
#include "player.hpp"
#include "sequences/sequence_steps.hpp"
#include "sequences/welcome_back_sequence.hpp"
#include "sequences/welcome_sequence.hpp"

#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/xr_controller3d.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/callable.hpp>

#include <algorithm>

namespace godot {

namespace {

// The hand index a controller handler was given is 0 or 1 when the manager
// connected it; a script may call the handler with anything.
bool is_hand(int p_hand) {
	return p_hand == 0 || p_hand == 1;
}

} // namespace

XRManager::XRManager() :
		ax_button_name("ax_button"), by_button_name("by_button"), grip_name("grip") {
	show_welcome = !Globals::is_dev;
}

XRManager::~XRManager() {
	// Runs no script: a manager that leaves the tree has given the game over
	// already, and what a script would see of it (the world shown again, the
	// game unpaused) comes at the end of the frame.
	stand_down(false);
	const uint64_t self_id = get_instance_id();
	manager_ids.erase(std::remove(manager_ids.begin(), manager_ids.end(), self_id), manager_ids.end());
}

// Nothing of this scene may reach the next one through Globals. Only what
// this manager stored and nobody has replaced since is forgotten, so a
// manager freed after the next scene's set-up leaves that scene's state be.
void XRManager::forget_scene_state() {
	if (stored_origin_id != 0 && Globals::m_xr_origin_id == stored_origin_id) {
		Globals::set_xr_origin(nullptr);
	}
	if (stored_camera_id != 0 && Globals::m_xr_camera_id == stored_camera_id) {
		Globals::set_xr_camera(nullptr);
	}
	for (int hand = 0; hand < 2; hand++) {
		if (stored_controller_ids[hand] != 0 && Globals::hand_controller_ids[hand] == stored_controller_ids[hand]) {
			Globals::set_hand_controller(hand, nullptr);
		}
	}
	if (tracker_owner_id != 0 && tracker_owner_id == get_instance_id()) {
		tracker_owner_id = 0;
		Globals::pos_trackers.clear();
		Globals::pos_trackers.resize(3);
		Globals::hand_trackers.clear();
	}
}

void XRManager::_bind_methods() {
	ClassDB::bind_method(D_METHOD("_on_instance_exiting"), &XRManager::_on_instance_exiting);
	ClassDB::bind_method(D_METHOD("_on_play_area_changed", "p_mode"), &XRManager::_on_play_area_changed);
	ClassDB::bind_method(D_METHOD("_on_pose_recentered"), &XRManager::_on_pose_recentered);
	ClassDB::bind_method(D_METHOD("_on_refresh_rate_changed"), &XRManager::_on_refresh_rate_changed);
	ClassDB::bind_method(D_METHOD("_on_session_begun"), &XRManager::_on_session_begun);
	ClassDB::bind_method(D_METHOD("_on_session_focussed"), &XRManager::_on_session_focussed);
	ClassDB::bind_method(D_METHOD("_on_session_loss_pending"), &XRManager::_on_session_loss_pending);
	ClassDB::bind_method(D_METHOD("_on_session_stopping"), &XRManager::_on_session_stopping);
	ClassDB::bind_method(D_METHOD("_on_session_visible"), &XRManager::_on_session_visible);
	ClassDB::bind_method(D_METHOD("_on_audio_fade_timer_timeout"), &XRManager::_on_audio_fade_timer_timeout);
	ClassDB::bind_method(D_METHOD("_on_button_pressed", "p_name"), &XRManager::_on_button_pressed);
	ClassDB::bind_method(D_METHOD("_on_button_released", "p_name"), &XRManager::_on_button_released);
	ClassDB::bind_method(D_METHOD("_on_input_float_changed", "p_name", "p_value"), &XRManager::_on_input_float_changed);
	ClassDB::bind_method(D_METHOD("_on_input_vector2_changed", "p_name", "p_value"), &XRManager::_on_input_vector2_changed);
	ClassDB::bind_method(D_METHOD("_on_profile_changed", "p_role"), &XRManager::_on_profile_changed);
	ClassDB::bind_method(D_METHOD("_check_for_grip_sensor", "p_name", "p_value"), &XRManager::_check_for_grip_sensor);
}

void XRManager::_process(double) {
	// Nothing per frame here: the manager's waits are watched from the
	// tree's frame signal (watch_waits), which comes whatever process mode
	// the scene gives the manager.
}

// Every frame, paused or not, while this manager runs the game.
void XRManager::watch_waits() {
	if (!is_running()) {
		return;
	}
	// Queued for deletion, with its scene or alone: a manager that stays in
	// the tree takes over at the end of this frame, not after this one goes.
	if (!stays_in_tree(this)) {
		queue_hand_over();
	}
	// A fade whose timer a script stopped, freed or took out of the tree
	// would leave the volume where it is for good.
	watch_fade();
	if (!welcome_sequence && !welcome_back_sequence) {
		return;
	}
	// A greeting that a script freed ends nothing itself: the game is handed
	// back as its end would.
	if (!get_welcome_sequence() && !get_welcome_back_sequence()) {
		sequence_steps::hand_back(this);
		return;
	}
	// A greeting moves on only through its HUD: one whose HUD vanished (freed
	// while it typed, say) would keep the game paused for good.
	HUD *live_hud = get_hud();
	if (!live_hud) {
		end_greetings_without_hud();
		return;
	}
	// The same for a greeting whose timers a script freed.
	const uint64_t self_id = get_instance_id();
	live_hud->keep_typing();
	if (!still_exists(self_id)) {
		return;
	}
	if (WelcomeSequence *first_run = Object::cast_to<WelcomeSequence>(get_welcome_sequence())) {
		first_run->keep_going();
	} else if (WelcomeBackSequence *back = Object::cast_to<WelcomeBackSequence>(get_welcome_back_sequence())) {
		back->keep_going();
	}
}

void XRManager::_ready() {
	if (Engine::get_singleton()->is_editor_hint()) {
		set_process(false);
		set_physics_process(false);
		return;
	}
	const uint64_t self_id = get_instance_id();
	manager_ids.push_back(self_id);
	if (game_owner_id != self_id && counts_as_running(game_owner_id)) {
		if (!standby_reported) {
			standby_reported = true;
			ERR_PRINT(vformat("A second XRManager (%s) in the scene: it does nothing while the first one runs the game, and takes over only when that one leaves.", get_path()));
		}
		return;
	}
	take_over();
}

// ---- Controllers ----

// A missing player was reported at start-up, a freed one when it was found
// gone: the events themselves go nowhere without a word. A manager that does
// not run the game forwards nothing: the one that does has the player.

void XRManager::_on_button_pressed(String p_name, int p_hand) {
	ERR_FAIL_COND_MSG(!is_hand(p_hand), vformat("A button press for hand %d: only 0 (left) and 1 (right) exist.", p_hand));
	if (!is_running()) {
		return;
	}
	if (p_name == ax_button_name) {
		ax_button_down = true;
	} else if (p_name == by_button_name) {
		by_button_down = true;
	}
	// Every press while both are held recentres, whatever the button.
	if (ax_button_down && by_button_down) {
		// Recentring tells the scene, whose scripts may free this manager.
		const uint64_t self_id = get_instance_id();
		recenter();
		if (!still_exists(self_id)) {
			return;
		}
	}
	if (Player *target = get_player()) {
		target->_on_button_pressed(p_name, p_hand);
	}
}

void XRManager::_on_button_released(String p_name, int p_hand) {
	ERR_FAIL_COND_MSG(!is_hand(p_hand), vformat("A button release for hand %d: only 0 (left) and 1 (right) exist.", p_hand));
	if (!is_running()) {
		return;
	}
	if (p_name == ax_button_name) {
		ax_button_down = false;
	} else if (p_name == by_button_name) {
		by_button_down = false;
	}
	if (Player *target = get_player()) {
		target->_on_button_released(p_name, p_hand);
	}
}

void XRManager::_on_input_float_changed(String p_name, float p_value, int p_hand) {
	ERR_FAIL_COND_MSG(!is_hand(p_hand), vformat("A float input for hand %d: only 0 (left) and 1 (right) exist.", p_hand));
	if (!is_running()) {
		return;
	}
	if (Player *target = get_player()) {
		target->_on_input_float_changed(p_name, p_value, p_hand, use_grip_sensor);
	}
}

void XRManager::_on_input_vector2_changed(String p_name, Vector2 p_value, int p_hand) {
	ERR_FAIL_COND_MSG(!is_hand(p_hand), vformat("A two-axis input for hand %d: only 0 (left) and 1 (right) exist.", p_hand));
	if (!is_running()) {
		return;
	}
	if (Player *target = get_player()) {
		target->_on_input_vector2_changed(p_name, p_value, p_hand, use_grip_sensor);
	}
}

void XRManager::_on_profile_changed(String p_role, int p_hand) {
	ERR_FAIL_COND_MSG(!is_hand(p_hand), vformat("A profile change for hand %d: only 0 (left) and 1 (right) exist.", p_hand));
	if (!is_running()) {
		return;
	}
	if (Player *target = get_player()) {
		target->_on_profile_changed(p_role, p_hand);
	}
}

void XRManager::_check_for_grip_sensor(String p_name, float) {
	if (p_name != grip_name || !is_running()) {
		return;
	}
	use_grip_sensor = true;
	// The probe has done its job: stop listening.
	Callable probe(this, "_check_for_grip_sensor");
	for (int hand = 0; hand < 2; hand++) {
		XRController3D *controller = Globals::get_hand_controller(hand);
		if (controller && controller->is_connected("input_float_changed", probe)) {
			controller->disconnect("input_float_changed", probe);
		}
	}
}

void XRManager::recenter() {
	ERR_FAIL_NULL(xr_server);
	xr_server->center_on_hmd(XRServer::RESET_FULL_ROTATION, false);
}

// ---- For the greeting sequences ----

HUD *XRManager::get_hud() {
	return live_or_forget(hud, hud_id, "HUD");
}

Player *XRManager::get_player() {
	return live_or_forget(player, player_id, "Player");
}

Timer *XRManager::get_audio_fade_timer() {
	return live_or_forget(audio_fade_timer, audio_fade_timer_id, "audio fade timer");
}

Object *XRManager::get_welcome_sequence() {
	return live_or_forget(welcome_sequence, welcome_sequence_id, "welcome sequence");
}

Object *XRManager::get_welcome_back_sequence() {
	return live_or_forget(welcome_back_sequence, welcome_back_sequence_id, "welcome back sequence");
}

// Ends the running greetings as their own end would; with none running, does
// what that end does, so the game never stays paused without a HUD.
void XRManager::end_greetings_without_hud() {
	// A greeting's end can run a script that frees this manager, and with it
	// the other greeting: each is looked up only when its turn comes.
	const uint64_t self_id = get_instance_id();
	bool ended = false;
	if (WelcomeSequence *welcome = Object::cast_to<WelcomeSequence>(get_welcome_sequence())) {
		ended = true;
		welcome->finish();
		if (!still_exists(self_id)) {
			return;
		}
	}
	if (WelcomeBackSequence *welcome_back = Object::cast_to<WelcomeBackSequence>(get_welcome_back_sequence())) {
		welcome_back->finish();
		return;
	}
	if (!ended) {
		sequence_steps::hand_back(this);
	}
}

XRServer *XRManager::get_xr_server() {
	return xr_server;
}

void XRManager::set_welcome_sequence(Object *p_sequence) {
	remember(welcome_sequence, welcome_sequence_id, p_sequence);
}

void XRManager::set_welcome_back_sequence(Object *p_sequence) {
	remember(welcome_back_sequence, welcome_back_sequence_id, p_sequence);
}

bool XRManager::get_use_grip_sensor() const {
	return use_grip_sensor;
}

void XRManager::set_use_grip_sensor(bool p_use) {
	use_grip_sensor = p_use;
}

// Only the running manager pauses: one that stood down (a greeting of its
// that was ending as it left, say) leaves the game to the one that runs it.
void XRManager::pause_game(bool p_paused) {
	if (!is_running()) {
		return;
	}
	game_held_paused = p_paused;
	const uint64_t self_id = get_instance_id();
	get_tree()->set_pause(p_paused);
	// The game runs: the silence of start-up ends, whether or not the
	// session's start was heard.
	if (!p_paused && still_running(self_id)) {
		bring_volume_up();
	}
}

} // namespace godot
