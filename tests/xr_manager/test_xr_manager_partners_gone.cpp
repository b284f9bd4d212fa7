// The manager's partners freed by the scene: player, HUD, camera, fade timer,
// the manager itself; and rates from the runtime that are no rates.
#include "xr_manager/xr_scene.hpp"

#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/core/object.hpp>

#include <cmath>
#include <limits>

using namespace godot;
using godot_host::Host;
using godot_host::Log;

class XRManagerPartnersGone : public XRSceneTest {
protected:
	void SetUp() override {
		XRSceneTest::SetUp();
		add_openxr(true, true, 90.0f);
		build_scene();
		start();
		Log::clear();
	}

	int errors_saying(const char *p_text) {
		int n = 0;
		for (const std::string &e : game_errors()) {
			n += e.find(p_text) != std::string::npos ? 1 : 0;
		}
		return n;
	}
};

TEST_F(XRManagerPartnersGone, HudFreedThenTheSessionShowsAndFocusses) {
	memdelete(hud);
	hud = nullptr;
	emit_session("session_begun");
	emit_session("session_visible");
	EXPECT_TRUE(paused());
	EXPECT_FALSE(world->is_visible()) << "the world is still hidden for the HUD's place";
	EXPECT_EQ(errors_saying("HUD was freed"), 1);
	emit_session("session_focussed");
	EXPECT_FALSE(paused()) << "with nothing to greet on, focus starts the game";
	EXPECT_TRUE(world->is_visible());
	EXPECT_EQ(manager->welcome_sequence, nullptr);
}

TEST_F(XRManagerPartnersGone, PlayerFreedThenSessionAndInputEvents) {
	memdelete(player); // its controllers, HUD and skeleton with it
	player = nullptr;
	hud = nullptr;
	emit_session("session_begun");
	emit_session("session_visible");
	for (int i = 0; i < 3; i++) {
		manager->_on_input_vector2_changed("primary", Vector2(1, 0), 1);
		manager->_on_button_pressed("ax_button", 0);
	}
	emit_session("session_focussed");
	EXPECT_FALSE(paused());
	EXPECT_EQ(errors_saying("Player was freed"), 1) << "reported once, then the events go nowhere";
}

TEST_F(XRManagerPartnersGone, CameraStoredWithItsIdAndForgottenWhenFreed) {
	XRCamera3D *camera = Object::cast_to<XRCamera3D>(manager->find_child("XRCamera3D", true, true));
	ASSERT_NE(camera, nullptr);
	EXPECT_EQ(Globals::get_xr_camera(), camera);
	EXPECT_EQ(Globals::get_hand_controller(0), controllers[0]);
	EXPECT_TRUE(Log::errors().empty());
	memdelete(camera);
	EXPECT_EQ(Globals::get_xr_camera(), nullptr);
}

TEST_F(XRManagerPartnersGone, ManagerFreedTakesWhatItStoredInGlobalsWithIt) {
	ASSERT_NE(Globals::get_xr_origin(), nullptr);
	manager->pause_game(false);
	memdelete(manager);
	manager = nullptr;
	EXPECT_EQ(Globals::m_xr_origin, nullptr);
	EXPECT_EQ(Globals::m_xr_camera, nullptr);
	EXPECT_EQ(Globals::hand_controllers[0], nullptr);
	EXPECT_EQ(Globals::hand_controllers[1], nullptr);
	ASSERT_EQ(Globals::pos_trackers.size(), 3u);
	for (const auto &tracker : Globals::pos_trackers) {
		EXPECT_TRUE(tracker.is_null());
	}
	EXPECT_TRUE(Globals::hand_trackers.empty());
	EXPECT_TRUE(Log::errors().empty());
}

TEST_F(XRManagerPartnersGone, ManagerFreedAfterTheNextSceneStoredItsOwnLeavesThatBe) {
	XRCamera3D *next_camera = add_node(root, memnew(XRCamera3D), "NextCamera", root);
	Globals::set_xr_camera(next_camera);
	memdelete(manager);
	manager = nullptr;
	EXPECT_EQ(Globals::get_xr_camera(), next_camera);
	EXPECT_EQ(Globals::m_xr_origin, nullptr);
}

TEST_F(XRManagerPartnersGone, FadeTimerFreedThenSessionBegun) {
	memdelete(manager->audio_fade_timer);
	emit_session("session_begun");
	Host::advance(0.5, 1.0 / 60.0);
	manager->_on_audio_fade_timer_timeout();
	EXPECT_EQ(errors_saying("audio fade timer was freed"), 1);
}

class XRManagerRefreshRates : public XRManagerPartnersGone {};

TEST_F(XRManagerRefreshRates, RatesThatAreNoRatesLeaveThePacingAlone) {
	Engine *engine = Engine::get_singleton();
	emit_session("session_visible");
	ASSERT_EQ(engine->get_max_fps(), 90);
	const float inf = std::numeric_limits<float>::infinity();
	// 0 is what a runtime without the refresh-rate extension reports.
	for (float rate : { 0.0f, std::nanf(""), inf, -inf, 1e30f, -72.0f, 0.5f, 1001.0f }) {
		SCOPED_TRACE(rate);
		openxr->emit_signal("refresh_rate_changed", rate);
		EXPECT_EQ(engine->get_max_fps(), 90);
		EXPECT_EQ(engine->get_physics_ticks_per_second(), 90);
	}
	openxr->set_display_refresh_rate(0.0f);
	emit_session("session_visible");
	EXPECT_EQ(engine->get_max_fps(), 90);
	EXPECT_EQ(engine->get_physics_ticks_per_second(), 90);
	EXPECT_EQ(game_errors().size(), 1u) << "reported once";
	EXPECT_TRUE(Log::errors().size() == 1u) << "the engine refused nothing";

	// Real rates still pace, the bounds included.
	for (float rate : { 1.0f, 72.0f, 89.9f, 1000.0f }) {
		openxr->emit_signal("refresh_rate_changed", rate);
		EXPECT_EQ(engine->get_max_fps(), (int32_t)rate);
		EXPECT_EQ(engine->get_physics_ticks_per_second(), (int32_t)rate);
	}
}

TEST_F(XRManagerRefreshRates, FadeDurationsThatAreNoNumbersEndAtTheFirstTick) {
	const float inf = std::numeric_limits<float>::infinity();
	for (float duration : { std::nanf(""), inf, -inf, 1e38f }) {
		SCOPED_TRACE(duration);
		manager->fade_audio(true, duration);
		EXPECT_GE(manager->fade_steps, 0);
		if (!std::isfinite(duration)) {
			manager->_on_audio_fade_timer_timeout();
			EXPECT_EQ(master_volume(), 1.0f);
			EXPECT_TRUE(manager->audio_fade_timer->is_stopped());
		}
	}
}
