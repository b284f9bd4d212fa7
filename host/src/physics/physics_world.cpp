// The physics server's part of a step: contact signals and body integration.
// Contacts and touching shapes come from tests and the runner.
#include <godot_host/physics_world.hpp>

#include <godot_cpp/classes/physics_direct_body_state3d.hpp>
#include <godot_cpp/classes/collision_object3d.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/core/object.hpp>

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>
#include <vector>

using namespace godot;

namespace godot_host {

namespace {

struct StoredContact {
	PhysicsWorld::Contact data;
	uint64_t collider_id = 0;
};

// A pair of touching shapes: shape_a of body a touches shape_b of body b.
struct Pair {
	uint64_t a = 0;
	uint64_t b = 0;
	int32_t shape_a = 0;
	int32_t shape_b = 0;
};

// A pair and its mirror image are the same pair: the key puts the sides in one order.
struct PairKey {
	uint64_t a = 0;
	uint64_t b = 0;
	int32_t shape_a = 0;
	int32_t shape_b = 0;

	explicit PairKey(const Pair &p_pair) :
			a(p_pair.a), b(p_pair.b), shape_a(p_pair.shape_a), shape_b(p_pair.shape_b) {
		if (b < a || (a == b && shape_b < shape_a)) {
			std::swap(a, b);
			std::swap(shape_a, shape_b);
		}
	}
	bool operator==(const PairKey &p_other) const {
		return a == p_other.a && b == p_other.b && shape_a == p_other.shape_a && shape_b == p_other.shape_b;
	}
};

uint64_t mix(uint64_t p_hash, uint64_t p_value) {
	return (p_hash ^ p_value) * 0x100000001b3ULL + (p_hash >> 29);
}

struct PairKeyHash {
	size_t operator()(const PairKey &p_key) const {
		uint64_t h = mix(mix(0xcbf29ce484222325ULL, p_key.a), p_key.b);
		return (size_t)mix(h, ((uint64_t)(uint32_t)p_key.shape_a << 32) | (uint32_t)p_key.shape_b);
	}
};

// Two bodies, in one order.
struct BodyPairHash {
	size_t operator()(const std::pair<uint64_t, uint64_t> &p_bodies) const {
		return (size_t)mix(mix(0xcbf29ce484222325ULL, p_bodies.first), p_bodies.second);
	}
};

std::pair<uint64_t, uint64_t> bodies_of(uint64_t p_a, uint64_t p_b) {
	return p_a < p_b ? std::make_pair(p_a, p_b) : std::make_pair(p_b, p_a);
}

struct Event {
	bool begin = true;
	Pair pair;
};

// Interned once: every step emits these.
struct ContactSignals {
	StringName body_entered = "body_entered";
	StringName body_exited = "body_exited";
	StringName body_shape_entered = "body_shape_entered";
	StringName body_shape_exited = "body_shape_exited";
};

// The touching pairs, each found in constant time by its shapes, by its two
// bodies and by either body, so that many pairs beginning or ending at once
// cost each only its own work. Numbered in the order they began, which is
// the order their ends are reported in.
struct Pairs {
	std::map<uint64_t, Pair> by_number;
	uint64_t next_number = 1;
	std::unordered_map<PairKey, uint64_t, PairKeyHash> number_of;
	std::unordered_map<uint64_t, std::set<uint64_t>> of_body;
	std::unordered_map<std::pair<uint64_t, uint64_t>, int, BodyPairHash> between;

