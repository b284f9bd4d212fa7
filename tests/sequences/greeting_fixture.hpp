#ifndef MOSSGLIMMER_TESTS_GREETING_FIXTURE_HPP
#define MOSSGLIMMER_TESTS_GREETING_FIXTURE_HPP

#include "xr_manager/xr_scene.hpp"

#include "sequences/welcome_back_sequence.hpp"
#include "sequences/welcome_sequence.hpp"

#include <godot_host/log.hpp>

// The game's scene with the session begun and visible: the HUD shows and the
// game is paused, waiting for the focus that starts a greeting.
class GreetingFixture : public XRSceneTest {
protected:
	void SetUp() override {
		XRSceneTest::SetUp();
		add_openxr();
		build_scene();
		start();
		emit_session("session_begun");
		emit_session("session_visible");
		godot_host::Log::clear();
	}

	godot::WelcomeSequence *welcome() { return godot::Object::cast_to<godot::WelcomeSequence>(manager->welcome_sequence); }
	godot::WelcomeBackSequence *welcome_back() { return godot::Object::cast_to<godot::WelcomeBackSequence>(manager->welcome_back_sequence); }
};

#endif // MOSSGLIMMER_TESTS_GREETING_FIXTURE_HPP
