#!/usr/bin/env python3
"""Empties a FIFO at real-time pace, BYTES_PER_SECOND, as a sound card
takes its samples: the right to read grows with the time passed, but not
beyond 20 ms of sound while the writer is idle (a card doesn't play ahead
what it was never given). Each session (one opening of the FIFO by a
writer) is kept in a file of its own in FOLDER.

Usage: realtime_reader.py FIFO FOLDER BYTES_PER_SECOND HEADER
HEADER: bytes at the start of each session that are read at once."""
import os
import select
import sys
import time


def main():
    fifo, folder, rate, header = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    cap = rate * 0.020
    session = 0
    while True:
        fd = os.open(fifo, os.O_RDONLY)   # waits for a writer
        session += 1
        started = last = time.monotonic()
        allowed, got = float(header), 0
        with open(os.path.join(folder, f"session-{session:03d}.wav"), "wb") as out:
            while True:
                now = time.monotonic()
                allowed = min(allowed + (now - last) * rate, max(allowed, cap))
                last = now
                if allowed < 2:
                    time.sleep(0.002)
                    continue
                if not select.select([fd], [], [], 0.010)[0]:
                    continue
                chunk = os.read(fd, int(allowed))
                if not chunk:
                    break   # the writer closed: the session ends
                out.write(chunk)
                out.flush()
                got += len(chunk)
                allowed -= len(chunk)
        os.close(fd)
        print(f"session {session}: {got} bytes in {time.monotonic() - started:.3f} s", flush=True)


if __name__ == "__main__":
    main()
