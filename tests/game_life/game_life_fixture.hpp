#ifndef MOSSGLIMMER_TESTS_GAME_LIFE_FIXTURE_HPP
#define MOSSGLIMMER_TESTS_GAME_LIFE_FIXTURE_HPP

// A game over its life: the level file loaded, changed and reloaded at any
// stage of the XR session, from the game's own signals too, and the checks
// that the game then runs from the scene in the tree.
#include "support/code_receiver.hpp"
#include "xr_manager/scene_change_fixture.hpp"

#include "bone_collider_ik.hpp"
#include "sequences/welcome_back_sequence.hpp"
#include "sequences/welcome_sequence.hpp"

#include <godot_cpp/classes/bone_attachment3d.hpp>
#include <godot_cpp/classes/box_shape3d.hpp>
#include <godot_cpp/classes/collision_shape3d.hpp>
#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/sphere_shape3d.hpp>
#include <godot_cpp/classes/timer.hpp>
#include <godot_cpp/classes/window.hpp>

#include <functional>

class GameLifeTest : public XRSceneChangeTest {
protected:
	// How far the session has come when the script strikes.
	enum Stage {
		NONE, // no session event yet
		BEGUN, // the HUD shows, the fade runs
		VISIBLE, // paused, waiting for the focus
		GREETING, // the first-run greeting runs
		PLAYING,
		PAUSED_BY_SCRIPT, // playing, and a script paused the tree
	};

	static const char *stage_name(Stage p_stage) {
		static const char *const names[] = { "none", "begun", "visible", "greeting", "playing", "paused by a script" };
		return names[p_stage];
	}

	static godot::Window *tree_root() { return godot_host::Host::tree()->get_root(); }
	static godot::SceneTree *tree() { return godot_host::Host::tree(); }

	void reach(Stage p_stage) {
		if (p_stage >= BEGUN) {
			emit_session("session_begun");
		}
		if (p_stage >= VISIBLE) {
			emit_session("session_visible");
		}
		if (p_stage >= GREETING) {
			emit_session("session_focussed");
		}
		if (p_stage >= PLAYING) {
			ASSERT_TRUE(answer_until_running());
			godot_host::Host::advance(2.5, 1.0 / 60.0);
		}
		if (p_stage == PAUSED_BY_SCRIPT) {
			tree()->set_pause(true);
		}
	}

	// The events the runtime has still to send after p_stage.
	void go_on_from(Stage p_stage) {
		if (p_stage < BEGUN) {
			emit_session("session_begun");
		}
		if (p_stage < VISIBLE) {
			emit_session("session_visible");
		}
		if (p_stage < GREETING) {
			emit_session("session_focussed");
		}
	}

	// With the session focussed: any greeting answered, the fade over, the
	// game runs from the scene in the helpers.
	void expect_plays_on() {
		ASSERT_TRUE(answer_until_running()) << "the game never unpaused";
		godot_host::Host::advance(3.0, 1.0 / 60.0);
		expect_game_runs_here();
	}

	// Changes to the level by each of the engine's three ways.
	enum Change {
		BY_FILE,
		BY_PACKED,
		BY_RELOAD,
	};

	static godot::Error change(Change p_how) {
		switch (p_how) {
			case BY_FILE:
				return tree()->change_scene_to_file(LEVEL_PATH);
			case BY_PACKED: {
				godot::Ref<godot::PackedScene> level = godot::ResourceLoader::get_singleton()->load(LEVEL_PATH);
				return tree()->change_scene_to_packed(level);
			}
			case BY_RELOAD:
				return tree()->reload_current_scene();
		}
		return godot::FAILED;
	}

	void change_now(Change p_how) {
		ASSERT_EQ(change(p_how), godot::OK);
		end_frame();
		use_scene(made);
	}

	// Another level added below the root by a script, beside what is there.
	static SceneNodes add_level() {
		SceneNodes level = make_scene();
		tree_root()->add_child(level.root);
		return level;
	}

	// A packed scene of a bare 3-D node: a menu or loading screen.
	static godot::Ref<godot::PackedScene> empty_scene() {
		godot::Ref<godot::PackedScene> scene;
		scene.instantiate();
		scene->_host_set_builder([]() -> godot::Node * { return memnew(godot::Node3D); });
		return scene;
	}

	// Plays frames until p_done holds, answering the greeting's waits for a
	// press on the way up to (not into) p_state.
	bool advance_welcome_to(int32_t p_state) {
		return advance_until([&]() {
			godot::WelcomeSequence *seq = godot::Object::cast_to<godot::WelcomeSequence>(manager->welcome_sequence);
			if (!seq) {
				return false;
			}
			if (seq->state == p_state) {
				return true;
			}
			if (seq->waiting_for_press()) {
				press(0, "ax_button");
				release(0, "ax_button");
			}
			return false;
		}, 60.0);
	}

	// Makes the level file hold a level that p_add fills further, and loads it.
	void load_level_with(std::function<void(const SceneNodes &)> p_add) {
		godot::ResourceLoader::get_singleton()->_host_register(LEVEL_PATH, [this, p_add]() -> godot::Ref<godot::Resource> {
			godot::Ref<godot::PackedScene> scene;
			scene.instantiate();
			scene->_host_set_builder([this, p_add]() -> godot::Node * {
				made = make_scene();
				p_add(made);
				return made.root;
			});
			return scene;
		});
		reload();
	}

	// Hand attachments and a thumb and index shape on the left hand, and a
	// free body, "Crate", in the world to take, with a shape and a "Handle".
	static void add_hands_and_crate(const SceneNodes &p_scene) {
		add_node(p_scene.skeleton, memnew(godot::BoneAttachment3D), "hand_l_bone_attach", p_scene.root);
		add_node(p_scene.skeleton, memnew(godot::BoneAttachment3D), "hand_r_bone_attach", p_scene.root);
		for (const char *name : { "thumb_l_collider", "index_02_l_collider" }) {
			godot::BoneColliderIK *shape = add_node(p_scene.player, memnew(godot::BoneColliderIK), name, p_scene.root);
			godot::Ref<godot::BoxShape3D> box;
			box.instantiate();
			shape->set_shape(box);
		}
		godot::RigidBody3D *body = add_node(p_scene.root, memnew(godot::RigidBody3D), "Crate", p_scene.root);
		body->set_gravity_scale(0);
		godot::CollisionShape3D *shape = add_node(body, memnew(godot::CollisionShape3D), "CollisionShape3D", p_scene.root);
		shape->set_shape(godot::Ref<godot::SphereShape3D>(memnew(godot::SphereShape3D)));
		add_node(body, memnew(godot::Node3D), "Handle", p_scene.root);
	}

	// The player's body shape index of the shape named p_name.
	int shape_index(const char *p_name) {
		for (int i = 0; i < player->_host_shape_count(); i++) {
			godot::Node *n = godot::Object::cast_to<godot::Node>(player->shape_owner_get_owner(player->shape_find_owner(i)));
			if (n && n->get_name() == godot::StringName(p_name)) {
				return i;
			}
		}
		ADD_FAILURE() << "no shape " << p_name;
		return 0;
	}
};

#endif // MOSSGLIMMER_TESTS_GAME_LIFE_FIXTURE_HPP
