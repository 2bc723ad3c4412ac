#!/usr/bin/python3
"""The sample's side of scripts/measure-mutants --sample: which mutant runs
next, putting one into its file, and the report.

    sampled.py next SEED [REGEX]   # id, preset, file and kind of the next to run, or nothing
    sampled.py survivors SEED [REGEX]  # the same of each survivor not listed as equivalent
    sampled.py apply SEED ID       # writes the mutant into its file
    sampled.py report SEED         # killed against non-equivalent, per directory

A run's results are kept in scripts/mutants/results-SEED.txt, one line a
mutant (id, file, kind, result, seconds), so a run goes on where it stopped.
A sampled mutant that the build rejects is made up for by its file's reserve.
"""

import collections
import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import mutantlib  # noqa: E402

BUILT = ("killed", "survived")


def read_sample(seed):
    path = mutantlib.sample_file(seed)
    if not path.exists():
        raise SystemExit(f"no {path.relative_to(mutantlib.ROOT)}: draw it with scripts/mutants/sample.py {seed}")
    roles = collections.defaultdict(list)
    for line in path.read_text(encoding="utf-8").splitlines():
        if line and not line.startswith("#"):
            role, row = line.split("\t", 1)
            roles[role].append(mutantlib.Mutant.from_row(row))
    return roles["sample"], roles["reserve"]


def read_results(seed):
    """id -> (result, seconds); the last line of a mutant counts."""
    results = {}
    path = mutantlib.results_file(seed)
    if path.exists():
        for line in path.read_text(encoding="utf-8").splitlines():
            fields = line.split("\t")
            if len(fields) == 5 and not line.startswith("#"):
                results[fields[0]] = (fields[3], int(fields[4]))
    return results


def to_run(seed, pattern=None):
    """The sample in its order, then for each file whose sampled mutants the
    build rejected, as many of its reserve as make up for them."""
    sample, reserve = read_sample(seed)
    results = read_results(seed)
    wanted = collections.Counter(m.file for m in sample)
    chosen = list(sample)
    for mutant in reserve:
        built = sum(results.get(m.id, ("",))[0] in BUILT for m in chosen if m.file == mutant.file)
        pending = sum(m.id not in results for m in chosen if m.file == mutant.file)
        if built + pending < wanted[mutant.file]:
            chosen.append(mutant)
    return [m for m in chosen if pattern is None or re.search(pattern, m.file)], results


def next_mutant(seed, pattern=None):
    chosen, results = to_run(seed, pattern)
    for mutant in chosen:
        if mutant.id not in results:
            print("\t".join((mutant.id, mutant.preset, mutant.file, mutant.kind)))
            return


def list_survivors(seed, pattern=None):
    chosen, results = to_run(seed, pattern)
    equivalent = mutantlib.read_equivalent()
    for mutant in chosen:
        if results.get(mutant.id, ("",))[0] == "survived" and mutant.id not in equivalent:
            print("\t".join((mutant.id, mutant.preset, mutant.file, mutant.kind)))


def apply(seed, ident):
    sample, reserve = read_sample(seed)
    mutant = next((m for m in sample + reserve if m.id == ident), None)
    if mutant is None:
        raise SystemExit(f"no mutant {ident} in the sample of seed {seed}")
    path = mutantlib.ROOT / mutant.file
    content = path.read_bytes()
    original = mutant.original.encode("utf-8")
    if content[mutant.offset:mutant.offset + len(original)] != original or ident != mutantlib.mutant_id(
            mutant.file, content, mutant.offset, mutant.kind, mutant.original, mutant.replacement):
        raise SystemExit(f"{mutant.file} changed since the sample was drawn: generate the mutants "
                         "and draw the sample again")
    path.write_bytes(content[:mutant.offset] + mutant.replacement.encode("utf-8")
                     + content[mutant.offset + len(original):])


def describe(mutant):
    content = (mutantlib.ROOT / mutant.file).read_bytes()
    change = f"{mutant.original!r} -> {mutant.replacement!r}"
    return f"{mutant.id} {mutant.file}:{mutant.line(content)} {mutant.kind} {change}"


def report(seed):
    chosen, results = to_run(seed)
    equivalent = mutantlib.read_equivalent()
    rows = collections.defaultdict(collections.Counter)
    survivors, contradicted, unbuilt = [], [], []
    for mutant in chosen:
        if mutant.id not in results:
            rows[mutantlib.directory_of(mutant.file)]["to run"] += 1
            continue
        result = results[mutant.id][0]
        row = rows[mutantlib.directory_of(mutant.file)]
        if result == "survived" and mutant.id in equivalent:
            row["equivalent"] += 1
        elif result in BUILT:
            row[result] += 1
            if result == "survived":
                survivors.append(mutant)
            elif mutant.id in equivalent:
                contradicted.append(mutant)
        else:
            unbuilt.append(mutant)
    print(f"==== sampled mutants, seed {seed} ({mutantlib.results_file(seed).relative_to(mutantlib.ROOT)})")
    print(f"{'directory':<10} {'killed':>7} {'survived':>9} {'equivalent':>11} {'to run':>7}"
          f"   killed of non-equivalent   equivalent share")
    total = collections.Counter()
    for directory in mutantlib.DIRECTORIES + ("all",):
        row = total if directory == "all" else rows[directory]
        if directory != "all":
            total.update(row)
        counted = row["killed"] + row["survived"]
        ran = counted + row["equivalent"]
        score = f"{100 * row['killed'] / counted:5.1f} %" if counted else "    -  "
        share = f"{100 * row['equivalent'] / ran:5.1f} %" if ran else "    -  "
        print(f"{directory + '/' if directory != 'all' else 'all':<10} {row['killed']:>7} {row['survived']:>9}"
              f" {row['equivalent']:>11} {row['to run']:>7}   {row['killed']:>4} of {counted:<4} {score}"
              f"        {share}")
    if unbuilt:
        print(f"{len(unbuilt)} drawn mutants did not build; their files' reserve took their places")
    for mutant in survivors:
        print("SURVIVED " + describe(mutant))
    for mutant in contradicted:
        print(f"KILLED but listed as equivalent in {mutantlib.EQUIVALENT_FILE.name}: " + describe(mutant))
    if survivors:
        print(f"Triage each survivor: a test that kills it, or its id and why no test can tell it from "
              f"the code in scripts/mutants/{mutantlib.EQUIVALENT_FILE.name}.")


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in ("next", "survivors", "apply", "report"):
        raise SystemExit(__doc__)
    command, seed = sys.argv[1], int(sys.argv[2])
    if command == "next":
        next_mutant(seed, sys.argv[3] if len(sys.argv) > 3 else None)
    elif command == "survivors":
        list_survivors(seed, sys.argv[3] if len(sys.argv) > 3 else None)
    elif command == "apply":
        apply(seed, sys.argv[3])
    else:
        report(seed)


if __name__ == "__main__":
    main()
