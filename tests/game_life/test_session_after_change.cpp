// The session's events after (and between) level changes: the focus lost and
// regained while no manager is there, the session stopped and begun again,
// recentring and refresh-rate changes with no manager in the tree, events
// that arrive while a change is pending.
#include "game_life/game_life_fixture.hpp"

using namespace godot;
using godot_host::Host;
using godot_host::Log;

using LifeSessionAfterChange = GameLifeTest;

// The session stops while playing and the level is reloaded: the new scene
// waits paused and silent; the session begun again runs through to the game
// with the short greeting.
TEST_F(LifeSessionAfterChange, StoppedThenBegunAgainAcrossReloads) {
	reach(PLAYING);
	emit_session("session_stopping");
	change_now(BY_RELOAD);
	EXPECT_TRUE(paused());
	EXPECT_EQ(master_volume(), 0.0f);
	change_now(BY_PACKED);
	EXPECT_TRUE(paused());
	emit_session("session_begun");
	EXPECT_TRUE(hud->is_visible());
	emit_session("session_visible");
	emit_session("session_focussed");
	EXPECT_NE(manager->welcome_back_sequence, nullptr);
	expect_plays_on();
}

// The focus is lost while a menu without a manager shows; the level comes
// back before the focus does: it waits paused with the HUD, then greets.
TEST_F(LifeSessionAfterChange, FocusLostInAMenuThenRegainedInTheLevel) {
	reach(PLAYING);
	ASSERT_EQ(tree()->change_scene_to_packed(empty_scene()), OK);
	end_frame();
	emit_session("session_visible");
	change_now(BY_FILE);
	EXPECT_TRUE(paused());
	EXPECT_TRUE(hud->is_visible());
	EXPECT_FALSE(world->is_visible());
	emit_session("session_focussed");
	expect_plays_on();
}

// The headset's refresh rate changes while a menu without a manager shows:
// the level that comes next runs at the headset's new rate.
TEST_F(LifeSessionAfterChange, RefreshRateChangedWithNoManagerThenALevel) {
	reach(PLAYING);
	ASSERT_EQ(Engine::get_singleton()->get_max_fps(), 90);
	ASSERT_EQ(tree()->change_scene_to_packed(empty_scene()), OK);
	end_frame();
	openxr->set_display_refresh_rate(72.0f);
	openxr->emit_signal("refresh_rate_changed", 72.0);
	change_now(BY_FILE);
	expect_plays_on();
	EXPECT_EQ(Engine::get_singleton()->get_max_fps(), 72);
	EXPECT_EQ(Engine::get_singleton()->get_physics_ticks_per_second(), 72);
}

// The rate changes and the focus is lost while the menu shows: the level
// that comes next waits for the focus at the headset's new rate.
TEST_F(LifeSessionAfterChange, RefreshRateChangedAndFocusLostWithNoManagerThenALevel) {
	reach(PLAYING);
	ASSERT_EQ(tree()->change_scene_to_packed(empty_scene()), OK);
	end_frame();
	openxr->set_display_refresh_rate(72.0f);
	openxr->emit_signal("refresh_rate_changed", 72.0);
	emit_session("session_visible");
	change_now(BY_FILE);
	EXPECT_TRUE(paused());
	EXPECT_EQ(Engine::get_singleton()->get_max_fps(), 72);
	EXPECT_EQ(Engine::get_singleton()->get_physics_ticks_per_second(), 72);
	emit_session("session_focussed");
	expect_plays_on();
}

// The same with the old level kept aside (its manager hears, out of the
// tree, and nobody runs the game): one recentre and the new rate.
TEST_F(LifeSessionAfterChange, RecentreAndRateWhileTheOnlyManagerIsAside) {
	reach(PLAYING);
	SceneNodes first = made;
	tree_root()->remove_child(first.root);
	end_frame();
	const size_t recentres = recentre_count();
	emit_session("pose_recentered");
	EXPECT_EQ(recentre_count(), recentres + 1);
	openxr->set_display_refresh_rate(72.0f);
	openxr->emit_signal("refresh_rate_changed", 72.0);
	EXPECT_EQ(Engine::get_singleton()->get_max_fps(), 72);
	tree_root()->add_child(first.root);
	end_frame();
	expect_plays_on();
	emit_session("pose_recentered");
	EXPECT_EQ(recentre_count(), recentres + 2);
	memdelete(first.root);
}

// Session events arrive in the frame of a change, between the old scene's
// leaving and the new one's entry (nobody runs the game): the new scene
// takes the session as the events left it.
TEST_F(LifeSessionAfterChange, EventsBetweenTheChangeAndTheNewScenesEntry) {
	struct Case {
		const char *name;
		std::vector<const char *> events;
		bool greets; // the new scene waits for the short greeting's answer
	};
	const Case cases[] = {
		{ "focus lost", { "session_visible" }, true },
		{ "focus lost and regained", { "session_visible", "session_focussed" }, false },
		{ "stopped and begun", { "session_stopping", "session_begun" }, true },
		{ "stopped", { "session_stopping" }, true },
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		GameLifeTest::TearDown();
		SetUp();
		reach(PLAYING);
		ASSERT_EQ(change(BY_RELOAD), OK);
		for (const char *event : c.events) {
			emit_session(event);
		}
		end_frame();
		use_scene(made);
		EXPECT_EQ(paused(), c.greets);
		go_on_from(c.events.back() == std::string("session_begun") ? BEGUN : c.events.back() == std::string("session_stopping") ? NONE : VISIBLE);
		expect_plays_on();
	}
}

// A second level is added while the first runs (the second stands by), the
// focus is lost and regained, and the first is freed at the greeting's
// first wait: the second takes over and the game plays on.
TEST_F(LifeSessionAfterChange, FocusRegainedWithTwoManagersThenTheRunningOneGoes) {
	reach(PLAYING);
	SceneNodes first = made;
	SceneNodes second = add_level();
	emit_session("session_visible");
	emit_session("session_focussed");
	EXPECT_EQ(second.manager->welcome_back_sequence, nullptr);
	EXPECT_FALSE(second.hud->is_visible());
	Host::advance(0.5, 1.0 / 60.0);
	memdelete(first.root);
	use_scene(second);
	end_frame();
	expect_plays_on();
}
