// The soak's liveness check, and the person in the headset who answers the
// greetings: nothing may stay paused, muted, hidden or deaf to input for
// longer than a few seconds while the session has focus.
#include "soak_liveness.hpp"

#include <godot_cpp/classes/audio_server.hpp>
#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/classes/mesh_instance3d.hpp>
#include <godot_cpp/classes/rigid_body3d.hpp>
#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_host/host.hpp>

#include <cmath>
#include <cstdio>
#include <utility>

using namespace godot;
using godot_host::Host;

namespace {

// A person reads a typed text this long before pressing, and presses again
// this often while a greeting shows nothing new.
constexpr double READING_TIME = 0.6;
constexpr double PRESS_EVERY = 4.0;
// The right stick is moved this often to see that input arrives; a move
// whose frame ran no physics step is read within this many frames.
constexpr double PROBE_EVERY = 1.0;
constexpr int PROBE_MOST_FRAMES = 10;
// The frame rate the runner keeps without a frame limit.
constexpr double UNLIMITED_RATE = 60.0;

// A node the soak may still use: it exists, is in the tree and is not going.
template <typename T>
T *usable(Object *p_object, uint64_t p_id) {
	Node *node = p_object && p_id != 0 && ObjectDB::get_instance(p_id) == p_object ? Object::cast_to<Node>(p_object) : nullptr;
	return node && node->is_inside_tree() && !node->is_queued_for_deletion() ? Object::cast_to<T>(node) : nullptr;
}

template <typename T>
T *usable(T *p_node) {
	return p_node ? usable<T>(p_node, p_node->get_instance_id()) : nullptr;
}

template <typename T>
T *usable_id(uint64_t p_id) {
	return usable<T>(ObjectDB::get_instance(p_id), p_id);
}

uint64_t id_of(Object *p_object) {
	return p_object ? p_object->get_instance_id() : 0;
}

// Glyphs the HUD has and shows: a text being typed shows one more each tick.
int glyph_signature(Node *p_hud) {
	int count = 0;
	for (int32_t i = 0; i < p_hud->get_child_count(); i++) {
		MeshInstance3D *glyph = Object::cast_to<MeshInstance3D>(p_hud->get_child(i));
		count += glyph ? (glyph->is_visible() ? 1001 : 1) : 0;
	}
	return count;
}

bool thrust_reached(RigidBody3D *p_player, float p_thrust, double p_mass) {
	if (!std::isfinite(p_mass) || p_mass <= 0.0) {
		return false;
	}
	// The player pushes itself along its own axis with the thrust times its mass.
	const double expected = std::fabs((double)p_thrust) * p_mass;
	// Measured in double precision: squared in single, a huge mass's force
	// overflows to inf although the force itself is a number.
	const Vector3 f = p_player->get_constant_force();
	const double force = std::sqrt((double)f.x * f.x + (double)f.y * f.y + (double)f.z * f.z);
	return std::fabs(force - expected) <= 1e-3 * expected + 1e-4;
}

} // namespace

SoakLiveness::SoakLiveness(Session &r_session, SoakRuntime &r_runtime, SoakDevice &r_device, Hooks p_hooks) :
		_session(r_session), _runtime(r_runtime), _device(r_device), _hooks(std::move(p_hooks)) {
	_faults[PAUSED].what = "the game stays paused while the session is focussed";
	_faults[MUTED].what = "the master volume stays below full while the session is focussed";
	_faults[WORLD_HIDDEN].what = "the world stays hidden while the session is focussed";
	_faults[HUD_SHOWN].what = "the HUD stays shown while the session is focussed";
	_faults[BODY_HIDDEN].what = "the player's body stays hidden while the session is focussed";
	_faults[NO_INPUT].what = "the right stick does not move the player in the tree";
	_focus_seen = _runtime.focus_count();
	_manager_seen = id_of(_session.scene().manager);
	_typed_seen = _typed_answered = _session.texts_typed();
}

bool SoakLiveness::_lasted(double p_time, uint64_t p_frame, double p_seconds, double p_tick_seconds) const {
	const int32_t limit = Engine::get_singleton()->get_max_fps();
	const double rate = limit > 0 ? (double)limit : UNLIMITED_RATE;
	const uint64_t frames = Engine::get_singleton()->get_process_frames() - p_frame;
	return _session.time() - p_time >= p_seconds && (double)frames >= p_tick_seconds * rate;
}

bool SoakLiveness::_greeting_under_way() const {
	if (_greeting_since < 0.0 || _lasted(_greeting_since, _greeting_since_frame, GREETING_MOST, SETTLE_TICK_SECONDS)) {
		return false;
	}
	// A greeting that stopped moving on is no excuse for long.
	return !_lasted(_progress_time, _progress_frame, SETTLE_SECONDS, SETTLE_TICK_SECONDS);
}

void SoakLiveness::note_script_pause(bool p_paused) {
	_script_paused = p_paused;
}

// ---------------------------------------------------------------------------
// Before a frame

