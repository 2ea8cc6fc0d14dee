// PLACEHOLDER until the effect lands.
#include "picture/lens_effect.h"

EffectState Effect;
void BuildLensTable() {}
void RenderEffect() {}
