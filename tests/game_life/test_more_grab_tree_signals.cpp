// Scripts on the tree signals of a held body's child, of the body and of the
// hand's attachment move, free or re-add those nodes (or free the player)
// while the hand takes hold and lets go. Nothing freed is used, nothing stays
// switched off, and the game plays on.
#include "game_life/test_more_fixture.hpp"

using namespace godot;
using godot_host::Host;

class MoreGrabTreeSignals : public MoreLifeTest {
protected:
	enum Source {
		CHILD_TREE_EXITING,
		CHILD_TREE_EXITED,
		CHILD_TREE_ENTERED,
		ATTACHMENT_CHILD_ENTERED,
		ATTACHMENT_CHILD_EXITING,
		BODY_CHILD_EXITING,
		BODY_CHILD_ENTERED,
		SOURCE_COUNT,
	};
	enum Action {
		FREE_CHILD,
		CHILD_BACK_TO_BODY,
		CHILD_TO_THIRD_NODE,
		FREE_BODY,
		FREE_PLAYER,
		ACTION_COUNT,
	};

	void SetUp() override {
		GameLifeTest::SetUp();
		load_level_with([](const SceneNodes &p_scene) {
			add_hands_and_crate(p_scene);
			add_node(p_scene.root, memnew(Node3D), "Shelf", p_scene.root);
		});
	}

	Node *attachment() { return skeleton->get_node_or_null(NodePath("hand_l_bone_attach")); }

	void touch_and_close(RigidBody3D *p_body) {
		player->_handle_hand_collision(RID(), p_body, 0, (uint32_t)shape_index("thumb_l_collider"), true);
		player->_handle_hand_collision(RID(), p_body, 0, (uint32_t)shape_index("index_02_l_collider"), true);
		for (int f = 0; f < 5; f++) {
			player->finger_targets[0][f] = 1.0f;
		}
	}

	static void open_hand(Player *p_player) {
		for (int f = 0; f < 5; f++) {
			p_player->finger_targets[0][f] = 0.0f;
		}
	}

	// The script: what it does, run where the engine lets it (moving a node
	// while its old or new parent is busy with it must wait for the end of
	// the frame, as a script's call_deferred does).
	void act(Action p_action, uint64_t p_child, uint64_t p_body, uint64_t p_player, uint64_t p_shelf) {
		switch (p_action) {
			case FREE_CHILD:
				if (Node *n = live<Node>(p_child)) {
					n->queue_free();
				}
				return;
			case FREE_BODY:
				if (Node *n = live<Node>(p_body)) {
					n->queue_free();
				}
				return;
			case FREE_PLAYER:
				if (Node *n = live<Node>(p_player)) {
					n->queue_free();
				}
				return;
			case CHILD_BACK_TO_BODY:
			case CHILD_TO_THIRD_NODE: {
				const uint64_t to = p_action == CHILD_BACK_TO_BODY ? p_body : p_shelf;
				Node *child = live<Node>(p_child);
				if (child && !child->get_parent() && live<Node>(to)) {
					live<Node>(to)->add_child(child); // from "tree_exited": nobody is busy
					return;
				}
				on_signal(child ? child : live<Node>(p_player), [p_child, to]() {
					Node *c = live<Node>(p_child);
					Node *parent = live<Node>(to);
					if (c && parent && c->get_parent() != parent && !c->is_ancestor_of(parent)) {
						c->reparent(parent);
					}
				}).call_deferred();
				return;
			}
			default:
				return;
		}
	}

	void connect_script(Source p_source, Node *p_child, Node *p_body, Node *p_attachment, const std::function<void()> &p_fn) {
		switch (p_source) {
			case CHILD_TREE_EXITING:
				p_child->connect("tree_exiting", on_signal(p_child, p_fn));
				return;
			case CHILD_TREE_EXITED:
				p_child->connect("tree_exited", on_signal(p_child, p_fn));
				return;
			case CHILD_TREE_ENTERED:
				p_child->connect("tree_entered", on_signal(p_child, p_fn));
				return;
			case ATTACHMENT_CHILD_ENTERED:
				p_attachment->connect("child_entered_tree", on_signal(p_attachment, p_fn));
				return;
			case ATTACHMENT_CHILD_EXITING:
				p_attachment->connect("child_exiting_tree", on_signal(p_attachment, p_fn));
				return;
			case BODY_CHILD_EXITING:
				p_body->connect("child_exiting_tree", on_signal(p_body, p_fn));
				return;
			case BODY_CHILD_ENTERED:
				p_body->connect("child_entered_tree", on_signal(p_body, p_fn));
				return;
			default:
				return;
		}
	}
};

