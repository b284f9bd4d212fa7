#ifndef MOSSGLIMMER_LIBRARY_TIMER_HPP
#define MOSSGLIMMER_LIBRARY_TIMER_HPP

#include <godot_cpp/classes/timer.hpp>
#include <godot_cpp/variant/callable.hpp>

namespace godot {

// The timers that the library makes for its own waits (the HUD's typing, a
// greeting's delay and watch). The game is paused while they matter, so they
// run whatever process mode the scene gives their parents; a script may still
// stop them, pause them or take them out of the tree, so each wait is judged
// by the timer's state, not by whether it exists.

// A stopped timer that runs while the game is paused and starts only when told.
Timer *new_library_timer();

// Whether p_timer counts down: in the tree, started, not paused, and allowed
// to process in the tree's pause state.
bool library_timer_runs(Timer *p_timer);

// Makes p_timer count p_wait seconds (again and again unless p_one_shot)
// when a script stopped, paused, retimed or re-moded it. The calls can run
// scripts: the caller checks afterwards what it still holds.
void keep_library_timer_running(Timer *p_timer, double p_wait, bool p_one_shot);

// Lets go of a timer that a script took out of the tree: p_on_timeout no
// longer listens to it, and one left without a parent is freed (nobody else
// would). The caller makes a new one.
void retire_library_timer(Timer *p_timer, const Callable &p_on_timeout);

} // namespace godot

#endif // MOSSGLIMMER_LIBRARY_TIMER_HPP
