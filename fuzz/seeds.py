#!/usr/bin/env python3
"""Writes the generated seed inputs of a fuzz target into a folder.

    seeds.py TARGET FOLDER

Targets whose seeds are files of the tests name them in fuzz/<dir>/<target>.seeds
instead; this script knows the inputs no test keeps as a file: database
backend conversations of both protocol versions and server command lines."""

import struct
import sys
from pathlib import Path


def v3(kind, body=b""):
    return kind + struct.pack("!i", len(body) + 4) + body


def cstr(s):
    return s.encode() + b"\0"


def pgdecoder():
    # First byte: protocol (odd: 2.0, even: 3.0); second: the chunk size.
    fields = b"".join(cstr(n) + struct.pack("!ihhihh", 0, 0, 25, -1, -1, 0) for n in ("id", "naam"))
    row = struct.pack("!h", 2) + struct.pack("!i", 2) + b"12" + struct.pack("!i", -1)
    error = b"SERROR\0VERROR\0C42P01\0Mrelation does not exist\0P15\0Hcheck the name\0\0"
    start3 = (v3(b"R", struct.pack("!i", 0)) + v3(b"S", cstr("server_version") + cstr("15.4"))
              + v3(b"S", cstr("client_encoding") + cstr("UTF8")) + v3(b"K", struct.pack("!ii", 42, 7))
              + v3(b"Z", b"I"))
    query3 = (v3(b"T", struct.pack("!h", 2) + fields) + v3(b"D", row) + v3(b"D", row)
              + v3(b"C", cstr("SELECT 2")) + v3(b"Z", b"I"))
    auth3 = [v3(b"R", struct.pack("!i", 5) + b"salt"), v3(b"R", struct.pack("!i", 10) + cstr("SCRAM-SHA-256") + b"\0"),
             v3(b"R", struct.pack("!i", 11) + b"r=abc,s=c2FsdA==,i=4096"), v3(b"R", struct.pack("!i", 12) + b"v=xyz")]
    other3 = (v3(b"N", error) + v3(b"E", error) + v3(b"G", b"\0\0\0") + v3(b"A", struct.pack("!i", 1) + cstr("k") + cstr("p"))
              + v3(b"I") + v3(b"Z", b"E"))
    # 2.0: no lengths; rows carry a null bitmap and lengths that count themselves.
    fields2 = struct.pack("!h", 2) + b"".join(cstr(n) + struct.pack("!ihi", 25, -1, -1) for n in ("id", "naam"))
    row2 = b"D" + bytes([0b10000000]) + struct.pack("!i", 6) + b"12"
    brow2 = b"B" + bytes([0b11000000]) + struct.pack("!i", 2) + b"12" + struct.pack("!i", 1) + b"x"
    start2 = b"R" + struct.pack("!i", 0) + b"K" + struct.pack("!ii", 42, 7) + b"Z"
    query2 = b"P" + cstr("blank") + b"T" + fields2 + row2 + brow2 + b"C" + cstr("SELECT") + b"Z"
    other2 = (b"R" + struct.pack("!i", 5) + b"salt" + b"R" + struct.pack("!i", 4) + b"sa" + b"N" + cstr("NOTICE:  hallo\n")
              + b"E" + cstr("ERROR:  fout\n") + b"A" + struct.pack("!i", 3) + cstr("kanaal") + b"V1" + struct.pack("!i", 2)
              + b"ab0" + b"I" + cstr("") + b"G" + b"Z")
    seeds = {}
    for chunk in (1, 7, 63):
        seeds[f"v3-start-{chunk}"] = bytes([0, chunk]) + start3 + query3
        seeds[f"v2-start-{chunk}"] = bytes([1, chunk]) + start2 + query2
    for i, a in enumerate(auth3):
        seeds[f"v3-auth-{i}"] = bytes([2, 20]) + a + v3(b"Z", b"I")
    seeds["v3-other"] = bytes([4, 30]) + other3
    seeds["v2-other"] = bytes([3, 30]) + other2
    return seeds


def server_command():
    # First byte: the line limit less 256; then pieces, each led by its size byte.
    lines = [
        "checkversion 1.3.4.1", "auth jan geheim", "checkpw jan geheim", "user jan", "userlijst", "poll",
        "useronline kees", "lock agenda_12", "unlock agenda_12", "broadcast agenda new 12",
        "broadcast todo hupdate 7", "broadcast klaar remove 3", "broadcast viewchanged agenda",
        "broadcast rubriek update 3", "direct kees hallo daar", "direct all iedereen", "eindredacteur 2",
        "ja_eindredacteur kees", "nee_eindredacteur kees", "job list", "job reload",
        'job new eenmalig "import 4" "Verversen van NOS"', "publiceer 12 7", "voorbeeld 3", "hangup kees",
        "ontgrendel kees", "shutdown", "AUTH Jan x", "lock\tx", "broadcast agenda new -1",
    ]
    seeds = {}
    for i in range(0, len(lines), 6):
        data = "".join(l + "\r\n" for l in lines[i:i + 6]).encode()
        out = bytearray([0])
        at = 0
        while at < len(data):
            n = 1 + (at * 7) % 40
            out.append(n - 1)
            out += data[at:at + n]
            at += n
        seeds[f"lines-{i // 6}"] = bytes(out)
    return seeds


def markup():
    texts = [
        "<b>Kop</b> en <i>tekst</i><br>tweede regel<hrt>derde",
        "<red>rood<black> zwart <blue>blauw<green>groen<bold>vet<normal>",
        "[hosts]\nserverhost=server\nserverport=2000\n; commentaar\n[autologin]\nusername=jan\n",
        "caf%C3%A9%20en%2", "a,b;c|d  e", "<font color=\"#ff0000\">x</font>&amp;&lt;&gt;&#233;",
    ]
    return {f"text-{i}": t.encode() for i, t in enumerate(texts)}


def feed():
    # The test feeds and agency files behind a mode byte: plain, and Latin-1
    # for the one that declares no charset of its own.
    root = Path(__file__).resolve().parents[1] / "tests" / "server" / "data"
    seeds = {}
    for f in sorted(root.iterdir()):
        if f.is_file():
            seeds[f"test-{f.name}"] = bytes([1 if "latin1" in f.name else 0]) + f.read_bytes()
    return seeds


GENERATORS = {"fuzz_pgdecoder": pgdecoder, "fuzz_feed": feed, "fuzz_server_command": server_command, "fuzz_markup": markup}


def main():
    target, folder = sys.argv[1], Path(sys.argv[2])
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in GENERATORS.get(target, dict)().items():
        (folder / f"seed-{name}").write_bytes(data)


if __name__ == "__main__":
    main()
