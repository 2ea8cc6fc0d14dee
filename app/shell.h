// The texts and timings every front end shares: the console lines, the
// window's title, the sound warning and the length of one turn of the loop.
#pragma once

#include <cstdint>

inline constexpr char WindowTitle[] = "Quillmoor-2014";   // also the Windows class name
inline constexpr char BannerLine[] = "\nQuillmoor & #plinthcrew - Cloudparcel - Volume #1\n";
inline constexpr char ClosingLine[] = "\n\nWinStreamer successfully closed.\n\n";

inline constexpr char SoundWarningCaption[] = "ERROR";
inline constexpr char SoundWarningText[] = "ERROR: Can't open the SoundServer.";

// Each turn of the loop ends with this sleep; with the frame's own work a turn
// lasts about TurnMilliseconds on a desktop, the pace the animation is made for.
inline constexpr uint32_t TurnSleepMilliseconds = 9;
inline constexpr double TurnMilliseconds = 9.5;
