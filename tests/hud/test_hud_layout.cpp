// The HUD's layout of text as glyphs, and its own look.
#include "hud_fixture.hpp"

#include <godot_cpp/classes/mesh.hpp>
#include <godot_cpp/classes/packed_scene.hpp>

using namespace godot;

TEST_F(HudTest, ReadyMakesPanelBlackHiddenAndTimerStopped) {
	build();
	Ref<StandardMaterial3D> panel = hud->get_material_override();
	ASSERT_TRUE(panel.is_valid());
	EXPECT_EQ(panel->get_albedo(), Color(0, 0, 0, 1));
	EXPECT_FALSE(hud->is_visible());
	// Children: the scene's click player, then the typing timer.
	ASSERT_EQ(hud->get_child_count(), 2);
	auto *timer = Object::cast_to<Timer>(hud->get_child(1));
	ASSERT_NE(timer, nullptr);
	EXPECT_TRUE(timer->is_stopped());
	EXPECT_FALSE(timer->is_one_shot());
	EXPECT_EQ(godot_host::Log::error_count(), 0);
}

TEST_F(HudTest, HaveFunLaysOutOneCenteredRow) {
	build();
	type({ "have fun!" });
	std::vector<Glyph> g = glyphs();
	ASSERT_EQ(g.size(), 9u);
	for (size_t j = 0; j < g.size(); j++) {
		EXPECT_NEAR(g[j].origin.x, -0.225 + 0.05 * (double)j, 1e-6) << j;
		EXPECT_FLOAT_EQ(g[j].origin.y, 0.025f);
		EXPECT_FLOAT_EQ(g[j].origin.z, 0.000001f);
		EXPECT_FALSE(g[j].visible);
	}
	EXPECT_EQ(g[0].uv, Vector3(0, 0.625f, 0)); // H
	EXPECT_EQ(g[4].uv, Vector3(0, 0, 0)); // blank
	EXPECT_EQ(g[8].uv, Vector3(0.125f, 0, 0)); // !

	// Each glyph has its own copy; the scene's shared material is untouched.
	EXPECT_NE(g[0].node->get_surface_override_material(0), g[1].node->get_surface_override_material(0));
	Ref<Material> shared = g[0].node->get_mesh()->surface_get_material(0);
	EXPECT_EQ(Ref<StandardMaterial3D>(shared)->get_uv1_offset(), Vector3(0, 0, 0));
	EXPECT_EQ(hud->get_text().size(), 1u);
}

TEST_F(HudTest, WelcomeBackKeepsTheEmptyRow) {
	build();
	type({ "welcome back!", "", "[press any button]" });
	std::vector<Glyph> g = glyphs();
	ASSERT_EQ(g.size(), 31u);
	for (size_t j = 0; j < 13; j++) {
		EXPECT_FLOAT_EQ(g[j].origin.y, 0.075f);
		EXPECT_NEAR(g[j].origin.x, -0.325 + 0.05 * (double)j, 1e-6);
	}
	for (size_t j = 0; j < 18; j++) {
		EXPECT_NEAR(g[13 + j].origin.y, -0.025, 1e-7);
		EXPECT_NEAR(g[13 + j].origin.x, -0.45 + 0.05 * (double)j, 1e-6);
	}
	EXPECT_EQ(g[13].cell, 59);
	EXPECT_EQ(g[13].uv, Vector3(0.375f, 0.875f, 0));
	EXPECT_EQ(g[30].cell, 61);
	EXPECT_EQ(g[30].uv, Vector3(0.625f, 0.875f, 0));
	EXPECT_EQ(read_lines(false), (std::vector<std::string>{ "WELCOME BACK!", "", "[PRESS ANY BUTTON]" }));
}

TEST_F(HudTest, CharactersOutsideTheAtlasShowTheBlankAndStillTakeATick) {
	build();
	type({ "c" });
	std::vector<Glyph> g = glyphs();
	ASSERT_EQ(g.size(), 1u);
	EXPECT_EQ(g[0].uv, Vector3(0.375f, 0.5f, 0));
	EXPECT_NEAR(g[0].origin.x, -0.025, 1e-7);

	// Tilde, brace, tab, backquote, DEL, an accented letter and a character
	// beyond Latin-1.
	String odd = String("~{\t`") + String::chr(127) + String::chr(0xE9) + String::chr(0x20AC) + "_0";
	type({ odd });
	g = glyphs();
	ASSERT_EQ(g.size(), 9u);
	for (size_t j = 0; j < 7; j++) {
		EXPECT_EQ(g[j].cell, 0) << j;
	}
	EXPECT_EQ(g[7].cell, 63); // underscore
	EXPECT_EQ(g[8].cell, 16); // digit 0
	// The engine reports the character it cannot convert; the HUD goes on.
	EXPECT_GE(godot_host::Log::error_count(), 1);
	step(0.95);
	EXPECT_EQ(clicks(), 9);
	EXPECT_EQ(probe->finished, 1);
}

TEST_F(HudTest, SetTextAloneChangesNothingOnShow) {
	build();
	type({ "ab" });
	step(0.25);
	ASSERT_EQ(probe->finished, 1);
	hud->set_text({ "xyz" });
	step(0.2);
	EXPECT_EQ(read_lines(), (std::vector<std::string>{ "AB" }));
	// clear_text then play_text types the current lines again.
	hud->clear_text();
	hud->play_text();
	step(0.35);
	EXPECT_EQ(read_lines(), (std::vector<std::string>{ "XYZ" }));
	EXPECT_EQ(glyphs().size(), 3u);
	EXPECT_EQ(probe->finished, 2);
}

TEST_F(HudTest, InTheEditorTheHudOnlyTurnsBlackAndHidden) {
	godot_host::Host::set_editor_hint(true);
	int64_t reads = ResourceLoader::get_singleton()->_host_read_count(godot_host::HUD_CHARACTER_SCENE);
	build();
	EXPECT_EQ(Ref<StandardMaterial3D>(hud->get_material_override())->get_albedo(), Color(0, 0, 0, 1));
	EXPECT_FALSE(hud->is_visible());
	EXPECT_EQ(hud->get_child_count(), 1); // no timer
	EXPECT_EQ(ResourceLoader::get_singleton()->_host_read_count(godot_host::HUD_CHARACTER_SCENE), reads);
	EXPECT_FALSE(hud->is_processing());
	EXPECT_EQ(godot_host::Log::error_count(), 0);

	// Typing needs the timer: refused with a report, nothing built.
	type({ "x" });
	EXPECT_EQ(godot_host::Log::error_count(), 1);
	EXPECT_TRUE(glyphs().empty());
}
