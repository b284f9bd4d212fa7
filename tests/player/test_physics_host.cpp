// The engine's side that the player relies on: shape owners, contacts and
// contact signals, body steps and the regular expressions.
#include "player_scene.hpp"

#include <godot_cpp/classes/reg_ex_match.hpp>
#include <godot_cpp/classes/reg_ex.hpp>
#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/sphere_shape3d.hpp>
#include <godot_cpp/classes/static_body3d.hpp>

#include <vector>

using namespace godot;
using godot_host::Host;
using godot_host::PhysicsWorld;

namespace {

CollisionShape3D *shape_child(Node *p_parent, const char *p_name, bool p_with_shape = true) {
	CollisionShape3D *s = memnew(CollisionShape3D);
	s->set_name(p_name);
	if (p_with_shape) {
		s->set_shape(Ref<SphereShape3D>(memnew(SphereShape3D)));
	}
	p_parent->add_child(s);
	return s;
}

// Records every call's arguments; lives as long as its anchor object.
class RecordingCallable : public CallableCustom {
	uint64_t anchor;
	std::vector<std::vector<Variant>> *calls;
	bool entered;

public:
	RecordingCallable(Object *p_anchor, std::vector<std::vector<Variant>> *p_calls, bool p_entered) :
			anchor(p_anchor->get_instance_id()), calls(p_calls), entered(p_entered) {}
	uint32_t hash() const override { return (uint32_t)anchor; }
	uint64_t get_object() const override { return anchor; }
	bool equals(const CallableCustom &p_other) const override { return this == &p_other; }
	void call(const Variant **p_args, int p_count, Variant &, GDExtensionCallErrorHost &) const override {
		std::vector<Variant> args{ entered };
		for (int i = 0; i < p_count; i++) {
			args.push_back(*p_args[i]);
		}
		calls->push_back(args);
	}
};

Object *owner_of(CollisionObject3D *p_body, int p_index) {
	return p_body->shape_owner_get_owner(p_body->shape_find_owner(p_index));
}

} // namespace

TEST_F(PlayerTest, ShapeIndexesFollowChildrenAndCloseGaps) {
	RigidBody3D *body = memnew(RigidBody3D);
	CollisionShape3D *a = shape_child(body, "a");
	CollisionShape3D *empty = shape_child(body, "empty", false);
	CollisionShape3D *b = shape_child(body, "b");
	CollisionShape3D *c = shape_child(body, "c");
	EXPECT_EQ(body->_host_shape_count(), 3);
	EXPECT_EQ(owner_of(body, 0), a);
	EXPECT_EQ(owner_of(body, 1), b);
	EXPECT_EQ(owner_of(body, 2), c);
	body->remove_child(b);
	memdelete(b);
	EXPECT_EQ(owner_of(body, 1), c);
	empty->set_shape(Ref<SphereShape3D>(memnew(SphereShape3D)));
	EXPECT_EQ(owner_of(body, 2), empty); // the shape added last gets the next index
	EXPECT_EQ(godot_host::Log::error_count(), 0);
	EXPECT_EQ(body->shape_find_owner(3), UINT32_MAX);
	EXPECT_EQ(godot_host::Log::error_count(), 1);
	memdelete(body);
}

TEST_F(PlayerTest, ShapeSignalsReachMonitoringBodiesOnlyAtTheNextStep) {
	Node3D *root = memnew(Node3D);
	RigidBody3D *watcher = memnew(RigidBody3D);
	RigidBody3D *other = memnew(RigidBody3D);
	StaticBody3D *wall = memnew(StaticBody3D);
	for (Node *n : std::vector<Node *>{ watcher, other, wall }) {
		root->add_child(n);
	}
	shape_child(watcher, "w0");
	shape_child(watcher, "w1");
	shape_child(other, "o0");
	watcher->set_contact_monitor(true);
	watcher->set_gravity_scale(0);
	other->set_gravity_scale(0);
	Host::set_current_scene(root);

	std::vector<std::vector<Variant>> seen;
	watcher->connect("body_shape_entered", Callable(new RecordingCallable(watcher, &seen, true)));
	watcher->connect("body_shape_exited", Callable(new RecordingCallable(watcher, &seen, false)));
	const RID other_rid = other->get_rid();

	PhysicsWorld::begin_shape_contact(watcher, other, 0, 1);
	EXPECT_TRUE(seen.empty());
	Host::physics_step(1.0 / 60.0);
	ASSERT_EQ(seen.size(), 1u);
	EXPECT_TRUE((RID)seen[0][1] == other_rid);
	EXPECT_EQ((Object *)seen[0][2], other);
	EXPECT_EQ((int64_t)seen[0][3], 0);
	EXPECT_EQ((int64_t)seen[0][4], 1);

	// A body that leaves the world by its disable mode ends its pairs at the next step.
	other->set_process_mode(Node::PROCESS_MODE_DISABLED);
	Host::physics_step(1.0 / 60.0);
	ASSERT_EQ(seen.size(), 2u);
	EXPECT_FALSE((bool)seen[1][0]);
	other->set_process_mode(Node::PROCESS_MODE_INHERIT);

	// A freed body ends them at once.
	PhysicsWorld::begin_shape_contact(watcher, other, 0, 0);
	Host::physics_step(1.0 / 60.0);
	ASSERT_EQ(seen.size(), 3u);
	memdelete(other);
	ASSERT_EQ(seen.size(), 4u);
	EXPECT_FALSE((bool)seen[3][0]);
	EXPECT_EQ(PhysicsWorld::active_shape_pairs(watcher), 0);
}

