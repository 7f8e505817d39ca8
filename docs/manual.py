#!/usr/bin/python3
"""Turns the manual's text (docs/Quillo.md) into the one HTML page that goes beside Quillo.exe.

    docs/manual.py SOURCE VERSION OUTPUT

The text is Markdown, read by Python-Markdown (Debian's python3-markdown) with its tables.
@VERSION@ stands for the version. The page carries its own style and a list of the sections, and
needs nothing beside it. The output is written whole or not at all.
"""
import copy
import html
import os
import re
import sys
import tempfile
import xml.etree.ElementTree as etree

import markdown
from markdown.extensions import Extension
from markdown.treeprocessors import Treeprocessor

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


def anchor(title, used):
    base = re.sub(r"[^a-z0-9]+", "-", title.lower()).strip("-") or "section"
    name, n = base, 2
    while name in used:
        name, n = "%s-%d" % (base, n), n + 1
    used.add(name)
    return name


class Sections(Treeprocessor):
    """Names every heading for links, puts the list of the sections (the ## headings) after the
    title and the introduction, and keeps each table row on one line, as the help test and
    anyone reading the page's source find it."""

    def run(self, root):
        headings = [e for e in root if e.tag in ("h1", "h2", "h3")]
        if not len(root) or root[0].tag != "h1":
            raise ValueError("the manual begins with its # title")
        used = set()
        for heading in headings:
            heading.set("id", anchor("".join(heading.itertext()), used))
        sections = [h for h in headings if h.tag == "h2"]
        nav = etree.Element("nav")
        nav.text = nav.tail = "\n"
        items = etree.SubElement(nav, "ul")
        items.text = items.tail = "\n"
        for section in sections:
            item = etree.SubElement(items, "li")
            item.tail = "\n"
            link = etree.SubElement(item, "a", href="#" + section.get("id"))
            link.text = section.text
            link.extend(copy.deepcopy(list(section)))
        root.insert(list(root).index(sections[0]) if sections else len(root), nav)
        for row in root.iter("tr"):
            row.text = None
            for cell in row:
                cell.tail = None


class ManualExtension(Extension):
    def extendMarkdown(self, md):
        # After the prettifier, whose line breaks between cells it takes out again.
        md.treeprocessors.register(Sections(md), "quillo_sections", 5)


def render(source, version):
    text = source.replace("@VERSION@", version)
    converter = markdown.Markdown(extensions=["tables", ManualExtension()])
    body = converter.convert(text)
    title = html.escape(re.match(r"#\s+(.*)", text.lstrip()).group(1).strip(), quote=False)
    return ("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<title>%s</title>\n<style>%s</style>\n</head>\n<body>\n%s\n</body>\n</html>\n"
            % (title, STYLE, body))


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
