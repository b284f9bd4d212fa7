// Packed scenes: instancing builds the saved node tree anew each time.
#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/classes/packed_scene.hpp>

#include <godot_cpp/core/class_db.hpp>

#include <vector>

namespace godot {

namespace {

void own_descendants(Node *p_node, Node *p_root) {
	for (int32_t i = 0; i < p_node->get_child_count(true); i++) {
		Node *child = p_node->get_child(i, true);
		if (!child->get_owner()) {
			child->set_owner(p_root);
		}
		own_descendants(child, p_root);
	}
}

} // namespace

Node *PackedScene::instantiate(PackedScene::GenEditState) const {
	ERR_FAIL_COND_V(!can_instantiate(), nullptr);
	Node *root = _builder();
	ERR_FAIL_NULL_V_MSG(root, nullptr, "Failed to instantiate scene state of \"" + get_path() + "\", node count is 0. Make sure the PackedScene resource is valid.");
	ERR_FAIL_COND_V_MSG(root->get_parent() != nullptr, nullptr, "A scene builder must return a detached root.");
	own_descendants(root, root);
	// The top node of an instance knows the file it came from (empty for a
	// scene made in code), which is what reloading the current scene reads.
	root->set_scene_file_path(get_path());
	root->notification(Node::NOTIFICATION_SCENE_INSTANTIATED);
	return root;
}

bool PackedScene::can_instantiate() const {
	return (bool)_builder;
}

void PackedScene::_host_set_builder(Builder p_builder) {
	_builder = std::move(p_builder);
}

void PackedScene::_host_copy_from(const Resource &p_from, bool p_subresources) {
	Resource::_host_copy_from(p_from, p_subresources);
	const PackedScene *from = Object::cast_to<PackedScene>(&p_from);
	ERR_FAIL_NULL(from);
	_builder = from->_builder;
}

GDHOST_REGISTER_ENGINE_CLASS(PackedScene);

} // namespace godot
