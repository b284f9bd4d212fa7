// Scripts against grab and release: a held body with a nested scene among its
// children, moved out of the tree and back mid-hold; a second player that
// takes the same body, or takes hold of the first player itself. Every node
// must come back where it belongs, with its modes, and nothing non-finite.
#include "player/hands_scene.hpp"

#include <godot_cpp/classes/box_shape3d.hpp>

#include <string>

namespace {

const Transform3D LAMP_PLACE(Basis(Vector3(0, 0, 1), 0.5f), Vector3(0.1f, 0.2f, -0.3f));
const Transform3D BULB_PLACE(Basis().scaled(Vector3(0.5f, 0.5f, 0.5f)), Vector3(0, 0.4f, 0));

std::string names_of(Node *p_parent) {
	std::string out;
	for (int32_t i = 0; i < p_parent->get_child_count(); i++) {
		out += String(p_parent->get_child(i)->get_name()).utf8().get_data();
		out += " ";
	}
	return out;
}

} // namespace

class GrabAgainstScripts : public HandsTest {
protected:
	// A second player next to the first, with its own skeleton, hand
	// attachments and the hand shapes a grab needs.
	Player *second = nullptr;
	BoneAttachment3D *second_attach[2] = {};

	void add_second_player() {
		// Built whole before it enters the tree, as an instanced scene is.
		second = memnew(Player);
		second->set_name("Player2");
		second->set_gravity_scale(0.0f);
		second->set_mass(70.0f);
		Skeleton3D *bones = add_node(second, memnew(Skeleton3D), "Skeleton3D", second);
		second_attach[0] = add_node(bones, memnew(BoneAttachment3D), "hand_l_bone_attach", second);
		second_attach[1] = add_node(bones, memnew(BoneAttachment3D), "hand_r_bone_attach", second);
		for (const char *name : { "thumb_l_collider", "index_02_l_collider", "thumb_01_r_collider", "index_01_r_collider" }) {
			BoneColliderIK *c = add_node(second, memnew(BoneColliderIK), name, second);
			c->set_shape(Ref<BoxShape3D>(memnew(BoxShape3D)));
		}
		add_node(world, second, "Player2", world);
	}

	int shape_of(Player *p_player, const char *p_name) {
		for (int i = 0; i < p_player->_host_shape_count(); i++) {
			Node *n = Object::cast_to<Node>(p_player->shape_owner_get_owner(p_player->shape_find_owner(i)));
			if (n && n->get_name() == StringName(p_name)) {
				return i;
			}
		}
		ADD_FAILURE() << "no shape " << p_name;
		return -1;
	}

	void grab_by(Player *p_player, int p_hand, RigidBody3D *p_body) {
		const char *thumb = p_hand == 0 ? "thumb_l_collider" : "thumb_01_r_collider";
		const char *index = p_hand == 0 ? "index_02_l_collider" : "index_01_r_collider";
		p_player->_handle_hand_collision(RID(), p_body, 0, (uint32_t)shape_of(p_player, thumb), true);
		p_player->_handle_hand_collision(RID(), p_body, 0, (uint32_t)shape_of(p_player, index), true);
		close_hand(p_player, p_hand, 1.0f);
		Host::process_frame(1.0 / 60.0);
	}

	void let_go(Player *p_player, int p_hand) {
		close_hand(p_player, p_hand, 0.0f);
		Host::process_frame(1.0 / 60.0);
	}
};

// A crate whose children include a nested scene (a lamp owned by the world,
// its bulb owned by the lamp) with their own transforms. Mid-hold a script
// takes the crate out of the tree and puts it back in one step. On release
// everything is back: parents, owners, transforms, order, modes.
TEST_F(GrabAgainstScripts, NestedSceneChildrenOfABodyMovedOutAndBackMidHold) {
	RigidBody3D *crate = body("Crate", Vector3(0.2f, 0, 0));
	Node3D *lamp = add_node(crate, memnew(Node3D), "Lamp", world);
	lamp->set_transform(LAMP_PLACE);
	Node3D *bulb = add_node(lamp, memnew(Node3D), "Bulb", lamp);
	bulb->set_transform(BULB_PLACE);
	grab_with(1, crate);
	ASSERT_EQ(player->held_objects[1].object, crate);
	EXPECT_EQ(lamp->get_parent(), attach[1]);

	Host::process_frame(1.0 / 60.0);
	world->remove_child(crate);
	world->add_child(crate);
	Host::process_frame(1.0 / 60.0);
	let_go(player, 1);

	EXPECT_EQ(player->held_objects[1].object, nullptr);
	EXPECT_EQ(lamp->get_parent(), crate);
	EXPECT_EQ(bulb->get_parent(), lamp);
	EXPECT_EQ(lamp->get_owner(), world);
	EXPECT_EQ(bulb->get_owner(), lamp);
	EXPECT_EQ(bulb->get_transform(), BULB_PLACE);
	EXPECT_TRUE(crate->get_global_transform().is_finite());
	EXPECT_EQ(names_of(crate), "CollisionShape3D Lamp ");
	EXPECT_EQ(crate->get_process_mode(), Node::PROCESS_MODE_INHERIT);
	EXPECT_FALSE(crate->is_physics_processing()) << "as it was";
	EXPECT_EQ(attach[1]->get_child_count(), 0);
	EXPECT_FLOAT_EQ(player->get_mass(), 80.0f);
}

