// The soak's lifetimes: scene nodes freed and re-added as a game's scripts
// and scenes do, and bodies freed inside the signals that report them.
#include "soak.hpp"
#include "soak_state.hpp"

#include "signal_receiver.hpp"

#include <godot_cpp/classes/xr_origin3d.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_host/physics_world.hpp>

#include <cstdio>

using namespace godot;
using godot_host::PhysicsWorld;

namespace {

// A greeting types at most this many texts; each needs a press.
constexpr int MOST_PRESSES = 12;
// Presses come this long after a text is typed, or this often without one.
constexpr double READING_TIME = 0.6;
constexpr double PRESS_EVERY = 4.0;
constexpr double GREETING_TIMEOUT = 150.0;

} // namespace

SoakLiveness::Hooks SoakState::_liveness_hooks() {
	SoakLiveness::Hooks hooks;
	hooks.report = [this](const char *p_what, const std::string &p_detail) { _report_with(p_what, p_detail); };
	hooks.known_controller = [this](int p_hand) { return p_hand == 0 || p_hand == 1 ? _known_controllers[p_hand] : 0; };
	hooks.shown_by_script = [this](uint64_t p_node) { return _set_by_script.count(p_node) > 0; };
	return hooks;
}

void SoakState::_report_with(const char *p_what, const std::string &p_detail) {
	_report(p_what);
	// Shown with the first few, as the fault itself is.
	if (!p_detail.empty() && _violation_kinds[p_what] <= 3) {
		std::printf("         %s\n", p_detail.c_str());
	}
}

void SoakState::_before_frame() {
	_runtime.step();
	_liveness.before_frame();
}

void SoakState::_after_frame() {
	_liveness.after_frame();
}

void SoakState::_play_for(double p_seconds) {
	const double end = _session.time() + p_seconds;
	while (_session.time() + 1e-9 < end) {
		_before_frame();
		_session.frame();
		_check_body_finite();
		_after_frame();
	}
}

void SoakState::_listen_for_doomed_bodies() {
	if (!_scene.player) {
		return;
	}
	// A script's receiver that frees the body it is told about; connected
	// after the player's own receivers, as a scene's scripts are.
	auto free_if_doomed = [this](const Variant *p_body) {
		Object *body = p_body->get_validated_object();
		if (!body || !_doomed.erase(body->get_instance_id())) {
			return;
		}
		_forget_crate(body);
		memdelete(body);
		_freed_in_signals++;
		_frees++;
		_freed_this_frame = true;
	};
	_scene.player->connect("body_entered", runner_callable(_scene.player, [free_if_doomed](const Variant **p_args, int p_count) {
		if (p_count >= 1) {
			free_if_doomed(p_args[0]);
		}
	}));
	_scene.player->connect("body_shape_entered", runner_callable(_scene.player, [free_if_doomed](const Variant **p_args, int p_count) {
		if (p_count >= 2) {
			free_if_doomed(p_args[1]);
		}
	}));
}

void Soak::_doom_a_touched_body() {
	if (!_alive(_scene.player) || _shapes.empty() || _scene.crates.empty()) {
		return;
	}
	// A body that starts touching now: "body_entered" or, when it already
	// touches, "body_shape_entered" reports it, and the receiver frees it.
	RigidBody3D *crate = _scene.crates[(size_t)_pick((int)_scene.crates.size())];
	_doomed.insert(crate->get_instance_id());
	Touch t = { crate->get_instance_id(), _shapes[(size_t)_pick((int)_shapes.size())] };
	PhysicsWorld::begin_shape_contact(_scene.player, crate, 0, t.shape);
	_touches.push_back(t);
}

void SoakState::_replace(const char *p_what) {
	_nodes_replaced++;
	_session.say("soak: %s\n", p_what);
}

