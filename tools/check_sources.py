#!/usr/bin/env python3
"""Instruction-set code outside the vector layer: the product sources (every
folder plugins.list builds a plug-in from, host/ and common/) may use the layer's
types and macros only. Code specific to one instruction set (intrinsics,
their headers and types, asm, compiler builtins and attributes, compiler
pragmas) and branches on the path taken belong in simd/, reached through
simd::dispatch and the layer's vector types.

Comments and string literals are not searched. Prints file:line: what,
the line; exits 1 if anything is found.

  tools/check_sources.py [repo]      check the repository (default: this one)
  tools/check_sources.py --self-test plants one of each in a copy and checks
                                     that each is reported, and nothing else
"""
import pathlib
import re
import sys
import tempfile

# (what, pattern) in the order reported.
RULES = [
    ("intrinsic", r"\b_mm(256|512)?_\w+|\b_MM_\w+"),
    ("intrinsic type", r"\b__m(128|256|512)[di]?\b|\b__mmask(8|16|32|64)\b"),
    ("intrinsics header", r"#\s*include\s*[<\"]\w*intrin\.h[>\"]|#\s*include\s*[<\"]cpuid\.h[>\"]"),
    ("processor query", r"\b__cpuid\w*|\b_xgetbv\b"),
    ("asm", r"\b(asm|__asm__|__asm)\b"),
    ("compiler builtin", r"\b__builtin_\w+"),
    ("attribute", r"\b__attribute__\b|\b__declspec\b"),
    ("compiler pragma", r"#\s*pragma\s+(GCC|clang)\b|\b_Pragma\b"),
    ("instruction-set branch", r"\bcurrent_isa\b|\bbest_isa\b|\bIsa::(avx2|avx512|sse2|scalar)\b"),
]
PATTERNS = [(what, re.compile(p)) for what, p in RULES]
SUFFIXES = {".cpp", ".hpp", ".h", ".cc", ".c"}


def code_only(text):
    """The text with comments and string/char literals blanked, newlines kept."""
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c in "\"'" and not (c == "'" and i > 0 and text[i - 1].isalnum()):
            # A literal; keep an #include's name, which the header rule reads.
            line_start = text.rfind("\n", 0, i) + 1
            if re.match(r"\s*#\s*include", text[line_start:i]):
                out.append(c)
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(c + " " * (min(j, n) - i - 1) + (c if j < n and text[j] == c else ""))
            i = j + 1 if j < n and text[j] == c else j
        else:
            out.append(c)
            i += 1
    return "".join(out)


def product_folders(root):
    folders = {"host", "common"}
    for line in (root / "plugins.list").read_text().splitlines():
        m = re.match(r"^([a-z_]+)/", line)
        if m:
            folders.add(m.group(1))
    return sorted(folders)


def findings(root):
    found = []
    for folder in product_folders(root):
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in SUFFIXES or not path.is_file():
                continue
            rel = path.relative_to(root)
            if rel.parts[0] == "simd":
                continue
            text = path.read_text(errors="replace")
            code = code_only(text).splitlines()
            lines = text.splitlines()
            for number, line in enumerate(code, 1):
                for what, pattern in PATTERNS:
                    if pattern.search(line):
                        found.append((str(rel), number, what, lines[number - 1].strip()))
    return found


def report(root):
    found = findings(root)
    for rel, number, what, line in found:
        print(f"{rel}:{number}: {what}: {line}")
    files = len({f[0] for f in found})
    print(f"product sources: {len(found)} instruction-set line(s) outside simd/ in {files} file(s)"
          if found else "product sources: no instruction-set code outside simd/")
    return 1 if found else 0


# One line of each kind, planted in a product file; the same in simd/, in
# a comment and in a string must not be reported.
PLANTED = [
    ("intrinsic", "    const auto v = _mm256_add_pd(a, b);"),
    ("intrinsic type", "    __m512d wide;"),
    ("intrinsics header", "#include <immintrin.h>"),
    ("processor query", "    __cpuidex(info, 7, 0);"),
    ("asm", '    asm volatile("" ::: "memory");'),
    ("compiler builtin", "    const int k = __builtin_popcount(m);"),
    ("attribute", "__attribute__((target(\"avx2\"))) void f();"),
    ("compiler pragma", "#pragma GCC unroll 4"),
    ("instruction-set branch", "    if (simd::current_isa() == simd::Isa::avx512) return;"),
]


def self_test():
    problems = []
    with tempfile.TemporaryDirectory() as tmp:
        root = pathlib.Path(tmp)
        (root / "plugins.list").write_text("# a comment/line\nkern/Plug\n")
        for folder in ("kern", "host", "simd", "other"):
            (root / folder).mkdir()
        clean = "#include \"simd/simd.hpp\"\n// _mm256_add_pd, asm, __attribute__ in a comment\n" \
                "const char* s = \"__builtin_trap asm _mm_add_pd\";\n/* current_isa()\n   #pragma GCC */\nint x;\n"
        (root / "kern" / "clean.cpp").write_text(clean)
        if findings(root):
            problems.append(f"a clean tree reported: {findings(root)}")
        body = clean + "".join(line + "\n" for _, line in PLANTED)
        first = clean.count("\n") + 1
        (root / "kern" / "planted.cpp").write_text(body)
        (root / "host" / "planted.hpp").write_text(body)
        (root / "simd" / "planted.hpp").write_text(body)   # the layer: allowed
        (root / "other" / "planted.cpp").write_text(body)  # not a product folder
        found = findings(root)
        for rel in ("kern/planted.cpp", "host/planted.hpp"):
            for k, (what, line) in enumerate(PLANTED):
                if not any(f[0] == rel and f[1] == first + k and f[2] == what for f in found):
                    problems.append(f"{rel}:{first + k}: {what} not reported ({line.strip()})")
        for rel, number, what, line in found:
            if not rel.endswith("planted.cpp") and not rel.endswith("planted.hpp") or rel.startswith(("simd", "other")):
                problems.append(f"reported outside the product code: {rel}:{number}: {what}")
            elif number < first:
                problems.append(f"reported in a comment or string: {rel}:{number}: {line}")
    for p in problems:
        print("self-test:", p)
    print(f"check_sources self-test: {'failed' if problems else 'passed'} "
          f"({len(PLANTED)} kinds planted in a plug-in folder and host/)")
    return 1 if problems else 0


def main(argv):
    if argv[1:2] == ["--self-test"]:
        return self_test()
    root = pathlib.Path(argv[1]) if len(argv) > 1 else pathlib.Path(__file__).resolve().parent.parent
    return report(root)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
