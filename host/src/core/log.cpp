// The engine's output: print lines and the error printer, kept for reading back.
#include <godot_host/log.hpp>

#include <godot_host/bounded_record.hpp>

#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

#include <cstdio>
#include <random>

namespace godot_host {

namespace {

struct Storage {
	BoundedRecord<LogEntry> entries{ 4096 };
	int errors = 0;
};

// Never destroyed: the engine may still print during static destruction.
Storage &storage() {
	static Storage *s = new Storage;
	return *s;
}

bool &echo_flag() {
	static bool echo = false;
	return echo;
}

} // namespace

const std::vector<LogEntry> &Log::entries() {
	return storage().entries.recent();
}

void Log::clear() {
	storage().entries.clear();
	storage().errors = 0;
}

uint64_t Log::total_count() {
	return storage().entries.total();
}

size_t Log::capacity() {
	return storage().entries.capacity();
}

std::vector<std::string> Log::printed_lines() {
	std::vector<std::string> lines;
	for (const LogEntry &e : entries()) {
		if (e.kind != LogEntry::PRINT) {
			continue;
		}
		size_t start = 0;
		while (true) {
			size_t nl = e.text.find('\n', start);
			lines.push_back(e.text.substr(start, nl == std::string::npos ? std::string::npos : nl - start));
			if (nl == std::string::npos) {
				break;
			}
			start = nl + 1;
		}
	}
	return lines;
}

std::vector<LogEntry> Log::errors() {
	std::vector<LogEntry> out;
	for (const LogEntry &e : entries()) {
		if (e.kind == LogEntry::ERROR) {
			out.push_back(e);
		}
	}
	return out;
}

int Log::error_count() {
	return storage().errors;
}

void Log::set_echo(bool p_echo) {
	echo_flag() = p_echo;
}

bool Log::is_echo() {
	return echo_flag();
}

void Log::add(const LogEntry &p_entry) {
	storage().entries.push_back(p_entry);
	storage().errors += p_entry.kind == LogEntry::ERROR ? 1 : 0;
	if (!echo_flag()) {
		return;
	}
	switch (p_entry.kind) {
		case LogEntry::PRINT:
			std::fprintf(stdout, "%s\n", p_entry.text.c_str());
			std::fflush(stdout);
			break;
		case LogEntry::PRINT_ERROR:
			std::fprintf(stderr, "%s\n", p_entry.text.c_str());
			break;
		case LogEntry::ERROR:
		case LogEntry::WARNING:
			std::fprintf(stderr, "%s: %s\n   at: %s (%s:%d)\n", p_entry.kind == LogEntry::ERROR ? "ERROR" : "WARNING",
					p_entry.text.c_str(), p_entry.function.c_str(), p_entry.file.c_str(), p_entry.line);
			break;
	}
}

} // namespace godot_host

