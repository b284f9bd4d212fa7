// The engine's own footprint stays flat over a long run: names no one refers
// to are freed, what it records for reading back is bounded, and objects and
// bodies that are gone leave nothing in its tables.
#include "support/code_receiver.hpp"

#include <godot_cpp/classes/audio_server.hpp>
#include <godot_cpp/classes/collision_shape3d.hpp>
#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/sphere_shape3d.hpp>
#include <godot_cpp/classes/xr_server.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/utility_functions.hpp>
#include <godot_host/host.hpp>
#include <godot_host/log.hpp>
#include <godot_host/physics_world.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

using namespace godot;
using godot_host::Host;
using godot_host::Log;
using godot_host::PhysicsWorld;

TEST(HostMemory, NamesLiveAsLongAsSomethingRefersToThem) {
	const int64_t before = StringName::_host_interned_count();
	for (int i = 0; i < 20000; i++) {
		StringName name(String("transient_") + itos(i));
		StringName copy = name;
		EXPECT_EQ(copy, name);
	}
	EXPECT_EQ(StringName::_host_interned_count(), before) << "every dropped name freed";

	StringName kept("kept_name_for_test");
	const int64_t with_one = StringName::_host_interned_count();
	{
		StringName again("kept_name_for_test");
		EXPECT_EQ(again, kept) << "equal names share one entry";
		StringName moved = std::move(again);
		EXPECT_TRUE(again.is_empty());
		StringName assigned;
		assigned = moved;
		assigned = assigned;
		moved = StringName();
		EXPECT_EQ(assigned, kept);
		EXPECT_EQ(StringName::_host_interned_count(), with_one);
	}
	EXPECT_EQ(String(kept), String("kept_name_for_test")) << "the first holder still reads it";
	kept = StringName();
	EXPECT_EQ(StringName::_host_interned_count(), with_one - 1);
	EXPECT_EQ(StringName("kept_name_for_test"), StringName("kept_name_for_test")) << "made anew after being freed";
}

TEST(HostMemory, TheLogKeepsItsRecentEntriesAndCountsThemAll) {
	Log::clear();
	const size_t capacity = Log::capacity();
	const int prints = (int)capacity * 3;
	for (int i = 0; i < prints; i++) {
		UtilityFunctions::print("line ", i);
	}
	ERR_PRINT("the last word");
	EXPECT_LE(Log::entries().size(), capacity);
	EXPECT_GE(Log::entries().size(), capacity / 2);
	EXPECT_EQ(Log::total_count(), (uint64_t)prints + 1);
	EXPECT_EQ(Log::error_count(), 1);
	std::vector<std::string> lines = Log::printed_lines();
	ASSERT_FALSE(lines.empty());
	EXPECT_EQ(lines.back(), "line " + std::to_string(prints - 1)) << "the newest kept, in order";
	EXPECT_EQ(Log::errors().back().text, "the last word");
	Log::clear();
	EXPECT_EQ(Log::error_count(), 0);
	EXPECT_EQ(Log::total_count(), 0u);
}

TEST(HostMemory, VolumeAndRecentreRecordsStayBounded) {
	AudioServer *audio = AudioServer::get_singleton();
	audio->_host_reset();
	for (int i = 0; i < 100000; i++) {
		audio->set_bus_volume_linear(0, (float)(i % 100) / 100.0f);
	}
	EXPECT_LE(audio->_host_linear_volume_calls().size(), 1024u);
	EXPECT_EQ(audio->_host_linear_volume_call_count(), 100000u);
	EXPECT_FLOAT_EQ(audio->_host_linear_volume_calls().back().linear, 0.99f);
	audio->_host_reset();
	EXPECT_TRUE(audio->_host_linear_volume_calls().empty());

	XRServer *xr = XRServer::get_singleton();
	xr->_host_reset();
	for (int i = 0; i < 5000; i++) {
		xr->center_on_hmd(XRServer::RESET_BUT_KEEP_TILT, i % 2 == 0);
	}
	EXPECT_LE(xr->_host_center_calls().size(), 1024u);
	EXPECT_EQ(xr->_host_center_call_count(), 5000u);
	EXPECT_FALSE(xr->_host_center_calls().back().keep_height);
	xr->_host_reset();
	Log::clear();
}

namespace {

// Many bodies come and go; the engine's tables must come back to their size.
class HostTablesTest : public ::testing::Test {
protected:
	Node3D *root = nullptr;
	RigidBody3D *monitor = nullptr;

	void SetUp() override {
		Host::reset();
		PhysicsWorld::reset();
		Log::clear();
		root = memnew(Node3D);
		root->set_name("Main");
		monitor = add_body("Monitor");
		monitor->set_contact_monitor(true);
		monitor->set_max_contacts_reported(4);
		Host::set_current_scene(root);
	}

