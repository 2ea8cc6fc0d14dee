#!/usr/bin/env python3
"""The tools' shared command-line rules, checked on each tool as a user meets them.

usage: command_lines_test.py TOOL...

--help and --version exit 0 and print to standard output; an unknown option,
a missing argument or one too many exits 2 with a pointer to --help and
nothing on standard output. Exits 0 on success, 1 on failure.
"""
import os
import subprocess
import sys


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
    return problems


def main():
    problems = [problem for tool in sys.argv[1:] for problem in check_tool(tool)]
    for problem in problems:
        print("FAIL:", problem)
    if not problems:
        print(f"PASS: {len(sys.argv) - 1} tools")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
