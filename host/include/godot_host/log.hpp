#ifndef GODOT_HOST_LOG_HPP
#define GODOT_HOST_LOG_HPP

#include <godot_cpp/core/defs.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace godot_host {

// One thing the engine printed: a line of `print`, or an error or warning
// from the error printer.
struct HOST_API LogEntry {
	enum Kind {
		PRINT,
		PRINT_ERROR, // printerr
		ERROR,
		WARNING,
	};
	Kind kind = PRINT;
	std::string text; // what the engine shows (for errors: the message, or the condition without one)
	std::string condition; // error printer only
	std::string message; // error printer only, may be empty
	std::string function;
	std::string file;
	int line = 0;
};

// What the engine printed since the last clear. Only the recent entries are
// kept (at least the last 2048), so a long run's log stays bounded; the
// counts cover everything.
class HOST_API Log {
public:
	static const std::vector<LogEntry> &entries();
	static void clear();
	// Print lines only (`print`), each entry's text split at line breaks.
	static std::vector<std::string> printed_lines();
	static std::vector<LogEntry> errors();
	// Errors since the last clear, kept or not.
	static int error_count();
	// Entries since the last clear, kept or not.
	static uint64_t total_count();
	static size_t capacity();
	// Whether the engine echoes everything to stdout/stderr as it prints.
	static void set_echo(bool p_echo);
	static bool is_echo();
	static void add(const LogEntry &p_entry);
};

} // namespace godot_host

#endif // GODOT_HOST_LOG_HPP
