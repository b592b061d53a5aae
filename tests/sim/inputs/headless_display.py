"""The headless virtual display as a test's subprocess: started with --headless --log and no
per-user inputs, its JSON Lines read on a thread, events waited for. Shared by the tests that drive
it with pyserial."""
import json
import queue
import signal
import subprocess
import threading
import time


class HeadlessDisplay:
    def __init__(self, program, *options):
        self.process = subprocess.Popen(
            [program, "--headless", "--log", "--com", "0", "--no-usb", *options],
            stdout=subprocess.PIPE, text=True, encoding="utf-8")
        # A thread reads the stream, so that no line waits in a buffer that select cannot see.
        self.lines = queue.Queue()
        threading.Thread(target=self.read, daemon=True).start()
        self.events = []
        self.ready = self.wait_for(lambda e: True, timeout=10)
        assert self.ready["event"] == "ready", "the first event is not ready: %s" % self.ready

    def read(self):
        for line in self.process.stdout:
            self.lines.put(line)
        self.lines.put(None)

    def wait_for(self, test, timeout=8.0):
        deadline = time.monotonic() + timeout
        while True:
            try:
                line = self.lines.get(timeout=max(0.0, deadline - time.monotonic()))
            except queue.Empty:
                break
            if line is None:
                break
            event = json.loads(line)
            self.events.append(event)
            if test(event):
                return event
        raise AssertionError("no such event within %s s; last events: %s"
                             % (timeout, self.events[-5:]))

    def logged(self, text):
        """Whether a command event (a note of the log) holds the text, waiting a little for it."""
        def note(e):
            return e["event"] == "command" and text in e.get("name", "")
        if any(note(e) for e in self.events):
            return True
        try:
            self.wait_for(note, timeout=3)
            return True
        except AssertionError:
            return False

    def screen_with(self, line1):
        return self.wait_for(lambda e: e["event"] == "screen" and e["lines"][0] == line1.ljust(20))

    def close(self):
        self.process.send_signal(signal.SIGTERM)
        assert self.process.wait(timeout=10) == 0
