// Refresh rates no headset runs at (NaN, none, huge, negative, infinite) told
// by the runtime or read from the interface while levels change and managers
// take over: the frame and physics rates stay where a headset could put them.
#include "game_life/test_more_fixture.hpp"

#include <limits>

using namespace godot;
using godot_host::Host;

namespace {

const double BAD_RATES[] = {
	std::numeric_limits<double>::quiet_NaN(),
	0.0,
	1e9,
	-90.0,
	std::numeric_limits<double>::infinity(),
	-std::numeric_limits<double>::infinity(),
	1e300, // beyond single precision
	0.5,
	1000.5,
};

} // namespace

using MoreRefreshRates = MoreLifeTest;

// A bad rate told at each stage, the level changed with the headset reading
// the same rate, and another bad one told between the two scenes.
TEST_F(MoreRefreshRates, BadRatesAcrossSceneChangesKeepThePacingSane) {
	for (Stage stage : { BEGUN, VISIBLE, GREETING, PLAYING }) {
		for (double rate : BAD_RATES) {
			SCOPED_TRACE(std::string(stage_name(stage)) + " / " + std::to_string(rate));
			GameLifeTest::TearDown();
			SetUp();
			emit_session("session_begun");
			emit_session("session_visible"); // paced at the headset's 90
			reach(stage);
			openxr->emit_signal("refresh_rate_changed", rate);
			expect_sane_pacing();
			openxr->set_display_refresh_rate((float)rate);
			ASSERT_EQ(tree()->reload_current_scene(), OK);
			openxr->emit_signal("refresh_rate_changed", rate);
			end_frame();
			use_scene(made);
			expect_sane_pacing();
			go_on_from(stage);
			expect_plays_on();
			expect_sane_pacing();
			// A good rate afterwards is taken.
			openxr->emit_signal("refresh_rate_changed", 72.0);
			EXPECT_EQ(Engine::get_singleton()->get_max_fps(), 72);
			EXPECT_EQ(Engine::get_singleton()->get_physics_ticks_per_second(), 72);
		}
	}
}

// A second level's manager takes over from a freed one while the headset
// reads a bad rate, and hears bad rates while it stood by and after.
TEST_F(MoreRefreshRates, ManagerTakingOverWithABadHeadsetRate) {
	for (double rate : BAD_RATES) {
		SCOPED_TRACE(rate);
		GameLifeTest::TearDown();
		SetUp();
		reach(PLAYING);
		SceneNodes second = add_level();
		openxr->emit_signal("refresh_rate_changed", rate);
		openxr->set_display_refresh_rate((float)rate);
		memdelete(manager);
		openxr->emit_signal("refresh_rate_changed", rate); // nobody runs the game
		end_frame();
		use_scene(second);
		ASSERT_TRUE(manager->is_running());
		expect_sane_pacing();
		emit_session("session_visible");
		openxr->emit_signal("refresh_rate_changed", rate);
		emit_session("session_focussed");
		expect_sane_pacing();
		ASSERT_TRUE(answer_until_running());
		Host::advance(3.0, 1.0 / 60.0);
		EXPECT_FALSE(paused());
		EXPECT_EQ(master_volume(), 1.0f);
		EXPECT_TRUE(stick_reaches(player, controllers[1]));
		expect_sane_pacing();
	}
}

// Bad rates while the level is out of the tree (its manager stood down) and
// as it comes back.
TEST_F(MoreRefreshRates, BadRatesWhileTheLevelIsAway) {
	reach(PLAYING);
	tree_root()->remove_child(root);
	for (double rate : BAD_RATES) {
		openxr->emit_signal("refresh_rate_changed", rate);
	}
	openxr->set_display_refresh_rate(std::numeric_limits<float>::quiet_NaN());
	end_frame();
	emit_session("session_visible");
	tree_root()->add_child(root);
	end_frame();
	expect_sane_pacing();
	emit_session("session_focussed");
	expect_plays_on();
	expect_sane_pacing();
}
