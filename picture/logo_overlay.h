// The logo: brightens the picture under its non-zero pixels.
#pragma once

void InitLogo();
void ApplyLogo();
