#!/usr/bin/env python3
"""Times a long paste into the title box Text1 of the real program under Xvfb and openbox.

For each case the program starts afresh on a two-node outline; the script clicks the first
node, opens 名前変更 (Rename) from the tree's popup, selects all with Ctrl+A, puts the text on
the X clipboard with xclip (another client, so a large text goes by INCR) and presses Ctrl+V;
then Enter to commit, then a click on the node (which puts its title in the status bar).

When the program refuses the text it shows a message box; the script notes that and closes
the box with Enter before the Enter that commits.

While it runs, bench/xping.c (compiled on the fly) keeps one _NET_WM_PING going to the main
window at a time: the window answers only when its event loop gets to it, so a late answer is a
busy window, whether it computes or waits (for a clipboard transfer, say). After each step it
reports, in seconds:
  busy          from the key until the last answer that took longer than SLOW (0.1 s), once
                answers have come at once for a whole second; "never" when that does not
                happen within LIMIT
  longest wait  the slowest answer in that time
  cpu           the main thread's CPU time in that time (/proc/PID/task/PID/schedstat)
  then          the main thread's CPU share and the slowest answer over the next 3 s: a caret
                blinking over a long line repaints it twice a second, the status bar's clock
                repaints its panels every second
SHOT=PREFIX saves screenshots after the paste and after the click.

Usage: bench/title_paste_bench.py BINARY [CASE...]   CASE is KIB:SHAPE, SHAPE one of
lines (98 "x" and CR LF), latin (no blanks), japanese, mixed (Latin, Japanese, Arabic);
default 300:lines 1024:lines.
Environment: LIMIT (seconds to wait for the window to settle, default 180), NOWM=1 (no
window manager), SHOT.
"""

import os
import subprocess
import sys
import tempfile
import threading
import time

LIMIT = float(os.environ.get("LIMIT", "180"))
SLOW = 0.1  # a ping answered later than this: the window is busy


def blob(kib, shape):
    size = kib * 1024
    if shape == "lines":
        unit = b"x" * 98 + b"\r\n"
    elif shape == "latin":
        unit = b"x" * 100
    elif shape == "japanese":
        unit = "日本語の題名です。".encode()
    elif shape == "mixed":
        unit = "aあ1漢 عb".encode()  # scripts and directions mixed
    else:
        raise SystemExit(f"unknown shape {shape}")
    data = unit * (size // len(unit) + 1)
    whole = shape in ("japanese", "mixed")  # never a character cut in two
    return data[:size - size % len(unit)] if whole else data[:size]


class Display:
    def __init__(self, tmp):
        self.tmp = tmp
        self.env = dict(os.environ)
        for name in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XAUTHORITY"):
            self.env.pop(name, None)
        home = os.path.join(tmp, "home")
        os.makedirs(home)
        self.env.update(HOME=home, XDG_RUNTIME_DIR=tmp, XDG_CONFIG_HOME=home + "/config",
                        LANG="C.UTF-8", QT_QPA_PLATFORM="xcb")
        for number in range(140, 180):
            if not os.path.exists(f"/tmp/.X{number}-lock"):
                break
        self.env["DISPLAY"] = f":{number}"
        self.xvfb = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1280x1024x24",
                                      "-nolisten", "tcp", "-noreset"],
                                     stderr=subprocess.DEVNULL, start_new_session=True)
        self.wait(lambda: self.run("xdotool", "getdisplaygeometry").returncode == 0)
        self.wm = None
        if os.environ.get("NOWM"):
            return
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   start_new_session=True)
        self.wait(lambda: "window id #" in self.run("xprop", "-root",
                                                    "_NET_SUPPORTING_WM_CHECK").stdout)

    def run(self, *args, **kw):
        return subprocess.run(args, env=self.env, capture_output=True, text=True, **kw)

    @staticmethod
    def wait(probe, timeout=20):
        end = time.monotonic() + timeout
        while not probe():
            if time.monotonic() > end:
                raise SystemExit("timed out")
            time.sleep(0.05)

    def xdo(self, *args):
        self.run("xdotool", *args, check=True)

    def close(self):
        for proc in (self.wm, self.xvfb):
            if proc is None:
                continue
            proc.terminate()
            proc.wait()


def thread_cpu(pid):
    with open(f"/proc/{pid}/task/{pid}/schedstat") as stat:
        return int(stat.read().split()[0]) / 1e9


class Pinger:
    """Keeps one _NET_WM_PING at a time going to the window (bench/xping.c)."""

    def __init__(self, display, xping, window):
        self.answers = []  # (sent, answered), CLOCK_MONOTONIC like time.monotonic()
        self.proc = subprocess.Popen([xping, window], env=display.env, stdout=subprocess.PIPE,
                                     text=True)
        self.reader = threading.Thread(target=self.read, daemon=True)
        self.reader.start()

    def read(self):
        for line in self.proc.stdout:
            sent, answered = map(float, line.split())
            self.answers.append((sent, answered))

    def close(self):
        self.proc.kill()
        self.proc.wait()


