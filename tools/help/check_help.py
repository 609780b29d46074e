#!/usr/bin/env python3
"""Checks the user guide under assets/help: every link and image resolves on disk (anchors too),
nothing comes from the network, no scripts, and the screenshots are small PNG files.

    python3 tools/help/check_help.py
"""
import html.parser
import os
import sys

HELP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "assets", "help")
MAX_IMAGE_BYTES = 40_000


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.refs, self.ids, self.scripts = [], set(), 0

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "script":
            self.scripts += 1
        if "id" in attrs:
            self.ids.add(attrs["id"])
        for name in ("href", "src"):
            if attrs.get(name):
                self.refs.append(attrs[name])


pages = {}
for name in sorted(os.listdir(HELP)):
    if name.endswith(".html"):
        page = Page()
        with open(os.path.join(HELP, name), encoding="utf-8") as f:
            page.feed(f.read())
        pages[name] = page

faults = []
if "index.html" not in pages:
    faults.append("no index.html")
for name, page in pages.items():
    if page.scripts:
        faults.append(f"{name}: has a script")
    for ref in page.refs:
        target, _, anchor = ref.partition("#")
        if "://" in ref or ref.startswith("//"):
            faults.append(f"{name}: refers to the network: {ref}")
            continue
        target = target or name
        if not os.path.isfile(os.path.join(HELP, target)):
            faults.append(f"{name}: {ref} does not exist")
        elif anchor and (target not in pages or anchor not in pages[target].ids):
            faults.append(f"{name}: no anchor {ref}")
images = os.path.join(HELP, "images")
for name in sorted(os.listdir(images)):
    path = os.path.join(images, name)
    with open(path, "rb") as f:
        if f.read(8) != b"\x89PNG\r\n\x1a\n":
            faults.append(f"images/{name}: not a PNG file")
    if os.path.getsize(path) > MAX_IMAGE_BYTES:
        faults.append(f"images/{name}: {os.path.getsize(path)} bytes, more than {MAX_IMAGE_BYTES}")
print("\n".join(faults) or f"{len(pages)} pages, every link in place")
sys.exit(1 if faults else 0)
