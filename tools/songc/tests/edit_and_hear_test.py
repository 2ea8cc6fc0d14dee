#!/usr/bin/env python3
"""The score's edit-and-hear loop as a user meets it.

usage: edit_and_hear_test.py --songc PATH --capture PATH --score FILE --built FILE --build-dir DIR --work DIR

The build folder holds the song compiled from the score, and the build
remakes it whenever the score changes; an edited score compiles to another
song, and `songc --wav` plays it as the capture tool's player does;
songc's command line answers --help and --version and refuses a bad one
with exit 2. Exits 0 on success, 1 on failure.
"""
import argparse
import os
import shutil
import subprocess
import sys


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def run(*command, **kwargs):
    return subprocess.run(list(command), stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60, **kwargs)


def compile_score(songc, score, out):
    result = run(songc, score, "-o", out)
    check(result.returncode == 0, f"songc {score}: exit {result.returncode}: {result.stderr.decode()}")
    return open(out, "rb").read()


def command_line(songc, work):
    for args in (["--help"], ["--version"]):
        result = run(songc, *args)
        check(result.returncode == 0 and result.stdout.strip(), f"songc {args[0]}: exit {result.returncode}")
    check(b"SCORE" in run(songc, "--help").stdout, "--help names the score argument")
    out = os.path.join(work, "never.dmp")
    for args in ([], ["a.score"], ["a.score", "-o"], ["a.score", "b.score", "-o", out], ["--frobnicate"]):
        result = run(songc, *args, cwd=work)
        check(result.returncode == 2, f"songc {args}: exit {result.returncode}, expected 2")
        check(b"--help" in result.stderr, f"songc {args}: no pointer to --help")
    check(not os.path.exists(out), "a refused command line wrote a song")


def build_remakes_song(options, work):
    """The built song is what the score compiles to, and its build step reads the score."""
    fresh = compile_score(options.songc, options.score, os.path.join(work, "fresh.dmp"))
    check(os.path.exists(options.built), f"the build made no song at {options.built}")
    check(open(options.built, "rb").read() == fresh, "the build folder's song is not the score's")
    ninja = shutil.which("ninja")
    if not ninja or not os.path.exists(os.path.join(options.build_dir, "build.ninja")):
        print("note: no Ninja build here; the score's place among the song's inputs is not checked")
        return
    target = os.path.relpath(options.built, options.build_dir)
    query = run(ninja, "-C", options.build_dir, "-t", "query", target)
    check(query.returncode == 0, f"ninja -t query {target}: {query.stderr.decode()}")
    inputs = query.stdout.decode().split("outputs:")[0]
    check(os.path.basename(options.score) in inputs, f"the score is not an input of the built song:\n{inputs}")


def edited_score_changes_song(options, work):
    original = open(options.score).read()
    check("\ntempo 6\n" in original, "the score's tempo line moved; update this test's edit")
    edited = os.path.join(work, "edited.score")
    with open(edited, "w") as out:
        out.write(original.replace("\ntempo 6\n", "\ntempo 7\n", 1))
    before = compile_score(options.songc, options.score, os.path.join(work, "before.dmp"))
    after = compile_score(options.songc, edited, os.path.join(work, "after.dmp"))
    check(after != before, "a slower tempo compiled to the same song")
    check(len(after) > len(before), "a slower tempo should make a longer song")

    # Heard at once: songc --wav is one pass of the song through the intro's
    # player, as quillmoor-capture plays the same file (high-passed).
    wav = os.path.join(work, "after.wav")
    result = run(options.songc, edited, "--wav", wav, "--summary")
    check(result.returncode == 0, f"songc --wav: exit {result.returncode}: {result.stderr.decode()}")
    frames = int(result.stdout.decode().splitlines()[-1].split()[0])
    seconds = f"{frames // 50}.{frames % 50 * 2:02d}"
    heard = os.path.join(work, "heard.wav")
    result = run(options.capture, "--assets", os.path.dirname(options.built), "sound", "--seconds", seconds,
                 "--dc-block", "--song", os.path.join(work, "after.dmp"), "--wav", heard)
    check(result.returncode == 0, f"quillmoor-capture sound --song: {result.stderr.decode()}")
    played = open(wav, "rb").read()
    check(played == open(heard, "rb").read(), "songc --wav differs from quillmoor-capture sound --song")
    check(len(played) == 44 + frames * 882 * 2, f"songc --wav: {len(played)} bytes for {frames} frames")
    piped = run(options.songc, edited, "--wav", "-").stdout
    check(piped == played, "songc --wav - differs from the file")
    check(run(options.songc, options.score, "--wav", "-").stdout != played, "the edit is not heard")


def main():
    parser = argparse.ArgumentParser()
    for name in ("--songc", "--capture", "--score", "--built", "--build-dir", "--work"):
        parser.add_argument(name, required=True)
    options = parser.parse_args()
    shutil.rmtree(options.work, ignore_errors=True)
    os.makedirs(options.work)
    try:
        command_line(options.songc, options.work)
        build_remakes_song(options, options.work)
        edited_score_changes_song(options, options.work)
    except Failure as failure:
        print(f"FAIL: {failure}")
        return 1
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
