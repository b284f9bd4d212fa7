#ifndef GODOT_RID_HPP
#define GODOT_RID_HPP

#include <godot_cpp/core/defs.hpp>

namespace godot {

class HOST_API RID {
	uint64_t _id = 0;

public:
	RID() = default;
	RID(const RID &) = default;
	RID &operator=(const RID &) = default;

	bool is_valid() const { return _id != 0; }
	int64_t get_id() const { return (int64_t)_id; }

	bool operator==(const RID &p_other) const { return _id == p_other._id; }
	bool operator!=(const RID &p_other) const { return _id != p_other._id; }
	bool operator<(const RID &p_other) const { return _id < p_other._id; }
	bool operator<=(const RID &p_other) const { return _id <= p_other._id; }
	bool operator>(const RID &p_other) const { return _id > p_other._id; }
	bool operator>=(const RID &p_other) const { return _id >= p_other._id; }

	// The engine side hands out ids; extension code only compares them.
	static RID _host_from_id(uint64_t p_id) {
		RID r;
		r._id = p_id;
		return r;
	}
};

} // namespace godot

#endif // GODOT_RID_HPP
