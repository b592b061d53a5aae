"""Drives the installed tool through the desktop's accessibility tree, as a screen reader or UI
automation would: chooses USB, clicks a button and reads what the virtual display shows.

Usage: click_through.py
Exits 0 when the virtual display showed the total; prints what it saw otherwise.
"""
import sys
import time

import pyatspi


def application(name, timeout=20.0):
    deadline = time.time() + timeout
    while time.time() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    sys.exit(f"{name} does not appear in the accessibility tree")


def find(node, role, name):
    return pyatspi.findDescendant(
        node, lambda n: n.getRoleName() == role and n.name == name, True)


def click(app, role, name):
    control = find(app, role, name)
    if control is None:
        sys.exit(f"no {role} named {name!r}")
    action = control.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("click", "press", "Press", "toggle"):
            action.doAction(i)
            return
    action.doAction(0)


def display_lines(sim):
    display = find(sim, "panel", "Display") or find(sim, "frame", "Display")
    if display is None:
        return None
    return [display.getChildAtIndex(i).name for i in range(display.childCount)]


def wait_for_lines(sim, expected, timeout=10.0):
    deadline = time.time() + timeout
    lines = None
    while time.time() < deadline:
        lines = display_lines(sim)
        if lines == expected:
            return True
        time.sleep(0.2)
    print(f"the display shows {lines!r}, expected {expected!r}")
    return False


def main():
    tool = application("kundendisplay-test")
    sim = application("kundendisplay-sim")
    for label in ("Com-Port", "Settings"):
        if find(tool, "text", label) is None:
            sys.exit(f"no text box named {label!r}")
    click(tool, "radio button", "USB")
    port = find(tool, "text", "Com-Port").queryText()
    deadline = time.time() + 10
    while port.getText(0, -1) not in ("1", "20") and time.time() < deadline:
        time.sleep(0.1)
    if port.getText(0, -1) != "1":
        sys.exit(f"the USB scan ended at port {port.getText(0, -1)!r}: no virtual display reached")
    click(tool, "push button", "Summe")
    ok = wait_for_lines(sim, ["Gesamt:" + " " * 13, " " * 15 + "11,50"])
    click(tool, "push button", "Text")
    ok = wait_for_lines(sim, ["100 Rollringe  11,50", " " * 20]) and ok
    click(tool, "push button", "Ende")
    sys.exit(0 if ok else 1)


main()
