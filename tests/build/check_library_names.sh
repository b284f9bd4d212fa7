#!/usr/bin/env bash
# Checks that the build against godot-cpp names and places the library as the
# extension's configuration lists it, and builds it for the variant asked
# for, for every platform, architecture and variant that can be configured
# here, against stand-ins for godot-cpp 4.4.1 and 4.4.0. Configuring is
# enough: a stand-in defines godot-cpp's targets, the project writes down
# where it would put the library, and the generated makefiles say what the
# library's sources are compiled and linked with. An entry whose compiler is
# missing here is skipped, with a word; with --require-all (CI) that is a
# failure.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
gdextension=$root/mossglimmer-poc.gdextension
stand_ins=$root/tests/build/godot_cpp_stand_ins

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

versions=(4.4.1 4.4.0)
variants=(debug release)
per_platform=$((${#versions[@]} * ${#variants[@]}))

# check PLATFORM ARCH TOOLCHAIN PACKAGE COMPILER...: both variants of one
# platform and architecture, against each stand-in; no toolchain file ("-")
# builds for this machine, which must be PLATFORM/ARCH.
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
			failed=$((failed + per_platform))
		else
			echo "$platform.*.$arch: skipped, $missing"
			skipped=$((skipped + per_platform))
		fi
		return
	fi

	local version variant
	for version in "${versions[@]}"; do
		for variant in "${variants[@]}"; do
			check_entry "$version" "$platform" "$variant" "$arch" "$toolchain"
		done
	done
}

# check_entry VERSION PLATFORM VARIANT ARCH TOOLCHAIN: one configure against
# the stand-in for godot-cpp VERSION.
check_entry() {
	local version=$1 platform=$2 variant=$3 arch=$4 toolchain=$5
	local entry=$platform.$variant.$arch
	local label="godot-cpp $version, $entry" build=$work/$version.$entry
	local args=(-S "$root" -B "$build" -G "Unix Makefiles" -DGODOT_CPP_PATH="$stand_ins/$version"
		-DMOSSGLIMMER_REPORT_LIBRARY_PATH="$build/library-path.txt")
	# Release is the project's default variant: it is left unsaid.
	[[ $variant == debug ]] && args+=(-DGODOTCPP_TARGET=template_debug)
	[[ $toolchain != - ]] && args+=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/$toolchain.cmake")
	checked=$((checked + 1))
	if ! cmake "${args[@]}" >"$work/configure.log" 2>&1; then
		cat "$work/configure.log" >&2
		echo "$label: configure failed" >&2
		failed=$((failed + 1))
		return
	fi
	if [[ ! -f $build/library-path.txt ]]; then
		echo "$label: the configure wrote no library path" >&2
		failed=$((failed + 1))
		return
	fi
	local path expected actual
	path=$(entry_path "$entry")
	if [[ -z $path ]]; then
		echo "$label: no res:// entry in $gdextension" >&2
		failed=$((failed + 1))
		return
	fi
	expected=$(realpath -m "$build/$path")
	actual=$(realpath -m "$(cat "$build/library-path.txt")")
	if [[ $actual != "$expected" ]]; then
		echo "$label: the build writes ${actual#"$build"/}, the extension loads ${expected#"$build"/}" >&2
		failed=$((failed + 1))
		return
	fi
	local problem
	problem=$(check_compile_and_link "$build/CMakeFiles/mossglimmer-poc.dir" "$version" "$platform" "$variant" "$arch")
	if [[ -n $problem ]]; then
		echo "$label: $problem" >&2
		failed=$((failed + 1))
		return
	fi
	echo "$label: $path"
}

# check_compile_and_link DIR VERSION PLATFORM VARIANT ARCH: what the library's sources
# are compiled and linked with, from its generated flags.make and link.txt;
# prints what is wrong, nothing when all is right.
check_compile_and_link() {
	local dir=$1 version=$2 platform=$3 variant=$4 arch=$5
	local defines includes linking archive=libgodot-cpp.$platform.template_$variant.$arch.a
	defines=$(sed -n 's/^CXX_DEFINES = //p' "$dir/flags.make")
	# Long include and library lists (MinGW) go to response files.
	includes=$(sed -n 's/^CXX_INCLUDES = //p' "$dir/flags.make"; cat "$dir"/includes_CXX.rsp 2>/dev/null || true)
	includes=${includes//\"/}
	linking=$(cat "$dir/link.txt" "$dir"/linkLibs.rsp 2>/dev/null || true)
	# Debug features in the debug library's own code, and only there.
	if [[ $variant == debug && " $defines " != *" -DDEBUG_ENABLED "* ]]; then
		echo "the debug library's sources are compiled without DEBUG_ENABLED"
	elif [[ $variant == release && " $defines " == *" -DDEBUG_ENABLED "* ]]; then
		echo "the release library's sources are compiled with DEBUG_ENABLED"
	elif [[ $linking != *"$archive"* ]]; then
		echo "the library does not link godot-cpp's $archive"
	elif [[ $includes != *"-isystem $stand_ins/$version/include"* ]]; then
		echo "godot-cpp's headers are not taken as system headers"
	elif [[ $platform == linux && $linking != *"--version-script=$root/cmake/exports.map"* ]]; then
		echo "the library is linked without the version script that exports init_nodes alone"
	fi
}

check linux x86_64 - -
check windows x86_64 windows-x86_64-mingw g++-mingw-w64-x86-64-posix x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++
check linux arm64 linux-arm64 g++-aarch64-linux-gnu aarch64-linux-gnu-g++

echo "library names: $checked checked, $skipped skipped, $failed failed"
((failed == 0))
