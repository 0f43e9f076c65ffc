"""zentrova-convert --list and --extract on an icon and a cursor built here, entry by entry.

The icon holds a 32-bit entry with alpha, 8, 4 and 1-bit entries with their AND masks, a
32-bit entry whose alpha is 0 everywhere (its AND mask counts) and a 256 x 256 PNG entry
stored with 0 as its size. The PNG files extracted, read back by Pillow, must hold exactly the
pixels and alpha put in. Files that lie are refused with the reason, the others still done.

Run by Debian's /usr/bin/python3 (with python3-pil):  icon_entries_test.py PATH/TO/zentrova-convert
The icon itself, which the Windows leg draws with the system's reader, was written by
icon_entries_test.py --write-icon tests/data/icons/app_every_depth.ico
"""

import io
import os
import struct
import subprocess
import sys
import tempfile

from PIL import Image


def colour(x, y, k):
    return ((x * 37 + y * 11 + k * 50) % 256, (x * 5 + y * 29 + k) % 256, (x * y + k * 7) % 256)


def masked(x, y):
    return (x + 2 * y) % 5 == 0


def bmp_entry(side, bpp, k, alpha):
    """A bitmap entry and the RGBA pixels it stands for, top row first."""
    palette = [colour(i, i // 3, k) for i in range(1 << bpp)] if bpp <= 8 else []
    expected, rows, mask_rows = [], [], []
    for y in range(side):
        bits = bytearray()
        index_row = []
        for x in range(side):
            if bpp <= 8:
                index = (x * 7 + y * 3) % len(palette)
                index_row.append(index)
                r, g, b = palette[index]
            else:
                r, g, b = colour(x, y, k)
            a = alpha(x, y) if alpha else 0
            bits += bytes((b, g, r, a)) if bpp == 32 else b""
            if alpha:
                expected.append((r, g, b, a))
            else:
                expected.append((r, g, b, 0 if masked(x, y) else 255))
        if bpp <= 8:
            per_byte = 8 // bpp
            for i in range(0, side, per_byte):
                value = 0
                for j, index in enumerate(index_row[i:i + per_byte]):
                    value |= index << (8 - bpp * (j + 1))
                bits.append(value)
        rows.append(bytes(bits) + b"\0" * (-len(bits) % 4))
        mask = bytearray((side + 31) // 32 * 4)
        for x in range(side):
            if masked(x, y):
                mask[x // 8] |= 0x80 >> (x % 8)
        mask_rows.append(bytes(mask))
    header = struct.pack("<IiiHHIIiiII", 40, side, side * 2, 1, bpp, 0, 0, 0, 0, len(palette), 0)
    data = header + b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    data += b"".join(reversed(rows)) + b"".join(reversed(mask_rows))
    return data, expected


def png_entry(side):
    pixels = [colour(x, y, 9) + ((x * 255) // (side - 1),) for y in range(side) for x in range(side)]
    image = Image.new("RGBA", (side, side))
    image.putdata(pixels)
    out = io.BytesIO()
    image.save(out, "PNG")
    return out.getvalue(), pixels


def icon_file(entries, kind=1, hotspot=(0, 0)):
    """entries: (side, bpp, data); sides of 256 are stored as 0."""
    directory = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    body = b""
    for side, bpp, data in entries:
        planes, bits = hotspot if kind == 2 else (1, bpp)
        directory += struct.pack("<BBBBHHII", side % 256, side % 256, 0, 0, planes, bits, len(data),
                                 offset + len(body))
        body += data
    return directory + body


def run(convert, *args):
    return subprocess.run((convert,) + args, capture_output=True, text=True)


def pixels_of(path):
    image = Image.open(path)
    if image.mode != "RGBA":
        raise AssertionError(path + " is " + image.mode + ", not RGBA")
    return image.size, list(image.getdata())


def gradient(x, y):
    return (x * 16 + y) % 256


def built_entries():
    """(side, bits per pixel, data, RGBA pixels) of each entry of the test icon."""
    built = [
        (16, 32) + bmp_entry(16, 32, 1, gradient),
        (16, 8) + bmp_entry(16, 8, 2, None),
        (16, 4) + bmp_entry(16, 4, 3, None),
        (16, 1) + bmp_entry(16, 1, 4, None),
        (16, 8) + bmp_entry(16, 8, 5, None),
        (32, 32) + bmp_entry(32, 32, 6, None),
    ]
    png, png_pixels = png_entry(256)
    return built + [(256, 32, png, png_pixels)]


def main():
    built = built_entries()
    icon_bytes = icon_file([(side, bpp, data) for side, bpp, data, _ in built])
    if sys.argv[1] == "--write-icon":
        with open(sys.argv[2], "wb") as f:
            f.write(icon_bytes)
        return 0
    convert = sys.argv[1]
    failures = []

    def check(condition, what):
        if not condition:
            failures.append(what)

    with tempfile.TemporaryDirectory() as work:
        icon = os.path.join(work, "app.ico")
        with open(icon, "wb") as f:
            f.write(icon_bytes)
        cursor = os.path.join(work, "arrow.cur")
        cursor_data, _ = bmp_entry(32, 32, 7, gradient)
        with open(cursor, "wb") as f:
            f.write(icon_file([(32, 32, cursor_data)], kind=2, hotspot=(3, 5)))

        # The listing: one line an entry, tab-separated, the file last.
        listed = run(convert, "--list", icon, cursor)
        check(listed.returncode == 0, "--list: status %d, %s" % (listed.returncode, listed.stderr))
        expected_lines = ["%d\t%dx%d\t%d\t%s\t-\t%d\t%s" % (
            i, side, side, bpp, "PNG" if side == 256 else "BMP", len(data), icon)
            for i, (side, bpp, data, _) in enumerate(built)]
        expected_lines.append("0\t32x32\t32\tBMP\t3,5\t%d\t%s" % (len(cursor_data), cursor))
        check(listed.stdout.splitlines() == expected_lines,
              "--list printed:\n" + listed.stdout + "expected:\n" + "\n".join(expected_lines))

        # Every entry as a PNG with its alpha, named by size, and depth where sizes meet.
        out = os.path.join(work, "out")
        extracted = run(convert, "--extract", "-d", out, icon)
        check(extracted.returncode == 0, "--extract: status %d, %s" % (extracted.returncode,
                                                                     extracted.stderr))
        names = ["app-16x16.png", "app-16x16-8bit.png", "app-16x16-4bit.png", "app-16x16-1bit.png",
                 "app-16x16-8bit-4.png", "app-32x32.png", "app-256x256.png"]
        check(extracted.stdout.splitlines() == [os.path.join(out, n) for n in names],
              "--extract printed:\n" + extracted.stdout)
        for name, (side, _, _, expected) in zip(names, built):
            path = os.path.join(out, name)
            if not os.path.exists(path):
                failures.append(name + " was not written")
                continue
            size, pixels = pixels_of(path)
            check(size == (side, side), name + ": size %s" % (size,))
            wrong = [i for i, (a, b) in enumerate(zip(pixels, expected)) if a != b]
            check(not wrong, name + ": %d pixels differ, first at %s: %s, not %s" % (
                len(wrong), wrong[0] if wrong else "", pixels[wrong[0]] if wrong else "",
                expected[wrong[0]] if wrong else ""))

        # An icon the converter makes of several sizes comes apart into its entries as an
        # independent reader sees them.
        source = os.path.join(work, "logo.png")
        logo = Image.new("RGBA", (60, 40))
        logo.putdata([(x * 4, y * 6, 255 - x * 4, (x * y) % 256) for y in range(40)
                      for x in range(60)])
        logo.save(source)
        made = os.path.join(work, "made.ico")
        run(convert, "--sizes", "16,24,32,48,64,256", "-o", made, source)
        listed = run(convert, "--list", made)
        check([line.split("\t")[1:4] for line in listed.stdout.splitlines()] ==
              [["%dx%d" % (side, side), "32", "PNG" if side == 256 else "BMP"]
               for side in (16, 24, 32, 48, 64, 256)], "--list of a made icon:\n" + listed.stdout)
        parts = os.path.join(work, "parts")
        run(convert, "--extract", "-d", parts, made)
        read = Image.open(made)
        for side in (16, 24, 32, 48, 64, 256):
            read.size = (side, side)
            entry = read.convert("RGBA")
            name = "made-%dx%d.png" % (side, side)
            check(os.path.exists(os.path.join(parts, name)) and
                  pixels_of(os.path.join(parts, name))[1] == list(entry.getdata()),
                  name + " differs from the entry as Pillow reads it")

        # Files that lie are refused, saying why; the others are still done.
        good = icon_file([(16, 32, built[0][2])])
        lies = {
            "text.ico": (b"not an icon at all", "(bad signature: not an icon or cursor file)"),
            "cut.ico": (good[:-1], "(truncated: entry data past end of file)"),
            "overlap.ico": (good[:18] + struct.pack("<I", 6) + good[22:],
                            "(bad header: entry data overlaps the directory)"),
            "count.ico": (good[:4] + struct.pack("<H", 1000) + good[6:],
                          "(truncated: directory entries cut short)"),
        }
        paths = []
        for name, (data, _) in lies.items():
            paths.append(os.path.join(work, name))
            with open(paths[-1], "wb") as f:
                f.write(data)
        for mode in ("--list", "--extract"):
            result = run(convert, mode, *(paths + [cursor]))
            check(result.returncode == 1, mode + " of lies: status %d" % result.returncode)
            check(len(result.stdout.splitlines()) == 1, mode + " of lies printed " + result.stdout)
            for name, (_, reason) in lies.items():
                check(any(name in line and reason in line for line in result.stderr.splitlines()),
                      mode + ": no " + reason + " for " + name + " in:\n" + result.stderr)

    for failure in failures:
        print("FAIL:", failure)
    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
