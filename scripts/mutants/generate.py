#!/usr/bin/python3
"""Lists every mutant of the product sources under src/: each translation unit
is parsed by clang with the build's compile commands (the Windows-only ones
for the mingw-w64 target), and a mutant is written only where the syntax tree
has the operator, literal, condition, call, statement or return it changes.
Headers are reached through the units that include them; code that comes from
a macro, and everything outside src/, is left alone.

    scripts/mutants/generate.py [--out FILE]     # build/mutants/mutants.tsv

One tab-separated row a mutant (see mutantlib.Mutant), in the order of file,
byte offset, kind and replacement; text escaped with \\t, \\n and \\\\.
"""

import argparse
import collections
import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import mutantlib  # noqa: E402

REL_SHIFT = {"<": "<=", "<=": "<", ">": ">=", ">=": ">"}
REL_SWAP = {"<": ">", ">": "<", "<=": ">=", ">=": "<="}
EQ_SWAP = {"==": "!=", "!=": "=="}
ARITH = {"+": "-", "-": "+", "*": "/", "/": "*", "%": "*"}
LOGICAL = {"&&": "||", "||": "&&"}
BITWISE = {"&": "|", "|": "&", "^": "&", "<<": ">>", ">>": "<<"}
ASSIGN_OP = {"+=": "-=", "-=": "+=", "*=": "/=", "/=": "*=", "%=": "*=", "&=": "|=", "|=": "&=",
             "^=": "&=", "<<=": ">>=", ">>=": "<<="}
BINARY = [("rel-shift", REL_SHIFT), ("rel-swap", REL_SWAP), ("eq-swap", EQ_SWAP), ("arith", ARITH),
          ("logical", LOGICAL), ("bitwise", BITWISE), ("assign-op", ASSIGN_OP)]
# An overloaded operator (a string's ==, a time point's <) is mutated only
# where another of its family surely exists for the same operands.
OVERLOADED = {"rel-shift", "rel-swap", "eq-swap"}
UNARY = {"!": ("not-removed", ""), "~": ("bitnot-removed", ""), "-": ("minus-removed", ""),
         "++": ("incdec", "--"), "--": ("incdec", "++")}
INTEGER_SUFFIX = "uUlLzZ"


