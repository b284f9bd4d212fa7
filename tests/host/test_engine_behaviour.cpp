// The engine behaviours the game relies on: signals, the tree, pause and
// process modes, timers and freeing at the end of the frame.
#include "support/game_fixture.hpp"

#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/timer.hpp>
#include <godot_cpp/classes/window.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

using namespace godot;
using godot_host::Host;
using godot_host::Log;

namespace godot {

// A node that records what reaches it.
class Probe : public Node {
	GDCLASS(Probe, Node)

protected:
	static void _bind_methods() {
		ClassDB::bind_method(D_METHOD("on_event", "p_text", "p_number"), &Probe::on_event);
		ClassDB::bind_method(D_METHOD("on_timeout"), &Probe::on_timeout);
		ClassDB::bind_method(D_METHOD("free_self"), &Probe::free_self);
		ClassDB::bind_method(D_METHOD("set_level", "p_level"), &Probe::set_level);
		ClassDB::bind_method(D_METHOD("get_level"), &Probe::get_level);
		ADD_PROPERTY(PropertyInfo(Variant::FLOAT, "level"), "set_level", "get_level");
		ADD_SIGNAL(MethodInfo("event"));
	}

public:
	std::vector<std::string> calls;
	std::vector<std::string> *shared = nullptr;
	int processed = 0;
	int physics_processed = 0;
	int ready_count = 0;
	float level = 0.0f;

	void on_event(String p_text, int p_number) {
		std::string entry = std::string(String(get_name()).utf8().get_data()) + ":" + p_text.utf8().get_data() + ":" + std::to_string(p_number);
		calls.push_back(entry);
		if (shared) {
			shared->push_back(entry);
		}
	}
	void on_timeout() { calls.push_back("timeout"); }
	void free_self() { memdelete(this); }
	void set_level(float p_level) { level = p_level; }
	float get_level() const { return level; }

	void _ready() override {
		ready_count++;
		if (shared) {
			shared->push_back(std::string("ready:") + String(get_name()).utf8().get_data());
		}
	}
	void _process(double) override { processed++; }
	void _physics_process(double) override { physics_processed++; }
};

} // namespace godot

class EngineBehaviourTest : public GameTest {
protected:
	void SetUp() override {
		GameTest::SetUp();
		ClassDB::register_class<Probe>();
	}
};

TEST_F(EngineBehaviourTest, ConnectionsRunInConnectOrderWithBoundValuesLast) {
	Node *emitter = memnew(Node);
	Probe *a = memnew(Probe);
	Probe *b = memnew(Probe);
	a->set_name("a");
	b->set_name("b");
	std::vector<std::string> order;
	a->shared = &order;
	b->shared = &order;
	emitter->add_user_signal("pressed");
	ASSERT_EQ(emitter->connect("pressed", Callable(b, "on_event").bind(1)), OK);
	ASSERT_EQ(emitter->connect("pressed", Callable(a, "on_event").bind(0)), OK);
	emitter->emit_signal("pressed", String("ax_button"));
	EXPECT_EQ(order, (std::vector<std::string>{ "b:ax_button:1", "a:ax_button:0" }));

	// An equal callable (same target, as many bound values) disconnects.
	emitter->disconnect("pressed", Callable(b, "on_event").bind(7));
	EXPECT_FALSE(emitter->is_connected("pressed", Callable(b, "on_event").bind(1)));
	EXPECT_TRUE(emitter->is_connected("pressed", Callable(a, "on_event").bind(0)));

	// Connecting twice is refused; a nonexistent signal too.
	EXPECT_NE(emitter->connect("pressed", Callable(a, "on_event").bind(0)), OK);
	EXPECT_NE(emitter->connect("no_such_signal", Callable(a, "on_event")), OK);
	EXPECT_EQ(Log::error_count(), 2);
	memdelete(emitter);
	memdelete(a);
	memdelete(b);
}

TEST_F(EngineBehaviourTest, AReceiverFreedDuringAnEmissionIsSkippedAndItsConnectionsDrop) {
	Node *emitter = memnew(Node);
	Probe *first = memnew(Probe);
	Probe *second = memnew(Probe);
	emitter->add_user_signal("go");
	emitter->connect("go", Callable(first, "free_self"));
	emitter->connect("go", Callable(first, "on_timeout"));
	emitter->connect("go", Callable(second, "on_timeout"));
	uint64_t first_id = first->get_instance_id();
	emitter->emit_signal("go");
	EXPECT_EQ(ObjectDB::get_instance(first_id), nullptr);
	EXPECT_EQ(second->calls, std::vector<std::string>{ "timeout" });
	EXPECT_EQ(emitter->_host_connection_count("go"), 1) << "the freed receiver's connections are gone";
	EXPECT_EQ(Log::error_count(), 0);

	// Freeing the emitter drops the connections it made.
	emitter->connect("go", Callable(second, "on_event").bind(String("x"), 1));
	memdelete(emitter);
	Node *other = memnew(Node);
	other->add_user_signal("go");
	EXPECT_EQ(other->connect("go", Callable(second, "on_timeout")), OK);
	memdelete(other);
	memdelete(second);
}

