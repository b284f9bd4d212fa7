// Which hand shapes touch which bodies: the shapes' records (named by the
// collider naming rule), the touch masks per body and their cleanup.

#include "player.hpp"

#include "globals.hpp"

#include <godot_cpp/classes/collision_shape3d.hpp>
#include <godot_cpp/classes/reg_ex_match.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/callable.hpp>

#include <ctime>
#include <iterator>

namespace godot {

namespace {

// Entries that lost all touch this long ago go at the next cleanup tick.
const int64_t CLEANUP_AGE_SECONDS = 472;

int64_t wall_clock_seconds() {
	return (int64_t)std::time(nullptr);
}

} // namespace

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

} // namespace godot
