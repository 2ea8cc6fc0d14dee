"""The picture in a screenshot of the Linux intro's window, and which frame
of the core it is: quillmoor-capture, which runs the same core without a
window, prints each frame's hash."""
import subprocess
import time

from checks import check

PICTURE_W, PICTURE_H = 640, 400
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
FRAME_SEARCH_LIMIT = 20000


def frame_number(session, picture, reference_args=()):
    """The number of the frame the core draws that equals a 640 x 400 picture
    (drawn from the session's assets, or as reference_args choose: --assets,
    --text)."""
    check((picture.width, picture.height) == (PICTURE_W, PICTURE_H), "not a whole picture")
    # The capture tool prints each frame's hash (FNV-1a 64 of blue, green,
    # red, 0 per pixel); its frame i is the picture after i + 1 turns.
    serial = bytearray(len(picture.rgb) // 3 * 4)
    serial[0::4], serial[1::4], serial[2::4] = picture.rgb[2::3], picture.rgb[1::3], picture.rgb[0::3]
    wanted = 0xcbf29ce484222325
    for byte in serial:
        wanted = ((wanted ^ byte) * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF
    wanted, answer = f"{wanted:016x}", "none"
    with subprocess.Popen([session.options.reference, *reference_args, "frames", str(FRAME_SEARCH_LIMIT)],
                          cwd=session.folder,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True) as frames:
        for line in frames.stdout:
            if line.split()[1] == wanted:
                answer = str(int(line.split()[0]) + 1)
                break
        frames.kill()
    check(answer != "none",
          f"the window shows no frame the core draws in its first {FRAME_SEARCH_LIMIT} "
          f"({answer}); colours on screen: {sorted(picture.colours())[:8]}")
    return int(answer)


def check_picture_at(session, window, scale, background=WHITE):
    """The window shows a frame of the intro at a whole-number scale, centred,
    with the background colour (white in a window, black in fullscreen)
    around it. Returns the frame's number."""
    return frame_number(session, picture_at(session.x.screenshot(window), scale, background))


def picture_at(shot, scale, background=WHITE):
    """The 640 x 400 picture in a screenshot at a whole-number scale, after
    checking the bands around it are all `background`."""
    name = "white" if background == WHITE else "black"
    w, h = PICTURE_W * scale, PICTURE_H * scale
    left, top = (shot.width - w) // 2, (shot.height - h) // 2
    check(left >= 0 and top >= 0, f"window {shot.width} x {shot.height} too small for {scale}x")
    if top > 0:
        check(shot.crop(0, 0, shot.width, top).is_uniform(background),
              f"the band above isn't {name}")
        check(shot.crop(0, top + h, shot.width, shot.height - top - h).is_uniform(background),
              f"the band below isn't {name}")
    if left > 0:
        check(shot.crop(0, 0, left, shot.height).is_uniform(background),
              f"the band at left isn't {name}")
        check(shot.crop(left + w, 0, shot.width - left - w, shot.height).is_uniform(background),
              f"the band at right isn't {name}")
    picture = shot.crop(left, top, w, h)
    check(not picture.is_uniform(background), f"the picture is blank {name}: nothing presented")
    while scale > 1:
        check(scale % 2 == 0, "only scales that are powers of two are checked")
        half = picture.halved()
        check(half.doubled().rgb == picture.rgb,
              "the picture isn't made of whole 2 x 2 blocks: scaled with blur or unevenly")
        picture, scale = half, scale // 2
    return picture


def timed_screenshots(session, window, count=3):
    """A few screenshots a tenth of a second apart, each with its time."""
    taken = []
    for _ in range(count):
        before = time.monotonic()
        shot = session.x.screenshot(window)
        taken.append((shot, (before + time.monotonic()) / 2))
        time.sleep(0.1)
    return taken


def freshest_frame(session, taken):
    """Of timed screenshots, (frame, time) of the one furthest ahead of a
    clock at one frame per 9.5 ms. A screenshot can only show a frame older
    than the turns run (a present still to come, a moment a busy machine
    kept the intro waiting), never a newer one."""
    frames = [(frame_number(session, picture_at(shot, 1)), at) for shot, at in taken]
    return max(frames, key=lambda frame_at: frame_at[0] - frame_at[1] * 1000 / 9.5)
