"""Drives the installed tool through the desktop's accessibility tree, as a screen reader or UI
automation would.

Usage: click_through.py failed-scans PORT_MAP_FOLDER
    Before the virtual display runs: both scans fail, and the Com-Port box's description (its
    tooltip) names the library, the devices and the reasons. The tool keeps running.
Usage: click_through.py display
    With the virtual display running: USB and then Com reach it, with no setup.
Exits 0 when everything was seen; prints what it saw otherwise.
"""
import os
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


def dismiss_message(app, text, timeout=10.0):
    """Reads the modal message box and answers it with OK."""
    deadline = time.time() + timeout
    seen = []
    while time.time() < deadline:
        for box in pyatspi.findAllDescendants(
                app, lambda n: n.getRoleName() in ("alert", "dialog")):
            if find(box, "label", text) is not None:
                click(box, "push button", "OK")
                return
            seen = [n.name for n in pyatspi.findAllDescendants(
                box, lambda n: n.getRoleName() == "label")]
        time.sleep(0.2)
    sys.exit(f"no message box {text!r}; last seen: {seen!r}")


def wait_for_port(app, expected, timeout=10.0):
    port = find(app, "text", "Com-Port").queryText()
    deadline = time.time() + timeout
    while port.getText(0, -1) != expected and time.time() < deadline:
        time.sleep(0.1)
    return port.getText(0, -1)


def description_mentions(app, *parts, timeout=5.0):
    deadline = time.time() + timeout
    while True:
        description = find(app, "text", "Com-Port").description
        missing = [part for part in parts if part not in description]
        if not missing:
            return True
        if time.time() > deadline:
            print(f"the Com-Port description lacks {missing!r}:\n{description}")
            return False
        time.sleep(0.2)


def failed_scans(port_map):
    tool = application("kundendisplay-test")
    for label in ("Com-Port", "Settings"):
        if find(tool, "text", label) is None:
            sys.exit(f"no text box named {label!r}")
    click(tool, "radio button", "USB")
    dismiss_message(tool, "Kein USB-Anschluss gefunden")
    ok = description_mentions(tool, "Letzte Suche (USB):", "Port 1–20 (",
                              "/lib/kundendisplay/usb/libcd722dusb.so",
                              "kein Display angeschlossen")
    click(tool, "radio button", "Com")
    dismiss_message(tool, "Kein COM-Anschluss gefunden")
    ok = description_mentions(
        tool, "Letzte Suche (COM):",
        "Port 1–20 (/nonexistent/ttyKD1 (Portzuordnung COM1) … "
        "/nonexistent/ttyKD20 (Portzuordnung COM20)): Gerät nicht vorhanden") and ok
    sys.exit(0 if ok else 1)


def display():
    tool = application("kundendisplay-test")
    sim = application("kundendisplay-sim")
    click(tool, "radio button", "USB")
    if wait_for_port(tool, "1") != "1":
        sys.exit("the USB scan did not stop at port 1: no virtual display reached")
    click(tool, "push button", "Summe")
    ok = wait_for_lines(sim, ["Gesamt:" + " " * 13, " " * 15 + "11,50"])
    click(tool, "push button", "Text")
    ok = wait_for_lines(sim, ["100 Rollringe  11,50", " " * 20]) and ok
    # "Com" reaches the display through the port number it entered itself as.
    click(tool, "radio button", "Com")
    if wait_for_port(tool, "1") != "1":
        sys.exit("the Com scan did not stop at port 1: the display's port map entry was not used")
    ok = wait_for_lines(sim, [" " * 20, " " * 20]) and ok
    click(tool, "push button", "Summe")
    ok = wait_for_lines(sim, ["Gesamt:" + " " * 13, " " * 15 + "11,50"]) and ok
    ok = description_mentions(tool, "(virtuelles Kundendisplay)",
                              "): geöffnet, Display gelöscht") and ok
    click(tool, "push button", "Ende")
    sys.exit(0 if ok else 1)


if sys.argv[1:2] == ["failed-scans"]:
    failed_scans(sys.argv[2])
elif sys.argv[1:2] == ["display"]:
    display()
else:
    sys.exit(__doc__)
