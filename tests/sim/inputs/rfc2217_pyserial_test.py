"""A sender on the network sets its line through RFC 2217 with pyserial, as a till program on a
serial redirector would: at the display's speed it is understood, at another the display shows
what its receiver reads and names the mismatch; FF in the data passes doubled and arrives once; a
client that never negotiates, or breaks a subnegotiation, is named in the log and the next client
is served as before. Usage: rfc2217_pyserial_test.py KUNDENDISPLAY_SIM"""
import socket
import sys
import time

import serial

from headless_display import HeadlessDisplay

PROGRAM = sys.argv[1]


class Display(HeadlessDisplay):
    """The display with an RFC 2217 listener on a port the system chooses."""

    def __init__(self, *options):
        super().__init__(PROGRAM, "--rfc2217", "127.0.0.1:0", *options)
        self.url = "rfc2217://" + self.ready["rfc2217"]
        self.host, port = self.ready["rfc2217"].rsplit(":", 1)
        self.port = int(port)


def main():
    failures = []

    def check(what, condition, detail=""):
        print(("ok   " if condition else "FAIL ") + what + (": " + str(detail) if detail else ""))
        if not condition:
            failures.append(what)

    display = Display("--line", "9600,N,8,1")
    try:
        # A matching sender: negotiated, its line known, its text shown as sent.
        port = serial.serial_for_url(display.url, baudrate=9600, timeout=1)
        port.write(b"\x0cHallo")
        port.flush()
        screen = display.screen_with("Hallo")
        check("matching sender is understood", screen["line"]["sender"] == "9600,N,8,1",
              screen["line"])
        check("a match is no mismatch", not screen["line"]["mismatch"])
        # FF in the data: pyserial doubles it on the wire, the display gets one byte (ÿ).
        port.write(b"\x0c\xffA")
        port.flush()
        display.screen_with("\u00ffA")
        check("FF in the data arrives once", True)
        port.close()

        # A sender at twice the display's speed: what the receiver reads, and the mismatch named.
        port = serial.serial_for_url(display.url, baudrate=19200, timeout=1)
        time.sleep(0.2)
        port.write(b"\x0cHallo Zeile 1")
        port.flush()
        before = "\u00ffA".ljust(20)
        screen = display.wait_for(
            lambda e: e["event"] == "screen" and e["line"]["sender"] == "19200,N,8,1"
            and e["lines"][0] != before)
        check("a wrong speed is a mismatch", screen["line"]["mismatch"], screen["line"])
        check("a wrong speed does not show the text", "Hallo" not in screen["lines"][0],
              screen["lines"])
        check("the description names both lines",
              "Sender 19200 8N1, Display 9600 8N1" in screen["line"]["description"],
              screen["line"]["description"])
        port.close()

        # 7 data bits with even parity into 8N1: bit 7 carries the parity bit ('C' becomes C3).
        port = serial.serial_for_url(display.url, baudrate=9600, bytesize=7, parity="E",
                                     timeout=1)
        time.sleep(0.2)
        port.write(b"\x0cAC")
        port.flush()
        screen = display.wait_for(
            lambda e: e["event"] == "screen" and e["line"]["sender"] == "9600,E,7,1"
            and e["lines"][0].startswith("A"))
        check("7E1 into 8N1 shows the parity bit as bit 7", screen["lines"][0][:2] == "A\u00c3",
              screen["lines"][0])
        port.close()

        # A client that never negotiates: named in the log, its line unknown, its bytes shown.
        with socket.create_connection((display.host, display.port)) as raw:
            raw.sendall(b"\x0cRoh")
            display.screen_with("Roh")
        check("a client that never negotiates is named",
              display.logged("COM port option"), "")
        # A broken subnegotiation: refused and named; the next client is served as before.
        with socket.create_connection((display.host, display.port)) as raw:
            raw.sendall(b"\xff\xfb\x2c\xff\xfa\x2c\x01\x00\x4b\x00\xff\xf0\x0cNach")
            display.screen_with("Nach")
        check("a broken subnegotiation is named", display.logged("broken subnegotiation"), "")
        port = serial.serial_for_url(display.url, baudrate=9600, timeout=1)
        port.write(b"\x0cWieder")
        port.flush()
        screen = display.screen_with("Wieder")
        check("the next client is served as before", not screen["line"]["mismatch"],
              screen["line"])
        port.close()
    finally:
        display.close()
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
