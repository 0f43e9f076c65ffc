"""Our pictures against independent readers and writers.

1. The ICO and BMP we write decode to exactly the pixels and transparency we meant, in Pillow,
   ImageMagick and icotool.
2. Files that Pillow, ImageMagick and icotool write decode to the same pixels in our reader as
   in theirs (JPEG within a few levels: decoders differ in IDCT and upsampling).
3. The icons and cursors of several sizes that zentrova-convert makes are read by Pillow,
   ImageMagick, icotool and Qt with the same sizes, pixels and transparency as written, and
   icotool -l lists their sizes, PNG entries and hot spots.

Run by Debian's /usr/bin/python3 (with python3-pil):
  interop_test.py PATH/TO/zentrova_picture_tool [--convert PATH/TO/zentrova-convert]
                  [--qt-reader PATH/TO/zentrova_qt_icon_reader]
"""

import argparse
import glob
import io
import math
import os
import re
import struct
import subprocess
import sys
import tempfile

from PIL import Image

CONVERT = "/usr/bin/convert"
ICOTOOL = "/usr/bin/icotool"
SIDE = 32

# --- the test pattern of `zentrova_picture_tool make-icon` / `make-bmp` (keep in step) ---

BANDS = [0x000000, 0xFFFFFF, 0xFEFFFF, 0xFFFEFF, 0xFFFFFE, 0x0000FF, 0x00C000, 0x808080]  # 0xBBGGRR


def is_transparent(x, y):
    return (x < 6 and y < 6) or (x >= 16 and (x + y) % 7 == 0)


