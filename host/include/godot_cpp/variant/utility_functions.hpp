#ifndef GODOT_UTILITY_FUNCTIONS_HPP
#define GODOT_UTILITY_FUNCTIONS_HPP

#include <godot_cpp/variant/variant.hpp>

#include <array>

namespace godot {

class HOST_API UtilityFunctions {
	static void print_internal(const Variant **p_args, int p_count);
	static void printerr_internal(const Variant **p_args, int p_count);
	static void prints_internal(const Variant **p_args, int p_count);
	static void push_error_internal(const Variant **p_args, int p_count);
	static void push_warning_internal(const Variant **p_args, int p_count);
	static void print_verbose_internal(const Variant **p_args, int p_count);
	static String str_internal(const Variant **p_args, int p_count);

	template <typename F, typename... Args>
	static auto _forward(F p_function, const Variant &p_arg1, const Args &...p_args) {
		std::array<Variant, 1 + sizeof...(Args)> args = { p_arg1, Variant(p_args)... };
		std::array<const Variant *, 1 + sizeof...(Args)> ptrs;
		for (size_t i = 0; i < args.size(); i++) {
			ptrs[i] = &args[i];
		}
		return p_function(ptrs.data(), (int)args.size());
	}

public:
	template <typename... Args>
	static void print(const Variant &p_arg1, const Args &...p_args) { _forward(&print_internal, p_arg1, p_args...); }
	template <typename... Args>
	static void print_rich(const Variant &p_arg1, const Args &...p_args) { _forward(&print_internal, p_arg1, p_args...); }
	template <typename... Args>
	static void printerr(const Variant &p_arg1, const Args &...p_args) { _forward(&printerr_internal, p_arg1, p_args...); }
	template <typename... Args>
	static void prints(const Variant &p_arg1, const Args &...p_args) { _forward(&prints_internal, p_arg1, p_args...); }
	template <typename... Args>
	static void printt(const Variant &p_arg1, const Args &...p_args) { _forward(&prints_internal, p_arg1, p_args...); }
	template <typename... Args>
	static void print_verbose(const Variant &p_arg1, const Args &...p_args) { _forward(&print_verbose_internal, p_arg1, p_args...); }
	template <typename... Args>
	static void push_error(const Variant &p_arg1, const Args &...p_args) { _forward(&push_error_internal, p_arg1, p_args...); }
	template <typename... Args>
	static void push_warning(const Variant &p_arg1, const Args &...p_args) { _forward(&push_warning_internal, p_arg1, p_args...); }
	template <typename... Args>
	static String str(const Variant &p_arg1, const Args &...p_args) { return _forward(&str_internal, p_arg1, p_args...); }

	static bool is_instance_valid(const Variant &p_instance);
	static bool is_instance_id_valid(int64_t p_id);
	static double absf(double p_x);
	static double clampf(double p_value, double p_min, double p_max);
	static double randf();
	static int64_t randi();
	static void randomize();
	static void seed(int64_t p_base);
};

} // namespace godot

#endif // GODOT_UTILITY_FUNCTIONS_HPP
