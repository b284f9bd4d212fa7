#ifndef MOSSGLIMMER_RUNNER_RUNNER_OPTIONS_HPP
#define MOSSGLIMMER_RUNNER_RUNNER_OPTIONS_HPP

#include <set>
#include <string>

// What the runner was asked to play, from its command line.
struct RunnerOptions {
	std::string library;
	std::string scenario = "session";
	bool dev = false;
	bool editor = false;
	bool quiet = false;
	bool realtime = false;
	bool replace_nodes = false;
	bool free_bodies_in_signals = false;
	bool bad_values = false;
	bool chaos = false;
	float refresh_rate = 90.0f;
	double soak_seconds = 120.0;
	unsigned seed = 1;
	std::set<std::string> without;
};

enum class ParseResult {
	RUN,
	HELP,
	// r_error says which option, which value and what is allowed.
	REFUSED,
};

// Refuses at once what would otherwise run as something else: numbers that
// are not wholly numbers or out of range, nodes the demo scene lacks, and
// options that the chosen scenario would ignore.
ParseResult parse_runner_options(int p_argc, const char *const *p_argv, RunnerOptions &r_options, std::string &r_error);

void print_runner_usage(int p_frame_rate);

#endif // MOSSGLIMMER_RUNNER_RUNNER_OPTIONS_HPP
