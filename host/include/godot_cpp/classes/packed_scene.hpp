#ifndef GODOT_PACKEDSCENE_HPP
#define GODOT_PACKEDSCENE_HPP

#include <godot_cpp/classes/resource.hpp>

#include <functional>

namespace godot {

class Node;

// A saved scene. The engine holds no scene files: a packed scene keeps a
// builder that makes the scene's node tree, as loading the file would.
class HOST_API PackedScene : public Resource {
	GDEXTENSION_CLASS(PackedScene, Resource)

public:
	enum GenEditState {
		GEN_EDIT_STATE_DISABLED = 0,
		GEN_EDIT_STATE_INSTANCE = 1,
		GEN_EDIT_STATE_MAIN = 2,
		GEN_EDIT_STATE_MAIN_INHERITED = 3,
	};

	// A new instance of the scene; its nodes are owned by its root.
	Node *instantiate(PackedScene::GenEditState p_edit_state = (PackedScene::GenEditState)0) const;
	bool can_instantiate() const;

	// ---- engine side ----
	// Returns a new, detached root with its nodes below it. Every node that it
	// leaves without an owner gets the root as owner.
	using Builder = std::function<Node *()>;
	void _host_set_builder(Builder p_builder);
	void _host_copy_from(const Resource &p_from, bool p_subresources) override;

private:
	Builder _builder;
};

} // namespace godot

VARIANT_ENUM_CAST(PackedScene::GenEditState);

#endif // GODOT_PACKEDSCENE_HPP
