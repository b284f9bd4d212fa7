#ifndef GODOT_ERROR_MACROS_HPP
#define GODOT_ERROR_MACROS_HPP

#include <godot_cpp/core/defs.hpp>

#include <atomic>

namespace godot {

class String;

// The engine's error printer. With a message, the message is what the engine
// shows; the condition text is kept for the record.
HOST_API void _err_print_error(const char *p_function, const char *p_file, int p_line, const char *p_error, bool p_editor_notify = false, bool p_is_warning = false);
HOST_API void _err_print_error(const char *p_function, const char *p_file, int p_line, const String &p_error, bool p_editor_notify = false, bool p_is_warning = false);
HOST_API void _err_print_error(const char *p_function, const char *p_file, int p_line, const char *p_error, const char *p_message, bool p_editor_notify = false, bool p_is_warning = false);
HOST_API void _err_print_error(const char *p_function, const char *p_file, int p_line, const String &p_error, const char *p_message, bool p_editor_notify = false, bool p_is_warning = false);
HOST_API void _err_print_error(const char *p_function, const char *p_file, int p_line, const char *p_error, const String &p_message, bool p_editor_notify = false, bool p_is_warning = false);
HOST_API void _err_print_error(const char *p_function, const char *p_file, int p_line, const String &p_error, const String &p_message, bool p_editor_notify = false, bool p_is_warning = false);
HOST_API void _err_print_index_error(const char *p_function, const char *p_file, int p_line, int64_t p_index, int64_t p_size, const char *p_index_str, const char *p_size_str, const char *p_message = "", bool p_editor_notify = false, bool p_fatal = false);
HOST_API void _err_print_index_error(const char *p_function, const char *p_file, int p_line, int64_t p_index, int64_t p_size, const char *p_index_str, const char *p_size_str, const String &p_message, bool p_editor_notify = false, bool p_fatal = false);
HOST_API void _err_flush_stdout();

} // namespace godot

#define GENERATE_TRAP() __builtin_trap()

#define ERR_FAIL_INDEX(m_index, m_size)                                                                         \
	if (unlikely((m_index) < 0 || (m_index) >= (m_size))) {                                                     \
		::godot::_err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, m_index, m_size, _STR(m_index), _STR(m_size)); \
		return;                                                                                                 \
	} else                                                                                                      \
		((void)0)

#define ERR_FAIL_INDEX_MSG(m_index, m_size, m_msg)                                                                     \
	if (unlikely((m_index) < 0 || (m_index) >= (m_size))) {                                                            \
		::godot::_err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, m_index, m_size, _STR(m_index), _STR(m_size), m_msg); \
		return;                                                                                                        \
	} else                                                                                                             \
		((void)0)

#define ERR_FAIL_INDEX_V(m_index, m_size, m_retval)                                                             \
	if (unlikely((m_index) < 0 || (m_index) >= (m_size))) {                                                     \
		::godot::_err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, m_index, m_size, _STR(m_index), _STR(m_size)); \
		return m_retval;                                                                                        \
	} else                                                                                                      \
		((void)0)

#define ERR_FAIL_INDEX_V_MSG(m_index, m_size, m_retval, m_msg)                                                         \
	if (unlikely((m_index) < 0 || (m_index) >= (m_size))) {                                                            \
		::godot::_err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, m_index, m_size, _STR(m_index), _STR(m_size), m_msg); \
		return m_retval;                                                                                               \
	} else                                                                                                             \
		((void)0)

#define ERR_FAIL_NULL(m_param)                                                                                  \
	if (unlikely(m_param == nullptr)) {                                                                         \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Parameter \"" _STR(m_param) "\" is null."); \
		return;                                                                                                 \
	} else                                                                                                      \
		((void)0)

#define ERR_FAIL_NULL_MSG(m_param, m_msg)                                                                              \
	if (unlikely(m_param == nullptr)) {                                                                                \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Parameter \"" _STR(m_param) "\" is null.", m_msg); \
		return;                                                                                                        \
	} else                                                                                                             \
		((void)0)

#define ERR_FAIL_NULL_V(m_param, m_retval)                                                                      \
	if (unlikely(m_param == nullptr)) {                                                                         \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Parameter \"" _STR(m_param) "\" is null."); \
		return m_retval;                                                                                        \
	} else                                                                                                      \
		((void)0)

#define ERR_FAIL_NULL_V_MSG(m_param, m_retval, m_msg)                                                                  \
	if (unlikely(m_param == nullptr)) {                                                                                \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Parameter \"" _STR(m_param) "\" is null.", m_msg); \
		return m_retval;                                                                                               \
	} else                                                                                                             \
		((void)0)