TEST_F(MoreGrabTreeSignals, ScriptsOnTreeSignalsDuringGrabAndRelease) {
	for (int source = 0; source < SOURCE_COUNT; source++) {
		for (int action = 0; action < ACTION_COUNT; action++) {
			for (bool at_release : { false, true }) {
				SCOPED_TRACE("source " + std::to_string(source) + " action " + std::to_string(action) + (at_release ? " at release" : " at grab"));
				MoreGrabTreeSignals::TearDown();
				SetUp();
				reach(PLAYING);
				RigidBody3D *body = Object::cast_to<RigidBody3D>(root->get_node_or_null(NodePath("Crate")));
				Node *child = body->get_node_or_null(NodePath("Handle"));
				Node *shelf = root->get_node_or_null(NodePath("Shelf"));
				ASSERT_TRUE(body && child && shelf && attachment());
				const float own_mass = player->get_mass();
				const bool body_physics = body->is_physics_processing();
				const uint64_t ids[4] = { child->get_instance_id(), body->get_instance_id(), player->get_instance_id(), shelf->get_instance_id() };
				auto fires = std::make_shared<int>(0);
				auto armed = std::make_shared<bool>(!at_release);
				connect_script((Source)source, child, body, attachment(), [this, fires, armed, action, ids]() {
					if (*armed && (*fires)++ == 0) {
						act((Action)action, ids[0], ids[1], ids[2], ids[3]);
					}
				});
				touch_and_close(body);
				advance_until([&]() { return !live<Player>(ids[2]) || player->held_objects[0].object_id == ids[1]; }, 2.0);
				*armed = true;
				if (Player *p = live<Player>(ids[2])) {
					open_hand(p);
				}
				Host::advance(1.0, 1.0 / 60.0);

				RigidBody3D *left = live<RigidBody3D>(ids[1]);
				if (left) {
					EXPECT_NE(left->get_process_mode(), Node::PROCESS_MODE_DISABLED) << "the body stays switched off";
					EXPECT_EQ(left->is_physics_processing(), body_physics);
				}
				Player *still = live<Player>(ids[2]);
				if (Node *c = live<Node>(ids[0])) {
					EXPECT_TRUE(!still || c->get_parent() != attachment()) << "the child stays on the open hand";
				}
				if (!still) {
					// The player went with the script: the game must still be given back.
					Host::advance(1.0, 1.0 / 60.0);
					EXPECT_FALSE(paused());
					EXPECT_EQ(master_volume(), 1.0f);
					EXPECT_TRUE(world->is_visible());
					continue;
				}
				EXPECT_EQ(still->held_objects[0].object, nullptr);
				EXPECT_FLOAT_EQ(still->get_mass(), own_mass);
				EXPECT_TRUE(std::isfinite(still->get_linear_velocity().length()));
				expect_game_runs_here();
				EXPECT_TRUE(stick_reaches(still, controllers[1]));
			}
		}
	}
}

// The attachment itself leaves with the held body's child on it: a script
// on the child's "tree_exiting" takes the attachment's skeleton out, and one
// on the attachment's "tree_exited" puts it back.
TEST_F(MoreGrabTreeSignals, AttachmentTakenOutAndBackWhileHolding) {
	reach(PLAYING);
	RigidBody3D *body = Object::cast_to<RigidBody3D>(root->get_node_or_null(NodePath("Crate")));
	touch_and_close(body);
	ASSERT_TRUE(advance_until([&]() { return player->held_objects[0].object == body; }, 2.0));
	Node *hand = attachment();
	Node *bones = skeleton;
	hand->connect("tree_exited", on_first_signal(hand, [&]() {
		if (!hand->get_parent()) {
			bones->add_child(hand);
		}
	}));
	bones->remove_child(hand);
	EXPECT_EQ(player->held_objects[0].object, nullptr) << "the hand let go as its attachment left";
	EXPECT_EQ(body->get_node_or_null(NodePath("Handle"))->get_parent(), body);
	Host::advance(0.5, 1.0 / 60.0);
	open_hand(player);
	Host::advance(0.5, 1.0 / 60.0);
	EXPECT_NE(body->get_process_mode(), Node::PROCESS_MODE_DISABLED);
	expect_game_runs_here();
}
