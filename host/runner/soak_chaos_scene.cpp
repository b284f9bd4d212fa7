// The adversary's side of the scene: the records it keeps true as nodes go,
// what it adds back later as a scene would, and the greeting it lets play
// through undisturbed.
#include "soak_chaos.hpp"
#include "soak_state.hpp"

#include <godot_cpp/classes/bone_attachment3d.hpp>
#include <godot_cpp/classes/sphere_shape3d.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/object.hpp>

using namespace godot;

namespace {

// What was freed comes back this long after.
constexpr double READD_AFTER = 0.5;
constexpr double READD_SPREAD = 2.5;
// A greeting is played through at least this often.
constexpr double GREETING_CHECK_EVERY = 60.0;
// How often a manager that went is missed for long, and for how long at most.
constexpr double LONG_WITHOUT_MANAGER = 0.3;
constexpr double WITHOUT_MANAGER_MOST = 20.0;

uint64_t id_of(Object *p_object) {
	return p_object ? p_object->get_instance_id() : 0;
}

} // namespace

void Chaos::_remember_records() {
	DemoScene &s = _scene;
	_record_ids.player = id_of(s.player);
	_record_ids.manager = id_of(s.manager);
	_record_ids.hud = id_of(s.hud);
	_record_ids.camera = id_of(s.camera);
	_record_ids.skeleton = id_of(s.skeleton);
	for (int side = 0; side < 2; side++) {
		_record_ids.hands[side] = id_of(s.hands[side]);
		_record_ids.controllers[side] = id_of(s.controllers[side]);
	}
	_remember_new_crates();
}

void Chaos::_remember_new_crates() {
	for (RigidBody3D *crate : _scene.crates) {
		if (!_crate_ids.count(crate)) {
			_crate_ids[crate] = crate->get_instance_id();
			_masses_seen[crate->get_instance_id()] = { (double)crate->get_mass() };
		}
	}
}

void Chaos::_forget_dead_records() {
	DemoScene &s = _scene;
	auto gone = [](Object *p_object, uint64_t p_id) { return p_object && ObjectDB::get_instance(p_id) != p_object; };
	const double later = _session.time() + READD_AFTER + READD_SPREAD * std::uniform_real_distribution<double>(0.0, 1.0)(_rng);
	auto schedule = [&](Readd p_what) {
		if (_readd_due[p_what] < 0) {
			_readd_due[p_what] = later;
		}
	};
	if (gone(s.player, _record_ids.player)) {
		s.player = nullptr;
		schedule(READD_PLAYER);
		// Its contacts went with it.
		_soak._touches.clear();
	}
	if (gone(s.manager, _record_ids.manager)) {
		s.manager = nullptr;
		// Now and then the scene goes on without one for a good while: what
		// the manager paused, muted or hid must not stay so.
		if (_readd_due[READD_MANAGER] < 0 && _chance(LONG_WITHOUT_MANAGER)) {
			_readd_due[READD_MANAGER] = _session.time() + WITHOUT_MANAGER_MOST * (0.5 + 0.5 * std::uniform_real_distribution<double>(0.0, 1.0)(_rng));
		}
		schedule(READD_MANAGER);
	}
	if (gone(s.camera, _record_ids.camera)) {
		s.camera = nullptr;
	}
	if (gone(s.skeleton, _record_ids.skeleton)) {
		s.skeleton = nullptr;
	}
	if (gone(s.hud, _record_ids.hud)) {
		s.hud = nullptr;
		if (s.player) {
			schedule(READD_HUD);
		}
	}
	for (int side = 0; side < 2; side++) {
		if (gone(s.hands[side], _record_ids.hands[side])) {
			s.hands[side] = nullptr;
		}
		if (gone(s.controllers[side], _record_ids.controllers[side])) {
			s.controllers[side] = nullptr;
			if (s.player) {
				schedule(READD_CONTROLLERS);
			}
		}
	}
	// Bodies: freed ones leave the soak's list; records of bodies the soak
	// itself forgot go too, so that a new body at the same address is new.
	for (size_t i = 0; i < s.crates.size();) {
		auto it = _crate_ids.find(s.crates[i]);
		if (it != _crate_ids.end() && ObjectDB::get_instance(it->second) != s.crates[i]) {
			_crate_ids.erase(it);
			_soak._forget_crate(s.crates[i]);
			_soak._freed_this_frame = true;
			_crates_died = true;
			continue;
		}
		i++;
	}
	for (auto it = _crate_ids.begin(); it != _crate_ids.end();) {
		bool listed = false;
		for (RigidBody3D *crate : s.crates) {
			listed = listed || crate == it->first;
		}
		// The soak forgets a body as it frees it, maybe at the frame's end.
		_crates_died = _crates_died || !listed;
		it = listed ? std::next(it) : _crate_ids.erase(it);
	}
}

