#ifndef GODOT_PRINT_STRING_HPP
#define GODOT_PRINT_STRING_HPP

#include <godot_cpp/variant/utility_functions.hpp>

namespace godot {

inline void print_error(const Variant &p_variant) {
	UtilityFunctions::printerr(p_variant);
}

template <typename... Args>
void print_error(const Variant &p_variant, Args... p_args) {
	UtilityFunctions::printerr(p_variant, p_args...);
}

inline void print_line(const Variant &p_variant) {
	UtilityFunctions::print(p_variant);
}

template <typename... Args>
void print_line(const Variant &p_variant, Args... p_args) {
	UtilityFunctions::print(p_variant, p_args...);
}

inline void print_line_rich(const Variant &p_variant) {
	UtilityFunctions::print_rich(p_variant);
}

template <typename... Args>
void print_verbose(const Variant &p_variant, Args... p_args) {
	UtilityFunctions::print_verbose(p_variant, p_args...);
}

} // namespace godot

#endif // GODOT_PRINT_STRING_HPP
