// Fingers follow the controllers; a closed hand around a touched body takes
// hold of it, an open one lets go. Also the mass a held body adds and gives back.

#include "player.hpp"

#include "globals.hpp"

#include <godot_cpp/classes/collision_shape3d.hpp>
#include <godot_cpp/classes/shape3d.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <utility>

namespace godot {

namespace {

const float FINGER_APPROACH_RATE = 10.0f;
const float FINGERS_PER_HAND = 5.0f;
// A hand closed this far takes hold; opened below it, it lets go.
const double GRAB_THRESHOLD = 0.3;
const double RELEASE_THRESHOLD = 0.3;
// The touch masks as touch_bit lays them out: the palms in the top two bits,
// the thumbs below them (left above right), the fingers in the low 24.
const uint32_t THUMB_BITS = 0x3F000000;
const uint32_t FINGER_BITS = 0x00FFFFFF;
const uint32_t PALM_LIMIT = 0x3FFFFFFF;
const uint32_t RIGHT_THUMB_LIMIT = 0x07FFFFFF;

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

void Player::_on_release_item_timeout(Node3D *p_object, Timer *p_timer) {
	if (p_object) {
		p_object->set_physics_process(true);
	}
	if (p_timer) {
		p_timer->queue_free();
	}
}

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

} // namespace godot
