#!/usr/bin/env python3
"""Times Zentrova's two roads on large pictures against ImageMagick and plain-library floors.

Each program runs as its own process, side by side in one run: every round runs every job of a
picture once, in an order that turns each round, after one untimed round that warms the file
cache for all alike. zentrova-bench-measure runs each one and reports its wall time and its
maximum resident set (getrusage, through wait4). Medians over the rounds are reported, with the
ratios the targets name. scripts/bench builds the programs and runs this.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
from pathlib import Path

PICTURES = [
    # (label, file, kind)
    ("64 x 64 JPEG", "baseline-64px.jpg", "small"),
    ("24 MP baseline JPEG", "baseline-24mp.jpg", "jpeg"),
    ("100 MP baseline JPEG", "baseline-100mp.jpg", "jpeg"),
    ("24 MP progressive JPEG", "progressive-24mp.jpg", "progressive"),
    ("100 MP progressive JPEG", "progressive-100mp.jpg", "progressive"),
    ("24 MP progressive arithmetic-coded JPEG", "arithmetic-24mp.jpg", "progressive"),
    ("24 MP GIF", "picture-24mp.gif", "gif"),
    ("24 MP 24-bit BMP", "picture-24mp.bmp", "bmp"),
]

CONVERT = "zentrova-convert"
WINDOW = "window road (overview painted)"
CONVERT_BEFORE = "zentrova-convert, earlier revision"
WINDOW_BEFORE = "window road, earlier revision"
MAGICK = "ImageMagick convert -crop 32x32+0+0"
ICON_SIZES = "256,64,48,32,24,16"
ICON_SET = "zentrova-convert --sizes 16,24,32,48,64,256"
MAGICK_ICON_SET = "ImageMagick convert -define icon:auto-resize=" + ICON_SIZES
FLOOR_CROP = "floor: libjpeg top-left crop"
FLOOR_OVERVIEW = "floor: libjpeg crop + 1/8 overview"
FLOOR_ONE_PASS = "floor: libjpeg one pass, crop + overview"
FLOOR_DC_EIGHTH = "floor: libjpeg 1/8 of the DC scans (the overview alone)"
FLOOR_GIF_TOP = "floor: giflib top rows"
FLOOR_GIF_WHOLE = "floor: giflib whole frame (overview)"
FLOOR_BMP_TOP = "floor: seek to the top rows"
STARTUP = "window: start to first paint"
BARE = "bare Qt window: start to first paint"


class Job:
    def __init__(self, name, argv, env=None):
        self.name = name
        self.argv = [str(a) for a in argv]
        self.env = env
        self.walls = []
        self.peaks = []  # bytes
        self.notes = []  # the window road's own timings

    def run(self, measure, record):
        with tempfile.TemporaryFile() as err:
            done = subprocess.run([measure] + self.argv, stdout=subprocess.PIPE, stderr=err,
                                  env=self.env, text=True)
            err.seek(0)
            text = err.read().decode(errors="replace")
        if done.returncode != 0:
            sys.exit(f"{self.name} failed ({done.returncode}): {' '.join(self.argv)}\n{text}")
        if record:
            wall, kilobytes = done.stdout.split()
            self.walls.append(float(wall))
            self.peaks.append(int(kilobytes) * 1024)
            for line in text.splitlines():
                if line.startswith("first_paint"):
                    values = line.split()
                    self.notes.append({values[i]: float(values[i + 1]) for i in range(0, len(values), 2)})

    def wall(self):
        return statistics.median(self.walls)

    def peak(self):
        return statistics.median(self.peaks)


def jobs_for(kind, picture, tools, out):
    offscreen = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    jobs = [
        Job(CONVERT, [tools["convert"], "-o", out / "convert.ico", picture]),
        Job(WINDOW, [tools["window"], picture, out / "window.ico"], offscreen),
    ]
    magick = tools["magick"]
    if magick:
        jobs.append(Job(MAGICK, [magick, picture, "-crop", "32x32+0+0", "+repage", out / "magick.ico"]))
    # Icons of six sizes from the whole picture, against ImageMagick making the same.
    if kind in ("jpeg", "progressive"):
        jobs.append(Job(ICON_SET, [tools["convert"], "--sizes", ICON_SIZES, "-o", out / "set.ico", picture]))
        if magick:
            jobs.append(Job(MAGICK_ICON_SET, [magick, picture, "-define", "icon:auto-resize=" + ICON_SIZES,
                                              out / "magick-set.ico"]))
    if "before_convert" in tools:
        jobs.append(Job(CONVERT_BEFORE, [tools["before_convert"], "-o", out / "before.ico", picture]))
        jobs.append(Job(WINDOW_BEFORE, [tools["before_window"], picture, out / "before-window.ico"],
                        offscreen))
    floor = tools["floor_jpeg"]
    if kind in ("jpeg", "progressive"):
        jobs.append(Job(FLOOR_CROP, [floor, "crop", picture, out / "floor"]))
        jobs.append(Job(FLOOR_OVERVIEW, [floor, "overview", picture, out / "floor"]))
    if kind == "progressive":
        jobs.append(Job(FLOOR_ONE_PASS, [floor, "one-pass", picture, out / "floor"]))
        jobs.append(Job(FLOOR_DC_EIGHTH, [floor, "dc-eighth", picture, out / "floor"]))
    if kind == "gif":
        jobs.append(Job(FLOOR_GIF_TOP, [tools["floor_gif_bmp"], "gif-top", picture, out / "floor"]))
        jobs.append(Job(FLOOR_GIF_WHOLE, [tools["floor_gif_bmp"], "gif-whole", picture, out / "floor"]))
    if kind == "bmp":
        jobs.append(Job(FLOOR_BMP_TOP, [tools["floor_gif_bmp"], "bmp-top", picture, out / "floor"]))
    return jobs


def build_revision(revision, scratch):
    """The earlier revision's converter and window road, exported from git and built once."""
    commit = subprocess.run(["git", "rev-parse", "--short", revision], check=True, text=True,
                            stdout=subprocess.PIPE).stdout.strip()
    root = scratch / f"revision-{commit}"
    source, build = root / "source", root / "build"
    if not (source / "CMakeLists.txt").exists():
        source.mkdir(parents=True, exist_ok=True)
        archive = subprocess.Popen(["git", "archive", commit], stdout=subprocess.PIPE)
        subprocess.run(["tar", "-x", "-C", source], stdin=archive.stdout, check=True)
        if archive.wait() != 0:
            sys.exit(f"git archive {commit} failed")
    subprocess.run(["cmake", "-S", source, "-B", build, "-G", "Ninja",
                    "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DZENTROVA_BENCH=ON",
                    "-DZENTROVA_TESTS=OFF"], check=True, stdout=sys.stderr)
    subprocess.run(["cmake", "--build", build, "-j2", "--target", "zentrova-convert",
                    "zentrova-bench-window"], check=True, stdout=sys.stderr)
    return commit, build / "app" / "zentrova-convert", build / "bench" / "zentrova-bench-window"


