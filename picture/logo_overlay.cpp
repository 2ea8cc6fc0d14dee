// PLACEHOLDER until the logo lands.
#include "picture/logo_overlay.h"

void InitLogo() {}
void ApplyLogo() {}