class ContactProbe : public RigidBody3D {
	GDCLASS(ContactProbe, RigidBody3D)
protected:
	static void _bind_methods() {}

public:
	std::vector<Object *> colliders;
	float step = 0;
	void _integrate_forces(PhysicsDirectBodyState3D *p_state) override {
		step = p_state->get_step();
		colliders.clear();
		for (int i = 0; i < p_state->get_contact_count(); i++) {
			colliders.push_back(p_state->get_contact_collider_object(i));
		}
	}
};

TEST_F(PlayerTest, StepReportsContactsAndIntegratesVelocities) {
	ClassDB::register_class<ContactProbe>();
	Node3D *root = memnew(Node3D);
	ContactProbe *probe = memnew(ContactProbe);
	RigidBody3D *held = memnew(RigidBody3D);
	StaticBody3D *wall = memnew(StaticBody3D);
	root->add_child(probe);
	root->add_child(held);
	root->add_child(wall);
	probe->set_gravity_scale(0);
	probe->set_contact_monitor(true);
	probe->set_max_contacts_reported(2);
	Host::set_current_scene(root);

	PhysicsWorld::Contact c;
	c.collider = wall;
	PhysicsWorld::add_contact(probe, c);
	c.collider = held;
	PhysicsWorld::add_contact(probe, c);
	c.collider = nullptr;
	PhysicsWorld::add_contact(probe, c);
	held->set_process_mode(Node::PROCESS_MODE_DISABLED); // removed from the world
	probe->set_linear_velocity(Vector3(1, 0, 0));
	Host::physics_step(0.5);
	EXPECT_EQ(probe->colliders, (std::vector<Object *>{ wall, nullptr }));
	EXPECT_FLOAT_EQ(probe->step, 0.5f);
	EXPECT_FLOAT_EQ(probe->get_global_position().x, 0.5f);
	// A disabled body doesn't step; one kept active does.
	held->set_linear_velocity(Vector3(0, 1, 0));
	Host::physics_step(0.5);
	EXPECT_FLOAT_EQ(held->get_global_position().y, 0.0f);
	held->set_disable_mode(CollisionObject3D::DISABLE_MODE_KEEP_ACTIVE);
	held->set_gravity_scale(0);
	Host::physics_step(0.5);
	EXPECT_FLOAT_EQ(held->get_global_position().y, 0.5f);
	EXPECT_EQ(probe->colliders, (std::vector<Object *>{ wall, held }));
	// A paused tree steps no body.
	Host::tree()->set_pause(true);
	Host::physics_step(0.5);
	EXPECT_FLOAT_EQ(probe->get_global_position().x, 1.5f);
}

TEST(RegExHost, PcreSemanticsOverCharacters) {
	Ref<RegEx> re;
	re.instantiate();
	ASSERT_EQ(re->compile("^(hand|thumb|index|middle|ring|pinky)(_\\d\\d)?_(l|r)(_outer|_held_object)?_collider$"), OK);
	Ref<RegExMatch> m = re->search("index_02_l_outer_collider");
	ASSERT_TRUE(m.is_valid());
	EXPECT_EQ(m->get_group_count(), 4);
	EXPECT_EQ(m->get_string(1), String("index"));
	EXPECT_EQ(m->get_string(2), String("_02"));
	EXPECT_EQ(m->get_string(3), String("l"));
	EXPECT_EQ(m->get_string(4), String("_outer"));
	m = re->search("hand_r_collider");
	ASSERT_TRUE(m.is_valid());
	EXPECT_EQ(m->get_string(2), String());
	EXPECT_EQ(m->get_start(2), -1);
	EXPECT_TRUE(re->search("x__hand_r_held_object_collider").is_null());

	ASSERT_EQ(re->compile(String::utf8("(?<word>é\\w+)")), OK);
	m = re->search(String::utf8(" éébc d"), 1);
	ASSERT_TRUE(m.is_valid());
	EXPECT_EQ(m->get_start(0), 2);
	EXPECT_EQ(m->get_string("word"), String::utf8("ébc"));
	ASSERT_EQ(re->compile("(?<word>\\w+)"), OK);
	EXPECT_EQ(re->search_all("a b c").size(), 3);
	EXPECT_EQ(re->sub("a b", "<$1>", true), String("<a> <b>"));

	godot_host::Log::clear();
	EXPECT_EQ(re->compile("("), FAILED);
	EXPECT_FALSE(re->is_valid());
	EXPECT_EQ(godot_host::Log::error_count(), 1);
	EXPECT_EQ(re->compile("(", false), FAILED);
	EXPECT_EQ(godot_host::Log::error_count(), 1);
	godot_host::Log::clear();
}
