#ifndef GODOT_OPENXRINTERFACE_HPP
#define GODOT_OPENXRINTERFACE_HPP

#include <godot_cpp/classes/xr_interface.hpp>
#include <godot_cpp/variant/array.hpp>

namespace godot {

class HOST_API OpenXRInterface : public XRInterface {
	GDEXTENSION_CLASS(OpenXRInterface, XRInterface)

public:
	OpenXRInterface();

	float get_display_refresh_rate() const;
	void set_display_refresh_rate(float p_refresh_rate);
	Array get_available_display_refresh_rates() const;
	bool is_hand_tracking_supported();

	// ---- engine side ----
	void _host_set_hand_tracking_supported(bool p_supported) { _hand_tracking_supported = p_supported; }
	// What the runtime offers; set_display_refresh_rate accepts only these
	// once the list is not empty.
	void _host_set_available_refresh_rates(const Array &p_rates) { _available_rates = p_rates; }

private:
	float _refresh_rate = 0.0f;
	bool _hand_tracking_supported = false;
	Array _available_rates;
};

} // namespace godot

#endif // GODOT_OPENXRINTERFACE_HPP
