#include "player.hpp"

#include "fingers.hpp"
#include "globals.hpp"

#include <godot_cpp/classes/collision_shape3d.hpp>
#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/classes/physics_direct_body_state3d.hpp>
#include <godot_cpp/classes/reg_ex_match.hpp>
#include <godot_cpp/classes/shape3d.hpp>
#include <godot_cpp/classes/static_body3d.hpp>
#include <godot_cpp/classes/xr_camera3d.hpp>
#include <godot_cpp/classes/xr_controller3d.hpp>
#include <godot_cpp/classes/xr_pose.hpp>
#include <godot_cpp/classes/xr_positional_tracker.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <ctime>
#include <utility>

namespace godot {

namespace {

const char *const COLLIDER_NAME_PATTERN = "^(hand|thumb|index|middle|ring|pinky)(_\\d\\d)?_(l|r)(_outer|_held_object)?_collider$";

const float STICK_DEAD_ZONE = 0.5f;
const float ROLL_LEAN_DEAD_ZONE = 0.06f;
const float PITCH_LEAN_DEAD_ZONE = 0.075f;
const float ROLL_LEAN_GAIN = 5.0f;
const float PITCH_LEAN_GAIN = -5.0f;
const float HEAD_REACH = 100.0f;

const float FINGER_APPROACH_RATE = 10.0f;
const float FINGERS_PER_HAND = 5.0f;
const double GRAB_THRESHOLD = 0.3;
const double RELEASE_THRESHOLD = 0.3;
const uint32_t THUMB_BITS = 0x3F000000;
const uint32_t FINGER_BITS = 0x00FFFFFF;
const uint32_t PALM_LIMIT = 0x3FFFFFFF;
const uint32_t RIGHT_THUMB_LIMIT = 0x07FFFFFF;

const float PUSH_SCALE = 1000.0f;
const float HELD_PUSH_PLAYER_SHARE = 0.25f;
const float REST_SPEED = 0.01f;
const float PUSH_OFF_MIN_SPEED = 0.5f;
const float PUSH_OFF_SCALE = 2.35f;
// A body's origin this far from where a hand touches it is no contact a hand
// makes: pushed there, the lever alone would spin it without bound.
const float PUSH_REACH = 100.0f;
// No hand moves a body this much faster in one push: a larger one comes from a
// mass or pose that a script made absurd, and would carry the body past what
// the engine can integrate.
const float MAX_PUSH_SPEED_CHANGE = 1000.0f;

// Entries that lost all touch this long ago go at the next cleanup tick.
const int64_t CLEANUP_AGE_SECONDS = 472;

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

bool is_finite(const Vector3 &p_value) {
	return std::isfinite(p_value.x) && std::isfinite(p_value.y) && std::isfinite(p_value.z);
}

int64_t wall_clock_seconds() {
	return (int64_t)std::time(nullptr);
}

// A blend amount read back from the tree that a single-precision step can use.
bool is_blend_value(double p_value) {
	return std::isfinite(p_value) && std::fabs(p_value) <= (double)FLT_MAX;
}

// Gives a released body back its processing (also when the player that held
// it is gone).
void resume_body(uint64_t p_object_id) {
	RigidBody3D *object = live<RigidBody3D>(p_object_id);
	if (!object) {
		return;
	}
	object->set_process_mode(Node::PROCESS_MODE_INHERIT);
	object = live<RigidBody3D>(p_object_id);
	if (object) {
		object->set_process(true);
		object->set_physics_process(true);
	}
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

Player::~Player() {}

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

	cleanup_timer = memnew(Timer);
	cleanup_timer->set_autostart(true);
	cleanup_timer->set_wait_time(60.0);
	cleanup_timer->set_one_shot(false);
	cleanup_timer->connect("timeout", Callable(this, "_on_cleanup_timer_timeout"), 0);
	add_child(cleanup_timer);
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
// the first in place: a greeting waits for their buttons.
void Player::store_hand_controllers() {
	const char *names[2] = { "XRController3DLeft", "XRController3DRight" };
	bool another_player = false;
	for (int h = 0; h < 2; h++) {
		XRController3D *controller = find_partner<XRController3D>(this, names[h], "XRController3D");
		Node *stored = live<Node>(Globals::hand_controller_ids[h]);
		if (stored && stored != controller && !is_ancestor_of(stored)) {
			another_player = true;
			continue;
		}
		Globals::set_hand_controller(h, controller);
	}
	if (another_player) {
		ERR_PRINT(vformat("Player: \"%s\" is a second player; the first player's controllers stay in use.", String(get_name())));
	}
}

void Player::_on_player_exiting() {
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

// ---------------------------------------------------------------------------
// Hand contacts

uint32_t Player::touch_bit(const String &p_part, int64_t p_segment, const String &p_side) {
	bool left = p_side == "l";
	if (p_part == "hand") {
		return left ? 0x80000000u : 0x40000000u;
	}
	if (p_part == "thumb") {
		bool tip = p_segment == 2 || p_segment == 3;
		if (left) {
			return tip ? 0x10000000u : 0x20000000u;
		}
		return tip ? 0x02000000u : 0x04000000u;
	}
	int rank;
	if (p_part == "pinky") {
		rank = 0;
	} else if (p_part == "ring") {
		rank = 1;
	} else if (p_part == "middle") {
		rank = 2;
	} else if (p_part == "index") {
		rank = 3;
	} else {
		return 0;
	}
	if (p_segment < 1 || p_segment > 3) {
		return 0;
	}
	int bit = (left ? 12 : 0) + 3 * rank + (3 - (int)p_segment);
	return 1u << bit;
}

Player::HandShapeInfo Player::describe_hand_shape(const StringName &p_name) const {
	HandShapeInfo info;
	info.name = p_name;
	String name = p_name;
	info.held_object = name.match(held_object_pattern);
	Ref<RegExMatch> match = collider_name_regex->search(name);
	if (match.is_null()) {
		return info;
	}
	info.follows_rule = true;
	String segment = match->get_string(2);
	String side = match->get_string(3);
	info.touch_bit = touch_bit(match->get_string(1), segment.is_empty() ? 0 : segment.substr(1).to_int(), side);
	info.outer = match->get_string(4) == "_outer";
	info.hand = side == "l" ? 0 : 1;
	return info;
}

void Player::refresh_hand_shape(HandShapeInfo &r_info, const StringName &p_name) const {
	r_info = describe_hand_shape(p_name);
	if (!collider_name_regex->is_valid()) {
		// Not compiled yet (the editor, or before the player is ready): ask again next time.
		r_info.name = StringName();
	}
}

const Player::HandShapeInfo &Player::hand_shape_info(Node *p_shape) {
	uint64_t id = p_shape->get_instance_id();
	auto found = hand_shapes.find(id);
	if (found == hand_shapes.end()) {
		found = hand_shapes.emplace(id, HandShapeInfo()).first;
		watch_hand_shape(p_shape, id);
	}
	HandShapeInfo &info = found->second;
	StringName name = p_shape->get_name();
	if (info.name != name) {
		refresh_hand_shape(info, name);
	}
	return info;
}

// A shape that leaves or changes its name takes its touch bits along: the
// engine reports no exit for a shape that is gone, and an exit after a
// removal may carry the index of another shape.
void Player::watch_hand_shape(Node *p_shape, uint64_t p_id) {
	p_shape->connect("tree_exiting", Callable(this, "_on_hand_shape_exiting").bind(p_id), 0);
	p_shape->connect("renamed", Callable(this, "_on_hand_shape_renamed").bind(p_id), 0);
}

void Player::unwatch_hand_shape(uint64_t p_id) {
	Node *shape = live<Node>(p_id);
	if (!shape) {
		return;
	}
	Callable exiting = Callable(this, "_on_hand_shape_exiting").bind(p_id);
	if (shape->is_connected("tree_exiting", exiting)) {
		shape->disconnect("tree_exiting", exiting);
	}
	Callable renamed = Callable(this, "_on_hand_shape_renamed").bind(p_id);
	if (shape->is_connected("renamed", renamed)) {
		shape->disconnect("renamed", renamed);
	}
}

// Clears the shape's bit from every entry, also where another shape of the
// same hand part set it: that shape's next contact event sets it again.
void Player::forget_touches_of(const HandShapeInfo &p_info) {
	if (!p_info.follows_rule || p_info.touch_bit == 0) {
		return;
	}
	for (int64_t k = 0; k < touching_objects.size(); k++) {
		HandTouchingObject &e = touching_objects.write[k];
		uint32_t &mask = p_info.outer ? e.outer_mask : e.touch_mask;
		if (mask & p_info.touch_bit) {
			mask &= ~p_info.touch_bit;
			stamp_untouched(e);
		}
	}
}

void Player::_on_hand_shape_exiting(uint64_t p_shape_id) {
	auto found = hand_shapes.find(p_shape_id);
	if (found != hand_shapes.end()) {
		forget_touches_of(found->second);
		hand_shapes.erase(found);
	}
	// Described again, and watched again, if it comes back.
	unwatch_hand_shape(p_shape_id);
}

void Player::_on_hand_shape_renamed(uint64_t p_shape_id) {
	auto found = hand_shapes.find(p_shape_id);
	if (found == hand_shapes.end()) {
		return;
	}
	forget_touches_of(found->second);
	Node *shape = live<Node>(p_shape_id);
	if (shape) {
		refresh_hand_shape(found->second, shape->get_name());
	}
}

// Stamps an entry when its last touch ends; a touch clears the stamp.
void Player::stamp_untouched(HandTouchingObject &r_entry) {
	if (r_entry.touch_mask == 0 && r_entry.outer_mask == 0) {
		if (r_entry.touched_at == 0) {
			r_entry.touched_at = wall_clock_seconds();
		}
	} else {
		r_entry.touched_at = 0;
	}
}

int64_t Player::find_touching_object(uint64_t p_id) {
	int64_t position = touching_index.find(p_id);
	if (position < 0) {
		return -1;
	}
	if (position < touching_objects.size() && touching_objects[position].object_id == p_id) {
		return position;
	}
	// The list was changed behind the index's back: rebuild it.
	touching_index.clear();
	reindex_touching_objects(0);
	return touching_index.find(p_id);
}

void Player::reindex_touching_objects(int64_t p_from) {
	for (int64_t k = p_from; k < touching_objects.size(); k++) {
		touching_index.set(touching_objects[k].object_id, k);
	}
}

void Player::remove_touching_object(int64_t p_position) {
	touching_index.erase(touching_objects[p_position].object_id);
	touching_objects.remove_at(p_position);
	reindex_touching_objects(p_position);
}

// One pass that keeps the order of the entries it keeps, so that freeing many
// touched bodies at once costs no more than looking at each entry.
void Player::drop_touching_objects(int64_t p_untouched_before) {
	int64_t kept = 0;
	for (int64_t k = 0; k < touching_objects.size(); k++) {
		const HandTouchingObject &e = touching_objects[k];
		bool stale = e.touched_at != 0 && e.touched_at < p_untouched_before;
		if (stale || !still_exists(e.object_id)) {
			touching_index.erase(e.object_id);
			continue;
		}
		if (kept != k) {
			touching_objects.write[kept] = e;
			touching_index.set(e.object_id, kept);
		}
		kept++;
	}
	if (kept != touching_objects.size()) {
		touching_objects.resize(kept);
	}
}

bool Player::is_own_node(Node *p_node) const {
	return p_node == this || is_ancestor_of(p_node);
}

void Player::_handle_hand_collision(RID, Node *p_body, uint32_t, uint32_t p_local_shape_index, bool p_touching) {
	RigidBody3D *body = Object::cast_to<RigidBody3D>(p_body);
	// The player's own bodies are never something its hands take hold of.
	if (!body || is_own_node(body)) {
		return;
	}
	uint32_t owner = shape_find_owner((int32_t)p_local_shape_index);
	CollisionShape3D *shape = Object::cast_to<CollisionShape3D>(shape_owner_get_owner(owner));
	if (!shape) {
		return;
	}
	const HandShapeInfo &info = hand_shape_info(shape);
	if (!info.follows_rule || info.touch_bit == 0) {
		// A finger shape without a segment of 01 to 03 stands for no hand part.
		return;
	}
	uint32_t bit = info.touch_bit;

	uint64_t body_id = body->get_instance_id();
	int64_t entry = find_touching_object(body_id);
	if (entry < 0) {
		HandTouchingObject added;
		added.object = body;
		added.object_id = body_id;
		touching_objects.push_back(added);
		entry = touching_objects.size() - 1;
		touching_index.set(body_id, entry);
	}
	HandTouchingObject &e = touching_objects.write[entry];
	if (p_touching) {
		if (info.outer) {
			e.outer_mask |= bit;
		} else if (!(e.outer_mask & bit)) {
			e.touch_mask |= bit;
		}
	} else if (info.outer) {
		e.outer_mask &= ~bit;
	} else {
		e.touch_mask &= ~bit;
	}
	stamp_untouched(e);
}

void Player::_on_cleanup_timer_timeout() {
	drop_touching_objects(wall_clock_seconds() - CLEANUP_AGE_SECONDS);
	// Shapes that are gone leave nothing behind.
	for (auto it = hand_shapes.begin(); it != hand_shapes.end();) {
		it = still_exists(it->first) ? std::next(it) : hand_shapes.erase(it);
	}
}

void Player::_on_release_item_timeout(Node3D *p_object, Timer *p_timer) {
	if (p_object) {
		p_object->set_physics_process(true);
	}
	if (p_timer) {
		p_timer->queue_free();
	}
}

// ---------------------------------------------------------------------------
// Fingers, grabbing and releasing

void Player::_process(double p_delta) {
	// Scripts that run inside the calls below may free the player.
	const uint64_t self_id = get_instance_id();
	// A frame that is no number, or runs backwards, moves no finger. One
	// longer than a step's worth (a runtime throttling a session it doesn't
	// show) reaches the target instead of passing it.
	const bool moves = std::isfinite(p_delta) && p_delta >= 0.0;
	const bool reaches = moves && p_delta > 1.0 / FINGER_APPROACH_RATE;
	const float step = moves && !reaches ? (float)p_delta * FINGER_APPROACH_RATE : 0.0f;
	AnimationTree *tree = get_animation_tree();
	for (int h = 0; h < 2; h++) {
		float sum = 0.0f;
		for (int f = 0; f < 5; f++) {
			float target = finger_targets[h][f];
			if (tree) {
				const StringName &parameter = finger_parameters[h][f];
				double current = tree->get(parameter);
				bool wrote = true;
				if (!is_blend_value(current)) {
					// Another writer left no number: start again from the target.
					tree->set(parameter, target);
				} else if (moves && !((float)current == target)) {
					tree->set(parameter, reaches ? target : (float)current + step * (target - (float)current));
				} else {
					wrote = false;
				}
				if (wrote) {
					if (!still_exists(self_id)) {
						return;
					}
					tree = get_animation_tree();
				}
			}
			sum += target;
		}
		hand_closure[h] = sum / FINGERS_PER_HAND;
	}

	// A held object that was freed is dropped before anything reads it.
	for (int h = 0; h < 2; h++) {
		if (held_objects[h].object && !still_exists(held_objects[h].object_id) && !release(h, false)) {
			return;
		}
	}

	// Entries of freed bodies go first, in one pass.
	drop_touching_objects(INT64_MIN);

	int64_t k = 0;
	while (k < touching_objects.size()) {
		const HandTouchingObject &e = touching_objects[k];
		uint32_t thumbs = e.touch_mask & THUMB_BITS;
		if (thumbs == 0 || (e.touch_mask & FINGER_BITS) == 0 || e.outer_mask > PALM_LIMIT) {
			k++;
			continue;
		}
		int h = thumbs <= RIGHT_THUMB_LIMIT ? 1 : 0;
		Transform3D offset;
		if (!held_objects[h].object && (double)hand_closure[h] >= GRAB_THRESHOLD && may_grab(h, e) && grab_offset(h, e.object, offset)) {
			RigidBody3D *object = e.object;
			remove_touching_object(k);
			// A grab runs scripts that may free other bodies (their entries
			// are checked as the scan reaches them) or the player.
			if (!grab(h, object, offset)) {
				return;
			}
		} else {
			k++;
		}
	}

	for (int h = 0; h < 2; h++) {
		if (held_objects[h].object && (double)hand_closure[h] < RELEASE_THRESHOLD && !release(h, false)) {
			return;
		}
	}
}

// A body the other hand holds stays with it (its mass counts once), and the
// player never takes hold of itself or of a node of its own.
bool Player::may_grab(int p_hand, const HandTouchingObject &p_entry) const {
	if (!still_exists(p_entry.object_id) || held_objects[1 - p_hand].object_id == p_entry.object_id) {
		return false;
	}
	return !is_own_node(p_entry.object);
}

// The body's pose relative to the hand's bone attachment, for a grab; none
// while either is out of the tree or has a pose that is no number.
bool Player::grab_offset(int p_hand, RigidBody3D *p_object, Transform3D &r_offset) {
	BoneAttachment3D *attachment = get_hand_attachment(p_hand);
	if (!attachment || !attachment->is_inside_tree() || !p_object->is_inside_tree()) {
		return false;
	}
	r_offset = attachment->get_global_transform().inverse() * p_object->get_global_transform();
	if (!r_offset.is_finite()) {
		report_bad_pose();
		return false;
	}
	return true;
}

void Player::report_bad_pose() {
	if (!bad_pose_reported) {
		bad_pose_reported = true;
		ERR_PRINT("Player: a hand or a body has a pose that is not a finite number: it is not grabbed or moved by the hand.");
	}
}

// A mass that is no finite positive number, or that would make the player's
// so, adds nothing.
float Player::mass_to_add(float p_mass) {
	if (std::isfinite(p_mass) && p_mass > 0.0f && std::isfinite(get_mass() + p_mass)) {
		return p_mass;
	}
	if (!bad_mass_reported) {
		bad_mass_reported = true;
		ERR_PRINT("Player: a grabbed body's mass is not a finite positive number: it adds nothing to the player's.");
	}
	return 0.0f;
}

// Adds what hand p_hand's grab adds. The player's own mass is noted first,
// unless holding set the mass as it reads now.
void Player::add_held_mass(int p_hand) {
	const HeldObject &held = held_objects[p_hand];
	const HeldObject &other = held_objects[1 - p_hand];
	float mass = get_mass();
	if (!other.object || mass != mass_with_held) {
		mass_without_held = other.object ? mass - other.added_mass : mass;
	}
	mass_with_held = mass + held.added_mass;
	if (held.added_mass != 0.0f) {
		set_mass(mass_with_held);
	}
}

// Takes off what the grab added, whatever the body weighs now. While nobody
// else changed the mass, it goes back to the player's own plus what the other
// hand holds, so that a huge mass swallowing the player's in single
// precision takes nothing with it.
void Player::give_back_mass(int p_hand, const HeldObject &p_held) {
	if (p_held.added_mass == 0.0f) {
		return;
	}
	const HeldObject &other = held_objects[1 - p_hand];
	float kept = mass_without_held + (other.object ? other.added_mass : 0.0f);
	float mass = get_mass();
	float result = mass == mass_with_held ? kept : mass - p_held.added_mass;
	if (!(std::isfinite(result) && result > 0.0f)) {
		result = kept;
	}
	if (std::isfinite(result) && result > 0.0f) {
		mass_with_held = result;
		set_mass(result);
	}
}

// Takes hold of the body. False when a script run by the grab freed the
// player; a grab whose body or attachment a script freed is undone.
bool Player::grab(int p_hand, RigidBody3D *p_object, const Transform3D &p_offset) {
	const uint64_t self_id = get_instance_id();
	const uint64_t object_id = p_object->get_instance_id();
	const uint64_t attachment_id = hand_attachment_ids[p_hand];
	HeldObject &held = held_objects[p_hand];
	held.object = p_object;
	held.object_id = object_id;
	held.offset_transform = p_offset;
	held.added_mass = mass_to_add(p_object->get_mass());
	add_held_mass(p_hand);

	// After each call that can run a script: is the grab still on?
	bool player_freed = false;
	auto goes_on = [&]() {
		if (!still_exists(self_id)) {
			player_freed = true;
			return false;
		}
		if (held_objects[p_hand].object_id != object_id) {
			return false; // already let go from inside the call
		}
		if (still_exists(object_id) && still_exists(attachment_id)) {
			return true;
		}
		player_freed = !release(p_hand, false);
		return false;
	};

	p_object->set_disable_mode(CollisionObject3D::DISABLE_MODE_REMOVE);
	if (!goes_on()) {
		return !player_freed;
	}
	p_object->set_process_mode(Node::PROCESS_MODE_DISABLED);
	if (!goes_on()) {
		return !player_freed;
	}
	p_object->set_process(false);
	p_object->set_physics_process(false);

	for (uint64_t child_id : child_ids(p_object)) {
		if (!goes_on()) {
			return !player_freed;
		}
		Node3D *child = live<Node3D>(child_id);
		if (!child || child->get_parent() != p_object) {
			continue; // grabbable bodies carry 3-D nodes only; or a script took it
		}
		if (child->get_class() == "CollisionShape3D") {
			Ref<Shape3D> shape = Object::cast_to<CollisionShape3D>(child)->get_shape();
			BoneColliderIK *collider = memnew(BoneColliderIK);
			// Named before it enters the tree, so that it finds the hand's attachment.
			collider->set_name(String(child->get_name()) + held_copy_suffixes[p_hand]);
			uint64_t collider_id = collider->get_instance_id();
			held.colliders.push_back(collider);
			held.collider_ids.push_back(collider_id);
			add_child(collider);
			if (!goes_on()) {
				return !player_freed;
			}
			collider = live<BoneColliderIK>(collider_id);
			if (!collider) {
				continue;
			}
			collider->set_owner(get_owner());
			collider->set_mass(held.added_mass);
			collider->set_shape(shape);
			collider->set_offset_transform(held.offset_transform);
			// At the hand from the start: placed at the player's origin until its
			// first frame, its first samples would make a still hand fling things.
			collider->follow_attachment();
		} else {
			BoneAttachment3D *attachment = live<BoneAttachment3D>(attachment_id);
			held.moved_child_ids.push_back(child_id);
			child->reparent(attachment, child->is_inside_tree() && attachment->is_inside_tree());
		}
	}
	return goes_on() || !player_freed;
}

// The hand lets go: the body goes where the hand carried it and gets back
// the children on the hand and its processing; the copies go and the mass
// comes off. For a body that was freed, the copies and the children it left
// on the hand go. The hand is empty from the start, so a script run from
// here finds nothing to let go again; every node is looked up again after
// each call that can run one. Inside the engine's tree callbacks the
// player's children can't be removed: the copies are switched off and
// queued instead. False when the player was freed on the way.
bool Player::release(int p_hand, bool p_in_tree_callback) {
	const uint64_t self_id = get_instance_id();
	HeldObject held;
	std::swap(held, held_objects[p_hand]);
	const uint64_t object_id = held.object_id;
	const uint64_t attachment_id = hand_attachment_ids[p_hand];

	RigidBody3D *object = live<RigidBody3D>(object_id);
	BoneAttachment3D *attachment = live<BoneAttachment3D>(attachment_id);
	if (object && attachment && object->is_inside_tree() && attachment->is_inside_tree()) {
		Transform3D pose = attachment->get_global_transform() * held.offset_transform;
		if (pose.is_finite()) {
			object->set_global_transform(pose);
		} else {
			report_bad_pose(); // it stays where it is
		}
	}

	if (live<RigidBody3D>(object_id) && live<BoneAttachment3D>(attachment_id)) {
		for (uint64_t child_id : child_ids(live<BoneAttachment3D>(attachment_id))) {
			Node3D *child = live<Node3D>(child_id);
			attachment = live<BoneAttachment3D>(attachment_id);
			object = live<RigidBody3D>(object_id);
			if (!attachment || !object) {
				break;
			}
			if (!child || child->get_parent() != attachment) {
				continue;
			}
			child->reparent(object, child->is_inside_tree() && object->is_inside_tree());
			child = live<Node3D>(child_id);
			if (child) {
				child->set_transform(Transform3D());
			}
		}
	}

	for (int64_t i = 0; i < held.collider_ids.size(); i++) {
		uint64_t id = held.collider_ids[i];
		if (still_exists(self_id)) {
			hand_shapes.erase(id);
		}
		BoneColliderIK *copy = live<BoneColliderIK>(id);
		if (copy && copy->get_parent() && !p_in_tree_callback) {
			copy->get_parent()->remove_child(copy);
			copy = live<BoneColliderIK>(id);
		} else if (copy) {
			copy->set_disabled(true);
		}
		if (copy) {
			copy->queue_free();
		}
	}

	if (!live<RigidBody3D>(object_id)) {
		// Its children on the hand have nothing to go back to.
		attachment = live<BoneAttachment3D>(attachment_id);
		for (int64_t i = 0; i < held.moved_child_ids.size(); i++) {
			Node *child = live<Node>(held.moved_child_ids[i]);
			if (child && child->get_parent() == attachment) {
				child->queue_free();
			}
		}
	}

	bool player_alive = still_exists(self_id);
	if (player_alive) {
		give_back_mass(p_hand, held);
	}
	resume_body(object_id);
	return player_alive && still_exists(self_id);
}

// ---------------------------------------------------------------------------
// Pushing objects and pushing off walls

// A runtime may report any hand velocity, and a scene any mass: an impulse
// that is no number would poison a body for the rest of the session.
void Player::push_player(const Vector3 &p_impulse) {
	if (!is_finite(p_impulse)) {
		report_bad_push();
		return;
	}
	apply_impulse(p_impulse, Vector3());
}

void Player::push_body(RigidBody3D *p_body, const Vector3 &p_impulse, const Vector3 &p_position) {
	if (!is_finite(p_impulse) || !is_finite(p_position) || p_position.length() > PUSH_REACH) {
		report_bad_push();
		return;
	}
	// Written so that a mass that is no number fails too.
	const float mass = p_body->get_mass();
	if (!(p_impulse.length() <= MAX_PUSH_SPEED_CHANGE * mass)) {
		report_bad_push();
		return;
	}
	p_body->apply_impulse(p_impulse, p_position);
}

void Player::report_bad_push() {
	if (!bad_push_reported) {
		bad_push_reported = true;
		ERR_PRINT("Player: a push that is not a finite number, not within reach, or beyond any hand's strength was left out.");
	}
}

void Player::_integrate_forces(PhysicsDirectBodyState3D *p_state) {
	ERR_FAIL_NULL(p_state);
	float step = p_state->get_step();
	// The mean of the wall normals needs only their sum and count.
	Vector3 wall_normal_sum;
	int32_t wall_normal_count = 0;
	bool left_wall = false;
	bool right_wall = false;

	for (int32_t i = 0; i < p_state->get_contact_count(); i++) {
		uint32_t owner = shape_find_owner(p_state->get_contact_local_shape(i));
		BoneColliderIK *hand = Object::cast_to<BoneColliderIK>(shape_owner_get_owner(owner));
		if (!hand) {
			continue;
		}
		Object *collider = p_state->get_contact_collider_object(i);
		if (!collider) {
			return;
		}
		if (RigidBody3D *body = Object::cast_to<RigidBody3D>(collider)) {
			if (body->get_process_mode() == Node::PROCESS_MODE_DISABLED) {
				return; // a held object
			}
			Vector3 normal = p_state->get_contact_local_normal(i);
			Vector3 point = p_state->get_contact_local_position(i);
			Vector3 position = body->get_global_position() - point;
			Vector3 v = hand->get_velocity();
			float d = normal.x * v.x + normal.y * v.y + normal.z * v.z;
			if (d < 0) {
				bool held = hand_shape_info(hand).held_object;
				float k = held ? hand->get_mass() + HELD_PUSH_PLAYER_SHARE * get_mass() : 1.0f;
				push_body(body, normal * d * step * PUSH_SCALE * k, position);
			}
		} else if (Object::cast_to<StaticBody3D>(collider)) {
			const HandShapeInfo &info = hand_shape_info(hand);
			if (!info.follows_rule) {
				continue;
			}
			if (info.hand == 0) {
				left_wall = true;
			} else {
				right_wall = true;
			}
			wall_normal_sum += p_state->get_contact_local_normal(i);
			wall_normal_count++;
		}
	}

	if (wall_normal_count == 0) {
		return;
	}
	Vector3 mean_normal = wall_normal_sum / (float)wall_normal_count;

	Vector3 velocity = get_linear_velocity();
	if (velocity.length() < REST_SPEED) {
		set_linear_velocity(Vector3());
	} else if (mean_normal.dot(velocity) < 0) {
		push_player(-velocity * get_mass() * step);
	}

	Basis basis = get_global_basis();
	bool on_wall[2] = { left_wall, right_wall };
	for (int h = 0; h < 2; h++) {
		if (!on_wall[h]) {
			continue;
		}
		// A hand without a tracker or a "default" pose gives no push-off.
		if ((size_t)h >= Globals::pos_trackers.size() || Globals::pos_trackers[(size_t)h].is_null()) {
			continue;
		}
		Ref<XRPose> pose = Globals::pos_trackers[(size_t)h]->get_pose(default_pose_name);
		if (pose.is_null()) {
			continue;
		}
		Vector3 hv = pose->get_linear_velocity();
		Vector3 g = basis.xform(Vector3(hv.x, -hv.y, hv.z));
		if (mean_normal.dot(g) > 0 && g.length() > PUSH_OFF_MIN_SPEED) {
			float divisor = 1.0f + (on_wall[1 - h] ? 1.0f : 0.0f);
			push_player(g * get_mass() * PUSH_OFF_SCALE * step / divisor);
		}
	}
}

} // namespace godot
