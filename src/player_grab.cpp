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
#include <vector>

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

// Gives the body back the modes the grab changed, each only while it still
// reads as the grab set it: what a script set meanwhile stands. Also when the
// player that held it is gone.
void give_back_modes(uint64_t p_object_id, const Player::HeldObject &p_held) {
	RigidBody3D *object = live<RigidBody3D>(p_object_id);
	if (object && object->get_process_mode() == Node::PROCESS_MODE_DISABLED) {
		object->set_process_mode(p_held.process_mode); // its receivers may run scripts
		object = live<RigidBody3D>(p_object_id);
	}
	if (object && object->get_disable_mode() == CollisionObject3D::DISABLE_MODE_REMOVE) {
		object->set_disable_mode(p_held.disable_mode);
		object = live<RigidBody3D>(p_object_id);
	}
	if (object && !object->is_processing()) {
		object->set_process(p_held.processing);
	}
	if (object && !object->is_physics_processing()) {
		object->set_physics_process(p_held.physics_processing);
	}
}

// Notes, for p_node and its branch below p_branch, the owners that a move
// under p_to takes away: those outside the branch that are no ancestors of
// p_to (a body's own scene owns its children, and the hand is not in it);
// with no p_to, all of them.
void note_lost_owners(Node *p_node, Node *p_branch, Node *p_to, Vector<uint64_t> &r_ids) {
	Node *owner = p_node->get_owner();
	if (owner && owner != p_branch && !p_branch->is_ancestor_of(owner) && (!p_to || !owner->is_ancestor_of(p_to))) {
		r_ids.push_back(p_node->get_instance_id());
		r_ids.push_back(owner->get_instance_id());
	}
	for (int32_t i = 0, n = p_node->get_child_count(true); i < n; i++) {
		note_lost_owners(p_node->get_child(i, true), p_branch, p_to, r_ids);
	}
}

// Moves node p_node_id under p_parent_id as reparent does, keeping its place
// in the world when p_keep_global. Unlike reparent, the new parent is looked
// up again after the removal, whose signals can run a script that frees it;
// the node then goes back where it was, or goes with it when that is gone too.
// Owners outside the node's branch that still lie above it afterwards are
// kept, as reparent keeps them. True when the node arrived.
bool move_node(uint64_t p_node_id, uint64_t p_parent_id, bool p_keep_global) {
	Node3D *node = live<Node3D>(p_node_id);
	Node *from = node ? node->get_parent() : nullptr;
	if (!node || !from || !live<Node>(p_parent_id)) {
		return false;
	}
	const uint64_t from_id = from->get_instance_id();
	const bool keep_global = p_keep_global && node->is_inside_tree();
	const Transform3D global = keep_global ? node->get_global_transform() : Transform3D();
	Vector<uint64_t> owner_ids;
	note_lost_owners(node, node, nullptr, owner_ids);
	from->remove_child(node);
	node = live<Node3D>(p_node_id);
	if (!node || node->get_parent()) {
		return false; // freed, or put elsewhere, by a script on the way
	}
	Node *parent = live<Node>(p_parent_id);
	const bool arrives = parent != nullptr;
	if (!parent) {
		parent = live<Node>(from_id);
	}
	if (!parent) {
		node->queue_free();
		return false;
	}
	parent->add_child(node);
	node = live<Node3D>(p_node_id);
	parent = live<Node>(arrives ? p_parent_id : from_id);
	if (!node || !parent || node->get_parent() != parent) {
		return false;
	}
	for (int64_t i = 0; i + 1 < owner_ids.size(); i += 2) {
		Node *owned = live<Node>(owner_ids[i]);
		Node *owner = live<Node>(owner_ids[i + 1]);
		if (owned && owner && !owned->get_owner() && owner->is_ancestor_of(owned)) {
			owned->set_owner(owner);
		}
	}
	if (arrives && keep_global && node->is_inside_tree() && global.is_finite()) {
		node->set_global_transform(global);
	}
	return arrives;
}

