#!/usr/bin/env python3
"""The weather fetch as a person sees it: the shipped pogoda.exe under Wine on a private Xvfb
display, fetching from the demo informer, driven with xdotool and read with screenshots.

Usage: fetch_test.py PROGRAM WINE_RUN INFORMER_NAMESPACE DEMO_INFORMER MAKE_PICTURE
                     [--screenshots DIR]
The test runs itself inside scripts/informer-namespace, where the program's informer host is
the loopback and the demo informer listens on port 80, so the program is not rebuilt for it.
Web pages open through Wine's browser launcher, which the test points at a recording script.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from program_test import (ABOUT_TITLE, SCREEN, Failure, Program, check, free_display,  # noqa: E402
                          geometry, sized, wait_for, windows, xdo)

FORECAST_URL = "http://forecast.example.org/tobolsk"
CITY_URL = "http://tobolsk.example.org/"
# Client positions of the main window's controls (96 dpi): the image inside its panel, the bar.
IMAGE_AT = (8, 8)
BAR = (6, 173, 155)  # first inner column, middle row, inner width
BUTTON_AT = (80, 198)


def rgb(png, x, y, w, h):
    """The pixels of a region of a PNG file as rows of (r, g, b)."""
    data = subprocess.run(["convert", png, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth", "8", "rgb:-"],
                          check=True, capture_output=True).stdout
    return [[tuple(data[(j * w + i) * 3:(j * w + i) * 3 + 3]) for i in range(w)] for j in range(h)]


class Screen:
    def __init__(self, folder):
        self.path = os.path.join(folder, "screen.png")

    def grab(self):
        subprocess.run(["import", "-window", "root", self.path], check=True)
        return self.path


class Informer:
    """The demo informer on port 80; the mode file chooses each answer."""

    def __init__(self, script, folder):
        self.script = script
        self.mode_file = os.path.join(folder, "mode")
        self.log = os.path.join(folder, "requests.log")
        self.process = None

    def start(self, picture, mode):
        self.set_mode(mode)
        self.process = subprocess.Popen([self.script, "--port", "80", "--picture", picture,
                                         "--mode-file", self.mode_file, "--log", self.log],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.process.stdout.readline()  # the address line: it listens

    def stop(self):
        if self.process:
            self.process.kill()
            self.process.wait()
            self.process = None

    def set_mode(self, mode):
        with open(self.mode_file, "w") as f:
            f.write(mode)

    def requests(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log) as f:
            return f.read().splitlines()


class Fetching:
    def __init__(self, args, folder, screen, informer, env):
        self.args = args
        self.screen = screen
        self.informer = informer
        self.env = env
        self.work = os.path.join(folder, "work")
        os.makedirs(self.work)
        self.opened = os.path.join(folder, "opened.log")
        self.program = None

    def start(self):
        os.chdir(self.work)  # the program's current directory: where gis.png goes
        self.program = Program(self.args.program, self.args.wine_run, self.env)
        self.origin = geometry(self.program.main)[:2]

    def weather_file(self):
        return os.path.exists(os.path.join(self.work, "gis.png"))

    def at(self, x, y):
        return self.origin[0] + x, self.origin[1] + y

    def press(self):
        xdo("mousemove", *map(str, self.at(*BUTTON_AT)))
        xdo("click", "1")

    def press_and_wait_for_request(self, settle=1.5):
        count = len(self.informer.requests())
        self.press()
        wait_for("the informer to get the request", lambda: len(self.informer.requests()) > count, 20)
        time.sleep(settle)

    def shows(self, picture):
        """Whether the image shows picture, pixel for pixel, at the image's place."""
        w, h = picture_size(picture)
        x, y = self.at(*IMAGE_AT)
        return rgb(self.screen.grab(), x, y, w, h) == rgb(picture, 0, 0, w, h)

    def image_area(self):
        x, y = self.at(*IMAGE_AT)
        return rgb(self.screen.grab(), x, y, 150, 150)

    def bar_filled(self):
        """The filled share of the progress bar: the run of the first inner pixel's colour."""
        x, y = self.at(BAR[0], BAR[1])
        row = rgb(self.screen.grab(), x, y, BAR[2], 1)[0]
        filled = next((i for i, p in enumerate(row) if p != row[0]), len(row))
        return filled / len(row)

    def close(self):
        xdo("windowactivate", "--sync", self.program.main, check=False)
        xdo("key", "--window", self.program.main, "alt+F4")

    def close_and_time(self):
        """Closes the main window; the seconds until the process ended, None if it did not."""
        self.close()
        closed = time.time()
        if not self.program.ended(timeout=30):
            return None
        return round(time.time() - closed, 1)

    def opened_pages(self):
        if not os.path.exists(self.opened):
            return []
        with open(self.opened) as f:
            return f.read().split()


