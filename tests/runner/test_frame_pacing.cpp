// The main loop paced by the frame limit the game sets, as the engine paces it.
#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_host/host.hpp>

#include <gtest/gtest.h>

using godot::Engine;
using godot_host::Host;

namespace {

class FramePacing : public ::testing::Test {
protected:
	void SetUp() override { Host::reset(); }
	void TearDown() override { Host::reset(); }

	// Frames and physics ticks over one second of paced iterations.
	static std::pair<uint64_t, uint64_t> one_second(double p_unlimited_delta) {
		Engine *engine = Engine::get_singleton();
		uint64_t frames = engine->get_process_frames(), ticks = engine->get_physics_frames();
		double t = 0.0;
		while (t + 1e-9 < 1.0) {
			t += Host::paced_iteration(p_unlimited_delta);
		}
		return { engine->get_process_frames() - frames, engine->get_physics_frames() - ticks };
	}
};

TEST_F(FramePacing, WithoutALimitFramesTakeTheRunnersTime) {
	EXPECT_DOUBLE_EQ(Host::frame_delta(1.0 / 60.0), 1.0 / 60.0);
	auto counted = one_second(1.0 / 60.0);
	EXPECT_EQ(counted.first, 60u);
	EXPECT_EQ(counted.second, 60u); // the default tick rate
	EXPECT_DOUBLE_EQ(Host::tree()->_host_process_delta(), 1.0 / 60.0);
}

TEST_F(FramePacing, TheHeadsetsRateSetsFramesAndTicks) {
	for (int rate : { 72, 90, 120 }) {
		Host::reset();
		Engine::get_singleton()->set_max_fps(rate);
		Engine::get_singleton()->set_physics_ticks_per_second(rate);
		auto counted = one_second(1.0 / 60.0);
		EXPECT_EQ(counted.first, (uint64_t)rate) << rate;
		EXPECT_EQ(counted.second, (uint64_t)rate) << rate;
		EXPECT_DOUBLE_EQ(Host::tree()->_host_process_delta(), 1.0 / rate);
	}
}

TEST_F(FramePacing, AFrameLimitAloneLeavesTheTickRate) {
	// Frames at 120 with physics at its default of 60: a tick every other frame.
	Engine::get_singleton()->set_max_fps(120);
	auto counted = one_second(1.0 / 60.0);
	EXPECT_EQ(counted.first, 120u);
	EXPECT_EQ(counted.second, 60u);
}

TEST_F(FramePacing, AnAbsurdLimitStillLetsTimePass) {
	// A limit no machine reaches: frames come as fast as the machine draws.
	Engine::get_singleton()->set_max_fps(2147483647);
	EXPECT_DOUBLE_EQ(Host::frame_delta(1.0 / 60.0), 1.0 / Host::FASTEST_FRAME_RATE);
	auto counted = one_second(1.0 / 60.0);
	EXPECT_EQ(counted.first, (uint64_t)Host::FASTEST_FRAME_RATE);
}

TEST_F(FramePacing, LiftingTheLimitReturnsToTheRunnersTime) {
	Engine::get_singleton()->set_max_fps(90);
	EXPECT_DOUBLE_EQ(Host::paced_iteration(1.0 / 30.0), 1.0 / 90.0);
	Engine::get_singleton()->set_max_fps(0);
	EXPECT_DOUBLE_EQ(Host::paced_iteration(1.0 / 30.0), 1.0 / 30.0);
}

TEST_F(FramePacing, AFrameWithoutTimeIsRefused) {
	uint64_t frames = Engine::get_singleton()->get_process_frames();
	EXPECT_EQ(Host::paced_iteration(0.0), 0.0);
	EXPECT_EQ(Host::paced_iteration(std::numeric_limits<double>::quiet_NaN()), 0.0);
	EXPECT_EQ(Engine::get_singleton()->get_process_frames(), frames);
}

} // namespace
