#ifndef MOSSGLIMMER_SEQUENCES_WELCOME_SEQUENCE_HPP
#define MOSSGLIMMER_SEQUENCES_WELCOME_SEQUENCE_HPP

#include <godot_cpp/classes/object.hpp>

namespace godot {

class WelcomeSequence : public Object {
	GDCLASS(WelcomeSequence, Object)

protected:
	static void _bind_methods();

public:
	WelcomeSequence();
	~WelcomeSequence() override;

};

} // namespace godot

#endif // MOSSGLIMMER_SEQUENCES_WELCOME_SEQUENCE_HPP
