// The runner's command line: each value is read whole and checked against
// what the runner can play, so a typo stops the run instead of changing it.
#include "runner_options.hpp"

#include "demo_scene.hpp"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

// Game time; the longest soak is a few months of it, far beyond any one
// that was meant (a 100-hour soak is 360000).
constexpr double MIN_SECONDS = 1.0;
constexpr double MAX_SECONDS = 1e7;
// What a headset runs at; the library leaves rates outside it alone.
constexpr double MIN_REFRESH_RATE = 1.0;
constexpr double MAX_REFRESH_RATE = 1000.0;

const char *const SECONDS_ALLOWED = "seconds of game time, from 1 to 10000000";
const char *const SEED_ALLOWED = "a whole number from 0 to 4294967295";
const char *const RATE_ALLOWED = "a rate in Hz, from 1 to 1000";
const char *const HARD_KINDS_ALLOWED = "nodes, bodies, values, comma-separated";
// Where an option's text starts in --help.
constexpr size_t USAGE_INDENT = 21;

std::string refusal(const std::string &p_option, const std::string &p_value, const std::string &p_fault, const std::string &p_allowed) {
	return p_option + " \"" + p_value + "\": " + p_fault + "; allowed: " + p_allowed;
}

// True when the whole text is one finite decimal number.
bool read_number(const std::string &p_text, double &r_value, bool &r_in_range) {
	if (p_text.empty() || std::isspace((unsigned char)p_text[0])) {
		return false;
	}
	char *end = nullptr;
	errno = 0;
	double value = std::strtod(p_text.c_str(), &end);
	if (*end != '\0') {
		return false;
	}
	r_in_range = errno != ERANGE && std::isfinite(value);
	r_value = value;
	return true;
}

bool read_bounded(const std::string &p_option, const std::string &p_text, double p_min, double p_max, const char *p_allowed, double &r_value,
		std::string &r_error) {
	bool in_range = false;
	double value = 0.0;
	if (!read_number(p_text, value, in_range)) {
		r_error = refusal(p_option, p_text, "not a number", p_allowed);
		return false;
	}
	if (!in_range || !(value >= p_min && value <= p_max)) {
		r_error = refusal(p_option, p_text, "out of range", p_allowed);
		return false;
	}
	r_value = value;
	return true;
}

bool read_seed(const std::string &p_text, unsigned &r_seed, std::string &r_error) {
	// Digits only: strtoul would take "-1" as the largest seed.
	bool digits = !p_text.empty() && std::all_of(p_text.begin(), p_text.end(), [](char c) { return std::isdigit((unsigned char)c); });
	if (!digits) {
		r_error = refusal("--seed", p_text, "not a whole number", SEED_ALLOWED);
		return false;
	}
	errno = 0;
	unsigned long long value = std::strtoull(p_text.c_str(), nullptr, 10);
	if (errno == ERANGE || value > std::numeric_limits<uint32_t>::max()) {
		r_error = refusal("--seed", p_text, "out of range", SEED_ALLOWED);
		return false;
	}
	r_seed = (unsigned)value;
	return true;
}

bool read_hard_kinds(const std::string &p_text, RunnerOptions &r_options, std::string &r_error) {
	r_options.replace_nodes = r_options.free_bodies_in_signals = r_options.bad_values = false;
	size_t from = 0;
	while (true) {
		size_t comma = p_text.find(',', from);
		std::string kind = p_text.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
		if (kind == "nodes") {
			r_options.replace_nodes = true;
		} else if (kind == "bodies") {
			r_options.free_bodies_in_signals = true;
		} else if (kind == "values") {
			r_options.bad_values = true;
		} else {
			r_error = refusal("--hard-only", p_text, kind.empty() ? std::string("an empty kind") : "no kind \"" + kind + "\"", HARD_KINDS_ALLOWED);
			return false;
		}
		if (comma == std::string::npos) {
			return true;
		}
		from = comma + 1;
	}
}

std::string node_names() {
	std::string names;
	for (const std::string &n : omittable_nodes()) {
		names += (names.empty() ? "" : " ") + n;
	}
	return names;
}

// The text in lines of at most 80 columns, each indented.
std::string wrapped(const std::string &p_words, size_t p_indent) {
	std::string out, line(p_indent, ' ');
	size_t from = 0;
	while (from < p_words.size()) {
		size_t space = p_words.find(' ', from);
		std::string word = p_words.substr(from, space == std::string::npos ? std::string::npos : space - from);
		from = space == std::string::npos ? p_words.size() : space + 1;
		if (line.size() > p_indent && line.size() + 1 + word.size() > 80) {
			out += line + "\n";
			line.assign(p_indent, ' ');
		}
		line += (line.size() > p_indent ? " " : "") + word;
	}
	return out + line + "\n";
}

} // namespace

