// The soak's adversary: what it listens to, and what it does from inside the
// signals it hears, as a game's scripts could.
#include "soak_chaos.hpp"
#include "soak_state.hpp"

#include "signal_receiver.hpp"

#include <godot_cpp/classes/animation_tree.hpp>
#include <godot_cpp/classes/bone_attachment3d.hpp>
#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/timer.hpp>
#include <godot_cpp/classes/window.hpp>
#include <godot_cpp/classes/xr_controller3d.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_host/host.hpp>

#include <cmath>
#include <limits>

using namespace godot;
using godot_host::Host;

namespace {

const char *const SIGNAL_NAMES[Chaos::SIGNAL_COUNT] = { "visibility_changed", "finished_typing", "timeout", "tree_entered", "tree_exiting",
	"tree_exited", "child_entered_tree", "child_exiting_tree", "child_order_changed", "renamed", "body_entered", "body_shape_entered",
	"body_exited", "body_shape_exited", "button_pressed", "button_released", "input_float_changed", "input_vector2_changed",
	"profile_changed" };

const Chaos::Signal TREE_SIGNALS[] = { Chaos::TREE_ENTERED, Chaos::TREE_EXITING, Chaos::TREE_EXITED, Chaos::CHILD_ENTERED_TREE,
	Chaos::CHILD_EXITING_TREE, Chaos::CHILD_ORDER_CHANGED, Chaos::RENAMED };
const Chaos::Signal CONTACT_SIGNALS[] = { Chaos::BODY_ENTERED, Chaos::BODY_SHAPE_ENTERED, Chaos::BODY_EXITED, Chaos::BODY_SHAPE_EXITED };
const Chaos::Signal CONTROLLER_SIGNALS[] = { Chaos::BUTTON_PRESSED, Chaos::BUTTON_RELEASED, Chaos::INPUT_FLOAT_CHANGED,
	Chaos::INPUT_VECTOR2_CHANGED, Chaos::PROFILE_CHANGED };

const char *const FINGER_NAMES[5] = { "thumb", "index", "middle", "ring", "pinky" };

// Signals that arrive this deep inside the adversary's own acts are only counted.
constexpr size_t MOST_DEPTH = 3;

// While the engine adds or removes children it refuses changes to them:
// inside these a script frees, moves and renames deferred. A contact ends
// also when a body leaves the tree, inside its leaving.
bool tree_busy_signal(Chaos::Signal p_signal) {
	return (p_signal >= Chaos::TREE_ENTERED && p_signal <= Chaos::CHILD_ORDER_CHANGED) || p_signal == Chaos::BODY_EXITED ||
		   p_signal == Chaos::BODY_SHAPE_EXITED;
}

// Signals that the engine, not the library, sets off.
bool engine_signal(Chaos::Signal p_signal) {
	return p_signal >= Chaos::BODY_ENTERED;
}

bool is_library_node(const Node *p_node) {
	return p_node && (p_node->is_class("Player") || p_node->is_class("HUD") || p_node->is_class("XRManager"));
}

bool is_held_copy(const Node *p_node) {
	return String(p_node->get_name()).contains("__hand_");
}

} // namespace

Chaos::Chaos(SoakState &r_soak) :
		_soak(r_soak), _session(r_soak._session), _scene(r_soak._scene), _rng(r_soak._options.seed * 7919u + 17u), _self(std::make_shared<Chaos *>(this)) {
	SceneTree *tree = Host::tree();
	std::shared_ptr<Chaos *> self = _self;
	// New nodes are heard of as they enter: held-object copies, glyphs, timers, new scenes.
	tree->connect("node_added", runner_callable(tree, [self](const Variant **p_args, int p_count) {
		Chaos *chaos = *self;
		Node *node = p_count >= 1 ? Object::cast_to<Node>(p_args[0]->get_validated_object()) : nullptr;
		if (chaos && node) {
			chaos->_wire(node);
		}
	}));
	_wire_tree(tree->get_root());
	_remember_records();
	// Nodes freed at a frame's end leave the scene's records before anyone reads them.
	_session.set_after_iteration([self]() {
		if (Chaos *chaos = *self) {
			chaos->_forget_dead_records();
		}
	});
	_last_paused = tree->is_paused();
	// The soak starts once the first greeting has let the game run.
	_library_ran = !_last_paused;
	_next_greeting_check = _session.time() + 30.0;
	_next_switch = _session.time() + 20.0 + 60.0 * std::uniform_real_distribution<double>(0.0, 1.0)(_rng);
}

