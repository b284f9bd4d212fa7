#!/usr/bin/env bash
# Checks that each wrong GODOT_CPP_PATH, and a machine without Python, stops
# the configure with the project's own message: what was found, and what is
# needed (the godot-cpp tag to clone), before godot-cpp's CMake runs.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
stand_in=$root/tests/build/godot_cpp_stand_ins/4.4.1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

checked=0
failed=0

# expect NAME PATH TEXT...: the configure with GODOT_CPP_PATH=PATH (and the
# arguments in extra) fails and says each TEXT.
extra=()
expect() {
	local name=$1 path=$2 build=$work/build.$checked text said
	checked=$((checked + 1))
	if cmake -S "$root" -B "$build" -DGODOT_CPP_PATH="$path" "${extra[@]}" >"$work/configure.log" 2>&1; then
		echo "$name: the configure went through" >&2
		failed=$((failed + 1))
		return
	fi
	# CMake wraps its messages: compare with the lines joined.
	said=$(tr -s ' \n' '  ' <"$work/configure.log")
	for text in "${@:3}"; do
		if [[ $said != *"$text"* ]]; then
			cat "$work/configure.log" >&2
			echo "$name: the configure failed without saying \"$text\"" >&2
			failed=$((failed + 1))
			return
		fi
	done
	echo "$name: $3"
}

# expect_refusal NAME PATH FOUND: the refusal says what was found and names
# the tag to clone.
expect_refusal() {
	expect "$1" "$2" "$3" "git clone --branch godot-4.4.1-stable https://github.com/godotengine/godot-cpp"
}

mkdir -p "$work/empty" "$work/submodule" "$work/sources/src" "$work/other-cmake" "$work/no-target/cmake"
touch "$work/a-file" "$work/sources/SConstruct" "$work/sources/src/a.cpp"
echo "gitdir: ../.git/modules/godot-cpp" >"$work/submodule/.git"
cat >"$work/other-cmake/CMakeLists.txt" <<'EOF'
project(other LANGUAGES NONE)
EOF
# godot-cpp's layout, but targets under other names.
cat >"$work/no-target/CMakeLists.txt" <<'EOF'
project(godot-cpp LANGUAGES CXX)
add_library(bindings INTERFACE)
EOF
touch "$work/no-target/cmake/godotcpp.cmake"

expect_refusal "a path that doesn't exist" "$work/missing" "nothing exists at that path"
expect_refusal "a file" "$work/a-file" "that is a file, not a directory"
expect_refusal "an empty directory" "$work/empty" "an empty directory (a git submodule not yet checked out?"
expect_refusal "a submodule never checked out" "$work/submodule" "an empty directory"
expect_refusal "a tree without CMake" "$work/sources" "a directory with no CMakeLists.txt"
expect_refusal "another CMake project" "$work/other-cmake" "a CMake project without cmake/godotcpp.cmake"
expect_refusal "this project itself" "$root" "a CMake project without cmake/godotcpp.cmake"
expect_refusal "godot-cpp's layout without its targets" "$work/no-target" "defines neither the target godot-cpp"
extra=(-DPython3_EXECUTABLE="$work/missing/python3")
expect "no Python" "$stand_in" "install the Debian package python3"

echo "GODOT_CPP_PATH refusals: $checked checked, $failed failed"
((failed == 0))
