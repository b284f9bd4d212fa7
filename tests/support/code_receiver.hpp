#ifndef MOSSGLIMMER_TESTS_CODE_RECEIVER_HPP
#define MOSSGLIMMER_TESTS_CODE_RECEIVER_HPP

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/callable.hpp>

#include <functional>
#include <memory>

// A signal receiver that runs test code, as a scene's script would; it lives
// as long as its anchor object.
class FunctionCallable : public godot::CallableCustom {
	uint64_t anchor;
	std::function<void()> fn;

public:
	FunctionCallable(godot::Object *p_anchor, std::function<void()> p_fn) :
			anchor(p_anchor->get_instance_id()), fn(std::move(p_fn)) {}
	uint32_t hash() const override { return (uint32_t)anchor; }
	uint64_t get_object() const override { return anchor; }
	bool equals(const godot::CallableCustom &p_other) const override { return this == &p_other; }
	void call(const godot::Variant **, int, godot::Variant &, godot::GDExtensionCallErrorHost &) const override { fn(); }
};

inline godot::Callable on_signal(godot::Object *p_anchor, std::function<void()> p_fn) {
	return godot::Callable(new FunctionCallable(p_anchor, std::move(p_fn)));
}

// The same, running p_fn at the first emission only (a script that frees
// something once, say).
inline godot::Callable on_first_signal(godot::Object *p_anchor, std::function<void()> p_fn) {
	auto done = std::make_shared<bool>(false);
	return on_signal(p_anchor, [done, fn = std::move(p_fn)]() {
		if (!*done) {
			*done = true;
			fn();
		}
	});
}

#endif // MOSSGLIMMER_TESTS_CODE_RECEIVER_HPP
