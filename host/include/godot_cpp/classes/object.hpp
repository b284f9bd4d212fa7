#ifndef GODOT_CLASSES_OBJECT_HPP
#define GODOT_CLASSES_OBJECT_HPP

#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/classes/wrapped.hpp>
#include <godot_cpp/core/object_id.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

namespace godot {

struct MethodInfo;

class HOST_API Object : public Wrapped {
	GDEXTENSION_CLASS(Object, Wrapped)

public:
	enum ConnectFlags {
		CONNECT_DEFERRED = 1,
		CONNECT_PERSIST = 2,
		CONNECT_ONE_SHOT = 4,
		CONNECT_REFERENCE_COUNTED = 8,
	};

	static const int NOTIFICATION_POSTINITIALIZE = 0;
	static const int NOTIFICATION_PREDELETE = 1;
	static const int NOTIFICATION_EXTENSION_RELOADED = 2;

	Object();
	~Object() override;

	String get_class() const;
	bool is_class(const String &p_class) const;
	uint64_t get_instance_id() const { return _instance_id; }

	void set(const StringName &p_property, const Variant &p_value);
	Variant get(const StringName &p_property) const;

	bool has_method(const StringName &p_method) const;
	bool has_signal(const StringName &p_signal) const;
	void add_user_signal(const String &p_signal, const Array &p_arguments = Array());

	Error connect(const StringName &p_signal, const Callable &p_callable, uint32_t p_flags = 0);
	void disconnect(const StringName &p_signal, const Callable &p_callable);
	bool is_connected(const StringName &p_signal, const Callable &p_callable) const;
	int64_t _host_connection_count(const StringName &p_signal) const;

	template <typename... Args>
	Error emit_signal(const StringName &p_signal, const Args &...p_args) {
		std::array<Variant, sizeof...(Args)> args = { Variant(p_args)... };
		std::array<const Variant *, sizeof...(Args) + 1> ptrs = {};
		for (size_t i = 0; i < sizeof...(Args); i++) {
			ptrs[i] = &args[i];
		}
		return _host_emit_signal(p_signal, ptrs.data(), (int)sizeof...(Args));
	}

	template <typename... Args>
	Variant call(const StringName &p_method, const Args &...p_args) {
		std::array<Variant, sizeof...(Args)> args = { Variant(p_args)... };
		std::array<const Variant *, sizeof...(Args) + 1> ptrs = {};
		for (size_t i = 0; i < sizeof...(Args); i++) {
			ptrs[i] = &args[i];
		}
		return _host_call(p_method, ptrs.data(), (int)sizeof...(Args));
	}

	template <typename... Args>
	Variant call_deferred(const StringName &p_method, const Args &...p_args) {
		Callable(this, p_method).call_deferred(p_args...);
		return Variant();
	}

	Variant callv(const StringName &p_method, const Array &p_args);

	void notification(int32_t p_what, bool p_reversed = false);
	String to_string();

	void set_meta(const StringName &p_name, const Variant &p_value);
	Variant get_meta(const StringName &p_name, const Variant &p_default = Variant()) const;
	bool has_meta(const StringName &p_name) const;
	void remove_meta(const StringName &p_name);

	bool is_queued_for_deletion() const { return _queued_for_deletion; }

	template <typename T>
	static T *cast_to(Object *p_object);
	template <typename T>
	static const T *cast_to(const Object *p_object);

	// ---- engine side, not part of the binding API ----
	Error _host_emit_signal(const StringName &p_signal, const Variant **p_args, int p_argcount);
	Variant _host_call(const StringName &p_method, const Variant **p_args, int p_argcount);
	Variant _host_callp(const StringName &p_method, const Variant **p_args, int p_argcount, GDExtensionCallErrorHost &r_error);
	// Whether this object's class binds the engine virtual of that name.
	bool _host_has_virtual(const StringName &p_method) const;
	virtual bool _host_is_ref_counted() const { return false; }
	// Engine classes keep their own properties here.
	virtual bool _host_set(const StringName &p_property, const Variant &p_value);
	virtual bool _host_get(const StringName &p_property, Variant &r_value) const;
	virtual void _host_notification(int p_what);
	// Runs before the destructor chain, while the object is still whole.
	virtual void _host_predelete();
	void _host_set_queued_for_deletion(bool p_queued) { _queued_for_deletion = p_queued; }

private:
	struct Slot {
		Callable callable;
		uint32_t flags = 0;
	};
	struct SignalData {
		std::vector<Slot> slots;
	};
	struct Incoming {
		uint64_t emitter;
		StringName signal;
	};

	uint64_t _instance_id = 0;
	bool _queued_for_deletion = false;
	mutable int _virtual_cache_state = 0;
	std::unordered_map<StringName, SignalData> _signals;
	std::vector<Incoming> _incoming;
	std::vector<StringName> _user_signals;
	std::vector<std::pair<StringName, Variant>> _meta;

	void _drop_connections();
	void _remove_incoming(uint64_t p_emitter, const StringName &p_signal);
};

} // namespace godot

#include <godot_cpp/core/object.hpp>
#include <godot_cpp/core/binder_common.hpp>

#endif // GODOT_CLASSES_OBJECT_HPP
