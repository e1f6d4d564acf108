#!/usr/bin/python3
"""The release files that make dist writes, and the package lists of tools/install-deps.

  release_test.py DIST_DIR VERSION SOURCE_DIR [TEST ...]   (TEST: Package, Checksums, InstallDeps;
                                                           Package runs inside xvfb-run)
"""
import email.utils
import gzip
import io
import os
import re
import struct
import subprocess
import sys
import tarfile
import tempfile
import unittest

DIST, VERSION, SOURCE = sys.argv[1:4]
PACKAGE = os.path.join(os.path.abspath(DIST), f"quorbel_{VERSION}_amd64.deb")
APP_ID = "example.quorbel.Quorbel"
ICON_SIZES = (32, 48, 64, 128, 256)


def run(*command, timeout=300, **options):
    return subprocess.run(command, capture_output=True, text=True, timeout=timeout, **options)


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.unpacked = tempfile.TemporaryDirectory()
        cls.root = cls.unpacked.name
        subprocess.run(["dpkg-deb", "-x", PACKAGE, cls.root], check=True)

    @classmethod
    def tearDownClass(cls):
        cls.unpacked.cleanup()

    def test_lintian_finds_no_error_and_no_warning(self):
        check = run("lintian", "--fail-on", "error,warning", PACKAGE)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)
        self.assertNotRegex(check.stdout, r"(?m)^[EW]: ", check.stdout)

    def test_the_files_are_where_the_desktop_expects_them(self):
        share = os.path.join(self.root, "usr/share")
        for path in (f"applications/{APP_ID}.desktop", f"icons/hicolor/32x32/apps/{APP_ID}.png",
                     f"metainfo/{APP_ID}.metainfo.xml", "doc/quorbel/copyright",
                     "doc/quorbel/changelog.gz", "man/man1/quorbel.1.gz"):
            self.assertTrue(os.path.isfile(os.path.join(share, path)), path)
        self.assertTrue(os.access(os.path.join(self.root, "usr/bin/quorbel"), os.X_OK))
        # The menu finds the program and its icon by these names, and opens no terminal beside it.
        with open(os.path.join(share, f"applications/{APP_ID}.desktop"), encoding="utf-8") as f:
            entry = f.read()
        self.assertRegex(entry, r"(?m)^Exec=quorbel$")
        self.assertRegex(entry, rf"(?m)^Icon={re.escape(APP_ID)}$")
        self.assertRegex(entry, r"(?m)^Terminal=false$")
        with open(os.path.join(share, f"metainfo/{APP_ID}.metainfo.xml"), encoding="utf-8") as f:
            self.assertIn(f'<release version="{VERSION}"', f.read())

    def test_the_software_catalogue_takes_the_package_whole(self):
        # Software centres list only what Debian's catalogue composer makes of the package, and it
        # wants an icon of at least 64 pixels. The screenshot lives on the web site, not in the
        # package, so the composer is kept off the network.
        icons = os.path.join(self.root, "usr/share/icons/hicolor")
        self.assertEqual(sorted(os.listdir(icons)), sorted(f"{n}x{n}" for n in ICON_SIZES))
        for n in ICON_SIZES:
            with open(os.path.join(icons, f"{n}x{n}/apps/{APP_ID}.png"), "rb") as f:
                self.assertEqual(struct.unpack(">II", f.read(24)[16:]), (n, n), f"{n}x{n}")
        with tempfile.TemporaryDirectory() as out:
            compose = run("appstreamcli", "compose", "--no-net", "--print-report=full", "--origin=quorbel",
                          f"--result-root={out}", f"--hints-dir={out}/hints", self.root)
            self.assertEqual(compose.returncode, 0, compose.stdout + compose.stderr)
            self.assertNotRegex(compose.stdout, r"(?m)^\s*[EW]: ", compose.stdout)
            with gzip.open(os.path.join(out, "usr/share/swcatalog/xml/quorbel.xml.gz"), "rt") as f:
                catalogue = f.read()
        for n in (64, 128):
            self.assertIn(f'<icon type="cached" width="{n}" height="{n}">{APP_ID}.png</icon>', catalogue)

    def test_the_unpacked_program_opens_its_window(self):
        program = subprocess.Popen([os.path.join(self.root, "usr/bin/quorbel")],
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.PIPE)
        try:
            found = run("xdotool", "search", "--sync", "--onlyvisible", "--all",
                        "--pid", str(program.pid), "--name", "quorbel", timeout=60)
            self.assertEqual(found.returncode, 0, found.stderr)
            self.assertRegex(found.stdout, r"^\d+\n$")
        finally:
            program.kill()
            program.communicate(timeout=30)

    def test_apt_resolves_every_dependency(self):
        # The serif font's metric twin among them, in either of Debian's packages: without it the
        # window's captions and rows are cut.
        depends = run("dpkg-deb", "--field", PACKAGE, "Depends").stdout.split(",")
        self.assertIn("fonts-liberation2 | fonts-liberation", [d.strip() for d in depends])
        simulation = run("apt-get", "install", "--simulate", PACKAGE)
        self.assertEqual(simulation.returncode, 0, simulation.stdout + simulation.stderr)
        self.assertRegex(simulation.stdout, rf"(?m)^Conf quorbel \({re.escape(VERSION)} ")


    def test_the_release_carries_one_time_and_no_umask(self):
        # Built again from the same commit, anywhere and at any time, the release gives the same
        # bytes only if every date and every member time in it is the commit's, and no mode comes
        # from the umask. The one time is read from the changelog; make reprotest builds it twice.
        with gzip.open(os.path.join(self.root, "usr/share/doc/quorbel/changelog.gz"), "rt") as f:
            when = email.utils.parsedate_to_datetime(re.search(r"(?m)^ -- .+>  (.+)$", f.read())[1])
        epoch, day = int(when.timestamp()), when.date().isoformat()
        with open(os.path.join(self.root, f"usr/share/metainfo/{APP_ID}.metainfo.xml")) as f:
            self.assertIn(f'<release version="{VERSION}" date="{day}"', f.read())
        with gzip.open(os.path.join(self.root, "usr/share/man/man1/quorbel.1.gz"), "rt") as f:
            self.assertTrue(f.readline().startswith(f'.TH QUORBEL 1 "{day}"'))
        with open(PACKAGE, "rb") as f:
            deb = f.read()
        self.assertEqual(deb[:8], b"!<arch>\n")
        at, members = 8, {}
        while at < len(deb):
            name, mtime, uid, gid, mode, size = (deb[at + a:at + b].strip() for a, b in
                                                 ((0, 16), (16, 28), (28, 34), (34, 40), (40, 48), (48, 58)))
            self.assertEqual((int(mtime), int(uid), int(gid), mode), (epoch, 0, 0, b"100644"), name)
            members[name.decode().rstrip("/")] = deb[at + 60:at + 60 + int(size)]
            at += 60 + int(size) + int(size) % 2
        for name in ("control.tar.gz", "data.tar.gz"):
            self.assertEqual(members[name][4:8], bytes(4), f"{name}: a time in the gzip header")
            with tarfile.open(fileobj=io.BytesIO(members[name])) as tar:
                for entry in tar:
                    self.assertEqual((entry.mtime, entry.uid, entry.gid), (epoch, 0, 0), entry.name)
                    self.assertIn(entry.mode, (0o644, 0o755), entry.name)
        with open(os.path.join(DIST, "Quorbel.exe"), "rb") as f:
            image = f.read()
        header = struct.unpack_from("<I", image, 0x3C)[0]
        self.assertEqual(struct.unpack_from("<I", image, header + 8)[0], 0, "Quorbel.exe's link time")