Chaos::~Chaos() {
	*_self = nullptr;
	_session.set_after_iteration({});
}

bool Chaos::_chance(double p_probability) {
	return std::uniform_real_distribution<double>(0.0, 1.0)(_rng) < p_probability;
}

int Chaos::_pick(int p_count) {
	return p_count <= 0 ? 0 : (int)(_rng() % (unsigned)p_count);
}

// ---------------------------------------------------------------------------
// Wiring

void Chaos::_wire_tree(Node *p_node) {
	_wire(p_node);
	for (int32_t i = 0; i < p_node->get_child_count(true); i++) {
		_wire_tree(p_node->get_child(i, true));
	}
}

void Chaos::_wire(Node *p_node) {
	const uint64_t id = p_node->get_instance_id();
	if (_wired.count(id)) {
		return;
	}
	Node *parent = p_node->get_parent();
	Emitter emitter;
	if (p_node->is_class("Player")) {
		emitter = PLAYER_NODE;
	} else if (p_node->is_class("HUD")) {
		emitter = HUD_NODE;
	} else if (p_node->is_class("XRManager")) {
		emitter = MANAGER_NODE;
	} else if (p_node->is_class("BoneCollider")) {
		emitter = is_held_copy(p_node) ? HELD_COPY : HAND_SHAPE;
	} else if (Object::cast_to<Timer>(p_node) && is_library_node(parent)) {
		emitter = TIMER_NODE;
	} else if (Object::cast_to<MeshInstance3D>(p_node) && parent && parent->is_class("HUD")) {
		emitter = GLYPH;
	} else if (Object::cast_to<XRController3D>(p_node)) {
		emitter = CONTROLLER;
	} else if (Object::cast_to<Node3D>(p_node) && parent && parent == Host::tree()->get_current_scene()) {
		emitter = WORLD_NODE;
	} else {
		return;
	}
	_wired.insert(id);
	// The greeting's timers (the manager's and the HUD's), not the player's cleanup.
	if (emitter == TIMER_NODE && !parent->is_class("Player")) {
		_library_timers.insert(id);
	}
	if (emitter != WORLD_NODE && emitter != CONTROLLER) {
		for (Signal s : TREE_SIGNALS) {
			_connect(p_node, emitter, s);
		}
	}
	if (emitter == HUD_NODE || emitter == GLYPH || emitter == WORLD_NODE) {
		_connect(p_node, emitter, VISIBILITY_CHANGED);
	}
	if (emitter == HUD_NODE) {
		_connect(p_node, emitter, FINISHED_TYPING);
	}
	if (emitter == TIMER_NODE) {
		_connect(p_node, emitter, TIMEOUT);
	}
	if (emitter == PLAYER_NODE) {
		for (Signal s : CONTACT_SIGNALS) {
			_connect(p_node, emitter, s);
		}
	}
	if (emitter == CONTROLLER) {
		for (Signal s : CONTROLLER_SIGNALS) {
			_connect(p_node, emitter, s);
		}
	}
}

void Chaos::_connect(Node *p_node, Emitter p_emitter, Signal p_signal) {
	std::shared_ptr<Chaos *> self = _self;
	const uint64_t id = p_node->get_instance_id();
	p_node->connect(SIGNAL_NAMES[p_signal], runner_callable(p_node, [self, p_emitter, p_signal, id](const Variant **p_args, int p_count) {
		if (Chaos *chaos = *self) {
			chaos->_received(p_emitter, p_signal, id, p_args, p_count);
		}
	}));
}

// ---------------------------------------------------------------------------
// Inside a signal

double Chaos::_probability(Signal p_signal) const {
	switch (p_signal) {
		case VISIBILITY_CHANGED:
			return 0.3;
		case FINISHED_TYPING:
			return 0.5;
		case TIMEOUT:
			return 0.08;
		case RENAMED:
			return 0.2;
		default:
			break;
	}
	if (tree_busy_signal(p_signal)) {
		return 0.04;
	}
	return p_signal >= BUTTON_PRESSED ? 0.05 : 0.08;
}