	bool active(const Pair &p_pair) const {
		return number_of.count(PairKey(p_pair)) != 0;
	}
	bool any_between(uint64_t p_a, uint64_t p_b) const {
		return between.count(bodies_of(p_a, p_b)) != 0;
	}
	void add(const Pair &p_pair) {
		uint64_t n = next_number++;
		by_number[n] = p_pair;
		number_of[PairKey(p_pair)] = n;
		of_body[p_pair.a].insert(n);
		of_body[p_pair.b].insert(n);
		between[bodies_of(p_pair.a, p_pair.b)]++;
	}
	void forget_body_entry(uint64_t p_body, uint64_t p_number) {
		auto it = of_body.find(p_body);
		if (it != of_body.end()) {
			it->second.erase(p_number);
			if (it->second.empty()) {
				of_body.erase(it);
			}
		}
	}
	// The pair removed, by its number.
	Pair remove_number(uint64_t p_number) {
		Pair p = by_number.at(p_number);
		by_number.erase(p_number);
		number_of.erase(PairKey(p));
		forget_body_entry(p.a, p_number);
		forget_body_entry(p.b, p_number);
		auto count = between.find(bodies_of(p.a, p.b));
		if (count != between.end() && --count->second == 0) {
			between.erase(count);
		}
		return p;
	}
	void remove(const Pair &p_pair) {
		auto it = number_of.find(PairKey(p_pair));
		if (it != number_of.end()) {
			remove_number(it->second);
		}
	}
	// The numbers of a body's pairs, in the order they began.
	std::vector<uint64_t> numbers_of(uint64_t p_body) const {
		auto it = of_body.find(p_body);
		return it == of_body.end() ? std::vector<uint64_t>() : std::vector<uint64_t>(it->second.begin(), it->second.end());
	}
	void clear() {
		by_number.clear();
		number_of.clear();
		of_body.clear();
		between.clear();
	}
};

struct World {
	ContactSignals signals;
	// In the tree, in the order they entered; a body that left leaves a 0
	// until the list is compacted.
	std::vector<uint64_t> bodies;
	std::unordered_map<uint64_t, size_t> body_slot;
	size_t body_holes = 0;
	std::vector<uint64_t> step_scratch;
	std::unordered_map<uint64_t, std::vector<StoredContact>> contacts;
	Pairs pairs;
	std::vector<Event> pending;
	Vector3 gravity = Vector3(0, -9.8f, 0);
};

World &world() {
	static World *w = new World;
	return *w;
}

CollisionObject3D *body_of(uint64_t p_id) {
	return Object::cast_to<CollisionObject3D>(ObjectDB::get_instance(p_id));
}

bool monitors(CollisionObject3D *p_body) {
	RigidBody3D *rb = Object::cast_to<RigidBody3D>(p_body);
	return rb && rb->is_contact_monitor_enabled() && rb->is_inside_tree();
}

bool has_pair_with(uint64_t p_self, uint64_t p_other) {
	return world().pairs.any_between(p_self, p_other);
}

// Tells p_self that the other body's shape touches (or stops touching) its
// shape p_local_shape, as the engine does: "body_entered" / "body_exited"
// first when this is the first or last pair of the two bodies, then the
// shape signal. A receiver may free either body, so both are looked up again
// before each emission and a body that is gone hears nothing more.
void emit_to(uint64_t p_self, uint64_t p_other, int32_t p_other_shape, int32_t p_local_shape, bool p_entered, bool p_first_or_last) {
	const ContactSignals &names = world().signals;
	CollisionObject3D *self = body_of(p_self);
	CollisionObject3D *other = body_of(p_other);
	if (!self || !other || !monitors(self)) {
		return;
	}
	if (p_first_or_last) {
		self->emit_signal(p_entered ? names.body_entered : names.body_exited, other);
		self = body_of(p_self);
		other = body_of(p_other);
		if (!self || !other || !monitors(self)) {
			return;
		}
	}
	self->emit_signal(p_entered ? names.body_shape_entered : names.body_shape_exited, other->get_rid(), other, (int64_t)p_other_shape, (int64_t)p_local_shape);
}

// p_edge: the first or last pair between the two bodies.
void emit_pair(const Pair &p_pair, bool p_entered, bool p_edge) {
	emit_to(p_pair.a, p_pair.b, p_pair.shape_b, p_pair.shape_a, p_entered, p_edge);
	emit_to(p_pair.b, p_pair.a, p_pair.shape_a, p_pair.shape_b, p_entered, p_edge);
}

bool in_world(CollisionObject3D *p_body) {
	return p_body && p_body->_host_in_world();
}

} // namespace

void PhysicsWorld::add_contact(RigidBody3D *p_body, const Contact &p_contact) {
	ERR_FAIL_NULL(p_body);
	StoredContact c;
	c.data = p_contact;
	c.collider_id = p_contact.collider ? p_contact.collider->get_instance_id() : 0;
	c.data.collider = nullptr; // only the id is kept
	world().contacts[p_body->get_instance_id()].push_back(c);
}

void PhysicsWorld::clear_contacts(RigidBody3D *p_body) {
	ERR_FAIL_NULL(p_body);
	world().contacts.erase(p_body->get_instance_id());
}

int PhysicsWorld::contact_count(RigidBody3D *p_body) {
	ERR_FAIL_NULL_V(p_body, 0);
	auto it = world().contacts.find(p_body->get_instance_id());
	return it == world().contacts.end() ? 0 : (int)it->second.size();
}

void PhysicsWorld::begin_shape_contact(CollisionObject3D *p_body, CollisionObject3D *p_other, int32_t p_other_shape, int32_t p_local_shape) {
	ERR_FAIL_NULL(p_body);
	ERR_FAIL_NULL(p_other);
	world().pending.push_back(Event{ true, Pair{ p_body->get_instance_id(), p_other->get_instance_id(), p_local_shape, p_other_shape } });
}

void PhysicsWorld::end_shape_contact(CollisionObject3D *p_body, CollisionObject3D *p_other, int32_t p_other_shape, int32_t p_local_shape) {
	ERR_FAIL_NULL(p_body);
	ERR_FAIL_NULL(p_other);
	world().pending.push_back(Event{ false, Pair{ p_body->get_instance_id(), p_other->get_instance_id(), p_local_shape, p_other_shape } });
}

int PhysicsWorld::active_shape_pairs(CollisionObject3D *p_body) {
	ERR_FAIL_NULL_V(p_body, 0);
	const Pairs &pairs = world().pairs;
	auto it = pairs.of_body.find(p_body->get_instance_id());
	return it == pairs.of_body.end() ? 0 : (int)it->second.size();
}

size_t PhysicsWorld::_host_record_count() {
	const World &w = world();
	const Pairs &p = w.pairs;
	size_t pairs = p.by_number.size() + p.number_of.size() + p.of_body.size() + p.between.size();
	return w.body_slot.size() + w.contacts.size() + pairs + w.pending.size();
}

void PhysicsWorld::set_gravity(const Vector3 &p_gravity) {
	world().gravity = p_gravity;
}

Vector3 PhysicsWorld::get_gravity() {
	return world().gravity;
}

void PhysicsWorld::reset() {
	World &w = world();
	w.contacts.clear();
	w.pairs.clear();
	w.pending.clear();
	w.gravity = Vector3(0, -9.8f, 0);
}

void PhysicsWorld::deliver_contact_signals() {
	World &w = world();
	if (!w.pending.empty()) {
		std::vector<Event> events;
		events.swap(w.pending);
		for (const Event &e : events) {
			if (e.begin) {
				if (!in_world(body_of(e.pair.a)) || !in_world(body_of(e.pair.b)) || w.pairs.active(e.pair)) {
					continue;
				}
				bool first = !has_pair_with(e.pair.a, e.pair.b);
				w.pairs.add(e.pair);
				emit_pair(e.pair, true, first);
			} else {
				if (!w.pairs.active(e.pair)) {
					continue;
				}
				w.pairs.remove(e.pair);
				emit_pair(e.pair, false, !has_pair_with(e.pair.a, e.pair.b));
			}
		}
	}
	// Pairs end when a side has left the world (freed, or disabled and
	// removed). Receivers may take more bodies out: then look again.
	std::vector<uint64_t> ended;
	do {
		ended.clear();
		for (const auto &entry : w.pairs.by_number) {
			if (!in_world(body_of(entry.second.a)) || !in_world(body_of(entry.second.b))) {
				ended.push_back(entry.first);
			}
		}
		for (uint64_t number : ended) {
			auto it = w.pairs.by_number.find(number);
			if (it == w.pairs.by_number.end()) {
				continue; // ended by a receiver
			}
			CollisionObject3D *a = body_of(it->second.a);
			if (in_world(a) && in_world(body_of(it->second.b))) {
				continue; // back in the world
			}
			Pair p = w.pairs.remove_number(number);
			// Only the side still in the world hears of it.
			bool edge = !has_pair_with(p.a, p.b);
			if (in_world(a)) {
				emit_to(p.a, p.b, p.shape_b, p.shape_a, false, edge);
			}
			if (in_world(body_of(p.b))) {
				emit_to(p.b, p.a, p.shape_a, p.shape_b, false, edge);
			}
		}
	} while (!ended.empty());
}

void PhysicsWorld::step_bodies(double p_delta) {
	World &w = world();
	w.step_scratch.assign(w.bodies.begin(), w.bodies.end());
	for (uint64_t id : w.step_scratch) {
		RigidBody3D *rb = Object::cast_to<RigidBody3D>(ObjectDB::get_instance(id));
		if (!rb || !rb->is_inside_tree()) {
			continue;
		}
		// A disabled body is out of the world or static, unless kept active.
		if (rb->_host_is_process_disabled() && rb->get_disable_mode() != CollisionObject3D::DISABLE_MODE_KEEP_ACTIVE) {
			continue;
		}
		rb->_host_step((float)p_delta);
	}
}

void PhysicsWorld::_fill_state(RigidBody3D *p_body) {
	if (!p_body->is_contact_monitor_enabled()) {
		return;
	}
	World &w = world();
	auto it = w.contacts.find(p_body->get_instance_id());
	if (it == w.contacts.end()) {
		return;
	}
	PhysicsDirectBodyState3D *state = p_body->_host_state();
	int32_t max = p_body->get_max_contacts_reported();
	for (const StoredContact &c : it->second) {
		if (state->get_contact_count() >= max) {
			break;
		}
		PhysicsDirectBodyState3D::Contact out;
		if (c.collider_id) {
			CollisionObject3D *collider = body_of(c.collider_id);
			if (!collider || !collider->_host_in_world()) {
				continue;
			}
			out.collider_id = c.collider_id;
			out.collider_rid = collider->get_rid();
			out.collider_position = collider->get_global_position();
		}
		out.local_shape = c.data.local_shape;
		out.local_position = c.data.local_position;
		out.local_normal = c.data.local_normal;
		out.impulse = c.data.impulse;
		out.collider_shape = c.data.collider_shape;
		state->_host_add_contact(out);
	}
}

void PhysicsWorld::_body_entered_tree(CollisionObject3D *p_body) {
	World &w = world();
	uint64_t id = p_body->get_instance_id();
	w.body_slot[id] = w.bodies.size();
	w.bodies.push_back(id);
}

void PhysicsWorld::_body_exiting_tree(CollisionObject3D *p_body) {
	World &w = world();
	uint64_t id = p_body->get_instance_id();
	auto slot = w.body_slot.find(id);
	if (slot != w.body_slot.end()) {
		// A hole keeps the others' slots; the list is compacted once half of it is holes.
		w.bodies[slot->second] = 0;
		w.body_slot.erase(slot);
		if (++w.body_holes * 2 > w.bodies.size()) {
			w.bodies.erase(std::remove(w.bodies.begin(), w.bodies.end(), (uint64_t)0), w.bodies.end());
			w.body_holes = 0;
			for (size_t i = 0; i < w.bodies.size(); i++) {
				w.body_slot[w.bodies[i]] = i;
			}
		}
	}
	w.contacts.erase(id);
	// The bodies it touches hear at once that it is gone, as the engine does,
	// in the order the pairs began.
	for (std::vector<uint64_t> numbers = w.pairs.numbers_of(id); !numbers.empty(); numbers = w.pairs.numbers_of(id)) {
		Pair p = w.pairs.remove_number(numbers.front());
		bool edge = !has_pair_with(p.a, p.b);
		if (p.a == id) {
			emit_to(p.b, id, p.shape_a, p.shape_b, false, edge);
		} else {
			emit_to(p.a, id, p.shape_b, p.shape_a, false, edge);
		}
	}
}

void PhysicsWorld::_shape_index_removed(CollisionObject3D *p_body, int32_t p_index) {
	World &w = world();
	uint64_t id = p_body->get_instance_id();
	auto it = w.contacts.find(id);
	if (it != w.contacts.end()) {
		std::vector<StoredContact> &list = it->second;
		list.erase(std::remove_if(list.begin(), list.end(), [&](const StoredContact &c) { return c.data.local_shape == p_index; }), list.end());
		for (StoredContact &c : list) {
			if (c.data.local_shape > p_index) {
				c.data.local_shape--;
			}
		}
	}
	// A removed shape's pairs end without signals; later shapes move down.
	Pairs &pairs = w.pairs;
	for (uint64_t number : pairs.numbers_of(id)) {
		Pair p = pairs.by_number.at(number);
		if ((p.a == id && p.shape_a == p_index) || (p.b == id && p.shape_b == p_index)) {
			pairs.remove_number(number);
			continue;
		}
		if ((p.a == id && p.shape_a > p_index) || (p.b == id && p.shape_b > p_index)) {
			pairs.number_of.erase(PairKey(p));
		}
	}
	// New keys only once every old one is gone: a moved pair may take the key another left.
	for (uint64_t number : pairs.numbers_of(id)) {
		Pair &p = pairs.by_number.at(number);
		if (!((p.a == id && p.shape_a > p_index) || (p.b == id && p.shape_b > p_index))) {
			continue;
		}
		if (p.a == id && p.shape_a > p_index) {
			p.shape_a--;
		}
		if (p.b == id && p.shape_b > p_index) {
			p.shape_b--;
		}
		pairs.number_of[PairKey(p)] = number;
	}
}

} // namespace godot_host