def picture_size(png):
    out = subprocess.run(["identify", "-format", "%w %h", png], check=True, capture_output=True, text=True)
    return tuple(int(v) for v in out.stdout.split())


def make_pictures(make_picture, folder):
    """Three different pictures; the first is not 150 x 150, so the image must resize to it."""
    paths = [os.path.join(folder, name) for name in ("small.png", "warm.png", "cold.png")]
    subprocess.run([make_picture, paths[0], "01.02.2026", "-7"], check=True)
    subprocess.run(["convert", paths[0], "-resize", "140x110!", "-depth", "8", "-strip",
                    "-define", "png:color-type=2", paths[0]], check=True)
    subprocess.run([make_picture, paths[1], "15.07.2026", "31"], check=True)
    subprocess.run([make_picture, paths[2], "20.01.2026", "-40"], check=True)
    return paths


def point_browser_at_recorder(env, wine_run, folder, log):
    """Wine opens http addresses with its browser launcher, which tries the programs named in
    HKCU\\Software\\Wine\\WineBrowser\\Browsers: one that appends its argument to log."""
    recorder = os.path.join(folder, "open-url")
    with open(recorder, "w") as f:
        f.write(f'#!/bin/sh\nprintf "%s\\n" "$1" >>"{log}"\n')
    os.chmod(recorder, 0o755)
    subprocess.run([wine_run, "reg", "add", r"HKCU\Software\Wine\WineBrowser", "/v", "Browsers",
                    "/d", recorder, "/f"], env=env, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def first_run(f, pictures, shots):
    small = pictures[0]
    f.informer.start(small, "png")
    f.start()
    x, y = f.at(IMAGE_AT[0] + 75, IMAGE_AT[1] + 75)
    xdo("mousemove", str(x), str(y))
    xdo("click", "--repeat", "2", "--delay", "80", "1")
    wait_for("the forecast page", lambda: f.opened_pages(), 20)
    check(f.opened_pages() == [FORECAST_URL], "a double click on the empty image opens the forecast page")

    f.press()
    wait_for("the picture", lambda: f.shows(small), 20)
    check(True, "a press shows the served picture, pixel for pixel")
    area = f.image_area()
    panel = area[149][149]
    check(all(p == panel for p in area[110][:140]) and all(row[140] == panel for row in area[:110]),
          "the image took the picture's size (140 x 110): the panel shows right of and below it")
    check(f.bar_filled() == 1.0, "the bar is full after the body was read")
    check(not f.weather_file(), "no gis.png remains after a successful fetch")
    if shots:
        mx, my, mw, mh = geometry(f.program.main)
        subprocess.run(["convert", f.screen.grab(), "-crop", f"{mw}x{mh}+{mx}+{my}", "+repage",
                        os.path.join(shots, "fetched-picture.png")], check=True)

    f.informer.set_mode("cut")
    f.press_and_wait_for_request()
    check(f.shows(small), "an answer cut mid-body leaves the picture")
    share = f.bar_filled()
    check(0.35 <= share <= 0.65,
          f"the bar's maximum is the announced body length: half the body fills {share:.2f} of it")
    # A body cut short ends the read without an error; what came does not decode.
    check(f.weather_file(), "a cut answer leaves gis.png behind")

    f.informer.set_mode("slow")
    count = len(f.informer.requests())
    f.press()
    wait_for("the slow request", lambda: len(f.informer.requests()) > count, 20)
    f.press()  # while the first fetch waits for its answer
    time.sleep(5)
    check(len(f.informer.requests()) == count + 1, "a press while a fetch runs starts nothing")
    check(f.shows(small), "the held-back answer still arrives")
    check(not f.weather_file(), "the next successful fetch removes the gis.png left behind")

    f.informer.set_mode("html")
    f.press_and_wait_for_request()
    check(f.shows(small), "an HTML answer leaves the previous picture")
    check(f.weather_file(), "an HTML answer leaves gis.png behind")

    f.informer.set_mode("hang")
    f.press_and_wait_for_request(settle=0.5)
    f.program.tray_menu("Спрятать")
    check(wait_for("the main window to hide", lambda: not sized("Погода"), 10),
          "the tray menu works while the informer holds the answer back")
    f.program.tray_menu("Показать")
    wait_for("the main window again", lambda: sized("Погода"))
    check(wait_for("the picture again", lambda: f.shows(small), 10), "the window repaints meanwhile")
    check(f.weather_file(), "gis.png stays until the window is closed")
    took = f.close_and_time()
    check(took is not None, f"closing while the informer never answers ends the program ({took} s)")
    check(not f.weather_file(), "the close removes gis.png")
    f.informer.stop()
    return took


def second_run(f, pictures, shots):
    f.start()  # nothing listening
    empty = f.image_area()
    f.press()
    time.sleep(3)
    check(f.image_area() == empty and not f.weather_file(),
          "with nothing listening a press changes nothing and writes no file")

    f.program.tray_menu("О программе")
    about = wait_for("the About window", lambda: sized(ABOUT_TITLE))[0]
    if shots:
        ax, ay, aw, ah = geometry(about)
        subprocess.run(["convert", f.screen.grab(), "-crop", f"{aw}x{ah}+{ax}+{ay}", "+repage",
                        os.path.join(shots, "about-window.png")], check=True)
    ax, ay = geometry(about)[:2]
    xdo("mousemove", str(ax + 150), str(ay + 211))
    xdo("click", "1")
    wait_for("the city website", lambda: CITY_URL in f.opened_pages(), 20)
    check(f.opened_pages() == [FORECAST_URL, CITY_URL], "a click on 'г.Тобольска' opens the city website")
    check(bool(sized(ABOUT_TITLE)), "the About window stays open")
    xdo("windowactivate", "--sync", about, check=False)
    xdo("key", "--window", about, "alt+F4")
    wait_for("the About window to close", lambda: not sized(ABOUT_TITLE), 10)

    warm, cold = pictures[1], pictures[2]
    f.informer.start(warm, "chunked")
    f.press()
    check(wait_for("the chunked picture", lambda: f.shows(warm), 20), "a chunked answer shows its picture")
    f.informer.stop()
    f.informer.start(cold, "nolength")
    f.press()
    check(wait_for("the picture read to the close", lambda: f.shows(cold), 20),
          "an answer without a length, read until the server closes, shows its picture")

    f.informer.set_mode("cookie")
    f.press_and_wait_for_request()
    f.informer.set_mode("png")
    f.press_and_wait_for_request()
    check(f.informer.requests()[-1].endswith("Cookie: city=tobolsk"),
          "the cookie set by one answer goes with the next request")
    check(not f.informer.requests()[-2].endswith("city=tobolsk"), "no cookie before it was set")

    took = f.close_and_time()
    check(took is not None, "closing the main window ends the program")
    check(not f.weather_file(), "no gis.png remains")
    f.informer.stop()
    return took


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("wine_run")
    parser.add_argument("informer_namespace")
    parser.add_argument("demo_informer")
    parser.add_argument("make_picture")
    parser.add_argument("--screenshots")
    args = parser.parse_args()
    if os.environ.get("POGODA_IN_INFORMER_NAMESPACE") != "1":
        os.execv(args.informer_namespace, [args.informer_namespace, sys.executable, *sys.argv])

    folder = tempfile.mkdtemp(prefix="fetch-test.")
    display = free_display()
    xvfb = subprocess.Popen(["Xvfb", f":{display}", "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
                             "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # A prefix of its own: its wineserver must start here, inside the namespace.
    prefix = os.path.join(os.path.dirname(os.path.abspath(args.program)), "wineprefix-fetch")
    env = dict(os.environ, DISPLAY=f":{display}", POGODA_WINE_GUI="1", WINEPREFIX=prefix)
    os.environ["DISPLAY"] = env["DISPLAY"]
    wineserver = shutil.which("wineserver") or "/usr/lib/wine/wineserver"
    informer = Informer(args.demo_informer, folder)
    try:
        subprocess.run([wineserver, "-k"], env=env, stderr=subprocess.DEVNULL)
        wait_for("Xvfb", lambda: os.path.exists(f"/tmp/.X11-unix/X{display}"), 10)
        screen = Screen(folder)
        pictures = make_pictures(args.make_picture, folder)
        fetching = Fetching(args, folder, screen, informer, env)
        point_browser_at_recorder(env, args.wine_run, folder, fetching.opened)
        try:
            aborting = first_run(fetching, pictures, args.screenshots)
            idle = second_run(fetching, pictures, args.screenshots)
            # Without a window manager Wine takes seconds to take down any window, so the
            # close during a fetch is held against a close with no fetch.
            check(aborting <= idle + 2.0,
                  f"the close aborts the waiting fetch: {aborting} s against {idle} s without one")
        finally:
            if fetching.program:
                fetching.program.kill()
        print("PASS")
        return 0
    except Failure as failure:
        print("FAIL:", failure)
        return 1
    finally:
        informer.stop()
        subprocess.run([wineserver, "-k"], env=env, stderr=subprocess.DEVNULL)
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