void Chaos::_received(Emitter p_emitter, Signal p_signal, uint64_t p_emitter_id, const Variant **p_args, int p_count) {
	_signals[p_emitter][p_signal]++;
	_nested += _handling.empty() ? 0 : 1;
	_observe_pause();
	if (p_signal == VISIBILITY_CHANGED && p_emitter == WORLD_NODE) {
		_note_world_visibility(p_emitter_id);
	}
	if (_calm || _handling.size() >= MOST_DEPTH || !_chance(_probability(p_signal))) {
		return;
	}
	Node *emitter = Object::cast_to<Node>(ObjectDB::get_instance(p_emitter_id));
	if (!emitter) {
		return;
	}
	// Nodes may have gone since the last frame, inside this one.
	_forget_dead_records();
	Received r = { p_emitter, p_signal, p_emitter_id, 0, tree_busy_signal(p_signal) || _tree_busy() };
	int body_arg = (p_signal == BODY_ENTERED || p_signal == BODY_EXITED) ? 0 : (p_signal == BODY_SHAPE_ENTERED || p_signal == BODY_SHAPE_EXITED) ? 1
																																				 : -1;
	if (body_arg >= 0 && p_count > body_arg) {
		if (Object *body = p_args[body_arg]->get_validated_object()) {
			r.body_id = body->get_instance_id();
		}
	}
	_handling.push_back(r);
	_act(r);
	_handling.pop_back();
	_observe_pause();
}

bool Chaos::_tree_busy() const {
	for (const Received &r : _handling) {
		if (r.tree_busy) {
			return true;
		}
	}
	return false;
}

// Whether a node sends, or holds a node that sends, a signal being handled:
// freed at once it would be freed inside its own emission.
bool Chaos::_handling_node(Node *p_node) const {
	for (const Received &r : _handling) {
		Node *emitter = Object::cast_to<Node>(ObjectDB::get_instance(r.emitter_id));
		if (emitter && (emitter == p_node || p_node->is_ancestor_of(emitter))) {
			return true;
		}
	}
	return false;
}

void Chaos::_later(Node *p_anchor, std::function<void()> p_what) {
	std::shared_ptr<Chaos *> self = _self;
	runner_callable(p_anchor, [self, p_what](const Variant **, int) {
		if (*self) {
			p_what();
		}
	}).call_deferred();
}

void Chaos::_when_allowed(Node *p_node, const std::function<void()> &p_what) {
	if (_tree_busy()) {
		_later(p_node, p_what);
	} else {
		p_what();
	}
}

void Chaos::_act(const Received &p_received) {
	// Inside the library's switch between the HUD and the world, and at the
	// end of a text, what hurts most: the manager, the HUD or the player
	// gone, or the library called again.
	if ((p_received.signal == VISIBILITY_CHANGED || p_received.signal == FINISHED_TYPING) && _chance(0.4)) {
		if (_chance(0.3)) {
			_call_back(p_received);
		} else {
			_free_one(p_received, 2 + _pick(3));
		}
		return;
	}
	// Weights of the kinds of act.
	const int weights[] = { 30, 14, 12, 8, 6, 20, 15, 3, 4 };
	int total = 0;
	for (int w : weights) {
		total += w;
	}
	int roll = _pick(total);
	int act = 0;
	while (roll >= weights[act]) {
		roll -= weights[act++];
	}
	switch (act) {
		case 0:
			_free_one(p_received);
			break;
		case 1:
			_reparent_one();
			break;
		case 2:
			_rename_one();
			break;
		case 3:
			_toggle_pause();
			break;
		case 4: {
			// Shows or hides a world node of its own accord.
			Node *scene = Host::tree()->get_current_scene();
			int32_t count = scene ? scene->get_child_count() : 0;
			Node3D *node = count > 0 ? Object::cast_to<Node3D>(scene->get_child(_pick(count))) : nullptr;
			if (node) {
				const uint64_t id = node->get_instance_id();
				_hidden_by_library.erase(id);
				_soak._set_by_script.insert(id);
				_adversary_showing = id;
				node->set_visible(!node->is_visible());
				if (SoakState::_alive(id)) {
					_hidden_by_library.erase(id);
				}
				_adversary_showing = 0;
				_visibility_acts[node->is_visible() ? "shown" : "hidden"]++;
				_tell(node->is_visible() ? "shows a world node" : "hides a world node");
			}
		} break;
		case 5:
			_bad_value_one();
			break;
		case 6:
			_call_back(p_received);
			break;
		case 7:
			_add_sub_scene();
			break;
		default:
			_remode_one();
			break;
	}
}