class Checksums(unittest.TestCase):
    def test_every_release_file_has_a_checksum_that_matches(self):
        check = run("sha256sum", "--check", "--strict", "SHA256SUMS", cwd=DIST)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)
        with open(os.path.join(DIST, "SHA256SUMS")) as f:
            listed = sorted(line.split(maxsplit=1)[1].lstrip("*") for line in f.read().splitlines())
        self.assertEqual(listed, sorted(set(os.listdir(DIST)) - {"SHA256SUMS"}))
        self.assertIn(os.path.basename(PACKAGE), listed)
        self.assertIn("Quorbel.exe", listed)


class InstallDeps(unittest.TestCase):
    """Asks apt about every list; installs nothing."""
    SCRIPT = os.path.join(SOURCE, "tools/install-deps")

    @classmethod
    def setUpClass(cls):
        with open(cls.SCRIPT) as f:
            purposes = re.findall(r"(?m)^needs\[(\w+)\]=", f.read())
        cls.lists = {p: run(cls.SCRIPT, "--list", p, check=True).stdout.split() for p in purposes}

    def test_every_listed_package_is_in_debian_12(self):
        # A package installed from elsewhere would pass on this machine and fail on a fresh one, so
        # each must come from an archive whose release file says Debian, bookworm.
        archives = set(re.findall(r"(?m)^ -?\d+ (.+)\n +release .*\bo=Debian,.*\bn=bookworm\b",
                                  run("apt-cache", "policy", check=True).stdout))
        self.assertTrue(archives, "apt knows no Debian 12 archive")
        wanted = sorted(set(sum(self.lists.values(), [])))
        sources = {}
        for block in re.split(r"(?m)^(?=\S)", run("apt-cache", "policy", *wanted, check=True).stdout):
            name, _, table = block.partition(":\n")
            sources[name] = set(re.findall(r"(?m)^ {8}-?\d+ (.+)$", table))
        for package in wanted:
            self.assertTrue(sources.get(package, set()) & archives, package + " is not in Debian 12")

    def test_running_the_program_needs_no_cross_compiler_wine_or_browser(self):
        self.assertIn("qt6-base-dev", self.lists["run"])
        for package in self.lists["run"]:
            self.assertNotRegex(package, r"mingw|cross|wine|emscripten|chromium|firefox|:i386")


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v", *filter(None, sys.argv[4:])])
