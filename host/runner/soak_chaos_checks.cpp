// The adversary's frame clock, and what must hold after every frame whatever
// it did: finite bodies, the player's mass, a world that shows while the game
// runs, and a count of what the run covered.
#include "soak_chaos.hpp"
#include "soak_state.hpp"

#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/timer.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_host/host.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

using namespace godot;
using godot_host::Host;

namespace {

// Running frames after a body goes before the player must have let go of
// what it held of it: the player learns of it in a frame it processes.
constexpr int SETTLE_FRAMES = 2;
// Frames a body that a player left holding may take to be given back.
constexpr int ORPHAN_FRAMES = 3;
// Sums of what holding may have added, at most.
constexpr size_t MOST_SUMS = 256;
// The rig is switched by hand about this often.
constexpr double SWITCH_EVERY = 80.0;

// Finite, but beyond any place or scale of the scene.
bool huge(const Transform3D &p_transform) {
	const float most = 1e15f;
	for (int i = 0; i < 3; i++) {
		const Vector3 row = p_transform.basis.rows[i];
		if (std::fabs(row.x) > most || std::fabs(row.y) > most || std::fabs(row.z) > most || std::fabs(p_transform.origin[i]) > most) {
			return true;
		}
	}
	return false;
}

bool same_mass(double p_a, double p_b) {
	return std::fabs(p_a - p_b) <= 1e-4 * std::max(1.0, std::fabs(p_b)) + 1e-3;
}

} // namespace

void Chaos::frame() {
	_frames++;
	_forget_dead_records();
	_remember_new_crates();
	_restore_poses();
	_remove_sub_scene();
	_end_own_pause();
	// A scene that changes gets no session event: the greeting is played
	// through on its own schedule, never because something came back.
	_readd_due_nodes();
	if (_session.time() >= _next_switch) {
		_next_switch = _session.time() + SWITCH_EVERY * (0.5 + std::uniform_real_distribution<double>(0.0, 1.0)(_rng));
		_switch_rig();
	}
	if (_session.time() >= _next_greeting_check) {
		_check_greeting_ends();
	}
	double delta = 0.0;
	if (_pick_delta(delta)) {
		_session.frame(delta);
	} else {
		_session.frame();
	}
	_after_frame();
}

bool Chaos::_pick_delta(double &r_delta) {
	const char *slow = "0.25 s (4 frames a second)";
	// A runtime throttles a session it does not show, and only then: the
	// frames are slow for as long as the session is hidden.
	if (_soak._runtime.state() == SoakRuntime::HIDDEN) {
		if (!_throttled) {
			_throttled = true;
			_slow_spells++;
			_tell("the runtime throttles the hidden session to 4 frames a second");
		}
		_deltas[slow]++;
		r_delta = 0.25;
		return true;
	}
	_throttled = false;
	std::uniform_real_distribution<double> unit(0.0, 1.0);
	double roll = unit(_rng);
	if (roll < 0.012) {
		_deltas["zero"]++;
		r_delta = 0.0;
		_tell("gives a frame of no time");
		return true;
	}
	if (roll < 0.014) {
		_deltas["several seconds (a debugger stop)"]++;
		r_delta = 2.0 + 4.0 * unit(_rng);
		_tell("gives a frame of seconds:", std::to_string(r_delta));
		return true;
	}
	if (roll < 0.024) {
		_deltas["hitched (0.1 to 1 s)"]++;
		r_delta = 0.1 + 0.9 * unit(_rng);
		_tell("gives a hitched frame:", std::to_string(r_delta));
		return true;
	}
	// The engine's own timers never recover from a delta that is no number:
	// the greeting's are left out of it, the library's frame is not.
	if (roll < 0.030 && !_greeting_timer_running()) {
		const double deltas[] = { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity() };
		const char *names[] = { "NaN", "+inf", "-inf" };
		int k = _pick(3);
		_deltas[names[k]]++;
		r_delta = deltas[k];
		_tell("gives a frame whose delta is", names[k]);
		return true;
	}
	return false;
}

