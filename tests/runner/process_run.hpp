#ifndef MOSSGLIMMER_TESTS_PROCESS_RUN_HPP
#define MOSSGLIMMER_TESTS_PROCESS_RUN_HPP

#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

// What a command printed (standard output and error together), line by line,
// and its exit status.
struct ProcessRun {
	std::vector<std::string> lines;
	int status = -1;

	std::string text() const {
		std::string all;
		for (const std::string &line : lines) {
			all += line + "\n";
		}
		return all;
	}
};

inline ProcessRun run_command(const std::string &p_command) {
	ProcessRun run;
	FILE *out = popen((p_command + " 2>&1").c_str(), "r");
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

// The built runner on the built library, as a user runs it.
inline ProcessRun run_runner_process(const std::string &p_arguments) {
	return run_command(std::string(MOSSGLIMMER_RUNNER) + " --library " + MOSSGLIMMER_LIBRARY + " " + p_arguments);
}

#endif // MOSSGLIMMER_TESTS_PROCESS_RUN_HPP