bool Chaos::_records_going() const {
	const DemoScene &s = _scene;
	Node *records[] = { s.player, s.manager, s.hud, s.controllers[0], s.controllers[1] };
	for (Node *n : records) {
		if (n && n->is_queued_for_deletion()) {
			return true;
		}
	}
	return false;
}

void Chaos::_readd_due_nodes() {
	const double now = _session.time();
	bool due = false;
	for (double at : _readd_due) {
		due = due || (at >= 0 && now >= at);
	}
	// What is queued to go goes first, at the frame's end.
	if (!due || _records_going()) {
		return;
	}
	// Added as a scene is instanced: the adversary waits until it is in.
	const bool calm = _calm;
	_calm = true;
	_readd_nodes();
	_calm = calm;
}

bool Chaos::_readd_nodes() {
	DemoScene &s = _scene;
	const double now = _session.time();
	auto due = [&](Readd p_what) {
		bool d = _readd_due[p_what] >= 0 && now >= _readd_due[p_what];
		_readd_due[p_what] = d ? -1 : _readd_due[p_what];
		return d;
	};
	bool manager = due(READD_MANAGER);
	bool new_player = false;
	// A scene is reloaded without the sub-scene: the new player and manager
	// are the scene's own, found first.
	if (manager || (_readd_due[READD_PLAYER] >= 0 && now >= _readd_due[READD_PLAYER])) {
		_sub_scene_until = now;
		_remove_sub_scene();
	}
	if (due(READD_PLAYER)) {
		// A new player brings its own HUD, controllers, shapes and attachments.
		_readd_due[READD_HUD] = _readd_due[READD_CONTROLLERS] = _readd_due[READD_SHAPES] = _readd_due[READD_ATTACHMENTS] = -1;
		_lost_shapes.clear();
		_lost_attachments.clear();
		if (!s.player && readd_player(s)) {
			_remember_records();
			_readds["player"]++;
			_session.say("chaos: adds a new player\n");
			new_player = true;
		}
		manager = true;
	}
	if (due(READD_HUD) && s.player && !s.hud && readd_hud(s)) {
		_remember_records();
		_readds["HUD"]++;
		_session.say("chaos: adds a new HUD\n");
		manager = manager || _chance(0.5);
	}
	if (due(READD_CONTROLLERS) && s.player) {
		for (int side = 0; side < 2; side++) {
			if (!s.controllers[side] && readd_controller(s, side)) {
				_remember_records();
				_readds["controller"]++;
			}
		}
		// Only a new manager learns of new controllers.
		manager = true;
	}
	if (due(READD_SHAPES)) {
		for (const std::string &name : _lost_shapes) {
			CollisionShape3D *shape = s.player && !s.player->has_node(NodePath(name.c_str())) ? Object::cast_to<CollisionShape3D>(ClassDB::instantiate("BoneColliderIK")) : nullptr;
			if (!shape) {
				continue;
			}
			Ref<SphereShape3D> sphere;
			sphere.instantiate();
			sphere->set_radius(name.rfind("hand_", 0) == 0 ? 0.045f : 0.012f);
			shape->set_shape(sphere);
			shape->set_name(name.c_str());
			s.player->add_child(shape);
			shape->set_owner(s.world);
			_readds["hand shape"]++;
		}
		_lost_shapes.clear();
	}
	if (due(READD_ATTACHMENTS)) {
		Node *parent = s.skeleton ? (Node *)s.skeleton : (Node *)s.player;
		for (const auto &lost : _lost_attachments) {
			if (!parent || parent->has_node(NodePath(lost.first.c_str()))) {
				continue;
			}
			BoneAttachment3D *attachment = memnew(BoneAttachment3D);
			attachment->set_name(lost.first.c_str());
			attachment->set_transform(lost.second);
			parent->add_child(attachment);
			attachment->set_owner(s.world);
			_readds["bone attachment"]++;
		}
		_lost_attachments.clear();
	}
	if (manager) {
		// A new manager finds the scene as it is saved: the HUD below the player.
		if (s.hud && s.player && s.hud->get_parent() != s.player) {
			s.hud->reparent(s.player, true);
		}
		if (s.manager) {
			_session.say("chaos: frees the XR manager\n");
			memdelete(s.manager);
			s.manager = nullptr;
			s.camera = nullptr;
		}
		if (readd_manager(s)) {
			_remember_records();
			_readds["XR manager"]++;
			_session.say("chaos: adds a new XR manager with its origin and camera\n");
		}
		// What the new manager found: the controllers below the player by their names.
		const char *names[2] = { "XRController3DLeft", "XRController3DRight" };
		for (int side = 0; side < 2; side++) {
			XRController3D *c = s.controllers[side];
			bool found = c && s.player && c->get_parent() == s.player && String(c->get_name()) == names[side];
			_soak._known_controllers[side] = found ? c->get_instance_id() : 0;
		}
	}
	_remember_records();
	_shapes_dirty = true;
	if (new_player) {
		_soak._listen_for_doomed_bodies();
	}
	return manager;
}

