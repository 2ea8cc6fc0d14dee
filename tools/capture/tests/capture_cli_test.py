#!/usr/bin/env python3
"""quillmoor-capture as a user runs it, one case per invocation.

usage: capture_cli_test.py CASE --program PATH --assets DIR --work DIR

PNG files are decoded here with Python's zlib, independently of the tool's own
writer, and compared with the frame hashes the tool prints. Exits 0 on
success, 1 on failure, 77 when the case can't run here.
"""
import argparse
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

SKIP = 77
WIDTH, HEIGHT = 640, 400
RATE = 44100
USAGE_LINE = "Usage: quillmoor-capture [OPTIONS] SUBCOMMAND"
# A refused command line: what is wrong, and where the usage is.
REFUSAL = "quillmoor-capture: error: "
HELP_HINT = "Run quillmoor-capture --help for the usage."
# Silent calls before the first written sound: one of 8192 bytes, eight of 1764.
LEAD_IN_SAMPLES = 4096 + 8 * 882


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Tool:
    def __init__(self, program, assets, work):
        self.program, self.assets, self.work = program, assets, work

    def run(self, *args, cwd=None, env=None, assets=True, stdout=subprocess.PIPE):
        command = [self.program] + (["--assets", self.assets] if assets else []) + list(args)
        result = subprocess.run(command, cwd=cwd or self.work, env=env, stdout=stdout,
                                stderr=subprocess.PIPE, timeout=240)
        return result

    def ok(self, *args, **kwargs):
        result = self.run(*args, **kwargs)
        check(result.returncode == 0,
              f"{' '.join(args)}: exit {result.returncode}, stderr: {result.stderr.decode(errors='replace')}")
        return result.stdout.decode() if result.stdout is not None else ""

    def path(self, name):
        return os.path.join(self.work, name)


def fnv1a64(data):
    h = 0xcbf29ce484222325
    for byte in data:
        h = ((h ^ byte) * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF
    return h


def frame_lines(text):
    lines = text.splitlines()
    for line in lines:
        check(re.fullmatch(r"\d+ [0-9a-f]{16}", line), f"badly formed frame line {line!r}")
    return lines


def decode_png(path):
    """Returns the pixels of an 8-bit RGB PNG as rows of bytes."""
    data = open(path, "rb").read()
    check(data[:8] == b"\x89PNG\r\n\x1a\n", "no PNG signature")
    at, idat, header, types = 8, b"", None, []
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        (crc,) = struct.unpack(">I", data[at + 8 + length:at + 12 + length])
        check(zlib.crc32(kind + body) == crc, f"bad CRC in chunk {kind!r}")
        types.append(kind)
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    check(types[0] == b"IHDR" and types[-1] == b"IEND", f"chunk order {types}")
    check(header == (WIDTH, HEIGHT, 8, 2, 0, 0, 0), f"IHDR {header}")
    raw = zlib.decompress(idat)
    stride = WIDTH * 3
    check(len(raw) == HEIGHT * (stride + 1), "scanline bytes")
    rows, above = [], bytearray(stride)
    for y in range(HEIGHT):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 3] if i >= 3 else 0
            b = above[i]
            c = above[i - 3] if i >= 3 else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
            else:
                check(kind == 0, f"filter type {kind}")
        rows.append(bytes(line))
        above = line
    return rows


def png_frame_hash(path):
    """The frame hash of a PNG's pixels: blue, green, red, 0 per pixel."""
    serial = bytearray()
    for row in decode_png(path):
        for x in range(WIDTH):
            serial += bytes((row[3 * x + 2], row[3 * x + 1], row[3 * x], 0))
    return f"{fnv1a64(serial):016x}"


def samples(path, header=False):
    data = open(path, "rb").read()
    if header:
        data = data[44:]
    return struct.unpack(f"<{len(data) // 2}h", data)


def usage_error(tool, *args):
    result = tool.run(*args, assets=False)
    stderr = result.stderr.decode()
    check(result.returncode == 2, f"{args}: exit {result.returncode}, expected 2")
    check(stderr.startswith(REFUSAL) and HELP_HINT in stderr, f"{args}: no refusal on standard error: {stderr!r}")
    check(result.stdout == b"", f"{args}: something on standard output")


