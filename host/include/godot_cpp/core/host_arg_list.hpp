#ifndef GODOT_CORE_HOST_ARG_LIST_HPP
#define GODOT_CORE_HOST_ARG_LIST_HPP

#include <cstddef>
#include <vector>

namespace godot {

class Variant;

// Engine side: the argument pointers of one call. The usual few stay inline,
// so a signal or method call allocates nothing for them.
class _HostArgList {
	static constexpr size_t INLINE = 12;
	const Variant *_inline[INLINE] = {};
	std::vector<const Variant *> _heap;
	size_t _size = 0;

public:
	void push_back(const Variant *p_arg) {
		if (_size < INLINE) {
			_inline[_size++] = p_arg;
			return;
		}
		if (_heap.empty()) {
			_heap.assign(_inline, _inline + INLINE);
		}
		_heap.push_back(p_arg);
		_size++;
	}
	void assign(const Variant *const *p_args, int p_count) {
		_size = 0;
		_heap.clear();
		for (int i = 0; i < p_count; i++) {
			push_back(p_args[i]);
		}
	}
	const Variant **data() { return _size > INLINE ? _heap.data() : _inline; }
	const Variant *const *data() const { return _size > INLINE ? _heap.data() : _inline; }
	size_t size() const { return _size; }
	const Variant *operator[](size_t p_index) const { return data()[p_index]; }
};

} // namespace godot

#endif // GODOT_CORE_HOST_ARG_LIST_HPP
