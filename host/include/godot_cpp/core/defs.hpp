#ifndef GODOT_CORE_DEFS_HPP
#define GODOT_CORE_DEFS_HPP

#include <cstddef>
#include <cstdint>

// Symbols of the in-process engine stay visible even when an extension that
// includes these headers is built with -fvisibility=hidden.
#define HOST_API __attribute__((visibility("default")))

#define GDE_EXPORT __attribute__((visibility("default")))

#ifndef _FORCE_INLINE_
#define _FORCE_INLINE_ inline __attribute__((always_inline))
#endif

#ifndef _ALWAYS_INLINE_
#define _ALWAYS_INLINE_ inline __attribute__((always_inline))
#endif

#ifndef likely
#define likely(x) __builtin_expect(!!(x), 1)
#define unlikely(x) __builtin_expect(!!(x), 0)
#endif

#define _STR(m_x) #m_x
#define _MKSTR(m_x) _STR(m_x)

#ifndef FUNCTION_STR
#define FUNCTION_STR __FUNCTION__
#endif

namespace godot {

typedef float real_t;

// The engine's error codes, as far as the binding API exposes them.
enum Error {
	OK = 0,
	FAILED = 1,
	ERR_UNAVAILABLE = 2,
	ERR_UNCONFIGURED = 3,
	ERR_UNAUTHORIZED = 4,
	ERR_PARAMETER_RANGE_ERROR = 5,
	ERR_OUT_OF_MEMORY = 6,
	ERR_FILE_NOT_FOUND = 7,
	ERR_FILE_BAD_DRIVE = 8,
	ERR_FILE_BAD_PATH = 9,
	ERR_FILE_NO_PERMISSION = 10,
	ERR_FILE_ALREADY_IN_USE = 11,
	ERR_FILE_CANT_OPEN = 12,
	ERR_FILE_CANT_WRITE = 13,
	ERR_FILE_CANT_READ = 14,
	ERR_FILE_UNRECOGNIZED = 15,
	ERR_FILE_CORRUPT = 16,
	ERR_FILE_MISSING_DEPENDENCIES = 17,
	ERR_FILE_EOF = 18,
	ERR_CANT_OPEN = 19,
	ERR_CANT_CREATE = 20,
	ERR_QUERY_FAILED = 21,
	ERR_ALREADY_IN_USE = 22,
	ERR_LOCKED = 23,
	ERR_TIMEOUT = 24,
	ERR_CANT_CONNECT = 25,
	ERR_CANT_RESOLVE = 26,
	ERR_CONNECTION_ERROR = 27,
	ERR_CANT_ACQUIRE_RESOURCE = 28,
	ERR_CANT_FORK = 29,
	ERR_INVALID_DATA = 30,
	ERR_INVALID_PARAMETER = 31,
	ERR_ALREADY_EXISTS = 32,
	ERR_DOES_NOT_EXIST = 33,
	ERR_DATABASE_CANT_READ = 34,
	ERR_DATABASE_CANT_WRITE = 35,
	ERR_COMPILATION_FAILED = 36,
	ERR_METHOD_NOT_FOUND = 37,
	ERR_LINK_FAILED = 38,
	ERR_SCRIPT_FAILED = 39,
	ERR_CYCLIC_LINK = 40,
	ERR_INVALID_DECLARATION = 41,
	ERR_DUPLICATE_SYMBOL = 42,
	ERR_PARSE_ERROR = 43,
	ERR_BUSY = 44,
	ERR_SKIP = 45,
	ERR_HELP = 46,
	ERR_BUG = 47,
	ERR_PRINTER_ON_FIRE = 48,
};

} // namespace godot

#endif // GODOT_CORE_DEFS_HPP
