// The renderer that draws the picture in the SDL window.
#pragma once

#include <SDL.h>

// Makes it for a window that is still hidden: an OpenGL renderer has SDL
// replace the window with one of a GL-capable visual, which on a shown
// window flashes it and can leave SDL waiting forever for the old window's
// unmap while a window manager is starting. Null when none can be made.
//
// A graphics card's renderer with vsync where offered (the clock paces the
// turns, the display the presents). Where OpenGL only rasterises with the
// processor (Mesa's llvmpipe or softpipe: no graphics card, a virtual
// machine, a remote display), SDL's own software renderer instead: OpenGL's
// scaled copy then costs a core's worth at 2x, SDL's scaling into the window
// system's surface a fifth of it.
SDL_Renderer* MakeRenderer(SDL_Window* window);