class Generator:
    def __init__(self, cindex):
        self.ci = cindex
        self.K = cindex.CursorKind
        self.found = {}  # (file, offset, kind, replacement) -> Mutant
        self.contents = {}

    def content(self, file):
        if file not in self.contents:
            self.contents[file] = (mutantlib.ROOT / file).read_bytes()
        return self.contents[file]

    def parse(self, index, unit, preset, arguments):
        tu = index.parse(str(mutantlib.ROOT / unit), args=arguments,
                         options=self.ci.TranslationUnit.PARSE_DETAILED_PROCESSING_RECORD)
        errors = [d for d in tu.diagnostics if d.severity >= self.ci.Diagnostic.Error]
        if errors:
            raise SystemExit(f"{unit} does not parse as the {preset} build compiles it:\n"
                             + "\n".join(str(d) for d in errors[:10]))
        self.unit, self.preset = unit, preset
        self.macro_ranges = collections.defaultdict(list)
        top_level = []
        for cursor in tu.cursor.get_children():
            file = self.relative(cursor)
            if file is None:
                continue
            if cursor.kind == self.K.MACRO_INSTANTIATION:
                self.macro_ranges[file].append((cursor.extent.start.offset, cursor.extent.end.offset))
            elif cursor.kind not in (self.K.MACRO_DEFINITION, self.K.INCLUSION_DIRECTIVE):
                top_level.append(cursor)
        for cursor in top_level:
            self.visit(cursor)

    def relative(self, cursor):
        location = cursor.location
        if location.file is None:
            return None
        path = Path(location.file.name).resolve()
        try:
            return str(Path("src") / path.relative_to(mutantlib.ROOT / "src"))
        except ValueError:
            return None

    def visit(self, cursor):
        K = self.K
        for node in cursor.walk_preorder():
            kind = node.kind
            if kind in (K.BINARY_OPERATOR, K.COMPOUND_ASSIGNMENT_OPERATOR):
                self.binary(node, overloaded=False)
            elif kind == K.CALL_EXPR and node.spelling.startswith("operator"):
                self.binary(node, overloaded=True)
            elif kind == K.UNARY_OPERATOR:
                self.unary(node)
            elif kind == K.INTEGER_LITERAL:
                self.integer(node)
            elif kind == K.FLOATING_LITERAL:
                self.floating(node)
            elif kind == K.CHARACTER_LITERAL:
                self.character(node)
            elif kind == K.CXX_BOOL_LITERAL_EXPR:
                token = self.single_token(node)
                if token in ("true", "false"):
                    self.add(node, node.extent.start.offset, "bool-flip", token,
                             "false" if token == "true" else "true")
            elif kind in (K.IF_STMT, K.WHILE_STMT, K.DO_STMT, K.FOR_STMT):
                self.condition(node)
            elif kind == K.CONDITIONAL_OPERATOR:
                children = list(node.get_children())
                if children:
                    self.negate(children[0])
            elif kind == K.RETURN_STMT:
                self.returned(node)
            elif kind in (K.BREAK_STMT, K.CONTINUE_STMT):
                self.add(node, node.extent.start.offset, "stmt-removed", self.text(node), "")
            if kind in (K.COMPOUND_STMT, K.IF_STMT, K.WHILE_STMT, K.DO_STMT, K.FOR_STMT,
                        K.CXX_FOR_RANGE_STMT, K.CASE_STMT, K.DEFAULT_STMT):
                self.statements(node)

    # -- where the text is --------------------------------------------------

    def text(self, node):
        file = self.relative(node)
        start, end = node.extent.start, node.extent.end
        if file is None or start.file is None or end.file is None:
            return None
        return self.content(file)[start.offset:end.offset].decode("utf-8")

    def tokens(self, node):
        return [t for t in node.get_tokens()
                if node.extent.start.offset <= t.extent.start.offset < node.extent.end.offset]

    def single_token(self, node):
        tokens = self.tokens(node)
        return tokens[0].spelling if len(tokens) == 1 else None

    def add(self, node, offset, kind, original, replacement):
        file = self.relative(node)
        if file is None or original is None or original == replacement:
            return
        content = self.content(file)
        encoded = original.encode("utf-8")
        # Code from a macro sits at its expansion: the file does not have the
        # original text there, or a macro's use covers it.
        if content[offset:offset + len(encoded)] != encoded:
            return
        if any(start <= offset < end or start < offset + len(encoded) <= end
               for start, end in self.macro_ranges[file]):
            return
        key = (file, offset, kind, replacement)
        if key not in self.found:
            ident = mutantlib.mutant_id(file, content, offset, kind, original, replacement)
            self.found[key] = mutantlib.Mutant(ident, self.preset, file, offset, kind, original,
                                               replacement, self.unit)

    # -- operators ----------------------------------------------------------

    def binary(self, node, overloaded):
        children = [c for c in node.get_children()
                    if not (overloaded and c.spelling.startswith("operator") and
                            c.kind in (self.K.DECL_REF_EXPR, self.K.UNEXPOSED_EXPR))]
        if len(children) != 2:
            return
        left, right = children
        between = [t for t in self.tokens(node)
                   if left.extent.end.offset <= t.extent.start.offset < right.extent.start.offset]
        if len(between) != 1 or between[0].kind != self.ci.TokenKind.PUNCTUATION:
            return
        token = between[0]
        for kind, table in BINARY:
            if token.spelling in table and (not overloaded or kind in OVERLOADED):
                self.add(node, token.extent.start.offset, kind, token.spelling, table[token.spelling])

    def unary(self, node):
        tokens = self.tokens(node)
        children = list(node.get_children())
        if not tokens or len(children) != 1:
            return
        operand = children[0].extent
        if tokens[0].extent.start.offset < operand.start.offset:
            token = tokens[0]
        elif tokens[-1].extent.start.offset >= operand.end.offset:
            token = tokens[-1]
        else:
            return
        if token.spelling in UNARY:
            kind, replacement = UNARY[token.spelling]
            self.add(node, token.extent.start.offset, kind, token.spelling, replacement)

    # -- constants ----------------------------------------------------------

    def integer(self, node):
        spelling = self.single_token(node)
        if spelling is None:
            return
        body = spelling.replace("'", "")
        lower = body.lower()
        if lower.startswith("0x"):
            base, digits = 16, body[2:]
            allowed = "0123456789abcdefABCDEF"
        elif lower.startswith("0b"):
            base, digits, allowed = 2, body[2:], "01"
        elif len(body) > 1 and body.startswith("0"):
            base, digits, allowed = 8, body[1:], "01234567"
        else:
            base, digits, allowed = 10, body, "0123456789"
        count = len(digits) - len(digits.lstrip(allowed))
        value_text, suffix = digits[:count], digits[count:]
        if not value_text or any(c not in INTEGER_SUFFIX for c in suffix):
            return
        value = int(value_text, base)
        prefix = body[: len(body) - len(digits)]
        for kind, changed in (("const-plus", value + 1), ("const-minus", value - 1)):
            if changed < 0:
                continue
            text = {16: f"{changed:X}", 8: f"{changed:o}", 2: f"{changed:b}", 10: str(changed)}[base]
            if base == 16 and value_text.islower():
                text = text.lower()
            self.add(node, node.extent.start.offset, kind, spelling, prefix + text + suffix)

    def floating(self, node):
        spelling = self.single_token(node)
        if spelling is None:
            return
        suffix = spelling[-1] if spelling[-1] in "fFlL" else ""
        try:
            value = float(spelling[: len(spelling) - len(suffix)].replace("'", ""))
        except ValueError:
            return
        for kind, changed in (("const-plus", value + 1.0), ("const-minus", value - 1.0)):
            text = repr(changed) + suffix
            self.add(node, node.extent.start.offset, kind, spelling,
                     f"({text})" if changed < 0 else text)

    def character(self, node):
        spelling = self.single_token(node)
        if spelling is None or len(spelling) != 3 or spelling[0] != "'" or spelling[2] != "'":
            return
        for kind, changed in (("const-plus", ord(spelling[1]) + 1), ("const-minus", ord(spelling[1]) - 1)):
            if 0x20 <= changed < 0x7F:
                text = chr(changed)
                text = "\\" + text if text in "'\\" else text
                self.add(node, node.extent.start.offset, kind, spelling, f"'{text}'")

    # -- conditions, statements, returns ------------------------------------

    def condition(self, node):
        """The expression inside an if's, a while's or a do's parentheses (after
        an if's init statement), or between a for's semicolons; not a condition
        that declares a variable."""
        K = self.K
        tokens = self.tokens(node)
        if node.kind == K.DO_STMT:
            parens = [t for t in tokens if t.spelling == "("]
            if not parens:
                return
            tokens = tokens[tokens.index(parens[-1]):]
        depth, low, high, semis = 0, None, None, []
        for token in tokens:
            if token.spelling == "(":
                depth += 1
                if depth == 1 and low is None:
                    low = token.extent.end.offset
            elif token.spelling == ")":
                depth -= 1
                if depth == 0:
                    high = token.extent.start.offset
                    break
            elif token.spelling == ";" and depth == 1:
                semis.append(token.extent.end.offset)
        if low is None or high is None:
            return
        if node.kind == K.FOR_STMT:
            if len(semis) != 2:
                return
            low, high = semis[0], semis[1] - 1
        elif semis:
            low = semis[-1]
        inside = [c for c in node.get_children()
                  if c.extent.start.offset >= low and c.extent.end.offset <= high]
        if len(inside) == 1 and inside[0].kind.is_expression():
            self.negate(inside[0])

    def negate(self, expression):
        inner = expression
        while inner.kind == self.K.UNEXPOSED_EXPR and len(list(inner.get_children())) == 1:
            inner = next(inner.get_children())
        tokens = self.tokens(inner)
        if inner.kind == self.K.UNARY_OPERATOR and tokens and tokens[0].spelling == "!":
            return  # not-removed writes it
        text = self.text(expression)
        if text is not None:
            self.add(expression, expression.extent.start.offset, "cond-negated", text, f"!({text})")

    def statements(self, node):
        """Each expression statement of a block, a branch or a loop's body,
        removed: a call, or an assignment, an increment, an operator's call."""
        K = self.K
        in_block = node.kind in (K.COMPOUND_STMT, K.CASE_STMT, K.DEFAULT_STMT)
        for child in node.get_children():
            if not child.kind.is_expression() or child.kind == K.CSTYLE_CAST_EXPR:
                continue
            if not in_block and not self.is_body(node, child):
                continue
            inner = child
            while inner.kind == K.UNEXPOSED_EXPR:
                nested = list(inner.get_children())
                if len(nested) != 1:
                    break
                inner = nested[0]
            if inner.kind in (K.DECL_REF_EXPR, K.INTEGER_LITERAL, K.CXX_BOOL_LITERAL_EXPR,
                              K.CONDITIONAL_OPERATOR, K.LAMBDA_EXPR, K.CXX_FUNCTIONAL_CAST_EXPR,
                              K.CXX_STATIC_CAST_EXPR):
                continue
            kind = ("call-removed" if inner.kind == K.CALL_EXPR and not inner.spelling.startswith("operator")
                    else "stmt-removed")
            self.add(child, child.extent.start.offset, kind, self.text(child),
                     "" if in_block else "(void)0")

    def is_body(self, node, child):
        """A branch or a body that is a lone statement rather than a block:
        what follows the closing parenthesis, or the else's."""
        tokens = self.tokens(node)
        before = [t for t in tokens if t.extent.start.offset < child.extent.start.offset]
        return bool(before) and before[-1].spelling in (")", "else", "do")

    def returned(self, node):
        children = list(node.get_children())
        tokens = self.tokens(node)
        # A defaulted comparison's return is the compiler's, not in the text.
        if len(children) != 1 or not tokens or tokens[0].spelling != "return":
            return
        value = children[0]
        text = self.text(value)
        if text is None:
            return
        T = self.ci.TypeKind
        canonical = value.type.get_canonical()
        if canonical.kind == T.BOOL:
            if text.strip() not in ("true", "false"):
                self.add(value, value.extent.start.offset, "return-replaced", text, f"!({text})")
        elif T.CHAR_U.value <= canonical.kind.value <= T.INT128.value and canonical.kind != T.BOOL:
            if value.kind != self.K.INTEGER_LITERAL:
                self.add(value, value.extent.start.offset, "return-replaced", text, "0")
        elif canonical.kind in (T.FLOAT, T.DOUBLE, T.LONGDOUBLE):
            if value.kind != self.K.FLOATING_LITERAL:
                self.add(value, value.extent.start.offset, "return-replaced", text, "0.0")
        elif canonical.kind == T.POINTER:
            if text.strip() != "nullptr":
                self.add(value, value.extent.start.offset, "return-replaced", text, "nullptr")
        elif canonical.kind in (T.RECORD, T.ENUM):
            if text.strip() not in ("{}", "std::nullopt") and not text.strip().endswith("{}"):
                self.add(value, value.extent.start.offset, "return-replaced", text, "{}")