def seconds(value):
    return f"{value:.3f} s" if value >= 0.01 else f"{value * 1000:.1f} ms"


def megabytes(value):
    return f"{value / 1e6:.1f} MB"  # 10^6 bytes, as the targets count


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True, type=Path, help="the build folder with the programs")
    parser.add_argument("--scratch", type=Path,
                        default=Path(tempfile.gettempdir()) / "zentrova-bench",
                        help="where the pictures are made and kept (default: %(default)s)")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--magick", default="/usr/bin/convert" if Path("/usr/bin/convert").exists()
                        else shutil.which("convert"),
                        help="ImageMagick's convert; without it its rows and ratios are left out")
    parser.add_argument("--only", action="append", help="only pictures whose file name holds this")
    parser.add_argument("--before", metavar="REVISION",
                        help="also time this git revision's converter and window road, side by side")
    args = parser.parse_args()

    build = args.build.resolve()
    tools = {
        "convert": build / "app" / "zentrova-convert",
        "window": build / "bench" / "zentrova-bench-window",
        "bare": build / "bench" / "zentrova-bench-bare-window",
        "floor_jpeg": build / "bench" / "zentrova-floor-jpeg",
        "floor_gif_bmp": build / "bench" / "zentrova-floor-gif-bmp",
        "pictures": build / "bench" / "zentrova-bench-pictures",
        "measure": build / "bench" / "zentrova-bench-measure",
        "magick": args.magick,
    }
    if not tools["magick"] or not Path(tools["magick"]).exists():
        print("ImageMagick's convert is missing: its rows and ratios are left out", file=sys.stderr)
        tools["magick"] = None
    for name, path in tools.items():
        if name != "magick" and (not path or not Path(path).exists()):
            sys.exit(f"missing {name}: {path}")

    args.scratch.mkdir(parents=True, exist_ok=True)
    if args.before:
        revision, tools["before_convert"], tools["before_window"] = build_revision(args.before,
                                                                                 args.scratch)
        print(f"earlier revision: {revision}", file=sys.stderr)
    subprocess.run([tools["pictures"], args.scratch], check=True)
    out = args.scratch / "out"
    out.mkdir(exist_ok=True)

    pictures = [p for p in PICTURES if not args.only or any(o in p[1] for o in args.only)]
    table = []  # (label, jobs)
    for label, file, kind in pictures:
        table.append((label, jobs_for(kind, args.scratch / file, tools, out)))
    offscreen = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    startup = [Job(STARTUP, [tools["window"]], offscreen), Job(BARE, [tools["bare"]], offscreen)]
    table.append(("Start-up", startup))

    for round_number in range(args.rounds + 1):
        record = round_number > 0
        print(f"round {round_number} of {args.rounds}" + ("" if record else " (warming up, not counted)"),
              file=sys.stderr, flush=True)
        for _, jobs in table:
            turn = round_number % len(jobs)
            for job in jobs[turn:] + jobs[:turn]:
                job.run(tools["measure"], record)

    print_report(table, args.rounds)


