// Typing: ticks, clicks, the end signal, and the faults the HUD survives.
#include "hud_fixture.hpp"

#include <godot_cpp/classes/packed_scene.hpp>

using namespace godot;

TEST_F(HudTest, TypesOneGlyphPerDelayAndFinishesOnce) {
	build();
	type({ "have fun!" });
	step(0.05);
	EXPECT_EQ(clicks(), 0);
	step(0.1);
	EXPECT_EQ(clicks(), 1);
	EXPECT_TRUE(glyphs()[0].visible);
	EXPECT_FALSE(glyphs()[1].visible);
	EXPECT_FLOAT_EQ(click->_host_last_play_from(), 0.0f);
	step(0.73); // 0.88 s
	EXPECT_EQ(probe->finished, 0);
	EXPECT_EQ(clicks(), 8);
	step(0.04);
	EXPECT_EQ(probe->finished, 1);
	EXPECT_NEAR(probe->finished_at, 0.9, 0.015);
	EXPECT_EQ(clicks(), 9);
	EXPECT_EQ(read_lines(), (std::vector<std::string>{ "HAVE FUN!" }));
	EXPECT_TRUE(Object::cast_to<Timer>(hud->get_child(1))->is_stopped());
	step(1.0);
	EXPECT_EQ(probe->finished, 1);
	EXPECT_EQ(clicks(), 9);
}

TEST_F(HudTest, SceneDelayPacesTheTyping) {
	build(true, 0.05);
	EXPECT_DOUBLE_EQ((double)hud->get("m_typing_delay"), 0.05);
	type({ "have fun!" });
	step(0.5);
	EXPECT_EQ(probe->finished, 1);
	EXPECT_NEAR(probe->finished_at, 0.45, 0.015);
	EXPECT_EQ(clicks(), 9);
}

TEST_F(HudTest, PlayingAgainRestartsAndFinishesOnlyOnce) {
	build();
	type({ "have fun!" });
	step(0.45);
	EXPECT_EQ(clicks(), 4);
	hud->play_text();
	// Old glyphs go at the end of the frame; the new ones are all hidden.
	step(0.01);
	std::vector<Glyph> g = glyphs();
	ASSERT_EQ(g.size(), 9u);
	for (const Glyph &x : g) {
		EXPECT_FALSE(x.visible);
	}
	step(0.95);
	EXPECT_EQ(probe->finished, 1);
	EXPECT_NEAR(probe->finished_at, 0.45 + 0.9, 0.025);
	EXPECT_EQ(clicks(), 13);
}

TEST_F(HudTest, DelayChangedWhileTypingWaitsForTheNextText) {
	build();
	type({ "have fun!" });
	step(0.3);
	hud->set_typing_delay(0.5);
	step(0.65);
	EXPECT_EQ(probe->finished, 1);
	EXPECT_NEAR(probe->finished_at, 0.9, 0.015);
	type({ "ok" });
	step(0.9);
	EXPECT_EQ(probe->finished, 1);
	step(0.15);
	EXPECT_EQ(probe->finished, 2);
}

TEST_F(HudTest, TextWithoutGlyphsStillFinishesAfterOneDelay) {
	build();
	type({});
	step(0.15);
	EXPECT_EQ(probe->finished, 1);
	EXPECT_EQ(clicks(), 0);
	type({ "", "" });
	step(0.15);
	EXPECT_EQ(probe->finished, 2);
	EXPECT_EQ(clicks(), 0);
	step(0.5);
	EXPECT_EQ(probe->finished, 2);
	EXPECT_EQ(godot_host::Log::error_count(), 0);
}

TEST_F(HudTest, MissingGlyphSceneIsReportedOnceAndTypingStillEnds) {
	ResourceLoader::get_singleton()->_host_unregister(godot_host::HUD_CHARACTER_SCENE);
	build();
	int errors = godot_host::Log::error_count();
	EXPECT_GE(errors, 1);
	type({ "have fun!" });
	type({ "have fun!" });
	step(0.15);
	EXPECT_EQ(godot_host::Log::error_count(), errors);
	EXPECT_TRUE(glyphs().empty());
	EXPECT_EQ(probe->finished, 1);
	EXPECT_EQ(clicks(), 0);
}

