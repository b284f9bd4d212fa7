// The binding side of the extension entry: what an extension's entry
// function builds through GDExtensionBinding::InitObject.
#include <godot_cpp/godot.hpp>

#include <godot_cpp/core/class_db.hpp>

#include <cstdio>
#include <memory>
#include <vector>

namespace godot {

namespace {

GDExtensionInterfacePrintError print_error_fn = nullptr;
int level_initialized[MODULE_INITIALIZATION_LEVEL_MAX] = {};

// The binding keeps every InitData it hands out for the life of the library.
std::vector<std::unique_ptr<GDExtensionBinding::InitData>> &init_data_list() {
	static std::vector<std::unique_ptr<GDExtensionBinding::InitData>> list;
	return list;
}

#define ERR_PRINT_EARLY(m_msg) print_error_fn(m_msg, FUNCTION_STR, __FILE__, __LINE__, false)

} // namespace

GDExtensionBinding::InitObject::InitObject(GDExtensionInterfaceGetProcAddress p_get_proc_address, GDExtensionClassLibraryPtr p_library, GDExtensionInitialization *r_initialization) :
		get_proc_address(p_get_proc_address), library(p_library), initialization(r_initialization) {
	init_data_list().push_back(std::make_unique<InitData>());
	init_data = init_data_list().back().get();
}

void GDExtensionBinding::InitObject::register_initializer(Callback p_init) const {
	init_data->init_callback = p_init;
}

void GDExtensionBinding::InitObject::register_terminator(Callback p_terminate) const {
	init_data->terminate_callback = p_terminate;
}

void GDExtensionBinding::InitObject::set_minimum_library_initialization_level(ModuleInitializationLevel p_level) const {
	init_data->minimum_initialization_level = static_cast<GDExtensionInitializationLevel>(p_level);
}

GDExtensionBool GDExtensionBinding::InitObject::init() const {
	return GDExtensionBinding::init(get_proc_address, library, init_data, initialization);
}

GDExtensionBool GDExtensionBinding::init(GDExtensionInterfaceGetProcAddress p_get_proc_address, GDExtensionClassLibraryPtr, InitData *p_init_data, GDExtensionInitialization *r_initialization) {
	// The error printer comes first: everything after it reports through it.
	print_error_fn = reinterpret_cast<GDExtensionInterfacePrintError>(p_get_proc_address("print_error"));
	if (!print_error_fn) {
		std::printf("ERROR: Unable to load GDExtension interface function print_error().\n");
		return false;
	}
	auto get_godot_version = reinterpret_cast<GDExtensionInterfaceGetGodotVersion>(p_get_proc_address("get_godot_version"));
	if (!get_godot_version) {
		ERR_PRINT_EARLY("Unable to load GDExtension interface function get_godot_version()");
		return false;
	}
	GDExtensionGodotVersion version = {};
	get_godot_version(&version);
	bool compatible;
	if (version.major != GODOT_VERSION_MAJOR) {
		compatible = version.major > GODOT_VERSION_MAJOR;
	} else if (version.minor != GODOT_VERSION_MINOR) {
		compatible = version.minor > GODOT_VERSION_MINOR;
	} else {
		compatible = version.patch >= GODOT_VERSION_PATCH;
	}
	if (!compatible) {
		char msg[128];
		std::snprintf(msg, sizeof(msg), "Cannot load a GDExtension built for Godot %d.%d.%d using an older version of Godot (%d.%d.%d).",
				GODOT_VERSION_MAJOR, GODOT_VERSION_MINOR, GODOT_VERSION_PATCH, (int)version.major, (int)version.minor, (int)version.patch);
		ERR_PRINT_EARLY(msg);
		return false;
	}
	if (!p_init_data || !p_init_data->init_callback) {
		ERR_PRINT_EARLY("Initialization callback must be defined.");
		return false;
	}
	r_initialization->initialize = initialize_level;
	r_initialization->deinitialize = deinitialize_level;
	r_initialization->userdata = p_init_data;
	r_initialization->minimum_initialization_level = p_init_data->minimum_initialization_level;
	return true;
}

void GDExtensionBinding::initialize_level(void *p_userdata, GDExtensionInitializationLevel p_level) {
	ClassDB::initialize(static_cast<ModuleInitializationLevel>(p_level));
	InitData *data = static_cast<InitData *>(p_userdata);
	if (data && data->init_callback) {
		data->init_callback(static_cast<ModuleInitializationLevel>(p_level));
	}
	level_initialized[p_level]++;
}

void GDExtensionBinding::deinitialize_level(void *p_userdata, GDExtensionInitializationLevel p_level) {
	InitData *data = static_cast<InitData *>(p_userdata);
	if (data && data->terminate_callback) {
		data->terminate_callback(static_cast<ModuleInitializationLevel>(p_level));
	}
	level_initialized[p_level]--;
	if (level_initialized[p_level] <= 0) {
		level_initialized[p_level] = 0;
		ClassDB::deinitialize(static_cast<ModuleInitializationLevel>(p_level));
	}
}

} // namespace godot
