# SPDX-License-Identifier: MIT
# Sourced by the game's shell tests: the binary, a scratch folder removed at exit, failures counted.
set -uo pipefail
build_dir=$(cd "${VL_BUILD_DIR:?VL_BUILD_DIR must name the build directory}" && pwd)
source_dir=$(cd "${VL_SOURCE_DIR:-.}" && pwd)
game="$build_dir/veltrane-game"
replays="$source_dir/tests/game/replays"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
count() { grep -c -F -- "$1" "$2" 2>/dev/null || true; }
# Runs the game in $work/data with the configuration and environment given (a silent audio device
# unless they choose another), named by $case_name; sets status, log, err.
run_game() {
    local config=$1
    shift
    log="$work/${case_name//[ \/]/-}.log"
    err="$work/${case_name//[ \/]/-}.err"
    echo "$config" >"$work/vl-config.txt"
    (cd "$work/data" && env -u ALSOFT_CONF ALSOFT_DRIVERS=null VELTRANE_CONFIG="$work/vl-config.txt" \
        VELTRANE_LOG="$log" "$@" timeout 60 "$game" >/dev/null 2>"$err")
    status=$?
}
# Exit status, a log line (once, unless empty), a standard error text, then the stop banner last, once, in a short log.
expect() {
    local want_status=$1 log_text=$2 err_text=$3 max_lines=$4
    [[ $status -eq $want_status ]] || fail "$case_name: exit status $status"
    [[ -z $log_text || $(count "$log_text" "$log") -eq 1 ]] || fail "$case_name: '$log_text' not in the log once"
    grep -qF -- "$err_text" "$err" || fail "$case_name: '$err_text' not on standard error"
    [[ "$(tail -n 1 "$log")" == *"** Game engine stopped **" ]] || fail "$case_name: no stop banner at the end"
    [[ $(count "Game engine stopped" "$log") -eq 1 ]] || fail "$case_name: the engine stopped more than once"
    [[ $(wc -l <"$log") -le $max_lines && $(wc -l <"$err") -le 40 ]] || fail "$case_name: too many lines"
}
# Runs the command once this test has ended, however it ends (a timeout's kill included): the watcher
# leaves the test's process tree, so killing the tree does not take it too.
guard() { setsid -f bash -c "tail --pid=$$ -f /dev/null; $1" </dev/null >/dev/null 2>&1; }
# Polls until the command succeeds, for at most $2 seconds.
wait_until() {
    local deadline=$((SECONDS + $2))
    until eval "$1"; do
        [[ $SECONDS -lt $deadline ]] || return 1
        sleep 0.05
    done
}
# The step of the last log line holding the text (the field after the time).
step_of() { grep -F -- "$1" "${2:-$work/log}" | tail -n 1 | awk '{ print $2 }'; }
# Ends the test: status 1 after any failure, else the message given.
finish() {
    [[ $failures -eq 0 ]] || { echo "$failures failure(s)"; exit 1; }
    echo "$1"
}
