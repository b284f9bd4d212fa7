#!/usr/bin/env bash
# Sets up a Debian machine for the project, builds what a command needs, and
# plays the session (run) or runs the tests (test). Installs only what is
# missing, and says what each long step is doing.
set -euo pipefail

# The checkout, wherever this is called from: the caller's folder stays the
# working directory, so relative paths in the arguments mean what they meant.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd -P)
BUILD="$ROOT/build"
JOBS=${JOBS:-$(nproc)}

# The Debian packages the build needs, named as CMake's configure step names them.
PACKAGES=(cmake make g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev libpcre2-dev)

# ctest runs every test for an option it does not know, and for a filter
# without its pattern: only these are passed on, the first ones with a value.
CTEST_WITH_VALUE=(-R --tests-regex -E --exclude-regex -L --label-regex -LE --label-exclude -j --parallel
	--repeat --repeat-until-fail --timeout -I --tests-information -O --output-log --output-junit)
CTEST_FLAGS=(-V --verbose -VV --extra-verbose --progress -Q --quiet -N --show-only -U --union --rerun-failed
	--stop-on-failure --schedule-random --output-on-failure --print-labels)

usage() {
	cat <<EOF
usage: ./dev.sh COMMAND [options]
  run [runner options]  install what is missing, build the library, the host and
                        the runner, and play the session; ./dev.sh run --help
                        lists the runner's options
  test [ctest options]  install what is missing, build the tests and run them;
                        passed on to ctest: -R/-E/-L/-LE REGEX, -j N, -I SPEC,
                        --repeat MODE:N, --timeout SECONDS, -O FILE,
                        --output-junit FILE, -V, -VV, -N, -Q, -U, --progress,
                        --rerun-failed, --stop-on-failure, --schedule-random,
                        --print-labels, and their long names
  deps                  only install what is missing
  help                  this text
JOBS=N sets the build's and the tests' parallel jobs (default: the cores, $(nproc)).
EOF
}

say() {
	echo "dev.sh: $*" >&2
}

fail() {
	say "$*"
	exit 2
}

# apt's status lines (APT::Status-Fd) as a progress line now and then: when
# the stage changes, and at most every few seconds within it.
show_apt_progress() {
	local kind _ percent what stage shown_stage="" shown_at=0 last=""
	while IFS=: read -r kind _ percent what; do
		# A download's percentage stays at 0 for most of it: its file count tells more.
		case "$kind" in
		dlstatus) stage=downloading last=$what ;;
		pmstatus) stage=installing last="${percent%%.*}% $what" ;;
		*) continue ;;
		esac
		if [[ $stage != "$shown_stage" ]] || ((SECONDS - shown_at >= 5)); then
			say "    $last"
			shown_stage=$stage
			shown_at=$SECONDS
			last=""
		fi
	done
	if [[ -n $last ]]; then
		say "    $last"
	fi
}

# Runs apt-get as root: its own lines go to the log, its status lines to the
# progress. The redirections happen under sudo, which closes what it is not given.
apt_get() {
	# shellcheck disable=SC2016 # expanded by the inner shell
	"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive sh -c 'log=$1; shift; exec apt-get -q -o APT::Status-Fd=3 "$@" 3>&1 >>"$log" 2>&1' \
		sh "$log" "$@" | show_apt_progress
}

