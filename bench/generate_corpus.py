#!/usr/bin/env python3
"""Writes a deterministic tree of source-like text files for the search benchmarks.

usage: generate_corpus.py DIR [--megabytes N] [--files N] [--crlf]
The same arguments always give the same bytes.
"""
import argparse
import os
import random

WORDS = (
    "alpha beta gamma delta value index count buffer result status error handle "
    "config option parser reader writer stream offset length size table entry node "
    "tree list queue stack map key item first last next prev begin end start stop "
    "return static const struct class public private void int char bool auto "
    "template typename namespace include define ifdef endif while for switch case"
).split()
IDENT_PARTS = ("get", "set", "make", "find", "load", "save", "open", "close", "read",
               "write", "scan", "walk", "match", "test", "parse", "emit")


def make_line(rng):
    kind = rng.random()
    indent = " " * (2 * rng.randrange(0, 4))
    if kind < 0.08:
        return ""
    if kind < 0.20:
        return indent + "// " + " ".join(rng.choice(WORDS) for _ in range(rng.randrange(3, 12)))
    if kind < 0.23:
        return indent + "// TODO: " + " ".join(rng.choice(WORDS) for _ in range(rng.randrange(2, 8)))
    if kind < 0.60:
        name = rng.choice(IDENT_PARTS) + rng.choice(WORDS).capitalize()
        args = ", ".join(rng.choice(WORDS) + str(rng.randrange(100)) for _ in range(rng.randrange(0, 4)))
        return f"{indent}{rng.choice(WORDS)} = {name}({args});"
    if kind < 0.80:
        return f"{indent}if ({rng.choice(WORDS)} == {rng.randrange(100000)}) {{"
    if kind < 0.9:
        return indent + "}"
    return f'{indent}printf("{" ".join(rng.choice(WORDS) for _ in range(rng.randrange(1, 6)))}\\n");'


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("dir")
    parser.add_argument("--megabytes", type=int, default=200)
    parser.add_argument("--files", type=int, default=20000)
    parser.add_argument("--crlf", action="store_true")
    args = parser.parse_args()

    rng = random.Random(20261208)
    per_file = args.megabytes * 1024 * 1024 // args.files
    eol = "\r\n" if args.crlf else "\n"
    extensions = (".c", ".h", ".cpp", ".py", ".txt", ".md")
    for n in range(args.files):
        folder = os.path.join(args.dir, f"d{n % 20:02d}", f"s{(n // 20) % 25:02d}", f"t{(n // 500) % 4}")
        os.makedirs(folder, exist_ok=True)
        size = max(64, int(per_file * (0.25 + 1.5 * rng.random())))
        lines, written = [], 0
        while written < size:
            line = make_line(rng)
            lines.append(line)
            written += len(line) + len(eol)
        # A few files hold the rare words the benchmarks look for.
        if n % 97 == 0:
            lines.insert(rng.randrange(len(lines)), "  needle_in_haystack = QuarixRareToken(42);")
        if n % 211 == 0:
            lines.insert(rng.randrange(len(lines)), "  Zebra crossing at line end")
        with open(os.path.join(folder, f"file{n:05d}{extensions[n % len(extensions)]}"), "w",
                  newline="") as out:
            out.write(eol.join(lines) + eol)


if __name__ == "__main__":
    main()
