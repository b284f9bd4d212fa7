#ifndef GODOT_VECTOR_HPP
#define GODOT_VECTOR_HPP

#include <godot_cpp/core/error_macros.hpp>

#include <initializer_list>
#include <utility>
#include <vector>

namespace godot {

template <typename T>
class Vector;

// Writes go through this proxy, as reads never copy.
template <typename T>
class VectorWriteProxy {
public:
	T &operator[](int64_t p_index) {
		Vector<T> *v = reinterpret_cast<Vector<T> *>(this);
		CRASH_COND(p_index < 0 || p_index >= v->size());
		return v->ptrw()[p_index];
	}
};

template <typename T>
class Vector {
	friend class VectorWriteProxy<T>;

public:
	typedef int64_t Size;
	VectorWriteProxy<T> write;

private:
	std::vector<T> _data;

public:
	Vector() = default;
	Vector(std::initializer_list<T> p_init) :
			_data(p_init) {}
	Vector(const Vector &p_from) :
			_data(p_from._data) {}
	Vector(Vector &&p_from) noexcept :
			_data(std::move(p_from._data)) {}
	Vector &operator=(const Vector &p_from) {
		_data = p_from._data;
		return *this;
	}
	Vector &operator=(Vector &&p_from) noexcept {
		_data = std::move(p_from._data);
		return *this;
	}

	bool push_back(T p_elem) {
		_data.push_back(std::move(p_elem));
		return false;
	}
	bool append(const T &p_elem) { return push_back(p_elem); }
	void fill(const T &p_elem) {
		for (T &e : _data) {
			e = p_elem;
		}
	}
	void remove_at(Size p_index) {
		ERR_FAIL_INDEX(p_index, size());
		_data.erase(_data.begin() + p_index);
	}
	bool erase(const T &p_val) {
		Size idx = find(p_val);
		if (idx >= 0) {
			remove_at(idx);
			return true;
		}
		return false;
	}
	void reverse() {
		for (Size i = 0; i < size() / 2; i++) {
			std::swap(_data[(size_t)i], _data[(size_t)(size() - i - 1)]);
		}
	}

	T *ptrw() { return _data.data(); }
	const T *ptr() const { return _data.data(); }
	void clear() { _data.clear(); }
	bool is_empty() const { return _data.empty(); }
	Size size() const { return (Size)_data.size(); }
	Error resize(Size p_size) {
		ERR_FAIL_COND_V(p_size < 0, ERR_INVALID_PARAMETER);
		_data.resize((size_t)p_size);
		return OK;
	}

	T get(Size p_index) const {
		CRASH_COND(p_index < 0 || p_index >= size());
		return _data[(size_t)p_index];
	}
	const T &operator[](Size p_index) const {
		CRASH_COND(p_index < 0 || p_index >= size());
		return _data[(size_t)p_index];
	}
	void set(Size p_index, const T &p_elem) {
		ERR_FAIL_INDEX(p_index, size());
		_data[(size_t)p_index] = p_elem;
	}
	Error insert(Size p_pos, T p_val) {
		ERR_FAIL_INDEX_V(p_pos, size() + 1, ERR_INVALID_PARAMETER);
		_data.insert(_data.begin() + p_pos, std::move(p_val));
		return OK;
	}
	Size find(const T &p_val, Size p_from = 0) const {
		for (Size i = p_from; i < size(); i++) {
			if (_data[(size_t)i] == p_val) {
				return i;
			}
		}
		return -1;
	}
	bool has(const T &p_val) const { return find(p_val) != -1; }
	Size count(const T &p_val) const {
		Size n = 0;
		for (const T &e : _data) {
			if (e == p_val) {
				n++;
			}
		}
		return n;
	}
	void append_array(const Vector<T> &p_other) { _data.insert(_data.end(), p_other._data.begin(), p_other._data.end()); }

	bool operator==(const Vector<T> &p_other) const { return _data == p_other._data; }
	bool operator!=(const Vector<T> &p_other) const { return _data != p_other._data; }

	typename std::vector<T>::iterator begin() { return _data.begin(); }
	typename std::vector<T>::iterator end() { return _data.end(); }
	typename std::vector<T>::const_iterator begin() const { return _data.begin(); }
	typename std::vector<T>::const_iterator end() const { return _data.end(); }
};

} // namespace godot

#endif // GODOT_VECTOR_HPP
