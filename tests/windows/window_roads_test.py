"""Zentrova.exe under Wine, driven from outside with xdotool as a user drives it, on the
display scripts/test-windows provides (Xvfb with a window manager).

One run of the program takes every road once: File > Open with a typed name and "Save as..."
with a typed name, for a picture and for an icon, each file written equal byte for byte to
what the Linux converter writes; the message for a missing file; Help > About, the main window
refusing input while it is open and taking it again after OK; "System Info..." with the
registry naming a stand-in program of ours, and without it. A message box's text is read from
Wine's trace of the box (its +msgbox channel), its title from its window.

Run by Debian's /usr/bin/python3:
  window_roads_test.py SOURCE_DIR ZENTROVA_EXE STAND_IN_EXE LINUX_CONVERTER WINE
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

PICTURE = "tests/fuzz/seeds/jpeg/baseline_420.jpg"
MSINFO_KEY = "HKLM\\Software\\Microsoft\\Shared Tools\\MSInfo"
SECONDS = 30  # the longest wait for any window or file


class Failure(Exception):
    pass


def windows_path(path):
    """A path of this machine as a Windows program under Wine names it."""
    return "Z:" + path.replace("/", "\\")


def xdotool(*args, timeout=SECONDS):
    try:
        return subprocess.run(["xdotool", *args], capture_output=True, text=True,
                              timeout=timeout).stdout.split()
    except subprocess.TimeoutExpired:
        return None


def window(title, seconds=SECONDS):
    """The visible window of exactly that title, waited for. A search can end early, empty,
    when another window goes while it looks: it is asked again."""
    end = time.monotonic() + seconds
    while (left := end - time.monotonic()) > 0:
        found = xdotool("search", "--sync", "--onlyvisible", "--name", f"^{title}$",
                        timeout=left)
        if found:
            return found[0]
        time.sleep(0.05)
    raise Failure(f"no window \"{title}\" appeared within {seconds} s")


def gone(title, seconds=SECONDS):
    end = time.monotonic() + seconds
    while xdotool("search", "--onlyvisible", "--name", f"^{title}$"):
        if time.monotonic() > end:
            return False
        time.sleep(0.05)
    return True


def keys(target, *names):
    xdotool("windowactivate", "--sync", target, "key", "--clearmodifiers", *names)


def type_name(dialog, text):
    """Types into a file dialog's name box, over whatever it holds, and presses Enter."""
    keys(dialog, "ctrl+a")
    xdotool("type", "--delay", "0", text)
    xdotool("key", "Return")


def file_written(path, seconds=SECONDS):
    end = time.monotonic() + seconds
    while not os.path.exists(path):
        if time.monotonic() > end:
            return None
        time.sleep(0.05)
    time.sleep(0.2)  # the save puts a whole file in place; let the program finish
    with open(path, "rb") as f:
        return f.read()


class Session:
    def __init__(self, wine, exe, work):
        self.trace_file = os.path.join(work, "trace.txt")
        self.trace = open(self.trace_file, "w")
        env = dict(os.environ, WINEDEBUG="-all,+msgbox")
        self.program = subprocess.Popen([wine, exe], stdout=subprocess.DEVNULL,
                                        stderr=self.trace, env=env)
        self.main = window("Zentrova")

    def message(self, title, text):
        """The message box of that title shows the text; OK closes it."""
        box = window(title)
        end = time.monotonic() + SECONDS
        while f'L"{text}"' not in self.traced().replace("\\\\", "\\"):
            if time.monotonic() > end:
                raise Failure(f"the box \"{title}\" did not say {text!r}: {self.traced()!r}")
            time.sleep(0.05)
        keys(box, "Return")
        if not gone(title):
            raise Failure(f"the box \"{title}\" stayed after OK")

    def traced(self):
        with open(self.trace_file) as f:
            return "".join(line for line in f if "msgbox" in line)

    def open_dialog(self):
        keys(self.main, "alt+f", "o")
        return window("Open...")

    def close(self):
        keys(self.main, "ctrl+x")
        try:
            self.program.wait(timeout=SECONDS)
        except subprocess.TimeoutExpired:
            raise Failure("the window did not end on Ctrl+X")