void Chaos::_remode_one() {
	// A script (or a scene saved so) leaves a node of the library to follow
	// the pause: the library's waits must go on all the same.
	Node *nodes[3] = { _scene.hud, _scene.manager, _any_library_timer() };
	const char *what[3] = { "the HUD", "the XR manager", "a timer" };
	const int k = _pick(3);
	Node *node = nodes[k];
	if (!node || node->is_queued_for_deletion() || !node->is_inside_tree()) {
		return;
	}
	const bool inherit = _chance(0.5);
	_remodes[std::string(what[k]) + (inherit ? " to inherit" : " to pausable")]++;
	_tell(inherit ? "makes it inherit its process mode:" : "makes it pausable:", what[k]);
	node->set_process_mode(inherit ? Node::PROCESS_MODE_INHERIT : Node::PROCESS_MODE_PAUSABLE);
}

void Chaos::_add_sub_scene() {
	if (SoakState::_alive(_sub_scene) || !_scene.rig) {
		return;
	}
	_when_allowed(_scene.rig, [this]() {
		// Beside the scene's own player and manager, never in their place.
		if (SoakState::_alive(_sub_scene) || !_scene.player || !_scene.manager || _records_going()) {
			return;
		}
		// Instanced beside the scene's own nodes, under a root of its own; the
		// scene's records stay as they are.
		bool manager = _chance(0.5);
		const char *what = manager ? "a second XR manager" : "a second player";
		_sub_scenes[what]++;
		_tell("adds a sub-scene with", what);
		Node *root = memnew(Node);
		root->set_name("SubScene");
		_scene.rig->add_child(root);
		root->set_owner(_scene.world);
		_sub_scene = root->get_instance_id();
		DemoScene extra = _scene;
		extra.rig = root;
		if (manager) {
			readd_manager(extra);
		} else {
			readd_player(extra);
		}
		_sub_scene_until = _session.time() + 2.0 + 8.0 * std::uniform_real_distribution<double>(0.0, 1.0)(_rng);
	});
}

void Chaos::_tell(const char *p_what, const std::string &p_detail) {
	std::string where;
	if (!_handling.empty()) {
		const char *emitters[EMITTER_COUNT] = { "HUD", "world node", "player", "XR manager", "hand shape", "held-object copy", "glyph", "timer", "controller" };
		where = std::string(" in ") + emitters[_handling.back().emitter] + " " + SIGNAL_NAMES[_handling.back().signal];
	}
	_session.say("chaos%s: %s%s%s\n", where.c_str(), p_what, p_detail.empty() ? "" : " ", p_detail.c_str());
}

// ---------------------------------------------------------------------------
// Frees

void Chaos::_free(Node *p_node, const char *p_what) {
	if (!p_node || p_node->is_queued_for_deletion() || p_node == _scene.rig || p_node == _scene.world || p_node == _scene.wall) {
		return;
	}
	// What the scene should get back later.
	Node *parent = p_node->get_parent();
	if (p_node->is_class("BoneCollider") && !is_held_copy(p_node) && parent && parent == _scene.player) {
		_lost_shapes.push_back(String(p_node->get_name()).utf8().get_data());
		_readd_due[READD_SHAPES] = _readd_due[READD_SHAPES] >= 0 ? _readd_due[READD_SHAPES] : _session.time() + 1.0 + _pick(3);
	}
	if (BoneAttachment3D *attachment = Object::cast_to<BoneAttachment3D>(p_node)) {
		Transform3D pose = attachment->get_transform();
		_lost_attachments.emplace_back(String(attachment->get_name()).utf8().get_data(), pose.is_finite() ? pose : Transform3D());
		_readd_due[READD_ATTACHMENTS] = _readd_due[READD_ATTACHMENTS] >= 0 ? _readd_due[READD_ATTACHMENTS] : _session.time() + 1.0 + _pick(3);
	}
	if (RigidBody3D *crate = Object::cast_to<RigidBody3D>(p_node)) {
		_soak._forget_crate(crate);
		_crate_ids.erase(crate);
		_soak._freed_this_frame = true;
		_crates_died = true;
	}
	_shapes_dirty = true;
	// A script frees at once only what the engine lets it: nothing inside
	// its own emission, nothing while the tree is busy with it.
	if (_tree_busy() || !p_node->is_inside_tree() || _handling_node(p_node)) {
		p_node->queue_free();
		_queued_frees[p_what]++;
		_tell("frees at the frame's end", p_what);
		return;
	}
	_tell("frees", p_what);
	memdelete(p_node);
	_frees[p_what]++;
	_forget_dead_records();
}

