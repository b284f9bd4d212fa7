// OpenXR session events: banners, pause and HUD, frame pacing, the master
// fade and the focus rule.
#include "xr_manager/xr_scene.hpp"

#include "sequences/welcome_back_sequence.hpp"
#include "sequences/welcome_sequence.hpp"

#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

using namespace godot;
using godot_host::Host;
using godot_host::Log;

namespace {

std::vector<float> fade_volumes() {
	std::vector<float> out;
	for (const AudioServer::VolumeCall &c : AudioServer::get_singleton()->_host_linear_volume_calls()) {
		out.push_back(c.linear);
	}
	return out;
}

} // namespace

class XRManagerSession : public XRSceneTest {
protected:
	void SetUp() override {
		XRSceneTest::SetUp();
		add_openxr(true, true, 90.0f);
		build_scene();
		start();
		Log::clear();
	}

	// Runs the fade timer out through the engine's frames, one tick a frame.
	int run_fade() {
		int ticks = 0;
		AudioServer::get_singleton()->_host_reset();
		while (!manager->audio_fade_timer->is_stopped() && ticks < 10000) {
			Host::process_frame(manager->audio_fade_timer->get_wait_time() * 1.001);
			ticks++;
		}
		return ticks;
	}
};

TEST_F(XRManagerSession, EveryEventPrintsItsBanner) {
	const char *const quiet[][2] = {
		{ "session_stopping", "SESSION_STOPPING" },
		{ "session_loss_pending", "SESSION_LOSS_PENDING" },
		{ "instance_exiting", "INSTANCE_EXITING" },
		{ "pose_recentered", "POSE_RECENTERED" },
	};
	for (const auto &event : quiet) {
		emit_session(event[0]);
	}
	openxr->emit_signal("play_area_changed", 1);
	openxr->emit_signal("refresh_rate_changed", 89.9f);

	std::vector<std::string> lines = Log::printed_lines();
	ASSERT_EQ(lines.size(), 6u);
	for (size_t i = 0; i < 4; i++) {
		EXPECT_EQ(lines[i], std::string("++++++++++ ") + quiet[i][1] + " ++++++++++");
	}
	EXPECT_EQ(lines[4], "++++++++++ PLAY_AREA_CHANGED ++++++++++1");
	// The rate arrives in single precision and prints widened to double.
	String rate = UtilityFunctions::str((double)89.9f);
	EXPECT_EQ(lines[5], "++++++++++ REFRESH_RATE_CHANGED ++++++++++" + std::string(rate.utf8().get_data()));
	EXPECT_NE(rate, String("89.9"));
	EXPECT_EQ(Engine::get_singleton()->get_max_fps(), 89);
	EXPECT_EQ(Engine::get_singleton()->get_physics_ticks_per_second(), 89);
	EXPECT_EQ(recentre_count(), 1u);
	EXPECT_EQ(server()->_host_center_calls()[0].rotation_mode, XRServer::RESET_FULL_ROTATION);
	EXPECT_FALSE(server()->_host_center_calls()[0].keep_height);
	EXPECT_TRUE(game_errors().empty());
}

TEST_F(XRManagerSession, VisiblePausesShowsTheHudAndPacesFrames) {
	Host::tree()->set_pause(false);
	openxr->set_display_refresh_rate(72.0f);
	emit_session("session_visible");
	EXPECT_EQ(Log::printed_lines(), std::vector<std::string>{ "++++++++++ SESSION_VISIBLE ++++++++++" });
	EXPECT_TRUE(paused());
	EXPECT_TRUE(manager->hud_visible);
	EXPECT_TRUE(hud->is_visible());
	EXPECT_FALSE(world->is_visible());
	EXPECT_EQ(Engine::get_singleton()->get_max_fps(), 72);
	EXPECT_EQ(Engine::get_singleton()->get_physics_ticks_per_second(), 72);
}

TEST_F(XRManagerSession, VisibleWithoutAnOpenXRPrimarySkipsOnlyThePacing) {
	manager->primary_interface.unref();
	Host::tree()->set_pause(false);
	emit_session("session_visible");
	EXPECT_TRUE(paused());
	EXPECT_TRUE(hud->is_visible());
	EXPECT_EQ(Engine::get_singleton()->get_max_fps(), 0);
	EXPECT_EQ(Engine::get_singleton()->get_physics_ticks_per_second(), 60);
	EXPECT_EQ(game_errors().size(), 1u);
}

TEST_F(XRManagerSession, BegunFadesInOverOneHundredTwentyTicks) {
	emit_session("session_begun");
	EXPECT_TRUE(hud->is_visible());
	EXPECT_EQ(manager->audio_fade_timer->get_wait_time(), 0.01666666753590107);
	EXPECT_EQ(master_volume(), 0.0f); // the fade sets nothing before its first tick

	EXPECT_EQ(run_fade(), 120);
	std::vector<float> volumes = fade_volumes();
	ASSERT_EQ(volumes.size(), 120u);
	for (int k = 1; k < 120; k++) {
		EXPECT_EQ(volumes[(size_t)k - 1], 0.0f + (1.0f - 0.0f) / 120.0f * (float)k) << k;
	}
	EXPECT_EQ(volumes.back(), 1.0f);
}

