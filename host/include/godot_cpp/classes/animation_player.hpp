#ifndef GODOT_ANIMATIONPLAYER_HPP
#define GODOT_ANIMATIONPLAYER_HPP

#include <godot_cpp/classes/animation_mixer.hpp>

#include <vector>

namespace godot {

class HOST_API AnimationPlayer : public AnimationMixer {
	GDEXTENSION_CLASS(AnimationPlayer, AnimationMixer)

public:
	void play(const StringName &p_name = StringName(), double p_custom_blend = -1, float p_custom_speed = 1.0, bool p_from_end = false);
	void play_backwards(const StringName &p_name = StringName(), double p_custom_blend = -1);
	void pause();
	void stop(bool p_keep_state = false);
	bool is_playing() const { return _playing; }
	String get_current_animation() const;
	void set_assigned_animation(const String &p_animation);
	String get_assigned_animation() const;
	float get_playing_speed() const { return _playing ? _speed : 0.0f; }

	// ---- engine side ----
	struct Play {
		StringName name;
		double custom_blend = -1;
		float custom_speed = 1.0f;
		bool from_end = false;
	};
	// Every play call that started an animation, oldest first.
	const std::vector<Play> &_host_plays() const { return _plays; }

private:
	StringName _assigned;
	bool _playing = false;
	float _speed = 1.0f;
	std::vector<Play> _plays;
};

} // namespace godot

#endif // GODOT_ANIMATIONPLAYER_HPP
