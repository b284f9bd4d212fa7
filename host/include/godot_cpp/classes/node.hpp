#ifndef GODOT_NODE_HPP
#define GODOT_NODE_HPP

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/variant/node_path.hpp>
#include <godot_cpp/variant/packed_string_array.hpp>
#include <godot_cpp/variant/typed_array.hpp>

#include <vector>

namespace godot {

class SceneTree;
class Viewport;

class HOST_API Node : public Object {
	GDEXTENSION_CLASS(Node, Object)

public:
	enum ProcessMode {
		PROCESS_MODE_INHERIT = 0,
		PROCESS_MODE_PAUSABLE = 1,
		PROCESS_MODE_WHEN_PAUSED = 2,
		PROCESS_MODE_ALWAYS = 3,
		PROCESS_MODE_DISABLED = 4,
	};

	enum InternalMode {
		INTERNAL_MODE_DISABLED = 0,
		INTERNAL_MODE_FRONT = 1,
		INTERNAL_MODE_BACK = 2,
	};

	static const int NOTIFICATION_ENTER_TREE = 10;
	static const int NOTIFICATION_EXIT_TREE = 11;
	static const int NOTIFICATION_MOVED_IN_PARENT = 12;
	static const int NOTIFICATION_READY = 13;
	static const int NOTIFICATION_PAUSED = 14;
	static const int NOTIFICATION_UNPAUSED = 15;
	static const int NOTIFICATION_PHYSICS_PROCESS = 16;
	static const int NOTIFICATION_PROCESS = 17;
	static const int NOTIFICATION_PARENTED = 18;
	static const int NOTIFICATION_UNPARENTED = 19;
	static const int NOTIFICATION_SCENE_INSTANTIATED = 20;
	static const int NOTIFICATION_INTERNAL_PROCESS = 25;
	static const int NOTIFICATION_INTERNAL_PHYSICS_PROCESS = 26;
	static const int NOTIFICATION_POST_ENTER_TREE = 27;
	static const int NOTIFICATION_DISABLED = 28;
	static const int NOTIFICATION_ENABLED = 29;

	Node();
	~Node() override;

	void add_child(Node *p_node, bool p_force_readable_name = false, Node::InternalMode p_internal = (Node::InternalMode)0);
	void add_sibling(Node *p_sibling, bool p_force_readable_name = false);
	void remove_child(Node *p_node);
	void reparent(Node *p_new_parent, bool p_keep_global_transform = true);
	int32_t get_child_count(bool p_include_internal = false) const;
	TypedArray<Node> get_children(bool p_include_internal = false) const;
	Node *get_child(int32_t p_idx, bool p_include_internal = false) const;
	bool has_node(const NodePath &p_path) const;
	Node *get_node_or_null(const NodePath &p_path) const;
	template <typename T>
	T *get_node(const NodePath &p_path) const {
		return Object::cast_to<T>(get_node_internal(p_path));
	}
	Node *get_node_internal(const NodePath &p_path) const;
	Node *find_child(const String &p_pattern, bool p_recursive = true, bool p_owned = true) const;
	TypedArray<Node> find_children(const String &p_pattern, const String &p_type = String(), bool p_recursive = true, bool p_owned = true) const;
	Node *get_parent() const;
	bool is_ancestor_of(Node *p_node) const;
	int32_t get_index(bool p_include_internal = false) const;
	void move_child(Node *p_child_node, int32_t p_to_index);
	NodePath get_path() const;

	void set_name(const String &p_name);
	StringName get_name() const;
	void set_owner(Node *p_owner);
	Node *get_owner() const;
	void set_scene_file_path(const String &p_scene_file_path);
	String get_scene_file_path() const;

	bool is_inside_tree() const;
	bool is_node_ready() const;
	SceneTree *get_tree() const;
	Viewport *get_viewport() const;

	void queue_free();

	void set_process(bool p_enable);
	bool is_processing() const;
	void set_physics_process(bool p_enable);
	bool is_physics_processing() const;
	void set_process_internal(bool p_enable);
	bool is_processing_internal() const;
	void set_physics_process_internal(bool p_enable);
	bool is_physics_processing_internal() const;
	void set_process_mode(Node::ProcessMode p_mode);
	Node::ProcessMode get_process_mode() const;
	bool can_process() const;
	double get_process_delta_time() const;
	double get_physics_process_delta_time() const;

	void print_tree_pretty();

	virtual void _process(double) {}
	virtual void _physics_process(double) {}
	virtual void _enter_tree() {}
	virtual void _exit_tree() {}
	virtual void _ready() {}
	virtual PackedStringArray _get_configuration_warnings() const { return PackedStringArray(); }

	// ---- engine side ----
	void _host_notification(int p_what) override;
	void _host_predelete() override;
	String _host_to_string();
	// Depth-first, parents before children, in child order.
	void _host_collect_tree(std::vector<Node *> &r_nodes);
	// Whether the node would process with the tree paused or not.
	bool _host_can_process(bool p_paused) const;
	void _host_enter_tree(SceneTree *p_tree);
	void _host_exit_tree();
	virtual void _host_reparent_keep_global(Node *p_new_parent);

protected:
	template <typename T, typename B>
	static void register_virtuals() {
		Object::register_virtuals<T, B>();
		GDHOST_BIND_VIRTUAL(Node, _process);
		GDHOST_BIND_VIRTUAL(Node, _physics_process);
		GDHOST_BIND_VIRTUAL(Node, _enter_tree);
		GDHOST_BIND_VIRTUAL(Node, _exit_tree);
		GDHOST_BIND_VIRTUAL(Node, _ready);
		GDHOST_BIND_VIRTUAL(Node, _get_configuration_warnings);
	}

private:
	StringName _name;
	String _scene_file_path;
	Node *_parent = nullptr;
	Node *_owner = nullptr;
	// In order. A child removed from the middle leaves a hole (null) that the
	// next read of the list closes, so that freeing many children costs each
	// only its own removal. Read through _child_list().
	mutable std::vector<Node *> _children;
	mutable size_t _child_holes = 0;
	// Its slot in the parent's _children.
	mutable size_t _index_in_parent = 0;
	// Children added at the back as internal ones.
	size_t _back_children = 0;
	InternalMode _internal = INTERNAL_MODE_DISABLED;
	SceneTree *_tree = nullptr;
	bool _ready_done = false;
	bool _processing = false;
	bool _physics_processing = false;
	bool _processing_internal = false;
	bool _physics_processing_internal = false;
	bool _in_exit = false;
	ProcessMode _process_mode = PROCESS_MODE_INHERIT;

	void _propagate_enter_tree();
	void _propagate_ready();
	void _propagate_exit_tree();
	void _validate_child_name(Node *p_child, bool p_force_readable);
	void _clear_invalid_owners(Node *p_root);
	ProcessMode _resolved_process_mode() const;
	std::vector<Node *> _visible_children(bool p_include_internal) const;
	const std::vector<Node *> &_child_list() const;
	bool _is_child_at_index(const Node *p_node) const;
	void _renumber_children(size_t p_from) const;
};

} // namespace godot

#endif // GODOT_NODE_HPP
