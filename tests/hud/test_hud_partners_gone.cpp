// Typing survives what a script may free or set: the click player, a glyph,
// the typing timer, a typing delay that is no number of seconds.
#include "hud_fixture.hpp"

#include <godot_cpp/classes/timer.hpp>

#include <cmath>
#include <limits>

using namespace godot;

TEST_F(HudTest, ClickPlayerFreedWhileTyping) {
	build();
	type({ "have fun!" });
	step(0.35);
	ASSERT_EQ(clicks(), 3);
	memdelete(click);
	click = nullptr;
	step(0.6);
	EXPECT_EQ(probe->finished, 1);
	EXPECT_EQ(read_lines(), (std::vector<std::string>{ "HAVE FUN!" }));
	EXPECT_EQ(errors_saying("click player was freed"), 1);
}

TEST_F(HudTest, GlyphFreedByAScriptWhileTyping) {
	build();
	type({ "have fun!" });
	step(0.15);
	memdelete(glyphs()[3].node); // the E, not yet shown
	step(0.8);
	EXPECT_EQ(probe->finished, 1) << "typing still ends, at its own pace";
	EXPECT_NEAR(probe->finished_at, 0.9, 0.015);
	EXPECT_EQ(read_lines(), (std::vector<std::string>{ "HAV FUN!" }));
	EXPECT_EQ(errors_saying("glyph of the text on show was freed"), 1);

	// The next text clears what is left and types in full.
	type({ "hi" });
	step(0.25);
	EXPECT_EQ(probe->finished, 2);
	EXPECT_EQ(read_lines(), (std::vector<std::string>{ "HI" }));
}

TEST_F(HudTest, TypingTimerFreedThenPlayText) {
	build();
	Timer *timer = Object::cast_to<Timer>(hud->get_child(1));
	ASSERT_NE(timer, nullptr);
	memdelete(timer);
	type({ "have fun!" });
	step(0.95);
	EXPECT_EQ(probe->finished, 1);
	EXPECT_NEAR(probe->finished_at, 0.9, 0.015);
	EXPECT_EQ(errors_saying("typing timer was freed"), 1);
}

TEST_F(HudTest, TypingDelayThatIsNoNumberOfSecondsTypesAtTheDefaultPace) {
	const double inf = std::numeric_limits<double>::infinity();
	build();
	for (double delay : { std::nan(""), 0.0, -0.1, inf }) {
		SCOPED_TRACE(delay);
		godot_host::Log::clear();
		hud->set("m_typing_delay", delay);
		type({ "have fun!" });
		const int before = probe->finished;
		const double started = now;
		step(0.95);
		EXPECT_EQ(probe->finished, before + 1);
		EXPECT_NEAR(probe->finished_at - started, 0.9, 0.015);
		type({ "hi" }); // the same bad value is not reported again
		step(0.25);
		EXPECT_EQ(errors_saying("typing delay"), 1);
	}
	// A good delay is used as it is.
	hud->set("m_typing_delay", 0.05);
	type({ "hi" });
	const double started = now;
	step(0.15);
	EXPECT_NEAR(probe->finished_at - started, 0.1, 0.015);
}

// A delay of hours would keep a paused game waiting on its greeting as good
// as for ever: the text types at the slowest pace, a second a glyph.
TEST_F(HudTest, TypingDelayOfHoursTypesASecondAGlyph) {
	build();
	for (double delay : { 3600.0, 1e300 }) {
		SCOPED_TRACE(delay);
		godot_host::Log::clear();
		hud->set("m_typing_delay", delay);
		type({ "hi" });
		const double started = now;
		step(2.05);
		EXPECT_NEAR(probe->finished_at - started, 2.0, 0.015);
		EXPECT_EQ(errors_saying("typing delay"), 1);
	}
	hud->set("m_typing_delay", 1.0);
	godot_host::Log::clear();
	type({ "hi" });
	step(2.05);
	EXPECT_EQ(errors_saying("typing delay"), 0);
}
