// The scene tree and the order of one main-loop iteration.
#include <godot_cpp/classes/scene_tree.hpp>

#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/classes/packed_scene.hpp>
#include <godot_cpp/classes/resource_loader.hpp>
#include <godot_cpp/classes/window.hpp>
#include <godot_host/deferred_calls.hpp>
#include <godot_host/physics_world.hpp>

#include <algorithm>

namespace godot {

SceneTree::SceneTree() {
	_root = memnew(Window);
	_root->set_name("root");
	// As the engine: the tree's nodes stop with the pause unless told otherwise.
	_root->set_process_mode(Node::PROCESS_MODE_PAUSABLE);
	_root->_host_enter_tree(this);
}

SceneTree::~SceneTree() {
	if (_root) {
		memdelete(_root);
		_root = nullptr;
	}
}

SceneTree *SceneTree::_host_get_singleton() {
	// Lives for the whole process, like the engine's main loop.
	static SceneTree *tree = memnew(SceneTree);
	return tree;
}

Window *SceneTree::get_root() const {
	return _root;
}

Node *SceneTree::get_current_scene() const {
	return _current_scene;
}

void SceneTree::set_current_scene(Node *p_child_node) {
	ERR_FAIL_COND_MSG(p_child_node && p_child_node->get_parent() != _root, "The current scene must be a child of the root.");
	_current_scene = p_child_node;
}

void SceneTree::set_pause(bool p_enable) {
	if (p_enable == _paused) {
		return;
	}
	std::vector<Node *> nodes;
	_root->_host_collect_tree(nodes);
	std::vector<bool> could;
	for (Node *n : nodes) {
		could.push_back(n->_host_can_process(_paused));
	}
	_paused = p_enable;
	for (size_t i = 0; i < nodes.size(); i++) {
		bool can = nodes[i]->_host_can_process(_paused);
		if (can != could[i]) {
			nodes[i]->_host_notification(can ? Node::NOTIFICATION_UNPAUSED : Node::NOTIFICATION_PAUSED);
		}
	}
}

bool SceneTree::is_paused() const {
	return _paused;
}

void SceneTree::quit(int32_t p_exit_code) {
	_quit_requested = true;
	_exit_code = p_exit_code;
}

void SceneTree::queue_delete(Object *p_object) {
	ERR_FAIL_NULL(p_object);
	if (p_object->is_queued_for_deletion()) {
		return;
	}
	p_object->_host_set_queued_for_deletion(true);
	_delete_queue.push_back(p_object->get_instance_id());
}

int64_t SceneTree::get_frame() const {
	return _frame;
}

int32_t SceneTree::get_node_count() const {
	return _node_count;
}

Error SceneTree::change_scene_to_file(const String &p_path) {
	Ref<PackedScene> scene = ResourceLoader::get_singleton()->load(p_path);
	if (scene.is_null()) {
		return ERR_CANT_OPEN;
	}
	return change_scene_to_packed(scene);
}

Error SceneTree::change_scene_to_packed(const Ref<PackedScene> &p_packed_scene) {
	ERR_FAIL_COND_V_MSG(p_packed_scene.is_null(), ERR_INVALID_PARAMETER, "Can't change to a null scene. Use unload_current_scene() if you wish to unload it.");
	Node *new_scene = p_packed_scene->instantiate();
	ERR_FAIL_NULL_V(new_scene, ERR_CANT_CREATE);
	if (Node *outgoing = _current_scene) {
		_outgoing_scene_ids.push_back(outgoing->get_instance_id());
		// Its exit can run scripts, a change of scene among them.
		_root->remove_child(outgoing);
	}
	_current_scene = nullptr;
	// A change still pending gives way to this one.
	if (Object *earlier = ObjectDB::get_instance(_pending_scene_id)) {
		queue_delete(earlier);
	}
	_pending_scene_id = new_scene->get_instance_id();
	return OK;
}

Error SceneTree::reload_current_scene() {
	ERR_FAIL_NULL_V(_current_scene, ERR_UNCONFIGURED);
	return change_scene_to_file(_current_scene->get_scene_file_path());
}

void SceneTree::_free_outgoing_scenes() {
	// Freeing one can run scripts that change the scene again.
	while (!_outgoing_scene_ids.empty()) {
		std::vector<uint64_t> outgoing;
		outgoing.swap(_outgoing_scene_ids);
		for (uint64_t id : outgoing) {
			// Gone already if a script freed it meanwhile.
			if (Object *scene = ObjectDB::get_instance(id)) {
				memdelete(scene);
			}
		}
	}
}

void SceneTree::_host_flush_scene_change() {
	if (_pending_scene_id == 0) {
		return;
	}
	_free_outgoing_scenes();
	Node *scene = Object::cast_to<Node>(ObjectDB::get_instance(_pending_scene_id));
	_pending_scene_id = 0;
	if (!scene || scene->get_parent()) {
		return;
	}
	// Current before it enters: its nodes' _ready see it.
	_current_scene = scene;
	_root->add_child(scene);
}

void SceneTree::_host_node_added(Node *p_node) {
	_node_count++;
	// Interned once for the process, as the engine's names are.
	static const StringName *node_added = new StringName("node_added");
	emit_signal(*node_added, p_node);
}

void SceneTree::_host_node_removed(Node *p_node) {
	_node_count--;
	if (p_node == _current_scene) {
		_current_scene = nullptr;
	}
	static const StringName *node_removed = new StringName("node_removed");
	emit_signal(*node_removed, p_node);
}

void SceneTree::_notify_group(bool p_physics) {
	// The walk's lists keep their room from one frame to the next; a walk
	// started from inside a callback gets lists of its own.
	std::vector<Node *> own_nodes;
	std::vector<uint64_t> own_ids;
	const bool nested = _walking;
	std::vector<Node *> &nodes = nested ? own_nodes : _walk_nodes;
	std::vector<uint64_t> &ids = nested ? own_ids : _walk_ids;
	nodes.clear();
	ids.clear();
	_walking = true;
	_root->_host_collect_tree(nodes);
	for (Node *n : nodes) {
		ids.push_back(n->get_instance_id());
	}
	for (size_t i = 0; i < nodes.size(); i++) {
		Node *n = nodes[i];
		// Earlier callbacks may have freed or removed it.
		if (ObjectDB::get_instance(ids[i]) != n || !n->is_inside_tree() || !n->_host_can_process(_paused)) {
			continue;
		}
		if (p_physics) {
			if (n->is_physics_processing_internal()) {
				n->_host_notification(Node::NOTIFICATION_INTERNAL_PHYSICS_PROCESS);
			}
			if (ObjectDB::get_instance(ids[i]) == n && n->is_inside_tree() && n->is_physics_processing()) {
				n->_host_notification(Node::NOTIFICATION_PHYSICS_PROCESS);
			}
		} else {
			if (n->is_processing_internal()) {
				n->_host_notification(Node::NOTIFICATION_INTERNAL_PROCESS);
			}
			if (ObjectDB::get_instance(ids[i]) == n && n->is_inside_tree() && n->is_processing()) {
				n->_host_notification(Node::NOTIFICATION_PROCESS);
			}
		}
	}
	_walking = nested;
}

void SceneTree::_host_physics_step(double p_delta) {
	_physics_delta = p_delta;
	// Every step, paused or not, before any node's physics processing.
	static const StringName *physics_frame = new StringName("physics_frame");
	emit_signal(*physics_frame);
	// A paused tree stops the physics server: no contacts and no body steps.
	if (!_paused) {
		godot_host::PhysicsWorld::deliver_contact_signals();
	}
	_notify_group(true);
	godot_host::DeferredCalls::flush();
	if (!_paused) {
		godot_host::PhysicsWorld::step_bodies(p_delta);
	}
	Engine::get_singleton()->_host_count_physics_frame();
}

void SceneTree::_host_process_frame(double p_delta) {
	_process_delta = p_delta;
	// Every frame, paused or not, before any node's processing.
	static const StringName *process_frame = new StringName("process_frame");
	emit_signal(*process_frame);
	_notify_group(false);
	godot_host::DeferredCalls::flush();
	_host_flush_delete_queue();
	_host_flush_scene_change();
	_frame++;
	Engine::get_singleton()->_host_count_process_frame();
}

void SceneTree::_host_flush_delete_queue() {
	while (!_delete_queue.empty()) {
		std::vector<uint64_t> queue;
		queue.swap(_delete_queue);
		for (uint64_t id : queue) {
			Object *o = ObjectDB::get_instance(id);
			if (o) {
				memdelete(o);
			}
		}
	}
}

void SceneTree::_host_reset() {
	while (_root->get_child_count(true) > 0) {
		Node *child = _root->get_child(_root->get_child_count(true) - 1, true);
		memdelete(child);
	}
	_current_scene = nullptr;
	_free_outgoing_scenes();
	if (Object *pending = ObjectDB::get_instance(_pending_scene_id)) {
		memdelete(pending);
	}
	_pending_scene_id = 0;
	_paused = false;
	_quit_requested = false;
	_exit_code = 0;
	_root->set_use_xr(false);
	_root->set_vrs_mode(Viewport::VRS_DISABLED);
	godot_host::DeferredCalls::flush();
	_host_flush_delete_queue();
}

GDHOST_REGISTER_ENGINE_CLASS(MainLoop);
GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(SceneTree, "node_added", "node_removed", "process_frame", "physics_frame", "tree_changed");

} // namespace godot
