#include <godot_cpp/variant/string_name.hpp>

#include <godot_cpp/classes/wrapped.hpp>
#include <godot_cpp/core/host_unload_watch.hpp>

#include <atomic>
#include <mutex>
#include <string>
#include <unordered_map>

namespace godot {

struct StringName::Entry {
	String name;
	int64_t hash = 0;
	// Changed without the lock while it stays above 0; the last release and
	// every lookup take the lock, so a looked-up entry is never freed.
	std::atomic<uint32_t> refcount{ 0 };
};

namespace {

struct Table {
	std::mutex mutex;
	// Map nodes keep their address across rehashing, so names point into them.
	std::unordered_map<String, StringName::Entry *> entries;
};

// Never destroyed: names may still be released during static destruction.
Table &table() {
	static Table *t = new Table;
	return *t;
}

} // namespace

StringName::StringName(const String &p_name) {
	if (p_name.is_empty()) {
		return;
	}
	Table &t = table();
	std::lock_guard<std::mutex> lock(t.mutex);
	auto it = t.entries.find(p_name);
	if (it == t.entries.end()) {
		Entry *e = new Entry;
		e->name = p_name;
		e->hash = p_name.hash();
		it = t.entries.emplace(p_name, e).first;
	}
	it->second->refcount.fetch_add(1, std::memory_order_relaxed);
	_entry = it->second;
}

StringName::StringName(const char *p_name, bool p_static) :
		StringName(String(p_name)) {
	(void)p_static; // counted like any other name
}

StringName::StringName(const wchar_t *p_name) :
		StringName(String(p_name)) {}

StringName::StringName(const char16_t *p_name) :
		StringName(String(p_name)) {}

StringName::StringName(const char32_t *p_name) :
		StringName(String(p_name)) {}

void StringName::_reference(Entry *p_entry) {
	if (p_entry) {
		p_entry->refcount.fetch_add(1, std::memory_order_relaxed);
	}
}

void StringName::_release(Entry *p_entry) {
	if (!p_entry) {
		return;
	}
	if (unlikely(_HostUnloadWatch::active)) {
		_HostUnloadWatch::released_name(p_entry->name);
	}
	uint32_t count = p_entry->refcount.load(std::memory_order_relaxed);
	while (count > 1) {
		if (p_entry->refcount.compare_exchange_weak(count, count - 1, std::memory_order_acq_rel)) {
			return;
		}
	}
	Table &t = table();
	std::lock_guard<std::mutex> lock(t.mutex);
	if (p_entry->refcount.fetch_sub(1, std::memory_order_acq_rel) != 1) {
		return; // looked up again meanwhile
	}
	// Its teardown is no release of the library's: the name was reported.
	_HostUnloadWatch::depth++;
	auto it = t.entries.find(p_entry->name);
	if (it != t.entries.end() && it->second == p_entry) {
		t.entries.erase(it);
	}
	delete p_entry;
	_HostUnloadWatch::depth--;
}

const String &StringName::_get_string() const {
	static const String *empty = new String;
	return _entry ? _entry->name : *empty;
}

int64_t StringName::hash() const {
	return _entry ? _entry->hash : String().hash();
}

int64_t StringName::_host_interned_count() {
	Table &t = table();
	std::lock_guard<std::mutex> lock(t.mutex);
	return (int64_t)t.entries.size();
}

} // namespace godot

namespace godot {

const StringName &_host_class_name(const char *p_class) {
	static std::mutex *mutex = new std::mutex;
	// Never destroyed, so the names outlive every library that points to them.
	static std::unordered_map<std::string, StringName> *names = new std::unordered_map<std::string, StringName>;
	std::lock_guard<std::mutex> lock(*mutex);
	auto it = names->find(p_class);
	if (it == names->end()) {
		it = names->emplace(p_class, StringName(p_class)).first;
	}
	return it->second;
}

} // namespace godot
