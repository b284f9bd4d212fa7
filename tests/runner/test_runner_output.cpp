// What a person watching the runner sees: the engine's lines marked, the
// HUD's and the view's events as they happen, the pacing and the heading.
#include "process_run.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> run_runner(const std::string &p_arguments) {
	return run_runner_process(p_arguments).lines;
}

// Index of the first line at or after p_from that contains the text, or -1.
long find_line(const std::vector<std::string> &p_lines, const std::string &p_text, long p_from = 0) {
	for (size_t i = (size_t)std::max(0L, p_from); i < p_lines.size(); i++) {
		if (p_lines[i].find(p_text) != std::string::npos) {
			return (long)i;
		}
	}
	return -1;
}

class RunnerOutput : public ::testing::Test {
protected:
	static void SetUpTestSuite() { session = new std::vector<std::string>(run_runner("--refresh-rate 72")); }
	static void TearDownTestSuite() { delete session; }
	static std::vector<std::string> *session;
};

std::vector<std::string> *RunnerOutput::session = nullptr;

TEST_F(RunnerOutput, EngineLinesAreMarked) {
	const std::vector<std::string> &lines = *session;
	ASSERT_GE(find_line(lines, "summary:"), 0);
	int banners = 0;
	for (const std::string &line : lines) {
		if (line.find("++++++++++") != std::string::npos) {
			banners++;
			EXPECT_EQ(line.rfind("engine| ", 0), 0u) << line;
		}
		// The runner's own lines carry the session time, never the mark.
		if (line.rfind("[", 0) == 0) {
			EXPECT_EQ(line.find("engine| "), std::string::npos) << line;
		}
	}
	EXPECT_GE(banners, 5); // begun, visible, focussed, visible, focussed
}

TEST_F(RunnerOutput, TheGreetingIsSeenAsItHappens) {
	const std::vector<std::string> &lines = *session;
	long shown = find_line(lines, "] HUD shown");
	long started = find_line(lines, "] HUD typing started: WELCOME TO / MOSSGLIMMER!", shown);
	long finished = find_line(lines, "] HUD typing finished: WELCOME TO / MOSSGLIMMER!", started);
	long pressed = find_line(lines, "player: presses A", finished);
	long hidden = find_line(lines, "] HUD hidden", pressed);
	long recentred = find_line(lines, "] view recentred", pressed);
	EXPECT_GE(shown, 0);
	EXPECT_GT(started, shown);
	EXPECT_GT(finished, started);
	EXPECT_GT(pressed, finished);
	EXPECT_GT(hidden, pressed);
	EXPECT_GT(recentred, pressed);
	// Typing takes time: start and finish are not on the same stamp.
	ASSERT_GE(finished, 0);
	EXPECT_NE(lines[(size_t)started].substr(0, 10), lines[(size_t)finished].substr(0, 10));
	// The welcome back greeting is seen too, after focus comes back.
	EXPECT_GT(find_line(lines, "] HUD typing finished: WELCOME BACK!", hidden), hidden);
}

TEST_F(RunnerOutput, FramesFollowTheHeadsetOnceTheSessionPacesThem) {
	const std::vector<std::string> &lines = *session;
	long first_status = find_line(lines, "fps");
	ASSERT_GE(first_status, 0);
	// Before session visible sets the frame limit: the runner's own rate.
	EXPECT_NE(lines[(size_t)first_status].find(" 60 fps  60 physics ticks/s"), std::string::npos) << lines[(size_t)first_status];
	long visible = find_line(lines, "SESSION_VISIBLE");
	long paced = find_line(lines, "fps", find_line(lines, "fps", visible) + 1);
	ASSERT_GE(paced, 0);
	EXPECT_NE(lines[(size_t)paced].find(" 72 fps  72 physics ticks/s"), std::string::npos) << lines[(size_t)paced];
}

