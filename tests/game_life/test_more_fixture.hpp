#ifndef MOSSGLIMMER_TESTS_MORE_FIXTURE_HPP
#define MOSSGLIMMER_TESTS_MORE_FIXTURE_HPP

// Checks shared by the scenarios where scripts move the player, the HUD and
// held bodies around while managers come and go.
#include "game_life/game_life_fixture.hpp"

#include <cmath>
#include <string>

class MoreLifeTest : public GameLifeTest {
protected:
	// The right stick pushed forward: whether p_player's thrust followed.
	static bool stick_reaches(godot::Player *p_player, godot::XRController3D *p_right) {
		p_player->thrust_input = 0.0f;
		p_right->emit_signal("input_vector2_changed", godot::String("primary"), godot::Vector2(0.0f, 0.9f));
		const bool reached = p_player->thrust_input != 0.0f;
		p_right->emit_signal("input_vector2_changed", godot::String("primary"), godot::Vector2());
		return reached;
	}

	static int errors_now() { return godot_host::Log::error_count(); }

	// Whether an error naming p_word was printed among the last kept entries
	// since p_mark errors were counted.
	static bool error_since(int p_mark, const char *p_word) {
		const std::vector<godot_host::LogEntry> errs = godot_host::Log::errors();
		const int fresh = godot_host::Log::error_count() - p_mark;
		for (int i = (int)errs.size() - 1, seen = 0; i >= 0 && seen < fresh; i--, seen++) {
			if (errs[(size_t)i].text.find(p_word) != std::string::npos) {
				return true;
			}
		}
		return false;
	}

	// What the game gives back once the greeting is answered, whatever
	// player the manager now drives.
	void expect_released(const SceneNodes &p_scene) {
		EXPECT_FALSE(paused());
		EXPECT_EQ(master_volume(), 1.0f);
		EXPECT_TRUE(p_scene.world->is_visible());
		EXPECT_FALSE(p_scene.hidden->is_visible());
	}

	static void expect_sane_pacing() {
		const int32_t fps = godot::Engine::get_singleton()->get_max_fps();
		const int32_t ticks = godot::Engine::get_singleton()->get_physics_ticks_per_second();
		EXPECT_GE(fps, 1);
		EXPECT_LE(fps, 1000);
		EXPECT_GE(ticks, 1);
		EXPECT_LE(ticks, 1000);
	}
};

#endif // MOSSGLIMMER_TESTS_MORE_FIXTURE_HPP
