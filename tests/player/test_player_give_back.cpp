// A held body is given back as it was: the children the grab took, with
// their transforms, owners and order; its own process and disable modes and
// processing; and the hand keeps what is its own. Also when scripts change
// things while it is held or while the grab and the release run.
#include "hands_scene.hpp"

#include <godot_cpp/classes/scene_tree.hpp>

#include <limits>

namespace {

const Transform3D MESH_PLACE(Basis(Vector3(0, 1, 0), 0.7f).scaled(Vector3(2, 0.5f, 1)), Vector3(0.05f, -0.1f, 0.3f));
const Transform3D LIGHT_PLACE(Basis(), Vector3(0, 0.5f, 0));
const Transform3D WATCH_PLACE(Basis(Vector3(1, 0, 0), 0.3f), Vector3(0, 0, 0.05f));

// A crate whose children are a shape, a placed and scaled mesh, a second
// shape and a light, in this order; the right hand wears a watch.
class GiveBackTest : public HandsTest {
protected:
	RigidBody3D *crate = nullptr;
	Node3D *mesh = nullptr;
	Node3D *light = nullptr;
	Node3D *watch = nullptr;

	void SetUp() override {
		HandsTest::SetUp();
		crate = body("Crate", Vector3(0.2f, 0, 0));
		mesh = add_node(crate, memnew(Node3D), "Mesh", world);
		mesh->set_transform(MESH_PLACE);
		CollisionShape3D *second = add_node(crate, memnew(CollisionShape3D), "Second", world);
		second->set_shape(Ref<SphereShape3D>(memnew(SphereShape3D)));
		light = add_node(crate, memnew(Node3D), "Light", world);
		light->set_transform(LIGHT_PLACE);
		watch = add_node(attach[1], memnew(Node3D), "Watch", world);
		watch->set_transform(WATCH_PLACE);
		attach[1]->set_position(Vector3(0.1f, 0, 0));
	}

	void release_with(int p_hand) {
		close_hand(player, p_hand, 0.0f);
		Host::process_frame(1.0 / 60.0);
	}

	std::string child_names(Node *p_parent) {
		std::string out;
		for (int32_t i = 0; i < p_parent->get_child_count(); i++) {
			out += String(p_parent->get_child(i)->get_name()).utf8().get_data();
			out += " ";
		}
		return out;
	}

	void expect_crate_whole() {
		EXPECT_EQ(mesh->get_parent(), crate);
		EXPECT_EQ(mesh->get_transform(), MESH_PLACE);
		EXPECT_EQ(light->get_parent(), crate);
		EXPECT_EQ(light->get_transform(), LIGHT_PLACE);
		EXPECT_EQ(child_names(crate), "CollisionShape3D Mesh Second Light ");
		EXPECT_EQ(crate->get_process_mode(), Node::PROCESS_MODE_INHERIT);
		EXPECT_TRUE(crate->_host_in_world());
	}
};

} // namespace

TEST_F(GiveBackTest, ChildrenComeBackInPlaceAndTheHandKeepsItsOwn) {
	grab_with(1, crate);
	ASSERT_EQ(player->held_objects[1].object, crate);
	EXPECT_EQ(mesh->get_parent(), attach[1]);
	EXPECT_EQ(light->get_parent(), attach[1]);
	expect_close(mesh->get_global_position(), crate->get_global_transform().xform(MESH_PLACE.origin));

	// Carried up and turned, then let go.
	attach[1]->set_transform(Transform3D(Basis(Vector3(0, 0, 1), 0.4f), Vector3(0.1f, 1, 0)));
	Host::process_frame(1.0 / 60.0);
	release_with(1);
	ASSERT_EQ(player->held_objects[1].object, nullptr);
	expect_crate_whole();
	expect_close(crate->get_global_position(), attach[1]->get_global_transform().xform(Vector3(0.1f, 0, 0)));
	expect_close(mesh->get_global_position(), crate->get_global_transform().xform(MESH_PLACE.origin));
	EXPECT_EQ(watch->get_parent(), attach[1]);
	EXPECT_EQ(watch->get_transform(), WATCH_PLACE);
	EXPECT_EQ(attach[1]->get_child_count(), 1);
	EXPECT_EQ(godot_host::Log::error_count(), 0);
}

