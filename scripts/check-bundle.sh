#!/usr/bin/env bash
# Fails unless every Mach-O file in the bundle can run on the Macs Tallowin
# ships for: x86_64 only, built for macOS 13.5 or older, and loading nothing
# from outside the bundle but the system's own libraries.
# Usage: scripts/check-bundle.sh path/to/Tallowin.app   (on a Mac)
set -euo pipefail
app="${1:?usage: scripts/check-bundle.sh path/to/Tallowin.app}"
newest_allowed=13.5

# The minimum macOS a Mach-O file was built for: LC_BUILD_VERSION's minos,
# or LC_VERSION_MIN_MACOSX's version in older files; the highest of its slices.
minimum_os() {
  otool -l "$1" | awk '
    /cmd LC_BUILD_VERSION/ { build = 1; next }
    /cmd LC_VERSION_MIN_MACOSX/ { legacy = 1; next }
    /cmd / { build = 0; legacy = 0 }
    build && $1 == "minos" { print $2; build = 0 }
    legacy && $1 == "version" { print $2; legacy = 0 }' | sort -V | tail -n 1
}

checked=0
failed=0
while IFS= read -r -d '' file; do
  file -b "$file" | grep -q '^Mach-O' || continue
  checked=$((checked + 1))
  problems=()
  archs="$(lipo -archs "$file")"
  [ "$archs" = x86_64 ] || problems+=("architectures '$archs'")
  minos="$(minimum_os "$file")"
  if [ -z "$minos" ]; then
    problems+=("no minimum macOS recorded")
  elif [ "$(printf '%s\n%s\n' "$minos" "$newest_allowed" | sort -V | tail -n 1)" != "$newest_allowed" ]; then
    problems+=("built for macOS $minos")
  fi
  # Everything but the system's libraries must come from inside the bundle.
  outside="$(otool -L "$file" | tail -n +2 | awk '{print $1}' |
    grep -Ev '^(@rpath/|@executable_path/|@loader_path/|/System/Library/|/usr/lib/)' || true)"
  [ -z "$outside" ] || problems+=("loads $(echo "$outside" | tr '\n' ' ')")
  if [ ${#problems[@]} -gt 0 ]; then
    echo "FAILED  ${file#"$app"/}: ${problems[*]}"
    failed=$((failed + 1))
  fi
done < <(find "$app" -type f -print0)

if ! find "$app/Contents/Frameworks" -maxdepth 1 -name 'QtCore.framework' 2>/dev/null | grep -q .; then
  echo "FAILED  the bundle carries no QtCore.framework (was macdeployqt run?)"
  failed=$((failed + 1))
fi
echo "check-bundle: ${checked} Mach-O files, ${failed} failed (x86_64 only, macOS ${newest_allowed} or older)"
[ "$checked" -gt 0 ] && [ "$failed" -eq 0 ]