void Chaos::_free_one(const Received &p_received, int p_target) {
	switch (p_target >= 0 ? p_target : _pick(9)) {
		case 0:
		case 1: {
			Node *emitter = Object::cast_to<Node>(ObjectDB::get_instance(p_received.emitter_id));
			const char *names[EMITTER_COUNT] = { "the HUD (emitting)", "a world node (emitting)", "the player (emitting)", "the XR manager (emitting)",
				"a hand shape (emitting)", "a held-object copy (emitting)", "a glyph (emitting)", "a timer (emitting)", "a controller (emitting)" };
			_free(emitter, names[p_received.emitter]);
		} break;
		case 2:
			// The big ones come back only after a while: one at a time.
			if (_readd_due[READD_MANAGER] < 0 && _readd_due[READD_PLAYER] < 0) {
				_free(_scene.manager, "the XR manager");
			}
			break;
		case 3:
			if (_readd_due[READD_HUD] < 0 && _readd_due[READD_PLAYER] < 0) {
				_free(_scene.hud, "the HUD");
			}
			break;
		case 4:
			if (_readd_due[READD_PLAYER] < 0 && _readd_due[READD_MANAGER] < 0 && _chance(0.5)) {
				_free(_scene.player, "the player");
			}
			break;
		case 5:
			_free(_held_crate(), "a held body");
			break;
		case 6: {
			// The body the signal reports, else one the soak made touch.
			RigidBody3D *body = Object::cast_to<RigidBody3D>(ObjectDB::get_instance(p_received.body_id));
			if (!body && !_soak._touches.empty()) {
				body = Object::cast_to<RigidBody3D>(ObjectDB::get_instance(_soak._touches[(size_t)_pick((int)_soak._touches.size())].body));
			}
			bool crate = false;
			for (RigidBody3D *c : _scene.crates) {
				crate = crate || c == body;
			}
			if (crate) {
				_free(body, "a touched body");
			}
		} break;
		case 7:
			if (_chance(0.5)) {
				_free(_any_child(_scene.player, "BoneCollider", false), "a hand shape");
			} else {
				_free(_any_child(_scene.player, "BoneCollider", true), "a held-object copy");
			}
			break;
		default:
			if (_chance(0.6)) {
				_free(_any_attachment(), "a bone attachment");
			} else {
				_free(_any_library_timer(), "a timer");
			}
			break;
	}
}

// ---------------------------------------------------------------------------
// Moves and names

void Chaos::_move(Node *p_node, Node *p_parent, const char *p_what) {
	if (!p_node || !p_parent || p_node == p_parent || !p_node->get_parent() || p_node->get_parent() == p_parent || p_node->is_ancestor_of(p_parent) ||
			p_node->is_queued_for_deletion() || p_parent->is_queued_for_deletion() || !p_node->is_inside_tree() || !p_parent->is_inside_tree()) {
		return;
	}
	const uint64_t node_id = p_node->get_instance_id(), parent_id = p_parent->get_instance_id();
	auto move = [this, node_id, parent_id, p_what]() {
		Node *node = Object::cast_to<Node>(ObjectDB::get_instance(node_id));
		Node *parent = Object::cast_to<Node>(ObjectDB::get_instance(parent_id));
		if (!node || !parent || !node->get_parent() || node->get_parent() == parent || node->is_ancestor_of(parent) || node == parent ||
				!node->is_inside_tree() || !parent->is_inside_tree()) {
			return;
		}
		// Moved by the adversary: whatever the library did to it before no
		// longer counts, and its visibility is the adversary's to set.
		_hidden_by_library.erase(node_id);
		_soak._set_by_script.insert(node_id);
		_shapes_dirty = true;
		_reparents[p_what]++;
		_tell("moves", p_what);
		node->reparent(parent, true);
		// Kept where it was in the world: from a place that is no number,
		// the adversary's doing.
		Node3D *moved = Object::cast_to<Node3D>(ObjectDB::get_instance(node_id));
		if (moved && Object::cast_to<RigidBody3D>(moved) && !moved->get_global_transform().is_finite()) {
			_poisoned.insert(node_id);
		}
	};
	_when_allowed(p_node, move);
}

