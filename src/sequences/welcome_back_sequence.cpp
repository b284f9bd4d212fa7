#include "welcome_back_sequence.hpp"

#include <godot_cpp/core/class_db.hpp>

namespace godot {

WelcomeBackSequence::WelcomeBackSequence() {}

WelcomeBackSequence::~WelcomeBackSequence() {}

void WelcomeBackSequence::_bind_methods() {}

} // namespace godot