void SoakLiveness::before_frame() {
	if (_release_due) {
		_release_due = false;
		_device.release(_pressed_hand, "ax_button");
	}
	if (_stick_release_due) {
		// Let go of the stick, unless something else moved it meanwhile.
		_stick_release_due = false;
		Variant held = _device.input(1, "primary");
		if (held.get_type() == Variant::VECTOR2 && (Vector2)held == Vector2(0.0f, _probe.thrust)) {
			_device.set_vector2(1, "primary", Vector2());
		}
	}
	_answer_greeting();
	if (!_probe.pending) {
		_start_probe();
	}
}

void SoakLiveness::_answer_greeting() {
	const int typed = _session.texts_typed();
	Node *hud = usable(_session.scene().hud);
	const bool waiting = Host::tree()->is_paused() || (hud && Object::cast_to<Node3D>(hud)->is_visible());
	if (!_runtime.focussed() || !waiting) {
		_typed_answered = typed;
		return;
	}
	const double now = _session.time();
	const bool read = typed != _typed_answered && _typed_at >= 0.0 && now - _typed_at >= READING_TIME;
	if (!read && now - _pressed_at < PRESS_EVERY) {
		return;
	}
	// A/X of a hand whose controller the greeting can hear.
	int hand = 1;
	if (!usable_id<Node>(_hooks.known_controller(1)) && usable_id<Node>(_hooks.known_controller(0))) {
		hand = 0;
	}
	_typed_answered = typed;
	_pressed_at = now;
	_counts.presses++;
	// A button held down is let go of first, so that the press is one.
	_device.release(hand, "ax_button");
	_device.press(hand, "ax_button");
	_pressed_hand = hand;
	_release_due = true;
}

void SoakLiveness::_start_probe() {
	if (!_runtime.focussed() || _session.time() < _next_probe || Host::tree()->is_paused() || _greeting_under_way()) {
		return;
	}
	DemoScene &s = _session.scene();
	RigidBody3D *player = usable(s.player);
	Node *manager = usable(s.manager);
	if (!player || !manager || !usable_id<Node>(_hooks.known_controller(1))) {
		// Nothing a stick could reach, or only through a controller the
		// manager was never told of: not judged.
		_clear(NO_INPUT);
		return;
	}
	_next_probe = _session.time() + PROBE_EVERY;
	// Forward and back in turn, beyond the stick's dead zone.
	const float thrust = (_counts.probes % 2 == 0 ? 1.0f : -1.0f) * (0.6f + 0.1f * (float)(_counts.probes % 5));
	_probe = { true, thrust, player->get_instance_id(), manager->get_instance_id(), Engine::get_singleton()->get_physics_frames(),
		(double)player->get_mass(), 0 };
	_device.set_vector2(1, "primary", Vector2(0.0f, thrust));
}

// ---------------------------------------------------------------------------
// After a frame

void SoakLiveness::_read_probe() {
	if (!_probe.pending) {
		return;
	}
	DemoScene &s = _session.scene();
	RigidBody3D *player = usable(s.player);
	Variant stick = _device.input(1, "primary");
	// Whatever changed meanwhile makes the move tell nothing: the player or
	// the manager replaced, the stick moved by someone else, the game paused.
	const bool void_move = !player || player->get_instance_id() != _probe.player || id_of(usable(s.manager)) != _probe.manager ||
						   stick.get_type() != Variant::VECTOR2 || (Vector2)stick != Vector2(0.0f, _probe.thrust) || !_runtime.focussed() ||
						   Host::tree()->is_paused();
	const bool stepped = Engine::get_singleton()->get_physics_frames() != _probe.physics_frame;
	if (!void_move && !stepped && ++_probe.frames < PROBE_MOST_FRAMES) {
		return; // no physics step yet: read after the next frame
	}
	_probe.pending = false;
	_stick_release_due = true;
	const double mass = void_move ? 0.0 : (double)player->get_mass();
	if (void_move || !stepped || !std::isfinite(mass) || mass <= 0.0) {
		return; // a mass that is no number is the mass check's to report
	}
	_counts.probes++;
	if (thrust_reached(player, _probe.thrust, mass) || thrust_reached(player, _probe.thrust, _probe.mass)) {
		_counts.probes_reached++;
		_clear(NO_INPUT);
		return;
	}
	char detail[160];
	const Vector3 force = player->get_constant_force();
	std::snprintf(detail, sizeof(detail), "stick %.2f, mass %g, force (%g, %g, %g)", (double)_probe.thrust, mass, (double)force.x, (double)force.y,
			(double)force.z);
	_judge(NO_INPUT, true, detail);
}

