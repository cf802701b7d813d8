#!/usr/bin/env python3
"""Checks the library's AFM reader against fontTools' afmLib, an independent
AFM parser, on real AFM files.

    afm_compare.py AFM_DUMP DIR_OR_FILE...

AFM_DUMP is the tests' afm_dump executable. For every .afm file named or found
in a directory, afmLib's view of the file is mapped through the library's
glyph-name table into code page 1252 codes and compared with the record the
library's reader fills: FontName, weight, italic angle, pitch, FontBBox, the
other global metrics, width and box of every code, kerning pairs, and the
average and largest widths. Exits 0 when all agree, 1 on any difference,
77 (skipped) when fontTools is not installed.
"""
import json
import os
import subprocess
import sys
from decimal import Decimal

try:
    from fontTools import afmLib
except ImportError:
    print("fontTools is not installed: comparison skipped")
    sys.exit(77)

WEIGHTS = {
    "Light": 300, "LightCondensed": 300, "Book": 400, "Medium": 400, "Roman": 400,
    "Regular": 400, "Italic": 400, "MediumCondensed": 400, "Bold": 700, "BoldItalic": 700,
    "Demi": 700, "Poster": 700, "Heavy": 700, "Black": 700, "BlackCondensed": 700,
    "BoldCondensed": 700,
}
PPDS_LETTERS = dict(zip("abcdefghijklmnopqrstuvwxyz ",
                        [64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6, 35, 20, 56, 56, 17, 4, 49,
                         56, 71, 31, 10, 18, 3, 18, 2, 166]))
MAX_PAIRS = 1024


def int16(v):
    v &= 0xFFFF
    return v - 0x10000 if v >= 0x8000 else v


def expected_record(path, code_of):
    f = afmLib.AFM(path)
    exp = {"result": 0, "FontName": f.FontName}
    exp["nWeight"] = WEIGHTS.get(getattr(f, "Weight", ""), 400)
    exp["nItalicAngle"] = int16(int(Decimal(str(getattr(f, "ItalicAngle", "0"))) * 10))
    fixed = str(getattr(f, "IsFixedPitch", "false")) == "true"
    exp["bVariablePitch"] = 0 if fixed else 1
    for key, attr in (("nUnderlinePos", "UnderlinePosition"), ("nUnderlineThick", "UnderlineThickness"),
                      ("nCapHeight", "CapHeight"), ("nAscender", "Ascender"), ("nDescender", "Descender")):
        exp[key] = int(getattr(f, attr, 0))
    llx, lly, urx, ury = f.FontBBox
    exp["rcFontBBox"] = [llx, ury, urx, lly]
    name = f.FontName
    exp["nCharSet"] = 2 if name.startswith("Symbol") or name == "ZapfDingbats" else 0

    # Character metrics by glyph name; codes the font lacks show the bullet
    # (or nothing when there is no bullet either).
    metrics = [None] * 256
    for glyph, (_code, width, (l, b, r, t)) in f._chars.items():
        c = code_of.get(glyph, 0)
        if 1 <= c <= 255:
            metrics[c] = [l, t, r, b, width]
    bullet = metrics[149] or [0, 0, 0, 0, 0]
    metrics = [list(m) if m else list(bullet) for m in metrics]
    metrics[160] = list(metrics[32])
    metrics[173] = list(metrics[45])
    metrics[175] = list(metrics[code_of.get("macron", 0)])
    if fixed:
        for c in range(32, 256):
            metrics[c][4] = metrics[32][4]
    exp["charMetrics"] = metrics
    exp["nAvgWidth"] = metrics[32][4] if fixed else (sum(m[4] for m in metrics) % 2**32) // 256
    exp["nMaxWidth"] = max([0] + [m[4] for m in metrics[32:256]])
    exp["nPpdsAvgWidth"] = (sum(metrics[ord(ch)][4] * w for ch, w in PPDS_LETTERS.items()) // 1000) & 0xFFFF

    # Kerning pairs in file order, both glyphs in the code page, the first
    # 1024 kept, ordered by key (second code, first code).
    pairs = []
    for (left, right), amount in f._kerning.items():
        a, b = code_of.get(left, 0), code_of.get(right, 0)
        if a and b:
            pairs.append([b * 256 + a, int16(int(amount))])
    pairs = sorted(pairs[:MAX_PAIRS], key=lambda p: p[0])
    exp["kernPairs"] = pairs
    kpx_lines = sum(1 for line in open(path, encoding="latin-1") if line.split()[:1] == ["KPX"])
    if kpx_lines != len(f._kerning):
        raise RuntimeError("%s repeats kerning pairs; afmLib merges them" % path)
    return exp


def compare(dump, path, code_of):
    got = json.loads(subprocess.run([dump, path], check=True, capture_output=True, text=True).stdout)
    exp = expected_record(path, code_of)
    diffs = []
    for key, want in exp.items():
        have = got.get(key)
        if key == "charMetrics":
            for c in range(256):
                if have[c] != want[c]:
                    diffs.append("code %d: %s, afmLib %s" % (c, have[c], want[c]))
        elif key == "kernPairs":
            if have != want:
                diffs.append("kerning: %d pairs, afmLib %d; first difference %s" % (
                    len(have), len(want),
                    next(((h, w) for h, w in zip(have, want) if h != w), "in length")))
        elif have != want:
            diffs.append("%s: %r, afmLib %r" % (key, have, want))
    return got, diffs


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    dump = sys.argv[1]
    glyphs = json.loads(subprocess.run([dump, "--glyphs"], check=True, capture_output=True, text=True).stdout)
    code_of = {}
    for name, code in glyphs:
        code_of.setdefault(name, code)  # the first listed name wins
    files = []
    for arg in sys.argv[2:]:
        if os.path.isdir(arg):
            files += sorted(os.path.join(arg, n) for n in os.listdir(arg) if n.lower().endswith(".afm"))
        elif os.path.isfile(arg):
            files.append(arg)
        else:
            print("not present, not compared: %s" % arg)
    if not files:
        print("no AFM files to compare")
        return 1
    failed = 0
    for path in files:
        got, diffs = compare(dump, path, code_of)
        if diffs:
            failed += 1
            print("DIFFERS %s" % path)
            for d in diffs[:20]:
                print("   " + d)
        else:
            print("agrees  %s (%s, %d kerning pairs)" % (path, got["FontName"], len(got["kernPairs"])))
    print("%d of %d files agree with afmLib" % (len(files) - failed, len(files)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
