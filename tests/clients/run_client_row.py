#!/usr/bin/env python3
"""Drives the virtual display with a real client program and compares the screen with one row.

Usage: run_client_row.py SIM_PROGRAM CLIENTS_DIR ROW_ID

SIM_PROGRAM is the kundendisplay-sim to test, CLIENTS_DIR the folder in which
install_escpos_screen.sh installed the npm package.

The rows are in rows.txt beside this script, the rows the display still gets wrong in
known_faults.txt. Exit status: 0 the display showed the row's screen, 1 it did not (or the
row's known fault is gone, so that its mark must be lifted), 77 a known fault, shown and
skipped, 2 a bad command line or row.
"""

import os
import pwd
import re
import select
import shutil
import socket
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass
from pathlib import Path

HERE = Path(__file__).resolve().parent
SKIPPED = 77
ROW = re.compile(
    r"^(?P<id>[a-z0-9-]+)\s*\|\s*(?P<client>[a-z-]+)\s*\|\s*(?P<case>\S+)\s*\|\s*(?P<set>[a-z-]+)"
    r"\s*\|\s*`(?P<line1>.{20})`\s*\|\s*`(?P<line2>.{20})`\s*\|\s*(?P<state>.*?)\s*$")


@dataclass
class Row:
    id: str
    client: str
    case: str
    set: str
    line1: str
    line2: str
    state: str


class Failure(Exception):
    pass


def read_rows():
    rows = {}
    for number, text in enumerate((HERE / "rows.txt").read_text(encoding="utf-8").splitlines(), 1):
        if not text.strip() or text.startswith("#"):
            continue
        match = ROW.match(text)
        if not match:
            raise Failure(f"rows.txt line {number} is no row: {text!r}")
        rows[match["id"]] = Row(**match.groupdict())
    return rows


def read_known_faults():
    faults = {}
    for text in (HERE / "known_faults.txt").read_text(encoding="utf-8").splitlines():
        if text.strip() and not text.startswith("#"):
            row_id, _, reason = text.partition(" ")
            faults[row_id] = reason.strip()
    return faults


def print_screen(sim, display_set, path, env):
    """The two lines and the state line that --print renders from a file of bytes or a recording."""
    run = subprocess.run([sim, "--print", "--emulation", display_set, str(path)], env=env,
                         capture_output=True, timeout=60)
    if run.returncode != 0:
        raise Failure(f"kundendisplay-sim --print ended with {run.returncode}: "
                      f"{run.stderr.decode(errors='replace')}")
    lines = run.stdout.decode("utf-8").split("\n")
    if len(lines) < 3:
        raise Failure(f"kundendisplay-sim --print printed {run.stdout!r}")
    return lines[0], lines[1], lines[2]


def private_environment(folder):
    """A private folder of its own, so that the display's one-per-user lock meets no other."""
    runtime = folder / "runtime"
    runtime.mkdir(mode=0o700)
    env = dict(os.environ, XDG_RUNTIME_DIR=str(runtime), QT_QPA_PLATFORM="offscreen")
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    return env


def program(name, *elsewhere):
    """The path of a client program, or a failure that says how to install it."""
    for candidate in (shutil.which(name), *elsewhere):
        if candidate and os.access(candidate, os.X_OK):
            return candidate
    raise Failure(f"{name} is not installed: tools/install-deps.sh --tests installs it")


