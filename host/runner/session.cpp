// The runner's scripted session and what it prints along the way.
#include "session.hpp"

#include <godot_cpp/classes/audio_server.hpp>
#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/standard_material3d.hpp>
#include <godot_host/host.hpp>
#include <godot_host/physics_world.hpp>

#include <algorithm>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <map>

using namespace godot;
using godot_host::Host;
using godot_host::PhysicsWorld;

Session::Session(DemoScene &r_scene, double p_frame_delta, bool p_verbose) :
		_scene(r_scene), _frame_delta(p_frame_delta), _verbose(p_verbose) {}

void Session::say(const char *p_format, ...) {
	if (!_verbose) {
		return;
	}
	std::printf("[%6.2fs] ", _time);
	va_list args;
	va_start(args, p_format);
	std::vprintf(p_format, args);
	va_end(args);
}

void Session::frame() {
	Host::iteration(_frame_delta);
	_time += _frame_delta;
	_watch_hud();
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

void Session::_watch_hud() {
	if (!_scene.hud || !ObjectDB::get_instance(_scene.hud->get_instance_id())) {
		return;
	}
	std::vector<std::string> all = read_hud(_scene.hud, false);
	std::vector<std::string> shown = read_hud(_scene.hud, true);
	if (all.empty() || all != shown) {
		return;
	}
	std::string text;
	for (const std::string &l : shown) {
		text += (text.empty() ? "" : " / ") + l;
	}
	// The same text typed again is made of new glyphs.
	std::string key = text + "#" + std::to_string(_scene.hud->get_child(_scene.hud->get_child_count() - 1)->get_instance_id());
	if (key != _last_text) {
		_last_text = key;
		_text_done_at = _time;
		say("HUD: %s\n", text.c_str());
	}
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
	if (!_verbose) {
		return;
	}
	Vector3 pos;
	float speed = 0.0f;
	if (_scene.player && ObjectDB::get_instance(_scene.player->get_instance_id())) {
		pos = _scene.player->get_global_position();
		speed = _scene.player->get_linear_velocity().length();
	}
	say("position (%.2f, %.2f, %.2f)  speed %.2f  held %d  volume %.2f  %s\n", pos.x, pos.y, pos.z, speed, held_count(),
			AudioServer::get_singleton()->get_bus_volume_linear(0), paused() ? "paused" : "running");
}

void Session::emit_session(const char *p_signal) {
	say("engine: OpenXR %s\n", p_signal);
	if (_scene.openxr.is_valid()) {
		_scene.openxr->emit_signal(p_signal);
	}
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
	return report;
}
