#!/usr/bin/env python3
"""Checks what tools/package wrote, by content, without running it.

    check_release.py DIST VERSION

For win32 and win64: the zip holds exactly the folder Quillo-VERSION-NAME with the program's
files; Quillo.exe, VVPPWEB.OCX and vivcopy.exe are PE programs of the name's kind (PE32 for i386,
PE32+ for x86-64), stripped, with VERSION in their version resource where they carry one; the
setup is a program of the same kind carrying VERSION, and holds the zip's very files. Prints one
line per fault and exits 1 when there is any.
"""
import os
import struct
import subprocess
import sys
import tempfile
import zipfile

FILES = ["Quillo.exe", "VVPPWEB.OCX", "Quillo.html", "FFmpeg-LICENSE.txt", "MinGW-w64-LICENSE.txt"]
FILES += ["vivcopy.exe", "libvpx-LICENSE.txt", "Opus-LICENSE.txt"]
KINDS = {"win32": (0x14C, 0x10B, "PE32 i386"), "win64": (0x8664, 0x20B, "PE32+ x86-64")}
faults = []


def fault(text):
    faults.append(text)
    print("FAULT: " + text)


def pe_header(data):
    """(machine, optional-header magic, number of symbols) of a PE file, or None."""
    if data[:2] != b"MZ" or len(data) < 64:
        return None
    offset = struct.unpack_from("<I", data, 60)[0]
    if data[offset:offset + 4] != b"PE\0\0":
        return None
    machine, _, _, _, symbols, _, _ = struct.unpack_from("<HHIIIHH", data, offset + 4)
    magic = struct.unpack_from("<H", data, offset + 24)[0]
    return machine, magic, symbols


def file_version(data):
    """The file version in the fixed part of the version resource, as 'a.b.c.d', or None."""
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        return None
    ms, ls = struct.unpack_from("<II", data, at + 8)
    return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


def version_string(data, key):
    """A string of the version resource's string table, as stored (UTF-16), or None."""
    at = data.find((key + "\0").encode("utf-16-le"))
    if at < 0:
        return None
    at += len(key) * 2 + 2
    at += (4 - at % 4) % 4  # the value starts on a 32-bit boundary
    end = at
    while end + 1 < len(data) and data[end:end + 2] != b"\0\0":
        end += 2
    return data[at:end].decode("utf-16-le")


def check_program(label, data, name, version, resource):
    machine, magic, kind = KINDS[name]
    header = pe_header(data)
    if header is None:
        fault("%s is no PE program" % label)
        return
    if header[:2] != (machine, magic):
        fault("%s: machine 0x%04x, magic 0x%03x; expected %s" % (label, header[0], header[1], kind))
    if header[2] != 0:
        fault("%s is not stripped: %d symbols" % (label, header[2]))
    if resource:
        got = file_version(data)
        if got != version + ".0":
            fault("%s: file version %s, expected %s.0" % (label, got, version))
        for key in ("FileVersion", "ProductVersion"):
            text = version_string(data, key)
            if text != version:
                fault("%s: %s is %r, expected %r" % (label, key, text, version))


def check(dist, version):
    for name in ("win32", "win64"):
        folder = "Quillo-%s-%s" % (version, name)
        zip_path = os.path.join(dist, folder + ".zip")
        setup_path = os.path.join(dist, folder + "-setup.exe")
        missing = [path for path in (zip_path, setup_path) if not os.path.isfile(path)]
        for path in missing:
            fault("%s was not written" % path)
        if missing:
            continue
        with zipfile.ZipFile(zip_path) as archive:
            names = archive.namelist()
            expected = [folder + "/"] + [folder + "/" + f for f in FILES]
            if sorted(names) != sorted(expected):
                fault("%s holds %s, expected %s" % (zip_path, names, expected))
                continue
            unpacked = {f: archive.read(folder + "/" + f) for f in FILES}
        check_program(folder + "/Quillo.exe", unpacked["Quillo.exe"], name, version, True)
        check_program(folder + "/VVPPWEB.OCX", unpacked["VVPPWEB.OCX"], name, version, False)
        check_program(folder + "/vivcopy.exe", unpacked["vivcopy.exe"], name, version, False)
        if b"WebM Project" not in unpacked["libvpx-LICENSE.txt"] or b"Xiph.Org" not in unpacked["Opus-LICENSE.txt"]:
            fault("%s: the licence texts of libvpx and libopus are not theirs" % folder)
        if b"<title>Quillo %s</title>" % version.encode() not in unpacked["Quillo.html"]:
            fault("%s/Quillo.html is not the manual of version %s" % (folder, version))
        if b"GNU LESSER GENERAL PUBLIC LICENSE" not in unpacked["FFmpeg-LICENSE.txt"]:
            fault("%s/FFmpeg-LICENSE.txt is not the LGPL" % folder)
        if b"winpthreads" not in unpacked["MinGW-w64-LICENSE.txt"]:
            fault("%s/MinGW-w64-LICENSE.txt does not cover winpthreads" % folder)

        with open(setup_path, "rb") as f:
            setup = f.read()
        check_program(os.path.basename(setup_path), setup, name, version, True)
        # The setup's own archive, read with 7-Zip: the same files, byte for byte.
        with tempfile.TemporaryDirectory() as scratch:
            listing = subprocess.run(["7z", "x", "-y", "-o" + scratch, setup_path],
                                     capture_output=True, text=True)
            if listing.returncode != 0:
                fault("7z cannot read %s: %s" % (setup_path, listing.stderr.strip()))
                continue
            held = sorted(os.path.relpath(os.path.join(d, f), scratch)
                          for d, _, fs in os.walk(scratch) for f in fs
                          if not os.path.relpath(d, scratch).startswith("$PLUGINSDIR"))
            # uninstall.exe is a name only: the setup writes the uninstaller when it runs.
            if held != sorted(FILES + ["uninstall.exe"]):
                fault("%s holds %s, expected %s and uninstall.exe" % (setup_path, held, FILES))
                continue
            for f in FILES:
                with open(os.path.join(scratch, f), "rb") as extracted:
                    if extracted.read() != unpacked[f]:
                        fault("%s's %s differs from the zip's" % (os.path.basename(setup_path), f))


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: check_release.py DIST VERSION\n")
        return 2
    check(argv[1], argv[2])
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
