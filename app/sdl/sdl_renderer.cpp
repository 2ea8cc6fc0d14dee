#include "app/sdl/sdl_renderer.h"

#include <cstring>
#include <initializer_list>

namespace {

bool RastersInSoftware(SDL_Renderer* renderer)
{
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strncmp(info.name, "opengl", 6) != 0) return false;
    using GetString = const unsigned char* (*)(unsigned);
    constexpr unsigned GlRenderer = 0x1F01;
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const char* name = getString ? reinterpret_cast<const char*>(getString(GlRenderer)) : nullptr;
    if (!name) return false;
    for (const char* software : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"})
        if (std::strstr(name, software)) return true;
    return false;
}

}   // namespace

SDL_Renderer* MakeRenderer(SDL_Window* window)
{
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (renderer && RastersInSoftware(renderer)) {
        SDL_DestroyRenderer(renderer);
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
        if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    }
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    return renderer;
}
