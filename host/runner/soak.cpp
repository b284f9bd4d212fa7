// A long randomised session: every kind of input the engine may deliver, in
// any order, with the invariants of the player's hands checked as it goes.
#include "soak.hpp"
#include "soak_state.hpp"

#include "engine_log.hpp"
#include "memory_usage.hpp"
#include "soak_chaos.hpp"

#include <godot_cpp/core/object.hpp>
#include <godot_host/physics_world.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>
#include <memory>
#include <string>

using namespace godot;
using godot_host::PhysicsWorld;

namespace {

const char *BUTTONS[] = { "ax_button", "by_button", "menu_button", "trigger_click" };
const char *FLOATS[] = { "trigger", "grip", "grip_force", "unknown" };
const char *VECTORS[] = { "primary", "secondary", "unknown" };

// Memory is sampled this many times over a soak.
constexpr int MEMORY_SAMPLES = 10;
constexpr int BODIES_PER_FIGURE = 10000;
// Resident memory moves by a page or an allocator's chunk now and then
// whatever the bodies do: over fewer bodies than this, that noise would be
// the figure (161 bodies once made +2.47 MB per 10k of a flat line).
constexpr int FEWEST_BODIES_FOR_FIGURE = 2000;

// How resident memory grew for the bodies created and freed over the second
// half of the soak, long after the session warmed up.
std::string growth_per_bodies(const std::vector<double> &p_memory, const std::vector<int> &p_freed) {
	size_t from = p_memory.size() / 2;
	int bodies = p_freed.size() < 2 ? 0 : p_freed.back() - p_freed[from];
	char text[128];
	if (bodies < FEWEST_BODIES_FOR_FIGURE) {
		std::snprintf(text, sizeof(text), "bodies freed in the second half: %d, too few for a figure per %dk (it takes %d)", std::max(bodies, 0),
				BODIES_PER_FIGURE / 1000, FEWEST_BODIES_FOR_FIGURE);
		return text;
	}
	std::snprintf(text, sizeof(text), "%+.2f MB per %dk bodies created and freed in the second half (%d bodies)",
			(p_memory.back() - p_memory[from]) * BODIES_PER_FIGURE / bodies, BODIES_PER_FIGURE / 1000, bodies);
	return text;
}

} // namespace

Soak::Soak(Session &r_session, const SoakOptions &p_options) :
		SoakState(r_session, p_options), _rng(p_options.seed) {}

bool Soak::_chance(double p_probability) {
	return std::uniform_real_distribution<double>(0.0, 1.0)(_rng) < p_probability;
}

int Soak::_pick(int p_count) {
	return (int)(_rng() % (unsigned)p_count);
}

float Soak::_value() {
	switch (_pick(6)) {
		case 0:
			// Poses and contacts stay finite in the hard soak: the body's
			// finiteness is checked against what controllers send.
			return _options.bad_values ? 0.5f : std::numeric_limits<float>::quiet_NaN();
		case 1:
			return (float)std::uniform_real_distribution<double>(-5.0, 5.0)(_rng);
		case 2:
			return 0.0f;
		case 3:
			return 1.0f;
		default:
			return (float)std::uniform_real_distribution<double>(0.0, 1.0)(_rng);
	}
}

bool SoakState::_alive(uint64_t p_id) {
	return ObjectDB::get_instance(p_id) != nullptr;
}

bool SoakState::_alive(Object *p_object) const {
	return p_object && _alive(p_object->get_instance_id());
}

void SoakState::_report(const char *p_what) {
	_violations++;
	// A fault that repeats every frame is shown a few times, then counted.
	int seen = ++_violation_kinds[p_what];
	if (seen <= 3) {
		EngineLog::flush();
		std::printf("[%6.2fs] INVARIANT: %s%s\n", _session.time(), p_what, seen == 3 ? " (further ones counted only)" : "");
		std::fflush(stdout);
	}
}

void SoakState::_forget_crate(Object *p_crate) {
	for (size_t i = 0; i < _scene.crates.size(); i++) {
		if (_scene.crates[i] == p_crate) {
			_scene.crates.erase(_scene.crates.begin() + (long)i);
			return;
		}
	}
}

void Soak::_record_touch(const Touch &p_touch) {
	// A freed body's pairs end with it, and a pair begun twice is one pair:
	// the records stay as small as what touches now.
	_touches.erase(std::remove_if(_touches.begin(), _touches.end(), [](const Touch &t) { return !_alive(t.body); }), _touches.end());
	_forget_gone(_doomed);
	for (const Touch &t : _touches) {
		if (t.body == p_touch.body && t.shape == p_touch.shape) {
			return;
		}
	}
	_touches.push_back(p_touch);
}

