#ifndef MOSSGLIMMER_RUNNER_SOAK_RUNTIME_HPP
#define MOSSGLIMMER_RUNNER_SOAK_RUNTIME_HPP

#include "session.hpp"

#include <godot_cpp/variant/variant.hpp>

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

// The OpenXR runtime as the soak plays it. Its session events come only as
// the session's state really changes, in the runtime's order and between
// frames: begun, visible, focussed; focus lost is visible again; a session
// that is no longer shown at all tells the game nothing until it is visible
// again or stops. Nothing else sends them: a scene that changes while the
// headset stays on hears no event.
class SoakRuntime {
public:
	// The states the game can tell apart. HIDDEN: begun or no longer
	// visible (the runtime's synchronized state, which has no signal);
	// STOPPED: not running, until it begins again.
	enum State {
		STOPPED,
		HIDDEN,
		VISIBLE,
		FOCUSSED,
	};

	// The runner begins the session and gives it focus before a soak.
	SoakRuntime(Session &r_session, unsigned p_seed, State p_state = FOCUSSED);

	// Between two frames: the session may move on as a person moves it
	// (the headset off and on, the system menu), and the view may be
	// recentred or the display rate change.
	void step();
	// Focus lost now (session_visible); false when it had none.
	bool lose_focus();
	// Focus back now (session_focussed), from visible; false otherwise.
	bool regain_focus();

	State state() const { return _state; }
	bool focussed() const { return _state == FOCUSSED; }
	bool running() const { return _state != STOPPED; }
	// How often focus came: each time a greeting may start.
	uint64_t focus_count() const { return _focus_count; }
	// Every event sent, in order, for the summary and tests.
	const std::map<std::string, long> &event_counts() const { return _counts; }

	// The legal next states of a state, and the event each move sends (null:
	// none). Tests check recorded events against it.
	static const char *event_of_move(State p_from, State p_to);

private:
	Session &_session;
	std::mt19937 _rng;
	State _state;
	double _next_move = 0.0;
	double _next_recentre = 0.0;
	uint64_t _focus_count = 0;
	std::map<std::string, long> _counts;

	double _uniform(double p_from, double p_to);
	void _move(State p_to);
	void _send(const char *p_signal);
	void _schedule();
};

// The controllers' device as the engine passes it on: an input reaches every
// controller node that follows its hand's tracker, only when its value
// changes, and only while the session has focus (an unfocussed session gets
// no input from the runtime).
class SoakDevice {
public:
	explicit SoakDevice(const SoakRuntime &p_runtime) :
			_runtime(p_runtime) {}

	void press(int p_hand, const char *p_button);
	void release(int p_hand, const char *p_button);
	void set_float(int p_hand, const char *p_name, float p_value);
	void set_vector2(int p_hand, const char *p_name, const godot::Vector2 &p_value);
	// The value the device last sent (nil: none yet).
	godot::Variant input(int p_hand, const char *p_name) const;
	// Every controller node of the hand now in the tree, in tree order.
	static std::vector<uint64_t> controllers(int p_hand);

private:
	const SoakRuntime &_runtime;
	std::map<std::string, godot::Variant> _inputs[2];

	// Records the value; true when it is news to the controllers.
	bool _changed(int p_hand, const char *p_name, const godot::Variant &p_value, bool p_differs);
};

#endif // MOSSGLIMMER_RUNNER_SOAK_RUNTIME_HPP
