// Nodes: the scene tree's structure, names, owners, processing and its
// notifications.
#include <godot_cpp/classes/node.hpp>

#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/viewport.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

#include <algorithm>
#include <vector>

namespace godot {

namespace {

// Looked up every frame for every node: built once.
namespace virtual_name {
const StringName PROCESS("_process");
const StringName PHYSICS_PROCESS("_physics_process");
const StringName READY("_ready");
const StringName ENTER_TREE("_enter_tree");
const StringName EXIT_TREE("_exit_tree");
} // namespace virtual_name

uint64_t &unique_name_counter() {
	static uint64_t counter = 1;
	return counter;
}

// The children being taken out of their parents right now.
std::vector<Node *> &nodes_leaving() {
	static std::vector<Node *> nodes;
	return nodes;
}

} // namespace

Node::Node() = default;

Node::~Node() = default;

void Node::_host_predelete() {
	Object::_host_predelete();
	if (_parent) {
		_parent->remove_child(this);
	}
	// Free children from the last one, as the engine does.
	while (!_child_list().empty()) {
		Node *child = _children.back();
		memdelete(child);
	}
}

String Node::_host_to_string() {
	return String(_name) + ":" + Object::to_string();
}

void Node::_host_notification(int p_what) {
	Object::_host_notification(p_what);
	switch (p_what) {
		case NOTIFICATION_READY:
			if (_host_has_virtual(virtual_name::PROCESS)) {
				set_process(true);
			}
			if (_host_has_virtual(virtual_name::PHYSICS_PROCESS)) {
				set_physics_process(true);
			}
			if (_host_has_virtual(virtual_name::READY)) {
				_ready();
			}
			break;
		case NOTIFICATION_ENTER_TREE:
			if (_host_has_virtual(virtual_name::ENTER_TREE)) {
				_enter_tree();
			}
			break;
		case NOTIFICATION_EXIT_TREE:
			if (_host_has_virtual(virtual_name::EXIT_TREE)) {
				_exit_tree();
			}
			break;
		case NOTIFICATION_PROCESS:
			if (_host_has_virtual(virtual_name::PROCESS)) {
				_process(get_process_delta_time());
			}
			break;
		case NOTIFICATION_PHYSICS_PROCESS:
			if (_host_has_virtual(virtual_name::PHYSICS_PROCESS)) {
				_physics_process(get_physics_process_delta_time());
			}
			break;
		default:
			break;
	}
}

void Node::_validate_child_name(Node *p_child, bool p_force_readable) {
	auto taken = [&](const StringName &p_name) {
		for (Node *c : _child_list()) {
			if (c != p_child && c->_name == p_name) {
				return true;
			}
		}
		return false;
	};
	if (p_child->_name.is_empty()) {
		String base = p_child->get_class();
		if (p_force_readable) {
			String candidate = base;
			int n = 2;
			while (taken(candidate)) {
				candidate = base + itos(n++);
			}
			p_child->_name = candidate;
		} else {
			p_child->_name = "@" + base + "@" + itos((int64_t)unique_name_counter()++);
		}
		return;
	}
	if (!taken(p_child->_name)) {
		return;
	}
	String base = p_child->_name;
	if (p_force_readable) {
		int n = 2;
		String candidate = base + itos(n);
		while (taken(candidate)) {
			candidate = base + itos(++n);
		}
		p_child->_name = candidate;
	} else {
		p_child->_name = "@" + base + "@" + itos((int64_t)unique_name_counter()++);
	}
}

void Node::add_child(Node *p_node, bool p_force_readable_name, Node::InternalMode p_internal) {
	ERR_FAIL_NULL(p_node);
	ERR_FAIL_COND_MSG(p_node == this, "Can't add child '" + String(p_node->get_name()) + "' to itself.");
	ERR_FAIL_COND_MSG(p_node->_parent, "Can't add child '" + String(p_node->get_name()) + "' to '" + String(get_name()) + "', already has a parent '" + String(p_node->_parent->get_name()) + "'.");
	ERR_FAIL_COND_MSG(p_node->is_ancestor_of(this), "Can't add child '" + String(p_node->get_name()) + "' to '" + String(get_name()) + "' as it would result in a cyclic dependency since '" + String(p_node->get_name()) + "' is already a parent of '" + String(get_name()) + "'.");
	_validate_child_name(p_node, p_force_readable_name);
	p_node->_internal = p_internal;
	_child_list();
	size_t at = _children.size();
	if (p_internal == INTERNAL_MODE_FRONT) {
		auto it = std::find_if(_children.begin(), _children.end(), [](Node *c) { return c->_internal != INTERNAL_MODE_FRONT; });
		at = (size_t)(it - _children.begin());
	} else if (p_internal == INTERNAL_MODE_BACK) {
		_back_children++;
	} else if (_back_children > 0) {
		auto it = std::find_if(_children.begin(), _children.end(), [](Node *c) { return c->_internal == INTERNAL_MODE_BACK; });
		at = (size_t)(it - _children.begin());
	}
	_children.insert(_children.begin() + (std::ptrdiff_t)at, p_node);
	_renumber_children(at);
	p_node->_parent = this;
	p_node->_host_notification(NOTIFICATION_PARENTED);
	if (_tree) {
		p_node->_host_enter_tree(_tree);
	}
	emit_signal("child_order_changed");
}

void Node::add_sibling(Node *p_sibling, bool p_force_readable_name) {
	ERR_FAIL_NULL(p_sibling);
	ERR_FAIL_NULL_MSG(_parent, "Can't add sibling '" + String(p_sibling->get_name()) + "' to node '" + String(get_name()) + "' that has no parent.");
	_parent->add_child(p_sibling, p_force_readable_name);
	_parent->move_child(p_sibling, get_index() + 1);
}

bool Node::_is_child_at_index(const Node *p_node) const {
	return p_node->_parent == this && p_node->_index_in_parent < _children.size() && _children[p_node->_index_in_parent] == p_node;
}

void Node::remove_child(Node *p_node) {
	ERR_FAIL_NULL(p_node);
	ERR_FAIL_COND_MSG(!_is_child_at_index(p_node), "Cannot remove child node '" + String(p_node->get_name()) + "' as it is not a child of this node.");
	// As the engine, which blocks a parent while a child leaves it: a receiver
	// of the leaving's signals can't take the same child out (or move it) again.
	std::vector<Node *> &leaving = nodes_leaving();
	ERR_FAIL_COND_MSG(std::find(leaving.begin(), leaving.end(), p_node) != leaving.end(),
			"Parent node is busy adding/removing children, `remove_child()` can't be called at this time. Consider using `remove_child.call_deferred(child)` instead.");
	if (p_node->_tree) {
		leaving.push_back(p_node);
		p_node->_host_exit_tree();
		leaving.erase(std::find(leaving.begin(), leaving.end(), p_node));
	}
	// Exit handlers may have changed the list.
	if (_is_child_at_index(p_node)) {
		size_t at = p_node->_index_in_parent;
		if (at + 1 == _children.size()) {
			_children.pop_back();
			while (!_children.empty() && !_children.back()) {
				_children.pop_back();
				_child_holes--;
			}
		} else {
			_children[at] = nullptr;
			_child_holes++;
		}
	}
	if (p_node->_internal == INTERNAL_MODE_BACK) {
		_back_children--;
	}
	p_node->_parent = nullptr;
	p_node->_internal = INTERNAL_MODE_DISABLED;
	p_node->_host_notification(NOTIFICATION_UNPARENTED);
	// Owners must stay ancestors.
	p_node->_clear_invalid_owners(p_node);
	emit_signal("child_order_changed");
}

void Node::_clear_invalid_owners(Node *p_root) {
	if (_owner && !_owner->is_ancestor_of(this)) {
		_owner = nullptr;
	}
	(void)p_root;
	for (Node *c : _child_list()) {
		c->_clear_invalid_owners(p_root);
	}
}

void Node::reparent(Node *p_new_parent, bool p_keep_global_transform) {
	ERR_FAIL_NULL(p_new_parent);
	ERR_FAIL_NULL_MSG(_parent, "Node needs a parent to be reparented.");
	if (p_new_parent == _parent) {
		return;
	}
	if (p_keep_global_transform) {
		_host_reparent_keep_global(p_new_parent);
		return;
	}
	// Owners that are still ancestors after the move are kept, as the engine does.
	std::vector<Node *> subtree;
	_host_collect_tree(subtree);
	std::vector<Node *> owners;
	for (Node *n : subtree) {
		owners.push_back(n->_owner);
	}
	_parent->remove_child(this);
	p_new_parent->add_child(this);
	for (size_t i = 0; i < subtree.size(); i++) {
		if (owners[i] && owners[i]->is_ancestor_of(subtree[i])) {
			subtree[i]->_owner = owners[i];
		}
	}
}

void Node::_host_reparent_keep_global(Node *p_new_parent) {
	reparent(p_new_parent, false);
}

const std::vector<Node *> &Node::_child_list() const {
	if (_child_holes > 0) {
		_children.erase(std::remove(_children.begin(), _children.end(), nullptr), _children.end());
		_child_holes = 0;
		_renumber_children(0);
	}
	return _children;
}

void Node::_renumber_children(size_t p_from) const {
	for (size_t i = p_from; i < _children.size(); i++) {
		_children[i]->_index_in_parent = i;
	}
}

std::vector<Node *> Node::_visible_children(bool p_include_internal) const {
	if (p_include_internal) {
		return _child_list();
	}
	std::vector<Node *> out;
	for (Node *c : _child_list()) {
		if (c->_internal == INTERNAL_MODE_DISABLED) {
			out.push_back(c);
		}
	}
	return out;
}

int32_t Node::get_child_count(bool p_include_internal) const {
	return (int32_t)_visible_children(p_include_internal).size();
}

TypedArray<Node> Node::get_children(bool p_include_internal) const {
	TypedArray<Node> out;
	for (Node *c : _visible_children(p_include_internal)) {
		out.push_back(c);
	}
	return out;
}

Node *Node::get_child(int32_t p_idx, bool p_include_internal) const {
	std::vector<Node *> children = _visible_children(p_include_internal);
	int32_t n = (int32_t)children.size();
	if (p_idx < 0) {
		p_idx += n;
	}
	ERR_FAIL_INDEX_V(p_idx, n, nullptr);
	return children[(size_t)p_idx];
}

int32_t Node::get_index(bool p_include_internal) const {
	if (!_parent) {
		return -1;
	}
	std::vector<Node *> siblings = _parent->_visible_children(p_include_internal);
	auto it = std::find(siblings.begin(), siblings.end(), this);
	return it == siblings.end() ? -1 : (int32_t)(it - siblings.begin());
}

void Node::move_child(Node *p_child_node, int32_t p_to_index) {
	ERR_FAIL_NULL(p_child_node);
	_child_list();
	ERR_FAIL_COND_MSG(!_is_child_at_index(p_child_node), "Child is not a child of this node.");
	size_t from = p_child_node->_index_in_parent;
	_children.erase(_children.begin() + (std::ptrdiff_t)from);
	int32_t n = (int32_t)_children.size();
	if (p_to_index < 0) {
		p_to_index += n + 1;
	}
	p_to_index = std::max(0, std::min(p_to_index, n));
	_children.insert(_children.begin() + p_to_index, p_child_node);
	_renumber_children(std::min(from, (size_t)p_to_index));
	p_child_node->_host_notification(NOTIFICATION_MOVED_IN_PARENT);
	emit_signal("child_order_changed");
}

Node *Node::get_node_internal(const NodePath &p_path) const {
	Node *n = get_node_or_null(p_path);
	ERR_FAIL_NULL_V_MSG(n, nullptr, "Node not found: \"" + String(p_path) + "\" (relative to \"" + String(get_name()) + "\").");
	return n;
}

bool Node::has_node(const NodePath &p_path) const {
	return get_node_or_null(p_path) != nullptr;
}

Node *Node::get_node_or_null(const NodePath &p_path) const {
	if (p_path.is_empty()) {
		return nullptr;
	}
	const Node *current = this;
	if (p_path.is_absolute()) {
		current = this;
		while (current->_parent) {
			current = current->_parent;
		}
		// The first name of an absolute path is the root itself.
		if (p_path.get_name_count() == 0 || StringName(p_path.get_name(0)) != current->_name) {
			return nullptr;
		}
		for (int64_t i = 1; i < p_path.get_name_count() && current; i++) {
			StringName part = p_path.get_name(i);
			const Node *next = nullptr;
			for (Node *c : current->_child_list()) {
				if (c->_name == part) {
					next = c;
					break;
				}
			}
			current = next;
		}
		return const_cast<Node *>(current);
	}
	for (int64_t i = 0; i < p_path.get_name_count() && current; i++) {
		String part = p_path.get_name(i);
		if (part == ".") {
			continue;
		}
		if (part == "..") {
			current = current->_parent;
			continue;
		}
		const Node *next = nullptr;
		StringName part_name(part);
		for (Node *c : current->_child_list()) {
			if (c->_name == part_name) {
				next = c;
				break;
			}
		}
		current = next;
	}
	return const_cast<Node *>(current);
}

Node *Node::find_child(const String &p_pattern, bool p_recursive, bool p_owned) const {
	ERR_FAIL_COND_V(p_pattern.is_empty(), nullptr);
	for (Node *c : _child_list()) {
		if (p_owned && !c->_owner) {
			continue;
		}
		if (String(c->_name).match(p_pattern)) {
			return c;
		}
		if (!p_recursive) {
			continue;
		}
		Node *found = c->find_child(p_pattern, true, p_owned);
		if (found) {
			return found;
		}
	}
	return nullptr;
}

TypedArray<Node> Node::find_children(const String &p_pattern, const String &p_type, bool p_recursive, bool p_owned) const {
	TypedArray<Node> out;
	for (Node *c : _child_list()) {
		if (p_owned && !c->_owner) {
			continue;
		}
		if (p_pattern.is_empty() || String(c->_name).match(p_pattern)) {
			if (p_type.is_empty() || c->is_class(p_type)) {
				out.push_back(c);
			}
		}
		if (p_recursive) {
			out.append_array(c->find_children(p_pattern, p_type, true, p_owned));
		}
	}
	return out;
}

Node *Node::get_parent() const {
	return _parent;
}

bool Node::is_ancestor_of(Node *p_node) const {
	ERR_FAIL_NULL_V(p_node, false);
	for (const Node *p = p_node->_parent; p; p = p->_parent) {
		if (p == this) {
			return true;
		}
	}
	return false;
}

NodePath Node::get_path() const {
	ERR_FAIL_COND_V_MSG(!is_inside_tree(), NodePath(), "Cannot get path of node as it is not in a scene tree.");
	String path;
	for (const Node *n = this; n; n = n->_parent) {
		path = "/" + String(n->_name) + path;
	}
	return NodePath(path);
}

void Node::set_name(const String &p_name) {
	String name = p_name.replace(":", "").replace("/", "").replace("@", "").replace("\"", "").replace("%", "").replace(".", "");
	ERR_FAIL_COND_MSG(name.is_empty(), "Node name cannot be empty.");
	_name = StringName(name);
	if (_parent) {
		_parent->_validate_child_name(this, true);
	}
	emit_signal("renamed");
}

StringName Node::get_name() const {
	return _name;
}

void Node::set_owner(Node *p_owner) {
	if (!p_owner) {
		_owner = nullptr;
		return;
	}
	ERR_FAIL_COND(p_owner == this);
	ERR_FAIL_COND_MSG(!p_owner->is_ancestor_of(this), "Invalid owner. Owner must be an ancestor in the tree.");
	_owner = p_owner;
}

Node *Node::get_owner() const {
	return _owner;
}

void Node::set_scene_file_path(const String &p_scene_file_path) {
	_scene_file_path = p_scene_file_path;
}

String Node::get_scene_file_path() const {
	return _scene_file_path;
}

bool Node::is_inside_tree() const {
	return _tree != nullptr;
}

bool Node::is_node_ready() const {
	return _ready_done;
}

SceneTree *Node::get_tree() const {
	ERR_FAIL_NULL_V(_tree, nullptr);
	return _tree;
}

Viewport *Node::get_viewport() const {
	for (const Node *n = this; n; n = n->_parent) {
		if (const Viewport *v = Object::cast_to<Viewport>(n)) {
			return const_cast<Viewport *>(v);
		}
	}
	return nullptr;
}

void Node::queue_free() {
	if (is_queued_for_deletion()) {
		return;
	}
	SceneTree::_host_get_singleton()->queue_delete(this);
}

void Node::set_process(bool p_enable) {
	_processing = p_enable;
}

bool Node::is_processing() const {
	return _processing;
}

void Node::set_physics_process(bool p_enable) {
	_physics_processing = p_enable;
}

bool Node::is_physics_processing() const {
	return _physics_processing;
}

void Node::set_process_internal(bool p_enable) {
	_processing_internal = p_enable;
}

bool Node::is_processing_internal() const {
	return _processing_internal;
}

void Node::set_physics_process_internal(bool p_enable) {
	_physics_processing_internal = p_enable;
}

bool Node::is_physics_processing_internal() const {
	return _physics_processing_internal;
}

Node::ProcessMode Node::_resolved_process_mode() const {
	for (const Node *n = this; n; n = n->_parent) {
		if (n->_process_mode != PROCESS_MODE_INHERIT) {
			return n->_process_mode;
		}
	}
	return PROCESS_MODE_PAUSABLE;
}

void Node::set_process_mode(Node::ProcessMode p_mode) {
	if (_process_mode == p_mode) {
		return;
	}
	// As the engine: out of the tree the mode is only stored.
	if (!_tree) {
		_process_mode = p_mode;
		return;
	}
	ERR_FAIL_COND_MSG(p_mode == PROCESS_MODE_INHERIT && !_parent, "The root node can't be set to Inherit process mode.");
	// The nodes whose mode follows this one's hear whether they may now
	// process, with the tree paused as it is, and whether they are enabled.
	std::vector<Node *> subtree;
	_host_collect_tree(subtree);
	const bool tree_paused = _tree->is_paused();
	std::vector<bool> could;
	std::vector<bool> was_enabled;
	for (Node *n : subtree) {
		could.push_back(n->_host_can_process(tree_paused));
		was_enabled.push_back(n->_resolved_process_mode() != PROCESS_MODE_DISABLED);
	}
	_process_mode = p_mode;
	for (size_t i = 0; i < subtree.size(); i++) {
		const bool can = subtree[i]->_host_can_process(tree_paused);
		if (can != could[i]) {
			subtree[i]->_host_notification(can ? NOTIFICATION_UNPAUSED : NOTIFICATION_PAUSED);
		}
		const bool enabled = subtree[i]->_resolved_process_mode() != PROCESS_MODE_DISABLED;
		if (enabled != was_enabled[i]) {
			subtree[i]->_host_notification(enabled ? NOTIFICATION_ENABLED : NOTIFICATION_DISABLED);
		}
	}
}

Node::ProcessMode Node::get_process_mode() const {
	return _process_mode;
}

bool Node::_host_can_process(bool p_paused) const {
	ProcessMode mode = _resolved_process_mode();
	if (mode == PROCESS_MODE_DISABLED) {
		return false;
	}
	if (mode == PROCESS_MODE_ALWAYS) {
		return true;
	}
	return p_paused ? mode == PROCESS_MODE_WHEN_PAUSED : mode == PROCESS_MODE_PAUSABLE;
}

bool Node::can_process() const {
	ERR_FAIL_COND_V(!is_inside_tree(), false);
	return _host_can_process(_tree->is_paused());
}

double Node::get_process_delta_time() const {
	return _tree ? _tree->_host_process_delta() : 0.0;
}

double Node::get_physics_process_delta_time() const {
	return _tree ? _tree->_host_physics_delta() : 0.0;
}

void Node::print_tree_pretty() {
	std::vector<Node *> nodes;
	_host_collect_tree(nodes);
	for (Node *n : nodes) {
		int depth = 0;
		for (Node *p = n->_parent; p && p != _parent; p = p->_parent) {
			depth++;
		}
		String line;
		for (int i = 0; i < depth; i++) {
			line += "  ";
		}
		UtilityFunctions::print(line + String(n->_name));
	}
}

void Node::_host_collect_tree(std::vector<Node *> &r_nodes) {
	r_nodes.push_back(this);
	for (Node *c : _child_list()) {
		c->_host_collect_tree(r_nodes);
	}
}

void Node::_host_enter_tree(SceneTree *p_tree) {
	_tree = p_tree;
	_propagate_enter_tree();
	_propagate_ready();
}

void Node::_propagate_enter_tree() {
	if (!_tree && _parent) {
		_tree = _parent->_tree;
	}
	_host_notification(NOTIFICATION_ENTER_TREE);
	emit_signal("tree_entered");
	if (_tree) {
		_tree->_host_node_added(this);
	}
	if (_parent) {
		static const StringName *child_entered = new StringName("child_entered_tree");
		_parent->emit_signal(*child_entered, this);
	}
	// Children may be added or removed by a child's enter-tree work.
	std::vector<Node *> children = _child_list();
	for (Node *c : children) {
		if (c->_parent == this && !c->_tree) {
			c->_tree = _tree;
			c->_propagate_enter_tree();
		}
	}
}

void Node::_propagate_ready() {
	std::vector<Node *> children = _child_list();
	for (Node *c : children) {
		if (c->_parent == this) {
			c->_propagate_ready();
		}
	}
	if (!_ready_done && _tree) {
		_ready_done = true;
		_host_notification(NOTIFICATION_READY);
		emit_signal("ready");
	}
}

void Node::_host_exit_tree() {
	_propagate_exit_tree();
}

void Node::_propagate_exit_tree() {
	std::vector<Node *> children = _child_list();
	for (auto it = children.rbegin(); it != children.rend(); ++it) {
		if ((*it)->_parent == this && (*it)->_tree) {
			(*it)->_propagate_exit_tree();
		}
	}
	emit_signal("tree_exiting");
	_host_notification(NOTIFICATION_EXIT_TREE);
	SceneTree *tree = _tree;
	_tree = nullptr;
	if (tree) {
		tree->_host_node_removed(this);
	}
	if (_parent) {
		static const StringName *child_exiting = new StringName("child_exiting_tree");
		_parent->emit_signal(*child_exiting, this);
	}
	emit_signal("tree_exited");
}

GDHOST_REGISTER_ENGINE_CLASS(Node, "ready", "renamed", "tree_entered", "tree_exiting", "tree_exited", "child_entered_tree", "child_exiting_tree", "child_order_changed");

} // namespace godot
