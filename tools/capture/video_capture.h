// The picture and the sound together as a video file, through ffmpeg.
#pragma once

#include "command_line.h"

// Renders request.videoFrames frames at 100 a second with
// request.sampleCount samples of sound beside them. The sound track is what
// the intro's ring plays from the moment the sound starts: the silence of
// the regions the player's first calls leave unwritten, then the tune. False
// (after saying why) if ffmpeg is missing or fails, or a file can't be written.
bool RunVideo(const CaptureRequest& request);
