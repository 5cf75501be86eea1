#!/usr/bin/python3
"""The user guide as one HTML page that a browser opens from anywhere: the
Markdown made HTML by Debian's python3-markdown, its pictures put inside as
data, so that the page needs no file beside it.
usage: guide_html.py GUIDE.md PAGE.html"""
import base64
import html
import os
import re
import sys

import markdown

STYLE = """body { font-family: sans-serif; max-width: 50em; margin: 2em auto; padding: 0 1em;
  line-height: 1.45; color: #111; background: #fff; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #bbb; padding: 0.3em 0.6em; text-align: left; vertical-align: top; }
th { background: #eef5ee; }
code, pre { font-family: monospace; background: #f4f4f4; }
pre { padding: 0.6em; overflow-x: auto; }
blockquote { border-left: 3px solid #bbb; margin-left: 0; padding-left: 1em; }
img { max-width: 100%; }"""

TYPES = {".png": "image/png", ".jpg": "image/jpeg", ".jpeg": "image/jpeg"}


def inlined(body, folder):
    def picture(match):
        path = os.path.join(folder, html.unescape(match.group(2)))
        kind = TYPES[os.path.splitext(path)[1].lower()]
        with open(path, "rb") as f:
            data = base64.b64encode(f.read()).decode("ascii")
        return f'{match.group(1)}"data:{kind};base64,{data}"'
    return re.sub(r'(<img[^>]*\ssrc=)"([^":]+)"', picture, body)


def main(source, page):
    with open(source, encoding="utf-8") as f:
        text = f.read()
    title = text.splitlines()[0].lstrip("# ").strip()
    body = markdown.markdown(text, extensions=["tables"], output_format="html")
    body = inlined(body, os.path.dirname(os.path.abspath(source)))
    with open(page, "w", encoding="utf-8", newline="\n") as f:
        f.write('<!DOCTYPE html>\n<html lang="ru">\n<head>\n<meta charset="utf-8">\n'
                f"<title>{html.escape(title)}</title>\n<style>\n{STYLE}\n</style>\n"
                f"</head>\n<body>\n{body}\n</body>\n</html>\n")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])
