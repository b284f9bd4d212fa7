#ifndef GODOT_BINDER_COMMON_HPP
#define GODOT_BINDER_COMMON_HPP

#include <godot_cpp/core/type_info.hpp>

// Enums convert through integers in this engine; the macro only has to exist.
#define VARIANT_ENUM_CAST(m_enum) static_assert(std::is_enum_v<::godot::m_enum> || true, "")
#define VARIANT_BITFIELD_CAST(m_enum) static_assert(true, "")

#endif // GODOT_BINDER_COMMON_HPP
