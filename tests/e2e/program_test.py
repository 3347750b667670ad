#!/usr/bin/env python3
"""The program as a person sees it: pogoda.exe under Wine on a private Xvfb display, driven
with xdotool and read with screenshots.

Usage: program_test.py PROGRAM WINE_RUN [--screenshots DIR]
Without a window manager every Wine window is its own X window (found by title), the tray
icons sit in a window titled "Wine System Tray", and windows have no frames: Alt+F4 stands
in for the close box (both end in the same close of the window).
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

SCREEN = (1024, 768)
MAIN_TITLE = "Погода"
ABOUT_TITLE = "О программе"
APP_TITLE = "Погода в Тобольске"
TRAY_TITLE = "Wine System Tray"
# Vertical offsets of the tray menu's items from its top edge (separators between 2 and 3).
MENU_ITEMS = {"Показать": 11, "Спрятать": 27, "О программе": 52, "Выход": 77}


class Failure(Exception):
    pass


def free_display():
    for number in range(90, 200):
        if not os.path.exists(f"/tmp/.X11-unix/X{number}") and not os.path.exists(f"/tmp/.X{number}-lock"):
            return number
    raise Failure("no free X display number")


def xdo(*args, check=True):
    result = subprocess.run(["xdotool", *args], capture_output=True, text=True)
    if check and result.returncode != 0:
        raise Failure(f"xdotool {' '.join(args)} failed: {result.stderr.strip()}")
    return result.stdout.strip()


def windows(title, visible=True):
    args = ["search"] + (["--onlyvisible"] if visible else []) + ["--name", f"^{title}$"]
    out = xdo(*args, check=False)
    return [w for w in out.split() if w]


def geometry(window):
    values = {}
    for line in xdo("getwindowgeometry", "--shell", window).splitlines():
        key, _, value = line.partition("=")
        values[key] = int(value)
    return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]


def wait_for(what, predicate, timeout=30.0):
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.25)
    raise Failure(f"timed out waiting for {what}")


def window_under_pointer():
    for line in xdo("getmouselocation", "--shell").splitlines():
        key, _, value = line.partition("=")
        if key == "WINDOW":
            return value
    return ""


def sized(title, minimum=20):
    return [w for w in windows(title) if geometry(w)[2] >= minimum]


class Program:
    def __init__(self, program, wine_run, env):
        self.process = subprocess.Popen([wine_run, program], env=env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.main = wait_for("the main window", lambda: sized(MAIN_TITLE), 90)[0]

    def tray_menu(self, item):
        """Right-clicks the tray icon and clicks an item of the menu that opens there."""
        tray = wait_for("the tray", lambda: windows(TRAY_TITLE))[0]
        xdo("mousemove", "--window", tray, "8", "8")
        xdo("click", "3")
        # The menu opens with its top left corner at the pointer, once the program is free to
        # handle the click (hiding a window keeps it busy for a while, see below).
        wait_for("the tray menu", lambda: window_under_pointer() not in ("", tray), 15)
        time.sleep(0.3)
        xdo("mousemove_relative", "--", "20", str(MENU_ITEMS[item]))
        xdo("click", "1")
        time.sleep(1.0)

    def ended(self, timeout=20):
        try:
            self.process.wait(timeout)
            return True
        except subprocess.TimeoutExpired:
            return False

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def check(condition, message):
    if not condition:
        raise Failure(message)
    print("ok:", message)


def tray_icon_shown():
    # The system tray window exists (and is mapped) only while it holds an icon.
    return bool(windows(TRAY_TITLE))


def run(args, env, shots):
    program = Program(args.program, args.wine_run, env)
    try:
        x, y, w, h = geometry(program.main)
        cx, cy = SCREEN[0] // 2, SCREEN[1] // 2
        # The X window is the client area; Windows centres the whole window, caption included.
        check(abs(x + w // 2 - cx) <= 2 and 0 <= cy - (y + h // 2) + 15 <= 30,
              f"main window is centred ({x},{y} {w}x{h})")
        check(w >= 160 and h >= 215, "main window has the client size 165 x 220")
        check(tray_icon_shown(), "tray icon is shown")
        if shots:
            subprocess.run(["import", "-window", "root", os.path.join(shots, "main-window.png")], check=True)

        program.tray_menu("Спрятать")
        # Wine waits for a window manager to acknowledge a captioned window before it unmaps
        # it; with none on this display that wait runs out after about two seconds.
        check(wait_for("the main window to hide", lambda: not sized(MAIN_TITLE), 10),
              "'Спрятать' hides the main window")
        program.tray_menu("Показать")
        shown = wait_for("the main window again", lambda: sized(MAIN_TITLE))[0]
        check(geometry(shown)[:2] == (x, y), "'Показать' brings it back where it was")

        program.tray_menu("О программе")
        about = wait_for("the About window", lambda: sized(ABOUT_TITLE))[0]
        check(True, "'О программе' opens the About window")
        program.tray_menu("О программе")  # again: refused
        box = wait_for("the error box", lambda: sized(APP_TITLE, 60))[0]
        check(bool(box), "a second 'О программе' gives the error box")
        check(bool(sized(ABOUT_TITLE)), "the About window stays open")
        xdo("windowactivate", "--sync", box, check=False)
        xdo("key", "--window", box, "Return")
        wait_for("the error box to close", lambda: not sized(APP_TITLE, 60), 10)
        xdo("windowactivate", "--sync", about, check=False)
        xdo("key", "--window", about, "alt+F4")
        wait_for("the About window to close", lambda: not sized(ABOUT_TITLE), 10)
        check(True, "closing the About window hides it")

        xdo("windowactivate", "--sync", shown, check=False)
        xdo("key", "--window", shown, "alt+F4")
        check(program.ended(), "closing the main window ends the process")
        check(wait_for("the tray icon to go", lambda: not tray_icon_shown(), 10),
              "the tray icon is gone")
    finally:
        program.kill()

    program = Program(args.program, args.wine_run, env)
    try:
        program.tray_menu("О программе")
        wait_for("the About window", lambda: sized(ABOUT_TITLE))
        if shots:
            tray = windows(TRAY_TITLE)[0]
            xdo("mousemove", "--window", tray, "8", "8")
            xdo("click", "3")
            time.sleep(1.0)
            subprocess.run(["import", "-window", "root", os.path.join(shots, "tray-menu.png")], check=True)
            xdo("key", "Escape")
            time.sleep(0.5)
        program.tray_menu("Выход")  # while the About window is open
        check(program.ended(), "'Выход' while the About window is open ends the process")
        check(wait_for("the tray icon to go", lambda: not tray_icon_shown(), 10),
              "the tray icon is gone")
    finally:
        program.kill()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("wine_run")
    parser.add_argument("--screenshots")
    args = parser.parse_args()

    display = free_display()
    xvfb = subprocess.Popen(["Xvfb", f":{display}", "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
                             "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    prefix_parent = os.path.dirname(os.path.abspath(args.program))
    env = dict(os.environ, DISPLAY=f":{display}", POGODA_WINE_GUI="1",
               WINEPREFIX=os.path.join(prefix_parent, "wineprefix-e2e"))
    os.environ["DISPLAY"] = env["DISPLAY"]
    try:
        wait_for("Xvfb", lambda: os.path.exists(f"/tmp/.X11-unix/X{display}"), 10)
        run(args, env, args.screenshots)
        print("PASS")
        return 0
    except Failure as failure:
        print("FAIL:", failure)
        return 1
    finally:
        wineserver = shutil.which("wineserver") or "/usr/lib/wine/wineserver"
        subprocess.run([wineserver, "-k"], env=env, stderr=subprocess.DEVNULL)
        xvfb.terminate()
        xvfb.wait()


if __name__ == "__main__":
    sys.exit(main())
