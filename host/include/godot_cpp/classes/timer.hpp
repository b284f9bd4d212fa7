#ifndef GODOT_TIMER_HPP
#define GODOT_TIMER_HPP

#include <godot_cpp/classes/node.hpp>

namespace godot {

class HOST_API Timer : public Node {
	GDEXTENSION_CLASS(Timer, Node)

public:
	enum TimerProcessCallback {
		TIMER_PROCESS_PHYSICS = 0,
		TIMER_PROCESS_IDLE = 1,
	};

	void set_wait_time(double p_time_sec);
	double get_wait_time() const;
	void set_one_shot(bool p_enable);
	bool is_one_shot() const;
	void set_autostart(bool p_enable);
	bool has_autostart() const;
	void start(double p_time_sec = -1);
	void stop();
	void set_paused(bool p_paused);
	bool is_paused() const;
	void set_ignore_time_scale(bool p_ignore);
	bool is_ignoring_time_scale();
	bool is_stopped() const;
	double get_time_left() const;
	void set_timer_process_callback(Timer::TimerProcessCallback p_callback);
	Timer::TimerProcessCallback get_timer_process_callback() const;

	void _host_notification(int p_what) override;

private:
	double _wait_time = 1.0;
	double _time_left = -1.0;
	bool _one_shot = false;
	bool _autostart = false;
	bool _processing = false;
	bool _paused = false;
	bool _ignore_time_scale = false;
	TimerProcessCallback _callback = TIMER_PROCESS_IDLE;

	void _set_process(bool p_process);
	void _tick(double p_delta);
};

} // namespace godot

#endif // GODOT_TIMER_HPP