void Soak::_ordinary_inputs() {
	DemoScene &s = _scene;
	// Through the device, as the engine passes input on: only changes, to
	// every controller node of the hand.
	for (int hand = 0; hand < 2; hand++) {
		XRController3D *c = _alive(s.controllers[hand]) ? s.controllers[hand] : nullptr;
		if (!c) {
			continue;
		}
		if (_chance(0.03)) {
			_device.press(hand, BUTTONS[_pick(4)]);
			_events++;
		}
		if (_chance(0.03)) {
			_device.release(hand, BUTTONS[_pick(4)]);
			_events++;
		}
		if (_chance(0.08)) {
			_device.set_float(hand, FLOATS[_pick(4)], _options.bad_values && _chance(0.2) ? _bad_value() : _value());
			_events++;
		}
		if (_chance(0.05)) {
			bool bad = _options.bad_values && _chance(0.2);
			_device.set_vector2(hand, VECTORS[_pick(3)], bad ? Vector2(_bad_value(), _value()) : Vector2(_value(), _value()));
			_events++;
		}
	}
	if (_alive(s.camera) && _chance(0.02)) {
		s.camera->set_position(Vector3(_value() * 0.2f, 1.6f, _value() * 0.2f));
	}
	// Contacts on every hand shape with crates, and wall contacts.
	if (s.player && !_shapes.empty() && !s.crates.empty() && _chance(0.15)) {
		RigidBody3D *crate = s.crates[(size_t)_pick((int)s.crates.size())];
		Touch t = { crate->get_instance_id(), _shapes[(size_t)_pick((int)_shapes.size())] };
		PhysicsWorld::begin_shape_contact(s.player, crate, 0, t.shape);
		_record_touch(t);
	}
	if (!_touches.empty() && _chance(0.12)) {
		size_t i = (size_t)_pick((int)_touches.size());
		Object *o = ObjectDB::get_instance(_touches[i].body);
		if (o) {
			PhysicsWorld::end_shape_contact(s.player, Object::cast_to<CollisionObject3D>(o), 0, _touches[i].shape);
		}
		_touches.erase(_touches.begin() + (long)i);
	}
	if (s.player && !_shapes.empty() && _chance(0.03)) {
		PhysicsWorld::Contact contact;
		contact.local_shape = _shapes[(size_t)_pick((int)_shapes.size())];
		contact.collider = _chance(0.5) ? (Object *)s.wall : (s.crates.empty() ? nullptr : (Object *)s.crates[(size_t)_pick((int)s.crates.size())]);
		contact.local_normal = Vector3(_value(), _value(), _value());
		contact.local_position = Vector3(_value(), _value(), _value());
		PhysicsWorld::add_contact(s.player, contact);
	}
	if (s.player && _chance(0.05)) {
		PhysicsWorld::clear_contacts(s.player);
	}
	if (s.trackers[0].is_valid() && _chance(0.02)) {
		s.trackers[_pick(2)]->set_pose("default", Transform3D(), Vector3(_value(), _value(), _value()), Vector3(), XRPose::XR_TRACKING_CONFIDENCE_HIGH);
	}
	// Bodies freed while touched or held, and new ones. The player learns
	// of a freed body in its next frame it processes, so the mass check
	// waits for that.
	if (!s.crates.empty() && _chance(0.004)) {
		RigidBody3D *crate = s.crates[(size_t)_pick((int)s.crates.size())];
		_forget_crate(crate);
		crate->queue_free();
		_frees++;
		_freed_this_frame = true;
	}
	if (s.crates.size() < 4 && _chance(0.01)) {
		spawn_crate(s, Vector3(_value(), 1.0f + _value() * 0.2f, -0.5f));
	}
}

void SoakState::_check_body_finite() {
	if (!_alive(_scene.player)) {
		return;
	}
	RigidBody3D *player = _scene.player;
	Vector3 p = player->get_global_position();
	Vector3 v = player->get_linear_velocity();
	Vector3 w = player->get_angular_velocity();
	for (float x : { p.x, p.y, p.z, v.x, v.y, v.z, w.x, w.y, w.z }) {
		if (!std::isfinite(x)) {
			_report("the player's position or velocity is not finite");
			// Put the body back, as a script would, so later faults show too.
			player->set_global_transform(Transform3D());
			player->set_linear_velocity(Vector3());
			player->set_angular_velocity(Vector3());
			return;
		}
	}
}

