// The runner's scripted session and what it prints along the way.
#include "session.hpp"

#include <godot_cpp/classes/audio_server.hpp>
#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/standard_material3d.hpp>
#include <godot_cpp/classes/xr_server.hpp>
#include <godot_host/host.hpp>
#include <godot_host/physics_world.hpp>

#include "engine_log.hpp"
#include "signal_receiver.hpp"

#include <algorithm>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <thread>

using namespace godot;
using godot_host::Host;
using godot_host::PhysicsWorld;

Session::Session(DemoScene &r_scene, double p_unlimited_delta, bool p_verbose, bool p_realtime) :
		_scene(r_scene), _unlimited_delta(p_unlimited_delta), _verbose(p_verbose), _realtime(p_realtime) {
	_recentres_seen = XRServer::get_singleton()->_host_center_call_count();
	_frames_at_status = Engine::get_singleton()->get_process_frames();
	_ticks_at_status = Engine::get_singleton()->get_physics_frames();
}

void Session::say(const char *p_format, ...) {
	EngineLog::flush();
	if (!_verbose) {
		return;
	}
	std::printf("[%6.2fs] ", _time);
	va_list args;
	va_start(args, p_format);
	std::vprintf(p_format, args);
	va_end(args);
	std::fflush(stdout);
}

void Session::frame() {
	if (_time == 0.0) {
		_started = std::chrono::steady_clock::now();
	}
	_time += Host::paced_iteration(_unlimited_delta);
	_frame_done();
}

void Session::frame(double p_delta) {
	if (_time == 0.0) {
		_started = std::chrono::steady_clock::now();
	}
	// A delta that is no length of time reaches only the frame's callbacks:
	// the physics steps keep their own fixed step.
	if (std::isfinite(p_delta) && p_delta >= 0.0) {
		Host::iteration(p_delta);
		_time += p_delta;
	} else {
		Host::process_frame(p_delta);
	}
	_frame_done();
}

void Session::_frame_done() {
	if (_after_iteration) {
		_after_iteration();
	}
	if (_realtime) {
		std::this_thread::sleep_until(_started + std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(_time)));
	}
	_observe();
	if (_time + 1e-9 >= _next_status) {
		_next_status += 1.0;
		_status_line();
	}
}

void Session::run_for(double p_seconds, const std::function<void()> &p_each_frame) {
	double end = _time + p_seconds;
	while (_time + 1e-9 < end) {
		if (p_each_frame) {
			p_each_frame();
		}
		frame();
	}
}

bool Session::run_until(const std::function<bool()> &p_condition, double p_timeout) {
	double end = _time + p_timeout;
	while (_time < end) {
		if (p_condition()) {
			return true;
		}
		frame();
	}
	return p_condition();
}

std::vector<std::string> Session::read_hud(Node *p_hud, bool p_visible_only) {
	std::vector<std::string> lines;
	if (!p_hud) {
		return lines;
	}
	// Glyph cell k of the 8 by 8 atlas shows the character k + 32.
	std::map<int, std::map<int, char>, std::greater<int>> rows;
	for (int i = 0; i < p_hud->get_child_count(); i++) {
		MeshInstance3D *glyph = Object::cast_to<MeshInstance3D>(p_hud->get_child(i));
		if (!glyph || glyph->is_queued_for_deletion() || (p_visible_only && !glyph->is_visible())) {
			continue;
		}
		Ref<StandardMaterial3D> m = glyph->get_surface_override_material(0);
		if (m.is_null()) {
			continue;
		}
		Vector3 uv = m->get_uv1_offset();
		int cell = (int)std::lround(uv.x / 0.125) + 8 * (int)std::lround(uv.y / 0.125);
		Vector3 p = glyph->get_position();
		rows[(int)std::lround(p.y / 0.05 * 2)][(int)std::lround(p.x / 0.05 * 2)] = (char)(cell + 32);
	}
	int previous = 0;
	bool first = true;
	for (const auto &row : rows) {
		// Rows lie 0.05 apart; a missing row is an empty line.
		for (int gap = first ? 0 : (previous - row.first) / 2 - 1; gap > 0; gap--) {
			lines.push_back("");
		}
		std::string text;
		for (const auto &c : row.second) {
			text += c.second;
		}
		lines.push_back(text);
		previous = row.first;
		first = false;
	}
	return lines;
}

void Session::_observe() {
	EngineLog::flush();
	// A greeting's end recentres before it hides the HUD.
	_watch_recentre();
	_watch_hud();
}

