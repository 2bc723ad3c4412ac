"""What the mutant generator, the sampler and the sample's runner share: how
each source is parsed (the build's own compile commands), the mutant's record
and its stable id, and the files they are kept in."""

import hashlib
import json
import os
import shlex
import subprocess
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
MUTANTS_DIR = Path(__file__).resolve().parent
# The hand-triaged survivors; read by every report, so kept in the repository.
EQUIVALENT_FILE = MUTANTS_DIR / "equivalent.txt"
# Regenerated from the sources at will, so kept with the builds.
WORK_DIR = ROOT / "build" / "mutants"
ALL_MUTANTS_FILE = WORK_DIR / "mutants.tsv"

# Windows-only sources are read as the win32 build compiles them; a file is one
# when the native build does not compile it.
PRESETS = ("native", "win32")
DIRECTORIES = ("core", "fade", "client", "settings", "app", "ui")


def sample_file(seed):
    return MUTANTS_DIR / f"sample-{seed}.txt"


def results_file(seed):
    # Beside the sample, in the repository: a run goes on in a later checkout.
    return MUTANTS_DIR / f"results-{seed}.txt"


def directory_of(file):
    """src/client/quill_aol8/x.cpp -> client"""
    parts = Path(file).parts
    return parts[1] if len(parts) > 2 and parts[0] == "src" else parts[0]


@dataclass(frozen=True)
class Mutant:
    id: str
    preset: str  # the build that compiles the code: native, or win32 only
    file: str  # relative to the repository, src/...
    offset: int  # in bytes
    kind: str
    original: str
    replacement: str
    unit: str  # the translation unit it was seen through, relative

    FIELDS = ("id", "preset", "file", "offset", "kind", "original", "replacement", "unit")

    def row(self):
        return "\t".join(escape(str(getattr(self, f))) for f in self.FIELDS)

    @classmethod
    def from_row(cls, row):
        values = [unescape(v) for v in row.rstrip("\n").split("\t")]
        if len(values) != len(cls.FIELDS):
            raise ValueError(f"not a mutant row: {row!r}")
        fields = dict(zip(cls.FIELDS, values))
        fields["offset"] = int(fields["offset"])
        return cls(**fields)

    def line(self, content):
        return content.count(b"\n", 0, self.offset) + 1


def escape(text):
    return text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


def unescape(text):
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append({"t": "\t", "n": "\n", "\\": "\\"}[text[i + 1]])
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def mutant_id(file, content, offset, kind, original, replacement):
    """An id that stays while the line that holds the mutant stays, wherever the
    line moves: the file, the line's text (without its indent), the place in
    it, which of the file's identical lines it is, and the change."""
    start = content.rfind(b"\n", 0, offset) + 1
    end = content.find(b"\n", offset)
    end = len(content) if end < 0 else end
    raw = content[start:end]
    text = raw.lstrip()
    column = offset - start - (len(raw) - len(text))
    nth = sum(1 for line in content[:start].split(b"\n") if line.strip() == text.strip())
    key = "\0".join([file, text.decode("utf-8", "replace"), str(column), str(nth), kind,
                     original, replacement])
    return hashlib.sha1(key.encode("utf-8")).hexdigest()[:10]


def read_mutants(path):
    with open(path, encoding="utf-8") as stream:
        return [Mutant.from_row(line) for line in stream if line.strip() and not line.startswith("#")]


def read_equivalent():
    """id -> the one-line reason"""
    reasons = {}
    if EQUIVALENT_FILE.exists():
        for line in EQUIVALENT_FILE.read_text(encoding="utf-8").splitlines():
            line = line.strip()
            if line and not line.startswith("#"):
                ident, _, reason = line.partition(" ")
                reasons[ident] = reason.strip()
    return reasons


def compile_commands(preset):
    path = ROOT / "build" / preset / "compile_commands.json"
    if not path.exists():
        raise SystemExit(f"no {path.relative_to(ROOT)}: configure the {preset} preset first "
                         f"(cmake --preset {preset})")
    return json.loads(path.read_text())


def product_units():
    """{(relative .cpp path, preset): compile arguments} for every source under
    src/ that a build compiles, the native build's first: a source that both
    builds compile is read twice, so that code only the cross build compiles
    (Windows' branches, the x87 unit's) is seen too, as win32 code."""
    units = {}
    for preset in PRESETS:
        for entry in compile_commands(preset):
            file = Path(entry["directory"], entry["file"]).resolve()
            if file.suffix != ".cpp" or not file.is_relative_to(ROOT / "src"):
                continue
            name = str(file.relative_to(ROOT))
            arguments = entry.get("arguments") or shlex.split(entry["command"])
            units[(name, preset)] = clang_arguments(preset, arguments[1:], entry["directory"])
    return units


def clang_arguments(preset, arguments, directory):
    """The compiler's arguments less the output and the source, made absolute,
    and for the cross build read by clang for the mingw-w64 target."""
    kept, skip = [], False
    for argument in arguments:
        if skip:
            skip = False
            continue
        if argument in ("-o", "-MF", "-MT", "-MQ"):
            skip = True
            continue
        if argument in ("-c", "-MD", "-MMD") or argument.endswith((".cpp", ".cc")):
            continue
        if argument.startswith("-I") and len(argument) > 2:
            argument = "-I" + str(Path(directory, argument[2:]))
        kept.append(argument)
    kept += ["-resource-dir", resource_dir()]
    if preset == "win32":
        kept += cross_arguments()
    return kept


_resource_dir = None
_cross_arguments = None


def resource_dir():
    """clang's own builtin headers, which the bindings' library does not find
    by itself where Debian installs it."""
    global _resource_dir
    if _resource_dir is None:
        _resource_dir = subprocess.run(["clang-14", "-print-resource-dir"], capture_output=True,
                                       text=True, check=True).stdout.strip()
    return _resource_dir


def cross_arguments():
    """As scripts/test gives them to clang-tidy: the mingw-w64 target with the
    cross compiler's C++ library and Windows headers."""
    global _cross_arguments
    if _cross_arguments is None:
        listing = subprocess.run(["i686-w64-mingw32-g++-posix", "-E", "-x", "c++", "-", "-v"],
                                 input="", capture_output=True, text=True).stderr
        inside, found = False, []
        for line in listing.splitlines():
            if line.startswith("#include <...> search starts here"):
                inside = True
            elif line.startswith("End of search list"):
                inside = False
            elif inside and line.startswith(" /"):
                folder = line.strip()
                if "/c++" in folder or folder.endswith("/i686-w64-mingw32/include"):
                    found += ["-isystem", os.path.normpath(folder)]
        _cross_arguments = ["--target=i686-w64-mingw32", "-nostdinc++"] + found
    return _cross_arguments


def clang_index():
    try:
        import clang.cindex as cindex
    except ImportError as error:
        raise SystemExit("clang's Python bindings are missing: scripts/setup installs "
                         "python3-clang-14 (run this with Debian's /usr/bin/python3)") from error
    return cindex, cindex.Index.create()
