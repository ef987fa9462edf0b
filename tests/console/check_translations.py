#!/usr/bin/env python3
"""The PO and XLIFF exports of the tolvek command, read by independent consumers: gettext's
msgfmt -c checks the PO file, and translate-toolkit reads both back with the same units and values
(each value what a C compiler reads from the literal). Then translate-toolkit fills in the
translations, and the command applies them: copied sources change no byte, wrapped ones come back
wrapped at every place.

    check_translations.py TOLVEK EXAMPLES_FOLDER
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

from translate.storage import pypo, xliff

WRITTEN = "tolvek: as written"
READ = ("--ext", "c,cpp,h,rc", "-r")  # the bundled UTF-16 resource script too
SIMPLE = {"n": "\n", "t": "\t", "r": "\r", "a": "\a", "b": "\b", "f": "\f", "v": "\v",
          "\\": "\\", "'": "'", '"': '"', "?": "?"}


def run(tolvek, folder, *options):
    environment = {"LC_ALL": "C.UTF-8", "XDG_CONFIG_HOME": folder, "PATH": "/usr/bin:/bin"}
    command = [tolvek, "--codepage", "932", *options]
    result = subprocess.run(command, env=environment, capture_output=True, check=False)
    assert result.returncode == 0, (command, result.stderr.decode())
    return result.stdout


def value_of(text, encoding):
    """The value of a text as written, decoded as a C compiler does; None when it has none that a
    translation file carries. In a UTF-16 file a unit is a character, elsewhere a byte."""
    wide = encoding.startswith("utf-16")
    units = []

    def put(character):
        units.extend([ord(character)] if wide else character.encode(encoding))

    at = 0
    while at < len(text):
        character = text[at]
        at += 1
        if character != "\\":
            put(character)
            continue
        escape = text[at] if at < len(text) else ""
        at += 1
        if escape in SIMPLE:
            put(SIMPLE[escape])
        elif escape and escape in "01234567":
            digits = re.match(r"[0-7]{1,3}", text[at - 1:]).group(0)
            units.append(int(digits, 8))
            at += len(digits) - 1
        elif escape == "x":
            digits = re.match(r"[0-9a-fA-F]*", text[at:]).group(0)
            if not digits or (int(digits, 16) > 255 and not wide):
                return None
            units.append(int(digits, 16))
            at += len(digits)
        elif escape in ("u", "U"):
            digits = text[at:at + (4 if escape == "u" else 8)]
            if not re.fullmatch(r"[0-9a-fA-F]{4}|[0-9a-fA-F]{8}", digits):
                return None
            try:
                put(chr(int(digits, 16)))
            except (UnicodeEncodeError, ValueError):
                return None
            at += len(digits)
        else:
            return None
    try:
        value = "".join(map(chr, units)) if wide else bytes(units).decode(encoding)
    except (UnicodeDecodeError, ValueError):
        return None
    if any(ord(c) < 0x20 and c not in "\t\n\r" for c in value):
        return None
    return value


def expected_units(records):
    """(context, source) of each distinct non-empty text, in the order of first appearance."""
    units = []
    for record in records:
        encoding = record["encoding"] if record["encoding"] != "single" else "ascii"
        value = value_of(record["text"], encoding)
        unit = (None, value) if value is not None else (WRITTEN, record["text"])
        if unit[1] and unit not in units:
            units.append(unit)
    return units


def records_of(tolvek, tree, syntax):
    lines = run(tolvek, tree, "--syntax", syntax, *READ, "--format", "jsonl", "--output", "-", tree)
    return [json.loads(line) for line in lines.decode().split("\n") if line]


def make_tree(examples, work):
    tree = os.path.join(work, "tree")
    shutil.copytree(examples, tree)
    with open(os.path.join(tree, "toolbar.c"), "wb") as source:
        source.write("t = \"新規\\0開く\\0\"; h = \"\\x82\"; f = \"%5.2f%% 完了\\n\";\r\n"
                     "g = \"表示\"; e = \"\"; /* \"注釈\" */ w = L\"幅\"; x = \"表示\";\r\n".encode("cp932"))
    return tree


def snapshot(tree):
    files = {}
    for folder, _, names in os.walk(tree):
        for name in names:
            with open(os.path.join(folder, name), "rb") as source:
                files[os.path.join(folder, name)] = source.read()
    return files


def check_export(tolvek, tree, work, expected, syntax):
    po_path = os.path.join(work, "texts.po")
    xliff_path = os.path.join(work, "texts.xlf")
    run(tolvek, tree, "--syntax", syntax, *READ, "--format", "po", "--output", po_path, tree)
    run(tolvek, tree, "--syntax", syntax, *READ, "--format", "xliff", "--output", xliff_path, tree)
    subprocess.run(["msgfmt", "-c", "-o", os.devnull, po_path], check=True)
    po = pypo.pofile.parsefile(po_path)
    po_units = [(unit.getcontext() or None, unit.source) for unit in po.units if not unit.isheader()]
    assert po_units == expected, (po_units, expected)
    with open(xliff_path, "rb") as stream:
        xlf = xliff.xlifffile(stream.read())
    xliff_units = [(WRITTEN if unit.xmlelement.get("restype") == "x-tolvek-as-written" else None,
                    unit.source) for unit in xlf.units]
    assert xliff_units == expected, (xliff_units, expected)
    ids = [unit.getid() for unit in xlf.units]
    assert len(set(ids)) == len(ids)
    return po_path, xliff_path, po, xlf


def apply(tolvek, tree, store, path, translate):
    for unit in store.units:
        if not (hasattr(unit, "isheader") and unit.isheader()):
            unit.target = translate(unit.source)
    store.savefile(path)
    run(tolvek, tree, "--apply", path, tree)


def round_trip(tolvek, examples, syntax):
    work = tempfile.mkdtemp()
    try:
        tree = make_tree(examples, work)
        before = records_of(tolvek, tree, syntax)
        expected = expected_units(before)
        assert len(expected) < len([r for r in before if r["text"]]), "texts appear twice"
        files = snapshot(tree)
        po_path, xliff_path, po, xlf = check_export(tolvek, tree, work, expected, syntax)

        apply(tolvek, tree, po, po_path, lambda source: source)
        assert snapshot(tree) == files, "the identity round trip changed a byte"
        apply(tolvek, tree, xlf, xliff_path, lambda source: "【" + source + "】")
        after = records_of(tolvek, tree, syntax)
        assert len(after) == len(before)
        for old, new in zip(before, after):
            wrapped = "【" + old["text"] + "】" if old["text"] else ""
            assert new["text"] == wrapped, (old, new)
    finally:
        shutil.rmtree(work)


def main():
    tolvek, examples = sys.argv[1], sys.argv[2]
    for syntax in ("pairs", "cpp"):
        round_trip(tolvek, examples, syntax)
    print("PO and XLIFF read back by msgfmt and translate-toolkit; the round trips hold")


if __name__ == "__main__":
    main()
