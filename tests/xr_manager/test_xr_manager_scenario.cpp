// A run up to the greeting: start-up, then the session begun, visible and
// focussed as the OpenXR runtime reports them.
#include "xr_manager/xr_scene.hpp"

#include "sequences/welcome_sequence.hpp"

#include <godot_cpp/classes/display_server.hpp>
#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/classes/window.hpp>

using namespace godot;
using godot_host::Host;
using godot_host::Log;

using XRManagerScenario = XRSceneTest;

TEST_F(XRManagerScenario, SessionUpToTheFirstGreeting) {
	add_openxr(true, true, 90.0f);
	build_scene();
	start();
	EXPECT_TRUE(paused());
	EXPECT_EQ(master_volume(), 0.0f);
	Host::advance(0.5, 1.0 / 60.0);
	EXPECT_EQ(master_volume(), 0.0f); // silent until the session begins

	emit_session("session_begun");
	emit_session("session_visible");
	emit_session("session_focussed");

	EXPECT_EQ(Log::printed_lines(), (std::vector<std::string>{ "++++++++++ SESSION_BEGUN ++++++++++",
											"++++++++++ SESSION_VISIBLE ++++++++++", "++++++++++ SESSION_FOCUSSED ++++++++++" }));
	EXPECT_TRUE(paused());
	EXPECT_TRUE(hud->is_visible());
	EXPECT_FALSE(world->is_visible());
	EXPECT_FALSE(skeleton->is_visible());
	EXPECT_EQ(Engine::get_singleton()->get_max_fps(), 90);
	EXPECT_EQ(Engine::get_singleton()->get_physics_ticks_per_second(), 90);
	EXPECT_TRUE(Host::tree()->get_root()->is_using_xr());
	EXPECT_EQ(DisplayServer::get_singleton()->window_get_vsync_mode(0), DisplayServer::VSYNC_DISABLED);
	ASSERT_NE(Object::cast_to<WelcomeSequence>(manager->welcome_sequence), nullptr);

	// The fade runs on the paused tree (the manager processes always).
	Host::advance(1.0, 1.0 / 90.0);
	EXPECT_GT(master_volume(), 0.4f);
	EXPECT_LT(master_volume(), 0.6f);
	Host::advance(1.05, 1.0 / 90.0);
	EXPECT_EQ(master_volume(), 1.0f);
	EXPECT_TRUE(manager->audio_fade_timer->is_stopped());
	EXPECT_TRUE(paused()); // only the end of the greeting unpauses
	EXPECT_TRUE(game_errors().empty());
}
