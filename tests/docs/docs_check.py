#!/usr/bin/env python3
"""The docs against what they describe, one check a command:
  paths SOURCE                 every path the docs name in backticks or link to exists
  options SOURCE PROGRAM       --help, both manual pages and docs/batch.md name the same options
  tree SOURCE                  docs/design.md's source-tree map against the folders
  changelog SOURCE VERSION     dist/changelog has CHANGELOG.md's versions, dates and items
Prints what disagrees and exits 1; 0 when all agrees."""
import datetime
import glob
import os
import re
import subprocess
import sys

# The build folders the docs name outputs in, which a source tree does not hold.
BUILDS = ("build/", "build-asan/", "build-windows/")
# File names the docs give without their folder: the tree's own kinds of file.
SOURCE_KINDS = (".cpp", ".h", ".sh", ".py", ".md", ".cmake", ".in", ".nsi", ".awk", ".txt",
                ".png", ".jpg", ".svg", ".ico", ".qrc", ".supp", ".json")


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def tree_files(root):
    """The tree's files as git sees them, new ones included; else as found."""
    try:
        out = subprocess.run(["git", "-C", root, "ls-files", "-z", "--cached", "--others",
                              "--exclude-standard"], capture_output=True, check=True).stdout
        return [p for p in out.decode("utf-8").split("\0") if p]
    except (OSError, subprocess.CalledProcessError):
        found = []
        for folder, subfolders, files in os.walk(root):
            subfolders[:] = [d for d in subfolders if d != ".git" and not d.startswith("build")]
            found += [os.path.relpath(os.path.join(folder, f), root) for f in files]
        return found


def docs(root):
    names = ["README.md", "CONTRIBUTING.md", "CHANGELOG.md"]
    names += sorted(os.path.relpath(p, root)
                    for p in glob.glob(os.path.join(root, "docs", "**", "*.md"), recursive=True))
    return names


def without_code_blocks(text):
    return re.sub(r"^```.*?^```", "", text, flags=re.S | re.M)


def named_path(token):
    """The path a code span names, or None when it names none of the tree's."""
    if not re.fullmatch(r"[A-Za-z0-9._/+-]+", token) or token.startswith(("/", "-")):
        return None
    if token.startswith(BUILDS):
        return None
    if "/" in token or token.endswith(SOURCE_KINDS):
        return token
    return None


def check_paths(root):
    files = tree_files(root)
    basenames = {os.path.basename(f) for f in files}
    missing = []
    for doc in docs(root):
        text = without_code_blocks(read(os.path.join(root, doc)))
        for token in re.findall(r"`([^`\n]+)`", text):
            path = named_path(token)
            if path is None:
                continue
            found = os.path.exists(os.path.join(root, path)) if "/" in path else path in basenames
            if not found:
                missing.append(f"{doc}: `{token}`")
        for target in re.findall(r"\]\(([^)\s]+)\)", text):
            if re.match(r"[a-z]+:", target) or target.startswith("#"):
                continue
            path = os.path.join(root, os.path.dirname(doc), target.split("#")[0])
            if not os.path.exists(path):
                missing.append(f"{doc}: link ({target})")
    for m in missing:
        print("no such path:", m)
    return not missing


def option_keys(tokens):
    """An option as the check compares it: its name, with its value when the value
    is a mark (--decimal=, and --decimal=. are two), not a placeholder."""
    keys = set()
    for token in tokens:
        name, _, value = token.partition("=")
        keys.add(f"{name}={value}" if value and re.fullmatch(r"[,.]", value) else name)
    return keys


OPTION = r"(?<![\w-])--?[a-z][\w-]*(?:=[^\s\"|\]]*)?"


def help_options(program):
    text = subprocess.run([program, "--help"], capture_output=True, text=True, check=True).stdout
    tokens = []
    for line in text.splitlines():
        if re.match(r"\s+-", line):
            tokens += re.findall(OPTION, re.split(r"\s{2,}", line.strip())[0])
    return option_keys(tokens)


def page_options(path):
    text = read(path)
    section = re.search(r"^\.SH (?:OPTIONS|ПАРАМЕТРЫ)\n(.*?)^\.SH ", text, re.S | re.M)
    lines = section.group(1).splitlines() if section else []
    tokens = []
    for before, line in zip(lines, lines[1:]):
        if before.startswith(".TP"):
            plain = re.sub(r"\\f[BIRP]", "", line.replace("\\-", "-"))
            tokens += re.findall(OPTION, re.sub(r"^\.\w+", "", plain))
    return option_keys(tokens)


