#!/usr/bin/python3
"""The release files that make dist writes, and the package lists of tools/install-deps.

  release_test.py DIST_DIR VERSION SOURCE_DIR [TEST ...]   (TEST: Package, Installer, Signing,
                                                           Checksums, InstallDeps; Package runs
                                                           inside xvfb-run)
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
import time
import unittest

DIST, VERSION, SOURCE = sys.argv[1:4]
PACKAGE = os.path.join(os.path.abspath(DIST), f"quorbel_{VERSION}_amd64.deb")
INSTALLER = os.path.join(os.path.abspath(DIST), f"quorbel-{VERSION}.msi")
PROGRAM = os.path.join(os.path.abspath(DIST), "Quorbel.exe")
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
        summary = run("msiinfo", "suminfo", INSTALLER, env={**os.environ, "TZ": "UTC"}, check=True).stdout
        for field in ("Created", "Last saved"):
            self.assertIn(f"{field}: {time.strftime('%a %b %e %H:%M:%S %Y', time.gmtime(epoch))}\n", summary)


def table(name, msi=INSTALLER):
    """The rows of one of the installer's tables, as lists of fields."""
    lines = run("msiinfo", "export", msi, name, check=True).stdout.splitlines()[3:]
    return [line.split("\t") for line in lines]


def unpacked_program(msi, into):
    run("msiextract", "-C", into, msi, check=True)
    with open(os.path.join(into, "Program Files/Quorbel/Quorbel.exe"), "rb") as f:
        return f.read()


class Installer(unittest.TestCase):
    def test_it_puts_the_release_program_in_program_files_for_every_user(self):
        properties = dict(table("Property"))
        self.assertEqual(properties["ALLUSERS"], "1")
        self.assertIn(["INSTALLDIR", "ProgramFilesFolder", "Quorbel"], table("Directory"))
        self.assertEqual([row[:3] for row in table("File")], [["Quorbel.exe", "Program", "Quorbel.exe"]])
        self.assertIn("Template: Intel;1033\n", run("msiinfo", "suminfo", INSTALLER, check=True).stdout)
        with tempfile.TemporaryDirectory() as out, open(PROGRAM, "rb") as f:
            self.assertEqual(unpacked_program(INSTALLER, out), f.read(), "the installer's Quorbel.exe")

    def test_it_names_itself_with_the_program_icon_in_the_start_menu_and_the_installed_programs(self):
        properties = dict(table("Property"))
        with open(f"{SOURCE}/src/app/resources.h") as f:
            publisher = re.search(r'(?m)^#define QUORBEL_PUBLISHER "(.*)"$', f.read())[1]
        self.assertEqual((properties["ProductName"], properties["ProductVersion"], properties["Manufacturer"],
                          properties["ARPPRODUCTICON"]), ("Quorbel", VERSION, publisher, "quorbel.ico"))
        (shortcut,) = table("Shortcut")
        self.assertEqual((shortcut[1], shortcut[2], shortcut[8]), ("ProgramMenuFolder", "Quorbel", "quorbel.ico"))
        with tempfile.TemporaryDirectory() as out:
            with open(f"{out}/packed.ico", "wb") as packed:
                subprocess.run(["msiinfo", "extract", INSTALLER, "Icon.quorbel.ico"], stdout=packed, check=True)
            run("/usr/bin/python3", f"{SOURCE}/tools/icon-convert", f"{SOURCE}/src/app/icon/quorbel.xpm",
                "--ico", f"{out}/program.ico", check=True)
            with open(f"{out}/packed.ico", "rb") as packed, open(f"{out}/program.ico", "rb") as program:
                self.assertEqual(packed.read(), program.read())

    def test_a_newer_version_replaces_it_and_an_older_one_is_refused(self):
        # Every version that was ever released finds the others by this code: it never changes.
        upgrade_code = "{6D1F4B0C-9E07-4E25-A8C3-2B5F0D7E41A9}"
        self.assertEqual(dict(table("Property"))["UpgradeCode"], upgrade_code)
        self.assertEqual(sorted((row[0], row[1], row[2], row[4]) for row in table("Upgrade")),
                         [(upgrade_code, "", VERSION, "1"), (upgrade_code, VERSION, "", "2")])
        self.assertIn("RemoveExistingProducts", [row[0] for row in table("InstallExecuteSequence")])
        (condition,) = table("LaunchCondition")
        self.assertEqual(condition[0], "NOT WIX_DOWNGRADE_DETECTED")
        self.assertTrue(condition[1].startswith("A newer version of Quorbel is already installed"), condition[1])


