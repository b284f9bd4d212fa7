#ifndef GODOT_CORE_HOST_UNLOAD_WATCH_HPP
#define GODOT_CORE_HOST_UNLOAD_WATCH_HPP

#include <godot_cpp/core/defs.hpp>

// Engine side, not part of the binding API.
//
// An extension's library is unloaded after its SCENE de-initialisation, when
// the engine has shut the binding down: an engine value that the library's
// static destructors release then is a fault (with the real binding, an
// "Unreferenced static string" error or a crash on exit). While a library is
// unloaded the engine reports each such release through the error printer.
namespace godot {

class Object;
class String;

class HOST_API _HostUnloadWatch {
public:
	static bool active; // set around the library's unloading
	static int depth;	// inside a reported release: what it frees is part of it

	static void begin();
	static void end();
	static int reported(); // releases reported since the last begin()

	static void released_string(const String &p_text);
	static void released_name(const String &p_name);
	static void released_object(const Object *p_object, const char *p_as);
};

// Reports one released value (when the watch is on and this is no part of an
// outer one) and keeps the nested releases of its teardown quiet.
class HOST_API _HostUnloadScope {
	bool _entered = false;

public:
	_HostUnloadScope(const Object *p_object, const char *p_as) {
		if (unlikely(_HostUnloadWatch::active)) {
			_HostUnloadWatch::released_object(p_object, p_as);
			_HostUnloadWatch::depth++;
			_entered = true;
		}
	}
	~_HostUnloadScope() {
		if (_entered) {
			_HostUnloadWatch::depth--;
		}
	}
	_HostUnloadScope(const _HostUnloadScope &) = delete;
	_HostUnloadScope &operator=(const _HostUnloadScope &) = delete;
};

} // namespace godot

#endif // GODOT_CORE_HOST_UNLOAD_WATCH_HPP
