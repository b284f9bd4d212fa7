// The player's set-up, its controller input and its flight (sticks and lean).
// Touch tracking, grabbing and pushing live in player_touch.cpp,
// player_grab.cpp and player_push.cpp.

#include "player.hpp"

#include "fingers.hpp"
#include "globals.hpp"
#include "library_timer.hpp"

#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/classes/xr_camera3d.hpp>
#include <godot_cpp/classes/xr_controller3d.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace godot {

namespace {

const char *const COLLIDER_NAME_PATTERN = "^(hand|thumb|index|middle|ring|pinky)(_\\d\\d)?_(l|r)(_outer|_held_object)?_collider$";

const float STICK_DEAD_ZONE = 0.5f;
const float ROLL_LEAN_DEAD_ZONE = 0.06f;
const float PITCH_LEAN_DEAD_ZONE = 0.075f;
const float ROLL_LEAN_GAIN = 5.0f;
const float PITCH_LEAN_GAIN = -5.0f;
const float HEAD_REACH = 100.0f;
const double CLEANUP_PERIOD = 60.0;

const char *const CONTROLLER_NAMES[2] = { "XRController3DLeft", "XRController3DRight" };

// Every player that became ready outside the editor, oldest first: the ones
// that a leaving player may hand the shared controllers to. Plain ids.
std::vector<uint64_t> player_ids;

const char *side_letter(int p_hand) {
	return p_hand == 0 ? "l" : "r";
}

// A controller value that is no number counts as nothing.
float finite_or_zero(float p_value) {
	return std::isfinite(p_value) ? p_value : 0.0f;
}

// A stick gives -1 to 1; anything else a runtime sends is brought into range.
float stick_value(float p_value) {
	return std::clamp(finite_or_zero(p_value), -1.0f, 1.0f);
}

// A stick input counts only beyond the dead zone.
float outside_dead_zone(float p_value) {
	float value = stick_value(p_value);
	return std::fabs(value) > STICK_DEAD_ZONE ? value : 0.0f;
}

// A head position beyond any play space is a runtime's fault, not a lean:
// turned into a rate it would spin the body without bound.
bool is_head_offset(float p_value) {
	return std::isfinite(p_value) && std::fabs(p_value) <= HEAD_REACH;
}

} // namespace

Player::Player() {
	collider_name_regex.instantiate();
	for (int h = 0; h < 2; h++) {
		for (int f = 0; f < 5; f++) {
			finger_parameters[h][f] = StringName(vformat("parameters/closed-%s-%s/blend_amount", String(FINGERS[(size_t)f].c_str()), String(side_letter(h))));
		}
	}
	default_pose_name = StringName("default");
	grip_input = "grip";
	grip_force_input = "grip_force";
	trigger_input = "trigger";
	primary_input = "primary";
	secondary_input = "secondary";
	held_object_pattern = "*_held_object*";
	for (int h = 0; h < 2; h++) {
		held_copy_suffixes[h] = vformat("__hand_%s_held_object_collider", String(side_letter(h)));
	}
}

Player::~Player() {
	player_ids.erase(std::remove(player_ids.begin(), player_ids.end(), get_instance_id()), player_ids.end());
}

void Player::_bind_methods() {
	ClassDB::bind_method(D_METHOD("_on_release_item_timeout", "p_object"), &Player::_on_release_item_timeout);
	ClassDB::bind_method(D_METHOD("_handle_hand_collision", "p_body_rid", "p_body", "p_body_shape_index", "p_local_shape_index", "p_touching"), &Player::_handle_hand_collision);
	ClassDB::bind_method(D_METHOD("_on_cleanup_timer_timeout"), &Player::_on_cleanup_timer_timeout);
	ClassDB::bind_method(D_METHOD("_on_hand_attachment_exiting", "p_hand"), &Player::_on_hand_attachment_exiting);
	ClassDB::bind_method(D_METHOD("_on_player_exiting"), &Player::_on_player_exiting);
	ClassDB::bind_method(D_METHOD("_on_hand_shape_exiting", "p_shape_id"), &Player::_on_hand_shape_exiting);
	ClassDB::bind_method(D_METHOD("_on_hand_shape_renamed", "p_shape_id"), &Player::_on_hand_shape_renamed);
}

