#!/usr/bin/env python3
"""Turns the readable source of a window definition into its stored form.

The source is UTF-8 and may write a binary value as  file 'name'  (a file next to the
source). The stored form is Windows-1251 text with every such value inlined as {hex}; the
program reads nothing else. Usage: store_window_definition.py SOURCE OUTPUT [--depfile FILE]
"""

import argparse
import os
import sys

HEX_PER_LINE = 64


class DefinitionError(Exception):
    pass


def hex_block(data, indent):
    lines = [data[i:i + HEX_PER_LINE // 2].hex().upper()
             for i in range(0, len(data), HEX_PER_LINE // 2)]
    if not lines:
        return "{}"
    pad = "\n" + " " * (indent + 2)
    return "{" + pad + pad.join(lines) + "}"


def read_quoted(text, i, line):
    """Returns (end index, contents) of the quoted string starting at text[i]."""
    value = []
    i += 1
    while True:
        if i >= len(text) or text[i] in "\r\n":
            raise DefinitionError(f"line {line}: unterminated string")
        if text[i] == "'":
            if i + 1 < len(text) and text[i + 1] == "'":
                value.append("'")
                i += 2
                continue
            return i + 1, "".join(value)
        value.append(text[i])
        i += 1


def convert(source):
    with open(source, "rb") as f:
        raw = f.read()
    try:
        text = raw.decode("utf-8-sig")
    except UnicodeDecodeError as e:
        line = raw[:e.start].count(b"\n") + 1
        raise DefinitionError(f"line {line}: the source is not UTF-8 text") from None
    for number, line_text in enumerate(text.split("\n"), 1):
        for ch in line_text:
            try:
                ch.encode("cp1251")
            except UnicodeEncodeError:
                raise DefinitionError(
                    f"line {number}: character {ch!r} (U+{ord(ch):04X}) has no "
                    "Windows-1251 code") from None

    base = os.path.dirname(os.path.abspath(source))
    out, deps = [], []
    i, line, line_start = 0, 1, 0
    while i < len(text):
        ch = text[i]
        if ch == "\n":
            line += 1
            line_start = i + 1
            out.append(ch)
            i += 1
        elif ch == "'":
            end, _ = read_quoted(text, i, line)
            out.append(text[i:end])
            i = end
        elif ch == "{":
            end = text.find("}", i)
            if end < 0:
                raise DefinitionError(f"line {line}: unterminated binary data")
            line += text.count("\n", i, end)
            out.append(text[i:end + 1])
            i = end + 1
        elif ch.isalpha() or ch == "_":
            end = i
            while end < len(text) and (text[end].isalnum() or text[end] in "_."):
                end += 1
            word = text[i:end]
            after = end
            while after < len(text) and text[after] in " \t":
                after += 1
            if word.lower() == "file" and after < len(text) and text[after] == "'":
                end, name = read_quoted(text, after, line)
                path = os.path.join(base, name)
                try:
                    with open(path, "rb") as f:
                        data = f.read()
                except OSError as e:
                    raise DefinitionError(f"line {line}: cannot read {name}: {e.strerror}") from None
                deps.append(path)
                indent = len(text[line_start:i]) - len(text[line_start:i].lstrip(" "))
                out.append(hex_block(data, indent))
            else:
                out.append(word)
            i = end
        else:
            out.append(ch)
            i += 1
    return "".join(out).encode("cp1251"), deps


def depfile_path(path):
    return os.path.abspath(path).replace("\\", "/").replace(" ", "\\ ")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("source")
    parser.add_argument("output")
    parser.add_argument("--depfile")
    args = parser.parse_args()
    try:
        stored, deps = convert(args.source)
    except (DefinitionError, OSError) as e:
        print(f"{args.source}: error: {e}", file=sys.stderr)
        return 1
    with open(args.output, "wb") as f:
        f.write(stored)
    if args.depfile:
        with open(args.depfile, "w", encoding="utf-8") as f:
            f.write(depfile_path(args.output) + ": " +
                    " ".join(depfile_path(p) for p in [args.source] + deps) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
