#!/usr/bin/env python3
"""Peer for the job-accounting parser benchmark: the same element walk in
plain Python (layout header, tag/container/data fields, job and alert
fields by element path), timed on the same block. Prints MB/s."""
import sys
import time


def parse_layout(block):
    pos, groups = 4, []
    for _ in range(3):
        end = block.index(b"}", pos + 2)
        items = []
        for item in block[pos + 2:end].split(b","):
            if item:
                items.append((item[:2].decode(), int(item[3:] or b"0")))
        groups.append(items)
        pos = end + 1
    return groups, pos


def parse(block):
    (tag, cont, data), pos = parse_layout(block)
    end = len(block)

    def num(p, size):
        if p + size > end:
            raise ValueError("past the end")
        return int.from_bytes(block[p:p + size], "big"), p + size

    def element(p):
        e = {"ID": 0, "DT": 0, "NE": 0, "LD": 0}
        for name, size in tag:
            if name in ("ID", "DT"):
                e[name], p = num(p, size)
            else:
                p += size
        if e["DT"] == 0:
            for name, size in cont:
                if name in ("NE", "LD"):
                    e[name], p = num(p, size)
                else:
                    p += size
        return e, p

    def value(e, p):
        if e["DT"] == 0:
            return b"", p + e["LD"]
        length, val = 0, b""
        for name, size in data:
            if name == "LD":
                length, p = num(p, size)
            elif name == "DA":
                val, p = block[p:p + length], p + length
            else:
                p += size
        return val, p

    def fields(p, count):
        out = {}
        for _ in range(count):
            e, p = element(p)
            v, p = value(e, p)
            out[e["ID"]] = int.from_bytes(v, "big") if e["DT"] == 1 else v
        return out, p

    def parts(p, count):
        out = {}
        for _ in range(count):
            e, p = element(p)
            if e["DT"] == 0:
                out[e["ID"]], p = fields(p, e["NE"])
            else:
                _, p = value(e, p)
        return out, p

    job = alert = None
    while pos < end:
        e, pos = element(pos)
        if e["ID"] != 1 or e["DT"] != 0:
            _, pos = value(e, pos)
            continue
        for _ in range(e["NE"]):
            c, pos = element(pos)
            if c["ID"] == 2 and c["DT"] == 0:
                job, pos = parts(pos, c["NE"])
            elif c["ID"] == 3 and c["DT"] == 0:
                alert, pos = parts(pos, c["NE"])
            else:
                _, pos = value(c, pos)
    return job, alert


def main():
    block = open(sys.argv[1], "rb").read()
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 2.0
    job, alert = parse(block)
    assert job and alert
    start, n = time.perf_counter(), 0
    while True:
        parse(block)
        n += 1
        elapsed = time.perf_counter() - start
        if elapsed >= seconds:
            break
    print("%.2f" % (len(block) * n / elapsed / 1e6))


main()
