// The background of every frame: a point light drifting over a plane, seen
// through a fixed spherical lens while the view turns and sways.
#pragma once

struct EffectState {
    double FrameCounter = 0.0;   // frames drawn so far; the effect's time base
};

extern EffectState Effect;

void BuildLensTable();
void RenderEffect();