namespace {

std::string joined(const std::vector<std::string> &p_lines) {
	std::string text;
	for (const std::string &l : p_lines) {
		text += (text.empty() ? "" : " / ") + l;
	}
	return text;
}

} // namespace

void Session::_watch_hud() {
	MeshInstance3D *hud = _scene.hud && ObjectDB::get_instance(_scene.hud->get_instance_id()) ? _scene.hud : nullptr;
	if (!hud) {
		_watched_hud = 0;
		_hud_shown = false;
		return;
	}
	if (hud->get_instance_id() != _watched_hud) {
		// A new HUD (a scene may replace it): listen to it as a script would.
		_watched_hud = hud->get_instance_id();
		_hud_shown = hud->is_visible();
		_typing_key.clear();
		hud->connect("finished_typing", runner_callable(hud, [this](const Variant **, int) { _typing_finished = true; }));
	}
	if (hud->is_visible() != _hud_shown) {
		_hud_shown = hud->is_visible();
		say("HUD %s\n", _hud_shown ? "shown" : "hidden");
	}
	// A text's glyphs are made when its typing starts; the same text typed
	// again is made of new glyphs.
	std::vector<std::string> all = read_hud(hud, false);
	int32_t count = hud->get_child_count();
	std::string key = all.empty() || count == 0 ? "" : joined(all) + "#" + std::to_string(hud->get_child(count - 1)->get_instance_id());
	if (key != _typing_key) {
		_typing_key = key;
		if (!all.empty()) {
			_typing_text = joined(all);
			say("HUD typing started: %s\n", _typing_text.c_str());
		}
	}
	if (_typing_finished) {
		_typing_finished = false;
		_texts_typed++;
		_text_done_at = _time;
		say("HUD typing finished: %s\n", _typing_text.c_str());
	}
}

void Session::_watch_recentre() {
	uint64_t calls = XRServer::get_singleton()->_host_center_call_count();
	if (calls < _recentres_seen) {
		_recentres_seen = 0; // the engine was reset
	}
	for (; _recentres_seen < calls; _recentres_seen++) {
		say("view recentred\n");
	}
}

double Session::heading_degrees(const Basis &p_basis) {
	// Where the body's forward (-Z) points, seen from above; 0 is forward,
	// a turn to the left is positive, as the engine's rotation about Y.
	Vector3 forward = p_basis.xform(Vector3(0, 0, -1));
	if (!std::isfinite(forward.x) || !std::isfinite(forward.z)) {
		return std::numeric_limits<double>::quiet_NaN();
	}
	if (forward.x == 0.0f && forward.z == 0.0f) {
		return 0.0; // facing straight up or down: no heading
	}
	return std::atan2(-(double)forward.x, -(double)forward.z) * 180.0 / 3.14159265358979323846;
}

int Session::held_count() const {
	int n = 0;
	for (RigidBody3D *crate : _scene.crates) {
		if (ObjectDB::get_instance(crate->get_instance_id()) && crate->get_process_mode() == Node::PROCESS_MODE_DISABLED) {
			n++;
		}
	}
	return n;
}

bool Session::paused() const {
	return Host::tree()->is_paused();
}

void Session::_status_line() {
	Engine *engine = Engine::get_singleton();
	uint64_t frames = engine->get_process_frames() - _frames_at_status;
	uint64_t ticks = engine->get_physics_frames() - _ticks_at_status;
	_frames_at_status = engine->get_process_frames();
	_ticks_at_status = engine->get_physics_frames();
	if (!_verbose) {
		return;
	}
	Vector3 pos;
	float speed = 0.0f;
	double heading = 0.0;
	if (_scene.player && ObjectDB::get_instance(_scene.player->get_instance_id())) {
		pos = _scene.player->get_global_position();
		speed = _scene.player->get_linear_velocity().length();
		heading = heading_degrees(_scene.player->get_global_basis()) + 0.0; // no "-0"
	}
	say("position (%.2f, %.2f, %.2f)  heading %.0f deg  speed %.2f  held %d  volume %.2f  %llu fps  %llu physics ticks/s  %s\n", pos.x, pos.y, pos.z,
			heading, speed, held_count(), AudioServer::get_singleton()->get_bus_volume_linear(0), (unsigned long long)frames, (unsigned long long)ticks,
			paused() ? "paused" : "running");
}

