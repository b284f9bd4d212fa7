// dev.sh as a new user calls it: help succeeds, and what it can't do is
// refused before anything is installed or built.
#include "process_run.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

// The checkout, from this file's place in it (tests/runner/).
std::string checkout() {
	std::string path = __FILE__;
	for (int up = 0; up < 3; up++) {
		path = path.substr(0, path.rfind('/'));
	}
	return path;
}

TEST(DevScript, HelpSucceedsAndWrongUsesAreRefusedBeforeAnyWork) {
	const std::string script = checkout() + "/dev.sh";
	struct Case {
		std::string command;
		int status;
		const char *said;
	};
	const Case cases[] = {
		{ script + " help", 0, "usage: ./dev.sh COMMAND" },
		{ script + " --help", 0, "usage: ./dev.sh COMMAND" },
		{ script + " -h", 0, "usage: ./dev.sh COMMAND" },
		{ script + " test --help", 0, "passed on to ctest" },
		{ script, 2, "usage: ./dev.sh COMMAND" },
		{ script + " frob", 2, "dev.sh: unknown command frob" },
		{ script + " test --bogus", 2, "dev.sh: test: unknown option --bogus" },
		{ script + " test nomatch", 2, "dev.sh: test: unexpected argument \"nomatch\"" },
		{ script + " test -R", 2, "dev.sh: test: -R needs a value" },
		{ script + " test -j x", 2, "dev.sh: test: -j \"x\": allowed: a whole number of jobs" },
		{ script + " deps now", 2, "dev.sh: deps takes no arguments" },
		{ "JOBS=many " + script + " run", 2, "dev.sh: JOBS=\"many\": allowed: a whole number of jobs" },
	};
	for (const Case &c : cases) {
		// Called from elsewhere, as the script must work from any folder.
		ProcessRun run = run_command("cd /tmp && " + c.command);
		const std::string output = run.text();
		EXPECT_EQ(run.status, c.status) << c.command << "\n" << output;
		EXPECT_NE(output.find(c.said), std::string::npos) << c.command << "\n" << output;
		EXPECT_EQ(output.find("building"), std::string::npos) << c.command << "\n" << output;
		EXPECT_EQ(output.find("installing"), std::string::npos) << c.command << "\n" << output;
	}
}

} // namespace
