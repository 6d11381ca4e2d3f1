#!/usr/bin/env python3
"""Writes a deterministic tree of many small text files, or one large file, for the
search benchmarks of scale.

usage: generate_tree.py DIR --files N     N small files, a thousand per folder, in folders
                                          of a hundred folders; every 997th file holds the
                                          words the benchmarks look for (sparse content)
       generate_tree.py FILE --bytes N    one file of about N bytes of text lines whose only
                                          match is in the last few kilobytes
The same arguments always give the same bytes.
"""
import argparse
import os

LINES = [
    "static int value_of(struct entry *node, size_t length);",
    "  if (count == 42) { return status; }",
    "// read the next block of the stream and check its header",
    "  buffer[offset] = table[index] ^ key;",
    "  printf(\"%s: %d\\n\", name, result);",
    "#define MAX_LENGTH 4096",
    "",
    "}",
]
RARE = [
    "  needle_in_haystack = QuarixRareToken(42);",
    "  Zebra crossing at line end",
]


def small_file_text(n):
    lines = [LINES[(n + i) % len(LINES)] for i in range(1 + n % 5)]
    if n % 997 == 0:
        lines.insert(len(lines) // 2, RARE[0])
    if n % 1994 == 0:
        lines.append(RARE[1])
    return "\n".join(lines) + "\n"


def write_tree(root, files):
    for n in range(files):
        folder = os.path.join(root, f"a{n // 100000:03d}", f"b{(n // 1000) % 100:02d}")
        if n % 1000 == 0:
            os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, f"f{n:07d}.txt"), "w", newline="") as out:
            out.write(small_file_text(n))


def write_large_file(path, size):
    block = ("\n".join(LINES[i % len(LINES)] + f" /* {i} */" for i in range(20000)) + "\n").encode()
    tail = ("\n".join(LINES) + "\n" + "\n".join(RARE) + "\n" + "\n".join(LINES) + "\n").encode()
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    with open(path, "wb") as out:
        written = 0
        while written + len(block) + len(tail) <= size:
            out.write(block)
            written += len(block)
        out.write(tail)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("path")
    group = parser.add_mutually_exclusive_group(required=True)
    group.add_argument("--files", type=int)
    group.add_argument("--bytes", type=int)
    args = parser.parse_args()
    if args.files is not None:
        write_tree(args.path, args.files)
    else:
        write_large_file(args.path, args.bytes)


if __name__ == "__main__":
    main()
