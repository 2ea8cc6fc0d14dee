// The wobbling page of text, drawn as a negative of the picture beneath it.
#pragma once

void LoadFont();
void DrawTextPage();