def case_usage(tool):
    for args in [(), ("frobnicate",), ("frames",), ("frames", "x"), ("frames", "3", "4"),
                 ("frames", "3", "--from"), ("frames", "3", "--to", "1"), ("png", "3"),
                 ("png", "x", "a.png"), ("sound", "--seconds", "1"), ("sound", "--wav", "a.wav"),
                 ("sound", "--calls", "1**2", "--raw", "a.raw"),
                 ("sound", "--seconds", "1", "--calls", "2", "--raw", "a.raw"),
                 ("sound", "--seconds", "1", "--wav", "a.wav", "--raw", "a.raw"),
                 ("video", "0", "a.mp4"), ("video", "1"), ("video", "1", "a.mp4", "--fps", "25"),
                 ("video", "1", "a.mp4", "--scale", "0"), ("video", "1", "a.mp4", "--quality", "52"),
                 ("textpage", "now"), ("--assets",), ("--assets=", "textpage"),
                 # More samples than 64 bits count: refused, not written without end.
                 ("sound", "--calls", ",".join(["16777216*4294967295"] * 513), "--raw", "a.raw")]:
        usage_error(tool, *args)
    check(not os.path.exists(tool.path("a.raw")) and not os.path.exists(tool.path("a.wav")),
          "a refused command line wrote a file")
    help_text = tool.ok("--help", assets=False)
    check(USAGE_LINE in help_text, "--help prints the usage on standard output")
    check("--fps" in tool.ok("video", "--help", assets=False), "video --help names its options")
    check(tool.ok("--version", assets=False).startswith("quillmoor-capture "), "--version")
    # --assets before or after the command, with = or a space.
    lines = tool.ok("frames", "2")
    for args in (("frames", "2", "--assets", tool.assets), ("frames", "2", f"--assets={tool.assets}"),
                 (f"--assets={tool.assets}", "frames", "2")):
        check(tool.ok(*args, assets=False) == lines, f"{args} differs from --assets DIR frames 2")


def case_unwritable(tool):
    missing = os.path.join(tool.work, "no such folder", "out")
    for args in [("png", "0", missing + ".png"), ("sound", "--seconds", "1", "--wav", missing + ".wav"),
                 ("sound", "--calls", "8192,1764*20", "--raw", missing + ".raw")]:
        result = tool.run(*args)
        stderr = result.stderr.decode()
        check(result.returncode == 1, f"{args}: exit {result.returncode}, expected 1")
        check(missing in stderr and "cannot write" in stderr, f"{args}: unclear error {stderr!r}")
        check(HELP_HINT not in stderr and stderr.startswith(REFUSAL),
              f"{args}: a file error reported as a bad command line: {stderr!r}")
    if os.path.exists("/dev/full"):
        with open("/dev/full", "wb") as full:
            result = tool.run("frames", "3", stdout=full)
        check(result.returncode == 1, f"frames into a full device: exit {result.returncode}")
    result = tool.run("--assets", os.path.join(tool.work, "no such folder"), "frames", "1", assets=False)
    check(result.returncode == 1 and "assets folder" in result.stderr.decode(), "missing assets folder")


def case_frames(tool):
    lines = frame_lines(tool.ok("frames", "6"))
    check([int(line.split()[0]) for line in lines] == list(range(6)), f"frame numbers {lines}")
    check(len({line.split()[1] for line in lines}) == 6, "the picture doesn't change from frame to frame")
    check(frame_lines(tool.ok("frames", "6", "--from", "4")) == lines[4:], "--from 4 is not the tail")
    check(frame_lines(tool.ok("frames", "--from", "5", "6")) == lines[5:], "--from before N")
    check(tool.ok("frames", "0") == "" and tool.ok("frames", "3", "--from", "7") == "", "nothing to print")
    check(frame_lines(tool.ok("frames", "6")) == lines, "two runs differ")
    # Reading the assets from the current folder is the same as --assets.
    check(frame_lines(tool.ok("frames", "6", cwd=tool.assets, assets=False)) == lines, "--assets vs cwd")
    check(tool.run("frames", "1").stderr == b"", "a warning with every asset there")
    # Without assets the intro still runs (and looks different), and the tool
    # names what it lacks: the picture's files, not the song, which it doesn't play.
    empty = tempfile.mkdtemp(dir=tool.work)
    result = tool.run("--assets", empty, "frames", "6", assets=False)
    check(result.returncode == 0, f"no assets: exit {result.returncode}")
    bare = frame_lines(result.stdout.decode())
    check(len(bare) == 6 and bare != lines, "no assets: expected six different frames")
    warned = result.stderr.decode().splitlines()
    check(warned == [f"quillmoor-capture: warning: asset missing: {name} (looked in {empty})"
                     for name in ("quillmoor_cut2_632x246x8.bmp", "FNT1616.FTB", "FNT1616.GFX")],
          f"no assets: warnings {warned}")
    sound = tool.run("--assets", empty, "sound", "--seconds", "1", "--wav", tool.path("bare.wav"), assets=False)
    check(sound.returncode == 0 and sound.stderr.decode().splitlines() ==
          [f"quillmoor-capture: warning: asset missing: ZEB_27.DMP (looked in {empty})"],
          f"no song: {sound.stderr.decode()}")