bool Chaos::_greeting_timer_running() const {
	for (uint64_t id : _library_timers) {
		Timer *timer = Object::cast_to<Timer>(ObjectDB::get_instance(id));
		if (timer && !timer->is_stopped()) {
			return true;
		}
	}
	return false;
}

void Chaos::_after_frame() {
	_forget_dead_records();
	_remember_new_crates();
	_observe_pause();
	if (_shapes_dirty && _scene.player) {
		_refresh_shapes();
	}
	_check_bodies_finite();
	_check_holding();
	_check_world_visible();
	if (_frames % 600 == 0) {
		_prune();
	}
}

void Chaos::_report(const char *p_what, const std::string &p_detail) {
	_soak._report_with(p_what, p_detail);
}

// ---------------------------------------------------------------------------
// Pause and the world

void Chaos::_observe_pause() {
	bool paused = Host::tree()->is_paused();
	if (paused == _last_paused) {
		return;
	}
	// The adversary notes its own changes as it makes them: this one is the
	// library's. When it lets the game run, a greeting has ended.
	_last_paused = paused;
	_library_ran = !paused;
	if (_library_ran) {
		// A greeting ended: nodes it left shown are judged again from here on.
		for (auto it = _soak._set_by_script.begin(); it != _soak._set_by_script.end();) {
			Node3D *node = Object::cast_to<Node3D>(ObjectDB::get_instance(*it));
			it = node && node->is_visible() ? _soak._set_by_script.erase(it) : std::next(it);
		}
	}
}

void Chaos::_note_world_visibility(uint64_t p_node) {
	Node3D *node = Object::cast_to<Node3D>(ObjectDB::get_instance(p_node));
	if (!node || p_node == _adversary_showing) {
		return;
	}
	if (node->is_visible()) {
		_hidden_by_library.erase(p_node);
		return;
	}
	if (node->get_parent() != Host::tree()->get_current_scene()) {
		return;
	}
	// The library hides the world as it shows the HUD. As it hides the HUD
	// it gives each node the state it had before, which may be hidden when
	// the adversary changed it meanwhile: such a node is not judged.
	_library_ran = false;
	if (!_soak._set_by_script.count(p_node)) {
		_hidden_by_library.insert(p_node);
	}
}

void Chaos::_check_world_visible() {
	_observe_pause();
	Node *scene = Host::tree()->get_current_scene();
	if (_last_paused || !_library_ran || !scene) {
		return;
	}
	for (int32_t i = 0; i < scene->get_child_count(); i++) {
		Node3D *node = Object::cast_to<Node3D>(scene->get_child(i));
		if (!node || node->is_visible() || !_hidden_by_library.count(node->get_instance_id())) {
			continue;
		}
		_report("the world stays hidden while the game runs", String(node->get_name()).utf8().get_data());
		// Shown again, as a script would, so that later faults show too.
		_hidden_by_library.erase(node->get_instance_id());
		_adversary_showing = node->get_instance_id();
		node->set_visible(true);
		_adversary_showing = 0;
		return;
	}
}

// ---------------------------------------------------------------------------
// Bodies

