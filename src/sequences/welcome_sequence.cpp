#include "welcome_sequence.hpp"

#include <godot_cpp/core/class_db.hpp>

namespace godot {

WelcomeSequence::WelcomeSequence() {}

WelcomeSequence::~WelcomeSequence() {}

void WelcomeSequence::_bind_methods() {}

} // namespace godot
