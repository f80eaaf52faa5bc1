#!/usr/bin/env python3
"""Checks that every include of ours runs downward through the layers, and that no files
include each other in a circle.

The layers, bottom to top (a folder may include itself and the folders below it):
  platform/  texts/   the doors to the operating system; the text table (leaves)
  storage/            files only: platform/
  display/            what is shown of stored values, reading no file: storage and texts
  reader/             storage, texts and the display
  attachments/        the program's pictures and sounds
  dialogs/            the dialogs, record entry, the record browser
  shell/              start-up, the main window, the command table
  programs/           every program's and library's entry (top)
Inside platform/, the doors and shared pieces at its top include no backend, and a backend
(platform/win32/, posix/, fltk/, headless/) includes only the top and itself; outside
platform/, only programs/ may name a backend's header.

Run as: check_layers.py CHECKOUT
"""
import pathlib
import re
import sys

ORDER = ["texts", "storage", "display", "reader", "attachments", "dialogs", "shell", "programs"]
# platform/ is a leaf; texts/ too (it stands beside platform/, not above it); every other folder
# may include platform/ and the folders before it in ORDER, texts/ among them, except that
# storage/ sits below the texts.
ALLOWED = {"platform": {"platform"}, "texts": {"texts"}, "storage": {"platform", "storage"}}
for index, layer in enumerate(ORDER):
    ALLOWED.setdefault(layer, {"platform", *ORDER[: index + 1]})
INCLUDE = re.compile(r'^#include "([^"]+)"', re.MULTILINE)


def backend_of(name):
    parts = name.split("/")
    return parts[1] if parts[0] == "platform" and len(parts) > 2 else None


def main(root):
    root = pathlib.Path(root)
    sources = sorted(p for layer in ALLOWED for p in (root / layer).rglob("*") if p.suffix in (".h", ".cpp"))
    failures, graph = [], {}
    for path in sources:
        name = path.relative_to(root).as_posix()
        layer = name.split("/")[0]
        graph[name] = []
        for included in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
            folder = included.split("/")[0]
            if "/" not in included or folder not in ALLOWED:
                continue
            graph[name].append(included)
            backend = backend_of(included)
            if folder not in ALLOWED[layer]:
                failures.append(f"{name}: {included} ({layer}/ may include only {' '.join(sorted(ALLOWED[layer]))})")
            elif backend and layer == "platform" and backend != backend_of(name):
                failures.append(f"{name}: {included} (only platform/{backend}/ includes its own headers)")
            elif backend and layer not in ("platform", "programs"):
                failures.append(f"{name}: {included} (a backend's headers stay inside platform/)")
    # A circle of includes: a depth-first walk that meets a file still on its path.
    state = {}

    def walk(name, path):
        state[name] = "open"
        for included in graph.get(name, []):
            if state.get(included) == "open":
                circle = path[path.index(included):] + [included]
                failures.append("a circle of includes: " + " -> ".join(circle))
            elif included not in state:
                walk(included, path + [included])
        state[name] = "done"

    for name in graph:
        if name not in state:
            walk(name, [name])
    if failures:
        print("Includes that run upward or in a circle:\n  " + "\n  ".join(failures), file=sys.stderr)
        return 1
    print(f"Every include of {len(graph)} files runs downward, none in a circle.")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
