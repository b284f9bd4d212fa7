// Process modes, pause and timers across the tree's life, as the engine has
// them: what a node hears when its mode changes, which mode a node follows,
// and what a timer keeps when it leaves the tree and comes back.
#include "support/code_receiver.hpp"
#include "support/game_fixture.hpp"

#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/timer.hpp>
#include <godot_cpp/core/class_db.hpp>

#include <string>
#include <vector>

using namespace godot;
using godot_host::Host;
using godot_host::Log;

namespace godot {

// A node that records the pause and enable notifications it hears.
class ModeProbe : public Node {
	GDCLASS(ModeProbe, Node)

protected:
	static void _bind_methods() {}

public:
	std::vector<std::string> heard;

	void _host_notification(int p_what) override {
		Node::_host_notification(p_what);
		switch (p_what) {
			case NOTIFICATION_PAUSED:
				heard.push_back("paused");
				break;
			case NOTIFICATION_UNPAUSED:
				heard.push_back("unpaused");
				break;
			case NOTIFICATION_DISABLED:
				heard.push_back("disabled");
				break;
			case NOTIFICATION_ENABLED:
				heard.push_back("enabled");
				break;
			default:
				break;
		}
	}
};

} // namespace godot

class ProcessModes : public GameTest {
protected:
	void SetUp() override {
		GameTest::SetUp();
		ClassDB::register_class<ModeProbe>();
	}

	static void frames(int p_count, double p_delta = 0.01) {
		for (int i = 0; i < p_count; i++) {
			Host::process_frame(p_delta);
		}
	}
};

using Heard = std::vector<std::string>;

TEST_F(ProcessModes, AModeChangeIsHeardByTheNodesThatFollowIt) {
	Node *root = memnew(Node);
	ModeProbe *parent = add_node(root, memnew(ModeProbe), "Parent", root);
	ModeProbe *follower = add_node(parent, memnew(ModeProbe), "Follower", root);
	ModeProbe *own = add_node(parent, memnew(ModeProbe), "Own", root);
	own->set_process_mode(Node::PROCESS_MODE_ALWAYS);

	// Out of the tree the mode is only stored.
	parent->set_process_mode(Node::PROCESS_MODE_DISABLED);
	EXPECT_EQ(parent->heard, Heard{});
	parent->set_process_mode(Node::PROCESS_MODE_INHERIT);
	Host::set_current_scene(root);

	Host::tree()->set_pause(true);
	EXPECT_EQ(follower->heard, Heard{ "paused" });
	EXPECT_EQ(own->heard, Heard{});
	follower->heard.clear();
	parent->heard.clear();

	parent->set_process_mode(Node::PROCESS_MODE_ALWAYS);
	EXPECT_EQ(parent->heard, Heard{ "unpaused" });
	EXPECT_EQ(follower->heard, Heard{ "unpaused" });
	parent->set_process_mode(Node::PROCESS_MODE_DISABLED);
	EXPECT_EQ(follower->heard, (Heard{ "unpaused", "paused", "disabled" }));
	EXPECT_EQ(own->heard, Heard{}) << "its own mode is not the parent's";
	EXPECT_TRUE(own->can_process());
	EXPECT_FALSE(follower->can_process());
}

// A running timer taken out of the tree keeps its time and runs on when it
// is back; one never in the tree can't be started, but autostart starts it
// when it first becomes ready, and only then.
TEST_F(ProcessModes, TimersAcrossLeavingAndEnteringTheTree) {
	Node *root = memnew(Node);
	Node *holder = add_node(root, memnew(Node), "Holder", root);
	Timer *timer = memnew(Timer);
	holder->add_child(timer);
	Host::set_current_scene(root);
	timer->start(0.1);
	frames(4);
	holder->remove_child(timer);
	frames(20);
	EXPECT_NEAR(timer->get_time_left(), 0.06, 1e-9);
	EXPECT_FALSE(timer->is_stopped());
	int fired = 0;
	timer->connect("timeout", on_signal(root, [&]() { fired++; }));
	holder->add_child(timer);
	frames(5);
	EXPECT_EQ(fired, 0);
	frames(2);
	EXPECT_EQ(fired, 1) << "0.06 s after it came back";

	// Out of the tree, start() is refused with the engine's message.
	holder->remove_child(timer);
	timer->stop();
	Log::clear();
	timer->start(0.2);
	ASSERT_EQ(Log::error_count(), 1);
	EXPECT_EQ(Log::errors()[0].text, "Unable to start the timer because it's not inside the scene tree. Either add it or set autostart to true.");
	EXPECT_TRUE(timer->is_stopped());
	timer->set_autostart(true);
	holder->add_child(timer);
	EXPECT_TRUE(timer->is_stopped()) << "ready once already: autostart does nothing now";

	Node *away = memnew(Node);
	Timer *fresh = memnew(Timer);
	fresh->set_wait_time(0.2);
	fresh->set_autostart(true);
	away->add_child(fresh);
	EXPECT_TRUE(fresh->is_stopped());
	root->add_child(away);
	EXPECT_DOUBLE_EQ(fresh->get_time_left(), 0.2);
}
