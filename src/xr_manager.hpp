#ifndef MOSSGLIMMER_XR_MANAGER_HPP
#define MOSSGLIMMER_XR_MANAGER_HPP

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

private:
	// What this manager stored in Globals, forgotten when it goes.
	uint64_t stored_origin_id = 0;
	uint64_t stored_camera_id = 0;
	uint64_t stored_controller_ids[2] = { 0, 0 };
	bool bad_rate_reported = false;
	// Instance ids of the children whose visibility saved_visibility holds, entry for entry.
	std::vector<uint64_t> saved_ids;
	// From the start of hiding the world until it is all restored: what a
	// manager freed meanwhile puts back.
	bool world_hidden = false;
	// Counts the switches begun, so that one cut short by a script that
	// switched again inside it stops where it is.
	uint32_t switch_generation = 0;
	// Set by the destructor, whose calls can run scripts that reach the
	// handlers of this manager: no greeting starts then.
	bool leaving = false;
	// Compared with every button and float event: made once, not per event.
	String ax_button_name;
	String by_button_name;
	String grip_name;

	Player *get_player();
	Timer *get_audio_fade_timer();
	Object *get_welcome_sequence();
	Object *get_welcome_back_sequence();
	void end_greetings_without_hud();
	void save_world(Node *p_scene);
	void restore_world(Node *p_scene, uint64_t p_self_id, uint32_t p_generation);
	void put_world_back();
	void forget_scene_state();
	void recenter();
	void pace_frames(float p_rate);
};

} // namespace godot

#endif // MOSSGLIMMER_XR_MANAGER_HPP