	void TearDown() override {
		Host::reset();
		PhysicsWorld::reset();
		Log::clear();
	}

	RigidBody3D *add_body(const String &p_name) {
		RigidBody3D *body = memnew(RigidBody3D);
		body->set_name(p_name);
		body->set_gravity_scale(0.0f);
		CollisionShape3D *shape = memnew(CollisionShape3D);
		shape->set_shape(Ref<SphereShape3D>(memnew(SphereShape3D)));
		body->add_child(shape);
		root->add_child(body);
		return body;
	}
};

} // namespace

TEST_F(HostTablesTest, ObjectsFreedGiveTheirSlotsToNewOnesAndTheirIdsToNone) {
	const size_t slots = ObjectDB::_host_slot_count();
	const int objects = ObjectDB::_host_instance_count();
	std::vector<uint64_t> freed_ids;
	for (int round = 0; round < 200; round++) {
		std::vector<Node *> nodes;
		for (int k = 0; k < 50; k++) {
			nodes.push_back(memnew(Node));
		}
		for (Node *n : nodes) {
			freed_ids.push_back(n->get_instance_id());
			memdelete(n);
		}
	}
	EXPECT_EQ(ObjectDB::_host_instance_count(), objects);
	EXPECT_LE(ObjectDB::_host_slot_count(), slots + 50) << "no more slots than objects alive at once";
	Node *fresh = memnew(Node);
	for (uint64_t id : freed_ids) {
		ASSERT_EQ(ObjectDB::get_instance(id), nullptr) << "a freed object's id names nothing, though its slot is in use again";
		ASSERT_NE(id, fresh->get_instance_id());
	}
	EXPECT_EQ(ObjectDB::get_instance(fresh->get_instance_id()), fresh);
	EXPECT_EQ(ObjectDB::get_instance(0), nullptr);
	memdelete(fresh);
}

TEST_F(HostTablesTest, BodiesThatTouchedAndWentLeaveNoRecordNameOrSlot) {
	Host::physics_step(1.0 / 60.0);
	const size_t records = PhysicsWorld::_host_record_count();
	const int64_t names = StringName::_host_interned_count();
	const int objects = ObjectDB::_host_instance_count();
	const size_t slots = ObjectDB::_host_slot_count();
	int shape_signals = 0, body_signals = 0, touching = 0;
	int most_alive = 0;
	monitor->connect("body_shape_entered", on_signal(monitor, [&shape_signals]() { shape_signals++; }));
	int serial = 0;
	for (int round = 0; round < 100; round++) {
		// Each body has a name of its own, touches the monitor, is reported
		// in its contacts, and goes: freed at once, queued, or taken out first.
		std::vector<RigidBody3D *> bodies;
		for (int k = 0; k < 30; k++) {
			RigidBody3D *body = add_body("Crate" + itos(serial++));
			body->connect("tree_exiting", on_signal(monitor, [&body_signals]() { body_signals++; }));
			PhysicsWorld::begin_shape_contact(monitor, body, 0, 0);
			PhysicsWorld::Contact contact;
			contact.collider = body;
			PhysicsWorld::add_contact(monitor, contact);
			bodies.push_back(body);
		}
		Host::physics_step(1.0 / 60.0);
		touching += PhysicsWorld::active_shape_pairs(monitor);
		most_alive = std::max(most_alive, ObjectDB::_host_instance_count() - objects);
		for (size_t k = 0; k < bodies.size(); k++) {
			switch (k % 3) {
				case 0:
					memdelete(bodies[k]);
					break;
				case 1:
					bodies[k]->queue_free();
					break;
				default:
					root->remove_child(bodies[k]);
					memdelete(bodies[k]);
					break;
			}
		}
		PhysicsWorld::clear_contacts(monitor);
		Host::process_frame(1.0 / 60.0);
		Host::physics_step(1.0 / 60.0);
	}
	EXPECT_EQ(touching, 100 * 30) << "every body touched the monitor";
	EXPECT_EQ(shape_signals, 100 * 30);
	EXPECT_EQ(body_signals, 100 * 30);
	EXPECT_EQ(PhysicsWorld::active_shape_pairs(monitor), 0);
	EXPECT_EQ(PhysicsWorld::_host_record_count(), records);
	EXPECT_EQ(StringName::_host_interned_count(), names);
	EXPECT_EQ(ObjectDB::_host_instance_count(), objects);
	EXPECT_LE(ObjectDB::_host_slot_count(), slots + (size_t)most_alive) << "no more slots than objects alive at once";
	EXPECT_EQ(Log::error_count(), 0) << (Log::errors().empty() ? "" : Log::errors().front().text);
}
