#!/usr/bin/env bash
# Installs a Debian package of Tallowin as a user would, then checks that a
# desktop finds it and that the installed program places a window on a
# private Xvfb + openbox. Needs root (apt-get).
# Usage: scripts/check-package.sh path/to/tallowin_VERSION_ARCH.deb
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(realpath "$1")

echo "package: $(du -k "$deb" | cut -f1) KiB, $(dpkg-deb -f "$deb" Depends | sed 's/^/Depends: /')"
DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "$deb" >/dev/null

failures=0
for file in /usr/bin/tallowin /usr/share/applications/org.tallowin.Tallowin.desktop \
  /usr/share/icons/hicolor/scalable/apps/tallowin.svg /usr/share/metainfo/org.tallowin.Tallowin.metainfo.xml \
  /usr/share/man/man1/tallowin.1.gz; do
  if dpkg -S "$file" >/dev/null 2>&1; then
    echo "installed: $file"
  else
    echo "FAIL: the package does not install $file" >&2
    failures=$((failures + 1))
  fi
done
desktop-file-validate /usr/share/applications/org.tallowin.Tallowin.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.tallowin.Tallowin.metainfo.xml
zcat /usr/share/man/man1/tallowin.1.gz | grep -q '^\.TH TALLOWIN 1' || { echo "FAIL: no manual page header" >&2; failures=$((failures + 1)); }

echo "installed tallowin --version: $(env -i /usr/bin/tallowin --version)"
status=0
env -i /usr/bin/tallowin --help >/dev/null || status=$?
[ "$status" = 0 ] || { echo "FAIL: tallowin --help without a display exited $status" >&2; failures=$((failures + 1)); }
status=0
env -i /usr/bin/tallowin --no-such-option 2>/dev/null || status=$?
[ "$status" = 2 ] || { echo "FAIL: an unknown option exited $status, not 2" >&2; failures=$((failures + 1)); }

# The installed program, on a private desktop, places a window.
tests/shell/x11_end_to_end.sh /usr/bin/tallowin
[ "$failures" = 0 ]
