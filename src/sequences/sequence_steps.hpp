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

// The seconds of an empty HUD before the first text.
constexpr double START_DELAY = 2.0;

// What a greeting keeps, besides its steps, to see its waits through.
struct Waits {
	// The controllers whose "button_pressed" the greeting listens to, by
	// hand (0 for none), so that it stops listening to those very ones.
	uint64_t answering_ids[2] = { 0, 0 };
	// Watches in a row that found the greeting unable to go on.
	int32_t stuck_watches = 0;
	// Made by a manager for its game: it keeps that manager.
	bool owned = false;
	// From the start of the end on: the end destroys the greeting itself.
	bool finishing = false;
};

// Creates the greeting's timer under the manager, running while the game is
// paused, its "timeout" connected to the sequence. Null when a script run by
// adding it freed it or the manager.
Timer *attach_timer(Object *p_sequence, XRManager *p_manager);
// attach_timer, then connects the HUD's "finished_typing" to the sequence.
Timer *attach(Object *p_sequence, XRManager *p_manager);
// Undoes attach for what still exists: both connections removed, the timer
// queued for deletion.
void detach(Object *p_sequence, XRManager *p_manager, Timer *p_timer);
// Clears the HUD and starts the 2 s one-shot delay; a timer out of the tree
// (its manager is) starts when it first enters it.
void start(XRManager *p_manager, Timer *p_timer);
// Types p_lines on the HUD, listening to its "finished_typing". The lines are
// made engine strings only here, so that no engine value outlives the scene.
void show_text(Object *p_sequence, XRManager *p_manager, const char *const *p_lines, size_t p_count);
template <size_t N>
void show_text(Object *p_sequence, XRManager *p_manager, const char *const (&p_lines)[N]) {
	show_text(p_sequence, p_manager, p_lines, N);
}
// Listens to "button_pressed" of both controllers, hand index bound.
void wait_for_button_press(Object *p_sequence, Waits &r_waits);
void finished_waiting_for_button_press(Object *p_sequence, Waits &r_waits);
// Listens to the controllers that Globals names now (a scene change brings
// new ones) and to no others; whether any of them, in the tree, can answer.
bool keep_listening(Object *p_sequence, Waits &r_waits);
// Recentres the view, hides the HUD and unpauses the game; stops at the
// first step after which the manager is gone.
void hand_back(XRManager *p_manager);

} // namespace sequence_steps

} // namespace godot

#endif // MOSSGLIMMER_SEQUENCES_SEQUENCE_STEPS_HPP
