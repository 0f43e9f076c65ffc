"""The resources of a built .exe, read back by an independent reader (wrestool, of icoutils):
its version record says what the application record says, its first icon group is the
766-byte application icon, and it carries a manifest.

Run by Debian's /usr/bin/python3:
  resources_test.py EXE ICON FIELD=VALUE...
ICON is the application icon as the Linux build writes it; the fields are the version
record's texts, with VERSION=major.minor.revision for the numbers.
"""

import struct
import subprocess
import sys
import xml.dom.minidom


def resource(exe, kind, name=None):
    command = ["wrestool", "-x", "--raw", f"--type={kind}"]
    if name is not None:
        command.append(f"--name={name}")
    return subprocess.run(command + [exe], capture_output=True, check=True).stdout


def first_name(exe, kind):
    """The name of the first resource of a type, as the resource directory orders them."""
    listing = subprocess.run(["wrestool", "-l", f"--type={kind}", exe], capture_output=True,
                             text=True, check=True).stdout
    for word in listing.split():
        if word.startswith("--name="):
            return word[len("--name="):]
    return None


def blocks(data):
    """The children of a version-record block: (key, value bytes, text?, children bytes)."""
    offset = 0
    while offset + 6 <= len(data):
        length, value_length, is_text = struct.unpack_from("<HHH", data, offset)
        if length < 6 or offset + length > len(data):
            raise ValueError(f"a block at {offset} claims {length} bytes of {len(data)}")
        end = data.index(b"\0\0", offset + 6)
        while (end - offset - 6) % 2:
            end = data.index(b"\0\0", end + 1)
        key = data[offset + 6:end].decode("utf-16-le")
        value_at = (end + 2 + 3) & ~3
        value_size = value_length * 2 if is_text else value_length
        value = data[value_at:value_at + value_size]
        children_at = (value_at + value_size + 3) & ~3
        yield key, value, is_text, data[children_at:offset + length]
        offset = (offset + length + 3) & ~3


def version_record(exe):
    """The fixed numbers, the string blocks and the translations of the version resource."""
    data = resource(exe, 16)
    (key, fixed, _, children), = blocks(data)
    assert key == "VS_VERSION_INFO", key
    numbers = struct.unpack("<13I", fixed)
    assert numbers[0] == 0xFEEF04BD, hex(numbers[0])
    strings, translations = {}, []
    for name, value, _, inner in blocks(children):
        if name == "StringFileInfo":
            for block, _, _, entries in blocks(inner):
                strings[block] = {key: text.decode("utf-16-le").rstrip("\0")
                                  for key, text, _, _ in blocks(entries)}
        elif name == "VarFileInfo":
            for _, pairs, _, _ in blocks(inner):
                translations += list(struct.iter_unpack("<HH", pairs))
    return numbers, strings, translations


def main():
    exe, icon_file = sys.argv[1:3]
    expected = dict(field.split("=", 1) for field in sys.argv[3:])
    major, minor, revision = (int(n) for n in expected.pop("VERSION").split("."))
    failures = []

    def check(what, got, want):
        if got != want:
            shown = "differ" if isinstance(got, bytes) else f"{got!r}, expected {want!r}"
            failures.append(f"{what}: {shown}")

    numbers, strings, translations = version_record(exe)
    packed = ((major << 16) | minor, revision)  # 1.0.0.38: the third number is 0
    check("numeric file version", numbers[2:4], packed)
    check("numeric product version", numbers[4:6], packed)
    check("file flags, operating system, type, subtype", numbers[7:11], (0, 4, 1, 0))
    check("string blocks", list(strings), ["040904B0"])
    check("version texts", strings.get("040904B0"), expected)
    check("translations", translations, [(0x0409, 1200)])

    # The icon resources hold the icon file cut in two: its directory (with a resource ID in
    # place of each image's offset) and its images.
    with open(icon_file, "rb") as f:
        icon = f.read()
    check("application icon size", len(icon), 766)
    group_name = first_name(exe, 14)
    group = resource(exe, 14, group_name)
    check("icon directory", group[:6], icon[:6])
    count, = struct.unpack_from("<H", icon, 4)
    for index in range(count):
        entry = icon[6 + 16 * index:6 + 16 * index + 16]
        stored = group[6 + 14 * index:6 + 14 * index + 14]
        check(f"icon entry {index}", stored[:12], entry[:12])
        size, offset = struct.unpack_from("<II", entry, 8)
        image_id, = struct.unpack_from("<H", stored, 12)
        check(f"icon image {index}", resource(exe, 3, image_id), icon[offset:offset + size])

    manifest = resource(exe, 24, 1)
    try:
        xml.dom.minidom.parseString(manifest)
    except Exception as error:  # any parse failure is the finding
        failures.append(f"manifest: {error}")

    for failure in failures:
        print(failure)
    print(f"{exe}: {len(failures)} differences from the application record")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
