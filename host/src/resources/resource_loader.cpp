// The resource loader: res:// paths of the project, read through their
// factories, with the engine's cache of loaded resources.
#include <godot_cpp/classes/resource.hpp>
#include <godot_cpp/classes/resource_loader.hpp>

#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/object.hpp>

namespace godot {

ResourceLoader *ResourceLoader::get_singleton() {
	static ResourceLoader *singleton = memnew(ResourceLoader);
	return singleton;
}

Ref<Resource> ResourceLoader::_cached(const String &p_path) const {
	auto it = _cache.find(p_path);
	if (it == _cache.end()) {
		return Ref<Resource>();
	}
	return Ref<Resource>(Object::cast_to<Resource>(ObjectDB::get_instance(it->second)));
}

Ref<Resource> ResourceLoader::load(const String &p_path, const String &p_type_hint, ResourceLoader::CacheMode p_cache_mode) {
	bool use_cache = p_cache_mode == CACHE_MODE_REUSE || p_cache_mode == CACHE_MODE_REPLACE || p_cache_mode == CACHE_MODE_REPLACE_DEEP;
	if (p_cache_mode == CACHE_MODE_REUSE) {
		Ref<Resource> cached = _cached(p_path);
		if (cached.is_valid()) {
			return cached;
		}
	}

	auto it = _files.find(p_path);
	ERR_FAIL_COND_V_MSG(it == _files.end() || !it->second.factory, Ref<Resource>(), "Resource file not found: " + p_path + " (expected type: " + p_type_hint + ")");
	it->second.reads++;
	Ref<Resource> res = it->second.factory();
	ERR_FAIL_COND_V_MSG(res.is_null(), Ref<Resource>(), "Failed loading resource: " + p_path + ".");
	ERR_FAIL_COND_V_MSG(!p_type_hint.is_empty() && !res->is_class(p_type_hint), Ref<Resource>(), "No loader found for resource: " + p_path + " (expected type: " + p_type_hint + ")");
	res->set_path(p_path);
	if (!use_cache) {
		return res;
	}

	if (p_cache_mode != CACHE_MODE_REUSE) {
		// Replacing refreshes the cached instance in place when the class matches.
		Ref<Resource> cached = _cached(p_path);
		if (cached.is_valid() && cached->get_class() == res->get_class()) {
			cached->_host_copy_from(*res.ptr(), false);
			return cached;
		}
	}
	_cache[p_path] = res->get_instance_id();
	return res;
}

bool ResourceLoader::exists(const String &p_path, const String &p_type_hint) {
	if (_cached(p_path).is_valid()) {
		return p_type_hint.is_empty() || _cached(p_path)->is_class(p_type_hint);
	}
	return _host_is_registered(p_path);
}

bool ResourceLoader::has_cached(const String &p_path) {
	return _cached(p_path).is_valid();
}

Ref<Resource> ResourceLoader::get_cached_ref(const String &p_path) {
	return _cached(p_path);
}

void ResourceLoader::_host_register(const String &p_path, Factory p_factory) {
	Entry &e = _files[p_path];
	e.factory = std::move(p_factory);
	_cache.erase(p_path);
}

void ResourceLoader::_host_unregister(const String &p_path) {
	_files.erase(p_path);
	_cache.erase(p_path);
}

bool ResourceLoader::_host_is_registered(const String &p_path) const {
	auto it = _files.find(p_path);
	return it != _files.end() && (bool)it->second.factory;
}

int64_t ResourceLoader::_host_read_count(const String &p_path) const {
	auto it = _files.find(p_path);
	return it == _files.end() ? 0 : it->second.reads;
}

GDHOST_REGISTER_ABSTRACT_ENGINE_CLASS(ResourceLoader);

} // namespace godot
