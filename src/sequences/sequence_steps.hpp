#ifndef MOSSGLIMMER_SEQUENCES_SEQUENCE_STEPS_HPP
#define MOSSGLIMMER_SEQUENCES_SEQUENCE_STEPS_HPP

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/timer.hpp>

#include <cstddef>
#include <cstdint>

namespace godot {

class XRManager;

// The steps that both greeting sequences share. p_sequence is the sequence
// object whose bound handlers the connections call. The manager, its HUD,
// the timer and the controllers may be freed by the scene at any time, so
// each is looked up live before use.
namespace sequence_steps {

// Creates the start-delay timer under the manager and connects the timer's
// "timeout" and the HUD's "finished_typing" to the sequence. Null when a
// script run by adding the timer freed it or the manager.
Timer *attach(Object *p_sequence, XRManager *p_manager);
// Undoes attach for what still exists: both connections removed, the timer
// queued for deletion.
void detach(Object *p_sequence, XRManager *p_manager, Timer *p_timer);
// Clears the HUD and starts the 2 s one-shot delay.
void start(XRManager *p_manager, Timer *p_timer);
// Types p_lines on the HUD. The lines are made engine strings only here, so
// that no engine value outlives the scene.
void show_text(XRManager *p_manager, const char *const *p_lines, size_t p_count);
template <size_t N>
void show_text(XRManager *p_manager, const char *const (&p_lines)[N]) {
	show_text(p_manager, p_lines, N);
}
// Listens to "button_pressed" of both controllers, hand index bound.
void wait_for_button_press(Object *p_sequence);
void finished_waiting_for_button_press(Object *p_sequence);
// Recentres the view, hides the HUD and unpauses the game; stops at the
// first step after which the manager is gone.
void hand_back(XRManager *p_manager);

} // namespace sequence_steps

} // namespace godot

#endif // MOSSGLIMMER_SEQUENCES_SEQUENCE_STEPS_HPP
