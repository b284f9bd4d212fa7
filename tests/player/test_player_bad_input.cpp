// Values a runtime or a script can hand the player that are no sane
// controller or tracker readings: the body must stay finite.
#include "hands_scene.hpp"

#include <godot_cpp/classes/static_body3d.hpp>

#include <cmath>
#include <limits>

namespace {

const float INF = std::numeric_limits<float>::infinity();
const float NOT_A_NUMBER = std::numeric_limits<float>::quiet_NaN();

bool finite(const Vector3 &p_value) {
	return std::isfinite(p_value.x) && std::isfinite(p_value.y) && std::isfinite(p_value.z);
}

void expect_finite_body(Player *p_player) {
	EXPECT_TRUE(finite(p_player->get_global_position()));
	EXPECT_TRUE(finite(p_player->get_global_basis().xform(Vector3(1, 1, 1))));
	EXPECT_TRUE(finite(p_player->get_linear_velocity()));
	EXPECT_TRUE(finite(p_player->get_angular_velocity()));
}

} // namespace

TEST_F(PlayerTest, StickValuesAreClampedAndNonNumbersCountAsZero) {
	build();
	start();
	player->set_mass(80.0f);
	player->_on_input_vector2_changed("primary", Vector2(INF, 1e30f), 1, false);
	EXPECT_EQ(player->roll_input, 0.0f);
	EXPECT_EQ(player->thrust_input, 1.0f);
	player->_on_input_vector2_changed("primary", Vector2(-1e30f, NOT_A_NUMBER), 0, false);
	EXPECT_EQ(player->yaw_input, 1.0f);
	EXPECT_EQ(player->pitch_input, 0.0f);
	player->_on_input_vector2_changed("secondary", Vector2(NOT_A_NUMBER, 0), 1, true);
	EXPECT_EQ(player->finger_targets[1][0], 0.0f);
	player->_on_input_float_changed("trigger", NOT_A_NUMBER, 0, false);
	player->_on_input_float_changed("grip_force", INF, 1, true);
	for (int f = 0; f < 5; f++) {
		EXPECT_EQ(player->finger_targets[0][f], 0.0f);
	}
	EXPECT_EQ(player->finger_targets[1][2], 0.7f);

	// Full thrust of a clamped stick: the force of one g-less metre per second squared.
	player->_physics_process(1.0 / 90.0);
	expect_vec(player->get_constant_force(), Vector3(0, 0, 80.0f), 1e-3f);
	// Ordinary values pass unchanged.
	player->_on_input_vector2_changed("primary", Vector2(-0.7f, 0.55f), 1, false);
	EXPECT_EQ(player->roll_input, -0.7f);
	EXPECT_EQ(player->thrust_input, 0.55f);
}

// One frame of each bad value, then a second of play: the body stays finite.
TEST_F(PlayerTest, NoInputLeavesTheBodyNonFinite) {
	build();
	start();
	const float bad[] = { INF, -INF, 1e30f, -1e30f, NOT_A_NUMBER, std::numeric_limits<float>::max() };
	for (float value : bad) {
		player->_on_input_vector2_changed("primary", Vector2(value, value), 0, false);
		player->_on_input_vector2_changed("primary", Vector2(value, value), 1, false);
		player->_on_input_float_changed("trigger", value, 0, false);
		camera->set_position(Vector3(value, 1.6f, value));
		Host::iteration(1.0 / 90.0);
		player->_on_input_vector2_changed("primary", Vector2(), 0, false);
		player->_on_input_vector2_changed("primary", Vector2(), 1, false);
		camera->set_position(Vector3(0, 1.6f, 0));
		Host::advance(1.0, 1.0 / 90.0);
		expect_finite_body(player);
	}
	// Stick inputs written straight into the player count no more than a stick gives.
	player->thrust_input = INF;
	player->roll_input = -1e30f;
	player->_physics_process(1.0 / 90.0);
	EXPECT_TRUE(finite(player->get_constant_force()));
	EXPECT_TRUE(finite(player->get_angular_velocity()));
}

TEST_F(PushTest, ATrackerVelocityThatIsNoNumberPushesNothing) {
	StaticBody3D *wall = add_node(world, memnew(StaticBody3D), "Wall", world);
	contact("hand_l_collider", wall, Vector3(0, 0, 1));
	const float bad[] = { NOT_A_NUMBER, INF, std::numeric_limits<float>::max() };
	for (float value : bad) {
		tracker(0, Vector3(0, 0, value));
		player->set_linear_velocity(Vector3(0, 0, 0.5f));
		integrate();
		EXPECT_TRUE(finite(player->get_linear_velocity())) << value;
	}
	EXPECT_EQ(godot_host::Log::error_count(), 1); // reported once
	tracker(0, Vector3(0, 0, 1));
	player->set_linear_velocity(Vector3());
	integrate();
	expect_close(player->get_linear_velocity(), Vector3(0, 0, 1.88f / 80.0f));
}
