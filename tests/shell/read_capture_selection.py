"""Prints X Y Width Height of "last-selection" from a preferences file.

Reads property lists (XML or binary), JSON, or key = value text; exits 1 when
the entry or one of its four integers is missing.
"""
import json
import plistlib
import re
import sys

KEYS = ("X", "Y", "Width", "Height")


def from_structured(data):
    if isinstance(data, dict):
        if "last-selection" in data and isinstance(data["last-selection"], dict):
            return data["last-selection"]
        for value in data.values():
            found = from_structured(value)
            if found is not None:
                return found
    return None


def main(path):
    raw = open(path, "rb").read()
    entry = None
    for parse in (plistlib.loads, lambda b: json.loads(b.decode("utf-8"))):
        try:
            entry = from_structured(parse(raw))
        except Exception:
            continue
        if entry is not None:
            break
    if entry is None:
        text = raw.decode("utf-8", "replace")
        section = text[text.find("last-selection"):]
        entry = {}
        for key in KEYS:
            match = re.search(r"\b%s\b\W*?(-?\d+)" % key, section)
            if match:
                entry[key] = int(match.group(1))
    values = [entry.get(key) for key in KEYS]
    if any(not isinstance(v, int) or isinstance(v, bool) for v in values):
        return 1
    print(" ".join(str(v) for v in values))
    return 0


sys.exit(main(sys.argv[1]))
