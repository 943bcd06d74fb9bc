"""Checks a filled Info.plist: every key the bundle needs, nothing left unfilled."""
import plistlib
import sys

EXPECTED = {
    "CFBundleExecutable": "Tallowin",
    "CFBundleIdentifier": "org.tallowin.Tallowin",
    "CFBundleName": "Tallowin",
    "CFBundlePackageType": "APPL",
    "CFBundleIconFile": "tallowin.icns",  # the file cmake/macos_bundle.cmake puts in Contents/Resources
    "NSHumanReadableCopyright": "Copyright \u00a9 2026 Tallowin developers",
    "LSMinimumSystemVersion": "13.5",
    "NSHighResolutionCapable": True,
    "NSPrincipalClass": "NSApplication",
}

info = plistlib.load(open(sys.argv[1], "rb"))
wrong = [f"{key}: {info.get(key)!r}, not {value!r}" for key, value in EXPECTED.items() if info.get(key) != value]
wrong += [f"{key}: unfilled {value!r}" for key, value in info.items() if isinstance(value, str) and "${" in value]
wrong += [f"{key}: empty" for key, value in info.items() if value == ""]
print("\n".join(wrong) if wrong else f"{len(info)} keys as the bundle needs them")
sys.exit(1 if wrong else 0)
