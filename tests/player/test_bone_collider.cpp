// Bone colliders: which attachment they follow, how they follow it and
// their velocity estimate.
#include "player_scene.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace godot;
using godot_host::Host;

namespace {


} // namespace

TEST(BoneColliderNames, DerivedAttachmentNames) {
	const char *table[][2] = {
		{ "hand_l_collider", "hand_l_bone_attach" },
		{ "thumb_01_r_collider", "thumb_01_r_bone_attach" },
		{ "index_02_l_outer_collider", "index_02_l_bone_attach" },
		{ "ring_03_r_held_object_collider", "ring_03_r_bone_attach" },
		{ "CollisionShape3D__hand_r_held_object_collider", "hand_r_bone_attach" },
		{ "Grip__Shape__hand_l_held_object_collider", "Shape__hand_l_bone_attach" },
		{ "pinky_collider_03_l", "pinky_03_l_bone_attach" },
		{ "Hand_L_Collider", "Hand_L_Collider_bone_attach" },
	};
	for (auto &row : table) {
		EXPECT_EQ(BoneCollider::attachment_name_for(row[0]), String(row[1])) << row[0];
	}
}

class BoneColliderTest : public PlayerTest {
protected:
	Node3D *body = nullptr;
	Node3D *bones = nullptr;
	BoneAttachment3D *attachment = nullptr;

	// A body with a bone frame that holds the attachment; the colliders are
	// the body's children, so both parents share one transform only when the
	// bone frame sits at the body's origin.
	void build_rig(const char *p_attachment = "thumb_01_l_bone_attach") {
		world = memnew(Node3D);
		world->set_name("World");
		body = add_node(world, memnew(Node3D), "Body", world);
		body->set_position(Vector3(1, 2, 3));
		bones = add_node(body, memnew(Node3D), "Bones", world);
		attachment = add_node(bones, memnew(BoneAttachment3D), p_attachment, world);
		attachment->set_transform(Transform3D(Basis(Vector3(0, 1, 0), 0.5f), Vector3(0.1f, 0.2f, 0.3f)));
	}

	template <typename T = BoneCollider>
	T *collider(const char *p_name) {
		return add_node(body, memnew(T), p_name, world);
	}
};

TEST_F(BoneColliderTest, IdentityOffsetTakesTheAttachmentsLocalPoseWithAQuarterTurn) {
	build_rig();
	BoneCollider *c = collider("thumb_01_l_collider");
	Host::set_current_scene(world);
	Host::process_frame(1.0 / 60.0);
	Transform3D t = c->get_transform();
	expect_vec(t.origin, attachment->get_transform().origin);
	// +Y of the collider runs along the attachment's +Z.
	expect_vec(t.basis.xform(Vector3(0, 1, 0)), attachment->get_transform().basis.xform(Vector3(0, 0, 1)));
	expect_vec(t.basis.xform(Vector3(0, 0, 1)), attachment->get_transform().basis.xform(Vector3(0, -1, 0)));
}

TEST_F(BoneColliderTest, OffsetFollowsInWorldSpaceAndNeckOnlyStopsTheIdentityBranch) {
	build_rig("neck_01_bone_attach");
	bones->set_position(Vector3(0, 5, 0)); // parents differ: only the world branch places it on the bone
	BoneCollider *neck = collider("neck_01_collider");
	Host::set_current_scene(world);
	Transform3D before = neck->get_transform();
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(neck->get_transform(), before);

	Transform3D offset(Basis(), Vector3(0, 0, 0.5f));
	neck->set("offset_transform", offset);
	EXPECT_EQ(neck->get_offset_transform(), offset);
	Host::process_frame(1.0 / 60.0);
	Transform3D want = attachment->get_global_transform() * offset;
	expect_vec(neck->get_global_transform().origin, want.origin);

	// A tiny difference from the identity already picks the world branch.
	Transform3D tiny;
	tiny.origin.x = 1e-7f;
	neck->set_offset_transform(tiny);
	Host::process_frame(1.0 / 60.0);
	expect_vec(neck->get_global_transform().origin, (attachment->get_global_transform() * tiny).origin);
	expect_vec(neck->get_global_basis().xform(Vector3(0, 1, 0)), attachment->get_global_basis().xform(Vector3(0, 1, 0)));
}

TEST_F(BoneColliderTest, ARenamedNeckColliderFollowsByItsNewName) {
	build_rig("neck_01_bone_attach");
	BoneCollider *neck = collider("neck_01_collider");
	Host::set_current_scene(world);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(neck->get_transform(), Transform3D());
	neck->set_name("throat_collider"); // keeps the attachment it found
	Host::process_frame(1.0 / 60.0);
	expect_vec(neck->get_transform().origin, attachment->get_transform().origin);
	neck->set_name("neck_02_collider");
	neck->set_transform(Transform3D());
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(neck->get_transform(), Transform3D());
}

TEST_F(BoneColliderTest, HeldObjectNamesFollowTheHandAndUnknownAttachmentsNothing) {
	build_rig("hand_l_bone_attach");
	add_node(bones, memnew(Node3D), "Shape__hand_l_bone_attach", world);
	BoneCollider *held = collider("CollisionShape3D__hand_l_held_object_collider");
	BoneCollider *two = collider("Grip__Shape__hand_l_held_object_collider");
	BoneCollider *none = collider("index_02_r_collider");
	Transform3D offset(Basis(), Vector3(0, 0.1f, 0));
	two->set_offset_transform(offset);
	none->set_offset_transform(offset);
	Host::set_current_scene(world);
	Host::process_frame(1.0 / 60.0);
	expect_vec(held->get_transform().origin, attachment->get_transform().origin);
	// A node of another class under the derived name is no attachment.
	EXPECT_EQ(two->get_transform(), Transform3D());
	EXPECT_EQ(none->get_transform(), Transform3D());
}

