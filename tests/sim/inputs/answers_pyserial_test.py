"""A till program reads what the display answers, with pyserial as till programs in Python do:
through the display's serial link (the pseudo-terminal) and over RFC 2217. A DSP-800 acknowledges
every frame and reads its view back, an IEE display identifies itself; the answers come in the
order of the commands, and the headless stream logs them. Usage: answers_pyserial_test.py
KUNDENDISPLAY_SIM"""
import os
import sys
import tempfile

import serial

from headless_display import HeadlessDisplay

PROGRAM = sys.argv[1]


def exchange(port, sent, expected):
    port.reset_input_buffer()
    port.write(sent)
    port.flush()
    got = port.read(len(expected))
    assert got == expected, "sent %s: answer %s, expected %s" % (sent.hex(" "), got.hex(" "),
                                                               expected.hex(" "))


FRAMES = b"\x04\x01\x43\x31\x58\x17\x04\x01P1\x17Total\x04\x01T\x17"
ANSWER = b"\x06\x06\x01Total" + b" " * 35 + b"\x17"
IEE_ID = b"D,2,IEE,35964,-03\r"


def dsp800_through_the_serial_link(folder):
    link = os.path.join(folder, "kundendisplay")
    display = HeadlessDisplay(PROGRAM, "--emulation", "dsp800", "--serial-link", link)
    try:
        # The DSP-800's usual line; the display reads the pseudo-terminal's speed.
        port = serial.Serial(link, 19200, timeout=3)
        exchange(port, FRAMES, ANSWER)
        # An unknown command is refused with NAK, and the display goes on.
        exchange(port, b"\x04\x01Z\x17\x04\x01P1\x17", b"\x15\x06")
        display.wait_for(lambda e: e["event"] == "command" and e["name"] == "answer: 15")
        port.close()
    finally:
        display.close()


def iee_over_rfc2217():
    display = HeadlessDisplay(PROGRAM, "--emulation", "iee", "--rfc2217", "127.0.0.1:0")
    try:
        port = serial.serial_for_url("rfc2217://" + display.ready["rfc2217"], 9600, timeout=3)
        exchange(port, b"\x15Hallo\x1b\x05I", IEE_ID)
        port.close()
    finally:
        display.close()


def iee_chosen_identification():
    with tempfile.TemporaryDirectory() as folder:
        link = os.path.join(folder, "kundendisplay")
        display = HeadlessDisplay(PROGRAM, "--emulation", "iee", "--serial-link", link,
                          "--identification", "4B 44 0D")
        try:
            port = serial.Serial(link, 9600, timeout=3)
            exchange(port, b"\x1b\x05I", b"KD\r")
            port.close()
        finally:
            display.close()


with tempfile.TemporaryDirectory() as scratch:
    dsp800_through_the_serial_link(scratch)
iee_over_rfc2217()
iee_chosen_identification()
print("answers read back with pyserial: ok")
