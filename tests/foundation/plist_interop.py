"""Property lists written and read by Python's plistlib, an independent implementation of both
formats, for PlistInteropTest.

  plist_interop.py write DIR   writes each case's input as DIR/<case>
  plist_interop.py check DIR   reads DIR/out/<case>.bin and DIR/out/<case>.xml, written back by
                               our writers from what our reader read, and compares them with
                               what each case expects; prints each difference, exits 1 on any

Values compare strictly: a bool is no integer, an integer no real, and reals compare bit for bit.
"""
import codecs
import datetime
import math
import os
import plistlib
import struct
import sys

BIN, XML = plistlib.FMT_BINARY, plistlib.FMT_XML

INTEGERS = [2**64 - 1, 2**63, 2**63 - 1, -1, -(2**63), 0, 255, 2**32, {"u": 2**64 - 1, "s": -5}]
DATES = [
    datetime.datetime(2106, 2, 7, 6, 29, 15, 7),
    datetime.datetime(2242, 3, 16, 12, 56, 32, 999999),
    datetime.datetime(1, 1, 1, 0, 0, 0, 500000),
    datetime.datetime(9999, 12, 31, 23, 59, 59, 500000),
]
WHOLE_SECONDS = [d.replace(microsecond=0) for d in DATES]
UNICODE = {"text": "中文 😀 é", "list": [1, "\t", ""]}
LINE_ENDS_XML = (b'<?xml version="1.0" encoding="UTF-8"?>\r\n<plist version="1.0">\r\n<array>\r\n'
                 b"<string>a\r\nb\rc\n\r\nd</string>\r<string>&#13;</string>"
                 b"<string><![CDATA[e\r\nf]]></string>\r\n</array>\r\n</plist>\r\n")
LINE_ENDS = ["a\nb\nc\n\nd", "\r", "e\nf"]


def utf16(value, codec, bom):
    text = plistlib.dumps(value, fmt=XML).decode("utf-8")
    return bom + text.replace('encoding="UTF-8"', 'encoding="UTF-16"').encode(codec)


# case: (input bytes, expected from our binary, expected from our XML or None when toXML declines)
CASES = {
    "integers.bin": (plistlib.dumps(INTEGERS, fmt=BIN), INTEGERS, INTEGERS),
    "integers.xml": (plistlib.dumps(INTEGERS, fmt=XML), INTEGERS, INTEGERS),
    "nul.bin": (plistlib.dumps(["a\x00b", {"k\x00": "v"}], fmt=BIN), ["a\x00b", {"k\x00": "v"}],
                None),
    "control.bin": (plistlib.dumps(["\x01"], fmt=BIN), ["\x01"], None),
    "nonchar.bin": (plistlib.dumps({"k": "\ufffe"}, fmt=BIN), {"k": "\ufffe"}, None),
    "nonchar-key.bin": (plistlib.dumps({"\uffff": 1}, fmt=BIN), {"\uffff": 1}, None),
    "cr.bin": (plistlib.dumps(["a\rb", "c\r\nd", "\r"], fmt=BIN), ["a\rb", "c\r\nd", "\r"],
               ["a\rb", "c\r\nd", "\r"]),
    "line-ends.xml": (LINE_ENDS_XML, LINE_ENDS, LINE_ENDS),
    "utf16le.xml": (utf16(UNICODE, "utf-16-le", codecs.BOM_UTF16_LE), UNICODE, UNICODE),
    "utf16be.xml": (utf16(UNICODE, "utf-16-be", codecs.BOM_UTF16_BE), UNICODE, UNICODE),
    "dates.bin": (plistlib.dumps(DATES, fmt=BIN), DATES, WHOLE_SECONDS),
    "dates.xml": (plistlib.dumps(DATES, fmt=XML), WHOLE_SECONDS, WHOLE_SECONDS),
}


def same(a, b):
    if type(a) is not type(b):
        return False
    if isinstance(a, float):
        return struct.pack(">d", a) == struct.pack(">d", b) or (math.isnan(a) and math.isnan(b))
    if isinstance(a, list):
        return len(a) == len(b) and all(same(x, y) for x, y in zip(a, b))
    if isinstance(a, dict):
        return a.keys() == b.keys() and all(same(a[k], b[k]) for k in a)
    return a == b


def write(folder):
    for name, (data, _, _) in CASES.items():
        # Each input is one that plistlib itself reads as intended.
        plistlib.loads(data)
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def check(folder):
    failures = 0
    for name, (_, from_binary, from_xml) in CASES.items():
        for suffix, expected in ((".bin", from_binary), (".xml", from_xml)):
            path = os.path.join(folder, "out", name + suffix)
            if expected is None:
                if os.path.exists(path):
                    print(f"{name}{suffix}: written, though XML cannot carry it")
                    failures += 1
                continue
            try:
                with open(path, "rb") as f:
                    got = plistlib.loads(f.read())
            except Exception as e:  # a file plistlib refuses is a failure like any other
                print(f"{name}{suffix}: plistlib refuses it: {e!r}")
                failures += 1
                continue
            if not same(got, expected):
                print(f"{name}{suffix}: read {got!r}, expected {expected!r}")
                failures += 1
    return failures


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("write", "check"):
        sys.exit(__doc__)
    if sys.argv[1] == "write":
        write(sys.argv[2])
    else:
        sys.exit(1 if check(sys.argv[2]) else 0)