void Soak::_lifetime_event() {
	DemoScene &s = _scene;
	// Free one contract node, play on without it for a while, then add a
	// fresh one as a scene would.
	int kind = _pick(5);
	Node *gone = kind < 2 ? (Node *)s.controllers[kind] : kind == 2 ? (Node *)s.hud : kind == 3 ? (Node *)s.camera : s.manager;
	if (!_alive(gone)) {
		return;
	}
	const char *names[5] = { "left controller", "right controller", "HUD", "camera", "XR manager" };
	_session.say("soak: frees the %s\n", names[kind]);
	memdelete(gone);
	// The scene's records never point at freed nodes.
	if (kind < 2) {
		s.controllers[kind] = nullptr;
	} else if (kind == 2) {
		s.hud = nullptr;
	} else {
		s.camera = nullptr; // freed with the manager too
		s.manager = kind == 4 ? nullptr : s.manager;
	}
	bool midway = _chance(0.5);
	_play_for(0.5 + 2.0 * std::uniform_real_distribution<double>(0.0, 1.0)(_rng));
	switch (kind) {
		case 0:
		case 1:
			readd_controller(s, kind);
			_replace(kind == 0 ? "adds a new left controller" : "adds a new right controller");
			break;
		case 2:
			readd_hud(s);
			_replace("adds a new HUD");
			break;
		case 3:
			readd_camera(s);
			_replace("adds a new camera");
			break;
		default:
			break;
	}
	// Only a new manager learns of new controllers, as with a scene reload.
	if (kind == 4 || _chance(0.5)) {
		if (kind != 4 && _alive(s.manager)) {
			_session.say("soak: frees the XR manager\n");
			memdelete(s.manager);
			s.manager = nullptr;
			s.camera = nullptr;
		}
		if (readd_manager(s)) {
			_replace("adds a new XR manager with its origin and camera");
			for (int side = 0; side < 2; side++) {
				_known_controllers[side] = _alive(s.controllers[side]) ? s.controllers[side]->get_instance_id() : 0;
			}
		}
	}
	// The runtime tells nothing of a scene that changed while the headset
	// stays on: the game must be playable again within a few seconds all
	// the same. Only then may the session lose focus and get it back.
	_play_for(SoakLiveness::SETTLE_SECONDS + 1.0);
	_check_greeting_ends(midway);
}

void SoakState::_check_greeting_ends(bool p_free_hud_midway) {
	DemoScene &s = _scene;
	// The presses reach a greeting through the controllers the manager knows.
	int hand = -1;
	for (int side = 1; side >= 0 && hand < 0; side--) {
		if (_alive(s.controllers[side]) && s.controllers[side]->get_instance_id() == _known_controllers[side]) {
			hand = side;
		}
	}
	// The person takes the headset off and on: only a session with focus loses it.
	if (hand < 0 || !_alive(s.manager) || !_alive(s.hud) || s.openxr.is_null() || !_runtime.focussed()) {
		return;
	}
	for (const char *button : { "ax_button", "by_button" }) {
		for (int side = 0; side < 2; side++) {
			_device.release(side, button);
		}
	}
	_runtime.lose_focus();
	_runtime.regain_focus();
	int presses = 0;
	int typed = _session.texts_typed();
	double typed_at = _session.time(), pressed_at = _session.time();
	double end = _session.time() + GREETING_TIMEOUT;
	bool hud_freed = false;
	while (_session.paused() && presses < MOST_PRESSES && _session.time() < end) {
		if (p_free_hud_midway && !hud_freed && _session.texts_typed() > typed && _alive(s.hud)) {
			// The HUD goes while the greeting waits: the greeting must end all the same.
			_session.say("soak: frees the HUD mid-greeting\n");
			memdelete(s.hud);
			s.hud = nullptr;
			hud_freed = true;
		}
		if (_session.texts_typed() > typed) {
			typed = _session.texts_typed();
			typed_at = _session.time();
		}
		bool read = typed_at > pressed_at && _session.time() - typed_at > READING_TIME;
		if (_alive(s.controllers[hand]) && (read || _session.time() - pressed_at > PRESS_EVERY)) {
			_device.press(hand, "ax_button");
			_session.frame();
			_device.release(hand, "ax_button");
			presses++;
			pressed_at = _session.time();
			continue;
		}
		_session.frame();
		_check_body_finite();
	}
	// A last look: the final press may end it a frame later.
	_session.run_for(0.1);
	if (_session.paused()) {
		_report("the game stays paused: A/X presses never ended the greeting");
	} else {
		_greeting_checks++;
	}
	if (hud_freed) {
		readd_hud(s);
		_replace("adds a new HUD");
	}
}
