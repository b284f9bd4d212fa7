#ifndef MOSSGLIMMER_SEQUENCES_SEQUENCE_STEPS_HPP
#define MOSSGLIMMER_SEQUENCES_SEQUENCE_STEPS_HPP

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/timer.hpp>
#include <godot_cpp/variant/string.hpp>

#include <vector>

namespace godot {

class XRManager;

// The steps that both greeting sequences share. p_sequence is the sequence
// object whose bound handlers the connections call.
namespace sequence_steps {

// Creates the start-delay timer under the manager and connects the timer's
// "timeout" and the HUD's "finished_typing" to the sequence.
Timer *attach(Object *p_sequence, XRManager *p_manager);
// Undoes attach: both connections removed, the timer queued for deletion.
void detach(Object *p_sequence, XRManager *p_manager, Timer *p_timer);
// Clears the HUD and starts the 2 s one-shot delay.
void start(XRManager *p_manager, Timer *p_timer);
// Types p_lines on the HUD.
void show_text(XRManager *p_manager, const std::vector<String> &p_lines);
// Listens to "button_pressed" of both controllers, hand index bound.
void wait_for_button_press(Object *p_sequence);
void finished_waiting_for_button_press(Object *p_sequence);
// Recentres the view, hides the HUD and unpauses the game.
void hand_back(XRManager *p_manager);

} // namespace sequence_steps

} // namespace godot

#endif // MOSSGLIMMER_SEQUENCES_SEQUENCE_STEPS_HPP
