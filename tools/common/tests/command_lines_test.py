#!/usr/bin/env python3
"""The tools' shared command-line rules, checked on each tool as a user meets them.

usage: command_lines_test.py TOOL...

--help and --version exit 0 and print to standard output; an unknown option,
a missing argument or one too many exits 2 with a pointer to --help and
nothing on standard output. A failure is reported as "TOOL: error: WHAT", or
"FILE:LINE: error: WHAT" where it has a line, with no unprintable byte on
standard error; a bad command line exits 2, any other failure 1. Exits 0 on
success, 1 on failure.
"""
import os
import re
import subprocess
import sys
import tempfile


def run(*command):
    return subprocess.run(list(command), stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)


def check_tool(tool):
    name = os.path.basename(tool).removesuffix(".exe")
    problems = []
    for args in (["--help"], ["--version"]):
        result = run(tool, *args)
        if result.returncode != 0 or not result.stdout.strip():
            problems.append(f"{name} {args[0]}: exit {result.returncode}, output {result.stdout[:60]!r}")
    version = run(tool, "--version").stdout.decode().strip()
    if not version.startswith(name + " "):
        problems.append(f"{name} --version says {version!r}")
    for args in ([], ["--no-such-option"], ["one", "two", "three", "four", "five"]):
        result = run(tool, *args)
        if result.returncode != 2 or b"--help" not in result.stderr or result.stdout:
            problems.append(f"{name} {args}: exit {result.returncode}, stderr {result.stderr[:80]!r}")
        else:
            lines = result.stderr.decode(errors="replace").splitlines()
            if (len(lines) != 2 or not lines[0].startswith(f"{name}: error: ")
                    or lines[1] != f"Run {name} --help for the usage."):
                problems.append(f"{name} {args}: stderr {result.stderr!r}; expected "
                                f"'{name}: error: PROBLEM' and the pointer to --help")
    if name in ERROR_FORM_TOOLS:
        with tempfile.TemporaryDirectory() as work:
            problems += check_failures(tool, name, work)
    return problems


# The tools whose every failure is checked below, with the command lines that
# make them fail: {SOURCE} is an input file the case writes, {OUT} an output.
ERROR_FORM_TOOLS = {
    "songc": ["{SOURCE}", "-o", "{OUT}"],
    "fontgen": ["{SOURCE}", "{OUT}"],
    "logogen": ["{SOURCE}", "{OUT}"],
}


def check_failures(tool, name, work):
    """A missing input, a malformed one (one not even text, for songc) and an
    output that can't be written: each exits 1 with a report in the one form,
    escaped."""
    problems = []
    source, blocker = os.path.join(work, "input.txt"), os.path.join(work, "a-file")
    open(blocker, "w").close()

    def expect(label, args, pattern):
        result = run(tool, *args)
        err = result.stderr.decode("ascii", errors="replace")
        unprintable = [byte for byte in result.stderr if (byte < 0x20 and byte != 0x0A) or byte >= 0x7F]
        if result.returncode != 1 or not re.fullmatch(pattern, err) or unprintable:
            problems.append(f"{name}, {label}: exit {result.returncode}, stderr {result.stderr[:200]!r}; "
                            f"expected exit 1 and {pattern!r}")

    def command(out):
        return [word.replace("{SOURCE}", source).replace("{OUT}", out) for word in ERROR_FORM_TOOLS[name]]

    missing = re.escape(f"{name}: error: cannot read {source}: No such file or directory") + "\n"
    expect("a missing input", command(os.path.join(work, "out")), missing)
    with open(source, "wb") as f:
        f.write(b"caf\xe9 \x1b[31m3\n")   # a Latin-1 letter and a terminal's escape code
    if name == "songc":
        # Not a text score: the control code is named, not written out.
        malformed = re.escape(f"{source}:1: error: not a text score: byte 0x1b at column 6") + "\n"
        expect("a binary input", command(os.path.join(work, "out")), malformed)
        with open(source, "wb") as f:
            f.write(b"tempo 6\ncaf\xe9 3\n")
        malformed = re.escape(f"{source}:2: error: unknown keyword 'caf\\xe9'") + "\n"
    else:
        malformed = re.escape(f"{source}:") + "\\d+: error: .+\\n"
    expect("a malformed input", command(os.path.join(work, "out")), malformed)
    # Outputs under a plain file can't be written.
    good = {"songc": "tools/songc/cloudparcel.score", "fontgen": "tools/fontgen/font16.txt",
            "logogen": "tools/logogen/quillmoor_logo.txt"}[name]
    with open(os.path.join(SOURCE_DIR, good), "rb") as f, open(source, "wb") as out:
        out.write(f.read())
    expect("an output that can't be written", command(os.path.join(blocker, "out")),
           re.escape(f"{name}: error: cannot ") + "[^\\n]*" + re.escape(os.path.join(blocker, "out")) + ".*\\n")
    return problems


SOURCE_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..")


def main():
    problems = [problem for tool in sys.argv[1:] for problem in check_tool(tool)]
    for problem in problems:
        print("FAIL:", problem)
    if not problems:
        print(f"PASS: {len(sys.argv) - 1} tools")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
