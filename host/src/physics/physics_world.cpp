// The physics server's part of a step: contact signals and body integration.
// Contacts and touching shapes come from tests and the runner.
#include <godot_host/physics_world.hpp>

#include <godot_cpp/classes/physics_direct_body_state3d.hpp>
#include <godot_cpp/classes/collision_object3d.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/core/object.hpp>

#include <algorithm>
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
	bool operator==(const Pair &p_other) const {
		return (a == p_other.a && b == p_other.b && shape_a == p_other.shape_a && shape_b == p_other.shape_b) ||
				(a == p_other.b && b == p_other.a && shape_a == p_other.shape_b && shape_b == p_other.shape_a);
	}
};

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

struct World {
	ContactSignals signals;
	std::vector<uint64_t> bodies; // in the tree, in the order they entered
	std::vector<uint64_t> step_scratch;
	std::unordered_map<uint64_t, std::vector<StoredContact>> contacts;
	std::vector<Pair> pairs;
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
	for (const Pair &p : world().pairs) {
		if ((p.a == p_self && p.b == p_other) || (p.b == p_self && p.a == p_other)) {
			return true;
		}
	}
	return false;
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

void remove_pair(const Pair &p_pair) {
	std::vector<Pair> &pairs = world().pairs;
	auto it = std::find(pairs.begin(), pairs.end(), p_pair);
	if (it != pairs.end()) {
		pairs.erase(it);
	}
}

bool pair_active(const Pair &p_pair) {
	const std::vector<Pair> &pairs = world().pairs;
	return std::find(pairs.begin(), pairs.end(), p_pair) != pairs.end();
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
	uint64_t id = p_body->get_instance_id();
	int n = 0;
	for (const Pair &p : world().pairs) {
		if (p.a == id || p.b == id) {
			n++;
		}
	}
	return n;
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
				CollisionObject3D *a = body_of(e.pair.a);
				CollisionObject3D *b = body_of(e.pair.b);
				if (!a || !b || !a->_host_in_world() || !b->_host_in_world() || pair_active(e.pair)) {
					continue;
				}
				bool first = !has_pair_with(e.pair.a, e.pair.b);
				w.pairs.push_back(e.pair);
				emit_pair(e.pair, true, first);
			} else {
				if (!pair_active(e.pair)) {
					continue;
				}
				remove_pair(e.pair);
				emit_pair(e.pair, false, !has_pair_with(e.pair.a, e.pair.b));
			}
		}
	}
	// Pairs end when a side has left the world (freed, or disabled and removed).
	for (size_t i = 0; i < w.pairs.size();) {
		CollisionObject3D *a = body_of(w.pairs[i].a);
		CollisionObject3D *b = body_of(w.pairs[i].b);
		if (a && b && a->_host_in_world() && b->_host_in_world()) {
			i++;
			continue;
		}
		Pair p = w.pairs[i];
		w.pairs.erase(w.pairs.begin() + (std::ptrdiff_t)i);
		// Only the side still in the world hears of it.
		bool edge = !has_pair_with(p.a, p.b);
		if (a && a->_host_in_world()) {
			emit_to(p.a, p.b, p.shape_b, p.shape_a, false, edge);
		}
		b = body_of(p.b);
		if (b && b->_host_in_world()) {
			emit_to(p.b, p.a, p.shape_a, p.shape_b, false, edge);
		}
		i = 0; // handlers may have changed the list
	}
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
	world().bodies.push_back(p_body->get_instance_id());
}

void PhysicsWorld::_body_exiting_tree(CollisionObject3D *p_body) {
	World &w = world();
	uint64_t id = p_body->get_instance_id();
	auto it = std::find(w.bodies.begin(), w.bodies.end(), id);
	if (it != w.bodies.end()) {
		w.bodies.erase(it);
	}
	w.contacts.erase(id);
	// The bodies it touches hear at once that it is gone, as the engine does.
	for (size_t i = 0; i < w.pairs.size();) {
		Pair p = w.pairs[i];
		if (p.a != id && p.b != id) {
			i++;
			continue;
		}
		w.pairs.erase(w.pairs.begin() + (std::ptrdiff_t)i);
		bool edge = !has_pair_with(p.a, p.b);
		if (p.a == id) {
			emit_to(p.b, id, p.shape_a, p.shape_b, false, edge);
		} else {
			emit_to(p.a, id, p.shape_b, p.shape_a, false, edge);
		}
		i = 0;
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
	std::vector<Pair> &pairs = w.pairs;
	pairs.erase(std::remove_if(pairs.begin(), pairs.end(), [&](const Pair &p) { return (p.a == id && p.shape_a == p_index) || (p.b == id && p.shape_b == p_index); }), pairs.end());
	for (Pair &p : pairs) {
		if (p.a == id && p.shape_a > p_index) {
			p.shape_a--;
		}
		if (p.b == id && p.shape_b > p_index) {
			p.shape_b--;
		}
	}
}

} // namespace godot_host
