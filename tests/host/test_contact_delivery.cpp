// Contact signals in the engine's order, and receivers that free a body while
// the step is still delivering.
#include "support/game_fixture.hpp"

#include <godot_cpp/classes/collision_shape3d.hpp>
#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/sphere_shape3d.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_host/physics_world.hpp>

#include <functional>
#include <string>
#include <vector>

using namespace godot;
using godot_host::Host;
using godot_host::PhysicsWorld;

namespace {

// Writes "<who>:<signal>" for each emission, then runs an optional action.
class Recorder : public CallableCustom {
	uint64_t anchor;
	std::string entry;
	std::vector<std::string> *out;
	std::function<void()> action;

public:
	Recorder(Object *p_anchor, std::string p_entry, std::vector<std::string> *p_out, std::function<void()> p_action) :
			anchor(p_anchor->get_instance_id()), entry(std::move(p_entry)), out(p_out), action(std::move(p_action)) {}
	uint32_t hash() const override { return (uint32_t)anchor; }
	uint64_t get_object() const override { return anchor; }
	bool equals(const CallableCustom &p_other) const override { return this == &p_other; }
	void call(const Variant **, int, Variant &, GDExtensionCallErrorHost &) const override {
		out->push_back(entry);
		if (action) {
			action();
		}
	}
};

const char *const CONTACT_SIGNALS[] = { "body_entered", "body_shape_entered", "body_exited", "body_shape_exited" };

class ContactDeliveryTest : public GameTest {
protected:
	Node3D *root = nullptr;
	RigidBody3D *a = nullptr;
	RigidBody3D *b = nullptr;
	std::vector<std::string> heard;

	void SetUp() override {
		GameTest::SetUp();
		root = memnew(Node3D);
		a = body("a");
		b = body("b");
		Host::set_current_scene(root);
	}

	RigidBody3D *body(const char *p_name) {
		RigidBody3D *rb = memnew(RigidBody3D);
		rb->set_name(p_name);
		rb->set_gravity_scale(0);
		rb->set_contact_monitor(true);
		for (int i = 0; i < 2; i++) {
			CollisionShape3D *s = memnew(CollisionShape3D);
			s->set_shape(Ref<SphereShape3D>(memnew(SphereShape3D)));
			rb->add_child(s);
		}
		root->add_child(rb);
		return rb;
	}

	// Records every contact signal of p_body; p_action runs on p_trigger.
	void listen(RigidBody3D *p_body, const std::string &p_trigger = "", std::function<void()> p_action = nullptr) {
		std::string who = String(p_body->get_name()).utf8().get_data();
		for (const char *sig : CONTACT_SIGNALS) {
			p_body->connect(sig, Callable(new Recorder(p_body, who + ":" + sig, &heard, sig == p_trigger ? p_action : nullptr)));
		}
	}

	static std::function<void()> free_node(Node *p_node) {
		uint64_t id = p_node->get_instance_id();
		return [id]() {
			if (Object *o = ObjectDB::get_instance(id)) {
				memdelete(o);
			}
		};
	}
};

} // namespace

TEST_F(ContactDeliveryTest, BodySignalComesBeforeTheShapeSignalOnTheFirstAndLastPair) {
	listen(a);
	PhysicsWorld::begin_shape_contact(a, b, 0, 0);
	PhysicsWorld::begin_shape_contact(a, b, 1, 1);
	Host::physics_step(1.0 / 60.0);
	EXPECT_EQ(heard, (std::vector<std::string>{ "a:body_entered", "a:body_shape_entered", "a:body_shape_entered" }));

	heard.clear();
	PhysicsWorld::end_shape_contact(a, b, 0, 0);
	PhysicsWorld::end_shape_contact(a, b, 1, 1);
	Host::physics_step(1.0 / 60.0);
	EXPECT_EQ(heard, (std::vector<std::string>{ "a:body_shape_exited", "a:body_exited", "a:body_shape_exited" }));

	// A body leaving the tree ends every pair at once, in the same order.
	PhysicsWorld::begin_shape_contact(a, b, 0, 0);
	Host::physics_step(1.0 / 60.0);
	heard.clear();
	root->remove_child(b);
	EXPECT_EQ(heard, (std::vector<std::string>{ "a:body_exited", "a:body_shape_exited" }));
	memdelete(b);
}

TEST_F(ContactDeliveryTest, ABodyFreedByAnEarlierReceiverHearsAndCausesNothingMore) {
	// The first side's "body_entered" frees the other body: the first side
	// hears it leave, and its shape signal and the other side's are skipped.
	listen(a, "body_entered", free_node(b));
	listen(b);
	uint64_t b_id = b->get_instance_id();
	PhysicsWorld::begin_shape_contact(a, b, 0, 0);
	PhysicsWorld::begin_shape_contact(a, b, 1, 1); // a later event of the same step
	Host::physics_step(1.0 / 60.0);
	EXPECT_EQ(ObjectDB::get_instance(b_id), nullptr);
	EXPECT_EQ(heard, (std::vector<std::string>{ "a:body_entered", "a:body_exited", "a:body_shape_exited" }));
	EXPECT_EQ(PhysicsWorld::active_shape_pairs(a), 0);
	heard.clear();
	Host::physics_step(1.0 / 60.0);
	EXPECT_TRUE(heard.empty());
}

