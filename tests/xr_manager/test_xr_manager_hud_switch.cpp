// Switching between the HUD and the world.
#include "xr_manager/xr_scene.hpp"

using namespace godot;

class XRManagerHudSwitch : public XRSceneTest {
protected:
	void SetUp() override {
		XRSceneTest::SetUp();
		add_openxr();
		build_scene();
		start();
	}
};

TEST_F(XRManagerHudSwitch, ShowingHidesTheWorldAndHidingRestoresIt) {
	EXPECT_FALSE(hud->is_visible()); // the HUD hides itself when ready
	manager->set_hud_visible(true);
	EXPECT_EQ(manager->saved_visibility, (std::vector<bool>{ true, false, false, false }));
	EXPECT_FALSE(world->is_visible());
	EXPECT_FALSE(hidden->is_visible());
	EXPECT_FALSE(skeleton->is_visible());
	EXPECT_TRUE(hud->is_visible());

	manager->set_hud_visible(false);
	EXPECT_TRUE(world->is_visible());
	EXPECT_FALSE(hidden->is_visible()); // hidden before, hidden after
	EXPECT_TRUE(skeleton->is_visible());
	EXPECT_FALSE(hud->is_visible());
}

TEST_F(XRManagerHudSwitch, RepeatedRequestsChangeNothing) {
	manager->set_hud_visible(false); // already the world
	EXPECT_TRUE(world->is_visible());
	EXPECT_TRUE(manager->saved_visibility.empty());

	manager->set_hud_visible(true);
	world->set_visible(true); // must not be saved by the second call
	manager->set_hud_visible(true);
	EXPECT_TRUE(world->is_visible());
	EXPECT_EQ(manager->saved_visibility[1], false);
	hidden->set_visible(true);
	manager->set_hud_visible(false);
	EXPECT_FALSE(hidden->is_visible());
}

TEST_F(XRManagerHudSwitch, ChildAddedWhileTheHudShowsKeepsItsVisibility) {
	manager->set_hud_visible(true);
	Node3D *late = add_node(root, memnew(Node3D), "Late", root);
	manager->set_hud_visible(false);
	EXPECT_TRUE(late->is_visible());
	EXPECT_TRUE(world->is_visible());
	EXPECT_TRUE(game_errors().empty());
}

TEST_F(XRManagerHudSwitch, EachNodeGetsBackItsOwnVisibilityWhateverChangedMeanwhile) {
	manager->set_hud_visible(true);
	// While the HUD shows: the first node goes, a hidden one is added in its
	// old place's stead at the end, and the order of the rest changes.
	memdelete(world);
	world = nullptr;
	Node3D *late = add_node(root, memnew(Node3D), "Late", root);
	late->set_visible(false);
	root->move_child(hidden, 2);
	manager->set_hud_visible(false);
	EXPECT_FALSE(hidden->is_visible()) << "the removed node's saved visibility went to its neighbour";
	EXPECT_FALSE(late->is_visible()) << "a node added meanwhile keeps its own visibility";
	EXPECT_TRUE(game_errors().empty());

	// Shown again, in the new order: each still gets its own back.
	hidden->set_visible(true);
	late->set_visible(true);
	Node3D *second = add_node(root, memnew(Node3D), "Second", root);
	second->set_visible(false);
	manager->set_hud_visible(true);
	root->move_child(second, 0);
	manager->set_hud_visible(false);
	EXPECT_TRUE(hidden->is_visible());
	EXPECT_TRUE(late->is_visible());
	EXPECT_FALSE(second->is_visible());
}

TEST_F(XRManagerHudSwitch, WorksWithoutSkeletonOrHud) {
	XRSceneTest::TearDown();
	XRSceneTest::SetUp();
	add_openxr();
	XRSceneOptions options;
	options.skeleton = false;
	options.hud = false;
	build_scene(options);
	start();
	manager->set_hud_visible(true);
	EXPECT_FALSE(world->is_visible());
	manager->set_hud_visible(false);
	EXPECT_TRUE(world->is_visible());
}
