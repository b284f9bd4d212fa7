#ifndef MOSSGLIMMER_RUNNER_SOAK_LIVENESS_HPP
#define MOSSGLIMMER_RUNNER_SOAK_LIVENESS_HPP

#include "session.hpp"
#include "soak_runtime.hpp"

#include <cstdint>
#include <functional>
#include <string>

// Whether the game can be played. With the session focussed and no greeting
// under way, within a few seconds of any change the game runs, at full
// volume, with the world shown, the HUD away and the player's body shown,
// and the right stick moves the player that is in the tree. Also the person
// wearing the headset, who answers a greeting's texts with A/X.
class SoakLiveness {
public:
	// How the soak hears of faults and tells what is a script's own doing.
	struct Hooks {
		std::function<void(const char *p_what, const std::string &p_detail)> report;
		// The controller node of a hand that the running manager was made
		// with (0: none): input is judged only through one it knows.
		std::function<uint64_t(int p_hand)> known_controller;
		// Whether a script showed, hid or moved this world node itself.
		std::function<bool(uint64_t p_node)> shown_by_script;
	};

	// The longest the game may take to be playable again, in game time; and
	// at least this many seconds' worth of frames at its frame limit, as the
	// library's timers tick at most once a frame (its longest wait, the
	// volume's fade, takes two seconds of ticks).
	static constexpr double SETTLE_SECONDS = 5.0;
	static constexpr double SETTLE_TICK_SECONDS = 2.5;
	// The longest a greeting may take, answered as a person answers it.
	static constexpr double GREETING_MOST = 60.0;

	SoakLiveness(Session &r_session, SoakRuntime &r_runtime, SoakDevice &r_device, Hooks p_hooks);

	// Before a frame: answers a greeting, lets go of a stick moved before,
	// and moves the right stick to see that input arrives.
	void before_frame();
	// After a frame: what must hold by now.
	void after_frame();
	// A script paused or unpaused the game itself (a pause menu): its pause
	// is not the library's until someone else changes it.
	void note_script_pause(bool p_paused);
	bool script_paused() const { return _script_paused; }

	// What was judged, for the summary.
	struct Counts {
		long judged_frames = 0; // focussed, no greeting, long enough after a change
		long probes = 0, probes_reached = 0;
		long presses = 0;
		long volume_repairs = 0;
	};
	const Counts &counts() const { return _counts; }

private:
	// A fault that holds from some moment on; reported once it has lasted
	// long enough, and once until it ends.
	struct Fault {
		const char *what;
		bool holds = false;
		bool reported = false;
		double since_time = 0.0;
		uint64_t since_frame = 0;
	};
	enum FaultKind {
		PAUSED,
		MUTED,
		WORLD_HIDDEN,
		HUD_SHOWN,
		BODY_HIDDEN,
		NO_INPUT,
		FAULT_COUNT
	};
	// A move of the right stick whose effect is read after the frame.
	struct Probe {
		bool pending = false;
		float thrust = 0.0f;
		uint64_t player = 0, manager = 0;
		uint64_t physics_frame = 0;
		double mass = 0.0;
		int frames = 0;
	};

	Session &_session;
	SoakRuntime &_runtime;
	SoakDevice &_device;
	Hooks _hooks;
	Counts _counts;
	Fault _faults[FAULT_COUNT];
	bool _script_paused = false;

	// Greetings: the last sign one moves on (focus came, a new manager, a
	// glyph typed, a text ended) and when the one under way began.
	double _progress_time = -1e9;
	uint64_t _progress_frame = 0;
	double _greeting_since = -1.0;
	uint64_t _greeting_since_frame = 0;
	uint64_t _focus_seen = 0;
	uint64_t _manager_seen = 0;
	// For the reports: when focus and the manager in the tree last came.
	double _focus_at = 0.0;
	double _manager_at = 0.0;
	uint64_t _hud_seen = 0;
	int _glyphs_seen = -1;
	int _typed_seen = 0;

	// The person: when a text was last typed and answered, when a button was pressed.
	int _typed_answered = 0;
	double _typed_at = -1.0;
	double _pressed_at = -1e9;
	int _pressed_hand = 1;
	bool _release_due = false;

	Probe _probe;
	double _next_probe = 0.0;
	bool _stick_release_due = false;

	// Whether at least p_seconds of game time and p_tick_seconds' worth of
	// frames at the frame limit passed since the moment given.
	bool _lasted(double p_time, uint64_t p_frame, double p_seconds, double p_tick_seconds) const;
	bool _greeting_under_way() const;
	void _watch_progress();
	void _answer_greeting();
	void _start_probe();
	void _read_probe();
	// True when the fault is reported now.
	bool _judge(FaultKind p_kind, bool p_holds, const std::string &p_detail = std::string());
	void _clear(FaultKind p_kind);
	// A 3-D child of the scene left hidden, not by a script.
	godot::Node3D *_hidden_world_node() const;
};

#endif // MOSSGLIMMER_RUNNER_SOAK_LIVENESS_HPP
