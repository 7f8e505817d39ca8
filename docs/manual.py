#!/usr/bin/env python3
"""Turns the manual's text (docs/Quillo.md) into the one HTML page that goes beside Quillo.exe.

    docs/manual.py SOURCE VERSION OUTPUT

The text knows headings (#, ##, ###), paragraphs, lists ("- " items, continued by indented
lines), tables (| cells |, the second line dashes) and, inside text, `code` and **bold**.
@VERSION@ stands for the version. The page carries its own style and a list of the sections, and
needs nothing beside it. The output is written whole or not at all.
"""
import html
import os
import re
import sys
import tempfile


def inline(text):
    out = []
    for part in re.split(r"(`[^`]+`)", text):
        if part.startswith("`") and part.endswith("`") and len(part) > 1:
            out.append("<code>%s</code>" % html.escape(part[1:-1], quote=False))
        else:
            part = html.escape(part, quote=False)
            out.append(re.sub(r"\*\*(.+?)\*\*", r"<strong>\1</strong>", part))
    return "".join(out)


def anchor(title, used):
    base = re.sub(r"[^a-z0-9]+", "-", title.lower()).strip("-") or "section"
    name, n = base, 2
    while name in used:
        name, n = "%s-%d" % (base, n), n + 1
    used.add(name)
    return name


def cells(line):
    return [c.strip() for c in line.strip().strip("|").split("|")]


def blocks(lines):
    """Yields (kind, payload) for the text's blocks in order."""
    i = 0
    while i < len(lines):
        line = lines[i]
        if not line.strip():
            i += 1
        elif line.startswith("#"):
            level = len(line) - len(line.lstrip("#"))
            if level > 3 or line[level:level + 1] != " ":
                raise ValueError("line %d: a heading is #, ## or ### and a space" % (i + 1))
            yield "h%d" % level, line[level + 1:].strip()
            i += 1
        elif line.startswith("|"):
            rows = []
            while i < len(lines) and lines[i].startswith("|"):
                rows.append(cells(lines[i]))
                i += 1
            if len(rows) < 2 or not all(re.fullmatch(r":?-+:?", c) for c in rows[1]):
                raise ValueError("line %d: a table's second line is its dashes" % (i - len(rows) + 2))
            if any(len(r) != len(rows[0]) for r in rows):
                raise ValueError("line %d: a table's rows differ in their number of cells" % (i - len(rows) + 1))
            yield "table", (rows[0], rows[2:])
        elif line.startswith("- "):
            items = []
            while i < len(lines) and (lines[i].startswith("- ") or lines[i].startswith("  ")):
                if lines[i].startswith("- "):
                    items.append(lines[i][2:].strip())
                else:
                    items[-1] += " " + lines[i].strip()
                i += 1
            yield "ul", items
        else:
            text = []
            while i < len(lines) and lines[i].strip() and lines[i][0] not in "#|" and not lines[i].startswith("- "):
                text.append(lines[i].strip())
                i += 1
            yield "p", " ".join(text)


STYLE = """
body { font-family: sans-serif; max-width: 46em; margin: 2em auto; padding: 0 1em; color: #222;
       line-height: 1.45; }
h1 { border-bottom: 3px solid #8691a0; padding-bottom: 0.2em; }
h2 { margin-top: 2em; border-bottom: 1px solid #c8ccd2; }
table { border-collapse: collapse; margin: 0.8em 0; width: 100%; }
th, td { border: 1px solid #c8ccd2; padding: 0.25em 0.6em; text-align: left; vertical-align: top; }
th { background: #eef0f3; }
td:nth-child(2) { white-space: nowrap; }
code { background: #eef0f3; padding: 0 0.2em; }
nav ul { columns: 2; }
"""


def render(source, version):
    text = source.replace("@VERSION@", version)
    parsed = list(blocks(text.splitlines()))
    if not parsed or parsed[0][0] != "h1":
        raise ValueError("the manual begins with its # title")
    used = set()
    body, contents = [], []
    for kind, payload in parsed:
        if kind in ("h1", "h2", "h3"):
            name = anchor(payload, used)
            body.append('<%s id="%s">%s</%s>' % (kind, name, inline(payload), kind))
            if kind == "h2":
                contents.append('<li><a href="#%s">%s</a></li>' % (name, inline(payload)))
        elif kind == "p":
            body.append("<p>%s</p>" % inline(payload))
        elif kind == "ul":
            body.append("<ul>\n%s\n</ul>" % "\n".join("<li>%s</li>" % inline(t) for t in payload))
        elif kind == "table":
            head, rows = payload
            lines = ["<table>", "<tr>%s</tr>" % "".join("<th>%s</th>" % inline(c) for c in head)]
            lines += ["<tr>%s</tr>" % "".join("<td>%s</td>" % inline(c) for c in row) for row in rows]
            body.append("\n".join(lines + ["</table>"]))
    title = html.escape(parsed[0][1], quote=False)
    # The list of sections goes after the title and the introduction, before the first section.
    first = next((n for n, (kind, _) in enumerate(parsed) if kind == "h2"), len(parsed))
    nav = "<nav>\n<ul>\n%s\n</ul>\n</nav>" % "\n".join(contents)
    body.insert(first, nav)
    return ("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<title>%s</title>\n<style>%s</style>\n</head>\n<body>\n%s\n</body>\n</html>\n"
            % (title, STYLE, "\n".join(body)))


def main(argv):
    if len(argv) != 4:
        sys.stderr.write("usage: docs/manual.py SOURCE VERSION OUTPUT\n")
        return 2
    source, version, output = argv[1:]
    with open(source, encoding="utf-8") as f:
        text = f.read()
    try:
        page = render(text, version)
    except ValueError as e:
        sys.stderr.write("%s: %s\n" % (source, e))
        return 1
    folder = os.path.dirname(os.path.abspath(output))
    os.makedirs(folder, exist_ok=True)
    handle, temporary = tempfile.mkstemp(dir=folder, prefix=".manual-")
    with os.fdopen(handle, "w", encoding="utf-8", newline="\r\n") as f:
        f.write(page)
    os.chmod(temporary, 0o644)
    os.replace(temporary, output)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
