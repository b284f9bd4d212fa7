#include "xr_manager.hpp"

#include "globals.hpp"
#include "hud.hpp"
#include "player.hpp"
#include "sequences/sequence_steps.hpp"
#include "sequences/welcome_back_sequence.hpp"
#include "sequences/welcome_sequence.hpp"

#include <godot_cpp/classes/audio_server.hpp>
#include <godot_cpp/classes/display_server.hpp>
#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/skeleton3d.hpp>
#include <godot_cpp/classes/viewport.hpp>
#include <godot_cpp/classes/xr_camera3d.hpp>
#include <godot_cpp/classes/xr_controller3d.hpp>
#include <godot_cpp/classes/xr_hand_tracker.hpp>
#include <godot_cpp/classes/xr_interface.hpp>
#include <godot_cpp/classes/xr_origin3d.hpp>
#include <godot_cpp/classes/xr_positional_tracker.hpp>
#include <godot_cpp/classes/xr_tracker.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

#include <cmath>
#include <cstddef>

namespace godot {

namespace {

const char *const SESSION_SIGNALS[] = {
	"instance_exiting",
	"play_area_changed",
	"pose_recentered",
	"refresh_rate_changed",
	"session_begun",
	"session_focussed",
	"session_loss_pending",
	"session_stopping",
	"session_visible",
};

const char *const CONTROLLER_SIGNALS[] = {
	"button_pressed",
	"button_released",
	"input_float_changed",
	"input_vector2_changed",
	"profile_changed",
};

const char *const CONTROLLER_NAMES[2] = { "XRController3DLeft", "XRController3DRight" };

// Refresh rates outside this range are no rates a headset runs at (a runtime
// without the refresh-rate extension reports 0).
constexpr float MIN_REFRESH_RATE = 1.0f;
constexpr float MAX_REFRESH_RATE = 1000.0f;

// The manager whose trackers Globals holds. A plain id, not an engine value.
uint64_t tracker_owner_id = 0;

// The manager that runs the game: the world switch, the pause and the
// greetings. A second one (a sub-scene's own) would restore what this one
// hid, so it stays out of the way.
uint64_t game_owner_id = 0;

// The entry of p_id in p_ids, searched from p_from (where an unchanged order
// puts it) round to the start; the entry count if it has none.
size_t find_entry(const std::vector<uint64_t> &p_ids, uint64_t p_id, size_t p_from) {
	const size_t count = p_ids.size();
	for (size_t k = 0; k < count; k++) {
		const size_t entry = (p_from + k) % count;
		if (p_ids[entry] == p_id) {
			return entry;
		}
	}
	return count;
}

// Makes and starts a greeting of p_manager. Making it adds its timer to the
// manager, which can run a script: null when that freed the manager (the
// greeting, which nobody else knows of yet, goes too) or the greeting.
template <typename T>
T *make_greeting(XRManager *p_manager) {
	const uint64_t manager_id = p_manager->get_instance_id();
	T *sequence = memnew(T(p_manager));
	const uint64_t sequence_id = sequence->get_instance_id();
	if (!still_exists(manager_id)) {
		if (still_exists(sequence_id)) {
			memdelete(sequence);
		}
		return nullptr;
	}
	if (!still_exists(sequence_id)) {
		return nullptr;
	}
	sequence->start();
	return sequence;
}

// A greeting still running when its manager goes could never end: it goes
// too, unless it is ending, and so destroys itself.
template <typename T>
void let_go(T *p_sequence) {
	if (!p_sequence) {
		return;
	}
	p_sequence->set_xr_manager(nullptr);
	if (!p_sequence->is_finishing()) {
		memdelete(p_sequence);
	}
}

} // namespace

XRManager::XRManager() :
		ax_button_name("ax_button"), by_button_name("by_button"), grip_name("grip") {
	show_welcome = !Globals::is_dev;
}

XRManager::~XRManager() {
	leaving = true;
	// The greetings' timers are children of ours and already gone.
	let_go(Object::cast_to<WelcomeSequence>(get_welcome_sequence()));
	let_go(Object::cast_to<WelcomeBackSequence>(get_welcome_back_sequence()));
	// Nothing would ever show the world again.
	if (world_hidden) {
		put_world_back();
	}
	forget_scene_state();
	if (game_owner_id == get_instance_id()) {
		game_owner_id = 0;
	}
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
	// A greeting moves on only through its HUD: one whose HUD vanished (freed
	// while it typed, say) would keep the game paused for good.
	if (!welcome_sequence && !welcome_back_sequence) {
		return;
	}
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
	if (WelcomeSequence *sequence = Object::cast_to<WelcomeSequence>(get_welcome_sequence())) {
		sequence->keep_going();
	} else if (WelcomeBackSequence *sequence = Object::cast_to<WelcomeBackSequence>(get_welcome_back_sequence())) {
		sequence->keep_going();
	}
}

void XRManager::_ready() {
	if (Engine::get_singleton()->is_editor_hint()) {
		set_process(false);
		set_physics_process(false);
		return;
	}

	const uint64_t self_id = get_instance_id();
	if (game_owner_id != 0 && game_owner_id != self_id && still_exists(game_owner_id)) {
		ERR_PRINT(vformat("A second XRManager (%s) in the scene: it does nothing, the first one runs the game.", get_path()));
		return;
	}
	game_owner_id = self_id;

	// Pausing and adding a child can run scripts that free this manager.
	pause_game(true);
	if (!still_exists(self_id)) {
		return;
	}

	Timer *fade_timer = memnew(Timer);
	remember(audio_fade_timer, audio_fade_timer_id, fade_timer);
	fade_timer->connect("timeout", Callable(this, "_on_audio_fade_timer_timeout"), 0);
	add_child(fade_timer);
	if (!still_exists(self_id)) {
		return;
	}

	AudioServer::get_singleton()->set_bus_volume_linear(0, 0.0f);

	xr_server = XRServer::get_singleton();
	primary_interface = xr_server->get_primary_interface();
	Globals::xr_interface = xr_server->find_interface("OpenXR");
	if (Globals::xr_interface.is_null()) {
		ERR_PRINT("The XR server has no interface named \"OpenXR\": the session signals can't be connected.");
	}
	if (Globals::xr_interface.is_null() || !Globals::xr_interface->is_initialized()) {
		UtilityFunctions::print("Could not find OpenXR interface.\nTry opening SteamVR...");
	}

	XROrigin3D *origin = Object::cast_to<XROrigin3D>(find_child("XROrigin3D", true, true));
	Globals::set_xr_origin(origin);
	stored_origin_id = Globals::m_xr_origin_id;
	if (!origin) {
		ERR_PRINT("No \"XROrigin3D\" below the XR manager.");
	}
	XRCamera3D *camera = Object::cast_to<XRCamera3D>(find_child("XRCamera3D", true, true));
	Globals::set_xr_camera(camera);
	stored_camera_id = Globals::m_xr_camera_id;
	if (!camera) {
		ERR_PRINT("No \"XRCamera3D\" below the XR manager.");
	}

	Globals::pos_trackers.resize(3);
	Globals::pos_trackers[0] = xr_server->get_tracker("left_hand");
	Globals::pos_trackers[1] = xr_server->get_tracker("right_hand");
	Globals::pos_trackers[2] = xr_server->get_tracker("head");
	tracker_owner_id = get_instance_id();

	if (primary_interface.is_valid() && primary_interface->is_hand_tracking_supported()) {
		Globals::hand_trackers.resize(2);
		Dictionary trackers = xr_server->get_trackers(XRServer::TRACKER_ANY);
		UtilityFunctions::print(trackers.size());
		Array names = trackers.keys();
		for (int64_t i = 0; i < names.size(); i++) {
			Ref<XRTracker> tracker = trackers[names[i]];
			if (tracker.is_null() || tracker->get_tracker_type() != XRServer::TRACKER_HAND) {
				continue;
			}
			size_t slot = tracker->get_tracker_name().match("*left*") ? 0 : 1;
			Globals::hand_trackers[slot] = tracker;
		}
	}

	Node *parent = get_parent();
	remember(player, player_id, parent ? Object::cast_to<Player>(parent->find_child("Player", true, true)) : nullptr);
	if (!player) {
		ERR_PRINT("No \"Player\" below the XR manager's parent: controller input goes nowhere.");
	}
	for (int hand = 0; hand < 2; hand++) {
		Globals::set_hand_controller(hand, player ? Object::cast_to<XRController3D>(player->find_child(CONTROLLER_NAMES[hand], true, true)) : nullptr);
		stored_controller_ids[hand] = Globals::hand_controller_ids[hand];
	}
	remember(hud, hud_id, player ? Object::cast_to<HUD>(player->find_child("HUD", true, true)) : nullptr);
	if (!hud) {
		ERR_PRINT("No \"HUD\" below the player: the greetings can't be shown.");
	}

	if (primary_interface.is_valid()) {
		Viewport *viewport = get_viewport();
		if (viewport) {
			viewport->set_use_xr(true);
			viewport->set_vrs_mode(Viewport::VRS_XR);
		}
		DisplayServer::get_singleton()->window_set_vsync_mode(DisplayServer::VSYNC_DISABLED, 0);
	}

	if (Globals::xr_interface.is_valid()) {
		for (const char *signal : SESSION_SIGNALS) {
			Globals::xr_interface->connect(signal, Callable(this, String("_on_") + signal), 0);
		}
	}

	for (int hand = 0; hand < 2; hand++) {
		XRController3D *controller = Globals::get_hand_controller(hand);
		if (!controller) {
			if (player) {
				ERR_PRINT(String("No \"") + CONTROLLER_NAMES[hand] + "\" below the player: its input is not connected.");
			}
			continue;
		}
		for (const char *signal : CONTROLLER_SIGNALS) {
			controller->connect(signal, Callable(this, String("_on_") + signal).bind(hand), 0);
		}
	}

	if (Globals::is_dev) {
		for (int hand = 0; hand < 2; hand++) {
			if (XRController3D *controller = Globals::get_hand_controller(hand)) {
				controller->connect("input_float_changed", Callable(this, "_check_for_grip_sensor"), 0);
			}
		}
	}
}

// ---- Session ----

void XRManager::_on_instance_exiting() {
	UtilityFunctions::print("++++++++++ INSTANCE_EXITING ++++++++++");
}

void XRManager::_on_play_area_changed(int p_mode) {
	UtilityFunctions::print("++++++++++ PLAY_AREA_CHANGED ++++++++++", p_mode);
}

void XRManager::_on_pose_recentered() {
	UtilityFunctions::print("++++++++++ POSE_RECENTERED ++++++++++");
	recenter();
}

void XRManager::_on_refresh_rate_changed(float p_refresh_rate) {
	UtilityFunctions::print("++++++++++ REFRESH_RATE_CHANGED ++++++++++", (double)p_refresh_rate);
	pace_frames(p_refresh_rate);
}

void XRManager::_on_session_begun() {
	UtilityFunctions::print("++++++++++ SESSION_BEGUN ++++++++++");
	const uint64_t self_id = get_instance_id();
	set_hud_visible(true);
	if (!still_exists(self_id)) {
		return;
	}
	fade_audio(true, 2.0f);
}

void XRManager::_on_session_focussed() {
	UtilityFunctions::print("++++++++++ SESSION_FOCUSSED ++++++++++");
	if (leaving) {
		return;
	}
	if (!get_hud()) {
		// Nothing can greet the player, and only a greeting unpauses: start
		// the game as a finished greeting would.
		ERR_PRINT("No HUD to greet the player on: the game starts without a greeting.");
		end_greetings_without_hud();
		return;
	}
	const bool greeting = get_welcome_sequence() || get_welcome_back_sequence();
	const uint64_t self_id = get_instance_id();
	if (show_welcome) {
		show_welcome = false;
		WelcomeSequence *sequence = make_greeting<WelcomeSequence>(this);
		if (still_exists(self_id)) {
			set_welcome_sequence(sequence);
		}
	} else if (!greeting) {
		WelcomeBackSequence *sequence = make_greeting<WelcomeBackSequence>(this);
		if (still_exists(self_id)) {
			set_welcome_back_sequence(sequence);
		}
	}
}

void XRManager::_on_session_loss_pending() {
	UtilityFunctions::print("++++++++++ SESSION_LOSS_PENDING ++++++++++");
}

void XRManager::_on_session_stopping() {
	UtilityFunctions::print("++++++++++ SESSION_STOPPING ++++++++++");
}

void XRManager::_on_session_visible() {
	UtilityFunctions::print("++++++++++ SESSION_VISIBLE ++++++++++");
	const uint64_t self_id = get_instance_id();
	pause_game(true);
	if (!still_exists(self_id)) {
		return;
	}
	set_hud_visible(true);
	if (!still_exists(self_id)) {
		return;
	}
	ERR_FAIL_COND_MSG(primary_interface.is_null(), "The primary XR interface is not an OpenXR interface: the frame rate is left as it is.");
	pace_frames(primary_interface->get_display_refresh_rate());
}

void XRManager::pace_frames(float p_rate) {
	// Written so that NaN fails too; only then is the cast defined.
	if (!(p_rate >= MIN_REFRESH_RATE && p_rate <= MAX_REFRESH_RATE)) {
		if (!bad_rate_reported) {
			bad_rate_reported = true;
			ERR_PRINT(vformat("The headset reports a refresh rate of %s Hz: the frame and physics rates are left as they are.", (double)p_rate));
		}
		return;
	}
	const int32_t rate = (int32_t)p_rate;
	Engine::get_singleton()->set_max_fps(rate);
	Engine::get_singleton()->set_physics_ticks_per_second(rate);
}

// ---- Audio fade ----

void XRManager::fade_audio(bool p_fade_in, float p_duration) {
	Timer *timer = get_audio_fade_timer();
	ERR_FAIL_NULL_MSG(timer, "No audio fade timer: the master volume is left as it is.");
	float fps = (float)Engine::get_singleton()->get_max_fps();
	if (fps <= 0.0f) {
		fps = 60.0f;
	}
	float interval = 1.0f / fps;
	const float steps = fps * p_duration;
	// NaN, infinite or negative: no steps, so the first tick sets the end volume.
	if (!(steps >= 0.0f) || std::isinf(steps)) {
		fade_steps = 0;
	} else {
		fade_steps = steps < (float)INT32_MAX ? (int32_t)steps : INT32_MAX;
	}
	if (p_fade_in) {
		fade_from = 0.0f;
		fade_to = 1.0f;
	} else {
		fade_from = 1.0f;
		fade_to = 0.0f;
	}
	fade_step = 0;
	timer->start((double)interval);
}

void XRManager::_on_audio_fade_timer_timeout() {
	fade_step += 1;
	if (fade_step >= fade_steps) {
		AudioServer::get_singleton()->set_bus_volume_linear(0, fade_to);
		if (Timer *timer = get_audio_fade_timer()) {
			timer->stop();
		}
		return;
	}
	float volume = fade_from + (fade_to - fade_from) / (float)fade_steps * (float)fade_step;
	AudioServer::get_singleton()->set_bus_volume_linear(0, volume);
}

// ---- Controllers ----

// A missing player was reported at start-up, a freed one when it was found
// gone: the events themselves go nowhere without a word.

void XRManager::_on_button_pressed(String p_name, int p_hand) {
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
	if (Player *target = get_player()) {
		target->_on_input_float_changed(p_name, p_value, p_hand, use_grip_sensor);
	}
}

void XRManager::_on_input_vector2_changed(String p_name, Vector2 p_value, int p_hand) {
	if (Player *target = get_player()) {
		target->_on_input_vector2_changed(p_name, p_value, p_hand, use_grip_sensor);
	}
}

void XRManager::_on_profile_changed(String p_role, int p_hand) {
	if (Player *target = get_player()) {
		target->_on_profile_changed(p_role, p_hand);
	}
}

void XRManager::_check_for_grip_sensor(String p_name, float) {
	if (p_name != grip_name) {
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

void XRManager::pause_game(bool p_paused) {
	SceneTree *tree = get_tree();
	ERR_FAIL_NULL(tree);
	tree->set_pause(p_paused);
}

void XRManager::set_hud_visible(bool p_visible) {
	if (hud_visible == p_visible) {
		return;
	}
	hud_visible = p_visible;
	// Every set_visible below can run a script that frees this manager, or
	// switches again (the inner switch then does the whole work).
	const uint64_t self_id = get_instance_id();
	const uint32_t generation = ++switch_generation;

	SceneTree *tree = get_tree();
	Node *scene = tree ? tree->get_current_scene() : nullptr;
	if (p_visible) {
		save_world(scene);
		world_hidden = true;
		for (size_t i = 0; i < saved_ids.size(); i++) {
			Node3D *child = live<Node3D>(saved_ids[i]);
			if (child) {
				child->set_visible(false);
				if (!still_exists(self_id) || switch_generation != generation) {
					return;
				}
			}
		}
	} else {
		restore_world(scene, self_id, generation);
		if (!still_exists(self_id) || switch_generation != generation) {
			return;
		}
		world_hidden = false;
	}

	if (Player *body = get_player()) {
		Skeleton3D *skeleton = Object::cast_to<Skeleton3D>(body->find_child("Skeleton3D", true, true));
		if (skeleton) {
			skeleton->set_visible(!p_visible);
			if (!still_exists(self_id) || switch_generation != generation) {
				return;
			}
		}
	}
	// Missing since start-up, where it was reported, or freed since.
	if (HUD *display = get_hud()) {
		display->set_visible(p_visible);
	}
}

// Saves the visibility of p_scene's children, entry for entry. Hiding again
// before a restore has ended (a script switched inside it) keeps the entries
// of the children not yet restored, which still hold their own visibility.
void XRManager::save_world(Node *p_scene) {
	std::vector<bool> earlier_visibility;
	std::vector<uint64_t> earlier_ids;
	if (world_hidden) {
		earlier_visibility.swap(saved_visibility);
		earlier_ids.swap(saved_ids);
	}
	saved_visibility.clear();
	saved_ids.clear();
	if (!p_scene) {
		return;
	}
	// Read before any set_visible: the array holds plain pointers.
	TypedArray<Node> children = p_scene->get_children();
	for (int64_t i = 0; i < children.size(); i++) {
		Node *node = Object::cast_to<Node>(children[i]);
		Node3D *child = Object::cast_to<Node3D>(node);
		const uint64_t id = node ? node->get_instance_id() : 0;
		bool visible = child ? child->is_visible() : false;
		const size_t earlier = find_entry(earlier_ids, id, (size_t)i);
		if (child && earlier < earlier_ids.size()) {
			visible = earlier_visibility[earlier];
		}
		saved_visibility.push_back(visible);
		saved_ids.push_back(id);
	}
}

// Gives each 3-D child of p_scene its saved visibility. Keyed by the node
// itself: one added while the HUD showed has no entry and keeps its own
// visibility, and one removed meanwhile passes nothing to its neighbour.
void XRManager::restore_world(Node *p_scene, uint64_t p_self_id, uint32_t p_generation) {
	if (!p_scene) {
		return;
	}
	size_t next = 0;
	for (uint64_t id : child_ids(p_scene)) {
		Node3D *child = live<Node3D>(id);
		if (!child) {
			continue;
		}
		const size_t entry = find_entry(saved_ids, id, next);
		if (entry < saved_ids.size()) {
			next = entry + 1;
			child->set_visible(saved_visibility[entry]);
			if (!still_exists(p_self_id) || switch_generation != p_generation) {
				return;
			}
		}
	}
}

// The destructor's restore: undoes what the switch did, so shows again each
// saved child that still exists and was visible (one hidden before keeps
// what a script may have given it since), shows the skeleton and hides the
// HUD. Quiet about what is gone: the scene around a freed manager usually
// goes with it.
void XRManager::put_world_back() {
	for (size_t i = 0; i < saved_ids.size(); i++) {
		Node3D *child = live<Node3D>(saved_ids[i]);
		if (child && saved_visibility[i]) {
			child->set_visible(true);
		}
	}
	if (player && ObjectDB::get_instance(player_id) == static_cast<Object *>(player)) {
		if (Skeleton3D *skeleton = Object::cast_to<Skeleton3D>(player->find_child("Skeleton3D", true, true))) {
			skeleton->set_visible(true);
		}
	}
	if (hud && ObjectDB::get_instance(hud_id) == static_cast<Object *>(hud)) {
		hud->set_visible(false);
	}
	world_hidden = false;
}

} // namespace godot