def case_png(tool):
    hashes = frame_lines(tool.ok("frames", "101"))
    for index in (0, 100):
        name = f"frame{index}.png"
        # Output paths are relative to where the tool was started, not to --assets.
        tool.ok("png", str(index), name)
        check(os.path.exists(tool.path(name)), f"{name} not written into the starting folder")
        check(not os.path.exists(os.path.join(tool.assets, name)), f"{name} went into the assets folder")
        got = png_frame_hash(tool.path(name))
        check(f"{index} {got}" == hashes[index], f"png {index} decodes to {got}, frames says {hashes[index]}")
        size = os.path.getsize(tool.path(name))
        check(size < WIDTH * HEIGHT * 3 // 4, f"{name}: {size} bytes, hardly compressed")


def case_sound(tool):
    tool.ok("sound", "--seconds", "1", "--raw", "one.raw")
    tool.ok("sound", "--seconds", "1", "--wav", "one.wav")
    one = samples(tool.path("one.raw"))
    check(len(one) == RATE, f"1 second: {len(one)} samples")
    check(max(one) - min(one) > 1000, "the tune is silent")
    wav = open(tool.path("one.wav"), "rb").read()
    check(wav[:4] == b"RIFF" and wav[8:16] == b"WAVEfmt ", "WAV header")
    check(struct.unpack("<IHHIIHH", wav[16:36]) == (16, 1, 1, RATE, 2 * RATE, 2, 16), "WAV format")
    check(struct.unpack("<I", wav[4:8])[0] == 36 + 2 * RATE and struct.unpack("<I", wav[40:44])[0] == 2 * RATE,
          "WAV sizes")
    check(wav[44:] == open(tool.path("one.raw"), "rb").read(), "WAV data differs from the raw file")

    # The stream doesn't depend on how the calls cut it.
    for spec in ["8192,1764*59", "0*9,88200", "2*9,1,64*100,88200", "8192,1764*8,3,100000"]:
        tool.ok("sound", "--calls", spec, "--raw", "calls.raw")
        got = samples(tool.path("calls.raw"))
        check(len(got) >= min(len(one), 1) and got[:len(one)] == one[:len(got)],
              f"--calls {spec} differs from --seconds 1")
    tool.ok("sound", "--calls", "8192,1764*8,3,1764", "--raw", "odd.raw")
    check(len(samples(tool.path("odd.raw"))) == 1 + 882, "an odd call writes bytes / 2 samples")

    tool.ok("sound", "--seconds", "0.5", "--raw", "half.raw")
    check(samples(tool.path("half.raw")) == one[:RATE // 2], "0.5 seconds is not the first half")
    tool.ok("sound", "--calls", "8192,1764*8", "--wav", "none.wav")
    check(os.path.getsize(tool.path("none.wav")) == 44, "nine silent calls wrote sound")

    # "-": the same bytes on standard output, through a pipe.
    for kind, name in (("--wav", "one.wav"), ("--raw", "one.raw")):
        piped = subprocess.run(f"'{tool.program}' --assets '{tool.assets}' sound --seconds 1 {kind} - | cat",
                               shell=True, stdout=subprocess.PIPE, check=True).stdout
        check(piped == open(tool.path(name), "rb").read(), f"sound {kind} - differs from the file")

    # --lead-in: the nine silent calls' regions first, as zeros.
    tool.ok("sound", "--seconds", "1", "--lead-in", "--raw", "lead.raw")
    lead = samples(tool.path("lead.raw"))
    check(lead[:LEAD_IN_SAMPLES] == (0,) * LEAD_IN_SAMPLES and lead[LEAD_IN_SAMPLES:] == one[:RATE - LEAD_IN_SAMPLES],
          "--lead-in is not silence then the stream")

    # --dc-block: centred on zero once the first second is past, faded in.
    tool.ok("sound", "--seconds", "3", "--raw", "exact.raw")
    tool.ok("sound", "--seconds", "3", "--dc-block", "--raw", "blocked.raw")
    exact, blocked = samples(tool.path("exact.raw")), samples(tool.path("blocked.raw"))
    check(len(blocked) == len(exact), "--dc-block changed the length")
    check(abs(sum(exact[RATE:]) / (2 * RATE)) > 0.1 * 32768, "the exact stream has no offset to take out")
    mean = sum(blocked[RATE:]) / (2 * RATE)
    check(abs(mean) < 0.01 * 32768, f"--dc-block leaves a mean of {mean:.0f}")
    check(blocked[0] == 0 and max(abs(s) for s in blocked[:40]) < 2000, "no fade-in at the start")
    check(max(blocked[RATE:]) - min(blocked[RATE:]) > 1000, "--dc-block silenced the tune")


def raw_test_song():
    """A register-dump song in the raw format: 200 frames of 14 bytes, the
    three voices sweeping in pitch, voice C with noise, one envelope."""
    frames = bytearray()
    for f in range(200):
        periods = (100 + f, 300 + 2 * f, 700 - f)
        regs = bytearray(14)
        for voice, period in enumerate(periods):
            regs[2 * voice], regs[2 * voice + 1] = period & 0xFF, period >> 8
        regs[6] = 5 + f % 20                    # noise period
        regs[7] = 0b00011000                    # tone on A, B, C; noise on C only
        regs[8], regs[9], regs[10] = 15, 12 - f % 8, 16 if f > 100 else 9
        regs[11], regs[12] = 0x40, 0x01         # envelope period
        regs[13] = 10 if f == 101 else 255      # restart the envelope once
        frames += regs
    return bytes(frames)


def case_song(tool):
    # The player's own way in: the song as the assets folder's ZEB_27.DMP.
    folder = tempfile.mkdtemp(dir=tool.work)
    for name in os.listdir(tool.assets):
        if name != "ZEB_27.DMP" and os.path.isfile(os.path.join(tool.assets, name)):
            shutil.copy(os.path.join(tool.assets, name), folder)
    song = os.path.join(folder, "ZEB_27.DMP")
    with open(song, "wb") as out:
        out.write(raw_test_song())
    tool.ok("--assets", folder, "sound", "--seconds", "2", "--raw", "player.raw", assets=False)
    tool.ok("sound", "--seconds", "2", "--song", song, "--raw", "song.raw")
    tool.ok("sound", "--seconds", "2", "--raw", "committed.raw")
    played = open(tool.path("player.raw"), "rb").read()
    check(open(tool.path("song.raw"), "rb").read() == played, "--song differs from the player loading the file")
    check(played != open(tool.path("committed.raw"), "rb").read(), "--song played the committed song")
    # A relative --song is found from where the tool started, not in --assets.
    shutil.copy(song, tool.path("relative.dmp"))
    tool.ok("sound", "--seconds", "2", "--song", "relative.dmp", "--raw", "relative.raw")
    check(open(tool.path("relative.raw"), "rb").read() == played, "--song with a relative path")
    # The committed YMDX song named by --song is the default stream.
    tool.ok("sound", "--seconds", "2", "--song", os.path.join(tool.assets, "ZEB_27.DMP"), "--raw", "named.raw")
    check(open(tool.path("named.raw"), "rb").read() == open(tool.path("committed.raw"), "rb").read(),
          "--song on the committed song differs from the default")
    result = tool.run("sound", "--seconds", "1", "--song", os.path.join(folder, "missing.dmp"), "--raw", "x.raw")
    check(result.returncode == 1 and b"missing.dmp" in result.stderr, "a missing --song file is not reported")


def case_textpage(tool):
    rows = tool.ok("textpage").split("\n")
    check(rows[-1] == "", "no line end after the last row")
    rows = rows[:-1]
    check(len(rows) == 25 and all(len(row) == 40 for row in rows), f"not 25 rows of 40: {rows}")
    committed = open(os.path.join(tool.assets, "text_page.txt")).read().replace("\r\n", "\n").rstrip("\n")
    check(rows == committed.split("\n"), "the page differs from assets/text_page.txt")
    # --text: the file's rows padded to 40 x 25, lower case as capitals; a
    # relative path is taken from where the tool started, also with --assets.
    with open(tool.path("own.txt"), "wb") as page:
        page.write(b"OUR INTRO\r\n\r\n   presents 2!\n")
    rows = tool.ok("--text", "own.txt", "textpage").split("\n")
    wanted = ["OUR INTRO".ljust(40), " " * 40, "   PRESENTS 2!".ljust(40)] + [" " * 40] * 22 + [""]
    check(rows == wanted, f"--text: the rows are {rows}")
    check(tool.ok("frames", "2", "--text", "own.txt") != tool.ok("frames", "2"), "--text: the built-in page's frames")


def ffprobe(path, *args):
    out = subprocess.run(["ffprobe", "-v", "error", *args, "-of", "default=nw=1", path],
                         stdout=subprocess.PIPE, check=True).stdout.decode()
    return dict(line.split("=", 1) for line in out.splitlines() if "=" in line)


def psnr_per_frame(video, pngs, scale, fps):
    """PSNR in RGB of each of the video's frames against the PNG sequence
    `pngs` (a pattern like f%03d.png) scaled up by nearest neighbour, the
    video converted to RGB with accurate rounding and chroma interpolation."""
    stats = video + ".psnr"
    graph = (f"[0:v]scale=flags=bicubic+accurate_rnd+full_chroma_int,format=rgb24[a];"
             f"[1:v]scale=iw*{scale}:ih*{scale}:flags=neighbor,format=rgb24[b];"
             f"[a][b]psnr=stats_file={os.path.basename(stats)}")
    subprocess.run(["ffmpeg", "-v", "error", "-i", video, "-framerate", str(fps), "-i", pngs, "-lavfi", graph,
                    "-f", "null", "-"], cwd=os.path.dirname(stats), check=True)
    with open(stats) as lines:
        values = [float(re.search(r"psnr_avg:([0-9.]+|inf)", line).group(1)) for line in lines]
    os.remove(stats)
    return values


def sound_track(path):
    pcm = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-f", "s16le", "-ac", "1", "-ar", str(RATE), "-"],
                         stdout=subprocess.PIPE, check=True).stdout
    return struct.unpack(f"<{len(pcm) // 2}h", pcm)


def case_video(tool):
    if not (shutil.which("ffmpeg") and shutil.which("ffprobe")):
        print("SKIP: ffmpeg is not installed")
        return SKIP
    # The defaults: 50 frames a second (every second frame), twice the size.
    tool.ok("video", "1.02", "one.mp4")
    check(os.listdir(tool.work) == ["one.mp4"], f"left behind: {os.listdir(tool.work)}")
    video = ffprobe(tool.path("one.mp4"), "-select_streams", "v:0", "-count_frames", "-show_entries",
                    "stream=width,height,r_frame_rate,nb_read_frames,pix_fmt")
    check(video == {"width": "1280", "height": "800", "r_frame_rate": "50/1", "nb_read_frames": "51",
                    "pix_fmt": "yuv420p"}, f"video stream {video}")
    audio = ffprobe(tool.path("one.mp4"), "-select_streams", "a:0", "-show_entries", "stream=sample_rate,channels")
    check(audio == {"sample_rate": "44100", "channels": "1"}, f"audio stream {audio}")
    # Every one of its 51 frames (video frame n is the intro's frame 2n, the
    # light and the text moving throughout) at 45 dB or more.
    for n in range(51):
        tool.ok("png", str(2 * n), f"frame{n:03d}.png")
    values = psnr_per_frame(tool.path("one.mp4"), "frame%03d.png", 2, 50)
    check(len(values) == 51, f"PSNR of {len(values)} frames, expected 51")
    worst = min(range(51), key=lambda n: values[n])
    print(f"PSNR at the defaults: min {values[worst]:.2f} dB (video frame {worst}), "
          f"median {sorted(values)[25]:.2f} dB")
    check(values[worst] >= 45, f"video frame {worst}: PSNR {values[worst]:.2f} dB against the PNG, expected at least 45")

    # The sound track: the silence the ring plays before the first written
    # sound, then the tune high-passed, so centred on zero.
    tool.ok("video", "3", "three.mp4", "--scale", "1", "--quality", "30")
    check(ffprobe(tool.path("three.mp4"), "-select_streams", "v:0", "-show_entries", "stream=width,height") ==
          {"width": "640", "height": "400"}, "--scale 1")
    track = sound_track(tool.path("three.mp4"))
    check(abs(len(track) - 3 * RATE) < 2048, f"sound track of {len(track)} samples")
    lead = track[:LEAD_IN_SAMPLES - 2048]
    tune = track[LEAD_IN_SAMPLES + 2048:]
    check(max(abs(s) for s in lead) < 500, "no silence before the tune")
    check(sum(abs(s) for s in tune) / len(tune) > 500, "no tune after the silence")
    mean = sum(track[RATE:]) / len(track[RATE:])
    check(abs(mean) < 0.01 * 32768, f"the sound track's mean after the first second is {mean:.0f}")

    # 100 a second keeps every frame; --exact-sound keeps the player's offset.
    # --chroma 444 keeps a chroma sample per pixel.
    tool.ok("video", "0.5", "every.mkv", "--fps=100", "--scale", "1", "--quality", "30", "--exact-sound",
            "--chroma", "444")
    every = ffprobe(tool.path("every.mkv"), "-select_streams", "v:0", "-count_frames", "-show_entries",
                    "stream=r_frame_rate,nb_read_frames,pix_fmt")
    check(every == {"r_frame_rate": "100/1", "nb_read_frames": "50", "pix_fmt": "yuv444p"}, f"--fps 100: {every}")
    exact = sound_track(tool.path("every.mkv"))[LEAD_IN_SAMPLES + 2048:]
    check(abs(sum(exact) / len(exact)) > 0.1 * 32768, "--exact-sound took the offset out")


def case_video_interrupted(tool):
    if not shutil.which("ffmpeg"):
        print("SKIP: ffmpeg is not installed")
        return SKIP
    for sig in (signal.SIGINT, signal.SIGTERM):
        process = subprocess.Popen([tool.program, "--assets", tool.assets, "video", "60", "long.mp4"],
                                   cwd=tool.work, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        # Wait until ffmpeg writes, then interrupt.
        for _ in range(600):
            names = os.listdir(tool.work)
            if names and os.path.getsize(os.path.join(tool.work, names[0])) > 0:
                break
            time.sleep(0.1)
        check(process.poll() is None, "the video ended before it could be interrupted")
        process.send_signal(sig)
        process.wait(timeout=60)
        check(process.returncode == -sig, f"{sig.name}: exit {process.returncode}, expected death by the signal")
        check(os.listdir(tool.work) == [], f"{sig.name}: left behind {os.listdir(tool.work)}")


def case_video_unwritable(tool):
    if not shutil.which("ffmpeg"):
        print("SKIP: ffmpeg is not installed")
        return SKIP
    missing = os.path.join(tool.work, "no such folder", "out.mp4")
    result = tool.run("video", "1", missing)
    stderr = result.stderr.decode()
    check(result.returncode == 1 and f"cannot write {missing}:" in stderr, f"unclear error {stderr!r}")
    # ffmpeg refusing the file (no container for the extension) is an error too.
    result = tool.run("video", "0.1", "out.not-a-container")
    check(result.returncode == 1 and "ffmpeg could not make" in result.stderr.decode(),
          f"ffmpeg failing: exit {result.returncode}, {result.stderr.decode()!r}")
    check(os.listdir(tool.work) == [], f"left behind: {os.listdir(tool.work)}")


def case_video_without_ffmpeg(tool):
    empty = tempfile.mkdtemp(dir=tool.work)
    env = dict(os.environ, PATH=empty)
    result = tool.run("video", "1", "none.mp4", env=env)
    stderr = result.stderr.decode()
    check(result.returncode == 1, f"exit {result.returncode}, expected 1")
    check("ffmpeg" in stderr and "not found" in stderr, f"unclear error {stderr!r}")
    check(not os.path.exists(tool.path("none.mp4")), "an output file without ffmpeg")


CASES = {
    "usage": case_usage, "unwritable": case_unwritable, "frames": case_frames, "png": case_png,
    "sound": case_sound, "song": case_song, "textpage": case_textpage, "video": case_video, "video-interrupted": case_video_interrupted, "video-unwritable": case_video_unwritable,
    "video-without-ffmpeg": case_video_without_ffmpeg,
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=sorted(CASES))
    parser.add_argument("--program", required=True)
    parser.add_argument("--assets", required=True)
    parser.add_argument("--work", required=True)
    options = parser.parse_args()
    os.makedirs(options.work, exist_ok=True)
    work = tempfile.mkdtemp(prefix=options.case + ".", dir=options.work)
    tool = Tool(os.path.abspath(options.program), os.path.abspath(options.assets), work)
    try:
        status = CASES[options.case](tool) or 0
    except Failure as failure:
        print(f"FAIL: {failure}\n(work folder kept: {work})")
        return 1
    shutil.rmtree(work, ignore_errors=True)
    if status == 0:
        print(f"PASS: {options.case}")
    return status


if __name__ == "__main__":
    sys.exit(main())