void Chaos::_check_bodies_finite() {
	DemoScene &s = _scene;
	if (s.player && !s.player->get_global_transform().is_finite()) {
		_report("the player's transform is not finite");
		s.player->set_global_transform(Transform3D());
		s.player->set_linear_velocity(Vector3());
		s.player->set_angular_velocity(Vector3());
	}
	for (RigidBody3D *crate : s.crates) {
		if (crate->get_global_transform().is_finite()) {
			continue;
		}
		// Not the library's doing when the adversary poisoned this body's
		// mass, or the pose it hangs from, or when it hangs from a place a
		// huge pose made (a float can't hold what physics makes of that).
		bool excused = false;
		for (Node *n = crate; n && !excused; n = n->get_parent()) {
			Node3D *n3 = Object::cast_to<Node3D>(n);
			excused = _poisoned.count(n->get_instance_id()) || (Object::cast_to<BoneAttachment3D>(n) && _pose_pending(n)) ||
					  (n != crate && n3 && huge(n3->get_transform()));
		}
		if (excused) {
			// Left as it is: set from a place that is no number it would stay
			// none, and physics may have made it none for good meanwhile.
			_poisoned.insert(crate->get_instance_id());
			continue;
		}
		if (crate->get_transform().is_finite()) {
			// Only huge places composed past what a float holds: nobody wrote
			// a value that is no number.
			continue;
		}
		bool held = crate->get_process_mode() == Node::PROCESS_MODE_DISABLED;
		Vector3 v = crate->get_linear_velocity(), w = crate->get_angular_velocity();
		char detail[256];
		std::snprintf(detail, sizeof(detail), "%s, velocity (%g, %g, %g), angular (%g, %g, %g)",
				String(crate->is_inside_tree() ? String(crate->get_path()) : String(crate->get_name())).utf8().get_data(), v.x, v.y, v.z, w.x, w.y, w.z);
		_report(held ? "a held body's transform is not finite" : "a body's transform is not finite", detail);
		crate->set_transform(Transform3D(Basis(), Vector3(0, 1.2f, -0.6f)));
		crate->set_linear_velocity(Vector3());
		crate->set_angular_velocity(Vector3());
	}
}

void Chaos::_note_mass(RigidBody3D *p_body) {
	double mass = p_body->get_mass();
	_masses_seen[p_body->get_instance_id()].push_back(mass);
	if (!std::isfinite(mass)) {
		_poisoned.insert(p_body->get_instance_id());
	}
}

void Chaos::_check_holding() {
	DemoScene &s = _scene;
	const uint64_t player = s.player ? s.player->get_instance_id() : 0;
	const bool paused = Host::tree()->is_paused();
	if (player != _mass_player) {
		// The bodies the player that went held must be given back.
		for (const auto &h : _holds) {
			_orphans.emplace(h.first, 0);
		}
		_holds.clear();
		_mass_player = player;
		_base_mass = s.player ? s.player->get_mass() : 0.0;
		_mass_reported = false;
	}
	std::unordered_set<uint64_t> held;
	for (RigidBody3D *crate : s.crates) {
		if (crate->get_process_mode() == Node::PROCESS_MODE_DISABLED) {
			held.insert(crate->get_instance_id());
		}
	}
	for (auto it = _orphans.begin(); it != _orphans.end();) {
		if (!held.count(it->first)) {
			it = _orphans.erase(it);
			continue;
		}
		held.erase(it->first);
		if (++it->second > ORPHAN_FRAMES && !_orphans_reported.count(it->first)) {
			_orphans_reported.insert(it->first);
			_report("a body stays disabled after the player holding it went");
		}
		++it;
	}
	bool changed = false;
	for (uint64_t id : held) {
		if (_holds.count(id)) {
			continue;
		}
		// The grab read the body's mass at some moment of the frame: any of
		// those it had meanwhile. One that is no finite positive number adds nothing.
		std::vector<double> &hold = _holds[id];
		for (double m : _masses_seen[id]) {
			double added = std::isfinite(m) && m > 0.0 ? m : 0.0;
			if (std::find(hold.begin(), hold.end(), added) == hold.end()) {
				hold.push_back(added);
			}
		}
		if (hold.empty()) {
			hold.push_back(0.0);
		}
		changed = true;
	}
	for (auto it = _holds.begin(); it != _holds.end();) {
		if (held.count(it->first)) {
			++it;
			continue;
		}
		it = _holds.erase(it);
		changed = true;
	}
	_mass_reported = _mass_reported && !changed;
	// A body that went is let go of in a frame the player processes.
	if (_crates_died) {
		_settle_frames = SETTLE_FRAMES;
		_crates_died = false;
	} else if (_settle_frames > 0 && !paused) {
		_settle_frames--;
	}
	if (s.player && _settle_frames == 0) {
		std::vector<const std::vector<double> *> parts;
		for (const auto &h : _holds) {
			parts.push_back(&h.second);
		}
		_check_mass(parts);
	}
	_masses_seen.clear();
	for (RigidBody3D *crate : s.crates) {
		_masses_seen[crate->get_instance_id()] = { (double)crate->get_mass() };
	}
}

