// A parent's child list as nodes leave from anywhere in it: order, indexes,
// lookups and moves stay right, and freeing a parent frees what is left.
#include "support/game_fixture.hpp"

#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/variant/callable.hpp>

#include <string>
#include <vector>

using namespace godot;

namespace {

class NodeChildrenTest : public GameTest {
protected:
	Node *parent = nullptr;
	std::vector<Node *> kids;

	void SetUp() override {
		GameTest::SetUp();
		parent = memnew(Node3D);
		parent->set_name("Parent");
		for (int i = 0; i < 8; i++) {
			Node *n = memnew(Node3D);
			n->set_name(("n" + std::to_string(i)).c_str());
			parent->add_child(n);
			kids.push_back(n);
		}
	}

	void TearDown() override {
		memdelete(parent);
		GameTest::TearDown();
	}

	std::string names() const {
		std::string out;
		TypedArray<Node> children = parent->get_children();
		for (int64_t i = 0; i < children.size(); i++) {
			Node *n = Object::cast_to<Node>(children[i]);
			out += String(n->get_name()).utf8().get_data();
			out += n->get_index() == i ? " " : "? ";
		}
		return out;
	}
};

} // namespace

TEST_F(NodeChildrenTest, RemovalsFromTheMiddleKeepOrderAndIndexes) {
	parent->remove_child(kids[1]);
	parent->remove_child(kids[5]);
	memdelete(kids[3]);
	EXPECT_EQ(names(), "n0 n2 n4 n6 n7 ");
	EXPECT_EQ(parent->get_child_count(), 5);
	EXPECT_EQ(parent->get_child(2), kids[4]);
	EXPECT_EQ(parent->get_child(-1), kids[7]);
	EXPECT_EQ(parent->get_node_or_null(NodePath("n6")), kids[6]);
	EXPECT_EQ(parent->find_child("n4", false, false), kids[4]);

	// Removed nodes can come back, at the end.
	parent->add_child(kids[1]);
	parent->remove_child(kids[0]);
	parent->move_child(kids[7], 0);
	EXPECT_EQ(names(), "n7 n2 n4 n6 n1 ");
	parent->add_child(kids[5]);
	parent->move_child(kids[5], 1);
	parent->remove_child(kids[2]);
	EXPECT_EQ(names(), "n7 n5 n4 n6 n1 ");
	memdelete(kids[0]);
	memdelete(kids[2]);
}

TEST_F(NodeChildrenTest, RemovingANodeThatIsNoLongerAChildIsRefused) {
	parent->remove_child(kids[2]);
	godot_host::Log::clear();
	parent->remove_child(kids[2]);
	EXPECT_EQ(godot_host::Log::error_count(), 1);
	Node *other = memnew(Node3D);
	other->add_child(kids[2]);
	parent->remove_child(kids[2]);
	EXPECT_EQ(godot_host::Log::error_count(), 2);
	EXPECT_EQ(kids[2]->get_parent(), other);
	EXPECT_EQ(names(), "n0 n1 n3 n4 n5 n6 n7 ");
	memdelete(other);
}

TEST_F(NodeChildrenTest, FreeingTheParentFreesTheChildrenLeft) {
	std::vector<uint64_t> ids;
	for (Node *n : kids) {
		ids.push_back(n->get_instance_id());
	}
	memdelete(kids[2]);
	memdelete(kids[6]);
	Node *keep = parent;
	parent = memnew(Node3D); // for TearDown
	memdelete(keep);
	for (uint64_t id : ids) {
		EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
	}
}
