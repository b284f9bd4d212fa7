#ifndef GODOT_HOST_HOST_HPP
#define GODOT_HOST_HOST_HPP

#include <gdextension_interface.h>
#include <godot_cpp/core/defs.hpp>

#include <string>

namespace godot {
class SceneTree;
class Node;
} // namespace godot

namespace godot_host {

// The engine's side of an extension: loading, entry, and the level callbacks.
class HOST_API Extension {
public:
	Extension() = default;
	Extension(const Extension &) = delete;
	Extension &operator=(const Extension &) = delete;
	~Extension();

	// Loads a library with dlopen and calls its entry symbol.
	bool open(const std::string &p_path, const std::string &p_entry_symbol = "init_nodes");
	// Calls an entry function linked into this program.
	bool open_entry(GDExtensionInitializationFunction p_entry);
	// Initialises the levels upward (EDITOR only when the engine runs as the editor).
	void initialize();
	// Deinitialises the initialised levels downward.
	void deinitialize();
	// Deinitialises and unloads.
	void close();

	bool is_open() const { return _open; }
	int initialized_level() const { return _level; }
	GDExtensionInitializationLevel minimum_level() const { return _init.minimum_initialization_level; }
	const std::string &last_error() const { return _error; }

private:
	void *_handle = nullptr;
	bool _open = false;
	int _level = -1; // highest initialised level
	GDExtensionInitialization _init = {};
	std::string _error;
};

// Engine-wide settings and the main loop, for tests and the runner.
class HOST_API Host {
public:
	// The version the engine reports to extensions.
	static void set_engine_version(uint32_t p_major, uint32_t p_minor, uint32_t p_patch);
	static void set_editor_hint(bool p_editor);
	static bool is_editor_hint();

	static godot::SceneTree *tree();
	// Adds a scene below the root, makes it the current scene; it enters the tree.
	static void set_current_scene(godot::Node *p_scene);
	// Frees every scene, unpauses and restores engine defaults.
	static void reset();

	// One main-loop iteration: the physics steps due at the engine's tick rate
	// for this much time, then one frame.
	static void iteration(double p_frame_delta);
	// Iterations of the given frame time until the given time has passed.
	static void advance(double p_seconds, double p_frame_delta);

	// A machine draws no faster than this, whatever frame limit is set.
	static constexpr int32_t FASTEST_FRAME_RATE = 1000;
	// The time a frame takes as the engine paces it: one over the frame
	// limit (`Engine::set_max_fps`) when one is set, else the given time.
	static double frame_delta(double p_unlimited_delta);
	// One iteration paced as the engine paces it; returns its frame time.
	static double paced_iteration(double p_unlimited_delta);
	// The parts of an iteration, for tests that step them alone.
	static void physics_step(double p_delta);
	static void process_frame(double p_delta);
};

} // namespace godot_host

#endif // GODOT_HOST_HOST_HPP