TEST_F(BoneColliderTest, FreedAttachmentStopsTheColliderFollowing) {
	build_rig();
	BoneCollider *c = collider("thumb_01_l_collider");
	Host::set_current_scene(world);
	Host::process_frame(1.0 / 60.0);
	Transform3D placed = c->get_transform();
	attachment->queue_free();
	Host::process_frame(1.0 / 60.0); // frees it at the end of the frame
	Host::process_frame(1.0 / 60.0);
	c->set_offset_transform(Transform3D(Basis(), Vector3(1, 1, 1)));
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(c->get_transform(), placed);
	EXPECT_EQ(godot_host::Log::error_count(), 0);
}

TEST_F(BoneColliderTest, EditorSwitchesProcessingOffAndLooksNothingUp) {
	Host::set_editor_hint(true);
	build_rig();
	BoneColliderIK *c = collider<BoneColliderIK>("thumb_01_l_collider");
	Host::set_current_scene(world);
	EXPECT_FALSE(c->is_processing());
	EXPECT_FALSE(c->is_physics_processing());
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(c->get_transform(), Transform3D());
}

// A new collider's history starts at its first position: it reports no
// motion it never made, wherever it stands.
TEST_F(BoneColliderTest, VelocityIsTheFiveStepDisplacementOverTen) {
	build_rig();
	bones->set_position(Vector3());
	body->set_position(Vector3());
	BoneColliderIK *still = collider<BoneColliderIK>("resting");
	still->set_position(Vector3(0, 1.5f, -3));
	BoneColliderIK *moving = collider<BoneColliderIK>("moving");
	EXPECT_FLOAT_EQ(still->get_mass(), 1.0f);
	moving->set("mass", 2.5);
	EXPECT_FLOAT_EQ(moving->get_mass(), 2.5f);
	Host::set_current_scene(world);
	for (int step = 1; step <= 7; step++) {
		moving->set_position(Vector3(0.01f * (float)step, 0, 0));
		Host::physics_step(1.0 / 90.0);
		expect_vec(still->get_velocity(), Vector3());
		float moved = 0.01f * (float)(std::min(step, 6) - 1); // since the first sample, at most five steps back
		expect_vec(moving->get_velocity(), Vector3(moved / 10.0f, 0, 0));
	}
}

// Scripts reach the two properties through the engine with any value: one
// that is no number is refused (the collider is a shape of the player's
// body, and its mass scales the player's pushes), one of the wrong type is
// refused by the engine, and the collider keeps what it had.
TEST_F(BoneColliderTest, PropertiesRefuseWhatIsNoNumber) {
	const float nan = std::nanf("");
	const float inf = std::numeric_limits<float>::infinity();
	build_rig();
	BoneColliderIK *c = collider<BoneColliderIK>("thumb_01_l_collider");
	Host::set_current_scene(world);
	const Transform3D offset(Basis(), Vector3(0.1f, 0, 0));
	c->set("offset_transform", offset);
	c->set("mass", 2.0);
	godot_host::Log::clear();

	c->set("offset_transform", Transform3D(Basis(), Vector3(nan, 0, 0)));
	c->set("offset_transform", Transform3D(Basis(Vector3(inf, 0, 0), Vector3(0, 1, 0), Vector3(0, 0, 1)), Vector3()));
	c->set("mass", (double)nan);
	c->set("mass", (double)inf);
	c->set("mass", 1e300); // no float holds it
	EXPECT_EQ(godot_host::Log::error_count(), 5);
	c->set("mass", String("heavy"));
	EXPECT_EQ(c->get_offset_transform(), offset);
	EXPECT_FLOAT_EQ(c->get_mass(), 2.0f);
	EXPECT_FLOAT_EQ((float)(double)c->get("mass"), 2.0f);

	// Finite values of any size or sign stay the caller's business.
	c->set("mass", -3.0);
	EXPECT_FLOAT_EQ(c->get_mass(), -3.0f);
	Host::iteration(1.0 / 60.0);
	EXPECT_TRUE(c->get_global_transform().is_finite());
}

// A collider put at a place that is no number reports no motion, and from
// its next real place on estimates again from real places only.
TEST_F(BoneColliderTest, VelocityOfAColliderAtNoNumberIsNone) {
	build_rig();
	bones->set_position(Vector3());
	body->set_position(Vector3());
	BoneColliderIK *c = collider<BoneColliderIK>("moving");
	Host::set_current_scene(world);
	for (int step = 0; step < 3; step++) {
		c->set_position(Vector3(0.01f * (float)step, 0, 0));
		Host::physics_step(1.0 / 90.0);
	}
	c->set_position(Vector3(std::nanf(""), 0, 0));
	Host::physics_step(1.0 / 90.0);
	expect_vec(c->get_velocity(), Vector3());
	for (int step = 3; step < 10; step++) {
		c->set_position(Vector3(0.01f * (float)step, 0, 0));
		Host::physics_step(1.0 / 90.0);
		EXPECT_TRUE(c->get_velocity().is_finite());
	}
	expect_vec(c->get_velocity(), Vector3(0.005f, 0, 0));
}
