# Shared by the test scripts: counting and reporting checks, and starting a
# virtual display for those that show windows. Sourced, not run.
#
# The closing line, "N passed, M failed", is the one CTest's log shows.

passed=0
failed=0
xvfb_pid=

die() {
    echo "ERROR: $*" >&2
    echo "$passed passed, $((failed + 1)) failed"
    exit 1
}
pass() { passed=$((passed + 1)); echo "ok: $*"; }
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }

finish_report() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

# Starts a display of our own in FOLDER and exports DISPLAY; Xvfb writes
# its number once it is ready. The caller stops it with stop_display.
start_display() {
    local folder=$1
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$folder/display" \
        2>"$folder/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$folder/display" ] && break; sleep 0.1; done
    [ -s "$folder/display" ] || die "Xvfb did not start: $(cat "$folder/xvfb.log")"
    export DISPLAY=:$(cat "$folder/display")
    unset WAYLAND_DISPLAY
}

stop_display() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
