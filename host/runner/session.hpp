#ifndef MOSSGLIMMER_RUNNER_SESSION_HPP
#define MOSSGLIMMER_RUNNER_SESSION_HPP

#include "demo_scene.hpp"

#include <functional>
#include <string>
#include <vector>

// Drives the engine's main loop over the demo scene and reports what a person
// watching the headset would want to know.
class Session {
public:
	Session(DemoScene &r_scene, double p_frame_delta, bool p_verbose);

	// One main-loop iteration, then the observers (HUD text, status line).
	void frame();
	void run_for(double p_seconds, const std::function<void()> &p_each_frame = {});
	// Runs until the condition holds; false when the time ran out.
	bool run_until(const std::function<bool()> &p_condition, double p_timeout);

	// Presses A/X after every text the HUD finishes until the game runs again.
	bool answer_greeting(double p_timeout);

	void emit_session(const char *p_signal);
	// Prints a line stamped with the session time, unless quiet.
	void say(const char *p_format, ...) __attribute__((format(printf, 2, 3)));
	void press(int p_hand, const char *p_button);
	int held_count() const;
	bool paused() const;
	double time() const { return _time; }
	DemoScene &scene() { return _scene; }

	// The HUD's text as its glyphs show it, top line first.
	static std::vector<std::string> read_hud(godot::Node *p_hud, bool p_visible_only);

private:
	DemoScene &_scene;
	double _frame_delta;
	bool _verbose;
	double _time = 0.0;
	double _next_status = 1.0;
	std::string _last_text;
	double _text_done_at = -1.0;

	void _watch_hud();
	void _status_line();
};

struct PlayReport {
	bool greeted = false;
	bool grabbed = false;
	bool released_where_carried = false;
	bool pushed_off = false;
	bool welcomed_back = false;
};

// The scripted session: start-up, the session events, the greeting, flying,
// grabbing, carrying, releasing, pushing off a wall, then focus lost and regained.
PlayReport play_scripted_session(Session &r_session);

// A long randomised session checking its invariants; returns the number of violations.
int play_soak(Session &r_session, double p_seconds, unsigned p_seed);

#endif // MOSSGLIMMER_RUNNER_SESSION_HPP
