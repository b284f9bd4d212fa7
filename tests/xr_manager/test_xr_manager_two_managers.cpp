// A scene with a second XR manager (a sub-scene brings its own), and a
// manager freed while it has the world hidden.
#include "xr_manager/xr_scene.hpp"

#include <algorithm>

using namespace godot;
using godot_host::Host;

class XRManagerTwoManagers : public XRSceneTest {
protected:
	void SetUp() override {
		XRSceneTest::SetUp();
		add_openxr();
	}

	static int errors_saying(const char *p_text) {
		std::vector<std::string> errors = game_errors();
		return (int)std::count_if(errors.begin(), errors.end(), [&](const std::string &e) { return e.find(p_text) != std::string::npos; });
	}

	void expect_world_shown() {
		EXPECT_TRUE(world->is_visible());
		EXPECT_FALSE(hidden->is_visible());
		EXPECT_TRUE(skeleton->is_visible());
		EXPECT_FALSE(hud->is_visible());
	}
};

TEST_F(XRManagerTwoManagers, SecondManagerIsReportedAndLeavesTheGameToTheFirst) {
	build_scene();
	Node *sub_scene = add_node(root, memnew(Node), "SubScene", root);
	XRManager *second = add_node(sub_scene, memnew(XRManager), "XRManager", root);
	second->set_process_mode(Node::PROCESS_MODE_ALWAYS);
	start();
	EXPECT_EQ(errors_saying("second XRManager"), 1);
	EXPECT_FALSE(openxr->is_connected("session_begun", Callable(second, "_on_session_begun")));
	EXPECT_EQ(controllers[0]->_host_connection_count("button_pressed"), 1);

	emit_session("session_begun");
	emit_session("session_visible");
	EXPECT_FALSE(world->is_visible());
	emit_session("session_focussed");
	EXPECT_EQ(second->welcome_sequence, nullptr);
	ASSERT_TRUE(answer_until_running());
	expect_world_shown();
	Host::advance(1.0, 1.0 / 60.0);
	EXPECT_FALSE(paused());
	expect_world_shown();

	// Focus lost and regained: the same again.
	emit_session("session_visible");
	emit_session("session_focussed");
	ASSERT_TRUE(answer_until_running());
	expect_world_shown();
	EXPECT_EQ(errors_saying("second XRManager"), 1);
}

TEST_F(XRManagerTwoManagers, ManagerFreedWhileTheWorldIsHiddenPutsItBack) {
	build_scene();
	start();
	emit_session("session_begun");
	emit_session("session_visible");
	emit_session("session_focussed");
	ASSERT_NE(manager->welcome_sequence, nullptr);
	Node3D *shown_meanwhile = add_node(root, memnew(Node3D), "ShownMeanwhile", root);
	shown_meanwhile->set_visible(false);
	manager->set_hud_visible(false);
	manager->set_hud_visible(true);
	shown_meanwhile->set_visible(true); // by a script, while the HUD shows
	memdelete(manager);
	manager = nullptr;
	// The manager's destructor runs no script: the world shows again at the
	// end of the frame.
	EXPECT_FALSE(world->is_visible());
	Host::iteration(1.0 / 60.0);
	expect_world_shown();
	EXPECT_TRUE(shown_meanwhile->is_visible()) << "only what the manager hid is shown again, nothing hidden";
	EXPECT_TRUE(game_errors().empty());

	// The next manager to come runs the game: it is no second one.
	Node *rig = root->get_child(3);
	manager = add_node(rig, memnew(XRManager), "XRManager", root);
	EXPECT_EQ(errors_saying("second XRManager"), 0);
	emit_session("session_begun");
	EXPECT_FALSE(world->is_visible());
}
