// Hand shapes that a script frees, removes, moves away or renames while they
// touch a body, and the scene's own shapes that only share a held object's
// copy name.
#include "hands_scene.hpp"

namespace {

const uint32_t LEFT_THUMB = 0x20000000u;
const uint32_t LEFT_INDEX_02 = 0x00400000u;
const uint32_t LEFT_MIDDLE_01 = 0x00100000u;
const uint32_t LEFT_PALM = 0x80000000u;

} // namespace

class HandShapesLeavingTest : public HandsTest {
protected:
	Node *hand_shape(const char *p_name) {
		return player->find_child(p_name, false, true);
	}
};

// A script swaps the finger colliders while one touches: a thumb alone must
// not take the body afterwards.
TEST_F(HandShapesLeavingTest, AFreedFingerShapeTakesItsBitAlong) {
	RigidBody3D *a = body("A");
	touch(a, "thumb_l_collider");
	touch(a, "index_02_l_collider");
	ASSERT_EQ(entry(a)->touch_mask, LEFT_THUMB | LEFT_INDEX_02);
	memdelete(hand_shape("index_02_l_collider"));
	EXPECT_EQ(entry(a)->touch_mask, LEFT_THUMB);
	close_hand(player, 0, 1.0f);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[0].object, nullptr);
	// The next finger that touches does it.
	touch(a, "middle_01_l_collider");
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[0].object, a);
}

TEST_F(HandShapesLeavingTest, ARemovedOrMovedShapeTakesItsBitAlong) {
	RigidBody3D *a = body("A");
	touch(a, "thumb_l_collider");
	touch(a, "index_02_l_collider");
	touch(a, "hand_l_outer_collider"); // the outer palm keeps the hand off
	Node *outer = hand_shape("hand_l_outer_collider");
	outer->reparent(world, true);
	EXPECT_EQ(entry(a)->outer_mask, 0u);
	EXPECT_EQ(entry(a)->touch_mask, LEFT_THUMB | LEFT_INDEX_02);

	// Removed and put back: its next contact counts, and so does its next removal.
	Node *index = hand_shape("index_02_l_collider");
	player->remove_child(index);
	EXPECT_EQ(entry(a)->touch_mask, LEFT_THUMB);
	player->add_child(index);
	touch(a, "index_02_l_collider");
	EXPECT_EQ(entry(a)->touch_mask, LEFT_THUMB | LEFT_INDEX_02);
	player->remove_child(index);
	EXPECT_EQ(entry(a)->touch_mask, LEFT_THUMB);
	memdelete(index);
}

// Two shapes of one hand part share its bit: the one that stays sets it again
// at its next contact.
TEST_F(HandShapesLeavingTest, ASharedBitGoesWithEitherShape) {
	RigidBody3D *a = body("A");
	touch(a, "thumb_l_collider");
	touch(a, "thumb_07_l_collider");
	memdelete(hand_shape("thumb_07_l_collider"));
	EXPECT_EQ(entry(a)->touch_mask, 0u);
	EXPECT_NE(entry(a)->touched_at, 0); // stamped as untouched
	touch(a, "thumb_l_collider");
	EXPECT_EQ(entry(a)->touch_mask, LEFT_THUMB);
	EXPECT_EQ(entry(a)->touched_at, 0);
}

TEST_F(HandShapesLeavingTest, ARenamedShapeTakesTheBitsOfItsOldName) {
	RigidBody3D *a = body("A");
	touch(a, "middle_01_l_collider");
	touch(a, "hand_l_collider");
	Node *middle = hand_shape("middle_01_l_collider");
	middle->set_name("middle_01_l_outer_collider");
	EXPECT_EQ(entry(a)->touch_mask, LEFT_PALM);
	touch(a, "middle_01_l_outer_collider");
	EXPECT_EQ(entry(a)->outer_mask, LEFT_MIDDLE_01);
	middle->set_name("Grip");
	EXPECT_EQ(entry(a)->outer_mask, 0u);
	EXPECT_EQ(entry(a)->touch_mask, LEFT_PALM);
}

// The copies of a held object are the release's to remove; a scene shape
// named like one (by the naming rule the right palm's inner shape) and a
// node elsewhere with a copy's name stay where they are.
TEST_F(HandShapesLeavingTest, ReleaseRemovesOnlyItsOwnCopies) {
	Node *palm = hand_shape("hand_r_held_object_collider");
	Node3D *lookalike = add_node(skeleton, memnew(Node3D), "Other__hand_r_held_object_collider", world);
	RigidBody3D *a = body("A");
	grab_with(1, a);
	ASSERT_EQ(player->held_objects[1].object, a);
	close_hand(player, 1, 0.0f);
	for (int i = 0; i < 2; i++) {
		Host::process_frame(1.0 / 60.0);
	}
	ASSERT_EQ(player->held_objects[1].object, nullptr);
	EXPECT_EQ(palm->get_parent(), player);
	EXPECT_FALSE(palm->is_queued_for_deletion());
	EXPECT_EQ(lookalike->get_parent(), skeleton);
	EXPECT_FALSE(lookalike->is_queued_for_deletion());
	EXPECT_EQ(player->find_children("*__hand_r_held_object_collider", "BoneColliderIK", true, false).size(), 0);

	// The palm still touches.
	RigidBody3D *b = body("B");
	touch(b, "hand_r_held_object_collider");
	EXPECT_EQ(entry(b)->touch_mask, 0x40000000u);
}
