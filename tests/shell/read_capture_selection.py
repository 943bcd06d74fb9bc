"""Prints X Y Width Height of "last-selection" from a preferences file, then
"last-selection-display" ("-" when it is missing).

Reads property lists (XML or binary), JSON, or key = value text; exits 1 when
the entry or one of its four integers is missing.
"""
import json
import plistlib
import re
import sys

KEYS = ("X", "Y", "Width", "Height")


def from_structured(data):
    """The dictionary that holds "last-selection" as a dictionary."""
    if isinstance(data, dict):
        if "last-selection" in data and isinstance(data["last-selection"], dict):
            return data
        for value in data.values():
            found = from_structured(value)
            if found is not None:
                return found
    return None


def main(path):
    raw = open(path, "rb").read()
    domain = None
    for parse in (plistlib.loads, lambda b: json.loads(b.decode("utf-8"))):
        try:
            domain = from_structured(parse(raw))
        except Exception:
            continue
        if domain is not None:
            break
    if domain is not None:
        entry, display = domain["last-selection"], domain.get("last-selection-display")
    else:
        text = raw.decode("utf-8", "replace")
        section = text[text.find("last-selection"):]
        entry = {}
        for key in KEYS:
            match = re.search(r"\b%s\b\W*?(-?\d+)" % key, section)
            if match:
                entry[key] = int(match.group(1))
        match = re.search(r"last-selection-display\W*?(-?\d+)", text)
        display = int(match.group(1)) if match else None
    values = [entry.get(key) for key in KEYS]
    if any(not isinstance(v, int) or isinstance(v, bool) for v in values):
        return 1
    print(" ".join(str(v) for v in values), display if isinstance(display, int) else "-")
    return 0


sys.exit(main(sys.argv[1]))
