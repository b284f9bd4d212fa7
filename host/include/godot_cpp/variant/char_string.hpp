#ifndef GODOT_CHAR_STRING_HPP
#define GODOT_CHAR_STRING_HPP

#include <godot_cpp/core/defs.hpp>

#include <cstdint>
#include <vector>

namespace godot {

// A plain, null-terminated buffer of code units. size() counts the terminator;
// an empty buffer has size 0 and no terminator at all.
template <class T>
class CharStringT {
	std::vector<T> _data;

	void _copy_from(const T *p_cstr) {
		_data.clear();
		if (p_cstr == nullptr || *p_cstr == 0) {
			return;
		}
		const T *end = p_cstr;
		while (*end) {
			end++;
		}
		_data.assign(p_cstr, end + 1);
	}

public:
	CharStringT() = default;
	CharStringT(const CharStringT &) = default;
	CharStringT(CharStringT &&) = default;
	CharStringT(const T *p_cstr) { _copy_from(p_cstr); }
	CharStringT &operator=(const CharStringT &) = default;
	CharStringT &operator=(CharStringT &&) = default;
	CharStringT &operator=(const T *p_cstr) {
		_copy_from(p_cstr);
		return *this;
	}

	int64_t size() const { return (int64_t)_data.size(); }
	int64_t length() const { return _data.empty() ? 0 : (int64_t)_data.size() - 1; }

	// Like the engine's buffers: no storage (null) while empty.
	const T *ptr() const { return _data.empty() ? nullptr : _data.data(); }
	T *ptrw() { return _data.empty() ? nullptr : _data.data(); }

	// Never null, so it can go straight to C APIs.
	const T *get_data() const {
		static const T empty_str = T(0);
		return _data.empty() ? &empty_str : _data.data();
	}
	operator const T *() const { return get_data(); }

	// New elements start zeroed; the caller writes the terminator.
	Error resize(int64_t p_size) {
		if (p_size < 0) {
			return ERR_INVALID_PARAMETER;
		}
		_data.resize((size_t)p_size, T(0));
		return OK;
	}

	T get(int64_t p_index) const { return _data[(size_t)p_index]; }
	void set(int64_t p_index, const T &p_elem) { _data[(size_t)p_index] = p_elem; }

	CharStringT &operator+=(T p_char) {
		if (_data.empty()) {
			_data.push_back(p_char);
			_data.push_back(T(0));
		} else {
			_data.insert(_data.end() - 1, p_char);
		}
		return *this;
	}

	bool operator==(const CharStringT &p_other) const {
		const int64_t len = length();
		if (len != p_other.length()) {
			return false;
		}
		const T *a = get_data();
		const T *b = p_other.get_data();
		for (int64_t i = 0; i < len; i++) {
			if (a[i] != b[i]) {
				return false;
			}
		}
		return true;
	}
	bool operator!=(const CharStringT &p_other) const { return !(*this == p_other); }

	// Explicit overloads so a literal compares contents, not pointers.
	bool operator==(const T *p_cstr) const {
		const T *a = get_data();
		const T *b = p_cstr ? p_cstr : get_data() + length();
		while (*a && *a == *b) {
			a++;
			b++;
		}
		return *a == *b;
	}
	bool operator!=(const T *p_cstr) const { return !(*this == p_cstr); }

	bool operator<(const CharStringT &p_other) const {
		const T *a = get_data();
		const T *b = p_other.get_data();
		while (*a && *a == *b) {
			a++;
			b++;
		}
		return *a < *b;
	}
};

typedef CharStringT<char> CharString;
typedef CharStringT<char16_t> Char16String;
typedef CharStringT<char32_t> Char32String;
typedef CharStringT<wchar_t> CharWideString;

} // namespace godot

#endif // GODOT_CHAR_STRING_HPP
