#!/usr/bin/env python3
"""A till program's test against the headless virtual display, with the standard library only:
start the display, read where it listens from its ready event, let the till program send its
bytes over TCP, wait for the screen event that must follow, end the display.
KUNDENDISPLAY_SIM names the program when it is not on PATH."""
import json
import os
import selectors
import signal
import socket
import subprocess
import sys
import time


class HeadlessDisplay:
    def __init__(self, *options):
        program = os.environ.get("KUNDENDISPLAY_SIM", "kundendisplay-sim")
        # --com 0 --no-usb: nothing per-user, so that parallel tests each start their own display.
        self.process = subprocess.Popen(
            [program, "--headless", "--com", "0", "--no-usb", "--tcp", "127.0.0.1:0", *options],
            stdout=subprocess.PIPE, text=True, encoding="utf-8")
        self.selector = selectors.DefaultSelector()
        self.selector.register(self.process.stdout, selectors.EVENT_READ)
        self.ready = self.wait_for(lambda event: event["event"] == "ready", timeout=10)
        host, port = self.ready["tcp"].rsplit(":", 1)
        self.address = (host, int(port))

    def wait_for(self, test, timeout=5.0):
        """The first event that passes the test, or an AssertionError after the timeout."""
        deadline = time.monotonic() + timeout
        while self.selector.select(max(0.0, deadline - time.monotonic())):
            line = self.process.stdout.readline()
            if not line:
                break
            event = json.loads(line)
            if test(event):
                return event
        raise AssertionError("no such event within %s s" % timeout)

    def wait_for_lines(self, line1, line2, timeout=5.0):
        lines = [line1.ljust(20), line2.ljust(20)]
        return self.wait_for(
            lambda event: event["event"] == "screen" and event["lines"] == lines, timeout)

    def close(self):
        self.process.send_signal(signal.SIGTERM)
        return self.process.wait(timeout=10)


def main():
    display = HeadlessDisplay()
    print("Display bereit an %s:%d" % display.address)
    try:
        # Here the till program under test would connect; this one sends a total.
        with socket.create_connection(display.address) as till:
            till.sendall(b"\x0cGesamt:\r\n               11,50")
            screen = display.wait_for_lines("Gesamt:", "               11,50")
        print("Display zeigt: %s / %s" % tuple(line.strip() for line in screen["lines"]))
    finally:
        status = display.close()
    return status


if __name__ == "__main__":
    sys.exit(main())
