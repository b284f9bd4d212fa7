#ifndef GODOT_SCENE_TREE_HPP
#define GODOT_SCENE_TREE_HPP

#include <godot_cpp/classes/main_loop.hpp>
#include <godot_cpp/classes/ref.hpp>

#include <vector>

namespace godot {

class Node;
class PackedScene;
class Window;

class HOST_API SceneTree : public MainLoop {
	GDEXTENSION_CLASS(SceneTree, MainLoop)

public:
	SceneTree();
	~SceneTree() override;

	Window *get_root() const;
	Node *get_current_scene() const;
	void set_current_scene(Node *p_child_node);
	void set_pause(bool p_enable);
	bool is_paused() const;
	void quit(int32_t p_exit_code = 0);
	void queue_delete(Object *p_object);
	int64_t get_frame() const;
	int32_t get_node_count() const;
	// The current scene leaves the tree at once; at the end of the frame it is
	// freed and the new one added, current from before it enters.
	Error change_scene_to_file(const String &p_path);
	Error change_scene_to_packed(const Ref<PackedScene> &p_packed_scene);
	Error reload_current_scene();

	// ---- engine side ----
	static SceneTree *_host_get_singleton();
	double _host_process_delta() const { return _process_delta; }
	double _host_physics_delta() const { return _physics_delta; }
	void _host_node_added(Node *p_node);
	void _host_node_removed(Node *p_node);
	// One physics step: contact signals, physics processing, then the bodies.
	void _host_physics_step(double p_delta);
	// One frame: processing and timers, deferred calls, then queued frees.
	void _host_process_frame(double p_delta);
	void _host_flush_delete_queue();
	// The end of a scene change: the outgoing scenes freed, the new one added.
	void _host_flush_scene_change();
	bool _host_quit_requested() const { return _quit_requested; }
	int32_t _host_exit_code() const { return _exit_code; }
	// Frees the current scene and everything else below the root, unpauses.
	void _host_reset();

private:
	Window *_root = nullptr;
	Node *_current_scene = nullptr;
	bool _paused = false;
	bool _quit_requested = false;
	int32_t _exit_code = 0;
	double _process_delta = 0.0;
	double _physics_delta = 0.0;
	int64_t _frame = 0;
	int32_t _node_count = 0;
	std::vector<uint64_t> _delete_queue;
	// A scene change waiting for the end of the frame: the new scene (not yet
	// in the tree) and the scenes it replaces (out of the tree, to be freed).
	uint64_t _pending_scene_id = 0;
	std::vector<uint64_t> _outgoing_scene_ids;
	// Reused by every frame's and step's walk over the tree.
	std::vector<Node *> _walk_nodes;
	std::vector<uint64_t> _walk_ids;
	bool _walking = false;

	void _notify_group(bool p_physics);
	void _free_outgoing_scenes();
};

} // namespace godot

#endif // GODOT_SCENE_TREE_HPP
