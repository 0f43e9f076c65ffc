"""zentrova-convert.exe under Wine writes, byte for byte, what the Linux converter writes.

Every picture and icon of tests/corpora and tests/data goes through both converters at every
size of the Size menu, and as icons and cursors of several sizes. For each input both must
write the same bytes under the same name, or both refuse it with the same message; each batch must end with the same exit status. The .exe
runs from a folder of its own, with nothing beside it: no DLL but the system's.

Run by Debian's /usr/bin/python3:
  same_bytes_test.py SOURCE_DIR LINUX_CONVERTER WINDOWS_CONVERTER WINE
"""

import os
import shutil
import subprocess
import sys
import tempfile

# The Size menu's entries, then icon sets: scaled in floating point, where two compilers could
# round differently.
VARIANTS = [["--size", str(size)] for size in (16, 24, 32, 48, 64)] + [
    ["--sizes", "windows"],
    ["--cursor", "--sizes", "16,48", "--hotspot", "40,7", "--key"],
]
PICTURES = (".jpg", ".jpeg", ".gif", ".bmp", ".png", ".ico", ".cur")


def inputs(source_dir):
    found = []
    for top in ("tests/corpora", "tests/data"):
        for folder, _, names in os.walk(os.path.join(source_dir, top)):
            for name in names:
                if name.lower().endswith(PICTURES):
                    found.append(os.path.relpath(os.path.join(folder, name), source_dir))
    return sorted(found)


def batches(paths):
    """Batches in which no two inputs have the same name, which the converter offers with .ICO
    or .BMP added, so that one folder holds each batch's outputs."""
    result = []
    for path in paths:
        stem = os.path.basename(path).lower()
        for stems, batch in result:
            if stem not in stems:
                break
        else:
            stems, batch = set(), []
            result.append((stems, batch))
        stems.add(stem)
        batch.append(path)
    return [batch for _, batch in result]


def convert(command, source_dir, options, out_dir, batch):
    """Runs one converter over the batch from the source folder; returns its exit status,
    the inputs it wrote, and each message line, paths written the same way on both sides."""
    os.makedirs(out_dir)
    run = subprocess.run(command + options + ["-d", out_dir, "--"] + batch,
                         cwd=source_dir, capture_output=True, text=True, errors="replace")

    def plain(text):
        # Wine shows this machine's folders on drive Z:, with "\\" between names.
        text = text.replace("\\", "/").replace("Z:/", "/")
        return text.replace(out_dir + "/", "OUT/")

    written = sorted(plain(line) for line in run.stdout.splitlines())
    # Wine's own remarks on its prefix are not the converter's.
    messages = [plain(line) for line in run.stderr.splitlines() if line.startswith("zentrova")]
    return run.returncode, written, messages


def compare(source_dir, linux, windows, work):
    failures = []
    written_total = 0
    paths = inputs(source_dir)
    groups = batches(paths)
    # The small files that claim huge pictures are for the bounds; as icon sets they cost a
    # whole picture's work each.
    sets = batches([path for path in paths if "regressions/bombs" not in path])
    for variant, options in enumerate(VARIANTS):
        for number, batch in enumerate(groups if options[0] == "--size" else sets):
            name = f"{variant}-{number}"
            linux_dir = os.path.join(work, "linux", name)
            windows_dir = os.path.join(work, "windows", name)
            l_status, l_written, l_messages = convert(linux, source_dir, options, linux_dir, batch)
            w_status, w_written, w_messages = convert(windows, source_dir, options,
                                                      windows_dir, batch)
            where = f"{' '.join(options)}, batch {number}"
            if l_status != w_status:
                failures.append(f"{where}: exit status {l_status} on Linux, {w_status} on Windows")
            if l_written != w_written:
                failures.append(f"{where}: written on Linux {l_written}, on Windows {w_written}")
            if l_messages != w_messages:
                failures.append(f"{where}: messages differ:\n  Linux:   "
                                + "\n           ".join(l_messages) + "\n  Windows: "
                                + "\n           ".join(w_messages))
            names = sorted(os.listdir(linux_dir))
            if names != sorted(os.listdir(windows_dir)):
                failures.append(f"{where}: files {names} on Linux, "
                                f"{sorted(os.listdir(windows_dir))} on Windows")
            for file_name in names:
                linux_file = os.path.join(linux_dir, file_name)
                windows_file = os.path.join(windows_dir, file_name)
                if not os.path.exists(windows_file):
                    continue
                with open(linux_file, "rb") as a, open(windows_file, "rb") as b:
                    if a.read() != b.read():
                        failures.append(f"{where}: {file_name} differs")
            written_total += len(names)
    return paths, written_total, failures


def main():
    source_dir, linux_converter, windows_converter, wine = sys.argv[1:5]
    with tempfile.TemporaryDirectory(prefix="zentrova-same-bytes-") as work:
        # From a bare folder: the program finds no DLL of the build beside it.
        bare = os.path.join(work, "bare")
        os.makedirs(bare)
        shutil.copy(windows_converter, bare)
        windows = [wine, os.path.join(bare, os.path.basename(windows_converter))]
        paths, written, failures = compare(source_dir, [linux_converter], windows, work)
    for failure in failures:
        print(failure)
    print(f"{len(paths)} inputs in {len(VARIANTS)} ways: {written} files written by each side, "
          f"{len(failures)} differences")
    # Most inputs are valid pictures: a run that writes few files has not tested much.
    if written < len(paths) * len(VARIANTS) // 2:
        print("too few files were written for the comparison to mean anything")
        return 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
