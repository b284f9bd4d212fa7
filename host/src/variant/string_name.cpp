#include <godot_cpp/variant/string_name.hpp>

#include <mutex>
#include <unordered_map>

namespace godot {

struct StringName::Entry {
	String name;
	int64_t hash;
};

StringName::StringName(const String &p_name) {
	if (p_name.is_empty()) {
		return;
	}
	// Never destroyed: names may still be in use during static destruction.
	// Map nodes keep their address across rehashing, so entries can point into them.
	static std::mutex *mutex = new std::mutex;
	static std::unordered_map<String, Entry> *table = new std::unordered_map<String, Entry>;
	std::lock_guard<std::mutex> lock(*mutex);
	auto it = table->find(p_name);
	if (it == table->end()) {
		it = table->emplace(p_name, Entry{ p_name, p_name.hash() }).first;
	}
	_entry = &it->second;
}

StringName::StringName(const char *p_name, bool p_static) :
		StringName(String(p_name)) {
	(void)p_static; // Every entry lives forever here anyway.
}

StringName::StringName(const wchar_t *p_name) :
		StringName(String(p_name)) {}

StringName::StringName(const char16_t *p_name) :
		StringName(String(p_name)) {}

StringName::StringName(const char32_t *p_name) :
		StringName(String(p_name)) {}

const String &StringName::_get_string() const {
	static const String *empty = new String;
	return _entry ? _entry->name : *empty;
}

int64_t StringName::hash() const {
	return _entry ? _entry->hash : String().hash();
}

} // namespace godot
