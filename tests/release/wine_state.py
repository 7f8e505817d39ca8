#!/usr/bin/env python3
"""A Wine prefix's registry and files as sorted lines, to compare before and after.

    wine_state.py PREFIX

Prints one line per registry key ("HKLM\\Software\\Classes\\.viv"), one per value
("HKLM\\Software\\Classes\\.viv :: @ = "VivoFile""), from the prefix's system.reg (HKLM) and
user.reg (HKCU) as Wine last wrote them, and one per file or folder under drive_c
("C:\\Program Files\\Quillo\\Quillo.exe"). Key times and Wine's own bookkeeping lines are left
out; they change without anything being installed.
"""
import os
import sys


def registry(path, root):
    lines = []
    key = None
    pending = ""
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        for raw in f:
            line = pending + raw.rstrip("\n")
            pending = ""
            # A value's data may go on over several lines, each ending in a backslash.
            if line.endswith("\\") and not line.endswith("\\\\"):
                pending = line[:-1]
                continue
            if line.startswith("["):
                key = line[1:line.rindex("]")].replace("\\\\", "\\")
                # Wine writes a key that has subkeys only when it has values of its own: its
                # ancestors are keys all the same.
                parts = key.split("\\")
                lines += ["%s\\%s" % (root, "\\".join(parts[:n])) for n in range(1, len(parts) + 1)]
            elif key is not None and line and line[0] in '@"':
                name, _, value = line.partition("=") if line[0] == "@" else split_name(line)
                lines.append("%s\\%s :: %s = %s" % (root, key, name, value.strip()))
    return lines


def split_name(line):
    """'"name"=value' as (name, '=', value), with escaped quotes inside the name."""
    i = 1
    while i < len(line) and line[i] != '"':
        i += 2 if line[i] == "\\" else 1
    return line[:i + 1], "=", line[i + 2:]


def files(drive):
    lines = []
    for folder, dirs, names in os.walk(drive):
        dirs.sort()
        for name in dirs + names:
            path = os.path.relpath(os.path.join(folder, name), drive)
            lines.append("C:\\" + path.replace("/", "\\"))
    return lines


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: wine_state.py PREFIX\n")
        return 2
    prefix = argv[1]
    lines = registry(os.path.join(prefix, "system.reg"), "HKLM")
    lines += registry(os.path.join(prefix, "user.reg"), "HKCU")
    lines += files(os.path.join(prefix, "drive_c"))
    sys.stdout.write("".join(line + "\n" for line in sorted(set(lines))))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
