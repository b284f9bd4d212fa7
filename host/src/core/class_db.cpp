// The engine's class registry: engine classes, and the classes that
// extensions register through the binding.
#include <godot_cpp/core/class_db.hpp>

#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/method_bind.hpp>
#include <godot_cpp/core/object.hpp>

#include <algorithm>
#include <unordered_map>

namespace godot {

namespace {

struct Registry {
	std::unordered_map<StringName, ClassDB::ClassRecord> classes;
	std::vector<StringName> order; // registration order
	ModuleInitializationLevel current_level = MODULE_INITIALIZATION_LEVEL_CORE;
};

Registry &registry() {
	static Registry r;
	return r;
}

ClassDB::ClassRecord *find_record(const StringName &p_class) {
	auto it = registry().classes.find(p_class);
	return it == registry().classes.end() ? nullptr : &it->second;
}

} // namespace

MethodDefinition D_METHOD(StringName p_name) {
	return MethodDefinition(p_name);
}

MethodDefinition D_METHOD(StringName p_name, StringName p_arg1) {
	MethodDefinition md(p_name);
	md.args.push_back(p_arg1);
	return md;
}

MethodBind::~MethodBind() = default;

PropertyInfo MethodBind::get_argument_info(int p_arg) const {
	if (p_arg < 0 || p_arg >= (int)argument_info.size()) {
		return PropertyInfo();
	}
	PropertyInfo pi = argument_info[(size_t)p_arg];
	pi.name = p_arg < (int)argument_names.size() ? argument_names[(size_t)p_arg] : StringName();
	return pi;
}

bool MethodBind::_prepare_args(const Variant **p_args, int p_argcount, _HostArgList &r_args, GDExtensionCallErrorHost &r_error) const {
	if (p_argcount > argument_count) {
		r_error.error = GDExtensionCallErrorHost::CALL_ERROR_TOO_MANY_ARGUMENTS;
		r_error.expected = argument_count;
		return false;
	}
	int missing = argument_count - p_argcount;
	if (missing > (int)default_arguments.size()) {
		r_error.error = GDExtensionCallErrorHost::CALL_ERROR_TOO_FEW_ARGUMENTS;
		r_error.expected = argument_count;
		return false;
	}
	r_args.assign(p_args, p_argcount);
	size_t first_default = default_arguments.size() - (size_t)missing;
	for (size_t i = first_default; i < default_arguments.size(); i++) {
		r_args.push_back(&default_arguments[i]);
	}
	return true;
}

void _host_bind_virtual(const StringName &p_class, const StringName &p_method) {
	ClassDB::_host_bind_virtual(p_class, p_method);
}

bool ClassDB::_host_register_extension_class(const StringName &p_name, const StringName &p_parent, Object *(*p_creator)(), void (*p_reset)(), bool p_virtual, bool p_abstract, bool p_exposed, bool p_runtime) {
	ERR_FAIL_COND_V_MSG(class_exists(p_name), false, "Class already exists: " + String(p_name));
	ERR_FAIL_COND_V_MSG(!class_exists(p_parent), false, "Attempt to register extension class '" + String(p_name) + "', which inherits from unknown class '" + String(p_parent) + "'.");
	ClassRecord rec;
	rec.name = p_name;
	rec.parent = p_parent;
	rec.is_extension = true;
	rec.is_virtual = p_virtual;
	rec.is_abstract = p_abstract;
	rec.is_exposed = p_exposed;
	rec.is_runtime = p_runtime;
	rec.level = registry().current_level;
	rec.creator = p_creator;
	rec.reset_initialized = p_reset;
	registry().classes[p_name] = rec;
	registry().order.push_back(p_name);
	return true;
}

void ClassDB::_host_register_engine_class(const StringName &p_name, const StringName &p_parent, Object *(*p_creator)(), std::vector<const char *> p_signals) {
	ClassRecord rec;
	rec.name = p_name;
	rec.parent = p_parent;
	rec.creator = p_creator;
	rec.is_abstract = p_creator == nullptr;
	for (const char *s : p_signals) {
		if (!s) {
			continue;
		}
		rec.signals.push_back(MethodInfo(StringName(s)));
	}
	registry().classes[p_name] = rec;
	registry().order.push_back(p_name);
}

void ClassDB::_host_bind_virtual(const StringName &p_class, const StringName &p_method) {
	ClassRecord *rec = find_record(p_class);
	ERR_FAIL_NULL_MSG(rec, "Binding a virtual of an unknown class: " + String(p_class));
	if (std::find(rec->virtuals.begin(), rec->virtuals.end(), p_method) == rec->virtuals.end()) {
		rec->virtuals.push_back(p_method);
	}
}

MethodBind *ClassDB::_bind_method(MethodBind *p_bind, const MethodDefinition &p_definition, const std::vector<Variant> &p_defaults) {
	const StringName &cls = p_bind->get_instance_class();
	ClassRecord *rec = find_record(cls);
	if (!rec) {
		delete p_bind;
		ERR_FAIL_V_MSG(nullptr, "Class '" + String(cls) + "' doesn't exist.");
	}
	for (MethodBind *mb : rec->methods) {
		if (mb->get_name() == p_definition.name) {
			delete p_bind;
			ERR_FAIL_V_MSG(nullptr, "Binding duplicate method: " + String(cls) + "::" + String(p_definition.name) + ".");
		}
	}
	if ((int)p_definition.args.size() > p_bind->get_argument_count()) {
		delete p_bind;
		ERR_FAIL_V_MSG(nullptr, "Method definition provides more arguments than the method actually has: " + String(cls) + "::" + String(p_definition.name) + ".");
	}
	if ((int)p_defaults.size() > p_bind->get_argument_count()) {
		delete p_bind;
		ERR_FAIL_V_MSG(nullptr, "Method definition provides more default arguments than the method has arguments: " + String(cls) + "::" + String(p_definition.name) + ".");
	}
	p_bind->set_name(p_definition.name);
	p_bind->set_argument_names(std::vector<StringName>(p_definition.args.begin(), p_definition.args.end()));
	p_bind->set_default_arguments(p_defaults);
	rec->methods.push_back(p_bind);
	return p_bind;
}

void ClassDB::add_property_group(const StringName &, const String &, const String &) {
}

void ClassDB::add_property_subgroup(const StringName &, const String &, const String &) {
}

void ClassDB::add_property(const StringName &p_class, const PropertyInfo &p_pinfo, const StringName &p_setter, const StringName &p_getter, int p_index) {
	ClassRecord *rec = find_record(p_class);
	ERR_FAIL_NULL_MSG(rec, "Trying to add property '" + String(p_pinfo.name) + "' to nonexistent class '" + String(p_class) + "'.");
	for (const PropertyEntry &p : rec->properties) {
		ERR_FAIL_COND_MSG(p.info.name == p_pinfo.name, "Property '" + String(p_pinfo.name) + "' already exists in class '" + String(p_class) + "'.");
	}
	if (!p_setter.is_empty()) {
		ERR_FAIL_NULL_MSG(get_method(p_class, p_setter), "Setter method '" + String(p_setter) + "' not found for property '" + String(p_pinfo.name) + "' in class '" + String(p_class) + "'.");
	}
	if (!p_getter.is_empty()) {
		ERR_FAIL_NULL_MSG(get_method(p_class, p_getter), "Getter method '" + String(p_getter) + "' not found for property '" + String(p_pinfo.name) + "' in class '" + String(p_class) + "'.");
	}
	rec->properties.push_back({ p_pinfo, p_setter, p_getter, p_index });
}

void ClassDB::add_signal(const StringName &p_class, const MethodInfo &p_signal) {
	ClassRecord *rec = find_record(p_class);
	ERR_FAIL_NULL_MSG(rec, "Trying to add signal '" + String(p_signal.name) + "' to nonexistent class '" + String(p_class) + "'.");
	ERR_FAIL_COND_MSG(has_signal(p_class, p_signal.name), "Class '" + String(p_class) + "' already has signal '" + String(p_signal.name) + "'.");
	rec->signals.push_back(p_signal);
}

void ClassDB::bind_integer_constant(const StringName &p_class_name, const StringName &, const StringName &p_constant_name, GDExtensionInt p_constant_value, bool) {
	ClassRecord *rec = find_record(p_class_name);
	ERR_FAIL_NULL(rec);
	rec->constants.emplace_back(p_constant_name, p_constant_value);
}

void ClassDB::initialize(ModuleInitializationLevel p_level) {
	registry().current_level = p_level;
}

void ClassDB::deinitialize(ModuleInitializationLevel p_level) {
	Registry &r = registry();
	// Unregister in reverse order of registration.
	for (size_t i = r.order.size(); i-- > 0;) {
		ClassRecord *rec = find_record(r.order[i]);
		if (!rec || !rec->is_extension || rec->level != p_level) {
			continue;
		}
		// Their code goes with the library: an object left now outlives it.
		int alive = ObjectDB::_host_instance_count_of(rec->name);
		if (alive > 0) {
			ERR_PRINT("Class '" + String(rec->name) + "' is unregistered while " + itos(alive) + " of its objects still exist.");
		}
		for (MethodBind *mb : rec->methods) {
			delete mb;
		}
		if (rec->reset_initialized) {
			rec->reset_initialized();
		}
		r.classes.erase(r.order[i]);
		r.order.erase(r.order.begin() + (long)i);
	}
}

ModuleInitializationLevel ClassDB::_host_current_level() {
	return registry().current_level;
}

bool ClassDB::class_exists(const StringName &p_class) {
	return find_record(p_class) != nullptr;
}

StringName ClassDB::get_parent_class(const StringName &p_class) {
	ClassRecord *rec = find_record(p_class);
	return rec ? rec->parent : StringName();
}

bool ClassDB::is_parent_class(const StringName &p_class, const StringName &p_inherits) {
	StringName c = p_class;
	while (!c.is_empty()) {
		if (c == p_inherits) {
			return true;
		}
		c = get_parent_class(c);
	}
	return false;
}

bool ClassDB::can_instantiate(const StringName &p_class) {
	ClassRecord *rec = find_record(p_class);
	return rec && rec->creator && !rec->is_abstract && !rec->is_virtual;
}

Object *ClassDB::instantiate(const StringName &p_class) {
	ClassRecord *rec = find_record(p_class);
	ERR_FAIL_NULL_V_MSG(rec, nullptr, "Class '" + String(p_class) + "' does not exist.");
	ERR_FAIL_COND_V_MSG(!can_instantiate(p_class), nullptr, "Class '" + String(p_class) + "' can't be instantiated.");
	return rec->creator();
}

const ClassDB::ClassRecord *ClassDB::get_class_record(const StringName &p_class) {
	return find_record(p_class);
}

std::vector<StringName> ClassDB::get_extension_classes() {
	std::vector<StringName> out;
	for (const StringName &name : registry().order) {
		const ClassRecord *rec = find_record(name);
		if (rec && rec->is_extension) {
			out.push_back(name);
		}
	}
	return out;
}

MethodBind *ClassDB::get_method(const StringName &p_class, const StringName &p_method) {
	StringName c = p_class;
	while (!c.is_empty()) {
		ClassRecord *rec = find_record(c);
		if (!rec) {
			return nullptr;
		}
		for (MethodBind *mb : rec->methods) {
			if (mb->get_name() == p_method) {
				return mb;
			}
		}
		c = rec->parent;
	}
	return nullptr;
}

const ClassDB::PropertyEntry *ClassDB::get_property(const StringName &p_class, const StringName &p_property) {
	StringName c = p_class;
	while (!c.is_empty()) {
		ClassRecord *rec = find_record(c);
		if (!rec) {
			return nullptr;
		}
		for (const PropertyEntry &p : rec->properties) {
			if (p.info.name == p_property) {
				return &p;
			}
		}
		c = rec->parent;
	}
	return nullptr;
}

bool ClassDB::has_signal(const StringName &p_class, const StringName &p_signal) {
	StringName c = p_class;
	while (!c.is_empty()) {
		ClassRecord *rec = find_record(c);
		if (!rec) {
			return false;
		}
		for (const MethodInfo &mi : rec->signals) {
			if (mi.name == p_signal) {
				return true;
			}
		}
		c = rec->parent;
	}
	return false;
}

bool ClassDB::has_virtual(const StringName &p_class, const StringName &p_method) {
	StringName c = p_class;
	while (!c.is_empty()) {
		ClassRecord *rec = find_record(c);
		if (!rec) {
			return false;
		}
		if (!rec->is_extension) {
			return false; // engine classes call their own code directly
		}
		if (std::find(rec->virtuals.begin(), rec->virtuals.end(), p_method) != rec->virtuals.end()) {
			return true;
		}
		c = rec->parent;
	}
	return false;
}

} // namespace godot
