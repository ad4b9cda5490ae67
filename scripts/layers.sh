#!/usr/bin/env bash
# Prints each library of the tree with the libraries of the tree it links
# (CMake's own dependency graph), one line per library, as the README's graph
# shows them. The build lets a library include only the headers of those.
#   bash scripts/layers.sh
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cmake --preset default --graphviz="$out/deps.dot" >/dev/null
python3 - "$out/deps.dot" <<'PY'
import re, sys
text = open(sys.argv[1]).read()
names = {n: l for n, l, shape in re.findall(r'"(node\d+)" \[ label = "([^"]+)", shape = (\w+)', text) if shape == 'octagon'}
links = {}
for a, b in re.findall(r'"(node\d+)" -> "(node\d+)"', text):
    if a in names and b in names:
        links.setdefault(names[a], set()).add(names[b])
short = lambda n: n.replace('vellomar_', '')
for name in sorted(names.values(), key=lambda n: (-len(links.get(n, ())), n)):
    if name.startswith(('test', 'bench', 'vellomar_warnings')):
        continue
    below = ', '.join(sorted(short(n) for n in links.get(name, ()) if n != 'vellomar_warnings'))
    print(f'{name:<20} ──> {below or "Qt only"}')
PY