// ---------------------------------------------------------------------------
// Set-up

namespace {

// The scene contract names every partner; a missing one is reported once
// here, and the player then works without it.
template <typename T>
T *find_partner(Node *p_below, const char *p_name, const char *p_class) {
	if (!p_below) {
		ERR_PRINT(vformat("Player: can't look for \"%s\": the node to search below is missing.", p_name));
		return nullptr;
	}
	T *found = Object::cast_to<T>(p_below->find_child(p_name, true, true));
	if (!found) {
		ERR_PRINT(vformat("Player: no %s named \"%s\" below \"%s\".", p_class, p_name, String(p_below->get_name())));
	}
	return found;
}

} // namespace

void Player::_ready() {
	if (Engine::get_singleton()->is_editor_hint()) {
		set_process(false);
		set_physics_process(false);
		return;
	}
	// Scripts that run inside the calls below may free the player.
	const uint64_t self_id = get_instance_id();
	player_ids.push_back(self_id);
	collider_name_regex->compile(COLLIDER_NAME_PATTERN);

	skeleton = find_partner<Skeleton3D>(this, "Skeleton3D", "Skeleton3D");
	const char *attachment_names[2] = { "hand_l_bone_attach", "hand_r_bone_attach" };
	for (int h = 0; h < 2; h++) {
		BoneAttachment3D *attachment = find_partner<BoneAttachment3D>(skeleton, attachment_names[h], "BoneAttachment3D");
		hand_attachments.push_back(attachment);
		hand_attachment_ids[h] = attachment ? attachment->get_instance_id() : 0;
		if (attachment) {
			// Whatever the hand holds goes back before its attachment (and the
			// held body's children on it) leave with the player.
			attachment->connect("tree_exiting", Callable(this, "_on_hand_attachment_exiting").bind(h), 0);
		}
	}

	store_hand_controllers();

	animation_player = find_partner<AnimationPlayer>(this, "AnimationPlayer", "AnimationPlayer");
	if (animation_player) {
		animation_player->play("legs-bent", -1.0, 1.0, false);
		if (!still_exists(self_id)) {
			return;
		}
	}
	animation_tree = find_partner<AnimationTree>(this, "AnimationTree", "AnimationTree");
	animation_tree_id = animation_tree ? animation_tree->get_instance_id() : 0;

	left_hand_ik = find_partner<SkeletonIK3D>(this, "LeftHandIK3D", "SkeletonIK3D");
	right_hand_ik = find_partner<SkeletonIK3D>(this, "RightHandIK3D", "SkeletonIK3D");
	head_ik = find_partner<SkeletonIK3D>(this, "HeadIK3D", "SkeletonIK3D");
	SkeletonIK3D *solvers[3] = { left_hand_ik, right_hand_ik, head_ik };
	for (SkeletonIK3D *solver : solvers) {
		if (solver) {
			solver->start(false);
		}
	}

	make_cleanup_timer();
	if (!still_exists(self_id)) {
		return;
	}

	set_can_sleep(false);
	set_contact_monitor(true);
	set_max_contacts_reported(2048);

	connect("body_shape_entered", Callable(this, "_handle_hand_collision").bind(true), 0);
	connect("body_shape_exited", Callable(this, "_handle_hand_collision").bind(false), 0);
	connect("tree_exiting", Callable(this, "_on_player_exiting"), 0);
}

