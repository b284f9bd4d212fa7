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
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <algorithm>
#include <cmath>
#include <ctime>

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

bool is_alive(uint64_t p_id) {
	return p_id != 0 && ObjectDB::get_instance(p_id) != nullptr;
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
		held_copy_patterns[h] = vformat("*hand_%s_held_object_collider", String(side_letter(h)));
	}
}

Player::~Player() {}

void Player::_bind_methods() {
	ClassDB::bind_method(D_METHOD("_on_release_item_timeout", "p_object"), &Player::_on_release_item_timeout);
	ClassDB::bind_method(D_METHOD("_handle_hand_collision", "p_body_rid", "p_body", "p_body_shape_index", "p_local_shape_index", "p_touching"), &Player::_handle_hand_collision);
	ClassDB::bind_method(D_METHOD("_on_cleanup_timer_timeout"), &Player::_on_cleanup_timer_timeout);
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
	collider_name_regex->compile(COLLIDER_NAME_PATTERN);

	skeleton = find_partner<Skeleton3D>(this, "Skeleton3D", "Skeleton3D");
	const char *attachment_names[2] = { "hand_l_bone_attach", "hand_r_bone_attach" };
	for (int h = 0; h < 2; h++) {
		BoneAttachment3D *attachment = find_partner<BoneAttachment3D>(skeleton, attachment_names[h], "BoneAttachment3D");
		hand_attachments.push_back(attachment);
		hand_attachment_ids[h] = attachment ? attachment->get_instance_id() : 0;
	}

	Globals::set_hand_controller(0, find_partner<XRController3D>(this, "XRController3DLeft", "XRController3D"));
	Globals::set_hand_controller(1, find_partner<XRController3D>(this, "XRController3DRight", "XRController3D"));

	animation_player = find_partner<AnimationPlayer>(this, "AnimationPlayer", "AnimationPlayer");
	if (animation_player) {
		animation_player->play("legs-bent", -1.0, 1.0, false);
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

	set_can_sleep(false);
	set_contact_monitor(true);
	set_max_contacts_reported(2048);

	connect("body_shape_entered", Callable(this, "_handle_hand_collision").bind(true), 0);
	connect("body_shape_exited", Callable(this, "_handle_hand_collision").bind(false), 0);
}

BoneAttachment3D *Player::get_hand_attachment(int p_hand) const {
	if (p_hand < 0 || p_hand > 1 || hand_attachments.size() <= p_hand || !is_alive(hand_attachment_ids[p_hand])) {
		return nullptr;
	}
	return hand_attachments[p_hand];
}

AnimationTree *Player::get_animation_tree() const {
	return is_alive(animation_tree_id) ? animation_tree : nullptr;
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

const Player::HandShapeInfo &Player::hand_shape_info(Node *p_shape) {
	HandShapeInfo &info = hand_shapes[p_shape->get_instance_id()];
	StringName name = p_shape->get_name();
	if (info.name != name) {
		info = describe_hand_shape(name);
		if (!collider_name_regex->is_valid()) {
			// Not compiled yet (the editor, or before the player is ready): ask again next time.
			info.name = StringName();
		}
	}
	return info;
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
		if (stale || !is_alive(e.object_id)) {
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

	if (e.touch_mask == 0 && e.outer_mask == 0) {
		if (e.touched_at == 0) {
			e.touched_at = wall_clock_seconds();
		}
	} else {
		e.touched_at = 0;
	}
}

void Player::_on_cleanup_timer_timeout() {
	drop_touching_objects(wall_clock_seconds() - CLEANUP_AGE_SECONDS);
	// Shapes that are gone leave nothing behind.
	for (auto it = hand_shapes.begin(); it != hand_shapes.end();) {
		it = is_alive(it->first) ? std::next(it) : hand_shapes.erase(it);
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
	AnimationTree *tree = get_animation_tree();
	float step = (float)p_delta * FINGER_APPROACH_RATE;
	for (int h = 0; h < 2; h++) {
		float sum = 0.0f;
		for (int f = 0; f < 5; f++) {
			float target = finger_targets[h][f];
			if (tree) {
				float current = (float)tree->get(finger_parameters[h][f]);
				if (!(current == target)) {
					tree->set(finger_parameters[h][f], current + step * (target - current));
				}
			}
			sum += target;
		}
		hand_closure[h] = sum / FINGERS_PER_HAND;
	}

	// A held object that was freed is dropped before anything reads it.
	for (int h = 0; h < 2; h++) {
		if (held_objects[h].object && !is_alive(held_objects[h].object_id)) {
			forget_held_object(h);
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
		if (!held_objects[h].object && (double)hand_closure[h] >= GRAB_THRESHOLD && get_hand_attachment(h) && may_grab(h, e)) {
			RigidBody3D *object = e.object;
			remove_touching_object(k);
			grab(h, object);
		} else {
			k++;
		}
	}

	for (int h = 0; h < 2; h++) {
		if (held_objects[h].object && (double)hand_closure[h] < RELEASE_THRESHOLD) {
			release(h);
		}
	}
}

// A body the other hand holds stays with it (its mass counts once), and the
// player never takes hold of itself or of a node of its own.
bool Player::may_grab(int p_hand, const HandTouchingObject &p_entry) const {
	if (!is_alive(p_entry.object_id) || held_objects[1 - p_hand].object_id == p_entry.object_id) {
		return false;
	}
	return !is_own_node(p_entry.object);
}

void Player::grab(int p_hand, RigidBody3D *p_object) {
	BoneAttachment3D *attachment = get_hand_attachment(p_hand);
	ERR_FAIL_NULL(attachment);
	HeldObject &held = held_objects[p_hand];
	held.object = p_object;
	held.object_id = p_object->get_instance_id();
	held.offset_transform = attachment->get_global_transform().inverse() * p_object->get_global_transform();
	held.added_mass = p_object->get_mass();
	set_mass(get_mass() + p_object->get_mass());
	p_object->set_disable_mode(CollisionObject3D::DISABLE_MODE_REMOVE);
	p_object->set_process_mode(Node::PROCESS_MODE_DISABLED);
	p_object->set_process(false);
	p_object->set_physics_process(false);

	TypedArray<Node> children = p_object->get_children();
	for (int64_t i = 0; i < children.size(); i++) {
		Object *child_object = children[i];
		Node3D *child = Object::cast_to<Node3D>(child_object);
		if (!child) {
			continue; // grabbable bodies carry 3-D nodes only
		}
		if (child->get_class() == "CollisionShape3D") {
			CollisionShape3D *shape = Object::cast_to<CollisionShape3D>(child);
			BoneColliderIK *collider = memnew(BoneColliderIK);
			// Named before it enters the tree, so that it finds the hand's attachment.
			collider->set_name(String(child->get_name()) + held_copy_suffixes[p_hand]);
			add_child(collider);
			collider->set_owner(get_owner());
			collider->set_mass(p_object->get_mass());
			collider->set_shape(shape->get_shape());
			collider->set_offset_transform(held.offset_transform);
			// At the hand from the start: placed at the player's origin until its
			// first frame, its first samples would make a still hand fling things.
			collider->follow_attachment();
			held.colliders.push_back(collider);
			held.collider_ids.push_back(collider->get_instance_id());
		} else {
			child->reparent(attachment, true);
			held.moved_child_ids.push_back(child->get_instance_id());
		}
	}
}

void Player::release(int p_hand) {
	HeldObject &held = held_objects[p_hand];
	RigidBody3D *object = held.object;
	BoneAttachment3D *attachment = get_hand_attachment(p_hand);
	if (attachment) {
		object->set_global_transform(attachment->get_global_transform() * held.offset_transform);
		TypedArray<Node> children = attachment->get_children();
		for (int64_t i = 0; i < children.size(); i++) {
			Object *child_object = children[i];
			Node3D *child = Object::cast_to<Node3D>(child_object);
			if (!child) {
				continue;
			}
			child->reparent(object, true);
			child->set_transform(Transform3D());
		}
	}

	TypedArray<Node> copies = find_children(held_copy_patterns[p_hand], String(), true, true);
	for (int64_t i = 0; i < copies.size(); i++) {
		Object *copy_object = copies[i];
		Node *copy = Object::cast_to<Node>(copy_object);
		if (!copy || !copy->get_parent()) {
			continue;
		}
		copy->get_parent()->remove_child(copy);
		// A scene node that only shares the name would be left without a parent for good.
		if (held.colliders.find(Object::cast_to<BoneColliderIK>(copy)) < 0) {
			copy->queue_free();
		}
	}
	forget_copies(held);

	set_mass(get_mass() - object->get_mass());
	object->set_process_mode(Node::PROCESS_MODE_INHERIT);
	object->set_process(true);
	object->set_physics_process(true);
	held_objects[p_hand] = HeldObject();
}

void Player::forget_copies(const HeldObject &p_held) {
	for (int64_t i = 0; i < p_held.colliders.size(); i++) {
		uint64_t id = p_held.collider_ids[i];
		hand_shapes.erase(id);
		if (is_alive(id)) {
			BoneColliderIK *collider = p_held.colliders[i];
			if (collider->get_parent()) {
				collider->get_parent()->remove_child(collider);
			}
			collider->queue_free();
		}
	}
}

void Player::forget_held_object(int p_hand) {
	HeldObject &held = held_objects[p_hand];
	// The object is gone: its copies and the children it left on the hand go too.
	forget_copies(held);
	for (int64_t i = 0; i < held.moved_child_ids.size(); i++) {
		if (Node *child = Object::cast_to<Node>(ObjectDB::get_instance(held.moved_child_ids[i]))) {
			child->queue_free();
		}
	}
	set_mass(get_mass() - held.added_mass);
	held_objects[p_hand] = HeldObject();
}

// ---------------------------------------------------------------------------
// Pushing objects and pushing off walls

// A runtime may report any hand velocity: an impulse that is no number would
// poison the body for the rest of the session.
void Player::push_player(const Vector3 &p_impulse) {
	if (!is_finite(p_impulse)) {
		if (!bad_push_reported) {
			bad_push_reported = true;
			ERR_PRINT("Player: a push that is not a finite number was left out.");
		}
		return;
	}
	apply_impulse(p_impulse, Vector3());
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
				body->apply_impulse(normal * d * step * PUSH_SCALE * k, position);
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
