// Scripts that run inside the HUD's own calls (adding a glyph or the typing
// timer, revealing a glyph) and free the HUD or its timer, or type or clear
// anew: nothing freed is used, and a text once started still ends.
#include "hud_fixture.hpp"
#include "support/code_receiver.hpp"

#include <godot_cpp/classes/timer.hpp>

#include <functional>

using namespace godot;

class HudScripts : public HudTest {
protected:
	void once(Object *p_emitter, const char *p_signal, std::function<void()> p_fn) {
		p_emitter->connect(p_signal, on_first_signal(root, std::move(p_fn)));
	}

	void free_hud() {
		memdelete(hud);
		hud = nullptr;
		click = nullptr;
	}
};

TEST_F(HudScripts, HudFreedWhileItLaysOutText) {
	build();
	once(hud, "child_order_changed", [this]() { free_hud(); });
	type({ "have fun!" });
	EXPECT_EQ(hud, nullptr);
	step(1.0);
	EXPECT_EQ(probe->finished, 0);
}

TEST_F(HudScripts, TypingTimerFreedWhileTextIsLaidOut) {
	build();
	once(hud, "child_order_changed", [this]() { memdelete(typing_timer()); });
	type({ "have fun!" });
	step(0.95);
	EXPECT_EQ(probe->finished, 1);
	EXPECT_EQ(read_lines(), (std::vector<std::string>{ "HAVE FUN!" }));
}

TEST_F(HudScripts, TypedOrClearedAnewWhileTextIsLaidOut) {
	build();
	once(hud, "child_order_changed", [this]() { type({ "hi" }); });
	type({ "have fun!" });
	step(0.25);
	EXPECT_EQ(probe->finished, 1);
	EXPECT_EQ(clicks(), 2);
	EXPECT_EQ(read_lines(), (std::vector<std::string>{ "HI" }));

	// Cleared at the first glyph: the text ends at once, showing nothing.
	once(hud, "child_order_changed", [this]() { hud->clear_text(); });
	type({ "have fun!" });
	step(0.15);
	EXPECT_EQ(probe->finished, 2);
	EXPECT_TRUE(glyphs().empty());
	step(1.0);
	EXPECT_EQ(probe->finished, 2);
}

// A receiver of a glyph's reveal, at the last glyph or in the middle.
TEST_F(HudScripts, RevealReceiverFreesTheHudOrTheTimerOrTypesAnew) {
	build();
	type({ "have fun!" });
	once(glyphs()[8].node, "visibility_changed", [this]() { free_hud(); });
	step(1.0);
	EXPECT_EQ(hud, nullptr);
	EXPECT_EQ(probe->finished, 0);

	build();
	type({ "have fun!" });
	once(glyphs()[8].node, "visibility_changed", [this]() { memdelete(typing_timer()); });
	step(1.0);
	EXPECT_EQ(probe->finished, 1);

	type({ "have fun!" });
	once(glyphs()[3].node, "visibility_changed", [this]() { type({ "hi" }); });
	step(0.8); // four glyphs, then the new text's two
	EXPECT_EQ(probe->finished, 2);
	EXPECT_EQ(read_lines(), (std::vector<std::string>{ "HI" }));
}

// The timer that keep_typing adds for a freed one: its addition frees the
// HUD, or the new timer itself.
TEST_F(HudScripts, TimerMadeAnewIsFreedOrFreesTheHud) {
	build();
	type({ "have fun!" });
	step(0.35);
	memdelete(typing_timer());
	once(hud, "child_order_changed", [this]() { memdelete(typing_timer()); });
	hud->keep_typing();
	hud->keep_typing(); // a third timer, which stays
	step(1.0);
	EXPECT_EQ(probe->finished, 1);

	type({ "have fun!" });
	memdelete(typing_timer());
	once(hud, "child_order_changed", [this]() { free_hud(); });
	hud->keep_typing();
	EXPECT_EQ(hud, nullptr);
}
