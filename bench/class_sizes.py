#!/usr/bin/env python3
# Figures: the largest classes of src/ by lines and by public methods.
#   bench/class_sizes.py [repo-root] [how-many]
# Lines per class (its declaration in headers + bodies of Name:: member
# definitions in sources) and public methods per class declaration.
import re, sys, pathlib, collections
root = pathlib.Path(sys.argv[1]) / "src"
lines = collections.Counter(); public = collections.Counter()

def block_end(text, start):
    depth = 0
    for i in range(start, len(text)):
        if text[i] == '{': depth += 1
        elif text[i] == '}':
            depth -= 1
            if depth == 0: return i
    return len(text) - 1

def strip_comments(t):
    return re.sub(r'\bQ_OBJECT\b', '', re.sub(r'//[^\n]*', '', t))

for f in list(root.rglob("*.h")) + list(root.rglob("*.cpp")):
    t = strip_comments(f.read_text(errors="replace"))
    for m in re.finditer(r'^(?:class|struct)\s+(\w+)(?:\s+final)?\s*(?::[^;{]*)?\{', t, re.M):
        name = m.group(1); b = m.end() - 1; e = block_end(t, b)
        body = t[b + 1:e]
        lines[name] += t[m.start():e].count('\n') + 1
        if f.suffix == '.h':
            access = 'private' if t[m.start():].startswith('class') else 'public'
            depth = 0; stmt = ''
            for ch in body:
                if ch == '{':
                    if depth == 0 and access == 'public' and '(' in stmt and not re.search(r'\b(class|struct|enum)\b', stmt):
                        public[name] += 1; stmt = ''
                    depth += 1; continue
                if ch == '}':
                    depth -= 1; stmt = ''; continue
                if depth: continue
                stmt += ch
                s = stmt.strip()
                if re.fullmatch(r'(public|private|protected|signals|public slots|private slots|protected slots)\s*:', s):
                    access = 'public' if s.startswith('public') else 'other'; stmt = ''
                elif ch == ';':
                    if access == 'public' and '(' in s and not re.search(r'\b(using|typedef|friend|Q_OBJECT)\b', s) and '=' not in s.split('(')[0] and not s.endswith('= delete;'):
                        public[name] += 1
                    stmt = ''
    if f.suffix == '.cpp':
        for m in re.finditer(r'^[\w:<>&\*\s]*?\b(\w+)::~?\w+\s*\([^;{]*?\)[^;{]*\{', t, re.M):
            e = block_end(t, m.end() - 1)
            lines[m.group(1)] += t[m.start():e].count('\n') + 1
n = int(sys.argv[2]) if len(sys.argv) > 2 else 8
print("by lines:"); [print(f"  {c:5d} {k}  (public methods {public[k]})") for k, c in lines.most_common(n)]
print("by public methods:"); [print(f"  {c:5d} {k}  (lines {lines[k]})") for k, c in public.most_common(n)]
for k in sys.argv[3:]:
    print(f"{k}: lines {lines[k]}, public methods {public[k]}")
