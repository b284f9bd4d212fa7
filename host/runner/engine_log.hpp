#ifndef MOSSGLIMMER_RUNNER_ENGINE_LOG_HPP
#define MOSSGLIMMER_RUNNER_ENGINE_LOG_HPP

#include <godot_host/log.hpp>

#include <cstdio>
#include <string>

// The engine's log as the runner shows it: each line the engine printed,
// marked apart from the runner's own lines, in the order it happened.
class EngineLog {
public:
	static constexpr const char *MARK = "engine| ";

	// Takes the output over from the engine's own echo; until then the
	// engine's lines are only counted.
	static void start(bool p_show);
	// Prints what the engine logged since the last call and forgets it, so a
	// long run keeps no log.
	static void flush();
	// Errors the engine reported since start.
	static int error_count();
};

// Kept in this header: the benchmarks build the runner's session without the
// runner's other files.
namespace engine_log_detail {

inline bool &show_lines() {
	static bool show = false;
	return show;
}

inline int &errors() {
	static int count = 0;
	return count;
}

inline void print_marked(const std::string &p_text) {
	size_t start = 0;
	while (true) {
		size_t nl = p_text.find('\n', start);
		std::printf("%s%s\n", EngineLog::MARK, p_text.substr(start, nl == std::string::npos ? std::string::npos : nl - start).c_str());
		if (nl == std::string::npos) {
			return;
		}
		start = nl + 1;
	}
}

} // namespace engine_log_detail

inline void EngineLog::start(bool p_show) {
	engine_log_detail::show_lines() = p_show;
	engine_log_detail::errors() = 0;
	godot_host::Log::set_echo(false);
	flush();
}

inline void EngineLog::flush() {
	const std::vector<godot_host::LogEntry> &entries = godot_host::Log::entries();
	if (entries.empty()) {
		return;
	}
	for (const godot_host::LogEntry &e : entries) {
		engine_log_detail::errors() += e.kind == godot_host::LogEntry::ERROR ? 1 : 0;
		if (!engine_log_detail::show_lines()) {
			continue;
		}
		switch (e.kind) {
			case godot_host::LogEntry::PRINT:
			case godot_host::LogEntry::PRINT_ERROR:
				engine_log_detail::print_marked(e.text);
				break;
			case godot_host::LogEntry::ERROR:
			case godot_host::LogEntry::WARNING:
				engine_log_detail::print_marked((e.kind == godot_host::LogEntry::ERROR ? "ERROR: " : "WARNING: ") + e.text);
				engine_log_detail::print_marked("   at: " + e.function + " (" + e.file + ":" + std::to_string(e.line) + ")");
				break;
		}
	}
	std::fflush(stdout);
	godot_host::Log::clear();
}

inline int EngineLog::error_count() {
	flush();
	return engine_log_detail::errors();
}

#endif // MOSSGLIMMER_RUNNER_ENGINE_LOG_HPP
