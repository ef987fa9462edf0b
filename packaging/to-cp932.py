#!/usr/bin/env python3
"""Writes a UTF-8 text in code page 932 with CR LF line ends, the version put in its place:
the form a Japanese Windows user's editor opens.

    to-cp932.py SOURCE TARGET VERSION
"""
import sys


def main():
    source, target, version = sys.argv[1:4]
    with open(source, encoding="utf-8") as text:
        content = text.read().replace("@VERSION@", version)
    encoded = bytearray()
    for character in content.replace("\r\n", "\n"):
        code = character.encode("cp932")
        if code.decode("cp932") != character:
            sys.exit(f"to-cp932.py: {source}: {character!r} is not in code page 932")
        encoded += b"\r\n" if character == "\n" else code
    with open(target, "wb") as out:
        out.write(encoded)


if __name__ == "__main__":
    main()