// Each mode a scene may give a body comes back, and so do its processing
// flags, whatever they were.
TEST_F(HandsTest, TheBodysOwnModesComeBack) {
	struct Modes {
		Node::ProcessMode process;
		CollisionObject3D::DisableMode disable;
		bool processing, physics_processing;
	};
	const Modes cases[] = {
		{ Node::PROCESS_MODE_INHERIT, CollisionObject3D::DISABLE_MODE_REMOVE, false, false },
		{ Node::PROCESS_MODE_PAUSABLE, CollisionObject3D::DISABLE_MODE_KEEP_ACTIVE, true, false },
		{ Node::PROCESS_MODE_WHEN_PAUSED, CollisionObject3D::DISABLE_MODE_MAKE_STATIC, false, true },
		{ Node::PROCESS_MODE_ALWAYS, CollisionObject3D::DISABLE_MODE_REMOVE, true, true },
		{ Node::PROCESS_MODE_DISABLED, CollisionObject3D::DISABLE_MODE_KEEP_ACTIVE, true, true },
	};
	for (const Modes &m : cases) {
		RigidBody3D *b = body("B");
		b->set_process_mode(m.process);
		b->set_disable_mode(m.disable);
		b->set_process(m.processing);
		b->set_physics_process(m.physics_processing);
		grab_with(1, b);
		ASSERT_EQ(player->held_objects[1].object, b) << m.process;
		EXPECT_EQ(b->get_process_mode(), Node::PROCESS_MODE_DISABLED);
		EXPECT_FALSE(b->_host_in_world());
		close_hand(player, 1, 0.0f);
		Host::process_frame(1.0 / 60.0);
		EXPECT_EQ(b->get_process_mode(), m.process);
		EXPECT_EQ(b->get_disable_mode(), m.disable) << m.process;
		EXPECT_EQ(b->is_processing(), m.processing) << m.process;
		EXPECT_EQ(b->is_physics_processing(), m.physics_processing) << m.process;
		EXPECT_TRUE(b->_host_in_world()) << m.process; // kept active, or enabled again
		memdelete(b);
	}
	EXPECT_EQ(godot_host::Log::error_count(), 0);
}

// What a script sets while the body is held stands: its modes, and its
// children moved, freed or added on the hand; what it leaves alone comes back.
TEST_F(GiveBackTest, WhatAScriptChangesWhileHeldStands) {
	crate->set_process_mode(Node::PROCESS_MODE_PAUSABLE);
	crate->set_physics_process(true);
	Node3D *tag = add_node(crate, memnew(Node3D), "Tag", world);
	grab_with(1, crate);
	crate->set_process_mode(Node::PROCESS_MODE_ALWAYS);
	crate->set_process(true);
	crate->set_disable_mode(CollisionObject3D::DISABLE_MODE_MAKE_STATIC);
	light->reparent(world, true);
	memdelete(tag);
	mesh->set_transform(mesh->get_transform().rotated_local(Vector3(0, 1, 0), 0.5f));
	Transform3D carried = mesh->get_global_transform();
	Node3D *later = add_node(attach[1], memnew(Node3D), "Later", world);
	release_with(1);

	EXPECT_EQ(crate->get_process_mode(), Node::PROCESS_MODE_ALWAYS);
	EXPECT_EQ(crate->get_disable_mode(), CollisionObject3D::DISABLE_MODE_MAKE_STATIC);
	EXPECT_TRUE(crate->is_processing());
	EXPECT_TRUE(crate->is_physics_processing());
	EXPECT_EQ(light->get_parent(), world);
	EXPECT_EQ(later->get_parent(), attach[1]);
	EXPECT_EQ(child_names(crate), "CollisionShape3D Mesh Second ");
	// Turned on the hand, the mesh stays where the hand carried it.
	expect_close(mesh->get_global_position(), carried.origin);
	expect_close(mesh->get_global_basis().xform(Vector3(1, 0, 0)), carried.basis.xform(Vector3(1, 0, 0)));
	EXPECT_EQ(godot_host::Log::error_count(), 0);
}

// Turned on the hand, then the bone goes bad: the place it would keep is no
// number, so it gets its own back.
TEST_F(GiveBackTest, AChildMovedOnAHandThatIsNoNumberGetsItsOwnPlace) {
	grab_with(1, crate);
	mesh->set_position(mesh->get_position() + Vector3(0, 0.1f, 0));
	attach[1]->set_basis(Basis(std::numeric_limits<float>::quiet_NaN(), 0, 0, 0, 1, 0, 0, 0, 1));
	release_with(1);
	EXPECT_EQ(mesh->get_parent(), crate);
	EXPECT_EQ(mesh->get_transform(), MESH_PLACE);
	expect_close(crate->get_global_position(), Vector3(0.2f, 0, 0)); // let go where it is
	EXPECT_EQ(godot_host::Log::error_count(), 1); // the pose, reported once
}

// Both hands hold at once, then each takes the other's body in turn.
TEST_F(GiveBackTest, TwoHandsAndARegrabByTheOtherHand) {
	RigidBody3D *ball = body("Ball", Vector3(-0.2f, 0, 0));
	Node3D *shell = add_node(ball, memnew(Node3D), "Shell", world);
	shell->set_transform(LIGHT_PLACE.scaled(Vector3(3, 3, 3)));
	Node3D *ring = add_node(attach[0], memnew(Node3D), "Ring", world);
	grab_with(1, crate);
	grab_with(0, ball);
	ASSERT_EQ(player->held_objects[0].object, ball);
	ASSERT_EQ(player->held_objects[1].object, crate);
	release_with(1);
	expect_crate_whole();
	EXPECT_EQ(shell->get_parent(), attach[0]);
	release_with(0);
	EXPECT_EQ(shell->get_parent(), ball);
	EXPECT_EQ(shell->get_transform(), LIGHT_PLACE.scaled(Vector3(3, 3, 3)));

	for (int hand : { 0, 1, 0 }) {
		grab_with(hand, crate);
		ASSERT_EQ(player->held_objects[hand].object, crate) << hand;
		EXPECT_EQ(mesh->get_parent(), attach[hand]);
		release_with(hand);
		expect_crate_whole();
	}
	EXPECT_EQ(ring->get_parent(), attach[0]);
	EXPECT_EQ(watch->get_parent(), attach[1]);
	EXPECT_EQ(attach[0]->get_child_count(), 1);
	EXPECT_EQ(attach[1]->get_child_count(), 1);
	EXPECT_FLOAT_EQ(player->get_mass(), 80.0f);
}

