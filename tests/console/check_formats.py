#!/usr/bin/env python3
"""Reads the jsonl and csv outputs of the tolvek command with Python's own json and csv modules,
and checks that their texts are the log's texts, converted.

    check_formats.py TOLVEK EXAMPLES_FOLDER
"""
import csv
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

LOG_RECORD = re.compile(rb'^(.*)\((\d+)\): "(.*)"$', re.S)


def run(tolvek, folder, *options):
    environment = {"LC_ALL": "C.UTF-8", "XDG_CONFIG_HOME": folder, "PATH": "/usr/bin:/bin"}
    command = [tolvek, "--codepage", "932", "-r", "--threads", "2", *options, folder]
    return subprocess.run(command, env=environment, capture_output=True, check=False)


def as_log_text(text):
    """A text as the log holds it: code page 932, with what 932 lacks as a C escape."""
    out = b""
    for character in text:
        try:
            encoded = character.encode("cp932")
            if encoded.decode("cp932") != character:  # a look-alike, not the character
                raise UnicodeEncodeError("cp932", character, 0, 1, "look-alike")
            out += encoded
        except UnicodeEncodeError:
            point = ord(character)
            out += (b"\\u%04X" % point) if point <= 0xFFFF else (b"\\U%08X" % point)
    return out


def log_records(path):
    with open(path, "rb") as log:
        lines = log.read().split(b"\r\n")
    assert lines[-1] == b"", "the log ends with a whole record"
    records = []
    for line in lines[:-1]:
        match = LOG_RECORD.match(line)
        assert match, line
        records.append((match.group(1).decode("cp932"), int(match.group(2)), match.group(3)))
    return records


def jsonl_records(path):
    records = []
    with open(path, "rb") as stream:
        for line in stream.read().decode("utf-8").split("\n")[:-1]:
            record = json.loads(line)
            assert set(record) >= {"file", "line", "column", "offset", "length", "text",
                                   "encoding"}, record
            assert record["encoding"] in ("cp932", "utf-8", "utf-16le", "utf-16be", "single"), record
            records.append(record)
    return records


def csv_rows(path, cpp):
    with open(path, "rb") as stream:
        assert stream.read(3) == b"\xef\xbb\xbf", "a new csv file begins with the byte order mark"
    with open(path, encoding="utf-8-sig", newline="") as stream:
        rows = list(csv.reader(stream))
    header = ["file", "line", "text", "column", "offset", "length"] + (["prefix"] if cpp else [])
    assert rows[0] == header, rows[0]
    return rows[1:]


def check_token(path, record):
    """The bytes at offset for length are the token: the quotes and the text between them."""
    with open(path, "rb") as source:
        data = source.read()
    token = data[record["offset"]:record["offset"] + record["length"]]
    if record["encoding"].startswith("utf-16"):
        token = token.decode(record["encoding"]).encode("utf-8")
        record = dict(record, encoding="utf-8")
    prefix = record.get("prefix", "").encode()
    assert token.startswith(prefix + b'"'), (token, record)
    inner = token[len(prefix) + 1:]
    closed = inner[:-1] if inner.endswith(b'"') else inner
    if "prefix" in record:
        assert token.endswith(b'"'), (token, record)
        if prefix.endswith(b"R"):
            return  # a raw string: its text is what stands between d( and )d
    if "bytes" in record:
        assert bytes.fromhex(record["bytes"]) in (closed, inner), (token, record)
        return
    encoding = {"cp932": "cp932", "utf-8": "utf-8", "single": "latin-1"}[record["encoding"]]
    texts = [piece.decode(encoding, "replace") for piece in (closed, inner)]
    assert record["text"] in texts, (token, record)


def check_folder(tolvek, folder, *options):
    outputs = {}
    cpp = "cpp" in options
    for form in ("log", "jsonl", "csv"):
        outputs[form] = os.path.join(folder, "out." + form)
        if os.path.exists(outputs[form]):
            os.remove(outputs[form])
        result = run(tolvek, folder, "--format", form, "--output", outputs[form], *options)
        assert result.returncode == 0, result.stderr.decode()
    logged = log_records(outputs["log"])
    jsonl = jsonl_records(outputs["jsonl"])
    rows = csv_rows(outputs["csv"], cpp)
    assert len(logged) == len(jsonl) == len(rows) > 0, (len(logged), len(jsonl), len(rows))
    for (name, line, text), record, row in zip(logged, jsonl, rows):
        assert record["file"] == name and record["line"] == line, (record, name, line)
        assert [int(cell) for cell in row[3:6]] == [record["column"], record["offset"],
                                                     record["length"]], (row, record)
        assert ("prefix" in record) == cpp and row[6:] == ([record["prefix"]] if cpp else []), row
        check_token(os.path.join(folder, name), record)
        assert row[0].lstrip("'") == name and int(row[1]) == line, (row, name, line)
        if "bytes" in record:
            assert bytes.fromhex(record["bytes"]) == text, record
            continue
        assert as_log_text(record["text"]) == text, (record, text)
        cell = row[2][1:] if row[2][:1] == "'" and record["text"][:1] in "=+-@\t\r" else row[2]
        assert cell == record["text"], (row, record)
    return len(logged)


def main():
    tolvek, examples = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as work:
        shutil.copytree(examples, os.path.join(work, "examples"))
        count = check_folder(tolvek, os.path.join(work, "examples"))
        print(f"examples: {count} records read alike from the log, jsonl and csv")
        count = check_folder(tolvek, os.path.join(work, "examples"), "--syntax", "cpp",
                             "--ext", "c,cpp,h,rc")
        texts = [record["text"] for record in jsonl_records(os.path.join(work, "examples", "out.jsonl"))]
        assert not [text for text in texts if text.endswith(".h")], texts  # no #include
        print(f"examples, C/C++ syntax: {count} records, none from a comment or #include")

        # Texts that the formats must take care of: quotes, commas, formulas, a lone lead
        # byte, UTF-8 with characters that 932 lacks, a name with a comma.
        edge = os.path.join(work, "edge")
        os.makedirs(os.path.join(edge, "sub"))
        with open(os.path.join(edge, "a,b.c"), "wb") as source:
            source.write(b's = "say \\"hi\\", ok"; f = "=SUM(A1)"; g = "@x"; h = "-1";\n'
                         b't = "\x82\xa0\x95\x5c";\n'
                         b'u = "ab\x83')  # a lone lead byte in a text still open at the end
        with open(os.path.join(edge, "sub", "u.cpp"), "wb") as source:
            source.write('\ufeffs = "caf\u00e9 \u2713 \u3042 \uff71";\n'.encode("utf-8"))
        count = check_folder(tolvek, edge)
        print(f"edge cases: {count} records read alike from the log, jsonl and csv")

        # The C/C++ syntax: prefixes, raw strings, a resource script in CR LF with doubled
        # quotes, UTF-8 with a byte order mark.
        with open(os.path.join(edge, "r.rc"), "wb") as source:
            source.write(b'// "comment"\r\nCAPTION "say ""hi"""\r\n  LTEXT "\x95\x5c", 1\r\n')
        with open(os.path.join(edge, "sub", "raw.cpp"), "wb") as source:
            source.write('\ufeff#include "x.h"\r\nauto a = L"w" u8"\u3042" R"d(\r\n"q")d" "s"_x;\r\n'
                         .encode("utf-8"))
        count = check_folder(tolvek, edge, "--syntax", "cpp", "--ext", "c,cpp,rc")
        print(f"edge cases, C/C++ syntax: {count} records read alike from the log, jsonl and csv")


if __name__ == "__main__":
    main()
