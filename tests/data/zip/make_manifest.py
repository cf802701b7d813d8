#!/usr/bin/env python3
"""Writes manifest.tsv: for every archive whose members must come out exact,
one line per member with the expected content file and the stored DOS date
and time, read with Python's zipfile (an independent reader).

Columns: archive, stored name, path written, expected content (relative to
this folder; "-" for a directory entry), year, month, day, hour, minute, second.
"""
import os
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
EXACT = [
    "methods/m0_stored.zip", "methods/m1_shrink.zip", "methods/m2_reduce1.zip",
    "methods/m3_reduce2.zip", "methods/m4_reduce3.zip", "methods/m5_reduce4.zip",
    "methods/m6_implode_4k.zip", "methods/m6_implode_4k_lit.zip", "methods/m6_implode_8k.zip",
    "methods/m6_implode_8k_lit.zip", "methods/m8_deflate.zip", "methods/all_methods_mixed.zip",
    "misc/batch100_stored.zip", "misc/comment_65535.zip", "misc/sfx_stub_raw.zip",
    "misc/sfx_stub_adjusted.zip", "misc/datadesc_python_stream.zip", "misc/datadesc_zip_stream.zip",
    "pkware/pkzip_multi_methods.zip", "pkware/pkz092_reduce4_hamlet2048.zip",
    "pkware/pkz092_reduce4_text_then_zeros.zip", "pkware/pkz110_implode_4k_2trees_hamlet256.zip",
    "pkware/pkz110_implode_8k_3trees_hamlet8192.zip", "pkware/pkz110_shrink_fig5.zip",
    "pkware/pkzip204g_stored_paths.zip",
    # only the plain or supported members are extracted from these
    "misc/encrypted.zip", "misc/deflate64.zip", "misc/method7_fake.zip",
]


def source_of(archive, name):
    folder, base = archive.split("/")
    stem = base[:-4]
    if folder == "pkware":
        return f"pkware/src/{stem}/{name}"
    if base == "all_methods_mixed.zip":
        return "src/" + name.split("/", 1)[1]
    if folder == "misc" and os.path.exists(os.path.join(HERE, f"misc/src/{stem}/{name}")):
        return f"misc/src/{stem}/{name}"
    return "src/" + name


with open(os.path.join(HERE, "manifest.tsv"), "w") as out:
    for archive in EXACT:
        with zipfile.ZipFile(os.path.join(HERE, archive)) as z:
            for info in z.infolist():
                if info.flag_bits & 1 or info.compress_type not in (0, 1, 2, 3, 4, 5, 6, 8):
                    continue  # skipped by the extractor
                name = info.filename
                src = "-" if name.endswith("/") else source_of(archive, name)
                if src != "-":
                    assert os.path.exists(os.path.join(HERE, src)), (archive, name, src)
                fields = [archive, name, name.replace(":", "_"), src] + [str(v) for v in info.date_time]
                out.write("\t".join(fields) + "\n")