// A crate saved as a scene of its own owns its children; the hand is not in
// that scene, so the move takes the owners away, and the release gives them back.
TEST_F(HandsTest, OwnersTheMoveTookComeBack) {
	Node3D *room = add_node(world, memnew(Node3D), "Room", world);
	RigidBody3D *crate = add_node(room, memnew(RigidBody3D), "Crate", world);
	crate->set_gravity_scale(0);
	Node3D *mesh = add_node(crate, memnew(Node3D), "Mesh", crate);
	Node3D *decal = add_node(mesh, memnew(Node3D), "Decal", crate);
	Node3D *inner = add_node(mesh, memnew(Node3D), "Inner", mesh); // a scene within
	Node3D *label = add_node(crate, memnew(Node3D), "Label", room); // owned by a room scene
	Node3D *sign = add_node(crate, memnew(Node3D), "Sign", world); // the main scene's
	grab_with(1, crate);
	ASSERT_EQ(player->held_objects[1].object, crate);
	EXPECT_EQ(mesh->get_owner(), nullptr);
	EXPECT_EQ(inner->get_owner(), mesh);
	EXPECT_EQ(sign->get_owner(), world);
	sign->set_owner(nullptr); // a script's choice
	close_hand(player, 1, 0.0f);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(mesh->get_owner(), crate);
	EXPECT_EQ(decal->get_owner(), crate);
	EXPECT_EQ(inner->get_owner(), mesh);
	EXPECT_EQ(label->get_owner(), room);
	EXPECT_EQ(sign->get_owner(), nullptr);
	EXPECT_EQ(crate->find_child("Decal"), decal); // found as a scene's node again
	EXPECT_EQ(godot_host::Log::error_count(), 0);
}

// Let go from the engine's tree callbacks: the hand's attachment or the
// player leaves the tree while it holds.
TEST_F(GiveBackTest, LetGoAsTheHandOrThePlayerLeaves) {
	grab_with(1, crate);
	world->remove_child(player);
	expect_crate_whole();
	world->add_child(player);
	EXPECT_EQ(watch->get_parent(), attach[1]);

	grab_with(1, crate);
	ASSERT_EQ(player->held_objects[1].object, crate);
	uint64_t watch_id = watch->get_instance_id();
	memdelete(attach[1]); // the watch is the hand's: it goes with it
	expect_crate_whole();
	EXPECT_EQ(ObjectDB::get_instance(watch_id), nullptr);
	Host::process_frame(1.0 / 60.0);
}

namespace {

// Scripts that run inside the grab's or the release's moves.
class GiveBackInterruptTest : public GiveBackTest {
protected:
	void once(Object *p_emitter, const char *p_signal, std::function<void()> p_code) {
		p_emitter->connect(p_signal, on_first_signal(p_emitter, std::move(p_code)));
	}
};

} // namespace

// The mesh leaving the crate takes the hand out of the tree: the grab is let
// go while the mesh is on its way, and the mesh still comes back.
TEST_F(GiveBackInterruptTest, LetGoWhileAChildIsOnItsWayToTheHand) {
	once(mesh, "tree_exiting", [this]() { skeleton->remove_child(attach[1]); });
	grab_with(1, crate);
	EXPECT_EQ(player->held_objects[1].object, nullptr);
	expect_crate_whole();
	EXPECT_FLOAT_EQ(player->get_mass(), 80.0f);
	EXPECT_EQ(attach[1]->get_child_count(), 1);
	skeleton->add_child(attach[1]);
	Host::process_frame(1.0 / 60.0);
	grab_with(1, crate);
	EXPECT_EQ(player->held_objects[1].object, crate);
}

// The hand moved into the crate by a script: the crate is held, and the
// hand's branch is not moved onto itself.
TEST_F(GiveBackTest, AHandInsideTheBodyIsNotMovedOntoItself) {
	attach[1]->reparent(crate, true);
	grab_with(1, crate);
	ASSERT_EQ(player->held_objects[1].object, crate);
	EXPECT_EQ(attach[1]->get_parent(), crate);
	EXPECT_EQ(mesh->get_parent(), attach[1]);
	release_with(1);
	EXPECT_EQ(mesh->get_parent(), crate);
	EXPECT_EQ(mesh->get_transform(), MESH_PLACE);
	EXPECT_EQ(attach[1]->get_parent(), crate);
	EXPECT_EQ(godot_host::Log::error_count(), 0);
}
