// The runner's command line as a user types it: a wrong value or an option
// the scenario would ignore stops the run at once, naming the option, the
// value and what is allowed; good values still run.
#include "process_run.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

bool has_line(const ProcessRun &p_run, const std::string &p_text) {
	for (const std::string &line : p_run.lines) {
		if (line.find(p_text) != std::string::npos) {
			return true;
		}
	}
	return false;
}

TEST(RunnerArguments, WrongUsesAreRefusedAtOnceWithWhatIsAllowed) {
	struct Case {
		const char *arguments;
		const char *said; // the option, the value and what is allowed, in one line
	};
	const Case cases[] = {
		{ "--scenario soak --seconds -5", "--seconds \"-5\": out of range; allowed: seconds of game time, from 1 to 10000000" },
		{ "--scenario soak --seconds abc", "--seconds \"abc\": not a number; allowed: seconds" },
		{ "--scenario soak --seconds 1e9x", "--seconds \"1e9x\": not a number" },
		{ "--scenario soak --seconds inf", "--seconds \"inf\": out of range" },
		{ "--scenario soak --seconds nan", "--seconds \"nan\": out of range" },
		{ "--scenario soak --seconds", "--seconds needs a value: seconds of game time" },
		{ "--scenario soak --seed abc", "--seed \"abc\": not a whole number; allowed: a whole number from 0 to 4294967295" },
		{ "--scenario soak --seed -1", "--seed \"-1\": not a whole number" },
		{ "--scenario soak --seed 4294967296", "--seed \"4294967296\": out of range" },
		{ "--refresh-rate 0", "--refresh-rate \"0\": out of range; allowed: a rate in Hz, from 1 to 1000" },
		{ "--refresh-rate 72hz", "--refresh-rate \"72hz\": not a number" },
		{ "--without Nope", "--without \"Nope\": the demo scene has no such node; allowed: OpenXR Player" },
		{ "--seconds 5", "--seconds applies only to --scenario soak" },
		{ "--scenario startup --seed 3", "--seed applies only to --scenario soak" },
		{ "--hard", "--hard applies only to --scenario soak" },
		{ "--chaos", "--chaos applies only to --scenario soak" },
		{ "--hard-only nodes", "--hard-only applies only to --scenario soak" },
		{ "--scenario soak --hard-only foo", "--hard-only \"foo\": no kind \"foo\"; allowed: nodes, bodies, values" },
		{ "--scenario soak --hard-only nodes,", "--hard-only \"nodes,\": an empty kind" },
		{ "--scenario soak --chaos --hard-only nodes", "--chaos already frees nodes and bodies and sends bad values its own way: it can't go with --hard-only" },
		{ "--scenario soak --editor", "--editor only starts up" },
		{ "--scenario nope", "--scenario \"nope\": no such scenario; allowed: session, startup, soak" },
		{ "soak", "unknown option soak" },
	};
	for (const Case &c : cases) {
		ProcessRun run = run_runner_process(c.arguments);
		EXPECT_EQ(run.status, 2) << c.arguments << "\n" << run.text();
		EXPECT_TRUE(has_line(run, std::string("mossglimmer-runner: ") + c.said)) << c.arguments << "\n" << run.text();
		// Refused before the library is loaded: nothing played.
		EXPECT_FALSE(has_line(run, "Loaded ")) << c.arguments;
		EXPECT_FALSE(has_line(run, "summary")) << c.arguments;
	}
}

TEST(RunnerArguments, TheLimitsThemselvesRun) {
	ProcessRun run = run_runner_process("--quiet --scenario soak --seconds 1 --seed 4294967295 --hard-only nodes,values");
	EXPECT_EQ(run.status, 0) << run.text();
	EXPECT_TRUE(has_line(run, "soak: 1 s, seed 4294967295 (hard)")) << run.text();
}

TEST(RunnerArguments, HelpSaysWhichSoaksSendBadValuesOnPurpose) {
	ProcessRun run = run_runner_process("--help");
	EXPECT_EQ(run.status, 0);
	EXPECT_TRUE(has_line(run, "only with --scenario soak:")) << run.text();
	EXPECT_TRUE(has_line(run, "Every soak sends bad values on purpose, the plain one too")) << run.text();
	EXPECT_FALSE(has_line(run, "Loaded "));
}

} // namespace