void Session::emit_session(const char *p_signal) {
	say("OpenXR runtime: %s\n", p_signal);
	if (_scene.openxr.is_valid()) {
		_scene.openxr->emit_signal(p_signal);
	}
	_observe();
}

void Session::press(int p_hand, const char *p_button) {
	XRController3D *c = _scene.controllers[p_hand];
	if (!c) {
		return;
	}
	c->_host_press_button(p_button);
	frame();
	c->_host_release_button(p_button);
}

bool Session::answer_greeting(double p_timeout) {
	double end = _time + p_timeout;
	// Only texts typed from now on are answered.
	double answered_at = _text_done_at;
	while (_time < end) {
		if (!paused()) {
			return true;
		}
		// A press counts once the text is typed; give the player a moment to read.
		if (_text_done_at >= 0 && _text_done_at != answered_at && _time - _text_done_at > 0.6) {
			answered_at = _text_done_at;
			say("player: presses A\n");
			press(_scene.controllers[1] ? 1 : 0, "ax_button");
			continue;
		}
		frame();
	}
	return !paused();
}

namespace {

int32_t shape_of(DemoScene &r_scene, const std::string &p_name) {
	auto it = r_scene.hand_shapes.find(p_name);
	return it == r_scene.hand_shapes.end() ? -1 : it->second;
}

bool grab_and_carry(Session &r_session, PlayReport &r_report) {
	DemoScene &s = r_session.scene();
	if (!s.player || !s.hands[0] || !s.controllers[0] || s.crates.empty()) {
		r_session.say("skip: nothing to grab with\n");
		return false;
	}
	RigidBody3D *crate = s.crates[0];
	crate->set_global_position(s.hands[0]->get_global_position() + Vector3(0.02f, 0, -0.06f));
	int32_t thumb = shape_of(s, "thumb_01_l_collider");
	int32_t index = shape_of(s, "index_02_l_collider");
	r_session.say("player: closes the left hand around a crate\n");
	PhysicsWorld::begin_shape_contact(s.player, crate, 0, thumb);
	PhysicsWorld::begin_shape_contact(s.player, crate, 0, index);
	s.controllers[0]->_host_set_float("trigger", 1.0f);
	r_session.run_until([&] { return r_session.held_count() == 1; }, 1.0);
	r_report.grabbed = r_session.held_count() == 1;
	r_session.say("crate %s\n", r_report.grabbed ? "held in the left hand" : "not grabbed");

	// Carry it: the hand moves 0.4 to the right over a second.
	Vector3 start = s.hands[0]->get_position();
	double t0 = r_session.time();
	r_session.run_for(1.0, [&] {
		float k = (float)std::min(1.0, (r_session.time() - t0) / 1.0);
		s.hands[0]->set_position(start + Vector3(0.4f * k, 0.1f * k, 0));
	});
	Transform3D carried = s.hands[0]->get_global_transform();
	s.controllers[0]->_host_set_float("trigger", 0.0f);
	PhysicsWorld::end_shape_contact(s.player, crate, 0, thumb);
	PhysicsWorld::end_shape_contact(s.player, crate, 0, index);
	r_session.run_until([&] { return r_session.held_count() == 0; }, 1.0);
	Vector3 at = crate->get_global_position();
	float from_hand = at.distance_to(carried.origin);
	r_report.released_where_carried = r_session.held_count() == 0 && from_hand < 0.2f;
	r_session.say("player: opens the hand; crate released at (%.2f, %.2f, %.2f), %.2f from the hand\n", at.x, at.y, at.z, from_hand);
	s.hands[0]->set_position(start);
	return r_report.grabbed;
}

void push_off_wall(Session &r_session, PlayReport &r_report) {
	DemoScene &s = r_session.scene();
	int32_t palm = shape_of(s, "hand_r_collider");
	if (!s.player || palm < 0 || s.trackers[1].is_null()) {
		r_session.say("skip: no hand to push with\n");
		return;
	}
	s.player->set_linear_velocity(Vector3());
	// The hand moves toward the player, away from the wall, fast enough to push.
	Basis b = s.player->get_global_basis();
	Vector3 h = b.xform_inv(Vector3(0, 0, 1.5f));
	s.trackers[1]->set_pose("default", Transform3D(), Vector3(h.x, -h.y, h.z), Vector3(), XRPose::XR_TRACKING_CONFIDENCE_HIGH);
	PhysicsWorld::Contact contact;
	contact.local_shape = palm;
	contact.collider = s.wall;
	contact.local_normal = Vector3(0, 0, 1);
	contact.local_position = s.wall->get_global_position() + Vector3(0.2f, 0, 0.1f);
	r_session.say("player: pushes off the wall with the right hand\n");
	PhysicsWorld::add_contact(s.player, contact);
	r_session.run_for(0.25);
	PhysicsWorld::clear_contacts(s.player);
	s.trackers[1]->set_pose("default", Transform3D(), Vector3(), Vector3(), XRPose::XR_TRACKING_CONFIDENCE_HIGH);
	Vector3 v = s.player->get_linear_velocity();
	r_report.pushed_off = v.z > 0.01f;
	r_session.say("player moves away from the wall at (%.2f, %.2f, %.2f)\n", v.x, v.y, v.z);
	r_session.run_for(1.0);
}

} // namespace

