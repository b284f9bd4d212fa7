// The player's set-up and its controller handlers.
#include "player_scene.hpp"

#include <godot_cpp/classes/timer.hpp>

#include <cmath>
#include <limits>

using namespace godot;
using godot_host::Host;

namespace {

void expect_targets(Player *p_player, int p_hand, std::initializer_list<float> p_want) {
	int f = 0;
	for (float want : p_want) {
		EXPECT_FLOAT_EQ(p_player->finger_targets[p_hand][f], want) << "hand " << p_hand << " finger " << f;
		f++;
	}
}

} // namespace

TEST_F(PlayerTest, ReadyFindsItsPartnersAndStartsEverything) {
	build();
	start();
	EXPECT_EQ(godot_host::Log::error_count(), 0);
	EXPECT_EQ(player->skeleton, skeleton);
	ASSERT_EQ(player->hand_attachments.size(), 2);
	EXPECT_EQ(player->hand_attachments[0], attach[0]);
	EXPECT_EQ(player->hand_attachments[1], attach[1]);
	EXPECT_EQ(Globals::get_hand_controller(0), controllers[0]);
	EXPECT_EQ(Globals::get_hand_controller(1), controllers[1]);
	ASSERT_EQ(animation_player->_host_plays().size(), 1u);
	EXPECT_EQ(animation_player->_host_plays()[0].name, StringName("legs-bent"));
	EXPECT_EQ(animation_player->_host_plays()[0].custom_blend, -1.0);
	EXPECT_EQ(player->animation_tree, tree);
	for (SkeletonIK3D *ik : { player->left_hand_ik, player->right_hand_ik, player->head_ik }) {
		ASSERT_NE(ik, nullptr);
		EXPECT_TRUE(ik->is_running());
	}
	ASSERT_NE(player->cleanup_timer, nullptr);
	EXPECT_EQ(player->cleanup_timer->get_parent(), player);
	EXPECT_DOUBLE_EQ(player->cleanup_timer->get_wait_time(), 60.0);
	EXPECT_FALSE(player->cleanup_timer->is_one_shot());
	EXPECT_FALSE(player->cleanup_timer->is_stopped());
	EXPECT_FALSE(player->is_able_to_sleep());
	EXPECT_TRUE(player->is_contact_monitor_enabled());
	EXPECT_EQ(player->get_max_contacts_reported(), 2048);
	EXPECT_TRUE(player->is_connected("body_shape_entered", Callable(player, "_handle_hand_collision").bind(true)));
	EXPECT_TRUE(player->is_connected("body_shape_exited", Callable(player, "_handle_hand_collision").bind(false)));
	EXPECT_TRUE(player->collider_name_regex->is_valid());
}

TEST_F(PlayerTest, EditorReadyOnlySwitchesProcessingOff) {
	Host::set_editor_hint(true);
	build();
	start();
	EXPECT_FALSE(player->is_processing());
	EXPECT_FALSE(player->is_physics_processing());
	EXPECT_EQ(player->skeleton, nullptr);
	EXPECT_EQ(player->cleanup_timer, nullptr);
	EXPECT_EQ(player->get_child_count(), 5); // the scene's own nodes only: no timer
	EXPECT_FALSE(player->is_contact_monitor_enabled());
}

TEST_F(PlayerTest, MissingPartnersAreReportedOnceAndThePlayerKeepsGoing) {
	build({}, { "hand_r_bone_attach", "AnimationTree", "HeadIK3D", "XRController3DRight" });
	start();
	EXPECT_EQ(godot_host::Log::error_count(), 4);
	ASSERT_EQ(player->hand_attachments.size(), 2);
	EXPECT_EQ(player->hand_attachments[1], nullptr);
	EXPECT_EQ(Globals::get_hand_controller(1), nullptr);
	EXPECT_TRUE(player->left_hand_ik->is_running());
	player->_on_input_float_changed("trigger", 1.0f, 1, false);
	player->_on_input_vector2_changed("primary", Vector2(0, 1), 1, false);
	Host::advance(0.5, 1.0 / 60.0);
	EXPECT_EQ(godot_host::Log::error_count(), 4);
	EXPECT_GT(player->get_linear_velocity().z, 0.0f);
}