TEST_F(ContactDeliveryTest, AShapeReceiverThatFreesTheOtherBodyStopsDeliveryToIt) {
	listen(a, "body_shape_entered", free_node(b));
	listen(b);
	uint64_t b_id = b->get_instance_id();
	PhysicsWorld::begin_shape_contact(a, b, 0, 0);
	Host::physics_step(1.0 / 60.0);
	EXPECT_EQ(ObjectDB::get_instance(b_id), nullptr);
	// b left the tree while a heard of it: a hears its exit at once.
	EXPECT_EQ(heard, (std::vector<std::string>{ "a:body_entered", "a:body_shape_entered", "a:body_exited", "a:body_shape_exited" }));
}

TEST_F(ContactDeliveryTest, AReceiverThatFreesItsOwnBodyGetsNoFurtherSignal) {
	listen(a, "body_entered", free_node(a));
	uint64_t a_id = a->get_instance_id();
	PhysicsWorld::begin_shape_contact(a, b, 0, 0);
	Host::physics_step(1.0 / 60.0);
	EXPECT_EQ(ObjectDB::get_instance(a_id), nullptr);
	EXPECT_EQ(heard, (std::vector<std::string>{ "a:body_entered" }));
	EXPECT_EQ(PhysicsWorld::active_shape_pairs(b), 0);
}

TEST_F(ContactDeliveryTest, APairAndItsMirrorImageAreOnePair) {
	listen(a);
	PhysicsWorld::begin_shape_contact(a, b, 1, 0);
	PhysicsWorld::begin_shape_contact(b, a, 0, 1); // the same two shapes, seen from b
	Host::physics_step(1.0 / 60.0);
	EXPECT_EQ(heard, (std::vector<std::string>{ "a:body_entered", "a:body_shape_entered" }));
	EXPECT_EQ(PhysicsWorld::active_shape_pairs(a), 1);
	EXPECT_EQ(PhysicsWorld::active_shape_pairs(b), 1);

	heard.clear();
	PhysicsWorld::end_shape_contact(b, a, 0, 1);
	Host::physics_step(1.0 / 60.0);
	EXPECT_EQ(heard, (std::vector<std::string>{ "a:body_exited", "a:body_shape_exited" }));
	EXPECT_EQ(PhysicsWorld::active_shape_pairs(a), 0);
}

TEST_F(ContactDeliveryTest, PairsOfARemovedShapeEndAndLaterShapesMoveDown) {
	PhysicsWorld::begin_shape_contact(a, b, 0, 0);
	PhysicsWorld::begin_shape_contact(a, b, 1, 1);
	Host::physics_step(1.0 / 60.0);
	ASSERT_EQ(PhysicsWorld::active_shape_pairs(a), 2);

	Node *first_shape = a->get_child(0);
	a->remove_child(first_shape);
	memdelete(first_shape);
	EXPECT_EQ(PhysicsWorld::active_shape_pairs(a), 1);

	// a's second shape is now its shape 0: the pair ends under that index.
	listen(a);
	PhysicsWorld::end_shape_contact(a, b, 1, 0);
	Host::physics_step(1.0 / 60.0);
	EXPECT_EQ(heard, (std::vector<std::string>{ "a:body_exited", "a:body_shape_exited" }));
	EXPECT_EQ(PhysicsWorld::active_shape_pairs(b), 0);
}

TEST_F(ContactDeliveryTest, AFreedBodyEndsItsPairsInTheOrderTheyBegan) {
	RigidBody3D *c = body("c");
	listen(a);
	listen(c);
	PhysicsWorld::begin_shape_contact(b, c, 0, 1);
	PhysicsWorld::begin_shape_contact(b, a, 1, 0);
	PhysicsWorld::begin_shape_contact(b, c, 1, 0);
	Host::physics_step(1.0 / 60.0);
	heard.clear();
	memdelete(b);
	EXPECT_EQ(heard, (std::vector<std::string>{ "c:body_shape_exited", "a:body_exited", "a:body_shape_exited", "c:body_exited", "c:body_shape_exited" }));
	EXPECT_EQ(PhysicsWorld::active_shape_pairs(a), 0);
	EXPECT_EQ(PhysicsWorld::active_shape_pairs(c), 0);
}

TEST_F(ContactDeliveryTest, ManyBodiesFreedAtOnceEachEndTheirOwnPair) {
	listen(a);
	std::vector<RigidBody3D *> others;
	for (int i = 0; i < 64; i++) {
		others.push_back(body("other"));
		PhysicsWorld::begin_shape_contact(a, others.back(), 0, i % 2);
	}
	Host::physics_step(1.0 / 60.0);
	ASSERT_EQ(PhysicsWorld::active_shape_pairs(a), 64);
	heard.clear();
	// Every other one, from the front: the rest keep their pairs and places.
	for (size_t i = 0; i < others.size(); i += 2) {
		memdelete(others[i]);
	}
	EXPECT_EQ(heard.size(), 64u); // body and shape exit for each of 32
	EXPECT_EQ(PhysicsWorld::active_shape_pairs(a), 32);
	for (size_t i = 1; i < others.size(); i += 2) {
		EXPECT_EQ(PhysicsWorld::active_shape_pairs(others[i]), 1);
		EXPECT_EQ(others[i]->get_parent(), root);
	}
	EXPECT_EQ(root->get_child_count(), 2 + 32);
}
