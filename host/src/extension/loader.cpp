// The engine side of extension loading: dlopen, the entry symbol, the
// interface functions it may ask for, and the initialization levels.
#include <godot_host/host.hpp>

#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/host_unload_watch.hpp>

#include <cstring>
#include <dlfcn.h>

namespace godot_host {

namespace {

GDExtensionGodotVersion &engine_version() {
	static GDExtensionGodotVersion version = { 4, 4, 1, "Godot Engine v4.4.1.stable" };
	return version;
}

void interface_get_godot_version(GDExtensionGodotVersion *r_version) {
	*r_version = engine_version();
}

void interface_print_error(const char *p_description, const char *p_function, const char *p_file, int32_t p_line, GDExtensionBool p_editor_notify) {
	godot::_err_print_error(p_function, p_file, p_line, p_description, p_editor_notify != 0);
}

void interface_print_error_with_message(const char *p_description, const char *p_message, const char *p_function, const char *p_file, int32_t p_line, GDExtensionBool p_editor_notify) {
	godot::_err_print_error(p_function, p_file, p_line, p_description, p_message, p_editor_notify != 0);
}

void interface_print_warning(const char *p_description, const char *p_function, const char *p_file, int32_t p_line, GDExtensionBool p_editor_notify) {
	godot::_err_print_error(p_function, p_file, p_line, p_description, p_editor_notify != 0, true);
}

GDExtensionInterfaceFunctionPtr get_proc_address(const char *p_name) {
	if (std::strcmp(p_name, "get_godot_version") == 0) {
		return reinterpret_cast<GDExtensionInterfaceFunctionPtr>(&interface_get_godot_version);
	}
	if (std::strcmp(p_name, "print_error") == 0) {
		return reinterpret_cast<GDExtensionInterfaceFunctionPtr>(&interface_print_error);
	}
	if (std::strcmp(p_name, "print_error_with_message") == 0) {
		return reinterpret_cast<GDExtensionInterfaceFunctionPtr>(&interface_print_error_with_message);
	}
	if (std::strcmp(p_name, "print_warning") == 0) {
		return reinterpret_cast<GDExtensionInterfaceFunctionPtr>(&interface_print_warning);
	}
	return nullptr;
}

} // namespace

void Host::set_engine_version(uint32_t p_major, uint32_t p_minor, uint32_t p_patch) {
	engine_version().major = p_major;
	engine_version().minor = p_minor;
	engine_version().patch = p_patch;
}

Extension::~Extension() {
	close();
}

bool Extension::open(const std::string &p_path, const std::string &p_entry_symbol) {
	ERR_FAIL_COND_V_MSG(_open, false, "The extension is already open.");
	_handle = dlopen(p_path.c_str(), RTLD_NOW | RTLD_LOCAL);
	if (!_handle) {
		const char *why = dlerror();
		_error = why ? why : "dlopen failed";
		ERR_FAIL_V_MSG(false, godot::String("Can't open dynamic library: ") + p_path.c_str() + ". Error: " + _error.c_str());
	}
	void *symbol = dlsym(_handle, p_entry_symbol.c_str());
	if (!symbol) {
		_error = "entry symbol not found";
		dlclose(_handle);
		_handle = nullptr;
		ERR_FAIL_V_MSG(false, godot::String("GDExtension entry point '") + p_entry_symbol.c_str() + "' not found in library " + p_path.c_str() + ".");
	}
	GDExtensionInitializationFunction entry;
	std::memcpy(&entry, &symbol, sizeof(entry));
	if (!open_entry(entry)) {
		dlclose(_handle);
		_handle = nullptr;
		return false;
	}
	return true;
}

bool Extension::open_entry(GDExtensionInitializationFunction p_entry) {
	ERR_FAIL_COND_V_MSG(_open, false, "The extension is already open.");
	_init = {};
	GDExtensionBool ok = p_entry(&get_proc_address, this, &_init);
	if (!ok) {
		_error = "GDExtension initialization function returned an error.";
		ERR_PRINT("GDExtension initialization function '" + godot::String("init_nodes") + "' returned an error.");
		return false;
	}
	_open = true;
	_level = -1;
	return true;
}

void Extension::initialize() {
	ERR_FAIL_COND(!_open);
	int top = godot::Engine::get_singleton()->is_editor_hint() ? GDEXTENSION_INITIALIZATION_EDITOR : GDEXTENSION_INITIALIZATION_SCENE;
	// At start-up the engine initialises every level from CORE up; the
	// library's minimum level only matters to a library loaded later.
	for (int level = _level + 1; level <= top; level++) {
		_level = level;
		if (_init.initialize) {
			_init.initialize(_init.userdata, (GDExtensionInitializationLevel)level);
		}
	}
}

void Extension::deinitialize() {
	if (!_open) {
		return;
	}
	for (int level = _level; level >= 0; level--) {
		if (_init.deinitialize) {
			_init.deinitialize(_init.userdata, (GDExtensionInitializationLevel)level);
		}
		_level = level - 1;
	}
}

void Extension::close() {
	deinitialize();
	_open = false;
	if (_handle) {
		// The library's static destructors run now, after its de-initialisation:
		// whatever engine value they still release is reported.
		godot::_HostUnloadWatch::begin();
		dlclose(_handle);
		godot::_HostUnloadWatch::end();
		_handle = nullptr;
	}
}

} // namespace godot_host