void Chaos::_reparent_one() {
	DemoScene &s = _scene;
	Node *player = s.player;
	Node *skeleton = s.skeleton;
	switch (_pick(7)) {
		case 0:
			// A hand shape leaves the player's shapes, or comes back to them.
			if (_chance(0.5) || !skeleton) {
				_move(_any_child(skeleton, "BoneCollider", false), player, "a hand shape back to the player");
			} else {
				_move(_any_child(player, "BoneCollider", false), skeleton, "a hand shape away from the player");
			}
			break;
		case 1:
			if (_chance(0.5)) {
				_move(_any_child(skeleton, "BoneCollider", true), player, "a held-object copy back to the player");
			} else {
				_move(_any_child(player, "BoneCollider", true), skeleton, "a held-object copy away from the player");
			}
			break;
		case 2: {
			Node *glyph = _any_child(s.hud, "MeshInstance3D", false);
			if (glyph) {
				_move(glyph, player, "a glyph out of the HUD");
			} else {
				// One moved out before goes back.
				Node *out = _any_child(player, "MeshInstance3D", false);
				if (out && !out->is_class("HUD")) {
					_move(out, s.hud, "a glyph back into the HUD");
				}
			}
		} break;
		case 3: {
			// Between the two nodes that run while the game is paused, as the
			// greeting's timers need.
			Node *timer = _any_library_timer();
			Node *to = timer && timer->get_parent() == s.manager ? (Node *)s.hud : s.manager;
			_move(timer, to, "a timer");
		} break;
		case 4:
			if (s.hud && s.hud->get_parent() == player) {
				_move(s.hud, s.rig, "the HUD out of the player");
			} else {
				_move(s.hud, player, "the HUD back to the player");
			}
			break;
		case 5: {
			RigidBody3D *crate = _any_crate();
			RigidBody3D *other = _any_crate();
			if (crate && crate->get_parent() == s.world && other != crate) {
				_move(crate, other, "a body into another");
			} else if (crate && crate->get_parent() != s.world) {
				_move(crate, s.world, "a body back into the world");
			}
		} break;
		default: {
			Node *attachment = _any_attachment();
			_move(attachment, attachment && attachment->get_parent() == skeleton ? player : skeleton, "a bone attachment");
		} break;
	}
}

void Chaos::_rename(Node *p_node, const std::string &p_name, const char *p_what) {
	if (!p_node || p_node->is_queued_for_deletion() || !p_node->is_inside_tree()) {
		return;
	}
	const uint64_t id = p_node->get_instance_id();
	auto rename = [this, id, p_name, p_what]() {
		Node *node = Object::cast_to<Node>(ObjectDB::get_instance(id));
		if (!node) {
			return;
		}
		_shapes_dirty = true;
		_renames[p_what]++;
		_tell("renames", std::string(p_what) + " to " + p_name);
		node->set_name(p_name.c_str());
	};
	_when_allowed(p_node, rename);
}

