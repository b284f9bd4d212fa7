// The signals a script hears of the tree as the engine sends them: each node
// that enters or leaves, told to the tree and to its parent, and visibility
// down the 3-D nodes in the tree.
#include "support/code_receiver.hpp"
#include "support/game_fixture.hpp"

#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/scene_tree.hpp>

using namespace godot;
using godot_host::Host;

using TreeSignalsTest = GameTest;

TEST_F(TreeSignalsTest, EachNodeThatEntersOrLeavesIsTold) {
	Node *scene = memnew(Node);
	Host::set_current_scene(scene);
	Node *parent = memnew(Node);
	Node *child = memnew(Node);
	parent->add_child(child);
	SceneTree *tree = Host::tree();
	std::vector<bool> child_in_tree;
	int removed = 0;
	tree->connect("node_added", on_signal(scene, [&]() { child_in_tree.push_back(child->is_inside_tree()); }));
	tree->connect("node_removed", on_signal(scene, [&]() { removed++; }));
	// And each parent of its own children.
	int entered[2] = {}, exiting[2] = {};
	Node *parents[2] = { scene, parent };
	for (int i = 0; i < 2; i++) {
		parents[i]->connect("child_entered_tree", on_signal(scene, [&entered, i]() { entered[i]++; }));
		parents[i]->connect("child_exiting_tree", on_signal(scene, [&exiting, i]() { exiting[i]++; }));
	}

	scene->add_child(parent);
	// The parent is told first, before its child enters.
	EXPECT_EQ(child_in_tree, (std::vector<bool>{ false, true }));
	EXPECT_EQ(entered[0], 1);
	EXPECT_EQ(entered[1], 1);
	scene->remove_child(parent);
	EXPECT_EQ(removed, 2);
	EXPECT_EQ(exiting[0], 1);
	EXPECT_EQ(exiting[1], 1);
	memdelete(parent);
	// The receivers go with their anchor, before what they count does.
	memdelete(scene);
}

TEST_F(TreeSignalsTest, VisibilityReachesTheVisibleThreeDNodesBelowInTheTreeOnly) {
	Node3D *top = memnew(Node3D);
	Node3D *shown = memnew(Node3D);
	Node3D *hidden = memnew(Node3D);
	Node *plain = memnew(Node);
	Node3D *beyond = memnew(Node3D);
	top->add_child(shown);
	top->add_child(hidden);
	top->add_child(plain);
	plain->add_child(beyond);
	hidden->set_visible(false);
	std::vector<std::string> told;
	Node3D *nodes[] = { top, shown, hidden, beyond };
	const char *names[] = { "top", "shown", "hidden", "beyond" };
	for (int i = 0; i < 4; i++) {
		std::string name = names[i];
		nodes[i]->connect("visibility_changed", on_signal(nodes[i], [&told, name]() { told.push_back(name); }));
	}

	top->set_visible(false);
	EXPECT_TRUE(told.empty()) << "outside the tree nobody is told";
	top->set_visible(true);
	Host::set_current_scene(top);
	top->set_visible(false);
	EXPECT_EQ(told, (std::vector<std::string>{ "top", "shown" }));

	// A receiver may free what the change goes on to: it is skipped.
	told.clear();
	top->connect("visibility_changed", on_signal(top, [&]() {
		if (shown) {
			memdelete(shown);
			shown = nullptr;
		}
	}));
	top->set_visible(true);
	EXPECT_EQ(told, (std::vector<std::string>{ "top" }));
	memdelete(top);
}

TEST_F(TreeSignalsTest, AChildLeavingIsNotTakenOutAgainByItsOwnSignals) {
	Node *scene = memnew(Node);
	Host::set_current_scene(scene);
	Node *from = memnew(Node);
	Node *to = memnew(Node);
	Node *child = memnew(Node);
	scene->add_child(from);
	scene->add_child(to);
	from->add_child(child);
	// A script moving the child while it leaves: the engine refuses it.
	child->connect("tree_exiting", on_first_signal(scene, [&]() { child->reparent(to); }));
	from->remove_child(child);
	EXPECT_EQ(child->get_parent(), nullptr);
	EXPECT_EQ(from->get_child_count(), 0);
	EXPECT_EQ(to->get_child_count(), 0);
	ASSERT_GE(godot_host::Log::error_count(), 1);
	EXPECT_NE(godot_host::Log::errors()[0].text.find("busy"), std::string::npos);
	memdelete(child);
	memdelete(scene);
}
