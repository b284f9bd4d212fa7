// Objects, the object registry, and signals.
#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/ref_counted.hpp>

#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/host_unload_watch.hpp>
#include <godot_cpp/core/object.hpp>

#include <algorithm>
#include <vector>

namespace godot {

namespace {

// Live objects by slot. A freed object's slot goes to the next object made,
// so the table is as large as the most objects alive at once. An id holds
// the slot and a number given to no other object: a freed object's id never
// names the one that took its slot.
class Registry {
public:
	uint64_t add(Object *p_object) {
		uint32_t slot;
		if (_free_slots.empty()) {
			slot = (uint32_t)_slots.size();
			if (slot > SLOT_MASK) {
				CRASH_NOW_MSG("Too many objects alive at once.");
			}
			_slots.emplace_back();
		} else {
			slot = _free_slots.back();
			_free_slots.pop_back();
		}
		Slot &s = _slots[slot];
		s.object = p_object;
		s.serial = _next_serial++;
		_live++;
		return (s.serial << SLOT_BITS) | slot;
	}

	void remove(uint64_t p_id) {
		int64_t slot = _slot_of(p_id);
		if (slot < 0) {
			return;
		}
		_slots[(size_t)slot] = Slot();
		_free_slots.push_back((uint32_t)slot);
		_live--;
	}

	Object *get(uint64_t p_id) const {
		int64_t slot = _slot_of(p_id);
		return slot < 0 ? nullptr : _slots[(size_t)slot].object;
	}

	int live() const { return _live; }
	size_t slots() const { return _slots.size(); }

	template <typename F>
	void for_each(F p_visit) const {
		for (const Slot &s : _slots) {
			if (s.object) {
				p_visit(s.object);
			}
		}
	}

private:
	static constexpr int SLOT_BITS = 24;
	static constexpr uint64_t SLOT_MASK = (1u << SLOT_BITS) - 1;

	struct Slot {
		Object *object = nullptr;
		uint64_t serial = 0; // 0 while free
	};
	std::vector<Slot> _slots;
	std::vector<uint32_t> _free_slots;
	uint64_t _next_serial = 1; // ids are never 0
	int _live = 0;

