// The runtime's side of a soak: the session's state as a person wearing the
// headset changes it, and the controllers' inputs as the engine's trackers
// pass them on.
#include "soak_runtime.hpp"

#include <godot_cpp/classes/scene_tree.hpp>
#include <godot_cpp/classes/window.hpp>
#include <godot_cpp/classes/xr_controller3d.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_host/host.hpp>

#include <functional>

using namespace godot;
using godot_host::Host;

namespace {

// How long the session stays in a state, on average or at most: focus
// holds for a while; the system menu and a stopped session last seconds, the
// headset put down up to half a minute.
constexpr double FOCUS_MEAN = 40.0;
constexpr double VISIBLE_MOST = 6.0;
constexpr double HIDDEN_MOST = 20.0;
constexpr double STOPPED_MOST = 8.0;
constexpr double RECENTRE_MEAN = 90.0;
// From visible the session comes back into focus more often than it goes
// on hiding; from hidden it is shown again more often than it stops.
constexpr double REFOCUS_CHANCE = 0.75;
constexpr double SHOWN_AGAIN_CHANCE = 0.7;

const char *const HAND_TRACKERS[2] = { "left_hand", "right_hand" };

} // namespace

SoakRuntime::SoakRuntime(Session &r_session, unsigned p_seed, State p_state) :
		_session(r_session), _rng(p_seed * 2654435761u + 11u), _state(p_state) {
	_schedule();
	_next_recentre = _session.time() + std::exponential_distribution<double>(1.0 / RECENTRE_MEAN)(_rng);
}

const char *SoakRuntime::event_of_move(State p_from, State p_to) {
	switch (p_from) {
		case STOPPED:
			return p_to == HIDDEN ? "session_begun" : nullptr;
		case HIDDEN:
			return p_to == VISIBLE ? "session_visible" : p_to == STOPPED ? "session_stopping" : nullptr;
		case VISIBLE:
			// Hiding has no signal of its own.
			return p_to == FOCUSSED ? "session_focussed" : p_to == HIDDEN ? "" : nullptr;
		case FOCUSSED:
			return p_to == VISIBLE ? "session_visible" : nullptr;
	}
	return nullptr;
}

double SoakRuntime::_uniform(double p_from, double p_to) {
	return std::uniform_real_distribution<double>(p_from, p_to)(_rng);
}

void SoakRuntime::_schedule() {
	const double now = _session.time();
	switch (_state) {
		case FOCUSSED:
			_next_move = now + std::exponential_distribution<double>(1.0 / FOCUS_MEAN)(_rng);
			break;
		case VISIBLE:
			_next_move = now + _uniform(0.3, VISIBLE_MOST);
			break;
		case HIDDEN:
			_next_move = now + _uniform(0.3, HIDDEN_MOST);
			break;
		case STOPPED:
			_next_move = now + _uniform(1.0, STOPPED_MOST);
			break;
	}
}

void SoakRuntime::_send(const char *p_signal) {
	_counts[p_signal]++;
	_session.emit_session(p_signal);
}

void SoakRuntime::_move(State p_to) {
	const char *event = event_of_move(_state, p_to);
	if (!event) {
		return;
	}
	// The state is the new one before the game hears of it: a receiver that
	// asks the runtime sees what the event says.
	_state = p_to;
	_focus_count += p_to == FOCUSSED ? 1 : 0;
	_schedule();
	if (*event) {
		_send(event);
	}
}

void SoakRuntime::step() {
	const double now = _session.time();
	if ((_state == VISIBLE || _state == FOCUSSED) && now >= _next_recentre) {
		// The person held the system button: the runtime recentred the view.
		_next_recentre = now + std::exponential_distribution<double>(1.0 / RECENTRE_MEAN)(_rng);
		_send("pose_recentered");
	}
	if (now < _next_move) {
		return;
	}
	switch (_state) {
		case FOCUSSED:
			_move(VISIBLE);
			break;
		case VISIBLE:
			_move(_uniform(0.0, 1.0) < REFOCUS_CHANCE ? FOCUSSED : HIDDEN);
			break;
		case HIDDEN:
			_move(_uniform(0.0, 1.0) < SHOWN_AGAIN_CHANCE ? VISIBLE : STOPPED);
			break;
		case STOPPED:
			_move(HIDDEN);
			break;
	}
}

