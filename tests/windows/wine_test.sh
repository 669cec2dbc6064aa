#!/usr/bin/env bash
# The Windows program, run under Wine on a virtual display: conversions from
# exact command lines, and every kind of message box, read from the window
# and dismissed with real key presses.
#
#   wine_test.sh WINDOWS_BUILD_DIR LINUX_PROGRAM SAMPLE_FRAME
#
# Needs Debian's wine64, xvfb, xdotool and xfonts-base. If Wine or the
# display cannot be started, the test fails and says why.
set -u

windows_build=$(realpath "$1")
linux_program=$(realpath "$2")
sample=$(realpath "$3")
. "$(dirname "$0")/../lib/checks.sh"

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
[ -x "$wine" ] || die "wine64 is missing (Debian package wine64)"
command -v Xvfb >/dev/null || die "Xvfb is missing (Debian package xvfb)"
command -v xdotool >/dev/null || die "xdotool is missing (Debian package xdotool)"
for exe in frame2bmp.exe tests/windows/launch.exe tests/windows/boxspy.exe; do
    [ -f "$windows_build/$exe" ] || die "$windows_build/$exe is not built (make windows-test-tools)"
done

work=$(mktemp -d /tmp/frame2bmp-wine-XXXXXX)
cleanup() {
    WINEPREFIX=$work/prefix "$(dirname "$wine")/wineserver" -k 2>/dev/null
    stop_display
    rm -rf "$work"
}
trap cleanup EXIT

start_display "$work"

# A new Wine prefix, without the Mono and Gecko installers. D: is a folder
# of the test's.
export WINEPREFIX=$work/prefix WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
timeout 300 "$wine" wineboot -i >"$work/wineboot.log" 2>&1 ||
    die "Wine could not make a prefix: $(tail -5 "$work/wineboot.log")"
d=$work/d
mkdir -p "$d/bin" "$d/my frames"
ln -s "$d" "$WINEPREFIX/dosdevices/d:"
cp "$windows_build/frame2bmp.exe" "$windows_build/tests/windows/launch.exe" \
   "$windows_build/tests/windows/boxspy.exe" "$d/bin/"

# The bitmap the Linux build makes of the sample: the Windows build must
# give the same bytes.
mkdir "$work/linux"
cp "$sample" "$work/linux/clip1.dat"
"$linux_program" "$work/linux/clip1.dat" </dev/null
reference=$work/linux/clip1.BMP
[ -f "$reference" ] || die "the Linux build made no reference bitmap"

# Starts frame2bmp.exe with exactly this command line, in the background.
start() {
    FRAME2BMP_COMMAND_LINE=$1 "$wine" "$d/bin/launch.exe" 'D:\bin\frame2bmp.exe' \
        >"$work/launch.log" 2>&1 &
    program=$!
}

# Waits for the program to end; true when it ended with status 0.
finish() {
    for _ in $(seq 600); do
        if ! kill -0 "$program" 2>/dev/null; then
            wait "$program"
            return
        fi
        sleep 0.1
    done
    echo "    still running after 60 s; a box it shows:"
    "$wine" "$d/bin/boxspy.exe" 1 | sed 's/^/    /'
    kill "$program"
    return 1
}

# Reads the message box on screen and compares it with what it must show.
expect_box() {
    local label=$1 text=$2 buttons=$3 got
    got=$("$wine" "$d/bin/boxspy.exe" 60 | tr -d '\r')
    local want
    want=$(printf 'title=[]\ntext=[%s]\nbuttons=[%s]\nowner=none\nicon=none' "$text" "$buttons")
    if [ "$got" = "$want" ]; then
        pass "$label: box shows \"$text\""
    else
        fail "$label: box shows"$'\n'"$got"$'\n'"instead of"$'\n'"$want"
    fi
}

# Presses a key in the box on screen, and waits until the box has gone.
press() {
    local key=$1 box
    box=$(xdotool search --sync --onlyvisible --class frame2bmp.exe | head -1)
    xdotool windowfocus --sync "$box" key "$key"
    for _ in $(seq 100); do
        xdotool search --onlyvisible --class frame2bmp.exe | grep -qx "$box" || return 0
        sleep 0.1
    done
    fail "the box did not close after $key"
}

same_as_reference() {
    if cmp -s "$1" "$reference"; then pass "$2"; else fail "$2: $1 differs from the Linux build's bitmap"; fi
}

