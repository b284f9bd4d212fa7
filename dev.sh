#!/usr/bin/env bash
# Sets up a Debian machine for the project, builds it, and plays the session
# (run) or runs the tests (test). Installs only what is missing.
set -euo pipefail
cd "$(dirname "$0")"

usage() {
	echo "usage: ./dev.sh run [runner options] | ./dev.sh test [ctest options] | ./dev.sh deps"
}

# The Debian packages the build needs, named as CMake's configure step names them.
PACKAGES=(cmake make g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev libpcre2-dev)

install_missing() {
	local missing=() p
	for p in "${PACKAGES[@]}"; do
		dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
	done
	((${#missing[@]})) || return 0
	if ! command -v apt-get >/dev/null; then
		echo "dev.sh: missing ${missing[*]}, and there is no apt-get to install them: install them by hand" >&2
		exit 1
	fi
	local as_root=()
	if ((EUID != 0)); then
		if ! command -v sudo >/dev/null; then
			echo "dev.sh: missing ${missing[*]}; run as root, or install sudo, to install them" >&2
			exit 1
		fi
		echo "dev.sh: installing ${missing[*]} through sudo (you may be asked for your password)"
		as_root=(sudo)
	else
		echo "dev.sh: installing ${missing[*]}"
	fi
	# apt's chatter is shown only when it fails.
	local log
	log=$(mktemp)
	if ! { "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q &&
		"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
		cat "$log" >&2
		rm -f "$log"
		echo "dev.sh: installing ${missing[*]} failed" >&2
		exit 1
	fi
	rm -f "$log"
}

build() {
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build build -j"${JOBS:-$(nproc)}"
}

command=${1:-}
shift || true
case "$command" in
run)
	install_missing
	build
	exec ./build/mossglimmer-runner "$@"
	;;
test)
	install_missing
	build
	exec ctest --test-dir build --output-on-failure -j"${JOBS:-$(nproc)}" "$@"
	;;
deps)
	install_missing
	;;
*)
	usage >&2
	exit 2
	;;
esac