void Chaos::_switch_rig() {
	DemoScene &s = _scene;
	bool pending = false;
	for (double at : _readd_due) {
		pending = pending || at >= 0;
	}
	if (!s.rig || !s.world || !s.player || !s.manager || pending || _records_going()) {
		return;
	}
	// A level switched by hand: the old rig is queue_free()d and the new one
	// added in the same breath, so the new manager and player are ready
	// while the old ones are still in the tree, going at the frame's end.
	// The runtime says nothing: the session goes on.
	_sub_scene_until = _session.time();
	_remove_sub_scene();
	const bool calm = _calm;
	_calm = true;
	_session.say("chaos: switches the rig by hand: the old one goes at the frame's end, the new one is ready before\n");
	s.rig->queue_free();
	Node *rig = memnew(Node);
	rig->set_name("Rig");
	s.world->add_child(rig);
	rig->set_owner(s.world);
	s.rig = rig;
	s.manager = nullptr;
	s.camera = nullptr;
	// Added as the saved scene has them: the player first, so that the manager finds it.
	readd_player(s);
	readd_manager(s);
	_calm = calm;
	for (double &at : _readd_due) {
		at = -1;
	}
	_lost_shapes.clear();
	_lost_attachments.clear();
	_soak._touches.clear();
	_remember_records();
	for (int side = 0; side < 2; side++) {
		_soak._known_controllers[side] = s.controllers[side] ? s.controllers[side]->get_instance_id() : 0;
	}
	_shapes_dirty = true;
	_readds["rig switched by hand"]++;
	if (s.player) {
		_soak._listen_for_doomed_bodies();
	}
}

void Chaos::_remove_sub_scene() {
	if (_sub_scene_until < 0 || _session.time() < _sub_scene_until) {
		return;
	}
	_sub_scene_until = -1.0;
	if (Node *extra = Object::cast_to<Node>(ObjectDB::get_instance(_sub_scene))) {
		_session.say("chaos: takes the sub-scene out\n");
		const bool calm = _calm;
		_calm = true;
		memdelete(extra);
		_calm = calm;
		_forget_dead_records();
	}
	_sub_scene = 0;
}

void Chaos::_check_greeting_ends() {
	if (_records_going()) {
		return; // once they are gone and back
	}
	// With the whole rig: the manager, its HUD and both controllers it knows.
	const DemoScene &s = _scene;
	if (!s.manager || !s.hud || !s.player) {
		return;
	}
	for (int side = 0; side < 2; side++) {
		if (!s.controllers[side] || s.controllers[side]->get_instance_id() != _soak._known_controllers[side]) {
			if (_readd_due[READD_CONTROLLERS] < 0) {
				_readd_due[READD_CONTROLLERS] = _session.time();
			}
			return;
		}
	}
	_next_greeting_check = _session.time() + GREETING_CHECK_EVERY;
	// Played through undisturbed: whatever the adversary did before, a focus
	// and a few A/X presses must let the game run.
	const bool calm = _calm;
	_calm = true;
	_soak._check_greeting_ends(false);
	_calm = calm;
	_greeting_checks++;
	_after_frame();
}

void Chaos::_restore_poses() {
	for (size_t i = 0; i < _poses_to_restore.size();) {
		const PoseToRestore &p = _poses_to_restore[i];
		if (p.at_frame > _frames) {
			i++;
			continue;
		}
		if (Node3D *attachment = Object::cast_to<Node3D>(ObjectDB::get_instance(p.attachment))) {
			attachment->set_transform(p.pose);
		}
		_poses_to_restore.erase(_poses_to_restore.begin() + (long)i);
	}
}

bool Chaos::_pose_pending(Node *p_node) const {
	const uint64_t id = p_node->get_instance_id();
	for (const PoseToRestore &p : _poses_to_restore) {
		if (p.attachment == id) {
			return true;
		}
	}
	return false;
}

void Chaos::_refresh_shapes() {
	_shapes_dirty = false;
	index_hand_shapes(_scene);
	_soak._shapes.clear();
	for (const auto &e : _scene.hand_shapes) {
		_soak._shapes.push_back(e.second);
	}
}

void Chaos::_prune() {
	for (std::unordered_set<uint64_t> *ids : { &_wired, &_library_timers, &_hidden_by_library, &_soak._set_by_script, &_poisoned, &_orphans_reported }) {
		SoakState::_forget_gone(*ids);
	}
}