TEST_F(XRManagerSession, FadeCases) {
	// Paced at 90 fps by an earlier session visible: 180 ticks of a float ninetieth.
	Engine::get_singleton()->set_max_fps(90);
	emit_session("session_begun");
	EXPECT_EQ(manager->audio_fade_timer->get_wait_time(), (double)(1.0f / 90.0f));
	EXPECT_EQ(run_fade(), 180);

	// A fractional step count is truncated.
	Engine::get_singleton()->set_max_fps(72);
	manager->fade_audio(true, 2.01f);
	EXPECT_EQ(manager->fade_steps, 144);

	// No step at all: the first tick ends the fade.
	manager->fade_audio(true, 0.0f);
	EXPECT_EQ(run_fade(), 1);
	EXPECT_EQ(fade_volumes(), std::vector<float>{ 1.0f });

	// Fading out ends exactly at silence.
	Engine::get_singleton()->set_max_fps(10);
	manager->fade_audio(false, 0.5f);
	EXPECT_EQ(run_fade(), 5);
	std::vector<float> volumes = fade_volumes();
	ASSERT_EQ(volumes.size(), 5u);
	EXPECT_EQ(volumes[0], 1.0f + (0.0f - 1.0f) / 5.0f * 1.0f);
	EXPECT_EQ(volumes[4], 0.0f);
}

TEST_F(XRManagerSession, ASecondSessionRestartsTheFade) {
	emit_session("session_begun");
	Host::process_frame(0.05); // a few ticks in
	emit_session("session_stopping");
	emit_session("session_begun");
	EXPECT_EQ(manager->fade_step, 0);
	EXPECT_EQ(run_fade(), 120);
	EXPECT_EQ(master_volume(), 1.0f);
}

TEST_F(XRManagerSession, FocusRuleInARegularRun) {
	emit_session("session_focussed");
	EXPECT_EQ(Log::printed_lines(), std::vector<std::string>{ "++++++++++ SESSION_FOCUSSED ++++++++++" });
	WelcomeSequence *first = Object::cast_to<WelcomeSequence>(manager->welcome_sequence);
	ASSERT_NE(first, nullptr);
	EXPECT_FALSE(manager->show_welcome);
	EXPECT_EQ(first->xr_manager, manager);

	emit_session("session_focussed"); // still greeting
	EXPECT_EQ(manager->welcome_sequence, first);
	EXPECT_EQ(manager->welcome_back_sequence, nullptr);

	memdelete(first); // as its finish does
	manager->set_welcome_sequence(nullptr);
	emit_session("session_focussed");
	Object *back = manager->welcome_back_sequence;
	EXPECT_NE(Object::cast_to<WelcomeBackSequence>(back), nullptr);
	emit_session("session_focussed");
	EXPECT_EQ(manager->welcome_back_sequence, back);
	EXPECT_EQ(manager->welcome_sequence, nullptr);
	EXPECT_TRUE(paused());
}

TEST_F(XRManagerSession, FocusRuleInADeveloperRun) {
	Host::reset();
	clear_globals();
	Globals::is_dev = true;
	add_openxr();
	build_scene();
	start();
	emit_session("session_focussed");
	EXPECT_EQ(manager->welcome_sequence, nullptr);
	EXPECT_NE(Object::cast_to<WelcomeBackSequence>(manager->welcome_back_sequence), nullptr);
}

TEST_F(XRManagerSession, FocusWithoutAHudStartsTheGameUngreeted) {
	Host::reset();
	clear_globals();
	add_openxr();
	XRSceneOptions options;
	options.hud = false;
	build_scene(options);
	start();
	Log::clear();
	emit_session("session_visible");
	EXPECT_FALSE(world->is_visible());
	emit_session("session_focussed");
	EXPECT_EQ(game_errors().size(), 1u);
	EXPECT_FALSE(paused());
	EXPECT_TRUE(world->is_visible());
	EXPECT_EQ(recentre_count(), 1u);
	EXPECT_EQ(manager->welcome_sequence, nullptr);
	EXPECT_EQ(manager->welcome_back_sequence, nullptr);
}

// Frames of seconds: one fade step a frame, ending exactly at full volume.
TEST_F(XRManagerSession, FadeThroughSlowFramesEndsAtFullVolume) {
	emit_session("session_begun");
	AudioServer::get_singleton()->_host_reset();
	Host::advance(3.0 * 130, 3.0);
	std::vector<float> volumes = fade_volumes();
	ASSERT_EQ(volumes.size(), 120u);
	EXPECT_EQ(volumes[118], 1.0f / 120.0f * 119.0f);
	EXPECT_EQ(volumes.back(), 1.0f);
}
