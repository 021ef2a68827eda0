#!/usr/bin/env python3
"""Checks the Windows x64 binaries of a build: what they import and
export, and that none moves a 32- or 64-byte vector to or from a stack that
is not aligned for it.

Every binary imports only from the system's DLLs (KERNEL32, the C runtime)
and from testhost.dll, the host: the C++ runtime is linked in statically.
A plug-in (.mexw64) exports mexFunction and nothing else.

Windows x64 aligns the stack to 16 bytes only. A function that keeps a ymm
or zmm value on its stack with an aligned move (vmovaps, vmovapd, vmovdqa,
vmovdqa32, vmovdqa64, or a non-temporal move) faults at random unless it
realigns its stack first (and rsp,-32 or -64 in its prologue). GCC cannot
realign there, so the build has the assembler write the unaligned twins.

    check_windows_binaries.py [--objdump PROG] BINARY...
    check_windows_binaries.py [--objdump PROG] --self-test

Prints every import, export and aligned stack move out of place, with its
binary (and function), and a closing count; exits 1 on any. --self-test
runs the stack check on a tiny hand-written object built with the matching
assembler, before and after the assembler's -muse-unaligned-vector-move.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile

ALIGNED_MOVES = {"vmovaps", "vmovapd", "vmovdqa", "vmovdqa32", "vmovdqa64",
                 "vmovntps", "vmovntpd", "vmovntdq", "vmovntdqa"}
WIDTHS = {"ymm": 32, "zmm": 64}
FUNCTION = re.compile(r"^[0-9a-f]+ <(.+)>:$")
INSTRUCTION = re.compile(r"^\s*([0-9a-f]+):\s+(\S+)\s*(.*)$")
STACK_OPERAND = re.compile(r"\[(rsp|rbp)\b")
VECTOR = re.compile(r"\b(ymm|zmm)\d+\b|\b(YMM|ZMM)WORD PTR")
REALIGN = re.compile(r"^(rsp|rbp),(?:0x)?([0-9a-f]+)$")


def realignment(operands):
    """The alignment an `and rsp/rbp, mask` leaves, or 0."""
    m = REALIGN.match(operands.replace(" ", ""))
    if not m:
        return 0
    mask = int(m.group(2), 16)
    if mask < 1 << 63:  # a positive mask clears the high bits: no realignment
        return 0
    return mask & -mask


def width(operands):
    m = VECTOR.search(operands)
    if not m:
        return 0
    return WIDTHS[(m.group(1) or m.group(2)).lower()]


def findings(disassembly):
    """(function, address, instruction) of every aligned stack move of a
    vector wider than the alignment its function gives its stack."""
    found = []
    name, aligned, moves = None, 0, []

    def close():
        found.extend((name, a, text) for a, text, w in moves if w > aligned)

    for line in disassembly.splitlines():
        m = FUNCTION.match(line)
        if m:
            close()
            name, aligned, moves = m.group(1), 16, []
            continue
        m = INSTRUCTION.match(line)
        if not m:
            continue
        address, mnemonic, operands = m.groups()
        if mnemonic == "and":
            aligned = max(aligned, realignment(operands))
        elif mnemonic in ALIGNED_MOVES and STACK_OPERAND.search(operands):
            w = width(operands)
            if w:
                moves.append((address, f"{mnemonic} {operands}", w))
    close()
    return found


def disassemble(objdump, path):
    return subprocess.run([objdump, "-d", "--no-show-raw-insn", "-M", "intel", path],
                          check=True, capture_output=True, text=True).stdout


SYSTEM_DLLS = re.compile(r"^(kernel32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)\.dll$", re.I)
HOST_DLL = "testhost.dll"


def imports_and_exports(objdump, path):
    """The DLL names a binary imports from, and the names it exports."""
    headers = subprocess.run([objdump, "-p", path], check=True, capture_output=True, text=True).stdout
    imports = re.findall(r"^\s*DLL Name: (\S+)$", headers, re.M)
    exports, in_table = [], False
    for line in headers.splitlines():
        if line.startswith("[Ordinal/Name Pointer] Table"):
            in_table = True
        elif in_table:
            m = re.match(r"^\s*\[\s*\d+\] (\S+)$", line)
            if not m:
                break
            exports.append(m.group(1))
    return imports, exports


def check(objdump, paths):
    problems = moves = 0
    for path in paths:
        imports, exports = imports_and_exports(objdump, path)
        for dll in imports:
            if not SYSTEM_DLLS.match(dll) and dll.lower() != HOST_DLL:
                print(f"{path}: imports from {dll}")
                problems += 1
        if path.endswith(".mexw64") and exports != ["mexFunction"]:
            print(f"{path}: exports {exports}, not mexFunction alone")
            problems += 1
        found = findings(disassemble(objdump, path))
        moves += len(found)
        for name, address, text in found:
            print(f"{path}: {address} <{name}>: {text}")
    print(f"{len(paths)} binaries: {problems} imports or exports out of place, {moves} aligned stack vector moves")
    return problems + moves


# Five functions; the first and the last must be found, the others not.
SELF_TEST = """\
    .text
    .globl spills_unaligned
spills_unaligned:
    sub rsp, 72
    vmovapd YMMWORD PTR [rsp+32], ymm0
    vmovapd ymm1, YMMWORD PTR [rsp+32]
    add rsp, 72
    ret
    .globl realigns
realigns:
    push rbp
    mov rbp, rsp
    and rsp, -32
    sub rsp, 64
    vmovaps YMMWORD PTR [rsp], ymm0
    mov rsp, rbp
    pop rbp
    ret
    .globl unaligned_and_narrow
unaligned_and_narrow:
    vmovupd YMMWORD PTR [rsp+8], ymm0
    vmovaps XMMWORD PTR [rsp+16], xmm6
    vmovapd YMMWORD PTR [rcx], ymm0
    vmovdqa64 zmm1, zmm2
    ret
    .globl realigns_too_little
realigns_too_little:
    push rbp
    mov rbp, rsp
    and rsp, -32
    vmovdqa64 ZMMWORD PTR [rbp-128], zmm3
    ret
"""


def self_test(objdump):
    assembler = os.path.join(os.path.dirname(objdump), os.path.basename(objdump).replace("objdump", "as"))
    with tempfile.TemporaryDirectory() as tmp:
        src, obj = os.path.join(tmp, "case.s"), os.path.join(tmp, "case.o")
        with open(src, "w") as f:
            f.write(".intel_syntax noprefix\n" + SELF_TEST)
        results = []
        for flags in ([], ["-muse-unaligned-vector-move"]):
            subprocess.run([assembler, *flags, "-o", obj, src], check=True)
            results.append(sorted((name, text.split()[0]) for name, _, text in findings(disassemble(objdump, obj))))
    expected = [[("realigns_too_little", "vmovdqa64"), ("spills_unaligned", "vmovapd"), ("spills_unaligned", "vmovapd")], []]
    if results != expected:
        print(f"self-test failed: found {results}, expected {expected}")
        return 1
    print("self-test passed: 3 aligned stack moves found in the hand-written case, none after -muse-unaligned-vector-move")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--objdump", default="x86_64-w64-mingw32-objdump")
    parser.add_argument("--self-test", action="store_true")
    parser.add_argument("binaries", nargs="*")
    args = parser.parse_args()
    if args.self_test:
        return self_test(args.objdump)
    if not args.binaries:
        parser.error("no binaries to check")
    return 1 if check(args.objdump, args.binaries) else 0


if __name__ == "__main__":
    sys.exit(main())
