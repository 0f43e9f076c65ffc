#!/usr/bin/env python3
"""Fails when a source file includes a header from a folder its own may not use.

The rule is the layer table of the README's layout, read from there so that it is written
once. A file belongs to the deepest folder of the table that holds it; it may include the
headers of its own folder and of those listed for it. Qt's headers (<Q...>) may be included
only where the table says "Qt". A folder not in the table is not checked: the tests may
include anything. --self-test shows the check failing on an upward include and on Qt.
"""
import pathlib
import re
import shutil
import sys
import tempfile

ROW = re.compile(r"^\|(.+)\|(.+)\|\s*$")
NAME = re.compile(r"`([^`]+)/`")
OURS = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
QT = re.compile(r"^\s*#\s*include\s+<(Q[^>]*)>", re.MULTILINE)


class Layer:
    def __init__(self, allowed, qt):
        self.allowed = allowed
        self.qt = qt


def table_rows(readme):
    """The (folders, may-include) cells of the table that follows the layout."""
    text = readme.read_text(encoding="utf-8")
    start = text.index("| folder | may include |")
    for line in text[start:].splitlines()[2:]:
        match = ROW.match(line)
        if not match:
            break
        yield match.group(1), match.group(2)


def layers(readme):
    rows = [(NAME.findall(folders), cell) for folders, cell in table_rows(readme)]
    # A short name in the second column is a folder of the platform unless it heads a row.
    top = {name for folders, _ in rows for name in folders if not name.startswith("platform/")}
    platform = [name for folders, _ in rows for name in folders if name.startswith("platform")]

    def full(name):
        return name if name in top or name.startswith("platform") else "platform/" + name

    table = {}
    for folders, cell in rows:
        allowed = set()
        for clause in cell.split(";"):
            names = [full(name) for name in NAME.findall(clause)]
            if "all of" in clause:
                allowed.update(platform)
                allowed.difference_update(names[1:])
            else:
                allowed.update(names)
        if "each other" in cell:
            allowed.update(folders)
        for folder in folders:
            table[folder] = Layer(allowed, re.search(r"\bQt\b", cell) is not None)
    return table


def owner(path, table):
    """The deepest folder of the table holding path, or None."""
    for parent in pathlib.PurePosixPath(path).parents:
        if str(parent) in table:
            return str(parent)
    return None


def violations(root):
    table = layers(root / "README.md")
    found = []
    for folder in sorted(table):
        for source in sorted((root / folder).rglob("*")):
            relative = source.relative_to(root).as_posix()
            if source.suffix not in (".cpp", ".h") or owner(relative, table) != folder:
                continue
            text = source.read_text(encoding="utf-8")
            for header in OURS.findall(text):
                target = owner(header, table) if "/" in header else folder
                if target is None or target == folder or target in table[folder].allowed:
                    continue
                found.append(f"{relative}: includes {header}, from {target}/, "
                             f"which {folder}/ may not use")
            if not table[folder].qt:
                found += [f"{relative}: includes <{header}>, Qt, which {folder}/ may not use"
                          for header in QT.findall(text)]
    return found


def self_test(root):
    with tempfile.TemporaryDirectory() as scratch:
        copy = pathlib.Path(scratch)
        shutil.copy(root / "README.md", copy / "README.md")
        for folder, text in [("platform/files", '#include "platform/graphics/bitmap.h"\n'),
                             ("platform/graphics", "#include <QImage>\n"),
                             ("platform/qt", '#include "platform/files/file.h"\n'
                                             "#include <QtGui/QImage>\n")]:
            (copy / folder).mkdir(parents=True)
            (copy / folder / "a.h").write_text(text)
        found = violations(copy)
    expected = ["platform/files/a.h: includes platform/graphics/bitmap.h, from "
                "platform/graphics/, which platform/files/ may not use",
                "platform/graphics/a.h: includes <QImage>, Qt, which platform/graphics/ may "
                "not use"]
    if found != expected:
        print("the include check does not hold the table:", found)
        return 1
    return 0


def main():
    args = sys.argv[1:]
    if args[:1] == ["--self-test"]:
        return self_test(pathlib.Path(args[1] if len(args) > 1 else "."))
    found = violations(pathlib.Path(args[0] if args else "."))
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
