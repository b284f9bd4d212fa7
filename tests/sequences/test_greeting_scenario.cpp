// A whole run: start-up, the first-run greeting answered, play, focus lost
// and regained, and the welcome-back greeting answered.
#include "xr_manager/xr_scene.hpp"

#include "sequences/welcome_back_sequence.hpp"
#include "sequences/welcome_sequence.hpp"

#include <godot_cpp/classes/engine.hpp>

using namespace godot;
using godot_host::Host;

using GreetingScenario = XRSceneTest;

TEST_F(GreetingScenario, FirstRunThenWelcomeBack) {
	add_openxr(true, true, 72.0f);
	build_scene();
	start();
	ASSERT_TRUE(paused());

	emit_session("session_begun");
	emit_session("session_visible");
	emit_session("session_focussed");
	ASSERT_NE(manager->welcome_sequence, nullptr);

	// Each text: wait for the typing to end, then answer it.
	auto answer = [&](int p_hand, const char *p_button) {
		Object *running = manager->welcome_sequence ? manager->welcome_sequence : manager->welcome_back_sequence;
		ASSERT_NE(running, nullptr);
		ASSERT_TRUE(advance_until([&]() { return controllers[p_hand]->_host_connection_count("button_pressed") == 2; }));
		EXPECT_TRUE(paused());
		EXPECT_TRUE(hud->is_visible());
		press(p_hand, p_button);
		release(p_hand, p_button);
	};
	answer(0, "ax_button");
	answer(1, "by_button");
	answer(0, "by_button");
	EXPECT_EQ(hud->get_text(), std::vector<String>{ "have fun!" });
	answer(1, "ax_button");

	EXPECT_EQ(manager->welcome_sequence, nullptr);
	EXPECT_FALSE(paused());
	EXPECT_FALSE(hud->is_visible());
	EXPECT_TRUE(world->is_visible());
	EXPECT_FALSE(hidden->is_visible());
	EXPECT_TRUE(skeleton->is_visible());
	EXPECT_EQ(master_volume(), 1.0f);
	EXPECT_EQ(Engine::get_singleton()->get_physics_ticks_per_second(), 72);
	EXPECT_EQ(recentre_count(), 1u);

	uint64_t physics_before = Engine::get_singleton()->get_physics_frames();
	Host::advance(1.0, 1.0 / 72.0);
	EXPECT_GT(Engine::get_singleton()->get_physics_frames(), physics_before);

	// Focus lost: the session is only visible again.
	emit_session("session_visible");
	EXPECT_TRUE(paused());
	EXPECT_TRUE(hud->is_visible());
	EXPECT_FALSE(world->is_visible());
	Host::advance(0.5, 1.0 / 72.0);

	emit_session("session_focussed");
	ASSERT_NE(Object::cast_to<WelcomeBackSequence>(manager->welcome_back_sequence), nullptr);
	Host::advance(2.5, 1.0 / 72.0);
	EXPECT_EQ(hud->get_text(), (std::vector<String>{ "welcome back!", "", "[press any button]" }));
	answer(1, "by_button");

	EXPECT_EQ(manager->welcome_back_sequence, nullptr);
	EXPECT_FALSE(paused());
	EXPECT_TRUE(world->is_visible());
	EXPECT_FALSE(hidden->is_visible());
	EXPECT_FALSE(hud->is_visible());
	EXPECT_EQ(recentre_count(), 2u);
	EXPECT_EQ(count_lines("++++++++++ SESSION_FOCUSSED ++++++++++"), 2);
	EXPECT_TRUE(game_errors().empty());
}
