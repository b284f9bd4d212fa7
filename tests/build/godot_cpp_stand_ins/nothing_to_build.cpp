// The godot-cpp stand-ins are configured, never built: this is the one source
// a static library target needs to exist.