TEST_F(HudTest, GlyphSceneOfTheWrongFormIsReportedPerText) {
	// A scene whose root is no mesh instance.
	ResourceLoader::get_singleton()->_host_register(godot_host::HUD_CHARACTER_SCENE, []() -> Ref<Resource> {
		Ref<PackedScene> scene;
		scene.instantiate();
		scene->_host_set_builder([]() -> Node * { return memnew(Node3D); });
		return scene;
	});
	build();
	ASSERT_EQ(godot_host::Log::error_count(), 0);
	type({ "have", "fun" });
	EXPECT_EQ(godot_host::Log::error_count(), 1);
	EXPECT_TRUE(glyphs().empty());
	step(0.15);
	EXPECT_EQ(probe->finished, 1);

	// A mesh instance without a material on surface 0.
	ResourceLoader::get_singleton()->_host_register(godot_host::HUD_CHARACTER_SCENE, []() -> Ref<Resource> {
		Ref<PackedScene> scene;
		scene.instantiate();
		scene->_host_set_builder([]() -> Node * { return memnew(MeshInstance3D); });
		return scene;
	});
	godot_host::Log::clear();
	build();
	type({ "x" });
	EXPECT_EQ(godot_host::Log::error_count(), 1);
	EXPECT_TRUE(glyphs().empty());
}

TEST_F(HudTest, MissingClickPlayerIsReportedOnceAndTypingIsSilent) {
	build(false);
	EXPECT_EQ(godot_host::Log::error_count(), 1);
	type({ "hi" });
	step(0.25);
	EXPECT_EQ(probe->finished, 1);
	EXPECT_EQ(read_lines(), (std::vector<std::string>{ "HI" }));
	EXPECT_EQ(godot_host::Log::error_count(), 1);
}

// The returning player's greeting: typed while the game is paused, read back
// from what the glyphs show.
TEST_F(HudTest, WelcomeBackTypesWhilePaused) {
	build();
	godot_host::Host::tree()->set_pause(true);
	hud->set_visible(true);
	type({ "welcome back!", "", "[press any button]" });
	godot_host::Host::advance(1.35, 1.0 / 72.0);
	EXPECT_EQ(read_lines(), (std::vector<std::string>{ "WELCOME BACK!", "", "" }));
	EXPECT_EQ(probe->finished, 0);
	godot_host::Host::advance(1.8, 1.0 / 72.0);
	EXPECT_EQ(probe->finished, 1);
	EXPECT_EQ(clicks(), 31);
	EXPECT_EQ(read_lines(), (std::vector<std::string>{ "WELCOME BACK!", "", "[PRESS ANY BUTTON]" }));
	for (const Glyph &g : glyphs()) {
		EXPECT_TRUE(g.node->is_visible_in_tree());
	}
	EXPECT_TRUE(godot_host::Host::tree()->is_paused());
	EXPECT_EQ(godot_host::Log::error_count(), 0);
}

// A frame of seconds (a runtime throttling a session it does not show)
// fires the timer once: one glyph a frame, and the text still ends.
TEST_F(HudTest, SlowFramesTypeOneGlyphEachAndFinish) {
	build();
	type({ "have fun!" });
	for (int frame = 1; frame <= 9; frame++) {
		step(2.5, 2.5);
		EXPECT_EQ(clicks(), frame);
	}
	EXPECT_EQ(probe->finished, 1);
	EXPECT_EQ(read_lines(), (std::vector<std::string>{ "HAVE FUN!" }));
	step(10.0, 2.5);
	EXPECT_EQ(probe->finished, 1);
	EXPECT_EQ(clicks(), 9);
}
