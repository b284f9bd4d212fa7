// The player's methods that scripts can reach by name, called through the
// engine's call path with what a script may pass: null, freed objects,
// objects of other classes, indices and ids out of range, numbers that are
// no numbers.
#include "hands_scene.hpp"

#include <godot_cpp/classes/static_body3d.hpp>
#include <godot_cpp/classes/timer.hpp>

#include <cmath>
#include <limits>

namespace {

const double NOT_A_NUMBER = std::numeric_limits<double>::quiet_NaN();
const double INF = std::numeric_limits<double>::infinity();

// A node's value in a variable whose node was freed since.
Variant freed_node(Node *p_node) {
	Variant value(p_node);
	memdelete(p_node);
	return value;
}

} // namespace

TEST_F(HandsTest, ContactCallsTakeWhateverAScriptPasses) {
	const int64_t thumb = shape("thumb_01_r_collider");
	RigidBody3D *own = add_node(attach[1], memnew(RigidBody3D), "Carried", world);
	RigidBody3D *ship = body("Ship");
	Node3D *plain = add_node(world, memnew(Node3D), "Plain", world);
	StaticBody3D *wall = add_node(world, memnew(StaticBody3D), "Wall", world);
	const Variant bodies[] = { Variant(), freed_node(body("Gone")), Variant(plain), Variant(wall), Variant(player), Variant(own) };
	for (const Variant &b : bodies) {
		player->call("_handle_hand_collision", RID(), b, 0, thumb, true);
		Callable(player, "_handle_hand_collision").bind(false).call(RID(), b, 0, thumb);
	}
	EXPECT_EQ(player->touching_objects.size(), 0);
	EXPECT_EQ(godot_host::Log::error_count(), 0);

	// Shape indices beyond the player's shapes: the engine says so, and
	// nothing is recorded; ones the engine's conversion brings to a real
	// shape count as that shape.
	const Variant indices[] = { Variant((int64_t)-1), Variant((int64_t)1 << 31), Variant((int64_t)player->_host_shape_count()),
		Variant(NOT_A_NUMBER), Variant(INF), Variant(-INF), Variant(1e300), Variant((int64_t)1 << 40) };
	for (const Variant &index : indices) {
		player->call("_handle_hand_collision", RID(), ship, 0, index, NOT_A_NUMBER);
	}
	ASSERT_LE(player->touching_objects.size(), 1);
	if (player->touching_objects.size() == 1) {
		EXPECT_EQ(player->touching_objects[0].object, ship);
		EXPECT_EQ(player->touching_objects[0].touch_mask & ~0x80000000u, 0u); // shape 0: the left palm at most
	}
	// A value of the wrong kind is refused by the call itself.
	godot_host::Log::clear();
	player->call("_handle_hand_collision", String("rid"), ship, 0, thumb, true);
	EXPECT_EQ(godot_host::Log::error_count(), 1);

	// The player's own bodies, and one it sits in, are never taken.
	player->reparent(ship, true);
	for (const Variant &b : { Variant(ship), Variant(own) }) {
		player->call("_handle_hand_collision", RID(), b, 0, thumb, true);
		player->call("_handle_hand_collision", RID(), b, 0, (int64_t)shape("index_01_r_collider"), true);
	}
	close_hand(player, 1, 1.0f);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[1].object, nullptr);
	EXPECT_EQ(player->get_parent(), ship);
	EXPECT_EQ(own->get_parent(), attach[1]);
}

