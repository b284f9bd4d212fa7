// Which XR manager runs the game, across scene changes: start-up, taking the
// game over (with the session as it is), standing down and the hand-over at
// the end of the frame.
#include "xr_manager.hpp"

#include "globals.hpp"
#include "hud.hpp"
#include "library_timer.hpp"
#include "player.hpp"
#include "sequences/welcome_back_sequence.hpp"
#include "sequences/welcome_sequence.hpp"

#include <godot_cpp/classes/audio_server.hpp>
#include <godot_cpp/classes/display_server.hpp>
#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/classes/scene_tree.hpp>
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
#include <godot_cpp/variant/callable_method_pointer.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

namespace godot {

uint64_t XRManager::game_owner_id = 0;
uint64_t XRManager::tracker_owner_id = 0;
std::vector<uint64_t> XRManager::manager_ids;
uint64_t XRManager::tree_id = 0;
bool XRManager::game_held_paused = false;
bool XRManager::volume_held_down = false;
std::vector<XRManager::WorldToShow> XRManager::worlds_to_show;
bool XRManager::hand_over_queued = false;

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

// Ends a greeting of a manager that stops running the game, running no
// script. A greeting that is ending destroys itself. From the destructor
// (p_manager_whole false) the greeting must not reach back into the manager.
template <typename T>
void end_greeting_quietly(T *p_sequence, bool p_manager_whole) {
	if (!p_sequence) {
		return;
	}
	if (!p_manager_whole) {
		p_sequence->set_xr_manager(nullptr);
	}
	if (!p_sequence->is_finishing()) {
		memdelete(p_sequence);
	}
}

} // namespace

bool XRManager::is_running() const {
	return game_owner_id != 0 && game_owner_id == get_instance_id() && is_inside_tree();
}

// Whether the manager p_id still exists and runs the game: any call out of
// the library can run a script that frees it or takes the game from it.
bool XRManager::still_running(uint64_t p_id) {
	XRManager *manager = live<XRManager>(p_id);
	return manager && manager->is_running();
}

// A manager on its way out (out of the tree, or queued for deletion with its
// scene or on its own) no longer counts: the one in the tree takes the game.
bool XRManager::counts_as_running(uint64_t p_id) {
	return stays_in_tree(live<XRManager>(p_id));
}

void XRManager::_enter_tree() {
	// Back in the tree (a scene kept aside and added again, a manager moved):
	// the hand-over at the end of the frame decides who runs the game. The
	// first entry is followed by _ready, which decides at once.
	if (is_node_ready() && !Engine::get_singleton()->is_editor_hint()) {
		queue_hand_over();
	}
}

void XRManager::_exit_tree() {
	// Runs no script: the receivers of what the manager gives back could free
	// it while it is half way out (or half destroyed). They run at the end of
	// the frame, in the hand-over.
	stand_down(true);
}

void XRManager::take_over() {
	const uint64_t self_id = get_instance_id();
	const uint64_t previous_id = game_owner_id;
	game_owner_id = self_id;
	tree_id = get_tree()->get_instance_id();
	// One still here but on its way out gives way now.
	if (previous_id != self_id) {
		if (XRManager *previous = live<XRManager>(previous_id)) {
			previous->stand_down(true);
		}
	}
	// What managers that went had hidden shows again before this one hides
	// anything: its nodes may be the same.
	show_worlds_that_went();
	if (!still_running(self_id)) {
		return;
	}
	const bool fresh = !set_up;
	if (fresh) {
		start_up();
	} else {
		find_scene_partners(false);
		connect_signals(false);
	}
	if (!still_running(self_id)) {
		return;
	}
	// The waits are watched every frame, paused or not.
	Callable watch = callable_mp(this, &XRManager::watch_waits);
	if (!get_tree()->is_connected("process_frame", watch)) {
		get_tree()->connect("process_frame", watch, 0);
	}
	// The nodes after the manager become ready after it (the HUD hides
	// itself then): a session under way is taken once the manager's parent,
	// below which the player and its HUD lie, is ready too.
	Node *parent = get_parent();
	if (Globals::session_stage != Globals::SESSION_NONE && parent && !parent->is_node_ready()) {
		Callable once_ready = callable_mp(this, &XRManager::take_session_once_ready);
		if (!parent->is_connected("ready", once_ready)) {
			parent->connect("ready", once_ready, CONNECT_ONE_SHOT);
		}
		return;
	}
	take_session_as_it_is(fresh);
}

