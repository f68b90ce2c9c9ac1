#!/usr/bin/env python3
# Figures: how many files outside each layer of src/ include a header of it,
# and which layers the code of each layer includes.
#   bench/layer_includes.py [repo-root [build-folder]]
# With a build folder, also the layers each folder's files can reach through
# their include path (from its compile_commands.json).
# An include is resolved the way the compiler would: next to the including
# file first, then "layer/..." under src/, then by file name among src/'s
# headers (a bare name reached through another folder on the include path).
import re, sys, json, pathlib, collections

root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
src = root / "src"
areas = ["src", "tests", "tools", "bench", "recorder", "fuzz"]
by_name = {h.name: h for h in src.rglob("*.h")}
include = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def layer_of(path):
    rel = path.relative_to(root).parts
    return rel[1] if rel[0] == "src" and len(rel) > 2 else None


def owner_of(path):
    rel = path.relative_to(root).parts
    return f"src/{rel[1]}" if rel[0] == "src" else "/".join(rel[:2]) if len(rel) > 2 else rel[0]


def resolve(including, name):
    for candidate in (including.parent / name, src / name):
        if candidate.is_file():
            return candidate.resolve()
    return by_name.get(pathlib.Path(name).name) if "/" not in name else None


files = [f for a in areas for f in (root / a).rglob("*") if f.suffix in (".h", ".cpp")]
includers = collections.defaultdict(set)
edges = collections.defaultdict(set)
for f in files:
    own = layer_of(f)
    for name in include.findall(f.read_text(errors="replace")):
        header = resolve(f, name)
        if header is None or not header.is_relative_to(src):
            continue
        target = layer_of(header)
        if target and target != own:
            includers[target].add(f)
            edges[owner_of(f)].add(target)

print("files outside each layer that include one of its headers")
for layer in sorted(includers, key=lambda l: -len(includers[l])):
    within = collections.Counter(owner_of(f).split("/")[0] for f in includers[layer])
    detail = ", ".join(f"{a} {within[a]}" for a in areas if within[a])
    print(f"  {layer:8} {len(includers[layer]):4}   ({detail})")
print("layers included by the code of each layer")
for owner in sorted(o for o in edges if o.startswith("src/")):
    print(f"  {owner:12} -> {' '.join(sorted(edges[owner]))}")

if len(sys.argv) > 2:
    commands = json.loads((pathlib.Path(sys.argv[2]) / "compile_commands.json").read_text())
    layers = sorted(p.name for p in src.iterdir() if p.is_dir())
    reach = collections.defaultdict(set)
    for c in commands:
        f = pathlib.Path(c["file"]).resolve()
        if not f.is_relative_to(root) or f.relative_to(root).parts[0] not in areas:
            continue
        flags = re.findall(r"-I\s*(\S+)", c["command"])
        for flag in flags:
            d = pathlib.Path(flag)
            reach[owner_of(f)] |= {l for l in layers if (d / l).is_dir()}
    print("layers on the include path of each folder's files")
    for owner in sorted(reach):
        print(f"  {owner:20} {len(reach[owner])}  {' '.join(sorted(reach[owner]))}")
