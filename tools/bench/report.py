#!/usr/bin/env python3
"""report.py INFO.json HYPERFINE.json [WINE.json]

Prints the benchmark's markdown table: per reader the mean and standard
deviation of its wall time, its ratio to the floor program and its peak
resident set; then SETUP.EXE under Wine against `fdpack extract`.
INFO.json holds the payload's facts and the peak RSS figures (kB).
"""
import json
import os
import sys


def load(path):
    with open(path) as f:
        return json.load(f)


def main():
    info = load(sys.argv[1])
    results = {r["command"]: r for r in load(sys.argv[2])["results"]}
    wine = load(sys.argv[3])["results"] if len(sys.argv) > 3 and os.path.exists(sys.argv[3]) else None
    floor = results["floor"]["mean"]
    fd = results["fdpack extract"]["mean"]
    out = []
    out.append("## Extraction benchmark\n")
    out.append(f"Payload: {info['files']} files, {info['payload_mb']:.1f} MB (seed {info['seed']}); "
               f"archive {info['archive_mb']:.1f} MB, deflated and encrypted by `fdpack pack` "
               f"with {info['password_note']}. Every reader extracts this one archive into an "
               f"emptied folder; {info['runs']} runs after 1 warm-up. {info['machine']}\n")
    out.append("| Reader | Wall time (mean ± σ) | vs floor | Peak RSS |")
    out.append("|---|---|---|---|")
    for name in ["fdpack extract", "floor", "unzip -P", "7z x -p"]:
        r = results[name]
        rss = info["rss_kb"].get(name)
        rss_text = f"{rss / 1024:.1f} MB" if rss else "—"
        out.append(f"| {name} | {r['mean']:.3f} s ± {r['stddev']:.3f} s | {r['mean'] / floor:.2f}x | {rss_text} |")
    out.append("")
    seven, unz = results["7z x -p"]["mean"], results["unzip -P"]["mean"]
    met = fd <= 1.15 * floor and fd < seven and fd < unz
    out.append(f"Target: `fdpack extract` at most 1.15x the floor and ahead of 7z and unzip: "
               f"{fd / floor:.2f}x the floor; 7z takes {seven / fd:.2f}x and unzip {unz / fd:.2f}x its time "
               f"— {'met' if met else 'NOT met'}.\n")
    if wine:
        setup, start = wine[0], wine[1]
        out.append("| Under Wine (32-bit side emulated by qemu-user) | Wall time (mean ± σ) | vs `fdpack extract` |")
        out.append("|---|---|---|")
        out.append(f"| `wine SETUP.EXE`, whole run (extract to C:\\Fardel, start FARDEL32.EXE, exit) | "
                   f"{setup['mean']:.2f} s ± {setup['stddev']:.2f} s | {setup['mean'] / fd:.1f}x |")
        out.append(f"| `wine` start-up alone (the fake main program) | {start['mean']:.2f} s ± {start['stddev']:.2f} s | "
                   f"{start['mean'] / fd:.1f}x |")
        out.append(f"| SETUP.EXE minus start-up | {setup['mean'] - start['mean']:.2f} s | "
                   f"{(setup['mean'] - start['mean']) / fd:.1f}x |")
        out.append("")
        out.append(f"Target for SETUP.EXE: at most 1.5x `fdpack extract` — measured {setup['mean'] / fd:.1f}x "
                   f"({'met' if setup['mean'] <= 1.5 * fd else 'not met'}). Here Wine's 32-bit code runs under "
                   f"qemu's user-mode emulation, which says little about a real Windows machine.")
    else:
        out.append(f"SETUP.EXE under Wine: {info.get('wine_note', 'not measured')}.")
    print("\n".join(out))


if __name__ == "__main__":
    main()