def reference_options(path):
    section = re.search(r"^## Options\n(.*?)(?=^## |\Z)", read(path), re.S | re.M)
    tokens = []
    for row in (section.group(1).splitlines() if section else []):
        cells = row.split("|")
        if len(cells) > 2 and not set(cells[1].strip()) <= set("-"):
            tokens += re.findall(r"`([^`]+)`", cells[1])
    return option_keys(tokens)


def check_options(root, program):
    wanted = help_options(program)
    sources = {
        "dist/sheetmass.1.in": page_options(os.path.join(root, "dist/sheetmass.1.in")),
        "dist/sheetmass.ru.1.in": page_options(os.path.join(root, "dist/sheetmass.ru.1.in")),
        "docs/batch.md": reference_options(os.path.join(root, "docs/batch.md")),
    }
    ok = bool(wanted)
    print("--help:", " ".join(sorted(wanted)))
    for name, found in sources.items():
        for option in sorted(wanted - found):
            print(f"{name}: no {option}, which --help gives")
            ok = False
        for option in sorted(found - wanted):
            print(f"{name}: {option}, which --help does not give")
            ok = False
    return ok


def check_tree(root):
    section = re.search(r"^## The source tree\n(.*?)(?=^## |\Z)",
                        read(os.path.join(root, "docs/design.md")), re.S | re.M)
    mapped = re.findall(r"^\| `([^`]+/)` \|", section.group(1) if section else "", re.M)
    tops = {f.split("/")[0] for f in tree_files(root) if "/" in f}
    ok = bool(mapped)
    for folder in sorted(tops - {m.split("/")[0] for m in mapped}):
        print(f"docs/design.md: the source tree does not name {folder}/")
        ok = False
    for folder in mapped:
        if not os.path.isdir(os.path.join(root, folder)):
            print(f"docs/design.md: the source tree names {folder}, which is no folder")
            ok = False
    return ok


def items(lines, bullet, more):
    """Each item's words, its lines joined, the code marks gone."""
    found = []
    for line in lines:
        if line.startswith(bullet):
            found.append(line[len(bullet):])
        elif line.startswith(more) and line.strip() and found:
            found[-1] += " " + line
    return [" ".join(i.replace("`", "").split()) for i in found]


def user_changelog(path):
    entries = []
    parts = re.split(r"^## ", read(path), flags=re.M)[1:]
    for part in parts:
        head, *lines = part.splitlines()
        version, date = re.fullmatch(r"(\S+) — (\d{4}-\d{2}-\d{2})", head).groups()
        entries.append((version, date, items(lines, "- ", "  ")))
    return entries


def debian_changelog(path):
    entries = []
    for entry in re.split(r"^(?=\S)", read(path), flags=re.M):
        lines = entry.splitlines()
        if not lines or not lines[0].startswith("sheetmass ("):
            continue
        version = re.match(r"sheetmass \(([^)]+)\)", lines[0]).group(1)
        trailer = next(l for l in lines if l.startswith(" -- "))
        stamp = re.search(r">  (.*)$", trailer).group(1)
        date = datetime.datetime.strptime(stamp, "%a, %d %b %Y %H:%M:%S %z").date().isoformat()
        entries.append((version, date, items(lines, "  * ", "    ")))
    return entries


def check_changelog(root, version):
    user = user_changelog(os.path.join(root, "CHANGELOG.md"))
    debian = debian_changelog(os.path.join(root, "dist/changelog"))
    ok = True
    if not user or user[0][0] != version:
        print(f"CHANGELOG.md: the newest version is not project()'s {version}")
        ok = False
    if [(v, d) for v, d, _ in user] != [(v, d) for v, d, _ in debian]:
        print("versions and dates: CHANGELOG.md", [(v, d) for v, d, _ in user],
              "dist/changelog", [(v, d) for v, d, _ in debian])
        ok = False
    for (v, _, said), (_, _, logged) in zip(user, debian):
        for item in [i for i in said if i not in logged]:
            print(f"{v}: dist/changelog lacks: {item}")
            ok = False
        for item in [i for i in logged if i not in said]:
            print(f"{v}: CHANGELOG.md lacks: {item}")
            ok = False
    return ok


def main(argv):
    checks = {"paths": check_paths, "options": check_options, "tree": check_tree,
              "changelog": check_changelog}
    if len(argv) < 2 or argv[0] not in checks:
        sys.exit(__doc__)
    ok = checks[argv[0]](*argv[1:])
    print("ok" if ok else "FAIL")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
