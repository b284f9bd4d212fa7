#ifndef GODOT_AUDIOSTREAMPLAYER_HPP
#define GODOT_AUDIOSTREAMPLAYER_HPP

#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/classes/ref.hpp>

namespace godot {

class AudioStream;

class HOST_API AudioStreamPlayer : public Node {
	GDEXTENSION_CLASS(AudioStreamPlayer, Node)

public:
	AudioStreamPlayer();
	~AudioStreamPlayer() override;

	void set_stream(const Ref<AudioStream> &p_stream);
	Ref<AudioStream> get_stream() const;
	void set_volume_db(float p_volume_db);
	float get_volume_db() const;
	void set_bus(const StringName &p_bus);
	StringName get_bus() const;
	void set_autoplay(bool p_enable);
	bool is_autoplay_enabled() const;

	void play(float p_from_position = 0.0);
	void seek(float p_to_position);
	void stop();
	bool is_playing() const;
	double get_playback_position();

	void _host_notification(int p_what) override;
	bool _host_set(const StringName &p_property, const Variant &p_value) override;
	bool _host_get(const StringName &p_property, Variant &r_value) const override;

	// ---- engine side: what a listener would have heard ----
	// Playbacks started since the node was made.
	int64_t _host_play_count() const { return _play_count; }
	// The position the last playback started from.
	float _host_last_play_from() const { return _last_from; }

private:
	Ref<AudioStream> _stream;
	float _volume_db = 0.0f;
	StringName _bus = StringName("Master");
	bool _autoplay = false;
	bool _playing = false;
	double _position = 0.0;
	int64_t _play_count = 0;
	float _last_from = 0.0f;
};

} // namespace godot

#endif // GODOT_AUDIOSTREAMPLAYER_HPP