// A second player (a sub-scene may bring its own) leaves the controllers of
// the first in place: a greeting waits for their buttons. The controllers
// of a player on its way out (out of the tree, or queued for deletion with
// its scene) count for nothing: the player in the tree takes over.
void Player::store_hand_controllers() {
	bool another_player = false;
	for (int h = 0; h < 2; h++) {
		XRController3D *controller = find_partner<XRController3D>(this, CONTROLLER_NAMES[h], "XRController3D");
		Node *stored = live<Node>(Globals::hand_controller_ids[h]);
		if (stored && stored != controller && !is_ancestor_of(stored) && stays_in_tree(stored)) {
			another_player = true;
			continue;
		}
		Globals::set_hand_controller(h, controller);
	}
	if (another_player) {
		ERR_PRINT(vformat("Player: \"%s\" is a second player; the first player's controllers stay in use.", String(get_name())));
	}
}

// A player that leaves hands the shared controllers over at once to a
// player that stays in the tree. With none, they stay: a player moved in two
// steps comes back with them. Runs no script.
void Player::hand_over_controllers() {
	bool ours = false;
	for (int h = 0; h < 2; h++) {
		Node *stored = live<Node>(Globals::hand_controller_ids[h]);
		ours = ours || (stored && is_ancestor_of(stored));
	}
	if (!ours) {
		return;
	}
	for (uint64_t id : player_ids) {
		Player *other = live<Player>(id);
		if (!other || other == this || is_ancestor_of(other) || !stays_in_tree(other)) {
			continue;
		}
		// Its own nodes, owned or not (one moved in two steps has lost its owner).
		for (int h = 0; h < 2; h++) {
			Globals::set_hand_controller(h, Object::cast_to<XRController3D>(other->find_child(CONTROLLER_NAMES[h], true, false)));
		}
		return;
	}
}

void Player::_on_player_exiting() {
	hand_over_controllers();
	// A player taken out of the tree or freed lets go first; normally its
	// hands' attachments, leaving before it, already did.
	for (int h = 0; h < 2; h++) {
		if (held_objects[h].object && !release(h, true)) {
			return; // freed by a script on the way
		}
	}
}

void Player::_on_hand_attachment_exiting(int p_hand) {
	ERR_FAIL_INDEX(p_hand, 2);
	if (held_objects[p_hand].object) {
		release(p_hand, true);
	}
}

// The repeating timer that drops the records of bodies long gone.
void Player::make_cleanup_timer() {
	Timer *timer = memnew(Timer);
	timer->set_autostart(true);
	timer->set_wait_time(CLEANUP_PERIOD);
	timer->set_one_shot(false);
	timer->connect("timeout", Callable(this, "_on_cleanup_timer_timeout"), 0);
	remember(cleanup_timer, cleanup_timer_id, timer);
	add_child(timer);
}

// A cleanup timer that a script stopped, paused, freed, queued for deletion
// or took out of the tree would never drop a record again: judged by its
// state, it runs again (a new one if it is leaving). Adding one can run
// scripts.
void Player::keep_cleanup_timer() {
	Timer *timer = live<Timer>(cleanup_timer_id);
	const bool stays = stays_in_tree(timer);
	if (stays && library_timer_runs(timer)) {
		return;
	}
	if (!cleanup_timer_reported) {
		cleanup_timer_reported = true;
		ERR_PRINT("Player: its cleanup timer was stopped, paused, freed or taken away: it runs again.");
	}
	if (stays) {
		keep_library_timer_running(timer, CLEANUP_PERIOD, false);
		return;
	}
	if (timer) {
		retire_library_timer(timer, Callable(this, "_on_cleanup_timer_timeout"));
	}
	make_cleanup_timer();
}

BoneAttachment3D *Player::get_hand_attachment(int p_hand) const {
	if (p_hand < 0 || p_hand > 1 || hand_attachments.size() <= p_hand || !still_exists(hand_attachment_ids[p_hand])) {
		return nullptr;
	}
	return hand_attachments[p_hand];
}