def find(table, label, name):
    for row_label, jobs in table:
        if row_label == label:
            for job in jobs:
                if job.name == name:
                    return job
    return None


def print_report(table, rounds):
    print(f"\nMedians of {rounds} alternating rounds; wall time of the whole process, peak resident memory.\n")
    for label, jobs in table:
        magick = next((j for j in jobs if j.name == MAGICK), None)
        magick_set = next((j for j in jobs if j.name == MAGICK_ICON_SET), None)
        print(f"### {label}\n")
        print("| job | wall | peak memory | ImageMagick's wall / this |")
        print("|---|---|---|---|")
        for job in jobs:
            # An icon set is held to ImageMagick making the same set.
            against = magick_set if job.name in (ICON_SET, MAGICK_ICON_SET) else magick
            ratio = f"{against.wall() / job.wall():.1f}x" if against else ""
            print(f"| {job.name} | {seconds(job.wall())} | {megabytes(job.peak())} | {ratio} |")
            if job.notes:
                parts = []
                for key in ("first_paint", "save_dialog", "icon_written", "overview_painted"):
                    values = [n[key] for n in job.notes if n.get(key, -1) >= 0]
                    if values:
                        parts.append(f"{key.replace('_', ' ')} {seconds(statistics.median(values))}")
                print(f"| &nbsp;&nbsp;from main(): {', '.join(parts)} | | | |")
        print()

    checks = []

    def check(text, value, limit, at_most):
        if value is None:
            checks.append(f"- {text}: not measured (ImageMagick is missing)")
            return
        ok = value <= limit if at_most else value >= limit
        checks.append(f"- {text}: {value:.2f} ({'at most' if at_most else 'at least'} {limit}) "
                      f"{'met' if ok else 'MISSED'}")

    def ratio(label, over, under):
        a, b = find(table, label, over), find(table, label, under)
        return a.wall() / b.wall() if a and b else None

    bare = find(table, "Start-up", BARE)
    b24 = "24 MP baseline JPEG"
    if find(table, b24, CONVERT):
        check("24 MP baseline, zentrova-convert, times faster than ImageMagick", ratio(b24, MAGICK, CONVERT), 50, False)
        check("24 MP baseline, zentrova-convert, peak MB", find(table, b24, CONVERT).peak() / 1e6, 16, True)
        check("24 MP baseline, window road, times faster than ImageMagick", ratio(b24, MAGICK, WINDOW), 3.5, False)
        floor = bare.wall() + find(table, b24, FLOOR_OVERVIEW).wall()
        check("24 MP baseline, window road / (bare Qt start + crop-and-overview floor)",
              find(table, b24, WINDOW).wall() / floor, 1.3, True)
    if find(table, b24, ICON_SET):
        check("24 MP baseline, six-size icon, times faster than ImageMagick's",
              ratio(b24, MAGICK_ICON_SET, ICON_SET), 10, False)
        check("24 MP baseline, six-size icon, peak MB", find(table, b24, ICON_SET).peak() / 1e6, 64, True)
    b100 = "100 MP baseline JPEG"
    if find(table, b100, CONVERT):
        check("100 MP baseline, zentrova-convert, peak MB", find(table, b100, CONVERT).peak() / 1e6, 32, True)
        check("100 MP baseline, window road, peak MB", find(table, b100, WINDOW).peak() / 1e6, 32, True)
    p24 = "24 MP progressive JPEG"
    if find(table, p24, CONVERT):
        check("24 MP progressive, zentrova-convert, times faster than ImageMagick", ratio(p24, MAGICK, CONVERT), 10, False)
        check("24 MP progressive, zentrova-convert, peak MB", find(table, p24, CONVERT).peak() / 1e6, 16, True)
        check("24 MP progressive, window road, times faster than ImageMagick", ratio(p24, MAGICK, WINDOW), 8, False)
        check("24 MP progressive, window road, peak MB", find(table, p24, WINDOW).peak() / 1e6, 40, True)
        small = find(table, "64 x 64 JPEG", WINDOW)
        if small:
            def save_dialog(job):
                return statistics.median(n["save_dialog"] for n in job.notes)
            check("24 MP progressive, start to the Save dialog / the same for a 64 x 64 JPEG",
                  save_dialog(find(table, p24, WINDOW)) / save_dialog(small), 2, True)
    p100 = "100 MP progressive JPEG"
    if find(table, p100, CONVERT):
        check("100 MP progressive, zentrova-convert, peak MB", find(table, p100, CONVERT).peak() / 1e6, 32, True)
        check("100 MP progressive, window road, peak MB", find(table, p100, WINDOW).peak() / 1e6, 40, True)
    # No slower and no larger than the earlier revision, within a tenth for the noise of a
    # shared machine.
    for label, jobs in table:
        for now, before in ((CONVERT, CONVERT_BEFORE), (WINDOW, WINDOW_BEFORE)):
            a, b = find(table, label, now), find(table, label, before)
            if a and b:
                check(f"{label}, {now}, wall / earlier revision's", a.wall() / b.wall(), 1.1, True)
                check(f"{label}, {now}, peak / earlier revision's", a.peak() / b.peak(), 1.1, True)
    check("start to first paint, window / bare Qt window", find(table, "Start-up", STARTUP).wall() / bare.wall(), 1.5, True)
    print("### Targets\n")
    print("\n".join(checks))


if __name__ == "__main__":
    main()
