// The HUD taken out of the tree and put back while it types a greeting and
// the level changes, and freed between two glyphs: the greeting never keeps
// the game paused, and a HUD left from the old level shows nothing.
#include "game_life/test_more_fixture.hpp"

using namespace godot;
using godot_host::Host;

class MoreHudTypingMoves : public MoreLifeTest {
protected:
	// Into the first line of the first-run greeting, a few glyphs typed.
	void into_typing() {
		reach(GREETING);
		ASSERT_TRUE(advance_welcome_to(1));
		Host::advance(0.25, 1.0 / 60.0);
	}
};

TEST_F(MoreHudTypingMoves, HudOutAndBackMidTypingWhileTheLevelChanges) {
	enum Back { SAME_FRAME_OLD_PLAYER, NEW_PLAYER, NEW_LEVELS_PLAIN_NODE, NEVER };
	for (Back back : { SAME_FRAME_OLD_PLAYER, NEW_PLAYER, NEW_LEVELS_PLAIN_NODE, NEVER }) {
		for (Change how : { BY_FILE, BY_RELOAD }) {
			SCOPED_TRACE(std::to_string((int)back) + " / " + std::to_string((int)how));
			GameLifeTest::TearDown();
			SetUp();
			into_typing();
			HUD *old_hud = hud;
			Player *old_player = player;
			const uint64_t old_id = old_hud->get_instance_id();
			old_player->remove_child(old_hud);
			ASSERT_EQ(change(how), OK);
			if (back == SAME_FRAME_OLD_PLAYER) {
				old_player->add_child(old_hud);
			}
			end_frame();
			use_scene(made);
			if (back == NEW_PLAYER) {
				player->add_child(old_hud);
			} else if (back == NEW_LEVELS_PLAIN_NODE) {
				plain->add_child(old_hud);
			}
			end_frame();
			expect_plays_on();
			EXPECT_TRUE(stick_reaches(player, controllers[1]));
			if (HUD *left = live<HUD>(old_id)) {
				EXPECT_FALSE(left->is_visible()) << "the old level's HUD still shows";
				if (!left->get_parent()) {
					memdelete(left);
				}
			}
			// The old HUD freed afterwards changes nothing.
			if (HUD *left = live<HUD>(old_id)) {
				memdelete(left);
			}
			Host::advance(1.0, 1.0 / 60.0);
			expect_game_runs_here();
		}
	}
}

// Out and back in the same player while typing, no level change: the
// greeting types on and ends.
TEST_F(MoreHudTypingMoves, HudOutAndBackInTheSamePlayerMidTyping) {
	into_typing();
	player->remove_child(hud);
	end_frame();
	player->add_child(hud);
	end_frame();
	expect_plays_on();
}

// The HUD freed between two glyphs, with no change, with a change asked in
// the same frame, and with the change asked in the frame after.
TEST_F(MoreHudTypingMoves, HudFreedBetweenTwoGlyphs) {
	for (int when = 0; when < 3; when++) {
		SCOPED_TRACE(when);
		GameLifeTest::TearDown();
		SetUp();
		into_typing();
		if (when == 1) {
			ASSERT_EQ(change(BY_RELOAD), OK);
		}
		memdelete(hud);
		end_frame();
		if (when == 2) {
			ASSERT_EQ(change(BY_FILE), OK);
			end_frame();
		}
		if (when == 0) {
			Host::advance(1.0, 1.0 / 60.0);
			EXPECT_FALSE(paused()) << "no HUD: the greeting can't go on, the game starts";
			Host::advance(3.0, 1.0 / 60.0);
			EXPECT_EQ(master_volume(), 1.0f);
			EXPECT_TRUE(world->is_visible());
			EXPECT_TRUE(stick_reaches(player, controllers[1]));
			continue;
		}
		use_scene(made);
		expect_plays_on();
	}
}

// The HUD freed between two glyphs of the short greeting, after its
// scene was changed into mid-greeting once already.
TEST_F(MoreHudTypingMoves, NewLevelsHudFreedBetweenGlyphsOfTheShortGreeting) {
	reach(PLAYING);
	change_now(BY_RELOAD);
	emit_session("session_visible");
	emit_session("session_focussed");
	ASSERT_NE(manager->welcome_back_sequence, nullptr);
	Host::advance(2.25, 1.0 / 60.0);
	memdelete(hud);
	Host::advance(1.0, 1.0 / 60.0);
	EXPECT_FALSE(paused());
	Host::advance(3.0, 1.0 / 60.0);
	EXPECT_EQ(master_volume(), 1.0f);
	EXPECT_TRUE(world->is_visible());
	EXPECT_TRUE(skeleton->is_visible());
	EXPECT_TRUE(stick_reaches(player, controllers[1]));
}