AnimationTree *Player::get_animation_tree() const {
	return still_exists(animation_tree_id) ? animation_tree : nullptr;
}

// ---------------------------------------------------------------------------
// Controller input

float *Player::get_finger_targets(int p_hand) {
	ERR_FAIL_INDEX_V_MSG(p_hand, 2, nullptr, "Player: controller event for a hand other than 0 (left) or 1 (right).");
	return finger_targets[p_hand];
}

void Player::_on_button_pressed(String, int) {}

void Player::_on_button_released(String, int) {}

void Player::_on_input_float_changed(String p_name, float p_value, int p_hand, bool use_grip_sensor) {
	p_value = finite_or_zero(p_value);
	if (use_grip_sensor) {
		if (p_name == grip_input) {
			float *t = get_finger_targets(p_hand);
			if (!t) {
				return;
			}
			t[2] = t[3] = t[4] = (float)((double)p_value * 0.7);
		} else if (p_name == grip_force_input) {
			float *t = get_finger_targets(p_hand);
			if (!t) {
				return;
			}
			float force = p_value * 3.0f;
			float closure = (float)((double)force * 0.3 + 0.7);
			if (closure > 1.0f) {
				closure = 1.0f;
			}
			t[2] = t[3] = t[4] = closure;
		} else if (p_name == trigger_input) {
			float *t = get_finger_targets(p_hand);
			if (!t) {
				return;
			}
			t[1] = p_value;
		}
	} else if (p_name == trigger_input) {
		float *t = get_finger_targets(p_hand);
		if (!t) {
			return;
		}
		for (int f = 0; f < 5; f++) {
			t[f] = p_value;
		}
	}
}

void Player::_on_input_vector2_changed(String p_name, Vector2 p_value, int p_hand, bool use_grip_sensor) {
	p_value = Vector2(stick_value(p_value.x), stick_value(p_value.y));
	if (p_name == primary_input) {
		if (p_hand == 0) {
			pitch_input = p_value.y;
			yaw_input = -p_value.x;
		} else {
			thrust_input = p_value.y;
			roll_input = p_value.x;
		}
	}
	if (use_grip_sensor && p_name == secondary_input) {
		float *t = get_finger_targets(p_hand);
		if (!t) {
			return;
		}
		t[0] = p_value.x == 0.0f ? 0.0f : 1.0f;
	}
}

void Player::_on_profile_changed(String, int) {}

// ---------------------------------------------------------------------------
// Flight

void Player::_physics_process(double) {
	const uint64_t self_id = get_instance_id();
	keep_cleanup_timer();
	if (!still_exists(self_id)) {
		return;
	}
	Basis basis = get_global_basis();

	float thrust = outside_dead_zone(thrust_input);
	set_constant_force(basis.xform(Vector3(0, 0, thrust * get_mass())));

	float roll = outside_dead_zone(roll_input);
	float yaw = outside_dead_zone(yaw_input);
	float pitch = outside_dead_zone(pitch_input);

	// Leaning replaces the stick's roll and pitch; without a camera only the
	// sticks steer.
	if (XRCamera3D *camera = Globals::get_xr_camera()) {
		Vector3 head = camera->get_position();
		if (is_head_offset(head.x) && std::fabs(head.x) > ROLL_LEAN_DEAD_ZONE) {
			roll = ROLL_LEAN_GAIN * (head.x > 0 ? head.x - ROLL_LEAN_DEAD_ZONE : head.x + ROLL_LEAN_DEAD_ZONE);
		}
		if (is_head_offset(head.z) && std::fabs(head.z) > PITCH_LEAN_DEAD_ZONE) {
			pitch = PITCH_LEAN_GAIN * (head.z > 0 ? head.z - PITCH_LEAN_DEAD_ZONE : head.z + PITCH_LEAN_DEAD_ZONE);
		}
	}

	set_angular_velocity(basis.xform(Vector3(pitch, yaw, roll)));
}

} // namespace godot
