#!/usr/bin/env python3
"""A client of LCDd's text protocol: puts up one screen with two string widgets and holds it.

Usage: lcdd_client.py PORT LINE1 LINE2 [CURSOR_X CURSOR_Y]

It connects to LCDd on 127.0.0.1:PORT, sets up a foreground screen without heartbeat (so that
no blinking heart is drawn over the text), writes LINE1 at column 1 of row 1 and LINE2 at
column 3 of row 2, with the cursor shown at CURSOR_X, CURSOR_Y when they are given, prints
"shown" on standard output and then waits until standard input is closed or it is terminated:
LCDd takes a client's screens down when the client goes.
Exit status 0 when every command was answered with "success", 1 otherwise.
"""

import socket
import sys


def quoted(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


class Session:
    def __init__(self, port):
        self.connection = socket.create_connection(("127.0.0.1", port), timeout=10)
        self.replies = self.connection.makefile("r", encoding="ascii", newline="\n")

    def send(self, command):
        self.connection.sendall((command + "\n").encode("ascii"))
        # LCDd sends "listen"/"ignore" lines for screen changes between replies; skip them.
        while True:
            reply = self.replies.readline()
            if not reply:
                raise RuntimeError(f"LCDd closed the connection after: {command}")
            reply = reply.strip()
            if not reply.startswith(("listen ", "ignore ")):
                return reply


def main(argv):
    if len(argv) not in (4, 6):
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    port, line1, line2 = int(argv[1]), argv[2], argv[3]
    cursor = f" -cursor on -cursor_x {int(argv[4])} -cursor_y {int(argv[5])}" if len(argv) == 6 else ""
    session = Session(port)
    greeting = session.send("hello")
    if not greeting.startswith("connect "):
        print(f"lcdd_client: unexpected greeting: {greeting}", file=sys.stderr)
        return 1
    for command in (
        "client_set -name kundendisplay",
        "screen_add kasse",
        f"screen_set kasse -priority foreground -heartbeat off -name Kasse{cursor}",
        "widget_add kasse oben string",
        "widget_add kasse unten string",
        f"widget_set kasse oben 1 1 {quoted(line1)}",
        f"widget_set kasse unten 3 2 {quoted(line2)}",
    ):
        reply = session.send(command)
        if reply != "success":
            print(f"lcdd_client: {command!r} answered {reply!r}", file=sys.stderr)
            return 1
    print("shown", flush=True)
    sys.stdin.read()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
