# SPDX-License-Identifier: MIT
"""The load run: the real binary on a private Xvfb while another application
copies distinct texts as fast as the clipboard takes them and the user pastes
by hot key now and then. At the end row 1 must be the last copy, on the
clipboard and pasted by ctrl+1, and the program still running. Prints the copy
and paste rates; exits 1 when the end state is wrong.

  TARNWICK_BINARY=build/release/bin/tarnwick \\
  TARNWICK_PASTE_TARGET=build/release/bin/paste_target \\
      python3 bench/load_run.py [COPIES]            (default 1000)
"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402


def main():
    copies = int(sys.argv[1]) if len(sys.argv) > 1 else 1000
    x = harness.Session()
    try:
        app = x.start([harness.TARNWICK])
        if not x.window("^Tarnwick$", 10):  # open window: ctrl is on
            print("load run: no window; " + app.error_output())
            return 1
        target = x.paste_target()
        pastes = 0
        start = time.monotonic()
        for n in range(copies):
            x.copy("load %d" % n)
            if n % 10 == 9:
                x.xdotool("key", "ctrl+%d" % (2 + n % 8))
                pastes += 1
            # The owners that lost the clipboard have ended: forget them.
            x.programs = [p for p in x.programs if p.running()]
        seconds = time.monotonic() - start
        last = "load %d" % (copies - 1)
        before = len(target.text())
        x.xdotool("key", "ctrl+1")
        settled = (harness.wait_until(lambda: target.text()[before:] == last, 10)
                   and harness.wait_until(lambda: x.clipboard() == last.encode(), 5))
        alive = app.running()
        print("load run: %d copies in %.1f s (%.0f per second), %d hot-key pastes; "
              "row 1 is the last copy: %s; still running: %s"
              % (copies, seconds, copies / seconds, pastes, settled, alive))
        return 0 if settled and alive else 1
    finally:
        x.close()


if __name__ == "__main__":
    sys.exit(main())
