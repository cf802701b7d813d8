#!/usr/bin/env python3
"""Writes the benchmark inputs into DIR: mixed/ (about 200 MB of text and
binary files) and small/ (20,000 files of 200 to 3,000 bytes). Deterministic."""
import os
import random
import struct
import sys

out = sys.argv[1]
rng = random.Random(20240101)
words = [''.join(rng.choice('etaoinshrdlucmfwypvbgkjqxz') for _ in range(rng.randint(2, 10)))
         for _ in range(5000)]


def text(n):
    parts, size = [], 0
    while size < n:
        line = ' '.join(rng.choices(words, k=rng.randint(5, 14))) + '.\n'
        parts.append(line)
        size += len(line)
    return ''.join(parts).encode()[:n]


def records(n):
    # Table-like binary: slowly changing little-endian fields.
    a, b, buf = 0, 1000, bytearray()
    while len(buf) < n:
        a += rng.randint(0, 3)
        b += rng.randint(-2, 2)
        buf += struct.pack('<IhH', a, b, rng.randint(0, 15))
    return bytes(buf[:n])


def noise(n):
    return rng.randbytes(n)


mixed = os.path.join(out, 'mixed')
os.makedirs(mixed, exist_ok=True)
total, i = 0, 0
kinds = [('txt', text, 5), ('dat', records, 3), ('bin', noise, 1)]
while total < 200 * 1000 * 1000:
    ext, make, _ = rng.choices(kinds, weights=[k[2] for k in kinds])[0]
    n = rng.randint(100_000, 6_000_000)
    sub = os.path.join(mixed, 'd%02d' % (i % 16))
    os.makedirs(sub, exist_ok=True)
    with open(os.path.join(sub, 'f%04d.%s' % (i, ext)), 'wb') as f:
        f.write(make(n))
    total += n
    i += 1

small = os.path.join(out, 'small')
for j in range(20000):
    sub = os.path.join(small, 's%03d' % (j // 200))
    os.makedirs(sub, exist_ok=True)
    n = rng.randint(200, 3000)
    with open(os.path.join(sub, 'n%05d.txt' % j), 'wb') as f:
        f.write(text(n) if j % 4 else records(n))
