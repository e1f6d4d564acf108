#!/usr/bin/python3
"""The quorbel program as a process: a hostile environment, and the hardening of the binary.

  program_test.py QUORBEL_BINARY [TEST ...]   (TEST: HostileEnvironment, Hardening)
"""
import os
import re
import subprocess
import sys
import tempfile
import time
import unittest

BINARY = os.path.abspath(sys.argv[1])


def environment(**changes):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(changes)
    return env


class HostileEnvironment(unittest.TestCase):
    def assert_one_clear_line(self, env):
        run = subprocess.run([BINARY], env=env, capture_output=True, text=True, timeout=60,
                             stdin=subprocess.DEVNULL)
        self.assertEqual(run.returncode, 1, "expected status 1, not an abort: " + run.stderr)
        lines = run.stderr.splitlines()
        self.assertEqual(len(lines), 1, run.stderr)
        self.assertIn("display", lines[0])
        self.assertEqual(run.stdout, "")

    def test_no_display_at_all(self):
        self.assert_one_clear_line(environment())

    def test_a_display_that_cannot_be_reached(self):
        self.assert_one_clear_line(environment(DISPLAY=":87"))

    def test_another_start_failure_keeps_its_own_text(self):
        run = subprocess.run([BINARY], env=environment(QT_QPA_PLATFORM="no-such-platform"), capture_output=True,
                             text=True, timeout=60, stdin=subprocess.DEVNULL)
        self.assertEqual(run.returncode, 1, run.stderr)
        self.assertIn('"no-such-platform"', run.stderr)
        self.assertNotIn("no display could be reached", run.stderr)

    def test_arguments_are_ignored_but_qt_warnings_still_shown(self):
        # The toolkit's own options among the arguments change nothing; its environment variables
        # still work, and its warnings (here an unknown style) reach stderr as in any Qt program.
        with tempfile.TemporaryDirectory() as runtime:
            os.chmod(runtime, 0o700)
            program = subprocess.Popen([BINARY, "--frobnicate", "-x", "file.txt", "-platform", "no-such-platform",
                                        "-stylesheet", "/no/such.qss", "-reverse", "--", "още"],
                                       env=environment(QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=runtime,
                                                       QT_STYLE_OVERRIDE="no-such-style"),
                                       stdout=subprocess.PIPE, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL,
                                       text=True)
            time.sleep(2)
            self.assertIsNone(program.poll(), "the program did not keep running")
            program.terminate()
            stderr = program.communicate(timeout=30)[1]
        self.assertIn("no-such-style", stderr)
        self.assertTrue(all("style" in line for line in stderr.splitlines()), stderr)


class Hardening(unittest.TestCase):
    @staticmethod
    def readelf(*args):
        return subprocess.run(["readelf", "-W", *args, BINARY], capture_output=True, text=True,
                              check=True).stdout

    def test_position_independent_executable(self):
        self.assertRegex(self.readelf("-h"), r"Type:\s+DYN")
        self.assertRegex(self.readelf("-d"), r"FLAGS_1.*\bPIE\b")

    def test_full_relro_with_immediate_binding(self):
        self.assertIn("GNU_RELRO", self.readelf("-l"))
        dynamic = self.readelf("-d")
        self.assertTrue(re.search(r"\(FLAGS\).*\bBIND_NOW\b", dynamic) or re.search(r"FLAGS_1.*\bNOW\b", dynamic),
                        "no immediate binding")

    def test_stack_protector_and_fortified_sources(self):
        self.assertIn("__stack_chk_fail", self.readelf("--dyn-syms"))
        self.assertIn("-fstack-protector-strong", self.readelf("-p", ".GCC.command.line"))
        # Fortified sources show in the binary as the C library's checking variants of the calls
        # the compiler could bound (its fprintf among them).
        checked = set(re.findall(r"\b(__\w+_chk)\b", self.readelf("--dyn-syms"))) - {"__stack_chk_fail"}
        self.assertTrue(checked, "no fortified call")


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v", *filter(None, sys.argv[2:])])
