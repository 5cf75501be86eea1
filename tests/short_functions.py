#!/usr/bin/env python3
"""No function of the program runs over 60 lines, its signature to its closing
brace. Read from the sources as clang-format lays them out: a body opens at
the end of a line that closes a parameter list and ends at the first brace
back at that line's indent."""
import os, re, subprocess, sys

LIMIT = 60
ROOMS = ('about', 'alloys', 'app', 'batch', 'behaviour', 'calc', 'cli', 'fields', 'forms',
         'listfile', 'look', 'platform', 'win')
OPENS = re.compile(r'^\s*[^\s#/}].*\)[\w\s&:<>,*-]*\{$')
CONTROL = re.compile(r'^\s*(if|for|while|switch|else|do|catch|namespace|struct|class|enum|case)\b')

def indent(line):
    return len(line) - len(line.lstrip())

def signature(lines, i):
    """The first line of the statement whose last line is line i."""
    while i > 0:
        above = lines[i - 1].strip()
        if not above or above.endswith((';', '{', '}', ':')) or above.startswith(('//', '#')):
            break
        i -= 1
    return i

def long_functions(path):
    lines = open(path, encoding='utf-8').read().split('\n')
    for i, line in enumerate(lines):
        if not OPENS.match(line):
            continue
        first = signature(lines, i)
        head = ' '.join(l.strip() for l in lines[first:i + 1])
        if CONTROL.match(lines[first]) or '=' in head.split('(')[0] or '](' in head:
            continue
        close = ' ' * indent(lines[first]) + '}'
        j = next((k for k in range(i + 1, len(lines)) if lines[k].startswith(close)), i)
        if j - first + 1 > LIMIT:
            yield first + 1, j - first + 1, lines[first].strip()

def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    listed = subprocess.run(['git', 'ls-files', *ROOMS], cwd=root, capture_output=True,
                            text=True).stdout.split()
    files = [f for f in listed if f.endswith(('.cpp', '.h'))]
    if not files:
        files = [os.path.join(d, f) for room in ROOMS for d, _, fs in os.walk(os.path.join(root, room))
                 for f in fs if f.endswith(('.cpp', '.h'))]
    found = [(f, *l) for f in files for l in long_functions(os.path.join(root, f))]
    for f, at, n, line in found:
        print(f'{f}:{at}: {n} lines: {line}')
    print(f'{len(files)} files, {len(found)} functions over {LIMIT} lines')
    return 1 if found else 0

if __name__ == '__main__':
    sys.exit(main())