void XRManager::take_session_once_ready() {
	if (is_running()) {
		take_session_as_it_is(true);
	}
}

void XRManager::start_up() {
	const uint64_t self_id = get_instance_id();
	// Before a session begins the game waits paused and silent; a session
	// under way is taken as it is (take_session_as_it_is).
	const bool waiting_for_session = Globals::session_stage == Globals::SESSION_NONE;
	// Pausing and adding a child can run scripts that free this manager or
	// take it out of the tree.
	if (waiting_for_session) {
		pause_game(true);
		if (!still_running(self_id)) {
			return;
		}
	}
	if (audio_fade_timer_id == 0) {
		make_fade_timer(nullptr);
		if (!still_running(self_id)) {
			return;
		}
	}
	if (waiting_for_session) {
		AudioServer::get_singleton()->set_bus_volume_linear(0, 0.0f);
		volume_held_down = true;
	}

	xr_server = XRServer::get_singleton();
	primary_interface = xr_server->get_primary_interface();
	Globals::xr_interface = xr_server->find_interface("OpenXR");
	Globals::follow_session(Globals::xr_interface);
	if (Globals::xr_interface.is_null()) {
		ERR_PRINT("The XR server has no interface named \"OpenXR\": the session signals can't be connected.");
	}
	if (Globals::xr_interface.is_null() || !Globals::xr_interface->is_initialized()) {
		UtilityFunctions::print("Could not find OpenXR interface.\nTry opening SteamVR...");
	}

	find_scene_partners(true);

	if (primary_interface.is_valid()) {
		Viewport *viewport = get_viewport();
		if (viewport) {
			viewport->set_use_xr(true);
			viewport->set_vrs_mode(Viewport::VRS_XR);
		}
		DisplayServer::get_singleton()->window_set_vsync_mode(DisplayServer::VSYNC_DISABLED, 0);
	}

	connect_signals(true);
	set_up = true;
}

// The fade's timer, in place of p_old (which a script freed or took away).
// It runs while the game is paused, whatever process mode the scene gives
// the manager. Adding it can run scripts: null when one freed the manager or
// the timer.
Timer *XRManager::make_fade_timer(Timer *p_old) {
	const Callable on_timeout(this, "_on_audio_fade_timer_timeout");
	if (p_old) {
		retire_library_timer(p_old, on_timeout);
	}
	const uint64_t self_id = get_instance_id();
	Timer *timer = new_library_timer();
	const uint64_t timer_id = timer->get_instance_id();
	remember(audio_fade_timer, audio_fade_timer_id, timer);
	timer->connect("timeout", on_timeout, 0);
	add_child(timer);
	return still_exists(self_id) && still_exists(timer_id) ? timer : nullptr;
}