def measure(pid, pinger, step):
    """Runs step() and waits until the window answers pings at once again for a second."""
    cpu_start = thread_cpu(pid)
    key = time.monotonic()
    step()
    busy_end = key
    worst = 0.0
    while True:
        time.sleep(0.05)
        now = time.monotonic()
        answers = [a for a in pinger.answers if a[1] > key]
        for sent, answered in answers:
            worst = max(worst, answered - max(sent, key))
            if answered - sent >= SLOW:
                busy_end = max(busy_end, answered)
        last = answers[-1][1] if answers else key
        pending = now - last - 0.01  # the ping after the last answer is on its way
        if pending >= SLOW:
            busy_end = max(busy_end, now)
        if now - busy_end >= 1.0:
            break
        if now - key > LIMIT:
            busy_end = None
            break
    cpu = thread_cpu(pid) - cpu_start
    mark = time.monotonic()
    c_from = thread_cpu(pid)
    time.sleep(3)
    share = (thread_cpu(pid) - c_from) / (time.monotonic() - mark)
    later = max((a - s for s, a in pinger.answers if s >= mark), default=0.0)
    busy = None if busy_end is None else busy_end - key
    return busy, worst, cpu, share, later


def show(name, figures):
    busy, worst, cpu, share, later = figures
    busy_text = "never" if busy is None else f"{busy:.2f}"
    print(f"  {name:7} busy {busy_text:>6} s (longest wait {worst:6.2f} s, main thread cpu "
          f"{cpu:6.2f} s); then {share * 100:3.0f} % cpu, longest wait {later:5.2f} s",
          flush=True)


def visible_windows(display, pid):
    return display.run("xdotool", "search", "--all", "--pid", str(pid), "--onlyvisible",
                       "--name", "^Mossleaf$").stdout.split()


def one_case(display, binary, xping, kib, shape):
    tmp = display.tmp
    outline = os.path.join(tmp, "note.txt")
    with open(outline, "wb") as f:
        f.write(b"<**********>, 1 , 0 ,first\r\nbody\r\n<**********>, 2 , 0 ,second\r\nb\r\n")
    app = subprocess.Popen([binary, outline], env=display.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        win = []

        def main_window():
            ids = visible_windows(display, app.pid)
            win[:] = ids
            return len(ids) == 1
        display.wait(main_window)
        w = win[0]
        pinger = Pinger(display, xping, w)
        if display.wm:
            display.xdo("windowactivate", "--sync", w)
        time.sleep(0.5)
        display.xdo("mousemove", "--window", w, "40", "77", "click", "1")
        time.sleep(0.3)
        display.xdo("mousemove", "--window", w, "40", "77", "click", "3")
        time.sleep(0.5)
        display.xdo("key", "Down", "Down", "Return")
        time.sleep(0.5)
        display.xdo("key", "ctrl+a")
        data = blob(kib, shape)
        xclip = subprocess.Popen(["xclip", "-selection", "clipboard", "-i", "-loops", "1"],
                                 stdin=subprocess.PIPE, env=display.env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        xclip.stdin.write(data)
        xclip.stdin.close()
        time.sleep(0.5)
        chars = len(data.decode().encode("utf-16-le")) // 2
        print(f"{kib} KiB {shape} ({len(data)} bytes, {chars} characters) pasted from xclip:",
              flush=True)
        show("Ctrl+V", measure(app.pid, pinger, lambda: display.xdo("key", "ctrl+v")))
        shot = os.environ.get("SHOT")
        if shot:
            display.run("/usr/bin/import", "-window", "root", f"{shot}-{kib}-{shape}-paste.png")
        if len(visible_windows(display, app.pid)) > 1:
            print("  refused with a message; Enter closes it", flush=True)
            show("Enter", measure(app.pid, pinger, lambda: display.xdo("key", "Return")))
        show("Enter", measure(app.pid, pinger, lambda: display.xdo("key", "Return")))
        # On the row, right of where the title box was.
        show("click", measure(app.pid, pinger, lambda: display.xdo(
            "mousemove", "--window", w, "170", "77", "click", "1")))
        if shot:
            display.run("/usr/bin/import", "-window", "root", f"{shot}-{kib}-{shape}-click.png")
        try:
            xclip.wait(timeout=1)
        except subprocess.TimeoutExpired:
            xclip.kill()
            xclip.wait()
        pinger.close()
    finally:
        app.terminate()
        try:
            app.wait(timeout=10)
        except subprocess.TimeoutExpired:
            app.kill()
            app.wait()


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    binary = os.path.abspath(sys.argv[1])
    cases = sys.argv[2:] or ["300:lines", "1024:lines"]
    with tempfile.TemporaryDirectory(prefix="title-bench-") as tmp:
        os.chmod(tmp, 0o700)
        xping = os.path.join(tmp, "xping")
        subprocess.run(["cc", "-O2", "-o", xping,
                        os.path.join(os.path.dirname(os.path.abspath(__file__)), "xping.c"),
                        "-lxcb"], check=True)
        display = Display(tmp)
        try:
            for case in cases:
                kib, shape = case.split(":")
                one_case(display, binary, xping, int(kib), shape)
        finally:
            display.close()


if __name__ == "__main__":
    main()
