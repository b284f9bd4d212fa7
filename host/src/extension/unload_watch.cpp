// Reports the engine values that an extension's library releases while it is
// unloaded, after the engine shut its binding down.
#include <godot_cpp/core/host_unload_watch.hpp>

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/string.hpp>

namespace godot {

bool _HostUnloadWatch::active = false;
int _HostUnloadWatch::depth = 0;

namespace {

int reports = 0;

// Quiet while the report itself builds and drops its strings.
struct Quiet {
	Quiet() { _HostUnloadWatch::depth++; }
	~Quiet() { _HostUnloadWatch::depth--; }
};

void report(const String &p_what) {
	reports++;
	_err_print_error("GDExtension::close_library", __FILE__, __LINE__,
			p_what + " was released while the extension's library was unloaded, after its de-initialisation: the engine no longer takes it back.");
}

} // namespace

void _HostUnloadWatch::begin() {
	reports = 0;
	depth = 0;
	active = true;
}

void _HostUnloadWatch::end() {
	active = false;
	depth = 0;
}

int _HostUnloadWatch::reported() {
	return reports;
}

void _HostUnloadWatch::released_string(const String &p_text) {
	if (depth == 0) {
		Quiet quiet;
		report("A String (\"" + p_text + "\")");
	}
}

void _HostUnloadWatch::released_name(const String &p_name) {
	if (depth == 0) {
		Quiet quiet;
		report("A StringName (\"" + p_name + "\")");
	}
}

void _HostUnloadWatch::released_object(const Object *p_object, const char *p_as) {
	if (depth == 0 && p_object) {
		Quiet quiet;
		report(String(p_as) + " to " + const_cast<Object *>(p_object)->to_string());
	}
}

} // namespace godot
