#ifndef MOSSGLIMMER_XR_MANAGER_HPP
#define MOSSGLIMMER_XR_MANAGER_HPP

#include "globals.hpp"

#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/classes/open_xr_interface.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/timer.hpp>
#include <godot_cpp/classes/xr_server.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/vector2.hpp>

#include <cstdint>
#include <vector>

namespace godot {

class HUD;
class Player;

// Sets up XR, follows the OpenXR session, keeps the game paused until the
// player has been greeted and routes controller input to the player.
class XRManager : public Node {
	GDCLASS(XRManager, Node)

protected:
	static void _bind_methods();

public:
	XRServer *xr_server = nullptr;
	Ref<OpenXRInterface> primary_interface;
	Player *player = nullptr;
	HUD *hud = nullptr;
	bool use_grip_sensor = false;
	bool ax_button_down = false;
	bool by_button_down = false;
	std::vector<bool> saved_visibility;
	bool show_welcome = true;
	float fade_from = 0.0f;
	float fade_to = 1.0f;
	int32_t fade_steps = 1;
	int32_t fade_step = 0;
	Timer *audio_fade_timer = nullptr;
	bool hud_visible = false;
	Object *welcome_sequence = nullptr;
	Object *welcome_back_sequence = nullptr;

	// Instance ids of the partners above, which the scene (or a script) may
	// free at any time: each is read only while its id still names it.
	uint64_t player_id = 0;
	uint64_t hud_id = 0;
	uint64_t audio_fade_timer_id = 0;
	uint64_t welcome_sequence_id = 0;
	uint64_t welcome_back_sequence_id = 0;

	XRManager();
	~XRManager() override;

	void _process(double p_delta) override;
	void _ready() override;
	// Leaving the tree hands the game over; coming back may take it again.
	void _enter_tree() override;
	void _exit_tree() override;

	// OpenXR session.
	void _on_instance_exiting();
	void _on_play_area_changed(int p_mode);
	void _on_pose_recentered();
	void _on_refresh_rate_changed(float p_refresh_rate);
	void _on_session_begun();
	void _on_session_focussed();
	void _on_session_loss_pending();
	void _on_session_stopping();
	void _on_session_visible();
	void _on_audio_fade_timer_timeout();

	// Controllers; the hand index (0 left, 1 right) is bound to each connection.
	void _on_button_pressed(String p_name, int p_hand);
	void _on_button_released(String p_name, int p_hand);
	void _on_input_float_changed(String p_name, float p_value, int p_hand);
	void _on_input_vector2_changed(String p_name, Vector2 p_value, int p_hand);
	void _on_profile_changed(String p_role, int p_hand);
	void _check_for_grip_sensor(String p_name, float p_value);

	// Used by the greeting sequences.
	HUD *get_hud();
	XRServer *get_xr_server();
	void set_welcome_sequence(Object *p_sequence);
	void set_welcome_back_sequence(Object *p_sequence);
	void pause_game(bool p_paused);
	void set_hud_visible(bool p_visible);

	bool get_use_grip_sensor() const;
	void set_use_grip_sensor(bool p_use);
	void fade_audio(bool p_fade_in, float p_duration);

	// Whether this manager runs the game: it is the one that took it, and is
	// in the tree. Only the running manager acts on the session, the world,
	// the pause and the input; any other only notes the session's events.
	bool is_running() const;

private:
	// What this manager stored in Globals, forgotten when it goes.
	// The player found before, while it lies away from the manager's parent.
	uint64_t away_player_id = 0;
	uint64_t stored_origin_id = 0;
	uint64_t stored_camera_id = 0;
	uint64_t stored_controller_ids[2] = { 0, 0 };
	bool bad_rate_reported = false;
	// Instance ids of the children whose visibility saved_visibility holds, entry for entry.
	std::vector<uint64_t> saved_ids;
	// The player's skeleton that the world switch hid: found again by name
	// only when it is gone (one taken out and added back has lost its owner).
	uint64_t skeleton_id = 0;
	// From the start of hiding the world until it is all restored: what a
	// manager that goes meanwhile puts back.
	bool world_hidden = false;
	// Counts the switches begun, so that one cut short by a script that
	// switched again inside it (or took the game over) stops where it is.
	uint32_t switch_generation = 0;
	// The start-up has run: the timer made, the partners found, the
	// connections made. A manager that stands by does it when it takes over.
	bool set_up = false;
	// A fade is under way: its timer must tick every fade_interval seconds
	// until the last tick.
	bool fade_running = false;
	double fade_interval = 1.0 / 60.0;
	bool fade_stall_reported = false;
	// The fade timer had no time left when the manager last looked, and has
	// not ticked since.
	bool fade_timer_read_none = false;
	bool standby_reported = false;
	// Compared with every button and float event: made once, not per event.
	String ax_button_name;
	String by_button_name;
	String grip_name;

	// ---- Who runs the game (plain values: they outlive every scene) ----
	// The manager that runs the game.
	static uint64_t game_owner_id;
	// The manager whose trackers Globals holds.
	static uint64_t tracker_owner_id;
	// Every manager that became ready outside the editor, oldest first: the
	// ones that may take the game over.
	static std::vector<uint64_t> manager_ids;
	// The scene tree, for the hand-over when no manager is left in it.
	static uint64_t tree_id;
	// The library paused the game, or lowered the master volume, and has not
	// given it back yet: a manager that goes with nobody to take over does.
	static bool game_held_paused;
	static bool volume_held_down;
	// What managers that went had hidden, shown again at the end of the frame
	// (nothing that runs a script may happen as a manager leaves the tree).
	struct WorldToShow {
		std::vector<uint64_t> node_ids;
		uint64_t skeleton_id = 0;
		uint64_t hud_id = 0;
	};
	static std::vector<WorldToShow> worlds_to_show;
	static bool hand_over_queued;

	Player *get_player();
	Timer *get_audio_fade_timer();
	Object *get_welcome_sequence();
	Object *get_welcome_back_sequence();
	void end_greetings_without_hud();
	void save_world(Node *p_scene);
	void restore_world(uint64_t p_self_id, uint32_t p_generation);
	void remember_world_to_show();
	Node *world_root();
	void forget_scene_state();
	void recenter();
	void pace_frames(float p_rate);
	void pace_frames_to_headset();

	// Start-up and taking the game over (xr_manager_handover.cpp).
	static bool counts_as_running(uint64_t p_id);
	static bool still_running(uint64_t p_id);
	void take_over();
	void start_up();
	void find_scene_partners(bool p_first);
	void connect_signals(bool p_first);
	void take_session_as_it_is(bool p_fresh);
	void take_session_once_ready();
	void take_player_back();
	Timer *make_fade_timer(Timer *p_old);
	void stand_down(bool p_whole);
	static void queue_hand_over();
	static void hand_over();
	static void show_worlds_that_went();

	// Session and fade (xr_manager_session.cpp).
	void greet();
	void fade_in_from_where_it_is();
	void bring_volume_up();
	void finish_fade();
	void end_stalled_fade();
	bool keep_fade_timer_running();
	void watch_fade();
	void watch_waits();
	bool prints_session_events() const;
	bool hear_session(const char *p_banner);
};

} // namespace godot

#endif // MOSSGLIMMER_XR_MANAGER_HPP
