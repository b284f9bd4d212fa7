// The XR manager's switch between the HUD and the world: while the HUD shows,
// the scene's top-level 3-D nodes and the player's skeleton are hidden.
#include "xr_manager.hpp"

#include "globals.hpp"
#include "hud.hpp"
#include "player.hpp"

#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/skeleton3d.hpp>
#include <godot_cpp/classes/window.hpp>
#include <godot_cpp/variant/typed_array.hpp>

#include <cstddef>

namespace godot {

namespace {

// The entry of p_id in p_ids, searched from p_from (where an unchanged order
// puts it) round to the start; the entry count if it has none.
size_t find_entry(const std::vector<uint64_t> &p_ids, uint64_t p_id, size_t p_from) {
	const size_t count = p_ids.size();
	for (size_t k = 0; k < count; k++) {
		const size_t entry = (p_from + k) % count;
		if (p_ids[entry] == p_id) {
			return entry;
		}
	}
	return count;
}

} // namespace

void XRManager::set_hud_visible(bool p_visible) {
	// Only the running manager switches: one that stood down has put its
	// world back already.
	if (hud_visible == p_visible || !is_running()) {
		return;
	}
	hud_visible = p_visible;
	// Every set_visible below can run a script that frees this manager, or
	// switches again (the inner switch then does the whole work), or takes
	// the game from it (its standing down puts the world back).
	const uint64_t self_id = get_instance_id();
	const uint32_t generation = ++switch_generation;

	if (p_visible) {
		save_world(world_root());
		world_hidden = true;
		for (size_t i = 0; i < saved_ids.size(); i++) {
			Node3D *child = live<Node3D>(saved_ids[i]);
			if (child) {
				child->set_visible(false);
				if (!still_exists(self_id) || switch_generation != generation) {
					return;
				}
			}
		}
	} else {
		restore_world(self_id, generation);
		if (!still_exists(self_id) || switch_generation != generation) {
			return;
		}
		world_hidden = false;
	}

	if (Player *body = get_player()) {
		Skeleton3D *skeleton = keep_or_find<Skeleton3D>(skeleton_id, body, "Skeleton3D");
		skeleton_id = skeleton ? skeleton->get_instance_id() : 0;
		if (skeleton) {
			skeleton->set_visible(!p_visible);
			if (!still_exists(self_id) || switch_generation != generation) {
				return;
			}
		}
	}
	// Missing since start-up, where it was reported, or freed since.
	if (HUD *display = get_hud()) {
		display->set_visible(p_visible);
	}
}

// The scene whose top-level 3-D nodes are the world: the current scene; or,
// when there is none (a scene switched by hand leaves none) or it is on its
// way out, the scene that this manager lies in.
Node *XRManager::world_root() {
	if (!is_inside_tree()) {
		return nullptr;
	}
	SceneTree *tree = get_tree();
	Node *scene = tree->get_current_scene();
	if (scene && !scene->is_queued_for_deletion()) {
		return scene;
	}
	Node *root = tree->get_root();
	Node *top = this;
	while (top->get_parent() && top->get_parent() != root) {
		top = top->get_parent();
	}
	return top->get_parent() == root ? top : nullptr;
}

// Saves the visibility of p_scene's children, entry for entry. Hiding again
// before a restore has ended (a script switched inside it) keeps the entries
// of the children not yet restored, which still hold their own visibility.
void XRManager::save_world(Node *p_scene) {
	std::vector<bool> earlier_visibility;
	std::vector<uint64_t> earlier_ids;
	if (world_hidden) {
		earlier_visibility.swap(saved_visibility);
		earlier_ids.swap(saved_ids);
	}
	saved_visibility.clear();
	saved_ids.clear();
	if (!p_scene) {
		return;
	}
	// Read before any set_visible: the array holds plain pointers.
	TypedArray<Node> children = p_scene->get_children();
	for (int64_t i = 0; i < children.size(); i++) {
		Node *node = Object::cast_to<Node>(children[i]);
		Node3D *child = Object::cast_to<Node3D>(node);
		const uint64_t id = node ? node->get_instance_id() : 0;
		bool visible = child ? child->is_visible() : false;
		const size_t earlier = find_entry(earlier_ids, id, (size_t)i);
		if (child && earlier < earlier_ids.size()) {
			visible = earlier_visibility[earlier];
		}
		saved_visibility.push_back(visible);
		saved_ids.push_back(id);
	}
}

// Gives each node that was hidden its saved visibility. Keyed by the node
// itself: one added while the HUD showed has no entry and keeps its own
// visibility, one freed meanwhile passes nothing to its neighbour, and the
// nodes are found even when the scene has stopped being the current one.
void XRManager::restore_world(uint64_t p_self_id, uint32_t p_generation) {
	for (size_t i = 0; i < saved_ids.size(); i++) {
		Node3D *child = live<Node3D>(saved_ids[i]);
		if (!child) {
			continue;
		}
		child->set_visible(saved_visibility[i]);
		if (!still_exists(p_self_id) || switch_generation != p_generation) {
			return;
		}
	}
}

// What the world switch did, put back by the hand-over at the end of the
// frame: each saved node that was visible shows again (one hidden before
// keeps what a script may have given it since), the skeleton shows and the
// HUD hides. Runs no script itself: a manager leaving the tree calls it.
void XRManager::remember_world_to_show() {
	if (!world_hidden && !hud_visible) {
		return;
	}
	WorldToShow world;
	for (size_t i = 0; i < saved_ids.size(); i++) {
		if (saved_visibility[i]) {
			world.node_ids.push_back(saved_ids[i]);
		}
	}
	Player *body = live<Player>(player_id);
	if (Skeleton3D *skeleton = body ? keep_or_find<Skeleton3D>(skeleton_id, body, "Skeleton3D") : live<Skeleton3D>(skeleton_id)) {
		world.skeleton_id = skeleton->get_instance_id();
	}
	if (hud && ObjectDB::get_instance(hud_id) == static_cast<Object *>(hud)) {
		world.hud_id = hud_id;
	}
	worlds_to_show.push_back(std::move(world));
	// The switch is over for this manager; one under way stops where it is.
	world_hidden = false;
	hud_visible = false;
	saved_visibility.clear();
	saved_ids.clear();
	switch_generation++;
}

void XRManager::show_worlds_that_went() {
	// Each step can run scripts that make a manager go (adding to the list).
	while (!worlds_to_show.empty()) {
		WorldToShow world = std::move(worlds_to_show.front());
		worlds_to_show.erase(worlds_to_show.begin());
		for (uint64_t id : world.node_ids) {
			if (Node3D *node = live<Node3D>(id)) {
				node->set_visible(true);
			}
		}
		if (Skeleton3D *skeleton = live<Skeleton3D>(world.skeleton_id)) {
			skeleton->set_visible(true);
		}
		if (HUD *display = live<HUD>(world.hud_id)) {
			display->set_visible(false);
		}
	}
}

} // namespace godot