def generate(only=None):
    cindex, index = mutantlib.clang_index()
    generator = Generator(cindex)
    units = mutantlib.product_units()
    for (unit, preset), arguments in units.items():
        if only and not re.search(only, unit):
            continue
        print(f"parsing {unit} ({preset})", file=sys.stderr)
        generator.parse(index, unit, preset, arguments)
    return sorted(generator.found.values(), key=lambda m: (m.file, m.offset, m.kind, m.replacement))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--out", type=Path, default=mutantlib.ALL_MUTANTS_FILE)
    parser.add_argument("--units", metavar="REGEX", help="only the units whose path matches")
    arguments = parser.parse_args()
    mutants = generate(arguments.units)
    arguments.out.parent.mkdir(parents=True, exist_ok=True)
    with open(arguments.out, "w", encoding="utf-8") as stream:
        stream.write("# " + "\t".join(mutantlib.Mutant.FIELDS) + "\n")
        for mutant in mutants:
            stream.write(mutant.row() + "\n")
    ids = collections.Counter(m.id for m in mutants)
    clashes = [i for i, n in ids.items() if n > 1]
    if clashes:
        raise SystemExit(f"mutant ids not unique: {clashes[:5]}")
    per_directory = collections.Counter(mutantlib.directory_of(m.file) for m in mutants)
    per_kind = collections.Counter(m.kind for m in mutants)
    files = len({m.file for m in mutants})
    print(f"{len(mutants)} mutants in {files} files -> {arguments.out}")
    print("  " + ", ".join(f"{d}/ {per_directory[d]}" for d in mutantlib.DIRECTORIES))
    print("  " + ", ".join(f"{k} {n}" for k, n in sorted(per_kind.items())))


if __name__ == "__main__":
    main()
