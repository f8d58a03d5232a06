"""Drives the real tarnwick binary on a private Xvfb, from outside.

Other X clients stand in for the user and the applications: xclip copies and
reads the clipboard, xdotool presses keys, paste_target records what is pasted
into it. CTest passes the two programs' paths in TARNWICK_BINARY and
TARNWICK_PASTE_TARGET. Asynchronous checks poll with a deadline (wait_until).
"""

import os
import shutil
import subprocess
import tempfile
import time
import unittest

TARNWICK = os.environ.get("TARNWICK_BINARY", "tarnwick")
PASTE_TARGET = os.environ.get("TARNWICK_PASTE_TARGET", "paste_target")


def wait_until(predicate, timeout=5.0):
    """Polls predicate until it is true or timeout seconds pass; its last value."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(0.02)
    return predicate()


class Program:
    """A started process whose output goes to files, read at any time."""

    def __init__(self, argv, env, folder, stdin=None):
        name = os.path.basename(argv[0])
        self.out_path = tempfile.mktemp(prefix=name + "-", suffix=".out", dir=folder)
        self.err_path = self.out_path[:-4] + ".err"
        with open(self.out_path, "wb") as out, open(self.err_path, "wb") as err:
            self.process = subprocess.Popen(
                argv, env=env, stdin=subprocess.PIPE if stdin is not None else subprocess.DEVNULL,
                stdout=out, stderr=err)
        if stdin is not None:
            self.process.stdin.write(stdin)
            self.process.stdin.close()

    def output(self):
        with open(self.out_path, "rb") as f:
            return f.read().decode(errors="replace")

    def errors(self):
        with open(self.err_path, "rb") as f:
            return f.read().decode(errors="replace")

    def running(self):
        return self.process.poll() is None

    def stop(self):
        if self.running():
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class PasteTarget(Program):
    """A focused text window: text() is what arrived, keys() the key presses
    it saw, one per line as Qt names them ("Ctrl+V", "K")."""

    def __init__(self, session):
        self.path = tempfile.mktemp(prefix="pasted-", dir=session.folder)
        super().__init__([PASTE_TARGET, self.path], session.env, session.folder)
        self.session = session
        self.window = session.window("^Paste Target$", 10)
        if not (self.window and wait_until(lambda: os.path.exists(self.path + ".keys"))):
            raise RuntimeError("paste_target did not show its window: " + self.errors())
        self.focus()

    def focus(self):
        # No window manager runs here, so focus is set directly.
        self.session.xdotool("windowfocus", "--sync", self.window)

    def text(self):
        with open(self.path, "rb") as f:
            return f.read().decode()

    def keys(self):
        with open(self.path + ".keys", encoding="utf-8") as f:
            return f.read().split()


class Session:
    """A private X server (with a tray when asked) and what runs on it; close()
    stops every program started here and the server last."""

    def __init__(self, tray=False, screen="1280x1024"):
        self.folder = tempfile.mkdtemp(prefix="tarnwick-e2e-")
        self.programs = []
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen + "x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        # Xvfb writes its display number once it accepts connections.
        with os.fdopen(read_end) as numbers:
            number = numbers.readline().strip()
        if not number:
            self.close()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        self.env = dict(os.environ, DISPLAY=self.display, QT_QPA_PLATFORM="xcb",
                        XDG_RUNTIME_DIR=self.folder)
        if tray:
            self.start(["trayer", "--edge", "top", "--align", "right", "--widthtype",
                        "request", "--heighttype", "pixel", "--height", "32"])
            if not self.window("^panel$", 10):
                self.close()
                raise RuntimeError("trayer did not show its panel")

    def start(self, argv, env=None, stdin=None):
        """Starts argv on this display; env entries add to (None: remove from) the session's."""
        full = dict(self.env)
        for name, value in (env or {}).items():
            if value is None:
                full.pop(name, None)
            else:
                full[name] = value
        program = Program(argv, full, self.folder, stdin)
        self.programs.append(program)
        return program

    def start_tarnwick(self, env=None):
        return self.start([TARNWICK], env)

    def paste_target(self):
        target = PasteTarget(self)
        self.programs.append(target)
        return target

    def run(self, *argv, stdin=None, timeout=10):
        """Runs a command to its end on this display; the CompletedProcess (bytes in, text out)."""
        return subprocess.run(argv, env=self.env, input=stdin, capture_output=True,
                              timeout=timeout, text=stdin is None)

    def window(self, name_pattern, timeout=5.0):
        """The id of a shown window whose title matches, or None after timeout seconds."""
        found = []
        search = ("xdotool", "search", "--onlyvisible", "--name", name_pattern)
        wait_until(lambda: found.extend(self.run(*search).stdout.split()) or found, timeout)
        return found[0] if found else None

    def xdotool(self, *args):
        result = self.run("xdotool", *args)
        if result.returncode != 0:
            raise RuntimeError("xdotool %s failed: %s" % (" ".join(args), result.stderr))

    def key(self, *chords):
        self.xdotool("key", *chords)

    def clipboard(self, target="UTF8_STRING", raw=False):
        """The clipboard's content as target (text unless raw), None when there is none."""
        result = subprocess.run(["xclip", "-selection", "clipboard", "-t", target, "-o"],
                                env=self.env, capture_output=True, timeout=10)
        if result.returncode != 0:
            return None
        return result.stdout if raw else result.stdout.decode(errors="replace")

    def copy(self, data, target="UTF8_STRING"):
        """Another application copies data (str or bytes); its xclip owns the
        clipboard until someone else takes it. Returns that Program."""
        raw = data.encode() if isinstance(data, str) else data
        owner = self.start(["xclip", "-quiet", "-selection", "clipboard", "-t", target, "-i"],
                           stdin=raw)
        if not wait_until(lambda: self.clipboard(target, raw=True) == raw, 10):
            raise RuntimeError("xclip did not take the clipboard")
        return owner

    def close(self):
        for program in reversed(self.programs):
            program.stop()
        self.server.terminate()
        self.server.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


class EndToEndTest(unittest.TestCase):
    """Gives each test self.x, a fresh Session (tray when the class sets tray = True)."""

    tray = False

    def setUp(self):
        self.x = Session(tray=self.tray)
        self.addCleanup(self.x.close)

    def assertEventually(self, predicate, message="", timeout=5.0):
        self.assertTrue(wait_until(predicate, timeout), message() if callable(message) else message)


def main():
    unittest.main(verbosity=2)
