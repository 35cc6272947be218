#!/usr/bin/env python3
"""Seeded one-token faults in a layer's product sources, each judged by that layer's tests.

Measures how many small faults the tests notice. The sources are copied into a tree of the
script's own, so the working tree is never touched and the run can go on beside normal work.
Every fault is undone in the copy before the next one, also on an interrupt.
"""

import argparse
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

CORE_LAYERS = ["chromatogram", "processing", "quant", "dga"]
ALL_LAYERS = CORE_LAYERS + ["acquisition", "app", "report", "cli", "ui"]


@dataclass(frozen=True)
class Mutant:
    path: str  # relative to the source root
    line: int  # 1-based
    start: int  # offset in the file
    end: int
    original: str
    replacement: str
    kind: str


def mask_code(text: str) -> str:
    """The text with comments, string and character literals and preprocessor lines blanked,
    offsets kept, so that only code tokens are candidates."""
    out = list(text)
    i, n = 0, len(text)

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    line_start = True
    while i < n:
        c = text[i]
        if line_start and c == "#":
            j = i
            while j < n and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            blank(i, min(j, n))
            i = j
            continue
        if c == "\n":
            line_start = True
            i += 1
            continue
        if not c.isspace():
            line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j)
            i = j
        elif text.startswith('R"', i):
            m = re.match(r'R"([^(\s]*)\(', text[i:])
            if m:
                close = ")" + m.group(1) + '"'
                j = text.find(close, i + m.end())
                j = n if j < 0 else j + len(close)
                blank(i, j)
                i = j
            else:
                i += 1
        elif c in "\"'":
            # A digit separator (1'000) is not a character literal.
            if c == "'" and i > 0 and text[i - 1].isalnum():
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            blank(i, min(j + 1, n))
            i = j + 1
        else:
            i += 1
    return "".join(out)


# Binary operators are written with a space on each side in this code base (clang-format),
# which tells a comparison from a template's angle brackets and a product from a pointer.
SWAPS = [
    ("comparison", re.compile(r"(?<= )(<=|>=|==|!=|<|>)(?= )"),
     {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}),
    ("arithmetic", re.compile(r"(?<= )(\+=|-=|\*=|/=|\+|-|\*|/)(?= )"),
     {"+": "-", "-": "+", "*": "/", "/": "*", "+=": "-=", "-=": "+=", "*=": "/=", "/=": "*="}),
    ("condition", re.compile(r"(?<= )(&&|\|\|)(?= )"), {"&&": "||", "||": "&&"}),
    ("condition", re.compile(r"\b(true|false)\b"), {"true": "false", "false": "true"}),
    ("condition", re.compile(r"(?<=\()(!)(?=[A-Za-z_(])"), {"!": ""}),
]
NUMBER = re.compile(r"(?<![\w.])(\d+\.\d*(?:[eE][-+]?\d+)?|\d+)(?![\w.'])")
CALL_STATEMENT = re.compile(
    r"^(?P<indent>[ \t]*)(?P<call>[A-Za-z_][\w]*(?:(?:\.|->|::)[A-Za-z_]\w*)*\s*\(.*\)\s*;)[ \t]*$")
NOT_A_CALL = re.compile(r"^(return|if|while|for|switch|delete|throw|case|co_\w+|static_assert|"
                        r"Q_\w+|emit|sizeof|assert)\b")


def constant_replacement(token: str) -> str:
    if "." in token or "e" in token or "E" in token:
        value = float(token)
        return repr(value * 2 if value != 0 else 1.0)
    value = int(token)
    return "1" if value == 0 else "0" if value == 1 else str(value + 1)


def mutants_of(root: Path, rel: str):
    text = (root / rel).read_text(encoding="utf-8")
    code = mask_code(text)
    line_of = [0] * (len(text) + 1)
    line = 1
    for k, ch in enumerate(text):
        line_of[k] = line
        if ch == "\n":
            line += 1
    found = []
    for kind, pattern, table in SWAPS:
        for m in pattern.finditer(code):
            token = m.group(1)
            found.append(Mutant(rel, line_of[m.start(1)], m.start(1), m.end(1), token,
                                table[token], kind))
    for m in NUMBER.finditer(code):
        token = m.group(1)
        found.append(Mutant(rel, line_of[m.start(1)], m.start(1), m.end(1), token,
                            constant_replacement(token), "constant"))
    offset = 0
    for raw_line in code.splitlines(keepends=True):
        m = CALL_STATEMENT.match(raw_line.rstrip("\n"))
        if m and not NOT_A_CALL.match(m.group("call")) and "=" not in m.group("call").split("(")[0]:
            start = offset + m.start("call")
            end = offset + m.end("call")
            found.append(Mutant(rel, line_of[start], start, end, text[start:end], ";", "removed call"))
        offset += len(raw_line)
    return found


def layer_sources(root: Path, layer: str):
    folder = root / "src" / layer
    return sorted(str(p.relative_to(root)) for p in folder.rglob("*.cpp") if p.name != "main.cpp")


def copy_tree(source: Path, target: Path):
    files = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                           cwd=source, check=True, capture_output=True).stdout.split(b"\0")
    for name in files:
        if not name:
            continue
        rel = name.decode()
        src = source / rel
        if not src.is_file():
            continue
        dst = target / rel
        if dst.exists() and dst.read_bytes() == src.read_bytes():
            continue
        dst.parent.mkdir(parents=True, exist_ok=True)
        # A fresh time, not the source's: an object built in the copy after the source was
        # last edited would otherwise look newer than the changed file and be kept.
        shutil.copyfile(src, dst)
        shutil.copymode(src, dst)


def run(cmd, cwd, timeout, env=None):
    try:
        proc = subprocess.run(cmd, cwd=cwd, timeout=timeout, env=env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, start_new_session=True)
        return proc.returncode
    except subprocess.TimeoutExpired:
        return None