TEST_F(RunnerOutput, TurningShowsInTheHeading) {
	const std::vector<std::string> &lines = *session;
	long still = find_line(lines, "heading");
	ASSERT_GE(still, 0);
	EXPECT_NE(lines[(size_t)still].find("heading 0 deg"), std::string::npos) << lines[(size_t)still];
	// The left stick turns the body: a later status line shows another heading.
	long turned = find_line(lines, "heading", find_line(lines, "player: left stick right") + 1);
	ASSERT_GE(turned, 0);
	EXPECT_EQ(lines[(size_t)turned].find("heading 0 deg"), std::string::npos) << lines[(size_t)turned];
}

TEST(RunnerSoak, ReportsItsMemory) {
	std::vector<std::string> lines = run_runner("--quiet --scenario soak --seconds 10 --seed 3");
	long memory = find_line(lines, "memory: peak resident ");
	ASSERT_GE(memory, 0);
	double peak = 0.0;
	EXPECT_EQ(std::sscanf(lines[(size_t)memory].c_str(), "memory: peak resident %lf MB", &peak), 1);
	EXPECT_GT(peak, 0.0);
	// Ten samples, one a second.
	std::string samples = lines[(size_t)memory].substr(lines[(size_t)memory].find("s: ") + 3);
	std::istringstream in(samples);
	int count = 0;
	for (double mb; in >> mb; count++) {
		EXPECT_GT(mb, 0.0);
		EXPECT_LE(mb, peak);
	}
	EXPECT_EQ(count, 10);
	// Ten seconds free a handful of bodies: a figure per 10k from them would be noise.
	EXPECT_EQ(lines[(size_t)memory].find("MB per 10k"), std::string::npos) << lines[(size_t)memory];
	EXPECT_NE(lines[(size_t)memory].find("too few for a figure per 10k"), std::string::npos) << lines[(size_t)memory];
}

// The adversary must hear the library's signals, those of nodes made during
// play included, and act in each way it can: one that heard nothing would
// check nothing and still pass.
TEST(RunnerSoak, ChaosHearsTheLibraryAndActs) {
	std::vector<std::string> lines = run_runner("--quiet --scenario soak --chaos --seconds 120 --seed 5");
	long chaos = find_line(lines, "chaos: ");
	ASSERT_GE(chaos, 0);
	auto counts = [&](const std::string &p_title) {
		long line = find_line(lines, "  " + p_title + ":", chaos);
		return line < 0 ? std::string("missing") : lines[(size_t)line];
	};
	for (const char *heard : { "HUD", "world node", "player", "XR manager", "controller" }) {
		EXPECT_EQ(counts(heard).find("none"), std::string::npos) << counts(heard);
	}
	// Glyphs and timers are made during play: heard as they enter the tree.
	EXPECT_NE(counts("glyph").find("visibility_changed"), std::string::npos) << counts("glyph");
	EXPECT_NE(counts("timer").find("timeout"), std::string::npos) << counts("timer");
	for (const char *act : { "bad values", "frame deltas", "calls into the library" }) {
		EXPECT_EQ(counts(act).find("none"), std::string::npos) << counts(act);
	}
	EXPECT_TRUE(counts("freed at once").find("none") == std::string::npos || counts("freed at the frame's end").find("none") == std::string::npos);
}

} // namespace

// The level reloads mid-session: the runtime says nothing, and the game plays
// on from the new scene.
TEST_F(RunnerOutput, TheLevelReloadedMidSessionPlaysOn) {
	const std::vector<std::string> &lines = *session;
	long reloads = find_line(lines, "script: reloads the level");
	ASSERT_GE(reloads, 0);
	long plays = find_line(lines, "the reloaded level plays on", reloads);
	ASSERT_GT(plays, reloads);
	for (long i = reloads; i < plays; i++) {
		EXPECT_EQ(lines[(size_t)i].find("++++++++++"), std::string::npos) << lines[(size_t)i];
	}
	EXPECT_GE(find_line(lines, "reloaded mid-session yes"), 0);
}