bool SoakRuntime::lose_focus() {
	if (_state != FOCUSSED) {
		return false;
	}
	_move(VISIBLE);
	return true;
}

bool SoakRuntime::regain_focus() {
	if (_state != VISIBLE) {
		return false;
	}
	_move(FOCUSSED);
	return true;
}

// ---------------------------------------------------------------------------
// The device

std::vector<uint64_t> SoakDevice::controllers(int p_hand) {
	std::vector<uint64_t> found;
	if (p_hand < 0 || p_hand > 1) {
		return found;
	}
	const StringName tracker = HAND_TRACKERS[p_hand];
	std::function<void(Node *)> walk = [&](Node *p_node) {
		XRController3D *c = Object::cast_to<XRController3D>(p_node);
		if (c && c->get_tracker() == tracker) {
			found.push_back(c->get_instance_id());
		}
		for (int32_t i = 0; i < p_node->get_child_count(); i++) {
			walk(p_node->get_child(i));
		}
	};
	walk(Host::tree()->get_root());
	return found;
}

Variant SoakDevice::input(int p_hand, const char *p_name) const {
	if (p_hand < 0 || p_hand > 1) {
		return Variant();
	}
	auto it = _inputs[p_hand].find(p_name);
	return it == _inputs[p_hand].end() ? Variant() : it->second;
}

bool SoakDevice::_changed(int p_hand, const char *p_name, const Variant &p_value, bool p_differs) {
	if (p_hand < 0 || p_hand > 1 || !_runtime.focussed()) {
		return false;
	}
	Variant &stored = _inputs[p_hand][p_name];
	// As the tracker compares: a value that is no number is news every time.
	const bool news = stored.get_type() != p_value.get_type() || p_differs;
	stored = p_value;
	return news;
}

namespace {

// Each controller found before the emission starts; one freed by a receiver
// on the way hears nothing, as with the engine's copied receiver list.
template <typename Emit>
void to_each_controller(int p_hand, Emit p_emit) {
	for (uint64_t id : SoakDevice::controllers(p_hand)) {
		if (XRController3D *c = Object::cast_to<XRController3D>(ObjectDB::get_instance(id))) {
			p_emit(c);
		}
	}
}

} // namespace

void SoakDevice::press(int p_hand, const char *p_button) {
	if (_changed(p_hand, p_button, true, !(bool)input(p_hand, p_button))) {
		to_each_controller(p_hand, [&](XRController3D *c) { c->_host_press_button(p_button); });
	}
}

void SoakDevice::release(int p_hand, const char *p_button) {
	if (_changed(p_hand, p_button, false, (bool)input(p_hand, p_button))) {
		to_each_controller(p_hand, [&](XRController3D *c) { c->_host_release_button(p_button); });
	}
}

void SoakDevice::set_float(int p_hand, const char *p_name, float p_value) {
	const Variant old = input(p_hand, p_name);
	const bool differs = old.get_type() != Variant::FLOAT || (double)old != (double)p_value;
	if (_changed(p_hand, p_name, (double)p_value, differs)) {
		to_each_controller(p_hand, [&](XRController3D *c) { c->_host_set_float(p_name, p_value); });
	}
}

void SoakDevice::set_vector2(int p_hand, const char *p_name, const Vector2 &p_value) {
	const Variant old = input(p_hand, p_name);
	const bool differs = old.get_type() != Variant::VECTOR2 || (Vector2)old != p_value;
	if (_changed(p_hand, p_name, p_value, differs)) {
		to_each_controller(p_hand, [&](XRController3D *c) { c->_host_set_vector2(p_name, p_value); });
	}
}
