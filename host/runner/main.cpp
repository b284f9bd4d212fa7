// Headless runner: loads the game library as the engine does and plays a session.
#include <godot_cpp/core/class_db.hpp>
#include <godot_host/host.hpp>
#include <godot_host/log.hpp>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char **argv) {
	std::string library = MOSSGLIMMER_LIBRARY;
	for (int i = 1; i < argc; i++) {
		if (std::strcmp(argv[i], "--library") == 0 && i + 1 < argc) {
			library = argv[++i];
		}
	}
	godot_host::Log::set_echo(true);
	godot_host::Extension extension;
	if (!extension.open(library)) {
		std::fprintf(stderr, "could not load %s\n", library.c_str());
		return 1;
	}
	extension.initialize();
	std::printf("Registered classes:\n");
	for (const godot::StringName &name : godot::ClassDB::get_extension_classes()) {
		std::printf("  %s (%s)\n", godot::String(name).utf8().get_data(), godot::String(godot::ClassDB::get_parent_class(name)).utf8().get_data());
	}
	extension.close();
	return 0;
}