#define ERR_FAIL_COND(m_cond)                                                                          \
	if (unlikely(m_cond)) {                                                                            \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Condition \"" _STR(m_cond) "\" is true."); \
		return;                                                                                        \
	} else                                                                                             \
		((void)0)

#define ERR_FAIL_COND_MSG(m_cond, m_msg)                                                                      \
	if (unlikely(m_cond)) {                                                                                   \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Condition \"" _STR(m_cond) "\" is true.", m_msg); \
		return;                                                                                               \
	} else                                                                                                    \
		((void)0)

#define ERR_FAIL_COND_V(m_cond, m_retval)                                                                                          \
	if (unlikely(m_cond)) {                                                                                                        \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Condition \"" _STR(m_cond) "\" is true. Returning: " _STR(m_retval)); \
		return m_retval;                                                                                                           \
	} else                                                                                                                         \
		((void)0)

#define ERR_FAIL_COND_V_MSG(m_cond, m_retval, m_msg)                                                                                      \
	if (unlikely(m_cond)) {                                                                                                               \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Condition \"" _STR(m_cond) "\" is true. Returning: " _STR(m_retval), m_msg); \
		return m_retval;                                                                                                                  \
	} else                                                                                                                                \
		((void)0)

#define ERR_CONTINUE(m_cond)                                                                                       \
	if (unlikely(m_cond)) {                                                                                        \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Condition \"" _STR(m_cond) "\" is true. Continuing."); \
		continue;                                                                                                  \
	} else                                                                                                         \
		((void)0)

#define ERR_CONTINUE_MSG(m_cond, m_msg)                                                                                   \
	if (unlikely(m_cond)) {                                                                                               \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Condition \"" _STR(m_cond) "\" is true. Continuing.", m_msg); \
		continue;                                                                                                         \
	} else                                                                                                                \
		((void)0)

#define ERR_BREAK(m_cond)                                                                                        \
	if (unlikely(m_cond)) {                                                                                      \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Condition \"" _STR(m_cond) "\" is true. Breaking."); \
		break;                                                                                                   \
	} else                                                                                                       \
		((void)0)

#define ERR_FAIL()                                                                     \
	if (true) {                                                                        \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Method/function failed."); \
		return;                                                                        \
	} else                                                                             \
		((void)0)

#define ERR_FAIL_MSG(m_msg)                                                                   \
	if (true) {                                                                               \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Method/function failed.", m_msg); \
		return;                                                                               \
	} else                                                                                    \
		((void)0)

#define ERR_FAIL_V(m_retval)                                                                                        \
	if (true) {                                                                                                     \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Method/function failed. Returning: " _STR(m_retval)); \
		return m_retval;                                                                                            \
	} else                                                                                                          \
		((void)0)

#define ERR_FAIL_V_MSG(m_retval, m_msg)                                                                                    \
	if (true) {                                                                                                            \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Method/function failed. Returning: " _STR(m_retval), m_msg); \
		return m_retval;                                                                                                   \
	} else                                                                                                                 \
		((void)0)

#define ERR_PRINT(m_msg) ::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, m_msg)

#define ERR_PRINT_ONCE(m_msg)                                                     \
	if (true) {                                                                   \
		static bool first_print = true;                                           \
		if (first_print) {                                                        \
			::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, m_msg);   \
			first_print = false;                                                  \
		}                                                                         \
	} else                                                                        \
		((void)0)

#define WARN_PRINT(m_msg) ::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, m_msg, false, true)

#define WARN_PRINT_ONCE(m_msg)                                                          \
	if (true) {                                                                         \
		static bool first_print = true;                                                 \
		if (first_print) {                                                              \
			::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, m_msg, false, true); \
			first_print = false;                                                        \
		}                                                                               \
	} else                                                                              \
		((void)0)

#define CRASH_COND(m_cond)                                                                                    \
	if (unlikely(m_cond)) {                                                                                   \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "FATAL: Condition \"" _STR(m_cond) "\" is true."); \
		::godot::_err_flush_stdout();                                                                         \
		GENERATE_TRAP();                                                                                      \
	} else                                                                                                    \
		((void)0)

#define CRASH_NOW_MSG(m_msg)                                                                        \
	if (true) {                                                                                     \
		::godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "FATAL: Method/function failed.", m_msg); \
		::godot::_err_flush_stdout();                                                               \
		GENERATE_TRAP();                                                                            \
	} else                                                                                          \
		((void)0)

#define DEV_ASSERT(m_cond) ((void)0)

#endif // GODOT_ERROR_MACROS_HPP
