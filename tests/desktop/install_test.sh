#!/usr/bin/env bash
# `make install` into a temporary folder: every file in its place, the
# man page renders without warnings, the desktop entry is valid, and the
# installed program finds its dialog helper.
#
#   install_test.sh SOURCE_DIR BUILD_DIR
set -u
source_dir=$1
build=$2
. "$(dirname "$0")/../lib/checks.sh"

root=$(mktemp -d /tmp/frame2bmp-install-XXXXXX)
trap 'rm -rf "$root"' EXIT

if make --no-print-directory -C "$source_dir" install-files BUILD_DIR="$build" PREFIX=/usr \
        DESTDIR="$root" >"$root.log" 2>&1; then
    pass "make install DESTDIR=... PREFIX=/usr"
else
    fail "make install: $(cat "$root.log")"
fi
rm -f "$root.log"

for file in usr/bin/frame2bmp usr/bin/frame2bmp-dialog usr/share/man/man1/frame2bmp.1 \
            usr/share/applications/frame2bmp.desktop; do
    if [ -f "$root/$file" ]; then pass "installed $file"; else fail "missing $file"; fi
done
[ -x "$root/usr/bin/frame2bmp" ] && [ -x "$root/usr/bin/frame2bmp-dialog" ] ||
    fail "the programs are not executable"

page=$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/frame2bmp.1" 2>"$root/warnings")
if [ -s "$root/warnings" ]; then
    fail "the man page renders with warnings: $(cat "$root/warnings")"
elif grep -q 'EXIT STATUS' <<<"$page" && grep -q 'Output file exists. Replace?' <<<"$page"; then
    pass "the man page renders"
else
    fail "the man page lacks its sections"
fi

validation=$(desktop-file-validate "$root/usr/share/applications/frame2bmp.desktop" 2>&1)
if [ $? -eq 0 ] && [ -z "$validation" ]; then
    pass "desktop-file-validate"
else
    fail "desktop-file-validate: $validation"
fi
entry=$root/usr/share/applications/frame2bmp.desktop
for line in 'Exec=frame2bmp %f' 'Terminal=false' 'NoDisplay=true'; do
    grep -qx "$line" "$entry" && pass "desktop entry: $line" || fail "desktop entry lacks $line"
done

finish_report