def test_command(build: Path, layer: str):
    exe = build / "tests" / f"test_{layer}"
    if layer == "ui":
        return [str(exe)]
    return [str(exe), "--gtest_brief=1"]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("layers", nargs="*", default=None,
                        help=f"layers to mutate (default: {' '.join(CORE_LAYERS)})")
    parser.add_argument("--count", type=int, default=50, help="faults per layer (default 50)")
    parser.add_argument("--seed", type=int, default=1, help="seed of the sample (default 1)")
    parser.add_argument("--work", default=None,
                        help="the script's own copy of the sources (default: build-mutants/ in them)")
    parser.add_argument("--list", action="store_true", help="only list the sampled faults")
    args = parser.parse_args()
    layers = args.layers or CORE_LAYERS
    for layer in layers:
        if layer not in ALL_LAYERS:
            parser.error(f"unknown layer '{layer}' (one of {' '.join(ALL_LAYERS)})")

    source = Path(__file__).resolve().parent.parent
    work = Path(args.work).resolve() if args.work else source / "build-mutants"
    # The copy keeps the usual shape (its build folder inside it), so the compiler cache
    # shared with normal builds serves every file the faults leave alone.
    tree = work
    build = work / "build"
    started = time.monotonic()

    if not args.list:
        tree.mkdir(parents=True, exist_ok=True)
        copy_tree(source, tree)
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
        subprocess.run(["cmake", "-S", str(tree), "-B", str(build), "-G", "Ninja",
                        "-DDGAWS_TESTS=ON", "-DDGAWS_BENCH=OFF", "-DDGAWS_WERROR=OFF", *launcher],
                       check=True, stdout=subprocess.DEVNULL)

    mutated = None  # (path, original text) while a fault is in the copy

    def restore():
        nonlocal mutated
        if mutated:
            mutated[0].write_text(mutated[1], encoding="utf-8")
            mutated = None

    def interrupted(signum, _frame):
        restore()
        print("\nmutants: interrupted; the copy is restored", file=sys.stderr)
        sys.exit(128 + signum)

    signal.signal(signal.SIGINT, interrupted)
    signal.signal(signal.SIGTERM, interrupted)

    totals = []
    for layer in layers:
        root = source if args.list else tree
        candidates = [m for rel in layer_sources(root, layer) for m in mutants_of(root, rel)]
        candidates.sort(key=lambda m: (m.path, m.start, m.kind, m.replacement))
        sample = random.Random(f"{args.seed}:{layer}").sample(candidates,
                                                                min(args.count, len(candidates)))
        sample.sort(key=lambda m: (m.path, m.start))
        print(f"== {layer}: {len(sample)} of {len(candidates)} possible faults, seed {args.seed}")
        if args.list:
            for m in sample:
                print(f"   {m.path}:{m.line} [{m.kind}] {m.original!r} -> {m.replacement!r}")
            continue

        target = f"test_{layer}"
        layer_started = time.monotonic()
        # Some tests read the shipped data the build generates.
        shipped = ["default-method", "demo-data"]
        if layer in ("app", "report", "cli", "ui"):
            shipped.append("default-templates")
        if run(["cmake", "--build", str(build), "--target", target, *shipped], work, None) != 0:
            print(f"mutants: the unmutated {target} does not build", file=sys.stderr)
            return 2
        clean_started = time.monotonic()
        if run(test_command(build, layer), build, None, env) != 0:
            print(f"mutants: the unmutated {target} fails its own tests; fix that first",
                  file=sys.stderr)
            return 2
        limit = max(30.0, 3 * (time.monotonic() - clean_started))

        caught, survivors, unbuilt, timeouts = 0, [], 0, 0
        for index, m in enumerate(sample, 1):
            path = tree / m.path
            text = path.read_text(encoding="utf-8")
            mutated = (path, text)
            path.write_text(text[:m.start] + m.replacement + text[m.end:], encoding="utf-8")
            try:
                built = run(["cmake", "--build", str(build), "--target", target], work, 600)
                if built != 0:
                    unbuilt += 1
                    verdict = "does not build"
                else:
                    result = run(test_command(build, layer), build, limit, env)
                    if result is None:
                        timeouts += 1
                        caught += 1
                        verdict = "caught (time limit)"
                    elif result != 0:
                        caught += 1
                        verdict = "caught"
                    else:
                        survivors.append(m)
                        verdict = "SURVIVED"
            finally:
                restore()
            print(f"   [{index}/{len(sample)}] {m.path}:{m.line} {m.original!r} -> "
                  f"{m.replacement!r}: {verdict}", flush=True)
        # The restored files must be rebuilt before the next layer judges its own faults.
        run(["cmake", "--build", str(build), "--target", target], work, None)
        judged = caught + len(survivors)
        share = 100.0 * caught / judged if judged else 0.0
        minutes = (time.monotonic() - layer_started) / 60
        print(f"== {layer}: caught {caught} of {judged} ({share:.1f} %), {unbuilt} did not build, "
              f"{timeouts} by time limit, {minutes:.1f} min")
        for m in survivors:
            print(f"   survivor {m.path}:{m.line} [{m.kind}] {m.original!r} -> {m.replacement!r}")
        totals.append((layer, caught, judged, minutes))

    if totals:
        print("== summary")
        for layer, caught, judged, minutes in totals:
            share = 100.0 * caught / judged if judged else 0.0
            print(f"   {layer:13} {caught:4}/{judged:<4} {share:5.1f} %  {minutes:6.1f} min")
        print(f"   total time {(time.monotonic() - started) / 60:.1f} min")
    return 0


if __name__ == "__main__":
    sys.exit(main())
