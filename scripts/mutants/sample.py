#!/usr/bin/python3
"""Draws a seeded, stratified sample of the generated mutants that compile and
writes it to scripts/mutants/sample-SEED.txt, so that a run can be repeated.

    scripts/mutants/sample.py SEED [--size 300] [--minimum 5] [--reserve 3]

SIZE is shared out by each source file's number of mutants; a file whose
share falls short of MINIMUM gets MINIMUM (all of its mutants when it has
fewer), and the other files share what is left. A file's mutants are drawn in
an order shuffled by the seed and the file's name alone, so the draw of one
file does not change when another file's mutants do. A drawn mutant that does
not compile (clang parses its unit with the change, with the build's compile
commands and warnings as errors) is noted and the file's next one is taken.
After a file's sample come RESERVE more that compile: the runner takes them, in
order, in place of sampled mutants that the real build still rejects.

The sample is run in an order shuffled by the seed, so that a part of a run
is a sample too.
"""

import argparse
import collections
import random
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import mutantlib  # noqa: E402


class CompileCheck:
    """Parses a unit once, then again with each change in memory."""

    def __init__(self):
        self.ci, self.index = mutantlib.clang_index()
        self.units = mutantlib.product_units()
        self.key, self.tu = None, None

    def compiles(self, mutant):
        key = (mutant.unit, mutant.preset)
        if key != self.key:
            options = self.ci.TranslationUnit.PARSE_PRECOMPILED_PREAMBLE
            self.tu = self.index.parse(str(mutantlib.ROOT / mutant.unit), args=self.units[key],
                                       options=options)
            self.key = key
        path = mutantlib.ROOT / mutant.file
        content = path.read_bytes()
        original = mutant.original.encode("utf-8")
        if content[mutant.offset:mutant.offset + len(original)] != original:
            raise SystemExit(f"{mutant.file} changed since the mutants were generated: "
                             "run scripts/mutants/generate.py again")
        changed = content[:mutant.offset] + mutant.replacement.encode("utf-8") + \
            content[mutant.offset + len(original):]
        self.tu.reparse(unsaved_files=[(str(path), changed.decode("utf-8"))],
                        options=self.ci.TranslationUnit.PARSE_PRECOMPILED_PREAMBLE)
        return not any(d.severity >= self.ci.Diagnostic.Error for d in self.tu.diagnostics)


def quotas(counts, size, minimum):
    """SIZE shared out by each file's number of mutants, largest remainders
    first, with every file raised to MINIMUM (or all it has): the files whose
    share falls short take that, and the others share what is left."""
    floor = {file: min(count, minimum) for file, count in counts.items()}
    raised = set()
    while True:
        others = [file for file in counts if file not in raised]
        left = size - sum(floor[file] for file in raised)
        total = sum(counts[file] for file in others)
        if not others or left <= 0:
            return {file: floor[file] if file in raised or left <= 0 else 0 for file in counts}
        shares = {file: left * counts[file] / total for file in others}
        short = {file for file in others if shares[file] < floor[file]}
        if not short:
            break
        raised |= short
    quota = {file: floor[file] for file in raised}
    quota.update({file: int(share) for file, share in shares.items()})
    rest = left - sum(int(share) for share in shares.values())
    for file in sorted(shares, key=lambda f: (int(shares[f]) - shares[f], f))[:rest]:
        quota[file] += 1
    return {file: min(n, counts[file]) for file, n in quota.items()}


def source_tree():
    """The commit and the tree of src/ the sample was drawn from."""
    def git(*arguments):
        return subprocess.run(["git", *arguments], cwd=mutantlib.ROOT, capture_output=True,
                              text=True).stdout.strip()
    dirty = " (with changes)" if git("status", "--porcelain", "--", "src") else ""
    return f"{git('rev-parse', '--short', 'HEAD')} src {git('rev-parse', '--short', 'HEAD:src')}{dirty}"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("seed", type=int)
    parser.add_argument("--size", type=int, default=300)
    parser.add_argument("--minimum", type=int, default=5)
    parser.add_argument("--reserve", type=int, default=3)
    parser.add_argument("--mutants", type=Path, default=mutantlib.ALL_MUTANTS_FILE)
    arguments = parser.parse_args()
    if not arguments.mutants.exists():
        raise SystemExit(f"no {arguments.mutants}: run scripts/mutants/generate.py first")

    by_file = collections.defaultdict(list)
    for mutant in mutantlib.read_mutants(arguments.mutants):
        by_file[mutant.file].append(mutant)
    quota = quotas({f: len(m) for f, m in by_file.items()}, arguments.size, arguments.minimum)

    check = CompileCheck()
    sampled, reserve, rejected = [], [], []
    # Grouped by unit, so that each unit is parsed once.
    for file in sorted(by_file, key=lambda f: (by_file[f][0].unit, f)):
        order = sorted(by_file[file], key=lambda m: m.id)
        random.Random(f"{arguments.seed}/{file}").shuffle(order)
        taken = []
        for mutant in order:
            if len(taken) == quota[file] + arguments.reserve:
                break
            if check.compiles(mutant):
                taken.append(mutant)
            else:
                rejected.append(mutant)
        sampled += taken[:quota[file]]
        reserve += taken[quota[file]:]
        print(f"{file}: {min(len(taken), quota[file])} of {len(by_file[file])}", file=sys.stderr)
    random.Random(arguments.seed).shuffle(sampled)
    reserve.sort(key=lambda m: m.file)

    path = mutantlib.sample_file(arguments.seed)
    with open(path, "w", encoding="utf-8") as stream:
        stream.write(f"# seed {arguments.seed}: {len(sampled)} mutants of {sum(map(len, by_file.values()))}"
                     f" in {len(by_file)} files (size {arguments.size}, at least {arguments.minimum}"
                     f" a file), drawn from {source_tree()}\n")
        stream.write("# role\t" + "\t".join(mutantlib.Mutant.FIELDS) + "\n")
        for role, mutants in (("sample", sampled), ("reserve", reserve), ("no-build", rejected)):
            for mutant in mutants:
                stream.write(f"{role}\t{mutant.row()}\n")
    per_directory = collections.Counter(mutantlib.directory_of(m.file) for m in sampled)
    print(f"{len(sampled)} sampled, {len(reserve)} in reserve, {len(rejected)} drawn that do not"
          f" compile -> {path.relative_to(mutantlib.ROOT)}")
    print("  " + ", ".join(f"{d}/ {per_directory[d]}" for d in mutantlib.DIRECTORIES))


if __name__ == "__main__":
    main()