TEST_F(HandsTest, ReleaseItemTimeoutTakesWhateverAScriptPasses) {
	RigidBody3D *crate = body("Crate");
	Node3D *plain = add_node(world, memnew(Node3D), "Plain", world);
	Node *node = add_node(world, memnew(Node), "Node", world);
	Timer *timer = add_node(world, memnew(Timer), "Timer", world);
	const Variant objects[] = { Variant(), freed_node(body("Gone")), Variant(node), Variant(timer) };
	const Variant timers[] = { Variant(), freed_node(memnew(Timer)), Variant(plain), Variant(crate) };
	for (const Variant &o : objects) {
		for (const Variant &t : timers) {
			player->call("_on_release_item_timeout", o, t);
		}
	}
	Host::process_frame(1.0 / 60.0);
	EXPECT_FALSE(plain->is_queued_for_deletion());
	EXPECT_FALSE(crate->is_queued_for_deletion());
	EXPECT_FALSE(timer->is_queued_for_deletion());
	EXPECT_EQ(godot_host::Log::error_count(), 0);

	// What it is for: the object's physics step on, the timer gone. A body
	// held meanwhile keeps the step a script gave it.
	grab_with(1, crate);
	ASSERT_EQ(player->held_objects[1].object, crate);
	uint64_t timer_id = timer->get_instance_id();
	player->call("_on_release_item_timeout", crate, timer);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(ObjectDB::get_instance(timer_id), nullptr);
	close_hand(player, 1, 0.0f);
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[1].object, nullptr);
	EXPECT_TRUE(crate->is_physics_processing());
	EXPECT_EQ(crate->get_process_mode(), Node::PROCESS_MODE_INHERIT);
}

// The callbacks the player connects to its hands and shapes, called by name
// with hands and ids that are none of theirs.
TEST_F(HandsTest, HandAndShapeCallbacksTakeWhateverAScriptPasses) {
	RigidBody3D *crate = body("Crate");
	Node3D *mesh = add_node(crate, memnew(Node3D), "Mesh", world);
	touch(crate, "thumb_l_collider");
	touch(crate, "index_02_l_collider");
	const uint32_t mask = entry(crate)->touch_mask;

	for (const Variant &hand : { Variant((int64_t)2), Variant((int64_t)-1), Variant(5e9) }) {
		player->call("_on_hand_attachment_exiting", hand);
	}
	EXPECT_EQ(godot_host::Log::error_count(), 3); // each hand that is none reported
	godot_host::Log::clear();
	const Variant ids[] = { Variant((int64_t)0), Variant((int64_t)-1), Variant(NOT_A_NUMBER), Variant(INF),
		Variant((int64_t)player->get_instance_id()), Variant((int64_t)crate->get_instance_id()),
		Variant((int64_t)attach[0]->get_instance_id()) };
	for (const Variant &id : ids) {
		player->call("_on_hand_shape_exiting", id);
		player->call("_on_hand_shape_renamed", id);
	}
	player->call("_on_cleanup_timer_timeout");
	player->call("_on_cleanup_timer_timeout", 1); // refused by the call
	EXPECT_EQ(godot_host::Log::error_count(), 1);
	EXPECT_EQ(entry(crate)->touch_mask, mask);

	// A real shape's id: its touch is forgotten, and its next one counts.
	Node *index = player->find_child("index_02_l_collider", false);
	player->call("_on_hand_shape_exiting", (int64_t)index->get_instance_id());
	EXPECT_EQ(entry(crate)->touch_mask, 0x20000000u);
	touch(crate, "index_02_l_collider");
	EXPECT_EQ(entry(crate)->touch_mask, mask);

	// Told its hand leaves while it stays (a number that is none is hand 0 to
	// the engine): it lets go, as it would, and plays on.
	close_hand(player, 0, 1.0f);
	Host::process_frame(1.0 / 60.0);
	ASSERT_EQ(player->held_objects[0].object, crate);
	player->call("_on_hand_attachment_exiting", NOT_A_NUMBER);
	EXPECT_EQ(player->held_objects[0].object, nullptr);
	EXPECT_EQ(mesh->get_parent(), crate);
	EXPECT_EQ(crate->get_process_mode(), Node::PROCESS_MODE_INHERIT);
	EXPECT_FLOAT_EQ(player->get_mass(), 80.0f);
	Host::process_frame(1.0 / 60.0);
	touch(crate, "thumb_l_collider");
	touch(crate, "index_02_l_collider");
	Host::process_frame(1.0 / 60.0);
	EXPECT_EQ(player->held_objects[0].object, crate);
	EXPECT_EQ(godot_host::Log::error_count(), 1);
}
