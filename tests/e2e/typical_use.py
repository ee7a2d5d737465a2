#!/usr/bin/env python3
"""A person's first notebook, from nothing to a file and back, in the real program.

Starts its own X server (Xvfb) with a window manager (openbox), so that the main window has a
frame and a title bar as on a desktop. It first starts and closes the program four times
without touching the window: the frame must stand at the stored place each time and the
stored values must not change; then once more, moving and sizing the window, which must come
back there. Then it starts the mossleaf binary given on the command line and works
the window with xdotool as a person would: right-click in the tree, "新規作成" in the popup,
a Japanese title and Enter, a click on the new node, a body typed into the text pane, Save As
through the File menu and the file dialog, Close. It then starts the program again with the
saved file, finds the node where it was, adds to its body and saves again. With --stall the
program is stopped for that many seconds each time one of its windows appears, as on a busy
machine, while the test goes on.

Every wait polls for something that can be seen (a window, a change on the screen, the
bytes of a file, the end of a process) until a deadline. Exit 77 means the X tools are missing.
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

DEADLINE = 20.0
TITLE = "日記 Diary"
FIRST_BODY = ("Hello body 本文", "line two")
ADDED = " more"
# Typed to see that a field takes input; wide letters, so that it shows at a glance.
PROBE = "MMMMMMMM"


class Failure(Exception):
    pass


def wait_for(what, probe, timeout=DEADLINE, interval=0.05):
    end = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > end:
            raise Failure(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


def record(title, parent, number, body_lines):
    header = f"<**********>, {number} , {parent} ,{title}\r\n"
    return (header + "".join(line + "\r\n" for line in body_lines)).encode("cp932")


class Session:
    def __init__(self, binary, stall=0.0):
        self.binary = binary
        self.stall = stall
        self.tmp = tempfile.mkdtemp(prefix="mossleaf-e2e-")
        home = os.path.join(self.tmp, "home")
        runtime = os.path.join(self.tmp, "runtime")
        os.makedirs(home)
        os.makedirs(runtime, mode=0o700)
        self.env = dict(os.environ)
        for name in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XAUTHORITY", "SESSION_MANAGER"):
            self.env.pop(name, None)
        self.env.update(HOME=home, XDG_RUNTIME_DIR=runtime,
                        XDG_CONFIG_HOME=os.path.join(home, "config"),
                        XDG_DATA_HOME=os.path.join(home, "data"),
                        XDG_CACHE_HOME=os.path.join(home, "cache"),
                        LANG="C.UTF-8", QT_QPA_PLATFORM="xcb")
        self.xvfb = None
        self.wm = None
        self.app = None
        self.main = None
        self.known = set()

    # --- processes --------------------------------------------------------------------------

    def start_display(self):
        for number in range(90, 130):
            if os.path.exists(f"/tmp/.X{number}-lock") or \
                    os.path.exists(f"/tmp/.X11-unix/X{number}"):
                continue
            log = open(os.path.join(self.tmp, f"xvfb{number}.log"), "wb")
            proc = subprocess.Popen(
                ["Xvfb", f":{number}", "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                 "-noreset"],
                stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
            self.env["DISPLAY"] = f":{number}"
            # Another server may take the number between the check and the start (helpers
            # and other tests run side by side): the lock file says whose display it is.
            try:
                wait_for(f"Xvfb on :{number}",
                         lambda: proc.poll() is not None or
                         (self.lock_owner(number) == proc.pid and self.display_answers()),
                         timeout=10)
            except Failure:
                self.stop(proc)
                raise
            if proc.poll() is None:
                self.xvfb = proc
                self.start_window_manager()
                return
        raise Failure("no free display number between :90 and :129")

    def start_window_manager(self):
        log = open(os.path.join(self.tmp, "openbox.log"), "wb")
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env, stdout=log,
                                   stderr=subprocess.STDOUT, start_new_session=True)
        # A window manager announces itself on the root window once it manages the screen.
        wait_for("openbox to manage the screen", lambda: self.wm.poll() is None and
                 "window id #" in subprocess.run(
                     ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env,
                     capture_output=True, text=True).stdout, timeout=10)

    @staticmethod
    def lock_owner(number):
        try:
            with open(f"/tmp/.X{number}-lock") as lock:
                return int(lock.read().strip() or 0)
        except (OSError, ValueError):
            return None

    def display_answers(self):
        return subprocess.run(["xdotool", "getdisplaygeometry"], env=self.env,
                              capture_output=True).returncode == 0

    def map_characters(self, text):
        """Gives every non-ASCII character of `text` a key of its own in the server's keymap.

        xdotool otherwise borrows one spare key for each such character and takes it back at
        once, and a program that reads the key after that finds nothing (characters go
        missing now and then). Keys that stay mapped make typing them as steady as ASCII.
        """
        wanted = sorted({c for c in text if ord(c) > 0x7F})
        if not wanted:
            return
        keymap = subprocess.run(["xkbcomp", "-xkb", self.env["DISPLAY"], "-"], env=self.env,
                                capture_output=True, text=True, check=True).stdout
        codes_at = keymap.index("xkb_keycodes")
        codes = re.findall(r"<([A-Za-z0-9+\-]+)>\s*=\s*(\d+);",
                           keymap[codes_at:keymap.index("\n};", codes_at)])
        symbols_at = keymap.index("xkb_symbols")
        symbols_end = keymap.index("\n};", symbols_at)
        bound = set(re.findall(r"key\s+<([A-Za-z0-9+\-]+)>", keymap[symbols_at:symbols_end]))
        spare = [name for name, code in codes if name not in bound and 8 < int(code) < 256]
        if len(spare) < len(wanted):
            raise Failure(f"{len(wanted)} characters to map, {len(spare)} spare keys")
        keys = "".join(f"    key <{name}> {{ [ U{ord(c):04X} ] }};\n"
                       for name, c in zip(spare, wanted))
        keymap = keymap[:symbols_end] + "\n" + keys + keymap[symbols_end:]
        subprocess.run(["xkbcomp", "-w", "0", "-", self.env["DISPLAY"]], input=keymap,
                       env=self.env, capture_output=True, text=True, check=True)

    def start_app(self, *args):
        log = open(os.path.join(self.tmp, "mossleaf.log"), "ab")
        self.app = subprocess.Popen([self.binary, *args], env=self.env, stdout=log,
                                    stderr=subprocess.STDOUT, start_new_session=True)
        self.main = wait_for("the main window", self.main_window)
        self.known = {self.main}

    def main_window(self):
        if self.app.poll() is not None:
            raise Failure(f"mossleaf ended early with status {self.app.returncode}")
        ids = self.windows("^Mossleaf$")
        return ids[0] if len(ids) == 1 else None

    def wait_app_end(self):
        wait_for("mossleaf to end", lambda: self.app.poll() is not None)
        if self.app.returncode != 0:
            raise Failure(f"mossleaf ended with status {self.app.returncode}")
        self.app = None

    @staticmethod
    def stop(proc):
        if proc is None or proc.poll() is not None:
            return
        proc.terminate()
        try:
            proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()

    def close(self):
        self.stop(self.app)
        self.stop(self.wm)
        self.stop(self.xvfb)
        shutil.rmtree(self.tmp, ignore_errors=True)

    # --- X ----------------------------------------------------------------------------------

    def xdo(self, *args):
        done = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True)
        if done.returncode != 0 and args[0] != "search":
            raise Failure(f"xdotool {' '.join(args)}: {done.stderr.strip()}")
        return done.stdout

    def windows(self, name):
        return [int(w) for w in self.xdo("search", "--onlyvisible", "--name", name).split()]

    def xwininfo(self, *args):
        done = subprocess.run(["xwininfo", *args], env=self.env, capture_output=True, text=True)
        if done.returncode != 0:
            raise Failure(f"xwininfo {' '.join(args)}: {done.stderr.strip()}")
        return done.stdout

    def geometry(self, window):
        """Left, top, width and height of a window on the screen. (xdotool's own answer is
        off by the frame for a window that a window manager has framed.)"""
        info = self.xwininfo("-id", str(window))

        def field(name):
            return int(re.search(name + r":\s+(-?\d+)", info).group(1))
        return (field("Absolute upper-left X"), field("Absolute upper-left Y"),
                field("Width"), field("Height"))

    def frame(self, window):
        """The window manager's frame around a top-level window (title bar included)."""
        parent = re.search(r"Parent window id: (0x[0-9a-f]+)",
                           self.xwininfo("-tree", "-id", str(window))).group(1)
        if "(the root window)" in self.xwininfo("-id", parent).splitlines()[1]:
            raise Failure("the main window has no frame: is the window manager running?")
        return self.geometry(int(parent, 16))

    @staticmethod
    def twips_per_pixel():
        # As the program reckons: 1440 twips per logical inch. Qt takes the logical DPI of an
        # X screen from the Xft.dpi resource, which this server does not set: 96.
        return 1440 / 96

    def stored_geometry(self):
        path = os.path.join(self.env["XDG_CONFIG_HOME"], "Mossleaf", "Mossleaf.conf")
        with open(path, encoding="utf-8") as conf:
            text = conf.read()
        return tuple(int(re.search(rf"^{key}=(-?\d+)$", text, re.M).group(1))
                     for key in ("MainLeft", "MainTop", "MainWidth", "MainHeight"))

    def settled_frame(self, what, expected=None):
        """The main window's frame once it stands still (and is `expected`, when given)."""
        seen = []

        def probe():
            # Until the window manager has framed the window its parent has the window's size,
            # and the program has yet to put the frame in place: on a busy machine for long.
            frame = self.frame(self.main)
            seen.append(frame if frame[2:] != self.geometry(self.main)[2:] else "not framed")
            if len(seen) < 4 or len(set(seen[-4:])) != 1 or seen[-1] == "not framed":
                return None
            return seen[-1] if expected is None or seen[-1] == expected else None
        try:
            return wait_for(what, probe, interval=0.1)
        except Failure:
            raise Failure(f"{what}: the frame stands at {seen[-1]}, wanted {expected}")

    def click_in(self, window, x, y, button=1):
        self.xdo("mousemove", "--window", str(window), str(x), str(y), "click", str(button))

    def point_at(self, window):
        x, y, w, h = self.geometry(window)
        self.xdo("mousemove", str(x + w // 2), str(y + h // 2))

    def type(self, text):
        self.xdo("type", "--delay", "25", text)

    def key(self, *keys):
        self.xdo("key", "--delay", "25", *keys)

    def app_windows(self):
        # Menus carry the program's class but not always its name.
        ids = self.xdo("search", "--onlyvisible", "--class", "^mossleaf$").split()
        return [int(w) for w in ids]

    def new_window(self, what, name=None):
        """Waits for a window of the program other than the main window to open."""
        def probe():
            for window in self.app_windows():
                if window in self.known:
                    continue
                if name is None or self.xdo("getwindowname", str(window)).strip() == name:
                    return window
            return None
        window = wait_for(what, probe)
        if self.stall:
            self.hold_app(self.stall)
        return window

    def hold_app(self, seconds):
        """Stops the program for a while, as a busy machine does right when a window has
        appeared: the window is on the screen, but the program has not yet taken the keys."""
        pid = self.app.pid

        def resume():
            try:
                os.kill(pid, signal.SIGCONT)
            except ProcessLookupError:
                pass
        os.kill(pid, signal.SIGSTOP)
        timer = threading.Timer(seconds, resume)
        timer.daemon = True
        timer.start()

    def new_popup(self):
        return self.new_window("a popup menu")

    def focused_window(self):
        done = subprocess.run(["xdotool", "getwindowfocus", "-f"], env=self.env,
                              capture_output=True, text=True)
        return int(done.stdout) if done.returncode == 0 and done.stdout.strip() else None

    def wait_for_typing(self, window, what, field):
        """Waits until keys typed now reach the text field `field` (left, top, width,
        height) of `window`, and leaves the field's text selected.

        A window is visible before it has the keyboard: keys typed in between go to the
        window that still has it, and are lost (often, on a busy machine). So wait for the
        keyboard focus, then type a probe and wait to see it in the field.
        """
        wait_for(f"the keyboard focus on {what}", lambda: self.focused_window() == window)
        before = self.row_profile(window, *field)
        self.type(PROBE)
        wait_for(f"the typed probe in {what}",
                 lambda: changed_band(before, self.row_profile(window, *field), field[3]))
        self.key("ctrl+a")

    def wait_closed(self, window, what):
        wait_for(f"{what} to close", lambda: window not in self.app_windows())

    def menu_bar_file(self):
        # "ﾌｧｲﾙ(&F)" is the first title of the menu bar, at the window's top left.
        self.click_in(self.main, 25, 8)
        return self.new_popup()

    # --- the screen -------------------------------------------------------------------------

    def row_profile(self, window, left, top, width, height):
        """Mean grey level of each pixel row of a rectangle of the window."""
        shot = subprocess.run(["/usr/bin/import", "-window", str(window), "png:-"],
                              env=self.env, capture_output=True)
        if shot.returncode != 0:
            raise Failure("import: " + shot.stderr.decode(errors="replace"))
        text = subprocess.run(
            ["/usr/bin/convert", "png:-", "-crop", f"{width}x{height}+{left}+{top}", "+repage",
             "-colorspace", "Gray", "-scale", f"1x{height}!", "-depth", "8", "txt:-"],
            input=shot.stdout, capture_output=True, check=True).stdout.decode()
        rows = []
        for line in text.splitlines():
            if line.startswith("#"):
                continue
            rows.append(int(line.rsplit("gray(", 1)[1].split(")")[0].split(".")[0]))
        return rows


def changed_band(before, after, limit):
    """First run of rows (above `limit`) that differ between two profiles."""
    start = None
    for y in range(min(len(before), len(after), limit)):
        differs = abs(before[y] - after[y]) > 8
        if differs and start is None:
            start = y
        elif not differs and start is not None:
            return start, y
    return None


def wait_file(path, expected):
    def probe():
        try:
            with open(path, "rb") as f:
                return f.read() == expected
        except OSError:
            return False
    try:
        wait_for(f"{path} to hold the expected bytes", probe)
    except Failure:
        actual = open(path, "rb").read() if os.path.exists(path) else None
        raise Failure(f"{path}: expected {expected!r}, found {actual!r}")


def close_by_menu(s):
    s.menu_bar_file()
    s.key("c")  # "閉じる(&C)"
    s.wait_app_end()


def window_stays_put(s):
    """Four starts without touching the window, then one that moves and sizes it."""
    tpp = s.twips_per_pixel()
    defaults = (1000, 1000, 6500, 6500)
    wanted = tuple(round(value / tpp) for value in defaults)
    for start in range(4):
        s.start_app()
        s.settled_frame(f"start {start + 1}: the frame at the stored place", wanted)
        close_by_menu(s)
        if s.stored_geometry() != defaults:
            raise Failure(f"start {start + 1} stored {s.stored_geometry()}, not {defaults}")

    s.start_app()
    s.settled_frame("the frame at the stored place before moving it", wanted)
    s.xdo("windowmove", str(s.main), "210", "140")
    s.xdo("windowsize", str(s.main), "520", "380")
    moved = s.settled_frame("the frame after moving and sizing")
    if moved == wanted:
        raise Failure("the window did not move")
    close_by_menu(s)
    stored = tuple(round(value * tpp) for value in moved)
    if s.stored_geometry() != stored:
        raise Failure(f"a frame at {moved} stored {s.stored_geometry()}, not {stored}")
    s.start_app()
    s.settled_frame("the moved window back where it was left", moved)
    close_by_menu(s)
    if s.stored_geometry() != stored:
        raise Failure(f"the moved window stored {s.stored_geometry()} again, not {stored}")
    return moved


def run(s):
    s.start_display()
    s.map_characters(TITLE + "".join(FIRST_BODY) + ADDED)
    place = window_stays_put(s)
    s.start_app()
    s.settled_frame("the frame where it was left", place)
    x, y, width, height = s.geometry(s.main)
    # The tree is the left pane; watch a strip of it, clear of its borders.
    strip = (12, height // 8, width * 2 // 5, height * 3 // 4)
    empty_tree = s.row_profile(s.main, *strip)

    # Right-click in the tree: the popup opens on the release, at the pointer.
    press_y = height * 11 // 20
    s.click_in(s.main, 100, press_y, button=3)
    popup = s.new_popup()
    px, py, pw, ph = s.geometry(popup)
    # "新規作成" is the popup's first item.
    s.xdo("mousemove", str(px + pw // 3), str(py + 10), "click", "1")
    s.wait_closed(popup, "the popup")
    s.type(TITLE)
    s.key("Return")

    # The new node appears at the top of the tree.
    limit = press_y - strip[1] - 15

    def node_row():
        return changed_band(empty_tree, s.row_profile(s.main, *strip), limit)
    top, bottom = wait_for("the new node in the tree", node_row)
    node_y = strip[1] + (top + bottom) // 2
    s.click_in(s.main, 60, node_y)

    # Type the body into the text pane.
    s.click_in(s.main, width * 7 // 10, height // 2)
    s.type(FIRST_BODY[0])
    s.key("Return")
    s.type(FIRST_BODY[1])

    # File menu, "名前を付けて保存" (the fourth item), and the path typed into the dialog.
    menu = s.menu_bar_file()
    s.key("Down", "Down", "Down", "Down", "Return")
    s.wait_closed(menu, "the File menu")
    dialog = s.new_window("the Save As dialog", "名前を付けて保存")
    path = os.path.join(s.tmp, "first notebook.txt")
    s.point_at(dialog)
    # The file name field is at the dialog's bottom left, below the file list and over the
    # file type box; the buttons are to their right.
    _, _, dialog_width, dialog_height = s.geometry(dialog)
    s.wait_for_typing(dialog, "the Save As dialog",
                      (0, dialog_height * 5 // 6, dialog_width * 3 // 5, dialog_height // 6))
    s.type(path)
    s.key("Return")
    expected = record(TITLE, 0, 1, FIRST_BODY)
    wait_file(path, expected)
    s.wait_closed(dialog, "the Save As dialog")

    # Close through the File menu ("閉じる(&C)").
    s.point_at(s.main)
    menu = s.menu_bar_file()
    s.key("c")
    s.wait_app_end()

    # Again, with the file on the command line: the node is where it was.
    s.start_app(path)
    s.settled_frame("the frame back where it was left", place)
    if s.geometry(s.main)[2:] != (width, height):
        raise Failure("the window did not come back at its size")
    top_again = wait_for("the loaded node in the tree", node_row)
    if abs(top_again[0] - top) > 2:
        raise Failure(f"the loaded node is at row {top_again}, first made at {top, bottom}")
    s.click_in(s.main, 60, node_y)
    s.click_in(s.main, width * 7 // 10, height // 2)
    s.key("ctrl+End")
    s.type(ADDED)
    # Save ("上書き保存(&V)") writes to the file it came from, with the typing.
    menu = s.menu_bar_file()
    s.key("v")
    wait_file(path, record(TITLE, 0, 1, (FIRST_BODY[0], FIRST_BODY[1] + ADDED)))
    menu = s.menu_bar_file()
    s.key("c")
    s.wait_app_end()


def main():
    args = sys.argv[1:]
    stall = 0.0
    if len(args) == 3 and args[0] == "--stall":
        stall = float(args[1])
        args = args[2:]
    if len(args) != 1:
        print("usage: typical_use.py [--stall SECONDS] PATH-TO-MOSSLEAF", file=sys.stderr)
        return 2
    return run_session(Session(os.path.abspath(args[0]), stall), run,
                       ("Xvfb", "openbox", "xdotool", "xkbcomp", "xwininfo", "xprop"),
                       "e2e_typical_use_failure.png")


def run_session(session, steps, tools, shot_name):
    """Runs steps(session) and turns the outcome into an exit code: 77 when a tool is
    missing, 1 with the screen and the program's log on a failure, 0 when it passed."""
    missing = [tool for tool in tools if shutil.which(tool) is None]
    missing += [tool for tool in ("/usr/bin/import", "/usr/bin/convert")
                if not os.path.exists(tool)]
    if missing:
        print("skipped: missing " + ", ".join(missing), file=sys.stderr)
        session.close()
        return 77

    def interrupted(signum, _frame):
        raise SystemExit(128 + signum)
    signal.signal(signal.SIGTERM, interrupted)
    signal.signal(signal.SIGINT, interrupted)
    try:
        steps(session)
    except Failure as failure:
        print("FAILED: " + str(failure), file=sys.stderr)
        if session.xvfb is not None and session.xvfb.poll() is None:
            shot = os.path.abspath(shot_name)
            subprocess.run(["/usr/bin/import", "-window", "root", shot], env=session.env,
                           capture_output=True)
            print("screen at the failure: " + shot, file=sys.stderr)
        log = os.path.join(session.tmp, "mossleaf.log")
        if os.path.exists(log):
            sys.stderr.write(open(log, errors="replace").read())
        return 1
    finally:
        session.close()
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