// Fills Globals with this scene's origin, camera, trackers and controllers,
// and finds the player and its HUD. p_first: at start-up, where what is
// missing is reported and the tracker count printed.
void XRManager::find_scene_partners(bool p_first) {
	XROrigin3D *origin = keep_or_find<XROrigin3D>(stored_origin_id, this, "XROrigin3D");
	Globals::set_xr_origin(origin);
	stored_origin_id = Globals::m_xr_origin_id;
	if (!origin && p_first) {
		ERR_PRINT("No \"XROrigin3D\" below the XR manager.");
	}
	XRCamera3D *camera = keep_or_find<XRCamera3D>(stored_camera_id, this, "XRCamera3D");
	Globals::set_xr_camera(camera);
	stored_camera_id = Globals::m_xr_camera_id;
	if (!camera && p_first) {
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
		if (p_first) {
			UtilityFunctions::print(trackers.size());
		}
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

	// A player found before and now away from the manager's parent is looked
	// for again when it comes back into the tree.
	const uint64_t previous_id = player_id ? player_id : away_player_id;
	remember(player, player_id, keep_or_find<Player>(previous_id, get_parent(), "Player"));
	if (!player && p_first) {
		ERR_PRINT("No \"Player\" below the XR manager's parent: controller input goes nowhere.");
	}
	if (player || !still_exists(previous_id)) {
		away_player_id = 0;
	} else if (away_player_id != previous_id) {
		away_player_id = previous_id;
		ERR_PRINT("The \"Player\" is no longer below the XR manager's parent: controller input goes nowhere until it is back there.");
	}
	if (player) {
		Callable returned = callable_mp(this, &XRManager::take_player_back);
		if (!player->is_connected("tree_entered", returned)) {
			player->connect("tree_entered", returned, 0);
		}
	}
	for (int hand = 0; hand < 2; hand++) {
		Globals::set_hand_controller(hand, keep_or_find<XRController3D>(stored_controller_ids[hand], player, CONTROLLER_NAMES[hand]));
		stored_controller_ids[hand] = Globals::hand_controller_ids[hand];
	}
	remember(hud, hud_id, keep_or_find<HUD>(hud_id, player, "HUD"));
	if (!hud && p_first) {
		ERR_PRINT("No \"HUD\" below the player: the greetings can't be shown.");
	}
}

// Connects what is not connected yet: all of it at start-up; on taking the
// game over again, what the scene has gained since (a new controller).
void XRManager::connect_signals(bool p_first) {
	if (Globals::xr_interface.is_valid()) {
		for (const char *signal : SESSION_SIGNALS) {
			Callable handler(this, String("_on_") + signal);
			if (!Globals::xr_interface->is_connected(signal, handler)) {
				Globals::xr_interface->connect(signal, handler, 0);
			}
		}
	}

	for (int hand = 0; hand < 2; hand++) {
		XRController3D *controller = Globals::get_hand_controller(hand);
		if (!controller) {
			if (player && p_first) {
				ERR_PRINT(String("No \"") + CONTROLLER_NAMES[hand] + "\" below the player: its input is not connected.");
			}
			continue;
		}
		for (const char *signal : CONTROLLER_SIGNALS) {
			Callable handler = Callable(this, String("_on_") + signal).bind(hand);
			if (!controller->is_connected(signal, handler)) {
				controller->connect(signal, handler, 0);
			}
		}
	}

	// The probe stops listening once it has found a grip sensor.
	if (Globals::is_dev && !use_grip_sensor) {
		Callable probe(this, "_check_for_grip_sensor");
		for (int hand = 0; hand < 2; hand++) {
			XRController3D *controller = Globals::get_hand_controller(hand);
			if (controller && !controller->is_connected("input_float_changed", probe)) {
				controller->connect("input_float_changed", probe, 0);
			}
		}
	}
}

// The player came back into the tree (moved, or kept aside and added
// again; its _ready does not run again). While it was away it lent the shared
// controllers to a player that stayed: the running manager's player holds
// them again, since the greetings wait for their buttons and this manager
// forwards their input to it.
void XRManager::take_player_back() {
	if (!is_running()) {
		return;
	}
	Player *current = get_player();
	Player *away = live<Player>(away_player_id);
	if (!(current && current->is_inside_tree()) && !(away && away->is_inside_tree())) {
		return;
	}
	find_scene_partners(false);
	connect_signals(false);
}

// The session's events came before this manager did: it takes the session
// where they left it, and waits for none of them again. p_fresh: right after
// start-up, which has paused and silenced the game for a session yet to
// come.
//
// A focussed session runs the game at once (a scene change, a respawn: the
// player was playing and goes on playing), unless the first-run greeting has
// never been given, which it then gives.
void XRManager::take_session_as_it_is(bool p_fresh) {
	const uint64_t self_id = get_instance_id();
	if (Globals::first_greeting_started) {
		show_welcome = false;
	}
	const Globals::SessionStage stage = Globals::session_stage;
	if (stage == Globals::SESSION_NONE) {
		if (!p_fresh) {
			pause_game(true);
			if (!still_running(self_id)) {
				return;
			}
			AudioServer::get_singleton()->set_bus_volume_linear(0, 0.0f);
			volume_held_down = true;
		}
		return;
	}
	// The headset may have changed its rate while no manager heard it.
	if (stage == Globals::SESSION_VISIBLE || stage == Globals::SESSION_FOCUSSED) {
		pace_frames_to_headset();
	}
	const bool greets = stage != Globals::SESSION_FOCUSSED || show_welcome;
	if (greets) {
		// The HUD shows (or a greeting starts on it), the game paused.
		pause_game(true);
		if (!still_running(self_id)) {
			return;
		}
		set_hud_visible(true);
	} else {
		set_hud_visible(false);
		if (!still_running(self_id)) {
			return;
		}
		pause_game(false);
	}
	if (!still_running(self_id)) {
		return;
	}
	fade_in_from_where_it_is();
	if (stage == Globals::SESSION_FOCUSSED && show_welcome) {
		greet();
	}
}

// What a manager does when it stops running the game: as it leaves the tree,
// is freed, or another takes over from it while it is on its way out. Runs
// no script: its greetings end, its fade stops, and what it hid or held is
// given back by the hand-over at the end of the frame (or by the manager
// that takes over, first thing).
void XRManager::stand_down(bool p_whole) {
	const bool was_running = game_owner_id != 0 && game_owner_id == get_instance_id();
	if (was_running) {
		game_owner_id = 0;
	}
	WelcomeSequence *welcome = live<WelcomeSequence>(welcome_sequence_id);
	WelcomeBackSequence *welcome_back = live<WelcomeBackSequence>(welcome_back_sequence_id);
	set_welcome_sequence(nullptr);
	set_welcome_back_sequence(nullptr);
	end_greeting_quietly(welcome, p_whole);
	end_greeting_quietly(welcome_back, p_whole);

	if (fade_running) {
		fade_running = false;
		if (Timer *timer = live<Timer>(audio_fade_timer_id)) {
			timer->stop();
		}
	}
	if (SceneTree *tree = live<SceneTree>(tree_id)) {
		Callable watch = callable_mp(this, &XRManager::watch_waits);
		if (tree->is_connected("process_frame", watch)) {
			tree->disconnect("process_frame", watch);
		}
	}
	const bool world_changed = world_hidden || hud_visible;
	remember_world_to_show();
	forget_scene_state();
	if (was_running || world_changed) {
		queue_hand_over();
	}
}

void XRManager::queue_hand_over() {
	if (hand_over_queued) {
		return;
	}
	hand_over_queued = true;
	callable_mp_static(&XRManager::hand_over).call_deferred();
}

// At the end of the frame after a manager went, came back or was queued for
// deletion: the world it hid shows again, and the first manager that stays
// in the tree takes the game over. With none, what the library held is
// given back once the last one has gone: the game unpauses and the master
// volume comes up.
void XRManager::hand_over() {
	hand_over_queued = false;
	show_worlds_that_went();
	if (counts_as_running(game_owner_id)) {
		return;
	}
	// Taking over runs scripts, which may add or free managers.
	const std::vector<uint64_t> candidates = manager_ids;
	for (uint64_t id : candidates) {
		XRManager *manager = live<XRManager>(id);
		if (manager && counts_as_running(id) && manager->is_node_ready()) {
			manager->take_over();
			return;
		}
	}
	// One on its way out runs on until it goes.
	XRManager *owner = live<XRManager>(game_owner_id);
	if (owner && owner->is_running()) {
		return;
	}
	if (volume_held_down) {
		volume_held_down = false;
		AudioServer::get_singleton()->set_bus_volume_linear(0, 1.0f);
	}
	if (game_held_paused) {
		game_held_paused = false;
		if (SceneTree *tree = live<SceneTree>(tree_id)) {
			tree->set_pause(false);
		}
	}
}

} // namespace godot