ParseResult parse_runner_options(int p_argc, const char *const *p_argv, RunnerOptions &r_options, std::string &r_error) {
	// The first option given that only the soak reads, and whether --hard or --hard-only was.
	std::string soak_only, hard;
	for (int i = 1; i < p_argc; i++) {
		const std::string a = p_argv[i];
		bool missing = false;
		auto next = [&](const std::string &p_what) -> std::string {
			if (i + 1 >= p_argc) {
				r_error = a + " needs a value: " + p_what;
				missing = true;
				return std::string();
			}
			return p_argv[++i];
		};
		bool ok = true;
		if (a == "--help" || a == "-h") {
			return ParseResult::HELP;
		} else if (a == "--library") {
			r_options.library = next("a path to the game library");
		} else if (a == "--scenario") {
			r_options.scenario = next("session, startup or soak");
		} else if (a == "--seconds") {
			std::string text = next(SECONDS_ALLOWED);
			ok = missing || read_bounded(a, text, MIN_SECONDS, MAX_SECONDS, SECONDS_ALLOWED, r_options.soak_seconds, r_error);
		} else if (a == "--seed") {
			std::string text = next(SEED_ALLOWED);
			ok = missing || read_seed(text, r_options.seed, r_error);
		} else if (a == "--dev") {
			r_options.dev = true;
		} else if (a == "--refresh-rate") {
			std::string text = next(RATE_ALLOWED);
			double rate = 0.0;
			ok = missing || read_bounded(a, text, MIN_REFRESH_RATE, MAX_REFRESH_RATE, RATE_ALLOWED, rate, r_error);
			r_options.refresh_rate = (float)rate;
		} else if (a == "--editor") {
			r_options.editor = true;
		} else if (a == "--without") {
			std::string node = next("a node of the demo scene: " + node_names());
			const std::vector<std::string> &nodes = omittable_nodes();
			if (!missing && std::find(nodes.begin(), nodes.end(), node) == nodes.end()) {
				r_error = refusal(a, node, "the demo scene has no such node", node_names());
				ok = false;
			}
			r_options.without.insert(node);
		} else if (a == "--hard") {
			r_options.replace_nodes = r_options.free_bodies_in_signals = r_options.bad_values = true;
			hard = a;
		} else if (a == "--hard-only") {
			std::string text = next(HARD_KINDS_ALLOWED);
			ok = missing || read_hard_kinds(text, r_options, r_error);
			hard = a;
		} else if (a == "--chaos") {
			r_options.chaos = true;
		} else if (a == "--realtime") {
			r_options.realtime = true;
		} else if (a == "--quiet") {
			r_options.quiet = true;
		} else {
			r_error = "unknown option " + a + " (see --help)";
			return ParseResult::REFUSED;
		}
		if (missing || !ok) {
			return ParseResult::REFUSED;
		}
		bool for_soak = a == "--seconds" || a == "--seed" || a == "--hard" || a == "--hard-only" || a == "--chaos";
		if (for_soak && soak_only.empty()) {
			soak_only = a;
		}
	}
	if (r_options.scenario != "session" && r_options.scenario != "startup" && r_options.scenario != "soak") {
		r_error = refusal("--scenario", r_options.scenario, "no such scenario", "session, startup, soak");
		return ParseResult::REFUSED;
	}
	if (!soak_only.empty() && r_options.scenario != "soak") {
		r_error = soak_only + " applies only to --scenario soak";
		return ParseResult::REFUSED;
	}
	if (r_options.scenario == "soak" && r_options.editor) {
		r_error = "--editor only starts up (the game's nodes switch themselves off): it can't go with --scenario soak";
		return ParseResult::REFUSED;
	}
	if (r_options.chaos && !hard.empty()) {
		// The adversary frees and adds back nodes its own way, and always frees
		// bodies in their signals and sends bad values: a choice here would be ignored.
		r_error = "--chaos already frees nodes and bodies and sends bad values its own way: it can't go with " + hard;
		return ParseResult::REFUSED;
	}
	return ParseResult::RUN;
}

void print_runner_usage(int p_frame_rate) {
	std::printf(
			"usage: mossglimmer-runner [options]\n"
			"  --library PATH     the game library (default: the one built alongside)\n"
			"  --scenario NAME    session (default): start-up, greeting, flying, grabbing,\n"
			"                     pushing off a wall, focus lost and regained, the level\n"
			"                     reloaded mid-session;\n"
			"                     startup: load, start up and list the registered classes;\n"
			"                     soak: a long randomised session checking invariants\n"
			"  --realtime         wait out each frame's time (frames follow the engine's frame\n"
			"                     limit, %d a second without one)\n"
			"  --dev              run with the developer marker (DEV beside the working directory)\n"
			"  --refresh-rate HZ  the headset's display refresh rate, 1 to 1000 (default 90)\n"
			"  --editor           run as the editor: the game's nodes switch themselves off, so\n"
			"                     it only starts up (not with --scenario soak)\n"
			"  --without NODE     leave a node of the scene contract out (repeatable); one of:\n"
			"%s"
			"  --quiet            print only the summary\n"
			"  --help             this text\n"
			"only with --scenario soak:\n"
			"  --seconds N        game time the soak plays, 1 to 10000000 (default 120)\n"
			"  --seed N           seed of the soak, 0 to 4294967295 (default 1)\n"
			"  --hard             the soak also frees and re-adds the scene's nodes, frees bodies\n"
			"                     inside their contact signals and sends values no device should\n"
			"  --hard-only KINDS  only these of them, comma-separated: nodes, bodies, values\n"
			"  --chaos            the soak's bodies and values, with a script inside every signal\n"
			"                     the library emits or sets off that frees, moves, renames and\n"
			"                     poisons what it finds (and adds it back), pauses the game,\n"
			"                     calls back into the library and gives frames of any length\n"
			"                     (not with --hard or --hard-only)\n"
			"Every soak sends bad values on purpose, the plain one too: numbers that are no\n"
			"number (NaN) among the controllers' inputs, the camera's position, contacts and\n"
			"the hand trackers' poses. --hard, and --hard-only with values, send infinities\n"
			"and huge numbers instead, and refresh rates and typing delays that are none;\n"
			"--chaos also poisons masses, bone poses and animation blends, and gives frames\n"
			"of any length. The engine errors in a soak's summary are the library refusing\n"
			"them; its violations are the faults, and make the exit status 1.\n",
			p_frame_rate, wrapped(node_names(), USAGE_INDENT).c_str());
}
