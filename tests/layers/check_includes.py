#!/usr/bin/env python3
"""Fails when a source file includes one of our headers from a folder its own may not use.

Each folder may include its own headers and those of the folders listed for it here, the
layer table of the README's layout. A folder not listed is not checked: the tests may include
anything. --self-test shows the check failing on an upward include.
"""
import pathlib
import re
import sys
import tempfile

PLATFORM = ["platform", "platform/graphics", "platform/files", "platform/pictures",
            "platform/pictures/codecs", "platform/system", "platform/forms"]

MAY_INCLUDE = {
    "platform": [],
    "platform/graphics": ["platform"],
    "platform/files": ["platform"],
    "platform/files/posix": ["platform", "platform/files"],
    "platform/files/windows": ["platform", "platform/files"],
    "platform/pictures/codecs": ["platform", "platform/graphics", "platform/files"],
    "platform/pictures": ["platform", "platform/graphics", "platform/files",
                          "platform/pictures/codecs"],
    "platform/system": ["platform"],
    "platform/system/posix": ["platform", "platform/system"],
    "platform/system/windows": ["platform", "platform/system"],
    "platform/forms": ["platform", "platform/graphics", "platform/pictures",
                       "platform/pictures/codecs", "platform/system"],
    "platform/qt": PLATFORM,
    "resources": ["platform", "platform/graphics", "platform/pictures",
                  "platform/pictures/codecs"],
    "about": PLATFORM + ["resources"],
    "main_window": PLATFORM + ["resources", "about", "conversion"],
    "conversion": PLATFORM + ["resources", "main_window"],
    "app": PLATFORM + ["platform/qt", "resources", "about", "main_window", "conversion"],
    "bench": PLATFORM + ["platform/qt", "resources", "about", "main_window", "conversion", "app"],
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def violations(root):
    found = []
    for folder, allowed in MAY_INCLUDE.items():
        for source in sorted((root / folder).glob("*")):
            if source.suffix not in (".cpp", ".h"):
                continue
            for header in INCLUDE.findall(source.read_text(encoding="utf-8")):
                target = str(pathlib.PurePosixPath(header).parent)
                if target == "." or target == folder or target in allowed:
                    continue
                found.append(f"{source.relative_to(root)}: includes {header}, "
                             f"from {target}, which {folder}/ may not use")
    return found


def self_test():
    with tempfile.TemporaryDirectory() as scratch:
        root = pathlib.Path(scratch)
        (root / "platform/graphics").mkdir(parents=True)
        (root / "platform/graphics/bitmap.h").write_text('#include "platform/forms/form.h"\n')
        (root / "platform/forms").mkdir(parents=True)
        (root / "platform/forms/form.h").write_text('#include "platform/graphics/bitmap.h"\n')
        found = violations(root)
    expected = ["platform/graphics/bitmap.h: includes platform/forms/form.h, from "
                "platform/forms, which platform/graphics/ may not use"]
    if found != expected:
        print("the include check missed an upward include:", found)
        return 1
    return 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    found = violations(root)
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
