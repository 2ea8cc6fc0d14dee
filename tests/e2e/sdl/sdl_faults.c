/* Loaded into the intro (LD_PRELOAD) by some end-to-end cases to give it a
 * harder display than Xvfb, while the program itself stays as shipped:
 *   QUILLMOOR_TEST_PRESENT_MS=N     every present takes N ms longer (a slow display)
 *   QUILLMOOR_TEST_FAIL=window      no window can be made
 *   QUILLMOOR_TEST_FAIL=renderer    no renderer can be made for the window */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

typedef struct SDL_Window SDL_Window;
typedef struct SDL_Renderer SDL_Renderer;

static int Failing(const char* what)
{
    const char* fail = getenv("QUILLMOOR_TEST_FAIL");
    return fail && strcmp(fail, what) == 0;
}

void SDL_RenderPresent(SDL_Renderer* renderer)
{
    static void (*present)(SDL_Renderer*);
    static long delay = -1;
    if (!present) present = (void (*)(SDL_Renderer*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
    if (delay < 0) {
        const char* text = getenv("QUILLMOOR_TEST_PRESENT_MS");
        delay = text ? atol(text) : 0;
    }
    if (delay > 0) {
        struct timespec pause = {delay / 1000, delay % 1000 * 1000000L};
        nanosleep(&pause, NULL);
    }
    present(renderer);
}

SDL_Window* SDL_CreateWindow(const char* title, int x, int y, int w, int h, uint32_t flags)
{
    SDL_Window* (*create)(const char*, int, int, int, int,
                          uint32_t) = (SDL_Window * (*)(const char*, int, int, int, int, uint32_t))
        dlsym(RTLD_NEXT, "SDL_CreateWindow");
    return Failing("window") ? NULL : create(title, x, y, w, h, flags);
}

SDL_Renderer* SDL_CreateRenderer(SDL_Window* window, int index, uint32_t flags)
{
    SDL_Renderer* (*create)(SDL_Window*, int, uint32_t) = (SDL_Renderer * (*)(SDL_Window*, int, uint32_t))
        dlsym(RTLD_NEXT, "SDL_CreateRenderer");
    return Failing("renderer") ? NULL : create(window, index, flags);
}
