// Flight: thrust along the body's Z axis, stick and lean steering.
#include "player_scene.hpp"

#include <cmath>
#include <limits>

using namespace godot;
using godot_host::Host;

namespace {


} // namespace

class FlightTest : public PlayerTest {
protected:
	void SetUp() override {
		PlayerTest::SetUp();
		build();
		start();
		player->set_mass(80.0f);
	}

	void step(const Vector3 &p_head = Vector3()) {
		camera->set_position(p_head);
		player->_physics_process(1.0 / 90.0);
	}
};

TEST_F(FlightTest, ThrustDeadZoneAndMass) {
	step();
	expect_vec(player->get_constant_force(), Vector3());
	expect_vec(player->get_angular_velocity(), Vector3());

	const float table[][2] = { { 0.5f, 0.0f }, { 0.51f, 0.51f * 80.0f }, { -1.0f, -80.0f }, { -0.5f, 0.0f } };
	for (auto &row : table) {
		player->thrust_input = row[0];
		step();
		expect_vec(player->get_constant_force(), Vector3(0, 0, row[1]), 1e-3f);
	}
	player->thrust_input = std::numeric_limits<float>::quiet_NaN();
	player->pitch_input = std::numeric_limits<float>::quiet_NaN();
	step();
	expect_vec(player->get_constant_force(), Vector3());
	expect_vec(player->get_angular_velocity(), Vector3());
}

TEST_F(FlightTest, LeanReplacesStickRollAndPitch) {
	struct Row {
		Vector3 head;
		float roll_input, pitch_input, yaw_input;
		Vector3 want; // pitch, yaw, roll
	};
	const Row rows[] = {
		{ Vector3(0.1f, 0, 0), 0, 0, 0, Vector3(0, 0, 0.2f) },
		{ Vector3(-0.1f, 0, 0), 0, 0, 0, Vector3(0, 0, -0.2f) },
		{ Vector3(0.06f, 0, 0), 0.7f, 0, 0, Vector3(0, 0, 0.7f) },
		{ Vector3(0, 0, 0.2f), 0, 0, 0, Vector3(-0.625f, 0, 0) },
		{ Vector3(0, 0, -0.2f), 0, 0.9f, 0, Vector3(0.625f, 0, 0) },
		{ Vector3(-0.1f, 0, 0), 1.0f, 0, 0, Vector3(0, 0, -0.2f) },
		{ Vector3(0, 1.7f, 0), 0, 0, -1.0f, Vector3(0, -1.0f, 0) },
		{ Vector3(0, 0, 0.075f), 0, 0.6f, 0, Vector3(0.6f, 0, 0) },
	};
	for (const Row &r : rows) {
		player->roll_input = r.roll_input;
		player->pitch_input = r.pitch_input;
		player->yaw_input = r.yaw_input;
		step(r.head);
		expect_vec(player->get_angular_velocity(), r.want);
	}
}

TEST_F(FlightTest, WithoutACameraOnlyTheSticksSteer) {
	Globals::set_xr_camera(nullptr);
	player->roll_input = 0.8f;
	player->pitch_input = -0.7f;
	step(Vector3(0.3f, 0, 0.3f));
	expect_vec(player->get_angular_velocity(), Vector3(-0.7f, 0, 0.8f));
	EXPECT_EQ(godot_host::Log::error_count(), 0);
}

TEST_F(FlightTest, ARotatedBodyTurnsAboutItsOwnAxes) {
	// Rolled by 90 degrees about world Z: local X points along world +Y.
	player->set_global_transform(Transform3D(Basis(Vector3(0, 0, 1), (float)Math_PI / 2.0f), Vector3(1, 2, 3)));
	player->pitch_input = 1.0f;
	player->thrust_input = 1.0f;
	step();
	expect_vec(player->get_angular_velocity(), Vector3(0, 1.0f, 0));
	expect_vec(player->get_constant_force(), Vector3(0, 0, 80.0f), 1e-3f);
}

// The whole path: a controller's stick and the head reach the body through
// the physics step, which integrates them.
TEST_F(FlightTest, StickForwardAndLeaningThroughThePhysicsStep) {
	player->_on_input_vector2_changed("primary", Vector2(0.2f, 1.0f), 1, false);
	camera->set_position(Vector3(0.16f, 1.6f, 0));
	Host::physics_step(1.0 / 90.0);
	expect_vec(player->get_constant_force(), Vector3(0, 0, 80.0f), 1e-3f);
	expect_vec(player->get_angular_velocity(), Vector3(0, 0, 0.5f));
	// Integrated: a = 1 m/s² along +Z, turning about Z.
	expect_vec(player->get_linear_velocity(), Vector3(0, 0, 1.0f / 90.0f));
	EXPECT_GT(player->get_global_basis().xform(Vector3(1, 0, 0)).y, 0.0f);
	Host::advance(1.0, 1.0 / 90.0);
	EXPECT_NEAR(player->get_linear_velocity().length(), 1.0f + 1.0f / 90.0f, 1e-3f);
}