def pattern_colour(x, y):
    if x >= 28:
        return 0x000000
    if x >= 24:
        return 0xA0 | (y * 8) << 8 | (255 - y * 8) << 16
    return BANDS[y // 4]


def rgba(colour, alpha):
    return (colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF, alpha)


def icon_pattern():
    return (SIDE, SIDE, [(0, 0, 0, 0) if is_transparent(x, y) else rgba(pattern_colour(x, y), 255)
                         for y in range(SIDE) for x in range(SIDE)])


def bitmap_pattern():
    return (SIDE, SIDE, [rgba(pattern_colour(x, y), 255) for y in range(SIDE) for x in range(SIDE)])


# --- readers: each returns (width, height, [RGBA tuples, top row first]) ---

def as_picture(image):
    image = image.convert("RGBA")
    return (image.width, image.height, list(image.getdata()))


def parse_pams(data):
    """Every image of a stream of PAM files (ImageMagick writes one per ICO entry)."""
    pictures = []
    while data:
        header, _, data = data.partition(b"ENDHDR\n")
        fields = dict(line.split(b" ", 1) for line in header.split(b"\n")[1:] if b" " in line)
        width, height, depth = int(fields[b"WIDTH"]), int(fields[b"HEIGHT"]), int(fields[b"DEPTH"])
        if int(fields[b"MAXVAL"]) != 255:
            raise ValueError("PAM with MAXVAL " + fields[b"MAXVAL"].decode())
        size = width * height * depth
        samples, data = data[:size], data[size:]
        pixels = []
        for i in range(0, size, depth):
            s = samples[i:i + depth]
            if depth == 1:
                pixels.append((s[0], s[0], s[0], 255))
            elif depth == 2:
                pixels.append((s[0], s[0], s[0], s[1]))
            elif depth == 3:
                pixels.append((s[0], s[1], s[2], 255))
            else:
                pixels.append(tuple(s[:4]))
        pictures.append((width, height, pixels))
    return pictures


def run(*command):
    result = subprocess.run(command, capture_output=True)
    if result.returncode != 0:
        raise RuntimeError(" ".join(command) + " failed: " + result.stderr.decode(errors="replace"))
    return result.stdout


def pick_size(pictures, what):
    for picture in pictures:
        if picture[0] == SIDE and picture[1] == SIDE:
            return picture
    raise RuntimeError(what + ": no 32x32 image among " + str([p[:2] for p in pictures]))


def read_ours(tool, path, work):
    out = os.path.join(work, os.path.basename(path) + ".ours.pam")
    run(tool, "decode", path, out)
    with open(out, "rb") as f:
        return parse_pams(f.read())[0]


def read_pillow(path):
    image = Image.open(path)
    if image.format == "ICO":
        image = image.ico.getimage((SIDE, SIDE))
    return as_picture(image)


def read_magick(path):
    return pick_size(parse_pams(run(CONVERT, path, "-depth", "8", "pam:-")), "ImageMagick " + path)


def read_icotool(path, work):
    folder = tempfile.mkdtemp(dir=work)
    run(ICOTOOL, "-x", "-o", folder, path)
    return pick_size([as_picture(Image.open(p)) for p in sorted(glob.glob(os.path.join(folder, "*.png")))],
                     "icotool " + path)


# --- comparison ---

failures = []


def premultiplied(picture):
    return (picture[0], picture[1], [((r * a + 127) // 255, (g * a + 127) // 255, (b * a + 127) // 255, a)
                                     for r, g, b, a in picture[2]])


def compare(what, actual, expected, tolerance=0):
    """Equal sizes, equal alpha, and equal colour wherever a pixel is not fully transparent."""
    if actual[:2] != expected[:2]:
        failures.append(f"{what}: size {actual[:2]}, expected {expected[:2]}")
        return
    wrong = []
    for i, (a, e) in enumerate(zip(actual[2], expected[2])):
        if a[3] == 0 and e[3] == 0:
            continue
        if a[3] != e[3] or any(abs(a[c] - e[c]) > tolerance for c in range(3)):
            wrong.append((i % actual[0], i // actual[0], a, e))
    if wrong:
        shown = ", ".join(f"({x},{y}) {a} not {e}" for x, y, a, e in wrong[:4])
        failures.append(f"{what}: {len(wrong)} pixels differ: {shown}")
    else:
        print(f"ok   {what}")


# --- sources for the independent writers ---

def source_with_alpha():
    """32x32 with opaque colours, opaque black, a transparent block and a few partial alphas."""
    image = Image.new("RGBA", (SIDE, SIDE))
    for y in range(SIDE):
        for x in range(SIDE):
            alpha = 0 if (x >= 20 and y >= 20) else 255
            colour = (x * 8, y * 8, 255 - x * 4, alpha)
            if x < 4:
                colour = (0, 0, 0, 255)
            image.putpixel((x, y), colour)
    for x, alpha in ((10, 1), (11, 128), (12, 254)):
        image.putpixel((x, 5), (200, 100, 50, alpha))
    return image


def source_binary_alpha():
    image = source_with_alpha()
    image.putalpha(image.getchannel("A").point(lambda a: 255 if a >= 128 else 0))
    return image


def photo(size=(61, 43)):
    """Smooth content, as a photograph would be, for the lossy format."""
    image = Image.new("RGB", size)
    image.putdata([(40 + x * 3, 200 - y * 3, 90 + (x + y)) for y in range(size[1]) for x in range(size[0])])
    return image


# --- icons of several sizes ---

def written_entries(path):
    """The entries as the file holds them, read field by field: (width, height, png, hot spot,
    picture). A bitmap entry's AND mask must be set exactly where its alpha is 0."""
    with open(path, "rb") as f:
        data = f.read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    entries = []
    for i in range(count):
        w, h, _, _, a, b, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        w, h = w or 256, h or 256
        body = data[offset:offset + size]
        hotspot = (a, b) if kind == 2 else None
        if body[:4] == b"\x89PNG":
            entries.append((w, h, True, hotspot, as_picture(Image.open(io.BytesIO(body)))))
            continue
        header, width, height2, _, bits = struct.unpack_from("<IiiHH", body, 0)
        if (header, width, height2, bits) != (40, w, 2 * h, 32):
            failures.append(f"{path} entry {i}: header {header} {width}x{height2} {bits} bits")
        pixels, stride = [None] * (w * h), (w + 31) // 32 * 4
        mask_at = 40 + 4 * w * h
        for row in range(h):  # bottom row first
            y = h - 1 - row
            for x in range(w):
                blue, green, red, alpha = body[40 + 4 * (row * w + x):44 + 4 * (row * w + x)]
                pixels[y * w + x] = (red, green, blue, alpha)
                masked = (body[mask_at + row * stride + x // 8] >> (7 - x % 8)) & 1
                if masked != (alpha == 0):
                    failures.append(f"{path} entry {i}: mask {masked} at ({x},{y}) with alpha {alpha}")
                    return entries
        entries.append((w, h, False, hotspot, (w, h, pixels)))
    return entries


def icon_source():
    """A picture that is not square, with partial alpha, hard edges and a transparent field."""
    image = Image.new("RGBA", (300, 200), (0, 0, 0, 0))
    pixels = image.load()
    for y in range(200):
        for x in range(300):
            d = math.hypot(x - 150, y - 100)
            if d < 80:
                pixels[x, y] = (250, 120 + y // 4, 30 + x // 3, 255)
            elif d < 95:
                pixels[x, y] = (20, 60, 200, int(255 * (95 - d) / 15))
            elif x < 30:
                pixels[x, y] = (0, 0, 0, 255)
    return image


def check_icon_set(path, convert, qt_reader, work):
    name = os.path.basename(path)
    written = written_entries(path)
    expected = {(e[0], e[1]): e[4] for e in written}
    png_sizes = {(e[0], e[1]): e[2] for e in written}

    # icotool -l: a line per entry, in the file's order, with its size and hot spot. It lists a
    # PNG entry as it lists a 32-bit bitmap (icoutils 0.32 has no mark for PNG); that the
    # entries are PNG is read from the file above, and icotool -x below decodes them.
    listed = run(ICOTOOL, "-l", path).decode().splitlines()
    if len(listed) != len(written):
        failures.append(f"{name}: icotool -l lists {len(listed)} entries, not {len(written)}")
    for line, (w, h, png, hotspot, _) in zip(listed, written):
        fields = dict(re.findall(r"--([a-z-]+)=(\S+)", line))
        wanted = {"width": str(w), "height": str(h)}
        if hotspot:
            wanted.update({"hotspot-x": str(hotspot[0]), "hotspot-y": str(hotspot[1])})
        wanted["bit-depth"] = "32"
        if any(fields.get(k) != v for k, v in wanted.items()) or (("--cursor" in line) != bool(hotspot)):
            failures.append(f"{name}: icotool -l says {line!r}, expected {wanted}")
    print(f"ok   {name} in icotool -l: " + ", ".join(
        f"{w}x{h}{' PNG' if png else ''}{f' hot spot {hotspot}' if hotspot else ''}"
        for w, h, png, hotspot, _ in written))

    folder = tempfile.mkdtemp(dir=work)
    run(ICOTOOL, "-x", "-o", folder, path)
    icotool = [as_picture(Image.open(p)) for p in sorted(glob.glob(os.path.join(folder, "*.png")))]
    magick = parse_pams(run(CONVERT, path, "-depth", "8", "pam:-"))
    readers = [("ImageMagick", magick), ("icotool -x", icotool)]
    if qt_reader:
        readers.append(("Qt", parse_pams(run(qt_reader, path))))
    image = Image.open(path)
    if image.format == "ICO":
        readers.append(("Pillow", [as_picture(image.ico.getimage(size)) for size in sorted(image.ico.sizes())]))
    for reader, pictures in readers:
        sizes = sorted(p[:2] for p in pictures)
        if sizes != sorted(expected):
            failures.append(f"{name} in {reader}: sizes {sizes}, written {sorted(expected)}")
            continue
        for picture in pictures:
            what = f"{name} {picture[0]}x{picture[1]} in {reader}"
            wanted = expected[picture[:2]]
            if reader == "Qt" and not png_sizes.get(picture[:2]):
                # Qt's reader hands a bitmap entry back premultiplied (Format_ARGB32_Premultiplied;
                # a PNG entry as Format_ARGB32): at alpha 1 a colour is 0 or 255. The same light,
                # premultiplied, within a level of rounding.
                compare(what + " (premultiplied)", premultiplied(picture), premultiplied(wanted), 1)
            else:
                compare(what, picture, wanted)
    if image.format == "CUR":
        # Pillow's cursor reader is its BMP reader pointed at the largest entry: it reads a
        # 32-bit DIB as RGB ("BGRX") and never the AND mask, so every pixel comes back opaque.
        # Its size and the colours of the opaque pixels are still the entry's.
        largest = max(expected)
        wanted = expected[largest][2]
        clear = (0, 0, 0, 0)
        compare(f"{name} {largest[0]}x{largest[1]} in Pillow (opaque pixels; no alpha read)",
                (image.width, image.height,
                 [p if e[3] == 255 else clear for p, e in zip(as_picture(image)[2], wanted)]),
                (largest[0], largest[1], [e if e[3] == 255 else clear for e in wanted]))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tool")
    parser.add_argument("--convert")
    parser.add_argument("--qt-reader")
    args = parser.parse_args()
    tool = os.path.abspath(args.tool)
    with tempfile.TemporaryDirectory(prefix="zentrova-interop-") as work:
        def path(name):
            return os.path.join(work, name)

        # 1. What we write, read by others.
        run(tool, "make-icon", path("ours.ico"))
        run(tool, "make-bmp", path("ours.bmp"))
        run(tool, "save", path("ours.ico"), path("resaved.ico"))
        run(tool, "save", path("ours.bmp"), path("resaved.bmp"))
        for name, expected in (("ours.ico", icon_pattern()), ("resaved.ico", icon_pattern()),
                               ("ours.bmp", bitmap_pattern()), ("resaved.bmp", bitmap_pattern())):
            compare(f"{name} in Pillow", read_pillow(path(name)), expected)
            compare(f"{name} in ImageMagick", read_magick(path(name)), expected)
            compare(f"{name} in our reader", read_ours(tool, path(name), work), expected)
            if name.endswith(".ico"):
                compare(f"{name} in icotool", read_icotool(path(name), work), expected)

        # 2. What others write, read by us and by them.
        alpha = source_with_alpha()
        binary = source_binary_alpha()
        alpha.save(path("source.png"))
        binary.save(path("binary.png"))

        alpha.save(path("pillow.ico"), sizes=[(16, 16), (SIDE, SIDE), (48, 48)])
        alpha.save(path("pillow_bmp.ico"), sizes=[(16, 16), (SIDE, SIDE)], bitmap_format="bmp")
        alpha.convert("RGB").save(path("pillow24.bmp"))
        alpha.convert("RGB").quantize(64).save(path("pillow8.bmp"))
        palette = binary.convert("RGB").quantize(63)
        # Index 63 is unused by the quantized colours; make it the transparent one.
        indexed = Image.new("P", binary.size)
        indexed.putpalette(palette.getpalette()[:63 * 3] + [0, 0, 0])
        indexed.putdata([63 if binary.getpixel((i % SIDE, i // SIDE))[3] == 0 else p
                         for i, p in enumerate(palette.getdata())])
        indexed.save(path("pillow.gif"), transparency=63)
        photo().save(path("pillow.jpg"), quality=90)
        photo().convert("L").save(path("pillow_grey.jpg"), quality=90)
        photo().save(path("pillow_progressive.jpg"), quality=85, progressive=True)

        run(CONVERT, path("source.png"), path("magick.ico"))
        run(CONVERT, path("source.png"), "-alpha", "off", "BMP3:" + path("magick3.bmp"))
        run(CONVERT, path("binary.png"), path("magick.gif"))
        run(ICOTOOL, "-c", "-o", path("icotool.ico"), path("source.png"))

        for name in ("pillow.ico", "pillow_bmp.ico", "pillow24.bmp", "pillow8.bmp", "pillow.gif"):
            compare(f"{name} by Pillow, ours against Pillow", read_ours(tool, path(name), work),
                    read_pillow(path(name)))
        for name in ("pillow.jpg", "pillow_grey.jpg", "pillow_progressive.jpg"):
            compare(f"{name} by Pillow, ours against Pillow (within 3)", read_ours(tool, path(name), work),
                    read_pillow(path(name)), tolerance=3)
        for name in ("magick.ico", "magick3.bmp", "magick.gif"):
            compare(f"{name} by ImageMagick, ours against ImageMagick", read_ours(tool, path(name), work),
                    read_magick(path(name)))
        compare("icotool.ico by icotool, ours against icotool", read_ours(tool, path("icotool.ico"), work),
                read_icotool(path("icotool.ico"), work))
        # The writers kept what they were given, so every reader saw the same source.
        compare("pillow.ico against its source", read_pillow(path("pillow.ico")), as_picture(alpha))
        compare("icotool.ico against its source", read_icotool(path("icotool.ico"), work), as_picture(alpha))

        # 3. Icons and cursors of several sizes, read back by every reader.
        if args.convert:
            icon_source().save(path("logo.png"))
            for options, name in ((["--sizes", "16,24,32,48,64,256"], "set.ico"),
                                  (["--sizes", "16,32,48", "--png"], "png.ico"),
                                  (["--sizes", "32,48,64", "--hotspot", "40,21"], "set.cur")):
                run(args.convert, *options, "-o", path(name), path("logo.png"))
                check_icon_set(path(name), args.convert, args.qt_reader, work)

    for failure in failures:
        print("FAIL " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
