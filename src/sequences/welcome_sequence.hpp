#ifndef MOSSGLIMMER_SEQUENCES_WELCOME_SEQUENCE_HPP
#define MOSSGLIMMER_SEQUENCES_WELCOME_SEQUENCE_HPP

#include "sequence_steps.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/timer.hpp>
#include <godot_cpp/variant/string.hpp>

#include <cstdint>

namespace godot {

class XRManager;

// The first-run greeting: welcome, movement, rotation and a farewell, each
// typed on the HUD and answered with the A/X or B/Y button. Destroys itself
// at its end.
class WelcomeSequence : public Object {
	GDCLASS(WelcomeSequence, Object)

protected:
	static void _bind_methods();

public:
	XRManager *xr_manager = nullptr;
	Timer *timer = nullptr;
	int32_t state = 0;
	// Instance ids of the manager and the timer, which the scene may free.
	uint64_t xr_manager_id = 0;
	uint64_t timer_id = 0;
	sequence_steps::Waits waits;

	WelcomeSequence();
	explicit WelcomeSequence(XRManager *p_manager);
	~WelcomeSequence() override;

	// The manager while it exists.
	XRManager *get_xr_manager();
	void set_xr_manager(XRManager *value);
	// A script's "set_value": a greeting that a manager started keeps it.
	void set_xr_manager_from_script(XRManager *value);

	void start();
	void advance_state();
	void wait_for_button_press();
	void finished_waiting_for_button_press();
	// The end: recentre, hide the HUD, unpause, clear itself from the
	// manager and destroy itself. Nothing of the sequence may be used after.
	void finish();
	// From the start of finish on: the end destroys the sequence itself, so
	// a manager freed meanwhile only lets go of it.
	bool is_finishing() const;
	// Sees every wait of the greeting through (see greeting_watch.hpp); the
	// manager's frame calls it. May end the greeting.
	void keep_going();

	// Which event the greeting waits for now; the handlers act on no other.
	bool waiting_for_typing() const;
	bool waiting_for_press() const;
	XRManager *live_manager();
	Timer *live_timer();
	void let_manager_go(XRManager *p_manager);

	void _on_timer_timeout();
	void _on_finished_typing();
	void _on_button_pressed(String p_name, int p_hand);
};

} // namespace godot

#endif // MOSSGLIMMER_SEQUENCES_WELCOME_SEQUENCE_HPP
