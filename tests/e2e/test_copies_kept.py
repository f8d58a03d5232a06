# SPDX-License-Identifier: MIT
"""Every copy Tarnwick reads is kept, in copy order: from a program that copies
again as soon as its copy was read, from one that copies three times a second,
and from a slow owner whose copy a hot key pastes before it is read."""

import harness


class CopiesKept(harness.EndToEndTest):
    def newest_ten(self, texts):
        """Hot keys 1 .. 0 paste texts, newest first."""
        for digit, text in zip("1234567890", texts):
            self.press("ctrl+" + digit, text)

    def test_every_copy_is_kept_in_order(self):
        self.start_with_target()
        for argv in (["relay", "10"], ["steady", "10", "300"]):
            with self.subTest(argv[0]):
                owner = self.x.start([harness.FAULT_OWNER, *argv])
                self.assertEventually(lambda: owner.output().count("asked UTF8_STRING") >= 10,
                                      owner.output, timeout=10)
                self.newest_ten(["%s-%d" % (argv[0], n) for n in range(10, 0, -1)])
        # A hot key a tenth of a second after a copy that takes 0.7 s to read
        # pastes that copy, which is then kept, never an older entry.
        owner = self.fault_owner("slow", "TARGETS", "late")
        self.press("ctrl+1", "late", timeout=5)
        self.assertEventually(lambda: "asked UTF8_STRING" in owner.output(), owner.output)
        self.press("ctrl+2", "steady-10")
        self.press("ctrl+1", "late")


if __name__ == "__main__":
    harness.main()
