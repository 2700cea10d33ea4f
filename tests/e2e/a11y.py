#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Plays one deal as a screen reader user would: everything is read and pressed
through the accessibility bus (AT-SPI), against the built program under a
private X server. Only the cards' pixels are taken from the screen, to tell
which card each picture box really shows.

    dbus-run-session -- /usr/bin/python3 a11y.py PROGRAM [OUTPUT FOLDER]

It needs a session bus of its own (dbus-run-session), on which the AT-SPI bus
launcher is started on demand, Xvfb, and ImageMagick's import and convert.
Exit status 0 when every check holds; each failed check prints a FAIL line.
"""

import os
import re
import subprocess
import sys
import tempfile
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

SUITS = ("黑桃", "红桃", "梅花", "方块")
RANKS = {1: "A", 11: "J", 12: "Q", 13: "K"}
CARD_SIZE = (156, 251)

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)
    return condition


def start_x_server():
    """Xvfb on a display it picks itself; returns the process and ':N'."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset"],
        pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as numbers:
        number = numbers.readline().strip()
    if not number:
        sys.exit("FAIL: Xvfb did not start")
    return xvfb, ":" + number


def pump(seconds=0.0):
    """Lets the bus deliver events for a while."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        if time.monotonic() >= end:
            return
        time.sleep(0.02)


def wait_for(what, timeout):
    """Polls `what` until it gives something true; gives the last value."""
    end = time.monotonic() + timeout
    while True:
        pump()
        value = what()
        if value or time.monotonic() >= end:
            return value
        time.sleep(0.05)


def find_frame():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is None:
            continue
        for j in range(app.get_child_count()):
            frame = app.get_child_at_index(j)
            if frame is not None and frame.get_name() == "Kelmora小游戏":
                # Every read goes to the program: nothing stale from a cache.
                app.set_cache_mask(Atspi.Cache.NONE)
                return frame
    return None


def walk(node, found):
    found.append(node)
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            walk(child, found)
    return found


def tree(frame):
    nodes = walk(frame, [])
    return [(node.get_role_name(), node.get_name(), node) for node in nodes]


def one(frame, role, name):
    matches = [node for r, n, node in tree(frame) if r == role and n == name]
    return matches[0] if len(matches) == 1 else None


def labels(frame):
    return [(name, node) for role, name, node in tree(frame) if role == "label"]


def time_label(frame):
    for name, node in labels(frame):
        if re.fullmatch(r"(您)?还有\d+秒", name):
            return node
    return None


def press(node):
    for i in range(Atspi.Action.get_n_actions(node)):
        # Marked deprecated in the bindings, yet the only unlocalised name.
        with warnings.catch_warnings():
            warnings.simplefilter("ignore", DeprecationWarning)
            name = Atspi.Action.get_action_name(node, i)
        if name == "Press":
            return Atspi.Action.do_action(node, i)
    return False


def sensitive(node):
    return node.get_state_set().contains(Atspi.StateType.SENSITIVE)


def raw_pixels(source, crop=None):
    command = ["convert", source]
    if crop:
        command += ["-crop", "%dx%d+%d+%d" % crop, "+repage"]
    command += ["-depth", "8", "rgb:-"]
    return subprocess.run(command, check=True, capture_output=True).stdout


def card_name(file_name):
    match = re.fullmatch(r"(.+)\((\d+)\)\.jpg", file_name)
    rank = int(match.group(2))
    return match.group(1) + " " + RANKS.get(rank, str(rank))


def shown_card(cards, screen, box):
    """The name of the card file whose pixels the box shows at its top left."""
    corner = box.get_position(Atspi.CoordType.SCREEN)
    shown = raw_pixels(screen, (CARD_SIZE[0], CARD_SIZE[1], corner.x, corner.y))

    def distance(pixels):
        # Every fourth byte is plenty to tell 52 cards apart.
        return sum(abs(a - b) for a, b in zip(shown[::4], pixels[::4]))

    best = min(cards, key=lambda name: distance(cards[name]))
    return best, distance(cards[best]) / (len(shown) / 4)


def run(program, out):
    pkp = os.path.join(os.path.dirname(os.path.abspath(program)), "pkp")
    cards = {name: raw_pixels(os.path.join(pkp, name)) for name in sorted(os.listdir(pkp))
             if name.endswith(".jpg")}
    check(len(cards) == 52, "52 card pictures beside the program (found %d)" % len(cards))

    Atspi.init()
    announced = []

    def on_name(event):
        try:
            announced.append(event.source.get_name())
        except GLib.Error:
            pass

    listener = Atspi.EventListener.new(on_name)
    listener.register("object:property-change:accessible-name")

    environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    environment.pop("QT_QPA_PLATFORM", None)
    game = None
    errors = os.path.join(out, "game-stderr.txt")
    for attempt in range(2):
        # To a file: a pipe nobody reads could fill up and stall the game.
        with open(errors, "wb") as sink:
            game = subprocess.Popen([program], env=environment, stderr=sink)
        time.sleep(1)
        if game.poll() is None:
            break
        with open(errors, "rb") as said:
            error = said.read().decode(errors="replace")
        # A display that dropped the connection at set-up is the server's
        # fault, not the game's: one more try.
        if attempt == 0 and "could not connect to display" in error:
            continue
        sys.exit("FAIL: the game ended at start: " + error)

    try:
        frame = wait_for(find_frame, 20)
        if not check(frame is not None, "the game's window is on the accessibility bus"):
            return
        pump(0.5)

        label = time_label(frame)
        check(label is not None and label.get_name() == "还有100秒",
              "remaining time reads 还有100秒 at start (%r)" % (label and label.get_name()))
        check(len(labels(frame)) == 1, "the hidden verdict is not in the tree (labels: %r)"
              % [name for name, _ in labels(frame)])

        deal = one(frame, "push button", "重新发牌")
        verify = one(frame, "push button", "验算结果")
        boxes = [one(frame, "image", "图片框%d" % n) for n in range(1, 5)]
        edits = [node for role, _, node in tree(frame) if role == "text"]
        bars = [node for role, _, node in tree(frame) if role == "progress bar"]
        if not check(deal and verify and all(boxes) and len(edits) == 1 and len(bars) == 1,
                     "buttons, four picture boxes (role image), the edit box and the bar are found"):
            return

        subprocess.run(["import", "-window", "root", os.path.join(out, "before.png")], check=True)
        builtin = [box.get_description() for box in boxes]
        check(builtin == ["黑桃 A", "黑桃 2", "黑桃 10", "黑桃 4"],
              "before a deal the boxes describe the built-in spades (%r)" % builtin)

        announced.clear()
        check(press(deal), "重新发牌 pressed through its action")
        dealt = time.monotonic()
        check(wait_for(lambda: label.get_name() == "您还有99秒", 3.0),
              "remaining time reads 您还有99秒 one second after the deal (%r after %.1f s)"
              % (label.get_name(), time.monotonic() - dealt))
        check(label.get_role_name() == "label", "the remaining time has role label")
        check(Atspi.Value.get_current_value(bars[0]) == 1, "the progress bar's value is 1")
        pump(0.2)
        check("您还有99秒" in announced, "the new remaining time was announced (%r)" % announced)
        check(len(labels(frame)) == 1, "after a deal the verdict is still out of the tree")

        screen = os.path.join(out, "dealt.png")
        subprocess.run(["import", "-window", "root", screen], check=True)
        ranks = []
        for n, box in enumerate(boxes, 1):
            shown, off = shown_card(cards, screen, box)
            description = box.get_description()
            check(off < 12 and description == card_name(shown),
                  "图片框%d describes the card it shows: %r, shows %s (mean difference %.1f)"
                  % (n, description, shown, off))
            ranks.append(int(re.search(r"\((\d+)\)", shown).group(1)))

        check(press(boxes[0]), "图片框1 pressed through its action")
        text = wait_for(lambda: Atspi.Text.get_text(edits[0], 0, -1), 2.0)
        check(text == str(ranks[0]), "the expression gained the first card's rank (%r, want %r)"
              % (text, str(ranks[0])))
        check(wait_for(lambda: not sensitive(boxes[0]), 2.0), "图片框1 is insensitive once picked")
        press(boxes[0])
        pump(0.3)
        check(Atspi.Text.get_text(edits[0], 0, -1) == str(ranks[0]),
              "pressing the picked card again adds nothing")

        announced.clear()
        check(press(verify), "验算结果 pressed through its action")
        verdict = wait_for(lambda: [node for name, node in labels(frame) if name in ("正确！", "错误！")], 2.0)
        if check(len(verdict) == 1, "after the check the verdict is in the tree"):
            name = verdict[0].get_name()
            check(verdict[0].get_role_name() == "label", "the verdict %r has role label" % name)
            pump(0.2)
            check(name in announced, "the verdict was announced (%r)" % announced)
        subprocess.run(["import", "-window", "root", os.path.join(out, "checked.png")], check=True)
    finally:
        game.terminate()
        game.wait(10)
        listener.deregister("object:property-change:accessible-name")


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    program = sys.argv[1]
    out = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp()
    os.makedirs(out, exist_ok=True)
    if "DBUS_SESSION_BUS_ADDRESS" not in os.environ:
        sys.exit("FAIL: no session bus; run under dbus-run-session")
    xvfb, display = start_x_server()
    os.environ["DISPLAY"] = display
    try:
        run(program, out)
    finally:
        xvfb.terminate()
        xvfb.wait(10)
    if failures:
        print("%d check(s) failed" % len(failures))
        sys.exit(1)
    print("PASS")


if __name__ == "__main__":
    main()
