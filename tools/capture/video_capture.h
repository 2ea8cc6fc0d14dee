// The picture and the sound together as a video file, through ffmpeg.
#pragma once

#include "command_line.h"

// Renders the intro's frames (every one at 100 a second, every second one
// at 50) with request.sampleCount samples of sound beside them, scaled up
// and encoded as asked. The sound track is what the intro's ring plays from
// the moment the sound starts: the silence of the regions the player's
// first calls leave unwritten, then the tune, high-passed and faded in
// when request.dcBlock. The file appears only when complete: ffmpeg writes
// a temporary name beside it, removed on any failure or on Ctrl-C. False
// (after saying why) if ffmpeg is missing or fails, or a file can't be
// written. Linux and other POSIX systems only.
bool RunVideo(const CaptureRequest& request);

// The signal (Ctrl-C's SIGINT, SIGTERM or SIGHUP) that stopped RunVideo, or
// 0; the caller then ends the way that signal ends a program.
int VideoInterruptedBy();