TEST_F(EngineBehaviourTest, PropertiesAndMethodsByName) {
	Probe *p = memnew(Probe);
	p->set("level", 0.25);
	EXPECT_FLOAT_EQ(p->level, 0.25f);
	EXPECT_DOUBLE_EQ((double)p->get("level"), 0.25);
	p->call("on_event", "txt", 3);
	EXPECT_EQ(p->calls.back(), ":txt:3");
	const ClassDB::ClassRecord *rec = ClassDB::get_class_record("Probe");
	ASSERT_NE(rec, nullptr);
	EXPECT_EQ(String(rec->methods[0]->get_argument_names()[1]), String("p_number"));
	EXPECT_EQ(rec->methods[0]->get_argument_info(1).type, Variant::INT);
	memdelete(p);
}

TEST_F(EngineBehaviourTest, ReadyRunsOnceChildrenFirstAndSearchesSkipUnownedNodes) {
	std::vector<std::string> order;
	Node *root = memnew(Node);
	root->set_name("Scene");
	Probe *parent = add_node(root, memnew(Probe), "Parent", root);
	Probe *child = add_node(parent, memnew(Probe), "Child", root);
	parent->shared = &order;
	child->shared = &order;
	Node *unowned = add_node(root, memnew(Node), "Loose", nullptr);
	add_node(unowned, memnew(Node), "Target", root);
	add_node(parent, memnew(Node), "Target", root);

	Host::set_current_scene(root);
	EXPECT_EQ(order, (std::vector<std::string>{ "ready:Child", "ready:Parent" }));
	// The unowned node's subtree is skipped entirely; the search is depth first.
	Node *found = root->find_child("Tar*", true, true);
	ASSERT_NE(found, nullptr);
	EXPECT_EQ(found->get_parent(), parent);
	EXPECT_EQ(root->find_child("Target", false, true), nullptr);
	EXPECT_EQ(root->find_children("Target", "", true, false).size(), 2);
	EXPECT_EQ(Host::tree()->get_current_scene(), root);

	// Leaving the tree and coming back: no second ready; owners outside the
	// removed subtree are dropped.
	root->remove_child(parent);
	EXPECT_EQ(parent->get_owner(), nullptr);
	EXPECT_EQ(found->get_owner(), nullptr);
	root->add_child(parent);
	EXPECT_EQ(parent->ready_count, 1);
}

TEST_F(EngineBehaviourTest, PauseStopsPausableNodesOnly) {
	Node *root = memnew(Node);
	Probe *pausable = add_node(root, memnew(Probe), "Pausable", root);
	Probe *always = add_node(root, memnew(Probe), "Always", root);
	Probe *when_paused = add_node(root, memnew(Probe), "WhenPaused", root);
	Probe *disabled = add_node(root, memnew(Probe), "Disabled", root);
	Probe *inherits = add_node(always, memnew(Probe), "Inherits", root);
	always->set_process_mode(Node::PROCESS_MODE_ALWAYS);
	when_paused->set_process_mode(Node::PROCESS_MODE_WHEN_PAUSED);
	disabled->set_process_mode(Node::PROCESS_MODE_DISABLED);
	Host::set_current_scene(root);

	Host::iteration(1.0 / 60.0);
	EXPECT_EQ(pausable->processed, 1);
	EXPECT_EQ(pausable->physics_processed, 1);
	EXPECT_EQ(always->processed, 1);
	EXPECT_EQ(when_paused->processed, 0);
	EXPECT_EQ(disabled->processed, 0);

	Host::tree()->set_pause(true);
	Host::iteration(1.0 / 60.0);
	EXPECT_EQ(pausable->processed, 1);
	EXPECT_EQ(pausable->physics_processed, 1);
	EXPECT_EQ(always->processed, 2);
	EXPECT_EQ(inherits->processed, 2);
	EXPECT_EQ(when_paused->processed, 1);
	EXPECT_EQ(when_paused->physics_processed, 1);
	EXPECT_EQ(disabled->processed, 0);
}

