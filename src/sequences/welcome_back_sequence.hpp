#ifndef MOSSGLIMMER_SEQUENCES_WELCOME_BACK_SEQUENCE_HPP
#define MOSSGLIMMER_SEQUENCES_WELCOME_BACK_SEQUENCE_HPP

#include <godot_cpp/classes/object.hpp>

namespace godot {

class WelcomeBackSequence : public Object {
	GDCLASS(WelcomeBackSequence, Object)

protected:
	static void _bind_methods();

public:
	WelcomeBackSequence();
	~WelcomeBackSequence() override;

};

} // namespace godot

#endif // MOSSGLIMMER_SEQUENCES_WELCOME_BACK_SEQUENCE_HPP
