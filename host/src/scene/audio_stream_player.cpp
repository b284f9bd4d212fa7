// Audio players: playback is only a position that advances with the frames
// while the node may process, and ends at the stream's length.
#include <godot_cpp/classes/audio_stream.hpp>
#include <godot_cpp/classes/audio_stream_player.hpp>

#include <godot_cpp/classes/engine.hpp>
#include <godot_cpp/core/class_db.hpp>

namespace godot {

AudioStreamPlayer::AudioStreamPlayer() = default;

AudioStreamPlayer::~AudioStreamPlayer() = default;

void AudioStreamPlayer::set_stream(const Ref<AudioStream> &p_stream) {
	stop();
	_stream = p_stream;
}

Ref<AudioStream> AudioStreamPlayer::get_stream() const {
	return _stream;
}

void AudioStreamPlayer::set_volume_db(float p_volume_db) {
	_volume_db = p_volume_db;
}

float AudioStreamPlayer::get_volume_db() const {
	return _volume_db;
}

void AudioStreamPlayer::set_bus(const StringName &p_bus) {
	_bus = p_bus;
}

StringName AudioStreamPlayer::get_bus() const {
	return _bus;
}

void AudioStreamPlayer::set_autoplay(bool p_enable) {
	_autoplay = p_enable;
}

bool AudioStreamPlayer::is_autoplay_enabled() const {
	return _autoplay;
}

void AudioStreamPlayer::play(float p_from_position) {
	// Without a stream there is nothing to play, and the engine says nothing.
	if (_stream.is_null()) {
		return;
	}
	ERR_FAIL_COND_MSG(!is_inside_tree(), "Playback can only happen when a node is inside the scene tree");
	// One voice: a new playback replaces the running one.
	_playing = true;
	_position = p_from_position > 0 ? p_from_position : 0.0;
	_last_from = p_from_position;
	_play_count++;
	set_process_internal(true);
}

void AudioStreamPlayer::seek(float p_to_position) {
	if (_playing) {
		_position = p_to_position > 0 ? p_to_position : 0.0;
	}
}

void AudioStreamPlayer::stop() {
	_playing = false;
	_position = 0.0;
	set_process_internal(false);
}

bool AudioStreamPlayer::is_playing() const {
	return _playing;
}

double AudioStreamPlayer::get_playback_position() {
	return _playing ? _position : 0.0;
}

void AudioStreamPlayer::_host_notification(int p_what) {
	Node::_host_notification(p_what);
	switch (p_what) {
		case NOTIFICATION_ENTER_TREE:
			if (_autoplay && !Engine::get_singleton()->is_editor_hint()) {
				play();
			}
			break;
		case NOTIFICATION_EXIT_TREE:
			stop();
			break;
		case NOTIFICATION_INTERNAL_PROCESS: {
			if (!_playing) {
				return;
			}
			_position += get_process_delta_time();
			double length = _stream.is_valid() ? _stream->get_length() : 0.0;
			if (length > 0 && _position >= length) {
				stop();
				emit_signal("finished");
			}
		} break;
		default:
			break;
	}
}

bool AudioStreamPlayer::_host_set(const StringName &p_property, const Variant &p_value) {
	if (p_property == StringName("stream")) {
		set_stream(Ref<AudioStream>(p_value));
	} else if (p_property == StringName("volume_db")) {
		set_volume_db(p_value);
	} else if (p_property == StringName("autoplay")) {
		set_autoplay(p_value);
	} else {
		return Node::_host_set(p_property, p_value);
	}
	return true;
}

bool AudioStreamPlayer::_host_get(const StringName &p_property, Variant &r_value) const {
	if (p_property == StringName("stream")) {
		r_value = _stream;
	} else if (p_property == StringName("volume_db")) {
		r_value = _volume_db;
	} else if (p_property == StringName("autoplay")) {
		r_value = _autoplay;
	} else if (p_property == StringName("playing")) {
		r_value = _playing;
	} else {
		return Node::_host_get(p_property, r_value);
	}
	return true;
}

GDHOST_REGISTER_ENGINE_CLASS(AudioStreamPlayer, "finished");

} // namespace godot
