#ifndef MOSSGLIMMER_RUNNER_SIGNAL_RECEIVER_HPP
#define MOSSGLIMMER_RUNNER_SIGNAL_RECEIVER_HPP

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/callable.hpp>

#include <functional>
#include <utility>

// A signal receiver that runs runner code with the signal's arguments, the
// way a scene's script would be connected; it lives with its anchor.
class RunnerCallable : public godot::CallableCustom {
public:
	using Function = std::function<void(const godot::Variant **, int)>;
	RunnerCallable(godot::Object *p_anchor, Function p_function) :
			_anchor(p_anchor->get_instance_id()), _function(std::move(p_function)) {}
	uint32_t hash() const override { return (uint32_t)_anchor; }
	uint64_t get_object() const override { return _anchor; }
	bool equals(const godot::CallableCustom &p_other) const override { return this == &p_other; }
	void call(const godot::Variant **p_arguments, int p_count, godot::Variant &, godot::GDExtensionCallErrorHost &) const override {
		_function(p_arguments, p_count);
	}

private:
	uint64_t _anchor;
	Function _function;
};

inline godot::Callable runner_callable(godot::Object *p_anchor, RunnerCallable::Function p_function) {
	return godot::Callable(new RunnerCallable(p_anchor, std::move(p_function)));
}

#endif // MOSSGLIMMER_RUNNER_SIGNAL_RECEIVER_HPP
