/* Loaded into the intro (LD_PRELOAD) by the pace case: every present takes
 * QUILLMOOR_TEST_PRESENT_MS milliseconds longer, as on a slow display, while
 * the program itself stays as shipped. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
#include <time.h>

typedef struct SDL_Renderer SDL_Renderer;

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
