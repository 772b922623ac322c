#!/usr/bin/env bash
# Builds the Debian package, checks it with Debian's own tools (lintian: no
# error or warning; desktop-file-validate; appstreamcli), installs it, starts
# the installed program in demo mode (offscreen, driven unattended) from the
# installed paths, and removes the package again. Needs root; skipped (77)
# otherwise.
set -euo pipefail
build=$1 autodrive=$2
[ "$(id -u)" -eq 0 ] || { echo "not root: skipped"; exit 77; }
# Under pipefail, "producer | grep -q" fails whenever grep stops reading
# before the producer has written everything (the producer dies of SIGPIPE), so
# every output is taken whole first and searched as a here-string.
if grep -q "install ok installed" <<<"$(dpkg-query -W -f='${Status}' tn6820fp 2>/dev/null || true)"; then
    echo "tn6820fp is installed already: skipped so as not to touch it"
    exit 77
fi
work=$(mktemp -d)
trap 'dpkg -r tn6820fp >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null)
deb=$(ls "$work"/tn6820fp_*.deb)
dpkg-deb --info "$deb" | grep -E "Package|Depends"
# Informational tags may stay; errors and warnings may not. Lintian's own
# temporary files go to the work folder, which is removed.
tags=$(TMPDIR=$work lintian --tag-display-limit 0 "$deb" 2>/dev/null | grep -E '^[EW]: ' || true)
[ -z "$tags" ] || { echo "lintian:"; echo "$tags"; exit 1; }
echo "lintian: no error, no warning"
dpkg -i "$deb" >/dev/null
for f in /usr/bin/tn6820fp /usr/lib/tn6820fp/libvisa64.so /usr/lib/tn6820fp/libtn6820_64.so \
    /usr/lib/tn6820fp/libtn6800_64.so /usr/share/applications/tn6820fp.desktop \
    /usr/share/icons/hicolor/64x64/apps/tn6820fp.png \
    /usr/share/icons/hicolor/128x128/apps/tn6820fp.png; do
    [ -f "$f" ] || { echo "missing: $f"; exit 1; }
done
libs=$(ldd /usr/bin/tn6820fp)
grep -q -E "libvisa64.so => /usr/(bin/\.\./)?lib/tn6820fp/libvisa64.so" <<<"$libs" ||
    { echo "the program does not find its platform libraries"; echo "$libs"; exit 1; }
grep -q "^Exec=tn6820fp$" /usr/share/applications/tn6820fp.desktop
grep -q "^Exec=tn6820fp --demo$" /usr/share/applications/tn6820fp.desktop
desktop-file-validate /usr/share/applications/tn6820fp.desktop
appstreamcli validate --no-net /usr/share/metainfo/invalid.morvix.tn6820fp.metainfo.xml
[ -f /usr/share/man/man1/tn6820fp.1.gz ] || { echo "missing: the manual page"; exit 1; }
grep -q "^tn6820fp 4.3.2" <<<"$(tn6820fp --version)" || { echo "--version from the installed program"; exit 1; }
out=$(cd "$work" && LD_PRELOAD=$autodrive QT_QPA_PLATFORM=offscreen timeout 60 tn6820fp 2>&1)
echo "$out" | grep autodrive
grep -q "autodrive: exit confirmed" <<<"$out" || { echo "$out"; exit 1; }
echo "the installed program ran in demo mode and exited with status 0"