TEST_F(EngineBehaviourTest, TimersFireAfterTheirWaitAndFollowTheirNodesProcessMode) {
	Node *root = memnew(Node);
	Probe *owner = add_node(root, memnew(Probe), "Owner", root);
	Timer *repeating = memnew(Timer);
	repeating->set_wait_time(0.1);
	repeating->set_autostart(true);
	repeating->connect("timeout", Callable(owner, "on_timeout"));
	owner->add_child(repeating);
	Host::set_current_scene(root);

	EXPECT_FALSE(repeating->is_stopped()) << "autostart starts it when it becomes ready";
	for (int i = 0; i < 30; i++) {
		Host::process_frame(0.01); // 0.3 s
	}
	EXPECT_EQ(owner->calls.size(), 2u) << "fires once time left falls below zero";

	// start() with 0 or less keeps the wait time; one-shot stops after firing.
	Timer *once = memnew(Timer);
	once->set_wait_time(0.05);
	once->set_one_shot(true);
	once->connect("timeout", Callable(owner, "on_timeout"));
	owner->add_child(once);
	once->start(0);
	EXPECT_DOUBLE_EQ(once->get_time_left(), 0.05);
	owner->calls.clear();
	repeating->stop();
	for (int i = 0; i < 20; i++) {
		Host::process_frame(0.01);
	}
	EXPECT_EQ(owner->calls.size(), 1u);
	EXPECT_TRUE(once->is_stopped());

	// A paused tree holds a pausable timer; one below an always-processing node runs.
	once->start(0.05);
	Host::tree()->set_pause(true);
	for (int i = 0; i < 20; i++) {
		Host::process_frame(0.01);
	}
	EXPECT_EQ(owner->calls.size(), 1u);
	owner->set_process_mode(Node::PROCESS_MODE_ALWAYS);
	for (int i = 0; i < 20; i++) {
		Host::process_frame(0.01);
	}
	EXPECT_EQ(owner->calls.size(), 2u);

	Timer *detached = memnew(Timer);
	detached->start(1.0);
	EXPECT_EQ(Log::error_count(), 1) << "a timer outside the tree can't start";
	memdelete(detached);
}

TEST_F(EngineBehaviourTest, QueuedNodesAreFreedAtTheEndOfTheFrame) {
	Node *root = memnew(Node);
	Probe *victim = add_node(root, memnew(Probe), "Victim", root);
	Host::set_current_scene(root);
	uint64_t id = victim->get_instance_id();
	victim->queue_free();
	victim->queue_free();
	EXPECT_EQ(ObjectDB::get_instance(id), victim);
	EXPECT_TRUE(victim->is_queued_for_deletion());
	Host::iteration(1.0 / 60.0);
	EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
	EXPECT_EQ(root->get_child_count(), 0);
}

TEST_F(EngineBehaviourTest, GlobalTransformsAndVisibilityFollowThreeDParentsOnly) {
	Node3D *a = memnew(Node3D);
	Node *plain = memnew(Node);
	Node3D *b = memnew(Node3D);
	a->add_child(plain);
	plain->add_child(b);
	Node3D *c = memnew(Node3D);
	a->add_child(c);
	a->set_position(Vector3(1, 0, 0));
	c->set_position(Vector3(0, 2, 0));
	b->set_position(Vector3(0, 0, 3));
	EXPECT_EQ(c->get_global_position(), Vector3(1, 2, 0));
	EXPECT_EQ(b->get_global_position(), Vector3(0, 0, 3)) << "a plain Node breaks the chain";
	c->set_global_position(Vector3(5, 5, 5));
	EXPECT_EQ(c->get_position(), Vector3(4, 5, 5));

	Node3D *d = memnew(Node3D);
	d->set_position(Vector3(0, 1, 0));
	c->add_child(d);
	Transform3D before = d->get_global_transform();
	d->reparent(a);
	EXPECT_EQ(d->get_global_transform(), before);

	Host::set_current_scene(a);
	a->set_visible(false);
	EXPECT_FALSE(c->is_visible_in_tree());
	EXPECT_TRUE(c->is_visible());
	EXPECT_TRUE(b->is_visible_in_tree());
}

TEST_F(EngineBehaviourTest, PrintJoinsArgumentsAndFormatsNumbersAsTheEngine) {
	UtilityFunctions::print("++++++++++ PLAY_AREA_CHANGED ++++++++++", 1);
	UtilityFunctions::print("rate ", (double)89.9f);
	UtilityFunctions::print(2.0, " ", 0.5, " ", 60);
	std::vector<std::string> lines = Log::printed_lines();
	ASSERT_EQ(lines.size(), 3u);
	EXPECT_EQ(lines[0], "++++++++++ PLAY_AREA_CHANGED ++++++++++1");
	EXPECT_EQ(lines[1], "rate 89.9000015258789");
	EXPECT_EQ(lines[2], "2.0 0.5 60");
	UtilityFunctions::print("Could not find OpenXR interface.\nTry opening SteamVR...");
	lines = Log::printed_lines();
	EXPECT_EQ(lines[3], "Could not find OpenXR interface.");
	EXPECT_EQ(lines[4], "Try opening SteamVR...");
}