// Two players take hold of the same body, and let go in either order: the
// body ends up whole, with its own modes, in the world, and each player with
// its own mass.
TEST_F(GrabAgainstScripts, TwoPlayersHoldTheSameBody) {
	add_second_player();
	for (bool first_lets_go_first : { true, false }) {
		SCOPED_TRACE(first_lets_go_first ? "first lets go first" : "second lets go first");
		RigidBody3D *crate = body("Crate", Vector3(0.2f, 0, 0));
		Node3D *mesh = add_node(crate, memnew(Node3D), "Mesh", world);
		mesh->set_transform(LAMP_PLACE);
		grab_by(player, 1, crate);
		ASSERT_EQ(player->held_objects[1].object, crate);
		grab_by(second, 0, crate);
		if (first_lets_go_first) {
			let_go(player, 1);
			let_go(second, 0);
		} else {
			let_go(second, 0);
			let_go(player, 1);
		}
		EXPECT_EQ(player->held_objects[1].object, nullptr);
		EXPECT_EQ(second->held_objects[0].object, nullptr);
		EXPECT_EQ(mesh->get_parent(), crate);
		EXPECT_EQ(mesh->get_transform(), LAMP_PLACE);
		EXPECT_EQ(crate->get_process_mode(), Node::PROCESS_MODE_INHERIT);
		EXPECT_EQ(crate->get_disable_mode(), CollisionObject3D::DISABLE_MODE_REMOVE);
		EXPECT_FALSE(crate->is_physics_processing()) << "as it was";
		EXPECT_TRUE(crate->_host_in_world());
		EXPECT_FLOAT_EQ(player->get_mass(), 80.0f);
		EXPECT_FLOAT_EQ(second->get_mass(), 70.0f);
		EXPECT_EQ(attach[1]->get_child_count(), 0);
		EXPECT_EQ(second_attach[0]->get_child_count(), 0);
		memdelete(crate);
		Host::process_frame(1.0 / 60.0);
	}
}

// A second player takes hold of the first player (a rigid body like any
// other) while the first holds a crate: the first lets go of its crate as its
// hands leave, and when the second lets go the first gets every node back,
// in order, running again.
TEST_F(GrabAgainstScripts, ASecondPlayerTakesHoldOfTheFirst) {
	add_second_player();
	RigidBody3D *crate = body("Crate", Vector3(0.2f, 0, 0));
	Node3D *mesh = add_node(crate, memnew(Node3D), "Mesh", world);
	const std::string first_children = names_of(player);
	grab_with(1, crate);
	ASSERT_EQ(player->held_objects[1].object, crate);

	grab_by(second, 0, player);
	Host::advance(0.2, 1.0 / 60.0);
	EXPECT_EQ(mesh->get_parent(), crate) << "the crate's mesh stays on a hand that left";
	let_go(second, 0);
	Host::advance(0.2, 1.0 / 60.0);

	EXPECT_EQ(second->held_objects[0].object, nullptr);
	EXPECT_EQ(names_of(player), first_children);
	EXPECT_EQ(player->get_process_mode(), Node::PROCESS_MODE_INHERIT);
	EXPECT_TRUE(player->is_processing());
	EXPECT_TRUE(player->is_physics_processing());
	EXPECT_TRUE(player->get_global_transform().is_finite());
	EXPECT_FLOAT_EQ(second->get_mass(), 70.0f);
	EXPECT_EQ(second_attach[0]->get_child_count(), 0);
	// The first player's hands work again.
	close_hand(player, 1, 0.0f);
	Host::process_frame(1.0 / 60.0);
	grab_with(1, crate);
	EXPECT_EQ(player->held_objects[1].object, crate);
}

// The held body's mesh child is queued for deletion and the body freed
// outright in the frame the hand lets go, from the child's own
// "tree_exiting" as the release moves it back.
TEST_F(GrabAgainstScripts, BodyFreedByItsChildsExitAsTheReleaseMovesItBack) {
	RigidBody3D *crate = body("Crate", Vector3(0.2f, 0, 0));
	Node3D *mesh = add_node(crate, memnew(Node3D), "Mesh", world);
	Node3D *other = add_node(crate, memnew(Node3D), "Other", world);
	const uint64_t crate_id = crate->get_instance_id();
	const uint64_t other_id = other->get_instance_id();
	grab_with(1, crate);
	ASSERT_EQ(player->held_objects[1].object, crate);
	mesh->connect("tree_exiting", on_first_signal(world, [&]() { free_if_alive(crate_id); }));
	let_go(player, 1);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(ObjectDB::get_instance(crate_id), nullptr);
	EXPECT_EQ(ObjectDB::get_instance(other_id), nullptr) << "a child of a freed body left on the hand";
	EXPECT_EQ(attach[1]->get_child_count(), 0);
	EXPECT_FLOAT_EQ(player->get_mass(), 80.0f);
}

// The hand's attachment is freed from a child's own "tree_exiting" as the
// grab moves that child onto the hand: the child stays with its body, and the
// grab is undone.
TEST_F(GrabAgainstScripts, HandFreedByAChildsExitAsTheGrabMovesItOntoTheHand) {
	RigidBody3D *crate = body("Crate", Vector3(0.2f, 0, 0));
	Node3D *mesh = add_node(crate, memnew(Node3D), "Mesh", world);
	mesh->set_transform(LAMP_PLACE);
	const uint64_t mesh_id = mesh->get_instance_id();
	const uint64_t hand_id = attach[1]->get_instance_id();
	mesh->connect("tree_exiting", on_first_signal(world, [&]() { free_if_alive(hand_id); }));
	grab_with(1, crate);
	Host::process_frame(1.0 / 60.0);
	ASSERT_NE(ObjectDB::get_instance(mesh_id), nullptr);
	EXPECT_EQ(mesh->get_parent(), crate);
	EXPECT_TRUE(mesh->get_transform().is_equal_approx(LAMP_PLACE));
	EXPECT_EQ(player->held_objects[1].object, nullptr);
	EXPECT_FLOAT_EQ(player->get_mass(), 80.0f);
}
