#!/usr/bin/env python3
"""make_payload.py DIR [MEGABYTES] [SEED]

Writes a deterministic benchmark payload of about MEGABYTES (default 100)
into DIR (created, must not exist): a tree of text-like files of many sizes
(compressible, word frequencies roughly Zipf-like), incompressible random
files, a few large files, many small ones, some tiny and two empty ones.
Every file has its own base name, so extracting without folders loses
nothing. Same MEGABYTES and SEED, same files (contents, names, times).
"""
import os
import random
import sys

FIXED_MTIME = 1700000000  # 2023-11-14, so that packed DOS times repeat


def vocabulary(rng, count=6000):
    letters = "etaoinshrdlucmfwypvbgkjqxz"
    weights = [12, 9, 8, 8, 7, 7, 6, 6, 6, 4, 4, 3, 3, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1]
    words = set()
    while len(words) < count:
        n = max(1, min(14, int(rng.gauss(6, 2.5))))
        words.add("".join(rng.choices(letters, weights, k=n)))
    words = sorted(words)
    rng.shuffle(words)
    cumulative, total = [], 0.0
    for rank in range(len(words)):
        total += 1.0 / (rank + 1) ** 1.05
        cumulative.append(total)
    return words, cumulative


def text(rng, vocab, size):
    words, cumulative = vocab
    out, length = [], 0
    while length < size:
        picked = rng.choices(words, cum_weights=cumulative, k=max(64, (size - length) // 6))
        line, lines = [], []
        for i, w in enumerate(picked):
            line.append(w)
            if len(line) >= 8 and rng.random() < 0.12:
                lines.append(" ".join(line) + (".\n" if i % 3 else ",\n"))
                line = []
        lines.append(" ".join(line) + "\n")
        chunk = "".join(lines)
        out.append(chunk)
        length += len(chunk)
    return "".join(out).encode("ascii")[:size]


def records(rng, size):
    # Table-like binary data: fixed fields, a counter, some random bytes.
    out = bytearray()
    n = 0
    while len(out) < size:
        out += b"REC1" + n.to_bytes(4, "little") + bytes([n % 7, 0, 0, 1]) + rng.randbytes(4) + b"\0" * 8
        n += 1
    return bytes(out[:size])


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    root = sys.argv[1]
    megabytes = float(sys.argv[2]) if len(sys.argv) > 2 else 100.0
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 1962
    total = int(megabytes * 1024 * 1024)
    rng = random.Random(seed)
    vocab = vocabulary(rng)
    os.makedirs(root)
    folders = ["docs", "docs/help", "data", "lib", "lib/plugins", "lang", "media", "samples/deep/er"]
    counter = [0]

    def write(kind, folder, ext, content):
        counter[0] += 1
        name = f"{kind}{counter[0]:05d}.{ext}"
        path = os.path.join(root, folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(content)
        os.utime(path, (FIXED_MTIME, FIXED_MTIME))

    def fill(share, low, high, make):
        budget = int(total * share)
        while budget > 0:
            size = min(budget, int(rng.uniform(low, high)))
            make(size)
            budget -= size

    # A few large files: 3 of text, 1 random.
    for _ in range(3):
        write("big", "data", "txt", text(rng, vocab, int(total * 0.10)))
    write("blob", "media", "bin", rng.randbytes(int(total * 0.08)))
    # Medium text, medium random, some records.
    fill(0.27, 20 << 10, 400 << 10, lambda n: write("doc", rng.choice(folders), "txt", text(rng, vocab, n)))
    fill(0.12, 50 << 10, 1 << 20, lambda n: write("rnd", rng.choice(["media", "lib"]), "dat", rng.randbytes(n)))
    fill(0.03, 64 << 10, 512 << 10, lambda n: write("tab", "data", "db", records(rng, n)))
    # Many small files, then tiny and empty ones.
    fill(0.195, 512, 16 << 10, lambda n: write("s", rng.choice(folders), "ini", text(rng, vocab, n)))
    for _ in range(300):
        write("t", rng.choice(folders), "cfg", text(rng, vocab, rng.randint(1, 512)))
    for _ in range(2):
        write("e", "lang", "nul", b"")


if __name__ == "__main__":
    main()
