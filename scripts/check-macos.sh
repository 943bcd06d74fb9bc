#!/usr/bin/env bash
# Syntax-checks every source the macOS build compiles against Apple's own SDK headers with
# clang, for the target Tallowin ships for (x86_64, macOS 13.5), with the
# project's warning flags as errors; then checks that the Linux stand-in
# under tests/macos/fake_sdk declares each of its names as the SDK does.
#
# Usage: scripts/check-macos.sh [SDK]
#   SDK: a macOS SDK, or a sysroot laid out like one (System/Library/Frameworks,
#   usr/include). Default: $TALLOWIN_MACOS_SDK, else `xcrun --show-sdk-path`.
# The C++ library is the SDK's libc++ (usr/include/c++/v1); an SDK without
# one gets the host's (Debian: libc++-dev). Qt's, GoogleTest's and ICU's headers
# come from the host: Qt through qmake6, GoogleTest from /usr/local, /opt/homebrew or /usr,
# ICU from ~/icu (as the macos preset builds it), /usr/local, Homebrew or /usr.
set -euo pipefail
cd "$(dirname "$0")/.."

sdk="${1:-${TALLOWIN_MACOS_SDK:-}}"
if [ -z "$sdk" ] && command -v xcrun >/dev/null 2>&1; then
  sdk="$(xcrun --show-sdk-path)"
fi
if [ ! -d "$sdk/System/Library/Frameworks/ApplicationServices.framework" ] || [ ! -d "$sdk/usr/include" ]; then
  echo "check-macos: no macOS SDK at '${sdk}' (give its path as argument or in TALLOWIN_MACOS_SDK)" >&2
  exit 2
fi
clang="${CLANG:-clang++}"
# The project's warnings, as cmake/warnings.cmake gives them to every target
# (but -Wno-restrict, which is GCC's alone).
mapfile -t warnings < <(grep -v '^ *#' cmake/warnings.cmake | grep -o -- '-W[A-Za-z-]*' | grep -vx -e -Werror -e -Wno-restrict)
# As platform/macos/CMakeLists.txt compiles the provider. The SDK's libc++
# is named outright: clang would take its own toolchain's first, and Debian's
# (LLVM 14) rejects C++20 library code that Apple's accepts.
sdk_flags=(-target x86_64-apple-macos13.5 -isysroot "$sdk" -std=c++20 -stdlib=libc++ -I.
           -D__ASSERT_MACROS_DEFINE_VERSIONS_WITHOUT_UNDERSCORES=0)
libcxx="$sdk/usr/include/c++/v1"
if [ ! -d "$libcxx" ]; then
  libcxx="/usr/lib/llvm-$("$clang" -dumpversion | cut -d. -f1)/include/c++/v1"
  [ -d "$libcxx" ] || { echo "check-macos: no libc++ headers at $libcxx (install libc++-dev)" >&2; exit 2; }
