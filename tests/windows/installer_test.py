"""The installer and the ZIP of scripts/build-windows, used under Wine as a user would.

The installer installs silently under the 64-bit Program Files, with a Start-menu entry, an
uninstaller and "Open with" entries that take no file type over; the installed converter
writes the Linux converter's bytes, and the installed window starts and closes; the silent
uninstaller removes all of it. The ZIP's converter runs from a folder it is unpacked to.
Under Wine a GUI program's exit status says little, so results are checked, not statuses.

It runs in the Wine prefix of scripts/test-windows and leaves it as it found it: what an
earlier, interrupted run left is uninstalled first, and the values of other programs that the
test gives .png and .jpg, to see them kept, go again with those keys (Wine's prefix has
neither).

Run by Debian's /usr/bin/python3:
  installer_test.py SOURCE_DIR INSTALLER ZIP LINUX_CONVERTER WINE [WINDOW_EXE]
WINDOW_EXE (Zentrova.exe) is given when the package holds the window; starting it needs the
display of scripts/test-windows.
"""

import filecmp
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

EXTENSIONS = (".jpg", ".jpeg", ".gif", ".bmp", ".cur", ".ico", ".png")
PROGID = "Zentrova.Picture"
CLASSES = "HKLM\\Software\\Classes"
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zentrova"
PICTURE = "tests/fuzz/seeds/jpeg/baseline_420.jpg"
# Values of other programs on two file types, which the installer must leave as they are.
# The test adds them, and removes their keys again.
OTHERS = [f"reg add {CLASSES}\\.png /ve /d pngfile /f",
          f"reg add {CLASSES}\\.jpg\\OpenWithProgids /v Other.Picture /t REG_NONE /f"]


class Wine:
    def __init__(self, wine):
        self.wine = wine
        self.prefix = os.environ["WINEPREFIX"]

    def run(self, *args, timeout=120, **kwargs):
        return subprocess.run([self.wine, *args], capture_output=True, timeout=timeout,
                              **kwargs)

    def unix(self, windows_path):
        """C:\\a\\b as this machine sees it."""
        assert windows_path[1:3] == ":\\", windows_path
        return os.path.join(self.prefix, "drive_c", *windows_path[3:].split("\\"))

    def commands(self, *lines):
        """Command lines run by one cmd.exe, which costs less than one Wine start each."""
        return self.run("cmd", "/c", " & ".join(lines), text=True, errors="replace").stdout

    def registry(self, keys):
        """{key path: {value name: (type, data)}} of the keys and those under them, as
        `reg query /s` lists them; a missing key is not listed. No key may hold a space."""
        tree, values = {}, None
        output = self.commands(*(f"reg query {key} /s" for key in keys))
        for line in output.replace("\r", "").splitlines():
            if line.startswith("HKEY_"):
                values = tree.setdefault(line[len("HKEY_LOCAL_MACHINE"):].lower(), {})
            elif line.startswith("    ") and values is not None:
                name, kind, data = (line[4:].split("    ", 2) + ["", ""])[:3]
                values[name] = (kind, data)
            else:
                values = None
        return tree


def watched_keys():
    keys = [CLASSES + "\\" + PROGID, CLASSES + "\\Applications\\Zentrova.exe", UNINSTALL_KEY]
    return keys + [CLASSES + "\\" + extension for extension in EXTENSIONS]


def start_menu(wine, *names):
    """The entries of that name in the Start menu, of all users or of one."""
    found = []
    for top in ("ProgramData", os.path.join("users", "*", "AppData", "Roaming")):
        found += glob.glob(os.path.join(wine.prefix, "drive_c", top, "Microsoft", "Windows",
                                        "Start Menu", "Programs", *names))
    return found


def wait_for(condition, seconds):
    end = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > end:
            return False
        time.sleep(0.1)
    return True


def uninstall(wine, folder):
    """Runs the uninstaller silently; it copies itself away and returns at once, so wait for
    the folder to go."""
    uninstaller = os.path.join(folder, "Uninstall.exe")
    if not os.path.exists(uninstaller):
        return False
    wine.run(uninstaller, "/S")
    return wait_for(lambda: not os.path.exists(folder), 60)


def linux_bytes(linux, source_dir, picture, work):
    out = os.path.join(work, "linux.ico")
    subprocess.run([linux, "-o", out, os.path.join(source_dir, picture)], check=True,
                   capture_output=True)
    with open(out, "rb") as f:
        return f.read()


def converts_alike(wine, converter, source_dir, picture, name, expected, work):
    """The converter under Wine, started from the picture's folder with its bare name."""
    folder = tempfile.mkdtemp(dir=work)
    shutil.copy(os.path.join(source_dir, picture), os.path.join(folder, name))
    wine.run(converter, "-o", "out.ico", name, cwd=folder)
    written = os.path.join(folder, "out.ico")
    if not os.path.exists(written):
        return f"{converter} wrote nothing for {name}"
    with open(written, "rb") as f:
        return None if f.read() == expected else f"{converter} wrote other bytes than Linux"