# The program is a GUI-subsystem program that needs no DLL beyond Windows' own.
headers=$(x86_64-w64-mingw32-objdump -p "$windows_build/frame2bmp.exe")
if grep -q 'Subsystem.*Windows GUI' <<<"$headers"; then pass "GUI subsystem"; else fail "not a GUI-subsystem program"; fi
dlls=$(grep 'DLL Name' <<<"$headers" | awk '{print $3}' | LC_ALL=C sort | tr '\n' ' ')
if [ "$dlls" = "KERNEL32.dll USER32.dll msvcrt.dll " ]; then pass "links only $dlls"; else fail "imports $dlls"; fi

# Conversions: command lines as Windows hands them over, each converting
# the same frame to the same bytes.
cp "$sample" "$d/clip1.dat"
cp "$sample" "$d/my frames/clip 1.dat"
while IFS='|' read -r line output; do
    rm -f "$d/$output"
    start "$line"
    if finish; then
        same_as_reference "$d/$output" "command line [$line]"
    else
        fail "command line [$line] did not end with status 0: $(cat "$work/launch.log")"
    fi
done <<'LINES'
frame2bmp.exe D:\clip1.dat|clip1.BMP
"D:\bin\frame2bmp.exe" D:\clip1.dat|clip1.BMP
frame2bmp.exe	  D:\clip1.dat|clip1.BMP
"D:\bin\frame2bmp.exe" "D:\my frames\clip 1.dat"|my frames/clip 1.BMP
"D:\bin\frame2bmp.exe" "D:\my frames\clip 1.dat" more text|my frames/clip 1.BMP
frame2bmp.exe D:\my frames\clip 1.dat|my frames/clip 1.BMP
frame2bmp.exe "D:\my frames\clip 1.dat|my frames/clip 1.BMP
frame2bmp.exe D:/my frames\clip 1.dat|my frames/clip 1.BMP
LINES

# In code page 932 (Shift-JIS, Wine's choice for a Japanese locale) 表 is
# 0x95 0x5C: read as characters, "a.b表c" is the name "a" with the extension
# ".b表c"; read as bytes, 0x5C would be a '\' and the output a file "c.BMP"
# in a folder "a.b\x95" that does not exist.
# Wine takes the code page from the Unix locale, which must exist for it to
# read UTF-8 names and variables: it is built for the test.
mkdir -p "$work/locales"
localedef --no-warnings=ascii -i ja_JP -f UTF-8 "$work/locales/ja_JP.UTF-8" </dev/null >/dev/null 2>&1
[ -f "$work/locales/ja_JP.UTF-8/LC_CTYPE" ] || die "localedef (Debian's locales) could not build ja_JP.UTF-8"
cp "$sample" "$d/a.b表c"
LOCPATH=$work/locales LC_ALL=ja_JP.UTF-8 start 'frame2bmp.exe D:\a.b表c'
if finish; then
    same_as_reference "$d/a.BMP" "code page 932: a trail byte 0x5C is not a separator"
else
    fail "code page 932: did not end with status 0"
fi

# A missing input: two boxes, one after the other.
start 'frame2bmp.exe D:\missing.dat'
expect_box "missing input" "Can't open file" "OK"
press Return
expect_box "missing input" 'D:\missing.dat' "OK"
press Return
finish && [ ! -e "$d/missing.BMP" ] && pass "missing input: status 0, nothing created" ||
    fail "missing input: wrong status or an output was created"

# An existing output: No leaves it byte for byte, Yes replaces it.
printf 'an old bitmap' >"$d/clip1.BMP"
cp "$d/clip1.BMP" "$work/old"
start 'frame2bmp.exe D:\clip1.dat'
expect_box "existing output" "Output file exists. Replace?" "&Yes|&No"
press n
finish && cmp -s "$d/clip1.BMP" "$work/old" && pass "No leaves the old file byte for byte" ||
    fail "No changed the old file"
start 'frame2bmp.exe D:\clip1.dat'
expect_box "existing output" "Output file exists. Replace?" "&Yes|&No"
press Return
if finish; then same_as_reference "$d/clip1.BMP" "Yes replaces the old file"; else fail "Yes: wrong status"; fi

# A short input.
head -c 1000 "$sample" >"$d/short.dat"
start 'frame2bmp.exe D:\short.dat'
expect_box "short input" "Read error" "OK"
press Return
finish && [ ! -e "$d/short.BMP" ] && pass "short input: status 0, nothing created" ||
    fail "short input: wrong status or an output was created"

# An output that cannot be created: a folder has its name.
cp "$sample" "$d/taken.dat"
mkdir "$d/taken.BMP"
start 'frame2bmp.exe D:\taken.dat'
expect_box "output is a folder" "Can't create file" "OK"
press Return
expect_box "output is a folder" 'D:\taken.BMP' "OK"
press Return
finish && [ -d "$d/taken.BMP" ] && pass "output is a folder: status 0, folder untouched" ||
    fail "output is a folder: wrong status or the folder changed"

finish_report