class Signing(unittest.TestCase):
    """The release signed as make dist signs it, with a throwaway certificate made here."""

    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory()
        w = cls.work.name
        run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=Quorbel test",
            "-addext", "extendedKeyUsage=codeSigning", "-keyout", f"{w}/key.pem", "-out", f"{w}/cert.pem", check=True)
        cls.env = {**os.environ, "QUORBEL_SIGN_CERT": f"{w}/cert.pem", "QUORBEL_SIGN_KEY": f"{w}/key.pem"}
        cls.program, cls.installer = f"{w}/Quorbel.exe", f"{w}/quorbel.msi"
        # The release's program as built: a signed release's, with its signature taken off.
        if run("osslsigncode", "remove-signature", "-in", PROGRAM, "-out", cls.program).returncode != 0:
            with open(PROGRAM, "rb") as f, open(cls.program, "wb") as g:
                g.write(f.read())
        with open(cls.program, "rb") as f:
            cls.unsigned = f.read()
        for step in ([f"{SOURCE}/tools/sign-windows", cls.program],
                     [f"{SOURCE}/tools/make-msi", cls.program, VERSION, "x86", cls.installer],
                     [f"{SOURCE}/tools/sign-windows", cls.installer]):
            run(*step, env=cls.env, check=True)

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def verify(self, path):
        return run("osslsigncode", "verify", "-in", path, "-CAfile", self.env["QUORBEL_SIGN_CERT"])

    def test_both_files_are_signed_and_a_changed_byte_breaks_the_signature(self):
        for path, change in ((self.program, None), (self.installer, b"www.quorbel.example")):
            check = self.verify(path)
            self.assertEqual(check.returncode, 0, check.stdout + check.stderr)
            with open(path, "rb") as f:
                data = bytearray(f.read())
            at = len(data) // 2 if change is None else data.index(change)
            data[at] ^= 1
            changed = f"{path}.changed"
            with open(changed, "wb") as f:
                f.write(data)
            self.assertNotEqual(self.verify(changed).returncode, 0, f"{path} with byte {at} changed")

    def test_the_installer_holds_the_signed_program_which_gives_back_the_unsigned_one(self):
        with open(self.program, "rb") as f:
            signed = f.read()
        self.assertEqual(unpacked_program(self.installer, f"{self.work.name}/unpacked"), signed)
        run("osslsigncode", "remove-signature", "-in", self.program, "-out", f"{self.work.name}/unsigned.exe", check=True)
        with open(f"{self.work.name}/unsigned.exe", "rb") as f:
            self.assertEqual(f.read(), self.unsigned)


class Checksums(unittest.TestCase):
    def test_every_release_file_has_a_checksum_that_matches(self):
        check = run("sha256sum", "--check", "--strict", "SHA256SUMS", cwd=DIST)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)
        with open(os.path.join(DIST, "SHA256SUMS")) as f:
            listed = sorted(line.split(maxsplit=1)[1].lstrip("*") for line in f.read().splitlines())
        self.assertEqual(listed, sorted(set(os.listdir(DIST)) - {"SHA256SUMS"}))
        self.assertIn(os.path.basename(PACKAGE), listed)
        self.assertIn("Quorbel.exe", listed)
        self.assertIn(os.path.basename(INSTALLER), listed)


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
