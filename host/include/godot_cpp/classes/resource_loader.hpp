#ifndef GODOT_RESOURCELOADER_HPP
#define GODOT_RESOURCELOADER_HPP

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/ref.hpp>

#include <functional>
#include <unordered_map>

namespace godot {

class Resource;

class HOST_API ResourceLoader : public Object {
	GDEXTENSION_CLASS(ResourceLoader, Object)

public:
	enum CacheMode {
		CACHE_MODE_IGNORE = 0,
		CACHE_MODE_REUSE = 1,
		CACHE_MODE_REPLACE = 2,
		CACHE_MODE_IGNORE_DEEP = 3,
		CACHE_MODE_REPLACE_DEEP = 4,
	};

	static ResourceLoader *get_singleton();

	Ref<Resource> load(const String &p_path, const String &p_type_hint = String(), ResourceLoader::CacheMode p_cache_mode = (ResourceLoader::CacheMode)1);
	bool exists(const String &p_path, const String &p_type_hint = String());
	bool has_cached(const String &p_path);
	Ref<Resource> get_cached_ref(const String &p_path);

	// ---- engine side: the project's files ----
	// Makes a new resource as loading its file would; null when it fails.
	using Factory = std::function<Ref<Resource>()>;
	// Adds or replaces the resource at a res:// path; a replaced one leaves the cache.
	void _host_register(const String &p_path, Factory p_factory);
	void _host_unregister(const String &p_path);
	bool _host_is_registered(const String &p_path) const;
	// How often the resource at that path was read from its "file".
	int64_t _host_read_count(const String &p_path) const;

private:
	struct Entry {
		Factory factory;
		int64_t reads = 0;
	};
	std::unordered_map<String, Entry> _files;
	// The cache holds no reference: a resource leaves it when it is freed.
	std::unordered_map<String, uint64_t> _cache;

	Ref<Resource> _cached(const String &p_path) const;
};

} // namespace godot

VARIANT_ENUM_CAST(ResourceLoader::CacheMode);

#endif // GODOT_RESOURCELOADER_HPP