def window_starts_and_closes(wine, exe):
    """The window appears with its caption and goes away on File > Exit's Ctrl+X."""
    program = subprocess.Popen([wine.wine, exe], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                                "^Zentrova$"], capture_output=True, text=True, timeout=30)
        windows = found.stdout.split()
        if not windows:
            return "the installed Zentrova.exe showed no window captioned Zentrova"
        subprocess.run(["xdotool", "windowactivate", "--sync", windows[0], "key", "ctrl+x"],
                       timeout=30, capture_output=True)
        program.wait(timeout=30)
        gone = subprocess.run(["xdotool", "search", "--name", "^Zentrova$"],
                              capture_output=True, text=True, timeout=30)
        return "the window stayed after Ctrl+X" if gone.stdout.split() else None
    except subprocess.TimeoutExpired:
        return "the installed Zentrova.exe did not show its window, or did not close"
    finally:
        if program.poll() is None:
            program.kill()


def check_installer(wine, source_dir, installer, linux, window, work):
    failures = []
    folder = wine.unix("C:\\Program Files\\Zentrova")
    uninstall(wine, folder)  # what an interrupted run left
    wine.commands(*OTHERS)
    before = wine.registry(watched_keys())

    wine.run(installer, "/S")
    programs = ["zentrova-convert.exe"] + ([window] if window else [])
    for program in programs + ["Uninstall.exe"]:
        if not os.path.isfile(os.path.join(folder, program)):
            failures.append(f"not installed: C:\\Program Files\\Zentrova\\{program}")
    if window:
        if not start_menu(wine, "Zentrova", "Zentrova.lnk"):
            failures.append("no Start-menu entry Zentrova\\Zentrova.lnk")

    installed = wine.registry(watched_keys())

    def values(snapshot, key):
        return snapshot.get(key[len("HKLM"):].lower(), {})

    if "UninstallString" not in values(installed, UNINSTALL_KEY):
        failures.append("no uninstall entry")
    if window:
        command = ("REG_SZ", f'"C:\\Program Files\\Zentrova\\{window}" "%1"')
        application = CLASSES + "\\Applications\\Zentrova.exe"
        for key in (CLASSES + "\\" + PROGID, application):
            if values(installed, key + "\\shell\\open\\command").get("(Default)") != command:
                failures.append(f"{key} does not open {command[1]}")
        supported = values(installed, application + "\\SupportedTypes")
        for extension in EXTENSIONS:
            key = CLASSES + "\\" + extension
            if extension not in supported:
                failures.append(f"Applications\\Zentrova.exe does not support {extension}")
            offered = values(installed, key + "\\OpenWithProgids")
            if set(offered) != set(values(before, key + "\\OpenWithProgids")) | {PROGID}:
                failures.append(f"{extension} offers {sorted(offered)}")
            # No default taken, nothing else of the type's own changed.
            if values(installed, key) != values(before, key):
                failures.append(f"{extension}: {values(before, key)} became "
                                f"{values(installed, key)}")

    expected = linux_bytes(linux, source_dir, PICTURE, work)
    failure = converts_alike(wine, os.path.join(folder, "zentrova-convert.exe"), source_dir,
                             PICTURE, "photo.jpg", expected, work)
    if failure:
        failures.append(failure)
    if window:
        failure = window_starts_and_closes(wine, os.path.join(folder, window))
        if failure:
            failures.append(failure)

    if not uninstall(wine, folder):
        failures.append("the uninstaller left C:\\Program Files\\Zentrova")
    after = wine.registry(watched_keys())
    if after != before:
        changed = sorted(key for key in set(after) | set(before)
                         if after.get(key) != before.get(key))
        failures.append(f"the uninstaller left the registry changed under {changed}")
    if start_menu(wine, "Zentrova"):
        failures.append("the uninstaller left the Start-menu folder")
    return failures


def check_zip(wine, source_dir, archive, linux, work):
    """Unpacked anywhere, the converter runs, on a name beyond any one code page too."""
    folder = os.path.join(work, "unpacked here")
    with zipfile.ZipFile(archive) as z:
        z.extractall(folder)
    converters = glob.glob(os.path.join(folder, "*", "zentrova-convert.exe"))
    if len(converters) != 1:
        return [f"the ZIP holds {len(converters)} zentrova-convert.exe"]
    expected = linux_bytes(linux, source_dir, PICTURE, work)
    failure = converts_alike(wine, converters[0], source_dir, PICTURE,
                             "\u03a9mega-\u00fc.jpg", expected, work)
    return [failure] if failure else []


def main():
    source_dir, installer, archive, linux, wine_command = sys.argv[1:6]
    window = sys.argv[6] if len(sys.argv) > 6 else None
    wine = Wine(wine_command)
    with tempfile.TemporaryDirectory(prefix="zentrova-installer-") as work:
        # What the test adds of others' goes again: the type's key when it had none.
        added = [key for key in (CLASSES + "\\.png", CLASSES + "\\.jpg")
                 if key[len("HKLM"):].lower() not in wine.registry([key])]
        try:
            failures = check_installer(wine, source_dir, installer, linux, window, work)
        finally:
            wine.commands(*(f"reg delete {key} /f" for key in added))
        failures += check_zip(wine, source_dir, archive, linux, work)
    for failure in failures:
        print(failure)
    print(f"installer and ZIP: {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
