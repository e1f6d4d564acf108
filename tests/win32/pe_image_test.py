#!/usr/bin/python3
"""Quorbel.exe read as a file: machine, subsystem, imports, icon, version data, manifest, hardening,
and the i686 program's size budget.

  pe_image_test.py WIN32_EXE WIN64_EXE
"""
import os
import struct
import sys
import unittest

import pefile

I686, X86_64 = sys.argv[1], sys.argv[2]
# Windows' own DLLs; anything else (a compiler runtime, say) would have to ship beside the program.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "msvcrt.dll", "advapi32.dll",
               "shell32.dll", "uxtheme.dll"}
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


def resources(pe):
    found = {}
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                data = pe.get_data(language.data.struct.OffsetToData, language.data.struct.Size)
                found[(kind.id, name.id)] = (language.id, data)
    return found


class Image(unittest.TestCase):
    def check_common(self, path):
        pe = pefile.PE(path)
        self.assertEqual(pe.OPTIONAL_HEADER.Subsystem, pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"])
        dlls = {entry.dll.decode().lower() for entry in pe.DIRECTORY_ENTRY_IMPORT}
        self.assertLessEqual(dlls, SYSTEM_DLLS, "imports beyond Windows' own DLLs")
        flags = pe.OPTIONAL_HEADER.DllCharacteristics
        self.assertTrue(flags & 0x0040, "no ASLR (dynamic base)")
        self.assertTrue(flags & 0x0100, "no DEP (NX compatible)")
        self.assertTrue(any(s.Name.rstrip(b"\0") == b".reloc" for s in pe.sections), "no relocations for ASLR")
        self.assertFalse(pe.FILE_HEADER.Characteristics & 0x0001, "relocations stripped")
        # The budget, for both machines. Should it fail by a wide margin (the image near 160 KB or
        # more), something on the Windows path calls a library function that throws (std::string,
        # std::vector, ...), which brings in the whole exception machinery: a link map (-Wl,-Map)
        # names the caller.
        self.assertLessEqual(os.path.getsize(path), 48 * 1024, "over the size budget")
        return pe

    def test_i686_image(self):
        pe = self.check_common(I686)
        self.assertEqual(pe.FILE_HEADER.Machine, pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"])
        self.assertEqual(pe.OPTIONAL_HEADER.Magic, 0x10B, "not PE32")
        found = resources(pe)

        # Icon group 1 holds one entry, icon 30001: 32 x 32, 256 colours, 8 bits a pixel.
        _, group = found[(RT_GROUP_ICON, 1)]
        reserved, kind, count = struct.unpack_from("<HHH", group)
        self.assertEqual((reserved, kind, count), (0, 1, 1))
        width, height, colours, _, planes, bits, size, ident = struct.unpack_from("<BBBBHHIH", group, 6)
        self.assertEqual((width, height, colours, planes, bits, ident), (32, 32, 0, 1, 8, 30001))
        _, image = found[(RT_ICON, 30001)]
        self.assertEqual(len(image), size)
        header = struct.unpack_from("<IiiHHIIiiII", image)
        self.assertEqual(header[:5], (40, 32, 64, 1, 8))
        self.assertEqual(len(image), 40 + 256 * 4 + 32 * 32 + 32 * 4)

        # Version data.
        language, _ = found[(RT_VERSION, 1)]
        self.assertEqual(language, 0x0409)
        fixed = pe.VS_FIXEDFILEINFO[0]
        self.assertEqual((fixed.FileVersionMS, fixed.FileVersionLS), (0x00010000, 0))
        self.assertEqual((fixed.ProductVersionMS, fixed.ProductVersionLS), (0x00010000, 0))
        self.assertEqual(fixed.FileType, 1, "not VFT_APP")
        self.assertEqual(fixed.FileOS, 4, "not VOS__WINDOWS32")
        strings, translations = {}, []
        for info in pe.FileInfo[0]:
            if info.Key == b"StringFileInfo":
                for table in info.StringTable:
                    self.assertEqual(table.LangID.lower(), b"040904b0")
                    strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
            elif info.Key == b"VarFileInfo":
                translations = [var.entry for var in info.Var]
        self.assertEqual(strings["FileVersion"], "1.00")
        self.assertEqual(strings["ProductVersion"], "1.00")
        self.assertEqual(strings["InternalName"], "Quorbel")
        self.assertEqual(strings["OriginalFilename"], "Quorbel.exe")
        for field in ("CompanyName", "LegalCopyright", "LegalTrademarks"):
            self.assertTrue(strings[field].endswith(".example"), field)
        self.assertEqual(strings["ProductName"], "Quorbel")
        self.assertEqual(translations, [{b"Translation": "0x0409 0x04b0"}])

        # The manifest asks for per-monitor DPI awareness and the common controls 6.
        _, manifest = found[(RT_MANIFEST, 1)]
        self.assertIn(b"PerMonitorV2", manifest)
        self.assertIn(b"Microsoft.Windows.Common-Controls", manifest)

    def test_x86_64_image(self):
        pe = self.check_common(X86_64)
        self.assertEqual(pe.FILE_HEADER.Machine, pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"])
        self.assertTrue(pe.OPTIONAL_HEADER.DllCharacteristics & 0x0020, "no high-entropy ASLR")


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
