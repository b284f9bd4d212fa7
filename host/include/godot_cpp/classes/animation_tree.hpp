#ifndef GODOT_ANIMATIONTREE_HPP
#define GODOT_ANIMATIONTREE_HPP

#include <godot_cpp/classes/animation_mixer.hpp>

#include <utility>
#include <vector>

namespace godot {

// Blend parameters are properties under "parameters/", which the tree's
// nodes declare; Object::set and Object::get reach them.
class HOST_API AnimationTree : public AnimationMixer {
	GDEXTENSION_CLASS(AnimationTree, AnimationMixer)

public:
	void set_animation_player(const NodePath &p_path) { _animation_player = p_path; }
	NodePath get_animation_player() const { return _animation_player; }

	// ---- engine side ----
	// Declares a parameter, as a tree node would, with its default value.
	void _host_declare_parameter(const StringName &p_name, const Variant &p_default);
	bool _host_has_parameter(const StringName &p_name) const;
	// How many times parameters were written through set.
	int64_t _host_parameter_writes() const { return _writes; }
	bool _host_set(const StringName &p_property, const Variant &p_value) override;
	bool _host_get(const StringName &p_property, Variant &r_value) const override;

private:
	NodePath _animation_player;
	std::vector<std::pair<StringName, Variant>> _parameters;
	int64_t _writes = 0;
};

} // namespace godot

#endif // GODOT_ANIMATIONTREE_HPP