fi
sdk_flags+=(-nostdinc++ -isystem "$libcxx")
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Qt: plain include folders (Linux packages) or frameworks (Qt's macOS builds).
qt_flags=()
moc=moc
qmake="$(command -v qmake6 || command -v qmake || true)"
if [ -n "$qmake" ]; then
  qt_headers="$("$qmake" -query QT_INSTALL_HEADERS)"
  qt_libs="$("$qmake" -query QT_INSTALL_LIBS)"
  moc="$("$qmake" -query QT_HOST_LIBEXECS)/moc"
  for module in QtCore QtGui QtWidgets QtSvg QtTest; do
    if [ -d "$qt_headers/$module" ]; then
      qt_flags+=(-isystem "$qt_headers" -isystem "$qt_headers/$module")
    else
      qt_flags+=(-iframework "$qt_libs" -isystem "$qt_libs/$module.framework/Headers")
    fi
  done
fi
# A library's headers alone in a folder of their own, so no other host
# header can stand in for the SDK's: the flag for the first PREFIX whose
# include/DIR holds PROBE, or nothing.
alone() {  # alone DIR PROBE PREFIX...
  local dir=$1 probe=$2 prefix
  shift 2
  for prefix in "$@"; do
    if [ -n "$prefix" ] && [ -f "$prefix/include/$dir/$probe" ]; then
      mkdir -p "$work/alone-$dir"
      ln -s "$prefix/include/$dir" "$work/alone-$dir/$dir"
      echo "-isystem $work/alone-$dir"
      return
    fi
  done
}
read -ra gtest_flags <<<"$(alone gtest gtest.h "${TALLOWIN_GTEST_PREFIX:-}" /usr/local /opt/homebrew /usr)"
# The platform-free core needs ICU.
read -ra icu_flags <<<"$(alone unicode uversion.h "${TALLOWIN_ICU_PREFIX:-}" "$HOME/icu" /usr/local \
  /opt/homebrew/opt/icu4c /usr)"

check() {  # check FILE [extra flags...]: the compiler's verdict, output in $work/out
  local file="$1"
  shift
  "$clang" "${sdk_flags[@]}" -fsyntax-only "${warnings[@]}" -Werror "$@" "$file" >"$work/out" 2>&1
}

# First prove the check can fail: a wrong argument type and a name of ours
# that Apple defines as a macro must be rejected, the right call accepted.
self_test() {  # self_test NAME BODY [PATTERN]: with a PATTERN, must fail with an error that matches it
  printf '#include <ApplicationServices/ApplicationServices.h>\n%s\n' "$2" >"$work/probe.cpp"
  if check "$work/probe.cpp"; then
    [ -z "${3:-}" ] && { echo "check-macos: self-test ok: $1 is accepted"; return; }
  elif [ -n "${3:-}" ] && grep -qF "$3" "$work/out"; then
    echo "check-macos: self-test ok: $1 is rejected"
    return
  fi
  echo "check-macos: self-test FAILED: $1 was judged wrongly:"
  cat "$work/out"
  exit 1
}
self_test "AXUIElementCopyAttributeValue given a CFStringRef* for its CFTypeRef*" \
  'AXError probe(AXUIElementRef e) { CFStringRef v = nullptr; return AXUIElementCopyAttributeValue(e, kAXTitleAttribute, &v); }' \
  "no matching function for call to 'AXUIElementCopyAttributeValue'"
self_test "a constant of ours named kAXTitleAttribute" \
  'inline constexpr const char* kAXTitleAttribute = "AXTitle";' "expanded from macro 'kAXTitleAttribute'"
self_test "AXUIElementCopyAttributeValue as Apple declares it" \
  'AXError probe(AXUIElementRef e) { CFTypeRef v = nullptr; return AXUIElementCopyAttributeValue(e, kAXTitleAttribute, &v); }'

# Every source the macOS build compiles: the platform-free core, the
# provider, every shell file (all but the Linux capture tool).
files=(app/*.cpp discovery/*.cpp placement/*.cpp platform/*.cpp platform/macos/*.cpp)
for file in shell/*.cpp; do
  [[ "$file" == *_linux.cpp ]] || files+=("$file")
done
# As shell/CMakeLists.txt defines it for the shell.
project_version="$(sed -n 's/^project(tallowin VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
# The icon tool, where Qt SVG's headers are found (always with Qt's macOS builds).
if printf '#include <QSvgRenderer>\n' | "$clang" "${sdk_flags[@]}" "${qt_flags[@]}" -fsyntax-only -x c++ - 2>/dev/null; then
  files+=(shell/iconset/*.cpp)
fi
# The tests the macOS build compiles: over the doubles, the shell's, the Mac-only smoke test.
files+=(tests/doubles/*.cpp tests/core/*.cpp tests/placement/*.cpp tests/window_system/*.cpp tests/shell/*.cpp
        tests/macos/live_test.cpp)
clean=0
failed=0
for file in "${files[@]}"; do
  extra=()
  case "$file" in
    shell/*) extra=("${qt_flags[@]}" "-DTALLOWIN_VERSION=\"$project_version\"") ;;
    tests/shell/*)
      # As CMake builds a Qt Test with widgets: QtTest's GUI half, and the
      # file's moc output beside it.
      "$moc" "$file" -o "$work/$(basename "$file" .cpp).moc"
      extra=("${qt_flags[@]}" -DQT_WIDGETS_LIB -DQT_GUI_LIB "-I$work" "-DTALLOWIN_VERSION=\"$project_version\"")
      ;;
    tests/*) extra=("${gtest_flags[@]}" "${icu_flags[@]}") ;;
    *) extra=("${icu_flags[@]}") ;;
  esac
  if check "$file" "${extra[@]}"; then
    echo "clean   $file"
    clean=$((clean + 1))
  else
    echo "FAILED  $file"
    sed 's/^/        /' "$work/out"
    failed=$((failed + 1))
  fi
done

# The stand-in, name by name: every declaration it makes becomes an
# assertion about that name, checked against the stand-in itself (so the
# assertions are right) and then against the SDK. Its system includes are
# replaced by two typedefs, so its own names are all that is declared.
mkdir -p "$work/stub/sys"
printf 'typedef int pid_t;\n' >"$work/stub/sys/types.h"
printf 'typedef unsigned int uint32_t;\n' >"$work/stub/cstdint"
stand_in=(-std=c++20 -nostdinc -nostdinc++ -isystem "$work/stub" -Itests/macos/fake_sdk/include)
printf '#include <ApplicationServices/ApplicationServices.h>\n' >"$work/stand_in.cpp"
"$clang" -fsyntax-only "${stand_in[@]}" -Xclang -ast-dump=json "$work/stand_in.cpp" >"$work/ast.json"
"$clang" -E -dM "${stand_in[@]}" "$work/stand_in.cpp" >"$work/stand_in.macros"
"$clang" -E -dM "${stand_in[@]}" -x c++ /dev/null >"$work/predefined.macros"
"$clang" -E -dM "${sdk_flags[@]}" "$work/stand_in.cpp" >"$work/sdk.macros"
python3 - "$work" <<'PYTHON'
import json, re, sys
work = sys.argv[1]
ast = json.load(open(f"{work}/ast.json"))
checks = []
records = {}  # record id -> the name code can use for it

def same(a, b, name):
    checks.append(f"static_assert(__is_same({a}, {b}), \"{name}\");")

def walk(node):
    for child in node.get("inner", []):
        if child.get("isImplicit"):
            continue
        kind, name = child["kind"], child.get("name", "")
        if kind == "LinkageSpecDecl":
            walk(child)
        elif kind == "TypedefDecl" and name not in ("pid_t", "uint32_t"):
            inner = child["inner"][0]
            owned = inner.get("ownedTagDecl", inner.get("inner", [{}])[0].get("decl", {}))
            if owned.get("id") in records and records[owned["id"]][0] == "":
                records[owned["id"]] = (name, records[owned["id"]][1])
            if child["type"].get("desugaredQualType") != name:
                same(name, child["type"]["qualType"], name)
        elif kind in ("CXXRecordDecl", "RecordDecl"):
            fields = [f for f in child.get("inner", []) if f["kind"] == "FieldDecl"]
            records[child["id"]] = (name, fields)
        elif kind in ("FunctionDecl", "VarDecl"):
            same(f"decltype({name})", child["type"]["qualType"], name)
        elif kind == "EnumDecl":
            underlying = child["fixedUnderlyingType"]["qualType"]
            if name:
                same(f"__underlying_type({name})", underlying, name)
            for constant in child.get("inner", []):
                value = constant["inner"][0]["value"]
                checks.append(f"static_assert({constant['name']} == {value}, \"{constant['name']}\");")
                if name:
                    same(f"decltype({constant['name']})", name, constant["name"])
                else:
                    same(f"__underlying_type(decltype({constant['name']}))", underlying, constant["name"])

walk(ast)
for name, fields in records.values():
    for field in fields:
        same(f"decltype({name}::{field['name']})", field["type"]["qualType"], f"{name}::{field['name']}")

def macros(path):
    found = {}
    for line in open(path, encoding="latin-1"):
        match = re.match(r"#define (\w+)(\([^)]*\))? ?(.*)", line.rstrip("\n"))
        if match:
            found[match.group(1)] = (match.group(2), " ".join(match.group(3).split()))
    return found

predefined, sdk = macros(f"{work}/predefined.macros"), macros(f"{work}/sdk.macros")
mismatches = []
own = {n: d for n, d in macros(f"{work}/stand_in.macros").items() if n not in predefined}
for name, (parameters, body) in own.items():
    if name not in sdk:
        mismatches.append(f"{name}: a macro in the stand-in, none in the SDK")
    elif sdk[name][0] != parameters or (parameters is None and sdk[name][1] != body):
        mismatches.append(f"{name}: '{body}' in the stand-in, '{sdk[name][1]}' in the SDK")
with open(f"{work}/names.cpp", "w") as out:
    out.write("#include <ApplicationServices/ApplicationServices.h>\n" + "\n".join(checks) + "\n")
with open(f"{work}/counts", "w") as out:
    out.write(f"{len(checks)} {len(own)}\n")
with open(f"{work}/macro_mismatches", "w") as out:
    out.write("".join(m + "\n" for m in mismatches))
PYTHON
read -r declarations macro_count <"$work/counts"
stand_in_ok=1
if ! "$clang" -fsyntax-only "${stand_in[@]}" "$work/names.cpp" >"$work/out" 2>&1; then
  echo "check-macos: the stand-in's assertions fail on the stand-in itself:"
  cat "$work/out"
  stand_in_ok=0
elif ! check "$work/names.cpp" -Wno-everything; then
  echo "FAILED  tests/macos/fake_sdk: declared otherwise than in the SDK:"
  grep -o 'static assertion failed[^"]*"[^"]*"' "$work/out" | sed 's/^/        /' || cat "$work/out"
  stand_in_ok=0
fi
if [ -s "$work/macro_mismatches" ]; then
  echo "FAILED  tests/macos/fake_sdk: macros otherwise than in the SDK:"
  sed 's/^/        /' "$work/macro_mismatches"
  stand_in_ok=0
fi
if [ "$stand_in_ok" -eq 1 ]; then
  echo "clean   tests/macos/fake_sdk: ${declarations} assertions on its declarations, ${macro_count} macros, as in the SDK"
fi

echo "check-macos: ${#files[@]} files, ${clean} clean, ${failed} failed; stand-in $([ "$stand_in_ok" -eq 1 ] && echo "as in the SDK" || echo "DIFFERS from the SDK")"
[ "$failed" -eq 0 ] && [ "$stand_in_ok" -eq 1 ]