void SoakLiveness::_watch_progress() {
	const double now = _session.time();
	const uint64_t frame = Engine::get_singleton()->get_process_frames();
	bool progress = false;
	bool began = false;
	if (_runtime.focus_count() != _focus_seen) {
		_focus_seen = _runtime.focus_count();
		_focus_at = now;
		began = true; // focus starts a greeting
	}
	const uint64_t manager = id_of(usable(_session.scene().manager));
	if (manager != 0 && manager != _manager_seen) {
		_manager_at = now;
		began = true; // a new manager may greet
	}
	_manager_seen = manager;
	const int typed = _session.texts_typed();
	if (typed != _typed_seen) {
		_typed_seen = typed;
		_typed_at = now;
		progress = true;
	}
	Node *hud = usable(_session.scene().hud);
	if (id_of(hud) != _hud_seen) {
		_hud_seen = id_of(hud);
		_glyphs_seen = -1;
	}
	if (hud && (Host::tree()->is_paused() || Object::cast_to<Node3D>(hud)->is_visible())) {
		const int glyphs = glyph_signature(hud);
		progress = progress || (_glyphs_seen >= 0 && glyphs != _glyphs_seen);
		_glyphs_seen = glyphs;
	}
	if (began || (progress && _greeting_since < 0.0)) {
		_greeting_since = now;
		_greeting_since_frame = frame;
	}
	if (began || progress) {
		_progress_time = now;
		_progress_frame = frame;
	}
}

Node3D *SoakLiveness::_hidden_world_node() const {
	Node *scene = Host::tree()->get_current_scene();
	for (int32_t i = 0; scene && i < scene->get_child_count(); i++) {
		Node3D *node = Object::cast_to<Node3D>(scene->get_child(i));
		if (node && !node->is_visible() && !node->is_queued_for_deletion() && !_hooks.shown_by_script(node->get_instance_id())) {
			return node;
		}
	}
	return nullptr;
}

void SoakLiveness::after_frame() {
	_watch_progress();
	_read_probe();
	if (!_runtime.focussed()) {
		// Paused and hidden is right while the session has no focus.
		for (int k = 0; k < FAULT_COUNT; k++) {
			_clear((FaultKind)k);
		}
		return;
	}
	DemoScene &s = _session.scene();
	const bool paused = Host::tree()->is_paused();
	_script_paused = _script_paused && paused;
	MeshInstance3D *hud = usable(s.hud);
	if (!paused && !(hud && hud->is_visible())) {
		_greeting_since = -1.0; // the game runs: no greeting is under way
	}
	_counts.judged_frames += _greeting_under_way() ? 0 : 1;
	const float volume = AudioServer::get_singleton()->get_bus_volume_linear(0);
	char level[48];
	std::snprintf(level, sizeof(level), "volume %.2f", (double)volume);
	char state[160];
	std::snprintf(state, sizeof(state), "%s (came at %.2f s), focus came at %.2f s, HUD %s, %d texts typed",
			usable(s.manager) ? "a manager in the tree" : "no manager in the tree", _manager_at, _focus_at,
			!hud ? "gone" : hud->is_visible() ? "shown" : "hidden", _session.texts_typed());
	_judge(PAUSED, paused && !_script_paused, state);
	if (_judge(MUTED, !(std::fabs(volume - 1.0f) <= 1e-3f), level)) {
		// Turned up again, as a script would, so that a later fault shows too.
		_counts.volume_repairs++;
		AudioServer::get_singleton()->set_bus_volume_linear(0, 1.0f);
		_clear(MUTED);
	}
	_judge(HUD_SHOWN, hud && hud->is_visible());
	Node3D *skeleton = usable(s.skeleton);
	_judge(BODY_HIDDEN, skeleton && usable(s.player) && !skeleton->is_visible());
	// Last: showing the node again runs its receivers.
	Node3D *hidden = _hidden_world_node();
	if (_judge(WORLD_HIDDEN, hidden != nullptr, hidden ? String(hidden->get_name()).utf8().get_data() : "")) {
		_clear(WORLD_HIDDEN);
		hidden->set_visible(true);
	}
}

void SoakLiveness::_clear(FaultKind p_kind) {
	_faults[p_kind].holds = false;
	_faults[p_kind].reported = false;
}

bool SoakLiveness::_judge(FaultKind p_kind, bool p_holds, const std::string &p_detail) {
	Fault &fault = _faults[p_kind];
	if (!p_holds) {
		_clear(p_kind);
		return false;
	}
	// A greeting under way excuses the state: the library gets its few
	// seconds from the moment the excuse ends (a greeting cut short by its
	// HUD going is ended, and the world shown, a frame later).
	if (!fault.holds || _greeting_under_way()) {
		fault.holds = true;
		fault.since_time = _session.time();
		fault.since_frame = Engine::get_singleton()->get_process_frames();
	}
	if (fault.reported || !_lasted(fault.since_time, fault.since_frame, SETTLE_SECONDS, SETTLE_TICK_SECONDS)) {
		return false;
	}
	fault.reported = true;
	char since[48];
	std::snprintf(since, sizeof(since), "since %.2f s", fault.since_time);
	_hooks.report(fault.what, p_detail.empty() ? std::string(since) : std::string(since) + ": " + p_detail);
	return true;
}