// Puts a child that a grab moved onto the hand back into the body as it was
// there: its transform, owners and place among the body's children. Moved on
// the hand by a script, it keeps the place in the world the hand carried it
// to. One a script took off the hand stays where it is; one whose body is
// gone goes. Every node is looked up again after each call that can run a
// script.
void give_back_child(const Player::MovedChild &p_moved, uint64_t p_object_id, uint64_t p_attachment_id) {
	Node3D *child = live<Node3D>(p_moved.id);
	Node *attachment = live<Node>(p_attachment_id);
	if (!child || !attachment || child->get_parent() != attachment) {
		return;
	}
	RigidBody3D *object = live<RigidBody3D>(p_object_id);
	if (!object) {
		child->queue_free();
		return;
	}
	// Where the place it keeps would be no number (a bone or a body posed so),
	// it gets its own back instead.
	const bool keep_place = p_moved.on_hand && child->get_transform() != p_moved.local_on_hand &&
			child->is_inside_tree() && object->is_inside_tree() &&
			(object->get_global_transform().affine_inverse() * child->get_global_transform()).is_finite();
	move_node(p_moved.id, p_object_id, keep_place);
	child = live<Node3D>(p_moved.id);
	object = live<RigidBody3D>(p_object_id);
	if (child && !object && child->get_parent() == live<Node>(p_attachment_id)) {
		child->queue_free(); // its body went on the way
		return;
	}
	if (!child || !object || child->get_parent() != object) {
		return; // a script took it on the way
	}
	for (int64_t i = 0; i + 1 < p_moved.lost_owner_ids.size(); i += 2) {
		Node *node = live<Node>(p_moved.lost_owner_ids[i]);
		Node *owner = live<Node>(p_moved.lost_owner_ids[i + 1]);
		if (node && owner && !node->get_owner() && owner->is_ancestor_of(node)) {
			node->set_owner(owner);
		}
	}
	if (!keep_place) {
		child->set_transform(p_moved.local_in_object);
		child = live<Node3D>(p_moved.id);
		object = live<RigidBody3D>(p_object_id);
		if (!child || !object || child->get_parent() != object) {
			return;
		}
	}
	const int64_t last = (int64_t)object->get_child_count() - 1;
	const int64_t index = p_moved.index < last ? p_moved.index : last;
	if (child->get_index() != index) {
		object->move_child(child, (int32_t)index);
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
// player never takes hold of itself, of a node of its own or of a body it is
// inside of (its hands would end up holding themselves).
bool Player::may_grab(int p_hand, const HandTouchingObject &p_entry) const {
	if (!still_exists(p_entry.object_id) || held_objects[1 - p_hand].object_id == p_entry.object_id) {
		return false;
	}
	if (is_own_node(p_entry.object)) {
		return false;
	}
	for (Node *above = get_parent(); above; above = above->get_parent()) {
		if (above == p_entry.object) {
			return false;
		}
	}
	return true;
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
	// Noted before anything changes, for a release from inside any call below.
	held.process_mode = p_object->get_process_mode();
	held.disable_mode = p_object->get_disable_mode();
	held.processing = p_object->is_processing();
	held.physics_processing = p_object->is_physics_processing();
	add_held_mass(p_hand);

	// After each call that can run a script: is the grab still on?
	bool player_freed = false;
	auto let_go_inside = [&]() {
		return held_objects[p_hand].object_id != object_id;
	};
	auto goes_on = [&]() {
		if (!still_exists(self_id)) {
			player_freed = true;
			return false;
		}
		if (let_go_inside()) {
			return false;
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

	const std::vector<uint64_t> children = child_ids(p_object);
	for (size_t k = 0; k < children.size(); k++) {
		if (!goes_on()) {
			return !player_freed;
		}
		const uint64_t child_id = children[k];
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
			continue;
		}
		BoneAttachment3D *attachment = live<BoneAttachment3D>(attachment_id);
		if (!attachment || child == attachment || child->is_ancestor_of(attachment)) {
			continue; // a script put the hand in the body: moved, it would hold itself
		}
		MovedChild moved;
		moved.id = child_id;
		moved.index = (int64_t)k;
		moved.local_in_object = child->get_transform();
		note_lost_owners(child, child, attachment, moved.lost_owner_ids);
		// Noted before the move, so that a release from inside it gives the child back.
		held.moved_children.push_back(moved);
		move_node(child_id, attachment_id, child->is_inside_tree() && attachment->is_inside_tree());
		if (!still_exists(self_id)) {
			return false;
		}
		if (let_go_inside()) {
			// That release found the child still on its way to the hand.
			give_back_child(moved, object_id, attachment_id);
			return still_exists(self_id);
		}
		child = live<Node3D>(child_id);
		if (child && child->get_parent() == live<Node>(attachment_id)) {
			MovedChild &noted = held.moved_children.write[held.moved_children.size() - 1];
			noted.local_on_hand = child->get_transform();
			noted.on_hand = true;
		}
	}
	return goes_on() || !player_freed;
}

// The hand lets go: the body goes where the hand carried it and gets back
// the children the grab moved onto the hand, as they were, and its own
// modes; the copies go and the mass comes off. The hand keeps its own nodes.
// For a body that was freed, the copies and the children it left on the hand
// go. The hand is empty from the start, so a script run from here finds
// nothing to let go again; every node is looked up again after each call
// that can run one. Inside the engine's tree callbacks the player's children
// can't be removed: the copies are switched off and queued instead. False
// when the player was freed on the way.
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

	for (int64_t i = 0; i < held.moved_children.size(); i++) {
		give_back_child(held.moved_children[i], object_id, attachment_id);
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

	bool player_alive = still_exists(self_id);
	if (player_alive) {
		give_back_mass(p_hand, held);
	}
	give_back_modes(object_id, held);
	return player_alive && still_exists(self_id);
}

} // namespace godot