def convert_road(session, source, name, out_dir, linux, kind):
    """File > Open the source with its typed name, then "Save as..." a typed name."""
    type_name(session.open_dialog(), windows_path(source))
    type_name(window("Save as..."), windows_path(os.path.join(out_dir, name)))
    written = file_written(os.path.join(out_dir, name + kind))
    if written is None:
        raise Failure(f"nothing written for {os.path.basename(source)} as {name}{kind}")
    linux_out = os.path.join(out_dir, "linux-" + name)
    subprocess.run([linux, "-o", linux_out, source], check=True, capture_output=True)
    with open(linux_out + kind, "rb") as f:
        if f.read() != written:
            raise Failure(f"{name}{kind} differs from the Linux converter's")


def click_file_open(target):
    """File > Open by mouse: a click on the menu bar's first item, then its access key. A
    click reaches the window under the pointer, whichever window has the focus."""
    xdotool("mousemove", "--window", target, "12", "8", "click", "1")
    xdotool("key", "o")


def about_refuses_main_input(session):
    """While About is open the main window takes no input; after OK it does."""
    keys(session.main, "F1")
    about = window("About Zentrova...")
    click_file_open(session.main)
    try:
        window("Open...", seconds=1.5)
        raise Failure("the main window opened File > Open while About was open")
    except Failure as failure:
        if "while About" in str(failure):
            raise
    keys(about, "Return")
    if not gone("About Zentrova..."):
        raise Failure("About stayed after OK")
    click_file_open(session.main)  # input taken again
    keys(window("Open..."), "Escape")
    gone("Open...")


def system_info(session, wine, stand_in, work):
    """With the registry naming our stand-in, System Info starts it; without, it says so."""
    tool = os.path.join(work, "stand in", "msinfo.exe")
    os.makedirs(os.path.dirname(tool))
    shutil.copy(stand_in, tool)
    ran = tool + ".ran"
    subprocess.run([wine, "reg", "add", MSINFO_KEY, "/v", "PATH", "/d", windows_path(tool),
                    "/f"], capture_output=True, check=True)
    try:
        keys(session.main, "F1")
        about = window("About Zentrova...")
        keys(about, "alt+s")
        if file_written(ran) is None:
            raise Failure("System Info did not start the program the registry names")
    finally:
        subprocess.run([wine, "reg", "delete", MSINFO_KEY, "/v", "PATH", "/f"],
                       capture_output=True)
    keys(about, "alt+s")
    session.message("Error", "Failed to start System Information!")
    keys(about, "Escape")
    if not gone("About Zentrova..."):
        raise Failure("About stayed after Escape")


def main():
    source_dir, exe, stand_in, linux, wine = sys.argv[1:6]
    with tempfile.TemporaryDirectory(prefix="zentrova-roads-") as work:
        out_dir = os.path.join(work, "out")
        os.makedirs(out_dir)
        picture = os.path.join(work, "photo.jpg")
        shutil.copy(os.path.join(source_dir, PICTURE), picture)
        icon = os.path.join(work, "app.ico")
        subprocess.run([linux, "-o", icon, picture], check=True, capture_output=True)
        session = Session(wine, exe, work)
        try:
            convert_road(session, picture, "picture", out_dir, linux, ".ICO")
            convert_road(session, icon, "icon", out_dir, linux, ".BMP")
            missing = windows_path(os.path.join(work, "nowhere.jpg"))
            type_name(session.open_dialog(), missing)
            session.message("Error", f"File {missing} does not exist!")
            about_refuses_main_input(session)
            system_info(session, wine, stand_in, work)
            session.close()
        except Failure as failure:
            print(failure)
            if session.program.poll() is None:
                session.program.kill()
            return 1
    print("every road of the window gave what the Linux program gives")
    return 0


if __name__ == "__main__":
    sys.exit(main())
