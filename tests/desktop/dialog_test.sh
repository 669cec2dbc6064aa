#!/usr/bin/env bash
# frame2bmp started from a desktop: message boxes on a virtual display,
# read back from screenshots and answered with real key presses, and the
# fall-back to standard error when no box can be shown.
#
#   dialog_test.sh BUILD_DIR SAMPLE_FRAME
#
# Needs Debian's xvfb, xdotool, xfonts-base, imagemagick and tesseract-ocr.
# If the display cannot be started the test fails and says why.
set -u

build=$(realpath "$1")
sample=$(realpath "$2")
. "$(dirname "$0")/../lib/checks.sh"

for tool in Xvfb xdotool import convert tesseract setsid; do
    command -v "$tool" >/dev/null || die "$tool is missing (make test installs it)"
done
[ -x "$build/frame2bmp-dialog" ] || die "$build/frame2bmp-dialog is not built"

work=$(mktemp -d /tmp/frame2bmp-desktop-XXXXXX)
program=
cleanup() {
    [ -n "$program" ] && kill -- "-$program" 2>/dev/null
    stop_display
    rm -rf "$work"
}
trap cleanup EXIT

start_display "$work"
root=$(printf '%d' "$(xwininfo -root | awk '/Window id/ {print $4}')")

cd "$work" || die "no work folder"
# What a conversion must give, made with no display at all.
cp "$sample" clip1.dat
DISPLAY= "$build/frame2bmp" clip1.dat </dev/null
mv clip1.BMP reference.BMP

# Starts frame2bmp as a file manager would: no terminal anywhere, in a
# session of its own (SDL draws the box in a child process; ending the
# process group ends it too).
start() {
    setsid "$build/frame2bmp" "$@" </dev/null >"$work/out" 2>"$work/err" &
    program=$!
}

finish() {
    for _ in $(seq 300); do
        kill -0 "$program" 2>/dev/null || { wait "$program"; local status=$?; program=; return $status; }
        sleep 0.1
    done
    kill -- "-$program"
    program=
    return 1
}

box() { xdotool search --onlyvisible --maxdepth 1 --name '' 2>/dev/null | grep -vx "$root" | head -1; }

# Waits for a box, reads its text off the screen and compares letters and
# digits (OCR takes '.' for ',' now and then; the words are what matter).
expect_box() {
    local label=$1 text=$2 id=
    for _ in $(seq 150); do id=$(box); [ -n "$id" ] && break; sleep 0.1; done
    if [ -z "$id" ]; then fail "$label: no box appeared"; return; fi
    sleep 0.3
    import -window "$id" "$work/box.png" 2>/dev/null
    # The text sits in the upper half, above the buttons.
    convert "$work/box.png" -gravity North -crop 100%x50%+0+0 +repage -colorspace Gray \
        -negate -resize 400% -threshold 50% -bordercolor white -border 30 "$work/text.png"
    local read
    read=$(tesseract "$work/text.png" - --psm 7 2>/dev/null)
    local title
    title=$(xprop -id "$id" _NET_WM_NAME | sed -n 's/.*= "\(.*\)"/\1/p')
    if [ "$(normal "$read")" = "$(normal "$text")" ] && [ -z "$title" ]; then
        pass "$label: the box shows \"$text\" under an empty title"
    else
        fail "$label: the box shows \"$read\" (title \"$title\"), expected \"$text\""
    fi
}
normal() { tr -cd '[:alnum:]' <<<"$1" | tr '[:upper:]' '[:lower:]'; }

press() {
    local key=$1 id
    id=$(box)
    [ -n "$id" ] || { fail "no box to press $key in"; return; }
    xdotool windowfocus --sync "$id" key "$key"
    for _ in $(seq 100); do [ "$(box)" != "$id" ] && return; sleep 0.1; done
    fail "the box stayed after $key"
}

# A missing input: two boxes, the second only after the first is gone.
start missing.dat
expect_box "missing input, first box" "Can't open file"
sleep 0.5
boxes=$(xdotool search --onlyvisible --maxdepth 1 --name '' | grep -cvx "$root")
if [ "$boxes" -eq 1 ]; then pass "one box at a time"; else fail "$boxes boxes at once"; fi
press Return
expect_box "missing input, second box" "missing.dat"
press Return
if finish && [ ! -s "$work/err" ] && [ ! -e missing.BMP ]; then
    pass "missing input: exit 0, nothing on standard error, nothing created"
else
    fail "missing input: status, standard error [$(cat "$work/err")] or an output"
fi

# An existing output: Escape answers No and leaves it; Enter answers Yes.
printf 'an old bitmap' >clip1.BMP
cp clip1.BMP old.BMP
start clip1.dat
expect_box "existing output" "Output file exists. Replace?"
press Escape
if finish && cmp -s clip1.BMP old.BMP; then pass "Escape leaves the old file byte for byte"; else fail "Escape changed the old file"; fi
start clip1.dat
expect_box "existing output" "Output file exists. Replace?"
press Return
if finish && cmp -s clip1.BMP reference.BMP; then pass "Enter replaces it with the bitmap"; else fail "Enter did not replace it"; fi

# No display behind DISPLAY: the notices fall back to standard error, and
# the question to a line from standard input.
DISPLAY=:99 "$build/frame2bmp" missing.dat </dev/null 2>"$work/err"
if [ "$(cat "$work/err")" = $'Can\'t open file\nmissing.dat' ]; then
    pass "unreachable display: the failure is reported on standard error"
else
    fail "unreachable display: standard error was [$(cat "$work/err")]"
fi
cp old.BMP clip1.BMP
echo y | DISPLAY=:99 "$build/frame2bmp" clip1.dat 2>"$work/err"
if cmp -s clip1.BMP reference.BMP && grep -q 'Output file exists. Replace?' "$work/err"; then
    pass "unreachable display: the question is asked on standard error, answered on standard input"
else
    fail "unreachable display: question [$(cat "$work/err")]"
fi

# The helper missing from beside the program: the same fall-back.
mkdir alone
cp "$build/frame2bmp" alone/
alone/frame2bmp missing.dat </dev/null 2>"$work/err"
if [ "$(cat "$work/err")" = $'Can\'t open file\nmissing.dat' ] && [ -z "$(box)" ]; then
    pass "no helper: the failure is reported on standard error"
else
    fail "no helper: standard error was [$(cat "$work/err")]"
fi

finish_report