void Soak::_check_invariants() {
	DemoScene &s = _scene;
	int held = _session.held_count();
	_grabs_seen += held;
	if (held > 2 && !_chaos) {
		_report("more bodies held than hands");
	}
	// A paused player doesn't process, so it settles only once the game runs.
	if (_freed_this_frame || _session.paused()) {
		_settle_frames = 2;
	}
	_freed_this_frame = false;
	if (_settle_frames > 0) {
		_settle_frames--;
	} else if (_alive(s.player) && !_chaos) {
		float expected = _base_mass;
		for (RigidBody3D *crate : s.crates) {
			if (crate->get_process_mode() == Node::PROCESS_MODE_DISABLED) {
				expected += crate->get_mass();
			}
		}
		// Each held crate has one shape, carried as one collider on the player.
		int carried = 0;
		for (int i = 0; i < s.player->get_child_count(); i++) {
			Node *child = s.player->get_child(i);
			carried += (!child->is_queued_for_deletion() && String(child->get_name()).contains("__hand_")) ? 1 : 0;
		}
		if (carried != held) {
			_report("a held body's colliders are not on the player's hands");
		}
		if (std::fabs(s.player->get_mass() - expected) > 1e-3f * expected) {
			_report("the player's mass is not its base plus what it holds");
		}
	}
	if (_options.hard()) {
		_check_body_finite();
	}
	if (ObjectDB::_host_instance_count() > _objects_at_start + 2000) {
		_report("objects keep piling up");
	}
}

int Soak::run() {
	index_hand_shapes(_scene);
	for (const auto &e : _scene.hand_shapes) {
		_shapes.push_back(e.second);
	}
	_base_mass = _scene.player ? _scene.player->get_mass() : 0.0f;
	_objects_at_start = ObjectDB::_host_instance_count();
	for (int side = 0; side < 2; side++) {
		_known_controllers[side] = _scene.controllers[side] ? _scene.controllers[side]->get_instance_id() : 0;
	}
	if (_options.free_bodies_in_signals) {
		_listen_for_doomed_bodies();
	}
	SoakState &shared = *this;
	std::unique_ptr<Chaos> chaos = _options.chaos ? std::make_unique<Chaos>(shared) : nullptr;
	_chaos = chaos.get();
	const double start = _session.time();
	const double end = start + _options.seconds;
	std::vector<double> memory;
	std::vector<int> freed_at_sample;
	const double sample_every = _options.seconds / MEMORY_SAMPLES;
	double next_sample = start + sample_every;

	while (_session.time() < end) {
		_ordinary_inputs();
		if (_options.free_bodies_in_signals && _chance(0.003)) {
			_doom_a_touched_body();
		}
		if (_options.replace_nodes && _chance(0.0015)) {
			_lifetime_event();
		}
		if (_options.bad_values && _chance(0.002)) {
			_bad_refresh_rate();
		}
		if (_options.bad_values && !_chaos && _chance(0.0005)) {
			_bad_typing_delay();
		}
		_before_frame();
		if (_chaos) {
			_chaos->frame();
		} else {
			_session.frame();
		}
		_check_invariants();
		_after_frame();
		if (_session.time() >= next_sample) {
			memory.push_back(current_resident_mb());
			freed_at_sample.push_back(_frees);
			next_sample += sample_every;
		}
	}
	if (memory.size() < (size_t)MEMORY_SAMPLES) {
		memory.push_back(current_resident_mb());
		freed_at_sample.push_back(_frees);
	}

	std::printf("soak: %.0f s, seed %u%s, %d input events, %d bodies freed, %d held-body frames", _options.seconds, _options.seed,
			_options.hard() ? " (hard)" : "", _events, _frees, _grabs_seen);
	if (_options.hard()) {
		std::printf(", %d nodes replaced, %d bodies freed in their signals, %d greetings ended, %d bad values", _nodes_replaced, _freed_in_signals,
				_greeting_checks, _bad_values);
	}
	std::printf(", %d engine errors, %d violations\n", EngineLog::error_count(), _violations);
	for (const auto &kind : _violation_kinds) {
		std::printf("  %dx %s\n", kind.second, kind.first.c_str());
	}
	std::string samples;
	for (double mb : memory) {
		char buf[32];
		std::snprintf(buf, sizeof(buf), "%s%.1f", samples.empty() ? "" : " ", mb);
		samples += buf;
	}
	// The system may count the peak only now and then: never below a sample.
	double peak = peak_resident_mb();
	for (double mb : memory) {
		peak = std::max(peak, mb);
	}
	// Whole seconds, but a short soak's tenths are no zero.
	std::printf("memory: peak resident %.1f MB; resident every %.*f s: %s MB; %s\n", peak, sample_every < 10.0 ? 1 : 0, sample_every, samples.c_str(),
			growth_per_bodies(memory, freed_at_sample).c_str());
	if (_chaos) {
		_chaos->print_summary();
	}
	return _violations;
}

int play_soak(Session &r_session, const SoakOptions &p_options) {
	Soak soak(r_session, p_options);
	return soak.run();
}