void Chaos::_rename_one() {
	DemoScene &s = _scene;
	// A name the hand-collider rule reads as another part, one it reads as
	// nothing, or the palm shape name a release pattern could take for a copy.
	const char side = _chance(0.5) ? 'l' : 'r';
	std::string part = _chance(0.2) ? std::string("hand") : std::string(FINGER_NAMES[_pick(5)]) + "_0" + std::to_string(1 + _pick(3));
	std::string collider = part + "_" + side + (_chance(0.3) ? "_outer" : "") + "_collider";
	switch (_pick(5)) {
		case 0: {
			const std::string names[] = { collider, std::string("hand_") + side + "_held_object_collider", "renamed_collider" };
			_rename(_any_child(s.player, "BoneCollider", false), names[_pick(3)], "a hand shape");
		} break;
		case 1:
			_rename(_any_child(s.player, "BoneCollider", true), _chance(0.5) ? collider : std::string("renamed_copy"), "a held-object copy");
			break;
		case 2:
			_rename(_any_attachment(), _chance(0.5) ? part + "_" + side + "_bone_attach" : std::string("renamed_bone_attach"), "a bone attachment");
			break;
		case 3: {
			Node *node = _chance(0.5) ? _any_child(s.hud, "MeshInstance3D", false) : _any_library_timer();
			_rename(node, "renamed", node && node->is_class("Timer") ? "a timer" : "a glyph");
		} break;
		default: {
			// A contract node, named back by the end of the frame: the next
			// manager must find the scene as it is saved.
			Node *nodes[3] = { s.player, s.hud, s.manager };
			const char *names[3] = { "Player", "HUD", "XRManager" };
			const char *what[3] = { "the player", "the HUD", "the XR manager" };
			int k = _pick(3);
			if (nodes[k] && !nodes[k]->is_queued_for_deletion()) {
				_rename(nodes[k], std::string(names[k]) + "_renamed", what[k]);
				const uint64_t id = nodes[k]->get_instance_id();
				std::string name = names[k];
				_later(nodes[k], [id, name]() {
					if (Node *node = Object::cast_to<Node>(ObjectDB::get_instance(id))) {
						node->set_name(name.c_str());
					}
				});
			}
		} break;
	}
}

void Chaos::_toggle_pause() {
	SceneTree *tree = Host::tree();
	_observe_pause();
	bool pause = !tree->is_paused();
	tree->set_pause(pause);
	// The adversary's own: not the library's doing.
	_last_paused = tree->is_paused();
	_soak._liveness.note_script_pause(pause);
	// A pause menu closes again: what the adversary paused it unpauses later.
	_unpause_at = pause ? _session.time() + 0.5 + 3.5 * std::uniform_real_distribution<double>(0.0, 1.0)(_rng) : -1.0;
	(pause ? _pauses : _unpauses)++;
	_tell(pause ? "pauses the game" : "unpauses the game");
}

void Chaos::_end_own_pause() {
	if (_unpause_at < 0.0 || _session.time() < _unpause_at) {
		return;
	}
	_unpause_at = -1.0;
	// Someone else changed the pause since: theirs now.
	if (!_soak._liveness.script_paused() || !Host::tree()->is_paused()) {
		return;
	}
	Host::tree()->set_pause(false);
	_last_paused = Host::tree()->is_paused();
	_soak._liveness.note_script_pause(false);
	_unpauses++;
	_tell("unpauses the game it paused");
}

// ---------------------------------------------------------------------------
// Values that are no numbers

float Chaos::_bad_float(std::string &r_kind) {
	const float values[] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
		1e30f, -1e30f };
	const char *kinds[] = { "NaN", "+inf", "-inf", "huge", "-huge" };
	int k = _pick(5);
	r_kind = kinds[k];
	return values[k];
}

void Chaos::_bad_value_one() {
	DemoScene &s = _scene;
	std::string kind;
	float bad = _bad_float(kind);
	switch (_pick(5)) {
		case 0: {
			RigidBody3D *body = _chance(0.5) ? _held_crate() : nullptr;
			body = body ? body : _any_crate();
			if (!body) {
				return;
			}
			_bad_values["mass " + kind]++;
			_tell("sets a body's mass to", kind);
			const uint64_t id = body->get_instance_id();
			body->set_mass(bad);
			if (RigidBody3D *still = Object::cast_to<RigidBody3D>(ObjectDB::get_instance(id))) {
				_note_mass(still);
			}
		} break;
		case 1: {
			BoneAttachment3D *attachment = _chance(0.5) ? s.hands[_pick(2)] : Object::cast_to<BoneAttachment3D>(_any_attachment());
			if (!attachment || !attachment->get_transform().is_finite()) {
				return;
			}
			// The skeleton poses it again a few frames later.
			_poses_to_restore.push_back({ attachment->get_instance_id(), attachment->get_transform(), _frames + 1 + _pick(20) });
			Transform3D pose = attachment->get_transform();
			if (_chance(0.5)) {
				pose.origin = Vector3(bad, pose.origin.y, bad);
			} else {
				pose.basis = pose.basis.scaled(Vector3(bad, bad, bad));
			}
			_bad_values["bone pose " + kind]++;
			_tell("poses a bone attachment with", kind);
			attachment->set_transform(pose);
		} break;
		case 2: {
			Node *tree = s.player && s.player->is_inside_tree() ? s.player->get_node_or_null("AnimationTree") : nullptr;
			if (!tree) {
				return;
			}
			std::string parameter = std::string("parameters/closed-") + FINGER_NAMES[_pick(5)] + "-" + (_chance(0.5) ? "l" : "r") + "/blend_amount";
			_bad_values["blend " + kind]++;
			_tell("sets a finger blend to", kind);
			tree->set(parameter.c_str(), (double)bad);
		} break;
		case 3: {
			Node *collider = _any_child(s.player, "BoneColliderIK", _chance(0.5));
			if (!collider) {
				return;
			}
			_bad_values["hand shape mass " + kind]++;
			_tell("sets a hand shape's mass to", kind);
			collider->set("mass", bad);
		} break;
		default:
			if (!s.hud || !s.hud->is_inside_tree()) {
				return;
			}
			// A huge delay is a designer's choice that never types: not that one.
			if (std::isfinite(bad)) {
				bad = bad > 0 ? 0.0f : bad;
				kind = bad < 0 ? kind : "zero";
			}
			_bad_values["typing delay " + kind]++;
			_tell("sets the typing delay to", kind);
			s.hud->set("m_typing_delay", (double)bad);
			break;
	}
}

