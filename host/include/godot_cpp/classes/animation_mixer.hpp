#ifndef GODOT_ANIMATIONMIXER_HPP
#define GODOT_ANIMATIONMIXER_HPP

#include <godot_cpp/classes/node.hpp>

#include <vector>

namespace godot {

class HOST_API AnimationMixer : public Node {
	GDEXTENSION_CLASS(AnimationMixer, Node)

public:
	void set_active(bool p_active) { _active = p_active; }
	bool is_active() const { return _active; }
	bool has_animation(const StringName &p_name) const;
	PackedStringArray get_animation_list() const;

	// ---- engine side ----
	// The animations of the mixer's libraries, by name only.
	void _host_add_animation(const StringName &p_name);

private:
	bool _active = true;
	std::vector<StringName> _animations;
};

} // namespace godot

#endif // GODOT_ANIMATIONMIXER_HPP