void Chaos::_check_mass(const std::vector<const std::vector<double> *> &p_parts) {
	double mass = _scene.player->get_mass();
	if (!std::isfinite(mass) || mass <= 0.0) {
		if (!_mass_reported) {
			_mass_reported = true;
			_report("the player's mass is not a finite positive number");
		}
		return;
	}
	std::vector<double> sums = { _base_mass };
	for (const std::vector<double> *part : p_parts) {
		std::vector<double> next;
		for (double sum : sums) {
			for (double added : *part) {
				next.push_back(sum + added);
			}
		}
		sums.swap(next);
		if (sums.size() > MOST_SUMS) {
			return; // too many ways to tell
		}
	}
	for (double sum : sums) {
		if (same_mass(mass, sum)) {
			return;
		}
	}
	if (!_mass_reported) {
		_mass_reported = true;
		char detail[96];
		std::snprintf(detail, sizeof(detail), "mass %g, base %g, %zu held", mass, _base_mass, p_parts.size());
		_report("the player's mass is not its base plus what holding added", detail);
	}
}

// ---------------------------------------------------------------------------
// What the run covered

namespace {

void print_counts(const char *p_title, const std::map<std::string, long> &p_counts) {
	std::printf("  %s:", p_title);
	if (p_counts.empty()) {
		std::printf(" none");
	}
	const char *separator = " ";
	for (const auto &c : p_counts) {
		std::printf("%s%s %ld", separator, c.first.c_str(), c.second);
		separator = ", ";
	}
	std::printf("\n");
}

} // namespace

void Chaos::print_summary() const {
	const char *emitters[EMITTER_COUNT] = { "HUD", "world node", "player", "XR manager", "hand shape", "held-object copy", "glyph", "timer", "controller" };
	const char *signals[SIGNAL_COUNT] = { "visibility_changed", "finished_typing", "timeout", "tree_entered", "tree_exiting", "tree_exited",
		"child_entered_tree", "child_exiting_tree", "child_order_changed", "renamed", "body_entered", "body_shape_entered", "body_exited",
		"body_shape_exited", "button_pressed", "button_released", "input_float_changed", "input_vector2_changed", "profile_changed" };
	long total = 0;
	for (const auto &row : _signals) {
		for (long n : row) {
			total += n;
		}
	}
	std::printf("chaos: %ld signals received, %ld of them inside the adversary's own acts; %ld calls back into the library from inside its own signals\n",
			total, _nested, _reentrant);
	for (int e = 0; e < EMITTER_COUNT; e++) {
		std::map<std::string, long> row;
		for (int s = 0; s < SIGNAL_COUNT; s++) {
			if (_signals[e][s] > 0) {
				row[signals[s]] = _signals[e][s];
			}
		}
		print_counts(emitters[e], row);
	}
	print_counts("freed at once", _frees);
	print_counts("freed at the frame's end", _queued_frees);
	print_counts("reparented", _reparents);
	print_counts("renamed", _renames);
	print_counts("pause", { { "paused", _pauses }, { "unpaused", _unpauses } });
	print_counts("world nodes the adversary", _visibility_acts);
	print_counts("bad values", _bad_values);
	std::map<std::string, long> deltas = _deltas;
	if (_slow_spells > 0) {
		deltas["slow spells"] = _slow_spells;
	}
	print_counts("frame deltas", deltas);
	print_counts("calls into the library", _calls);
	print_counts("sub-scenes added", _sub_scenes);
	print_counts("process modes set", _remodes);
	std::map<std::string, long> readds = _readds;
	readds["greetings played through"] = _greeting_checks;
	print_counts("added back", readds);
	print_counts("runtime events", _soak._runtime.event_counts());
	const SoakLiveness::Counts &live = _soak._liveness.counts();
	print_counts("liveness", { { "frames judged", live.judged_frames }, { "stick moves read", live.probes },
										{ "stick moves that moved the player", live.probes_reached }, { "A/X presses answering greetings", live.presses },
										{ "volume turned up again", live.volume_repairs } });
}