TEST_F(PlayerTest, FingerTargetsFromFloatInputs) {
	build();
	start();
	expect_targets(player, 0, { 0, 0, 0, 0, 0 });
	EXPECT_EQ(player->thrust_input, 0.0f);

	// Without the grip sensor only the trigger counts, for the whole hand.
	player->_on_input_float_changed("trigger", 0.6f, 1, false);
	expect_targets(player, 1, { 0.6f, 0.6f, 0.6f, 0.6f, 0.6f });
	player->_on_input_float_changed("grip", 0.9f, 1, false);
	player->_on_input_float_changed("grip_force", 0.9f, 1, false);
	expect_targets(player, 1, { 0.6f, 0.6f, 0.6f, 0.6f, 0.6f });
	expect_targets(player, 0, { 0, 0, 0, 0, 0 });

	// With it, the grip closes the last three fingers and the trigger the index.
	player->_on_input_float_changed("grip", 1.0f, 0, true);
	expect_targets(player, 0, { 0, 0, 0.7f, 0.7f, 0.7f });
	const float forces[][2] = { { 0.0f, 0.7f }, { 0.1f, 0.79f }, { 0.3f, 0.97f }, { 0.5f, 1.0f }, { 1.0f, 1.0f } };
	for (auto &row : forces) {
		player->_on_input_float_changed("grip_force", row[0], 0, true);
		EXPECT_FLOAT_EQ(player->finger_targets[0][2], row[1]) << row[0];
		EXPECT_FLOAT_EQ(player->finger_targets[0][4], row[1]) << row[0];
	}
	player->_on_input_float_changed("trigger", 0.4f, 0, true);
	expect_targets(player, 0, { 0, 0.4f, 1.0f, 1.0f, 1.0f });
	player->_on_input_float_changed("Trigger", 0.9f, 0, true);
	expect_targets(player, 0, { 0, 0.4f, 1.0f, 1.0f, 1.0f });
}

TEST_F(PlayerTest, SticksAndTheSecondaryThumb) {
	build();
	start();
	player->_on_input_vector2_changed("primary", Vector2(0.8f, -0.6f), 0, false);
	EXPECT_FLOAT_EQ(player->pitch_input, -0.6f);
	EXPECT_FLOAT_EQ(player->yaw_input, -0.8f);
	player->_on_input_vector2_changed("primary", Vector2(0.8f, -0.6f), 1, true);
	EXPECT_FLOAT_EQ(player->thrust_input, -0.6f);
	EXPECT_FLOAT_EQ(player->roll_input, 0.8f);
	expect_targets(player, 0, { 0, 0, 0, 0, 0 });
	expect_targets(player, 1, { 0, 0, 0, 0, 0 });

	player->_on_input_vector2_changed("secondary", Vector2(1e-6f, 0), 1, true);
	EXPECT_EQ(player->finger_targets[1][0], 1.0f);
	player->_on_input_vector2_changed("secondary", Vector2(0, 0.9f), 1, true);
	EXPECT_EQ(player->finger_targets[1][0], 0.0f);
	player->_on_input_vector2_changed("secondary", Vector2(1, 0), 1, false);
	EXPECT_EQ(player->finger_targets[1][0], 0.0f);

	player->_on_button_pressed("ax_button", 0);
	player->_on_button_released("ax_button", 0);
	player->_on_profile_changed("/interaction_profiles/x", 1);
	EXPECT_FLOAT_EQ(player->thrust_input, -0.6f);
	EXPECT_EQ(godot_host::Log::error_count(), 0);
}

TEST_F(PlayerTest, HandIndexOutOfRangeIsRefused) {
	build();
	start();
	float before[2][5];
	std::copy(&player->finger_targets[0][0], &player->finger_targets[0][0] + 10, &before[0][0]);
	float hud_guard = player->hand_closure[1];
	player->_on_input_float_changed("trigger", 1.0f, 2, false);
	player->_on_input_float_changed("grip", 1.0f, -1, true);
	player->_on_input_vector2_changed("secondary", Vector2(1, 0), 5, true);
	EXPECT_TRUE(std::equal(&before[0][0], &before[0][0] + 10, &player->finger_targets[0][0]));
	EXPECT_EQ(player->hand_closure[1], hud_guard);
	EXPECT_EQ(godot_host::Log::error_count(), 3);
}