def wait_for(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return
        time.sleep(0.05)
    raise Failure(f"timed out after {seconds} s waiting for {what}")


def stop(process, name, log):
    """Ends a process this script started; says so when it does not end on SIGTERM."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            log.append(f"{name} did not end on SIGTERM within 10 s and was killed")
    return process.returncode


# ---- escpos-screen ---------------------------------------------------------------------------

def run_escpos_screen(row, sim, clients, folder, env, log):
    modules = clients / "escpos-screen" / "node_modules"
    if not (modules / "escpos-screen").is_dir():
        raise Failure(f"escpos-screen is not installed in {modules}: run the test "
                      "Clients.InstallEscposScreen (install_escpos_screen.sh) first")
    sent = folder / "sent.bin"
    subprocess.run([program("node"), str(HERE / "escpos_screen_cases.js"), str(modules), row.case,
                    str(sent)], check=True, timeout=60)
    log.append(f"escpos-screen sent: {sent.read_bytes().hex(' ')}")
    return print_screen(sim, row.set, sent, env)


# ---- LCDd ------------------------------------------------------------------------------------

LCDD_LINE1 = "Summe 11,50"
LCDD_LINE2 = "Danke"
# A case "Type,cursor" also shows the cursor, at column 5 of row 2.
LCDD_CURSOR = ("5", "2")
# LCDd flushes its frame eight times a second; what it sends on every frame needs a few seconds
# to cover the whole screen. The display is read once it shows the row, or after this long.
LCDD_SETTLE_SECONDS = 25.0


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def lcdd_config(folder, device, lcdd_type, port):
    config = folder / "LCDd.conf"
    config.write_text(f"""[server]
DriverPath=/usr/lib/x86_64-linux-gnu/lcdproc/
Driver=serialPOS
Bind=127.0.0.1
Port={port}
ReportToSyslog=no
ReportLevel=3
User={pwd.getpwuid(os.getuid()).pw_name}
Foreground=yes
ServerScreen=no

[serialPOS]
Device={device}
Size=20x2
Type={lcdd_type}
Speed=9600
""", encoding="ascii")
    return config


def start_lcdd(folder, device, lcdd_type, log):
    """LCDd in the foreground on a free port; a port taken in between is tried again."""
    for _ in range(3):
        port = free_port()
        config = lcdd_config(folder, device, lcdd_type, port)
        with open(folder / "LCDd.log", "wb") as lcdd_log:
            lcdd = subprocess.Popen([program("LCDd", "/usr/sbin/LCDd"), "-c", str(config), "-f"],
                                    stdin=subprocess.DEVNULL, stdout=lcdd_log,
                                    stderr=subprocess.STDOUT)

        def listening():
            if lcdd.poll() is not None:
                return True
            with socket.socket() as probe:
                return probe.connect_ex(("127.0.0.1", port)) == 0

        wait_for(listening, 20, f"LCDd to listen on 127.0.0.1:{port}")
        if lcdd.poll() is None:
            return lcdd, port
        log.append((folder / "LCDd.log").read_text(errors="replace"))
    raise Failure("LCDd did not start three times; its last output is above")


def wait_until_shown(row, sim, recording, folder, env):
    """Renders what has arrived so far until it is the row's screen or the time is up."""
    snapshot = folder / "so-far.rec"
    deadline = time.monotonic() + LCDD_SETTLE_SECONDS
    while time.monotonic() < deadline:
        time.sleep(0.5)
        if not recording.exists():
            continue
        received = recording.read_text(encoding="ascii")
        snapshot.write_text(received[: received.rfind("\n") + 1], encoding="ascii")
        if not differences(row, print_screen(sim, row.set, snapshot, env)):
            return


def run_lcdd(row, sim, clients, folder, env, log):
    link = folder / "kundendisplay"
    recording = folder / "received.rec"
    with open(folder / "sim.log", "wb") as sim_log:
        display = subprocess.Popen([str(sim), "--com", "0", "--serial-link", str(link),
                                    "--record", str(recording), "--emulation", row.set],
                                   env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=sim_log)
    lcdd = client = None
    try:
        wait_for(lambda: link.is_symlink() or display.poll() is not None, 30,
                 "the display's --serial-link")
        if display.poll() is not None:
            raise Failure(f"kundendisplay-sim ended with {display.returncode}: "
                          + (folder / "sim.log").read_text(errors="replace"))
        lcdd_type, _, option = row.case.partition(",")
        if option not in ("", "cursor"):
            raise Failure(f"unknown LCDd case option {option!r} in row {row.id}")
        lcdd, port = start_lcdd(folder, link, lcdd_type, log)
        cursor = LCDD_CURSOR if option == "cursor" else ()
        client = subprocess.Popen([sys.executable, str(HERE / "lcdd_client.py"), str(port),
                                   LCDD_LINE1, LCDD_LINE2, *cursor],
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        ready, _, _ = select.select([client.stdout], [], [], 20)
        if not ready or client.stdout.readline().strip() != b"shown":
            raise Failure(f"the LCDd client did not put up its screen (status {client.poll()})")
        wait_until_shown(row, sim, recording, folder, env)
        # The display is read first, while LCDd still shows the client's screen: on its way out
        # LCDd writes its goodbye text.
        if stop(display, "kundendisplay-sim", log) != 0:
            raise Failure(f"kundendisplay-sim ended with {display.returncode} on SIGTERM")
    finally:
        for process, name in ((client, "the LCDd client"), (lcdd, "LCDd"),
                              (display, "kundendisplay-sim")):
            if process is not None:
                stop(process, name, log)
    received = recording.read_text(encoding="ascii")
    log.append("LCDd sent (the display's recording):\n" + received)
    return print_screen(sim, row.set, recording, env)


CLIENTS = {"escpos-screen": run_escpos_screen, "lcdd": run_lcdd}


def run_row(row, sim, clients):
    log = []
    with tempfile.TemporaryDirectory(prefix="kd-client-") as name:
        folder = Path(name)
        env = private_environment(folder)
        try:
            line1, line2, state = CLIENTS[row.client](row, sim, clients, folder, env, log)
        finally:
            print("\n".join(log))
    print(f"screen:\n`{line1}`\n`{line2}`\n{state}")
    return differences(row, (line1, line2, state))


def differences(row, screen):
    """What the screen shows that the row does not expect, one text each; empty when it agrees."""
    line1, line2, state = screen
    problems = []
    for which, expected, shown in (("line 1", row.line1, line1), ("line 2", row.line2, line2)):
        if shown != expected:
            problems.append(f"{which}: expected `{expected}`, shown `{shown}`")
    if row.state and row.state not in state:
        problems.append(f"state line: expected it to hold `{row.state}`, shown `{state}`")
    return problems


def main(argv):
    if len(argv) != 4:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    sim, clients, row_id = Path(argv[1]).resolve(), Path(argv[2]).resolve(), argv[3]
    try:
        rows = read_rows()
        faults = read_known_faults()
    except Failure as failure:
        print(failure, file=sys.stderr)
        return 2
    if row_id not in rows:
        print(f"no row {row_id!r} in rows.txt", file=sys.stderr)
        return 2
    for fault_id in faults:
        if fault_id not in rows:
            print(f"known_faults.txt names {fault_id!r}, which is no row", file=sys.stderr)
            return 2
    row = rows[row_id]
    if row.client not in CLIENTS:
        print(f"row {row_id}: unknown client {row.client!r}; clients: {', '.join(CLIENTS)}",
              file=sys.stderr)
        return 2
    try:
        problems = run_row(row, sim, clients)
    except (Failure, subprocess.SubprocessError, OSError) as failure:
        print(f"{row_id}: {failure}", file=sys.stderr)
        return 1
    if row_id in faults:
        if problems:
            print(f"{row_id}: known fault, skipped: {faults[row_id]}\n  " + "\n  ".join(problems))
            return SKIPPED
        print(f"{row_id}: the known fault ({faults[row_id]}) no longer shows: "
              "remove the row from known_faults.txt", file=sys.stderr)
        return 1
    if problems:
        print(f"{row_id}: the display is wrong\n  " + "\n  ".join(problems), file=sys.stderr)
        return 1
    print(f"{row_id}: as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