install_missing() {
	local missing=() p
	for p in "${PACKAGES[@]}"; do
		dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
	done
	((${#missing[@]})) || return 0
	if ! command -v apt-get >/dev/null; then
		say "missing ${missing[*]}, and there is no apt-get to install them: install them by hand"
		exit 1
	fi
	as_root=()
	if ((EUID != 0)); then
		if ! command -v sudo >/dev/null; then
			say "missing ${missing[*]}; run as root, or install sudo, to install them"
			exit 1
		fi
		say "installing ${missing[*]} through sudo (you may be asked for your password)"
		as_root=(sudo)
		# Asked here, before apt's lines go to the log.
		if ! sudo -v; then
			say "sudo refused; have someone with root run ./dev.sh deps, then run this again"
			exit 1
		fi
	else
		say "installing ${missing[*]}"
	fi
	# apt's own lines are shown only when it fails.
	log=$(mktemp)
	chmod 644 "$log"
	say "  updating the package lists"
	if ! { apt_get update && say "  installing the packages and what they need" &&
		apt_get install -y --no-install-recommends "${missing[@]}"; }; then
		cat "$log" >&2
		rm -f "$log"
		say "installing ${missing[*]} failed"
		exit 1
	fi
	rm -f "$log"
	say "installed ${missing[*]}"
}

# A build directory configured for a checkout elsewhere (a moved or copied
# checkout) makes CMake stop with "CMakeCache.txt directory ... is different".
check_build_directory() {
	local cache="$BUILD/CMakeCache.txt" source
	[[ -f $cache ]] || return 0
	source=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$cache")
	if [[ -n $source && "$(cd "$source" 2>/dev/null && pwd -P)" != "$ROOT" ]]; then
		say "$BUILD was configured for the checkout at $source, not this one at $ROOT."
		say "It holds only what the build made: remove it and run again:  rm -rf '$BUILD'"
		exit 1
	fi
}

# make's progress as a line at each tenth, for a quiet run; nothing when
# everything is built already.
show_build_progress() {
	local what=$1 line percent tenth shown=-1
	while IFS= read -r line; do
		[[ $line =~ ^\[\ *([0-9]+)%\]\ (Building|Linking) ]] || continue
		percent=${BASH_REMATCH[1]}
		tenth=$((percent / 10))
		if ((shown < 0)); then
			say "building $what ($JOBS jobs)"
		fi
		if ((tenth > shown)); then
			say "  ${percent}%"
			shown=$tenth
		fi
	done
}

# build WHAT QUIET TARGET...: configures when needed and builds only the targets.
build() {
	local what=$1 quiet=$2 log
	shift 2
	check_build_directory
	if [[ ! -f "$BUILD/CMakeCache.txt" ]]; then
		say "configuring the build in $BUILD"
	fi
	cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	if ((quiet)); then
		# Out of the session's output: only the progress, and the whole of
		# the build's lines if it fails.
		log=$(mktemp)
		if ! cmake --build "$BUILD" -j"$JOBS" --target "$@" 2>&1 | tee "$log" | show_build_progress "$what"; then
			cat "$log" >&2
			rm -f "$log"
			say "building $what failed"
			exit 1
		fi
		rm -f "$log"
	else
		say "building $what ($JOBS jobs)"
		cmake --build "$BUILD" -j"$JOBS" --target "$@"
	fi
}

check_ctest_arguments() {
	local a
	while (($#)); do
		a=$1
		shift
		if [[ " ${CTEST_WITH_VALUE[*]} " == *" $a "* ]]; then
			if ((!$#)) || [[ -z $1 || $1 == -* ]]; then
				fail "test: $a needs a value"
			fi
			if [[ ($a == -j || $a == --parallel) && ! $1 =~ ^[1-9][0-9]*$ ]]; then
				fail "test: $a \"$1\": allowed: a whole number of jobs, 1 or more"
			fi
			if [[ $a == --timeout && ! $1 =~ ^[0-9]+(\.[0-9]+)?$ ]]; then
				fail "test: $a \"$1\": allowed: a number of seconds"
			fi
			shift
		elif [[ $a =~ ^-j[1-9][0-9]*$ ]] || [[ " ${CTEST_FLAGS[*]} " == *" $a "* ]]; then
			:
		elif [[ $a == -* ]]; then
			fail "test: unknown option $a (./dev.sh help lists what is passed on to ctest)"
		else
			fail "test: unexpected argument \"$a\" (a filter goes after -R)"
		fi
	done
}

if [[ ! $JOBS =~ ^[1-9][0-9]*$ ]]; then
	fail "JOBS=\"$JOBS\": allowed: a whole number of jobs, 1 or more"
fi

command=${1:-}
shift || true
case "$command" in
run)
	quiet=0
	for a in "$@"; do
		if [[ $a == --quiet ]]; then
			quiet=1
		fi
	done
	install_missing
	build "the library, the host and the runner" "$quiet" mossglimmer-runner
	exec "$BUILD/mossglimmer-runner" "$@"
	;;
test)
	for a in "$@"; do
		if [[ $a == -h || $a == --help ]]; then
			usage
			exit 0
		fi
	done
	check_ctest_arguments "$@"
	install_missing
	build "the library, the runner and the tests" 0 mossglimmer-tests mossglimmer-runner
	# A filter that matches nothing fails rather than passing on no tests.
	exec ctest --test-dir "$BUILD" --output-on-failure --no-tests=error -j"$JOBS" "$@"
	;;
deps)
	(($# == 0)) || fail "deps takes no arguments"
	install_missing
	;;
help | -h | --help)
	usage
	;;
"")
	usage >&2
	exit 2
	;;
*)
	say "unknown command $command"
	usage >&2
	exit 2
	;;
esac