namespace godot {

namespace {

void report(const char *p_function, const char *p_file, int p_line, const std::string &p_error, const std::string &p_message, bool p_warning) {
	godot_host::LogEntry e;
	e.kind = p_warning ? godot_host::LogEntry::WARNING : godot_host::LogEntry::ERROR;
	e.condition = p_error;
	e.message = p_message;
	e.text = p_message.empty() ? p_error : p_message;
	e.function = p_function ? p_function : "";
	e.file = p_file ? p_file : "";
	e.line = p_line;
	godot_host::Log::add(e);
}

std::string utf8(const String &p_string) {
	return std::string(p_string.utf8().get_data());
}

std::string join(const Variant **p_args, int p_count, const char *p_separator) {
	std::string out;
	for (int i = 0; i < p_count; i++) {
		if (i > 0) {
			out += p_separator;
		}
		out += utf8(p_args[i]->stringify());
	}
	return out;
}

} // namespace

void _err_print_error(const char *p_function, const char *p_file, int p_line, const char *p_error, bool, bool p_is_warning) {
	report(p_function, p_file, p_line, p_error, "", p_is_warning);
}

void _err_print_error(const char *p_function, const char *p_file, int p_line, const String &p_error, bool, bool p_is_warning) {
	report(p_function, p_file, p_line, utf8(p_error), "", p_is_warning);
}

void _err_print_error(const char *p_function, const char *p_file, int p_line, const char *p_error, const char *p_message, bool, bool p_is_warning) {
	report(p_function, p_file, p_line, p_error, p_message ? p_message : "", p_is_warning);
}

void _err_print_error(const char *p_function, const char *p_file, int p_line, const String &p_error, const char *p_message, bool, bool p_is_warning) {
	report(p_function, p_file, p_line, utf8(p_error), p_message ? p_message : "", p_is_warning);
}

void _err_print_error(const char *p_function, const char *p_file, int p_line, const char *p_error, const String &p_message, bool, bool p_is_warning) {
	report(p_function, p_file, p_line, p_error, utf8(p_message), p_is_warning);
}

void _err_print_error(const char *p_function, const char *p_file, int p_line, const String &p_error, const String &p_message, bool, bool p_is_warning) {
	report(p_function, p_file, p_line, utf8(p_error), utf8(p_message), p_is_warning);
}

void _err_print_index_error(const char *p_function, const char *p_file, int p_line, int64_t p_index, int64_t p_size, const char *p_index_str, const char *p_size_str, const char *p_message, bool, bool) {
	std::string err = "Index " + std::string(p_index_str) + " = " + std::to_string(p_index) + " is out of bounds (" + p_size_str + " = " + std::to_string(p_size) + ").";
	report(p_function, p_file, p_line, err, p_message ? p_message : "", false);
}

void _err_print_index_error(const char *p_function, const char *p_file, int p_line, int64_t p_index, int64_t p_size, const char *p_index_str, const char *p_size_str, const String &p_message, bool p_editor_notify, bool p_fatal) {
	_err_print_index_error(p_function, p_file, p_line, p_index, p_size, p_index_str, p_size_str, utf8(p_message).c_str(), p_editor_notify, p_fatal);
}

void _err_flush_stdout() {
	std::fflush(stdout);
}

void UtilityFunctions::print_internal(const Variant **p_args, int p_count) {
	godot_host::LogEntry e;
	e.text = join(p_args, p_count, "");
	godot_host::Log::add(e);
}

void UtilityFunctions::printerr_internal(const Variant **p_args, int p_count) {
	godot_host::LogEntry e;
	e.kind = godot_host::LogEntry::PRINT_ERROR;
	e.text = join(p_args, p_count, "");
	godot_host::Log::add(e);
}

void UtilityFunctions::prints_internal(const Variant **p_args, int p_count) {
	godot_host::LogEntry e;
	e.text = join(p_args, p_count, " ");
	godot_host::Log::add(e);
}

void UtilityFunctions::print_verbose_internal(const Variant **, int) {
	// Verbose output is off in this engine.
}

void UtilityFunctions::push_error_internal(const Variant **p_args, int p_count) {
	report("push_error", "", 0, join(p_args, p_count, ""), "", false);
}

void UtilityFunctions::push_warning_internal(const Variant **p_args, int p_count) {
	report("push_warning", "", 0, join(p_args, p_count, ""), "", true);
}

String UtilityFunctions::str_internal(const Variant **p_args, int p_count) {
	String out;
	for (int i = 0; i < p_count; i++) {
		out += p_args[i]->stringify();
	}
	return out;
}

bool UtilityFunctions::is_instance_valid(const Variant &p_instance) {
	return p_instance.get_type() == Variant::OBJECT && p_instance.get_validated_object() != nullptr;
}

bool UtilityFunctions::is_instance_id_valid(int64_t p_id) {
	return ObjectDB::get_instance((uint64_t)p_id) != nullptr;
}

double UtilityFunctions::absf(double p_x) {
	return p_x < 0 ? -p_x : p_x;
}

double UtilityFunctions::clampf(double p_value, double p_min, double p_max) {
	return p_value < p_min ? p_min : (p_value > p_max ? p_max : p_value);
}

namespace {
std::mt19937_64 &rng() {
	static std::mt19937_64 engine(12345);
	return engine;
}
} // namespace

double UtilityFunctions::randf() {
	return std::uniform_real_distribution<double>(0.0, 1.0)(rng());
}

int64_t UtilityFunctions::randi() {
	return (int64_t)(rng()() & 0xFFFFFFFFu);
}

void UtilityFunctions::randomize() {
	rng().seed(std::random_device{}());
}

void UtilityFunctions::seed(int64_t p_base) {
	rng().seed((uint64_t)p_base);
}

} // namespace godot
