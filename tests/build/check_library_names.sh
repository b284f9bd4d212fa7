#!/usr/bin/env bash
# Checks that the build against godot-cpp names and places the library as the
# extension's configuration lists it, for every platform, architecture and
# variant that can be configured here. Configuring is enough: a stand-in for
# godot-cpp defines its targets, and the project writes down where it would
# put the library. An entry whose compiler is missing here is skipped, with a
# word; with --require-all (CI) that is a failure.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
gdextension=$root/mossglimmer-poc.gdextension
stand_in=$root/tests/build/godot_cpp_stand_in

require_all=false
case "${1:-}" in
--require-all) require_all=true ;;
"") ;;
*)
	echo "usage: $0 [--require-all]" >&2
	exit 2
	;;
esac

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The path after res:// of a [libraries] entry, read here on its own.
entry_path() {
	awk -v key="$1" '
		/^[ \t]*\[/ { section = $0; gsub(/[][ \t]/, "", section); next }
		section == "libraries" && match($0, /^[ \t]*[^ \t=]+/) {
			name = substr($0, RSTART, RLENGTH)
			gsub(/[ \t]/, "", name)
			if (name == key && match($0, /"res:\/\/[^"]*"/)) {
				print substr($0, RSTART + 7, RLENGTH - 8)
			}
		}' "$gdextension"
}

checked=0
skipped=0
failed=0

# check PLATFORM ARCH TOOLCHAIN PACKAGE COMPILER...: both variants of one
# entry; no toolchain file ("-") builds for this machine, which must be
# PLATFORM/ARCH.
check() {
	local platform=$1 arch=$2 toolchain=$3 package=$4 compilers=("${@:5}") missing=""
	if [[ $toolchain == - ]]; then
		[[ $(uname -s) == Linux && $(uname -m) == x86_64 ]] || missing="this machine is not $platform $arch"
	else
		local found=false c
		for c in "${compilers[@]}"; do
			command -v "$c" >/dev/null && found=true
		done
		$found || missing="no ${compilers[0]} here (Debian package $package)"
	fi
	if [[ -n $missing ]]; then
		if $require_all; then
			echo "$platform.*.$arch: $missing" >&2
			failed=$((failed + 2))
		else
			echo "$platform.*.$arch: skipped, $missing"
			skipped=$((skipped + 2))
		fi
		return
	fi

	local variant
	for variant in debug release; do
		local entry=$platform.$variant.$arch build=$work/$platform.$variant.$arch
		local args=(-S "$root" -B "$build" -DGODOT_CPP_PATH="$stand_in" -DMOSSGLIMMER_REPORT_LIBRARY_PATH="$build/library-path.txt")
		# Release is the project's default variant: it is left unsaid.
		[[ $variant == debug ]] && args+=(-DGODOTCPP_TARGET=template_debug)
		[[ $toolchain != - ]] && args+=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/$toolchain.cmake")
		checked=$((checked + 1))
		if ! cmake "${args[@]}" >"$work/configure.log" 2>&1; then
			cat "$work/configure.log" >&2
			echo "$entry: configure failed" >&2
			failed=$((failed + 1))
			continue
		fi
		if [[ ! -f $build/library-path.txt ]]; then
			echo "$entry: the configure wrote no library path" >&2
			failed=$((failed + 1))
			continue
		fi
		local path expected actual
		path=$(entry_path "$entry")
		if [[ -z $path ]]; then
			echo "$entry: no res:// entry in $gdextension" >&2
			failed=$((failed + 1))
			continue
		fi
		expected=$(realpath -m "$build/$path")
		actual=$(realpath -m "$(cat "$build/library-path.txt")")
		if [[ $actual != "$expected" ]]; then
			echo "$entry: the build writes ${actual#"$build"/}, the extension loads ${expected#"$build"/}" >&2
			failed=$((failed + 1))
		else
			echo "$entry: $path"
		fi
	done
}

check linux x86_64 - -
check windows x86_64 windows-x86_64-mingw g++-mingw-w64-x86-64-posix x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++
check linux arm64 linux-arm64 g++-aarch64-linux-gnu aarch64-linux-gnu-g++

echo "library names: $checked checked, $skipped skipped, $failed failed"
((failed == 0))
