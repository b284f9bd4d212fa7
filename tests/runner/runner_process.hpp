#ifndef MOSSGLIMMER_TESTS_RUNNER_PROCESS_HPP
#define MOSSGLIMMER_TESTS_RUNNER_PROCESS_HPP

#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

// The built runner run on the built library, as a user runs it: its lines
// (standard output and error together) and its exit status.
struct RunnerRun {
	std::vector<std::string> lines;
	int status = -1;
};

inline RunnerRun run_runner_process(const std::string &p_arguments) {
	std::string command = std::string(MOSSGLIMMER_RUNNER) + " --library " + MOSSGLIMMER_LIBRARY + " " + p_arguments + " 2>&1";
	RunnerRun run;
	FILE *out = popen(command.c_str(), "r");
	if (!out) {
		return run;
	}
	char buffer[4096];
	std::string text;
	while (fgets(buffer, sizeof(buffer), out)) {
		text += buffer;
	}
	int status = pclose(out);
	run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
	std::istringstream stream(text);
	for (std::string line; std::getline(stream, line);) {
		run.lines.push_back(line);
	}
	return run;
}

#endif // MOSSGLIMMER_TESTS_RUNNER_PROCESS_HPP
