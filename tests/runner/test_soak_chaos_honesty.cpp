// The chaos soak as a person watching it sees it: the session's events come
// in the runtime's order and from the runtime alone, slow frames only while
// the session is hidden, and the liveness check has judged something.
#include "process_run.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// The number after p_label in p_line, or -1.
long count_after(const std::string &p_line, const std::string &p_label) {
	size_t at = p_line.find(p_label);
	long value = -1;
	if (at == std::string::npos || std::sscanf(p_line.c_str() + at + p_label.size(), " %ld", &value) != 1) {
		return -1;
	}
	return value;
}

TEST(ChaosSoak, SendsOnlyWhatTheRuntimeSendsAndJudgesLiveness) {
	ProcessRun run = run_runner_process("--scenario soak --chaos --seconds 120 --seed 5");
	ASSERT_FALSE(run.lines.empty());
	std::string last = "none"; // the runner begins the session before the soak
	for (const std::string &line : run.lines) {
		// Nothing but the runtime sends the session's events or the device's buttons.
		EXPECT_EQ(line.find("calls the library: session_"), std::string::npos) << line;
		EXPECT_EQ(line.find("calls the library: A/X"), std::string::npos) << line;
		EXPECT_EQ(line.find("calls the library: B/Y"), std::string::npos) << line;
		if (line.find("throttles the hidden session") != std::string::npos) {
			// Hidden comes only after visible, without an event of its own.
			EXPECT_TRUE(last == "session_visible" || last == "session_begun") << line << " after " << last;
		}
		size_t at = line.find("] OpenXR runtime: session_");
		if (at == std::string::npos) {
			continue;
		}
		const std::string event = line.substr(at + 18);
		if (event == "session_focussed") {
			EXPECT_EQ(last, "session_visible") << line;
		} else if (event == "session_begun") {
			EXPECT_TRUE(last == "none" || last == "session_stopping") << line;
		} else if (event == "session_stopping") {
			EXPECT_TRUE(last == "session_visible" || last == "session_begun") << line;
		} else {
			EXPECT_EQ(event, "session_visible") << line;
			EXPECT_NE(last, "session_stopping") << line;
		}
		last = event;
	}
	std::string liveness, runtime;
	for (const std::string &line : run.lines) {
		liveness = line.rfind("  liveness:", 0) == 0 ? line : liveness;
		runtime = line.rfind("  runtime events:", 0) == 0 ? line : runtime;
	}
	// A check that judged nothing would pass whatever the library did.
	EXPECT_GT(count_after(liveness, "frames judged"), 100) << liveness;
	EXPECT_GT(count_after(liveness, "stick moves read"), 5) << liveness;
	EXPECT_GT(count_after(runtime, "session_focussed"), 0) << runtime;
}

} // namespace
