#ifndef MOSSGLIMMER_TESTS_SOAK_FIXTURE_HPP
#define MOSSGLIMMER_TESTS_SOAK_FIXTURE_HPP

#include "support/code_receiver.hpp"
#include "support/game_fixture.hpp"

#include "demo_scene.hpp"
#include "session.hpp"
#include "soak_liveness.hpp"
#include "soak_runtime.hpp"

#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_host/host.hpp>

#include <memory>
#include <string>
#include <vector>

// The runner's demo scene with the game library, greeted and running, as a
// soak starts from; with the soak's runtime, device and liveness check.
class SoakTest : public GameTest {
protected:
	DemoScene scene;
	std::unique_ptr<Session> session;
	std::unique_ptr<SoakRuntime> runtime;
	std::unique_ptr<SoakDevice> device;
	std::unique_ptr<SoakLiveness> liveness;
	std::vector<std::string> reports;
	bool scripts_world = false;

	void SetUp() override {
		GameTest::SetUp();
		scene = build_demo_scene(SceneOptions());
		godot_host::Host::set_current_scene(scene.world);
		session = std::make_unique<Session>(scene, 1.0 / 60.0, false);
		for (const char *event : { "session_begun", "session_visible", "session_focussed" }) {
			session->emit_session(event);
		}
		ASSERT_TRUE(session->answer_greeting(60.0));
		runtime = std::make_unique<SoakRuntime>(*session, 1u);
		device = std::make_unique<SoakDevice>(*runtime);
		SoakLiveness::Hooks hooks;
		hooks.report = [this](const char *p_what, const std::string &) { reports.push_back(p_what); };
		hooks.known_controller = [this](int p_hand) { return scene.controllers[p_hand] ? scene.controllers[p_hand]->get_instance_id() : 0; };
		hooks.shown_by_script = [this](uint64_t) { return scripts_world; };
		liveness = std::make_unique<SoakLiveness>(*session, *runtime, *device, hooks);
	}

	void TearDown() override {
		liveness.reset();
		device.reset();
		runtime.reset();
		session.reset();
		GameTest::TearDown();
	}

	// Frames with the liveness check around each, the runtime left as it is.
	void play(double p_seconds) {
		const double end = session->time() + p_seconds;
		while (session->time() + 1e-9 < end) {
			liveness->before_frame();
			session->frame();
			liveness->after_frame();
		}
	}

	int reported(const std::string &p_start) const {
		int count = 0;
		for (const std::string &r : reports) {
			count += r.rfind(p_start, 0) == 0 ? 1 : 0;
		}
		return count;
	}
};

#endif // MOSSGLIMMER_TESTS_SOAK_FIXTURE_HPP
