#!/usr/bin/env python3
"""The installed program, as a package would lay it out, opens a notebook and its help page.

installed_program.py CMAKE BUILD-DIR: installs BUILD-DIR into a staging folder (DESTDIR, prefix
/usr), checks the layout a desktop needs, then starts the program through the bin/ link under
Xvfb with a notebook on its command line: the tree shows the notebook's node, and Help ->
操作説明 hands the help page that lies beside the real binary to `gio`, here a stand-in that
records what it is asked to open. First, on a desktop with another editor and no default set,
gio leaves plain text to the editor and gives notebooks to Mossleaf. Exit 77: tools missing.
"""

import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import typical_use as e2e  # noqa: E402  (the X session helpers of the end-to-end test)

APP_ID = "io.github.mossleaf.Mossleaf"
EXPECTED_FILES = [
    "usr/lib/mossleaf/mossleaf",
    "usr/lib/mossleaf/help.htm",
    f"usr/share/applications/{APP_ID}.desktop",
    f"usr/share/mime/packages/{APP_ID}.xml",
    f"usr/share/metainfo/{APP_ID}.metainfo.xml",
    f"usr/share/icons/hicolor/scalable/apps/{APP_ID}.svg",
    *(f"usr/share/icons/hicolor/{n}x{n}/apps/{APP_ID}.png" for n in (16, 32, 48, 64, 128, 256)),
    "usr/share/man/man1/mossleaf.1",
    "usr/share/man/ja/man1/mossleaf.1",
]
EDITOR = "org.example.Editor.desktop"
GIO_DEFAULT = 'gio mime "$(gio info -a standard::content-type "$0" | sed -n "s/.*type: //p")"'
NOTEBOOK = "<**********>, 1 , 0 ,ノート\r\n"
OPENERS = [("plain.txt", b"shopping list\n", EDITOR), ("empty.txt", b"", EDITOR),
           ("notebook.txt", NOTEBOOK.encode("cp932"), APP_ID + ".desktop"),
           ("notebook-utf8.txt", b"\xef\xbb\xbf" + NOTEBOOK.encode(), APP_ID + ".desktop")]
FAKE_GIO = """#!/bin/sh
# Records its arguments, one a line, and succeeds only for a file that exists.
printf '%s\\n' "$@" > "$0.args.tmp" && mv "$0.args.tmp" "$0.args"
for last; do :; done
[ -f "$last" ]
"""


def install(cmake, build, stage):
    env = dict(os.environ, DESTDIR=stage)
    done = subprocess.run([cmake, "--install", build, "--prefix", "/usr"], env=env,
                          capture_output=True, text=True)
    if done.returncode != 0:
        raise e2e.Failure("cmake --install: " + done.stdout + done.stderr)
    missing = [p for p in EXPECTED_FILES if not os.path.isfile(os.path.join(stage, p))]
    if missing:
        raise e2e.Failure("not installed: " + ", ".join(missing))
    link = os.path.join(stage, "usr/bin/mossleaf")
    if not os.path.islink(link) or os.readlink(link) != "../lib/mossleaf/mossleaf":
        raise e2e.Failure("usr/bin/mossleaf is not the relative link ../lib/mossleaf/mossleaf")
    return link


def fake_gio(folder):
    os.makedirs(folder)
    gio = os.path.join(folder, "gio")
    with open(gio, "w") as f:
        f.write(FAKE_GIO)
    os.chmod(gio, 0o755)
    return gio + ".args"


def check_openers(s, stage):
    share = os.path.join(stage, "usr/share")
    with open(os.path.join(share, "applications", EDITOR), "w") as f:
        f.write("[Desktop Entry]\nType=Application\nName=Ed\nExec=true %f\nMimeType=text/plain;\n")
    for tool in ("update-desktop-database", "applications"), ("update-mime-database", "mime"):
        subprocess.run([tool[0], os.path.join(share, tool[1])], check=True, capture_output=True)
    os.symlink("/usr/share/mime", os.path.join(s.tmp, "mime"))  # the system's types, no programs
    env = dict(s.env, PATH=os.path.dirname(s.binary) + os.pathsep + s.env["PATH"], LC_ALL="C.UTF-8",
               XDG_DATA_DIRS=share + os.pathsep + s.tmp, XDG_CONFIG_DIRS=s.tmp)
    for name, content, opener in OPENERS:
        with open(os.path.join(s.tmp, name), "wb") as f:
            f.write(content)
        default = subprocess.run(["sh", "-c", GIO_DEFAULT, f.name], env=env, capture_output=True,
                                 text=True).stdout.split("\n")[0]
        if not default.endswith(": " + opener):
            raise e2e.Failure(f"{name}: {default!r}, not {opener}")


def close_app(s):
    s.point_at(s.main)
    s.menu_bar_file()
    s.key("c")  # 閉じる(&C)
    s.wait_app_end()


def run(s, cmake, build):
    stage = os.path.join(s.tmp, "stage")
    s.binary = install(cmake, build, stage)
    check_openers(s, stage)
    recorded = fake_gio(os.path.join(s.tmp, "fake-bin"))
    s.env["PATH"] = os.path.dirname(recorded) + os.pathsep + s.env["PATH"]
    notebook = os.path.join(s.tmp, "notebook.txt")
    with open(notebook, "wb") as f:
        f.write(e2e.record("Installed ノート", 0, 1, ("body",)))

    s.start_display()
    s.start_app()
    _, _, width, height = s.geometry(s.main)
    strip = (12, height // 8, width * 2 // 5, height * 3 // 4)
    empty_tree = s.row_profile(s.main, *strip)
    close_app(s)

    s.start_app(notebook)
    e2e.wait_for("the notebook's node in the tree",
                 lambda: e2e.changed_band(empty_tree, s.row_profile(s.main, *strip), strip[3]))

    # Help is the last menu of the bar: one step left of the File menu, wrapping round.
    s.point_at(s.main)
    s.menu_bar_file()
    s.key("Left", "h")  # ﾍﾙﾌﾟ(&H) -> 操作説明(&H)
    e2e.wait_for("gio to be asked for the help page", lambda: os.path.exists(recorded))
    with open(recorded) as f:
        target = f.read().splitlines()[-1]
    beside = os.path.join(stage, "usr/lib/mossleaf/help.htm")
    if not os.path.isfile(target) or not os.path.samefile(target, beside):
        raise e2e.Failure(f"gio was asked for {target!r}, not the help page {beside}")
    close_app(s)


def main():
    if len(sys.argv) != 3:
        print("usage: installed_program.py CMAKE BUILD-DIR", file=sys.stderr)
        return 2
    return e2e.run_session(e2e.Session(None),
                           lambda session: run(session, sys.argv[1], os.path.abspath(sys.argv[2])),
                           ("Xvfb", "openbox", "xdotool", "xkbcomp", "gio",
                            "update-desktop-database", "update-mime-database"),
                           "installed_program_failure.png")


if __name__ == "__main__":
    sys.exit(main())