// ---------------------------------------------------------------------------
// Calls back into the library, as the engine or a script would make them

void Chaos::_call_back(const Received &p_received) {
	DemoScene &s = _scene;
	const char *what = nullptr;
	// Only methods a script can call: the session's events and the
	// controllers' input come from the runtime alone, between frames.
	switch (_pick(3)) {
		case 0:
			if (s.manager && s.manager->is_inside_tree()) {
				what = "recentre";
				s.manager->call("_on_pose_recentered");
			}
			break;
		case 1:
			if (s.hud && s.hud->is_inside_tree()) {
				what = "HUD typing tick";
				s.hud->call("_on_typing_timer_timeout");
			}
			break;
		default:
			if (s.manager && s.manager->is_inside_tree()) {
				what = "audio fade tick";
				s.manager->call("_on_audio_fade_timer_timeout");
			}
			break;
	}
	if (what) {
		_calls[what]++;
		_tell("calls the library:", what);
		_reentrant += engine_signal(p_received.signal) ? 0 : 1;
	}
}

// ---------------------------------------------------------------------------
// Picking

RigidBody3D *Chaos::_any_crate() {
	return _scene.crates.empty() ? nullptr : _scene.crates[(size_t)_pick((int)_scene.crates.size())];
}

RigidBody3D *Chaos::_held_crate() {
	std::vector<RigidBody3D *> held;
	for (RigidBody3D *c : _scene.crates) {
		if (c->get_process_mode() == Node::PROCESS_MODE_DISABLED) {
			held.push_back(c);
		}
	}
	return held.empty() ? nullptr : held[(size_t)_pick((int)held.size())];
}

Node *Chaos::_any_child(Node *p_parent, const char *p_class, bool p_copies) {
	if (!p_parent || !p_parent->is_inside_tree()) {
		return nullptr;
	}
	// Shapes are told apart: the scene's own, or the copies a grab made.
	const bool bone = std::string(p_class).rfind("BoneCollider", 0) == 0;
	std::vector<Node *> found;
	for (int32_t i = 0; i < p_parent->get_child_count(); i++) {
		Node *c = p_parent->get_child(i);
		if (!c->is_class(p_class) || c->is_queued_for_deletion() || !c->is_inside_tree() || (bone && is_held_copy(c) != p_copies)) {
			continue;
		}
		found.push_back(c);
	}
	return found.empty() ? nullptr : found[(size_t)_pick((int)found.size())];
}

Node *Chaos::_any_library_timer() {
	std::vector<Node *> timers;
	for (uint64_t id : _library_timers) {
		Node *t = Object::cast_to<Node>(ObjectDB::get_instance(id));
		if (t && !t->is_queued_for_deletion()) {
			timers.push_back(t);
		}
	}
	return timers.empty() ? nullptr : timers[(size_t)_pick((int)timers.size())];
}

Node *Chaos::_any_attachment() {
	Node *found = _any_child(_scene.skeleton, "BoneAttachment3D", false);
	return found ? found : _any_child(_scene.player, "BoneAttachment3D", false);
}