namespace {

// A script reloads the level (a respawn) while the headset stays on: the
// runtime sends no session event, and the game runs on from the new scene,
// unpaused, at full volume, the HUD away and the stick moving the new player.
bool reload_mid_session(Session &r_session) {
	DemoScene &s = r_session.scene();
	register_demo_scene_file(s);
	r_session.say("script: reloads the level\n");
	const Error err = Host::tree()->reload_current_scene();
	bool plays = err == OK;
	if (plays) {
		r_session.frame(); // the old level goes at the frame's end, the new one comes
		index_hand_shapes(s);
		plays = r_session.run_until([&]() {
			return !r_session.paused() && AudioServer::get_singleton()->get_bus_volume_linear(0) == 1.0f && (!s.hud || !s.hud->is_visible());
		}, 5.0);
	}
	if (plays && s.player && s.controllers[1]) {
		const Vector3 from = s.player->get_global_position();
		r_session.say("player: right stick forward\n");
		s.controllers[1]->_host_set_vector2("primary", Vector2(0, 0.9f));
		r_session.run_for(1.0);
		s.controllers[1]->_host_set_vector2("primary", Vector2());
		plays = s.player->get_global_position().distance_to(from) > 0.1f;
	}
	unregister_demo_scene_file();
	r_session.say("%s\n", plays ? "the reloaded level plays on" : "the reloaded level does not play on");
	return plays;
}

} // namespace

PlayReport play_scripted_session(Session &r_session) {
	PlayReport report;
	DemoScene &s = r_session.scene();
	r_session.run_for(0.5);
	if (s.openxr.is_null()) {
		r_session.say("no OpenXR interface: the session never starts\n");
		r_session.run_for(2.0);
		return report;
	}
	r_session.emit_session("session_begun");
	r_session.run_for(0.5);
	r_session.emit_session("session_visible");
	r_session.run_for(0.5);
	r_session.emit_session("session_focussed");
	report.greeted = r_session.answer_greeting(90.0);
	r_session.say("%s\n", report.greeted ? "game running" : "the greeting never ended");
	index_hand_shapes(s);

	if (s.controllers[1]) {
		r_session.say("player: right stick forward\n");
		s.controllers[1]->_host_set_vector2("primary", Vector2(0, 0.9f));
		r_session.run_for(2.0);
		s.controllers[1]->_host_set_vector2("primary", Vector2());
	}
	if (s.controllers[0]) {
		r_session.say("player: left stick right\n");
		s.controllers[0]->_host_set_vector2("primary", Vector2(0.9f, 0));
		r_session.run_for(1.0);
		s.controllers[0]->_host_set_vector2("primary", Vector2());
	}
	if (s.camera) {
		r_session.say("player: leans right, then forward\n");
		Vector3 rest = s.camera->get_position();
		s.camera->set_position(rest + Vector3(0.15f, 0, 0));
		r_session.run_for(1.0);
		s.camera->set_position(rest + Vector3(0, 0, -0.2f));
		r_session.run_for(1.0);
		s.camera->set_position(rest);
	}
	r_session.run_for(0.5);
	if (s.player) {
		s.player->set_angular_velocity(Vector3());
	}
	grab_and_carry(r_session, report);
	push_off_wall(r_session, report);

	r_session.emit_session("session_visible");
	r_session.run_for(1.0);
	r_session.emit_session("session_focussed");
	report.welcomed_back = r_session.answer_greeting(30.0);
	r_session.say("%s\n", report.welcomed_back ? "game running again" : "the welcome-back greeting never ended");
	r_session.run_for(1.0);
	report.reloaded = reload_mid_session(r_session);
	r_session.run_for(1.0);
	return report;
}
