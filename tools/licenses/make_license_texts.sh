#!/usr/bin/env bash
# Writes the four licence texts under resources/ (CR LF line ends) from the
# published texts that Debian ships: LGPL 2.1 and 3 from common-licenses, the
# Qwt licence and KISS FFT's BSD licence from their packages' copyright files.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out="$root/resources"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
(cd "$tmp" && apt-get download -qq libqwt-qt5-6 libkissfft-float131 >/dev/null)
for deb in "$tmp"/*.deb; do dpkg-deb -x "$deb" "$tmp/x"; done
qwt="$tmp/x/usr/share/doc/libqwt-qt5-6/copyright"
kiss="$tmp/x/usr/share/doc/libkissfft-float131/copyright"
crlf() { sed 's/\r$//; s/$/\r/'; }

{
    cat <<'TXT'
The Qt GUI Toolkit is Copyright (C) 2015 The Qt Company Ltd. and other
contributors. Contact: http://www.qt.io/licensing/

You may use, distribute and copy the Qt GUI Toolkit under the terms of the
GNU Lesser General Public License version 2.1, which is displayed below.

-------------------------------------------------------------------------

TXT
    cat /usr/share/common-licenses/LGPL-2.1
} | crlf >"$out/qt-lgpl-license.txt"

{
    cat <<'TXT'
The Qt Toolkit is Copyright (C) 2017 The Qt Company Ltd. and other
contributors. Contact: https://www.qt.io/licensing/

You may use, distribute and copy the Qt GUI Toolkit under the terms of the
GNU Lesser General Public License version 3, which is displayed below. This
license makes reference to the version 3 of the GNU General Public License,
which you can find in the “LICENSE.GPL3” file of the toolkit’s sources.

-------------------------------------------------------------------------

TXT
    cat /usr/share/common-licenses/LGPL-3
} | crlf >"$out/qt5-lgpl-license.txt"

{
    # The Qwt License 1.0 as the package states it, up to the LGPL notice.
    sed -n '/Qwt License/,/^-----/p' "$qwt" | sed '$d' | sed 's/^   //'
    echo
    echo "-------------------------------------------------------------------------"
    echo
    cat /usr/share/common-licenses/LGPL-2.1
} | crlf >"$out/qwt-lgpl-license.txt"

{
    echo "KISS FFT"
    echo
    echo "Copyright (c) 2003-2010, Mark Borgerding. All rights reserved."
    echo
    sed -n '/^License: BSD-3-clause$/,$p' "$kiss" | tail -n +2 | sed -n '/^ \.$/,$p' |
        tail -n +2 | sed 's/^ \.$//; s/^ //'
} | crlf >"$out/kiss-fft-bsd-license.txt"

file "$out"/*-license.txt