	// -1 unless the id names a live object.
	int64_t _slot_of(uint64_t p_id) const {
		uint64_t slot = p_id & SLOT_MASK;
		if (slot >= _slots.size() || _slots[slot].serial == 0 || _slots[slot].serial != p_id >> SLOT_BITS) {
			return -1;
		}
		return (int64_t)slot;
	}
};

// Never destroyed: objects may still go during static destruction.
Registry &registry() {
	static Registry *r = new Registry;
	return *r;
}

String callable_text(const Callable &p_callable) {
	return p_callable.get_as_text();
}

} // namespace

Object *ObjectDB::get_instance(uint64_t p_object_id) {
	return registry().get(p_object_id);
}

int ObjectDB::_host_instance_count() {
	return registry().live();
}

size_t ObjectDB::_host_slot_count() {
	return registry().slots();
}

int ObjectDB::_host_instance_count_of(const StringName &p_class) {
	int n = 0;
	registry().for_each([&](Object *p_object) { n += p_object->_host_get_class_name() == p_class ? 1 : 0; });
	return n;
}

void *Memory::alloc_static(size_t p_bytes, bool) {
	return std::malloc(p_bytes);
}

void *Memory::realloc_static(void *p_memory, size_t p_bytes, bool) {
	return std::realloc(p_memory, p_bytes);
}

void Memory::free_static(void *p_ptr, bool) {
	std::free(p_ptr);
}

void _host_post_initialize(Wrapped *) {
}

void _host_memdelete_wrapped(Wrapped *p_object) {
	Object *object = dynamic_cast<Object *>(p_object);
	_HostUnloadScope unloading(object, "A freed object");
	if (object) {
		object->_host_predelete();
	}
	delete p_object;
}

Object::Object() {
	_instance_id = registry().add(this);
}

Object::~Object() {
	_drop_connections();
	registry().remove(_instance_id);
}

void Object::_host_predelete() {
	_host_notification(NOTIFICATION_PREDELETE);
}

void Object::_host_notification(int) {
}

void Object::notification(int32_t p_what, bool) {
	_host_notification(p_what);
}

String Object::get_class() const {
	return String(_host_get_class_name());
}

bool Object::is_class(const String &p_class) const {
	StringName target(p_class);
	StringName c = _host_get_class_name();
	while (!c.is_empty()) {
		if (c == target) {
			return true;
		}
		c = ClassDB::get_parent_class(c);
	}
	return false;
}

String Object::to_string() {
	return "<" + get_class() + "#" + itos((int64_t)_instance_id) + ">";
}

bool Object::_host_set(const StringName &, const Variant &) {
	return false;
}

bool Object::_host_get(const StringName &, Variant &) const {
	return false;
}

void Object::set(const StringName &p_property, const Variant &p_value) {
	const ClassDB::PropertyEntry *prop = ClassDB::get_property(_host_get_class_name(), p_property);
	if (prop && !prop->setter.is_empty()) {
		Variant index((int64_t)prop->index);
		const Variant *args[2] = { &index, &p_value };
		bool indexed = prop->index >= 0;
		GDExtensionCallErrorHost err;
		_host_callp(prop->setter, indexed ? args : args + 1, indexed ? 2 : 1, err);
		return;
	}
	if (_host_set(p_property, p_value)) {
		return;
	}
	for (auto &m : _meta) {
		if (m.first == p_property) {
			return; // metadata is not a property
		}
	}
}

Variant Object::get(const StringName &p_property) const {
	const ClassDB::PropertyEntry *prop = ClassDB::get_property(_host_get_class_name(), p_property);
	if (prop && !prop->getter.is_empty()) {
		Variant index((int64_t)prop->index);
		const Variant *args[1] = { &index };
		GDExtensionCallErrorHost err;
		return const_cast<Object *>(this)->_host_callp(prop->getter, args, prop->index >= 0 ? 1 : 0, err);
	}
	Variant value;
	if (_host_get(p_property, value)) {
		return value;
	}
	return Variant();
}

bool Object::has_method(const StringName &p_method) const {
	return ClassDB::get_method(_host_get_class_name(), p_method) != nullptr;
}

bool Object::has_signal(const StringName &p_signal) const {
	if (ClassDB::has_signal(_host_get_class_name(), p_signal)) {
		return true;
	}
	return std::find(_user_signals.begin(), _user_signals.end(), p_signal) != _user_signals.end();
}

void Object::add_user_signal(const String &p_signal, const Array &) {
	ERR_FAIL_COND_MSG(has_signal(p_signal), "Signal already exists: " + p_signal);
	_user_signals.push_back(StringName(p_signal));
}

Error Object::connect(const StringName &p_signal, const Callable &p_callable, uint32_t p_flags) {
	ERR_FAIL_COND_V_MSG(p_callable.is_null(), ERR_INVALID_PARAMETER, "Cannot connect to '" + String(p_signal) + "': the provided callable is null.");
	if (!has_signal(p_signal)) {
		ERR_FAIL_V_MSG(ERR_INVALID_PARAMETER, "In Object of type '" + get_class() + "': Attempt to connect nonexistent signal '" + String(p_signal) + "' to callable '" + callable_text(p_callable) + "'.");
	}
	SignalData &data = _signals[p_signal];
	for (const Slot &slot : data.slots) {
		if (slot.callable == p_callable) {
			if (p_flags & CONNECT_REFERENCE_COUNTED) {
				return OK;
			}
			ERR_FAIL_V_MSG(ERR_INVALID_PARAMETER, "Signal '" + String(p_signal) + "' is already connected to given callable '" + callable_text(p_callable) + "' in that object.");
		}
	}
	data.slots.push_back({ p_callable, p_flags });
	Object *target = ObjectDB::get_instance(p_callable.get_object_id());
	if (target) {
		target->_incoming.push_back({ _instance_id, p_signal });
	}
	return OK;
}

void Object::disconnect(const StringName &p_signal, const Callable &p_callable) {
	auto it = _signals.find(p_signal);
	if (it == _signals.end()) {
		ERR_FAIL_COND_MSG(!has_signal(p_signal), "Disconnecting nonexistent signal '" + String(p_signal) + "' in " + to_string() + ".");
		ERR_FAIL_MSG("Attempt to disconnect a nonexistent connection from '" + to_string() + "'. Signal: '" + String(p_signal) + "', callable: '" + callable_text(p_callable) + "'.");
	}
	std::vector<Slot> &slots = it->second.slots;
	for (size_t i = 0; i < slots.size(); i++) {
		if (slots[i].callable == p_callable) {
			uint64_t target_id = slots[i].callable.get_object_id();
			slots.erase(slots.begin() + (long)i);
			Object *target = ObjectDB::get_instance(target_id);
			if (target) {
				target->_remove_incoming(_instance_id, p_signal);
			}
			return;
		}
	}
	ERR_FAIL_MSG("Attempt to disconnect a nonexistent connection from '" + to_string() + "'. Signal: '" + String(p_signal) + "', callable: '" + callable_text(p_callable) + "'.");
}

bool Object::is_connected(const StringName &p_signal, const Callable &p_callable) const {
	auto it = _signals.find(p_signal);
	if (it == _signals.end()) {
		ERR_FAIL_COND_V_MSG(!has_signal(p_signal), false, "Nonexistent signal: " + String(p_signal) + ".");
		return false;
	}
	for (const Slot &slot : it->second.slots) {
		if (slot.callable == p_callable) {
			return true;
		}
	}
	return false;
}

int64_t Object::_host_connection_count(const StringName &p_signal) const {
	auto it = _signals.find(p_signal);
	return it == _signals.end() ? 0 : (int64_t)it->second.slots.size();
}

void Object::_remove_incoming(uint64_t p_emitter, const StringName &p_signal) {
	for (size_t i = 0; i < _incoming.size(); i++) {
		if (_incoming[i].emitter == p_emitter && _incoming[i].signal == p_signal) {
			_incoming.erase(_incoming.begin() + (long)i);
			return;
		}
	}
}

void Object::_drop_connections() {
	// Connections from this object: tell each receiver.
	for (auto &entry : _signals) {
		for (const Slot &slot : entry.second.slots) {
			Object *target = ObjectDB::get_instance(slot.callable.get_object_id());
			if (target && target != this) {
				target->_remove_incoming(_instance_id, entry.first);
			}
		}
	}
	_signals.clear();
	// Connections to this object: remove them from each emitter.
	std::vector<Incoming> incoming;
	incoming.swap(_incoming);
	for (const Incoming &in : incoming) {
		Object *emitter = ObjectDB::get_instance(in.emitter);
		if (!emitter || emitter == this) {
			continue;
		}
		auto it = emitter->_signals.find(in.signal);
		if (it == emitter->_signals.end()) {
			continue;
		}
		std::vector<Slot> &slots = it->second.slots;
		slots.erase(std::remove_if(slots.begin(), slots.end(), [this](const Slot &s) { return s.callable.get_object_id() == _instance_id; }), slots.end());
	}
}

Error Object::_host_emit_signal(const StringName &p_signal, const Variant **p_args, int p_argcount) {
	auto it = _signals.find(p_signal);
	if (it == _signals.end() || it->second.slots.empty()) {
		ERR_FAIL_COND_V_MSG(!has_signal(p_signal), ERR_UNAVAILABLE, "Can't emit non-existing signal \"" + String(p_signal) + "\".");
		return ERR_UNAVAILABLE;
	}
	// Receivers may connect, disconnect or free objects while we emit: work on
	// a copy, kept inline for the usual few receivers.
	constexpr size_t INLINE_SLOTS = 4;
	Slot inline_slots[INLINE_SLOTS];
	std::vector<Slot> heap_slots;
	const std::vector<Slot> &current = it->second.slots;
	const size_t slot_count = current.size();
	const Slot *slots = inline_slots;
	if (slot_count <= INLINE_SLOTS) {
		std::copy(current.begin(), current.end(), inline_slots);
	} else {
		heap_slots = current;
		slots = heap_slots.data();
	}
	const uint64_t self_id = _instance_id;
	Error result = OK;
	for (size_t slot_index = 0; slot_index < slot_count; slot_index++) {
		const Slot &slot = slots[slot_index];
		if (!slot.callable.is_valid()) {
			continue; // the receiver was freed during this emission
		}
		if (slot.flags & CONNECT_ONE_SHOT) {
			if (is_connected(p_signal, slot.callable)) {
				disconnect(p_signal, slot.callable);
			}
		}
		if (slot.flags & CONNECT_DEFERRED) {
			std::vector<Variant> args;
			for (int i = 0; i < p_argcount; i++) {
				args.push_back(*p_args[i]);
			}
			Callable deferred = slot.callable._host_bind_values(args);
			deferred.call_deferred();
		} else {
			GDExtensionCallErrorHost err;
			slot.callable._host_callp(p_args, p_argcount, err);
			if (err.error != GDExtensionCallErrorHost::CALL_OK) {
				String reason;
				switch (err.error) {
					case GDExtensionCallErrorHost::CALL_ERROR_INVALID_METHOD:
						reason = "Method not found";
						break;
					case GDExtensionCallErrorHost::CALL_ERROR_INVALID_ARGUMENT:
						reason = "Cannot convert argument " + itos(err.argument + 1);
						break;
					case GDExtensionCallErrorHost::CALL_ERROR_TOO_MANY_ARGUMENTS:
						reason = "Method expected " + itos(err.expected) + " argument(s), but called with more";
						break;
					case GDExtensionCallErrorHost::CALL_ERROR_TOO_FEW_ARGUMENTS:
						reason = "Method expected " + itos(err.expected) + " argument(s), but called with fewer";
						break;
					default:
						reason = "Instance is null";
						break;
				}
				ERR_PRINT("Error calling from signal '" + String(p_signal) + "' to callable: '" + slot.callable.get_as_text() + "': " + reason + ".");
				result = ERR_METHOD_NOT_FOUND;
			}
		}
		if (ObjectDB::get_instance(self_id) != this) {
			break; // the emitter itself was freed by a receiver
		}
	}
	return result;
}

Variant Object::_host_callp(const StringName &p_method, const Variant **p_args, int p_argcount, GDExtensionCallErrorHost &r_error) {
	MethodBind *mb = ClassDB::get_method(_host_get_class_name(), p_method);
	if (!mb) {
		r_error.error = GDExtensionCallErrorHost::CALL_ERROR_INVALID_METHOD;
		return Variant();
	}
	return mb->call(this, p_args, p_argcount, r_error);
}

Variant Object::_host_call(const StringName &p_method, const Variant **p_args, int p_argcount) {
	GDExtensionCallErrorHost err;
	Variant ret = _host_callp(p_method, p_args, p_argcount, err);
	if (err.error != GDExtensionCallErrorHost::CALL_OK) {
		ERR_PRINT("Error calling method '" + String(p_method) + "' on " + to_string() + ".");
	}
	return ret;
}

Variant Object::callv(const StringName &p_method, const Array &p_args) {
	std::vector<const Variant *> ptrs;
	for (int64_t i = 0; i < p_args.size(); i++) {
		ptrs.push_back(&p_args[i]);
	}
	return _host_call(p_method, ptrs.data(), (int)ptrs.size());
}

bool Object::_host_has_virtual(const StringName &p_method) const {
	return ClassDB::has_virtual(_host_get_class_name(), p_method);
}

void Object::set_meta(const StringName &p_name, const Variant &p_value) {
	for (auto &m : _meta) {
		if (m.first == p_name) {
			m.second = p_value;
			return;
		}
	}
	_meta.emplace_back(p_name, p_value);
}

Variant Object::get_meta(const StringName &p_name, const Variant &p_default) const {
	for (const auto &m : _meta) {
		if (m.first == p_name) {
			return m.second;
		}
	}
	return p_default;
}

bool Object::has_meta(const StringName &p_name) const {
	for (const auto &m : _meta) {
		if (m.first == p_name) {
			return true;
		}
	}
	return false;
}

void Object::remove_meta(const StringName &p_name) {
	_meta.erase(std::remove_if(_meta.begin(), _meta.end(), [&](const auto &m) { return m.first == p_name; }), _meta.end());
}

GDHOST_REGISTER_ENGINE_CLASS(Object, "script_changed", "property_list_changed");
GDHOST_REGISTER_ENGINE_CLASS(RefCounted);

} // namespace godot
