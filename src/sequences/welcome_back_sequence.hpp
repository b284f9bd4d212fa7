#ifndef MOSSGLIMMER_SEQUENCES_WELCOME_BACK_SEQUENCE_HPP
#define MOSSGLIMMER_SEQUENCES_WELCOME_BACK_SEQUENCE_HPP

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/timer.hpp>
#include <godot_cpp/variant/string.hpp>

#include <cstdint>

namespace godot {

class XRManager;

// The greeting of a returning player: "welcome back!", answered with the
// A/X or B/Y button. Destroys itself at its end.
class WelcomeBackSequence : public Object {
	GDCLASS(WelcomeBackSequence, Object)

protected:
	static void _bind_methods();

public:
	XRManager *xr_manager = nullptr;
	Timer *timer = nullptr;
	int32_t state = 0;
	// Instance ids of the manager and the timer, which the scene may free.
	uint64_t xr_manager_id = 0;
	uint64_t timer_id = 0;

	WelcomeBackSequence();
	explicit WelcomeBackSequence(XRManager *p_manager);
	~WelcomeBackSequence() override;

	XRManager *get_xr_manager();
	void set_xr_manager(XRManager *value);

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
	// Goes on past the start delay when its timer was freed, which would
	// otherwise keep the game paused for good.
	void keep_going();

	void _on_timer_timeout();
	void _on_finished_typing();
	void _on_button_pressed(String p_name, int p_hand);

private:
	bool finishing = false;

	XRManager *live_manager();
	Timer *live_timer();
};

} // namespace godot

#endif // MOSSGLIMMER_SEQUENCES_WELCOME_BACK_SEQUENCE_HPP
