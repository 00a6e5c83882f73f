// LD_PRELOAD probe that times a program from the outside through its buffer swaps, so that the
// game and the bare programs are measured the same way without changing any of them.
//   PELMORA_BENCH_MODE=startup: at the first presented frame, write the time and exit.
//   PELMORA_BENCH_MODE=frames:  skip PELMORA_BENCH_WARMUP frames, time PELMORA_BENCH_FRAMES
//                               more, write the elapsed time and exit.
// PELMORA_BENCH_OUT names the result file. PELMORA_BENCH_PIN_SEED=1 moves the main program's
// clock so that its first reading seeds a 49-petal flower, the heaviest frame the game draws.
// In startup mode the probe also notes the first glClear (where the first frame's drawing
// begins) and, when PELMORA_BENCH_STEPS names a file, appends to it the time the main program
// spent in each of its SDL start-up calls and texture uploads before the first frame, one
// "<call> <milliseconds> <calls>" line each, then a "-" line.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

typedef struct SDL_Window SDL_Window;

static int (*realClockGettime)(clockid_t, struct timespec*);

static int64_t monotonicNs(void) {
    struct timespec now;
    if (!realClockGettime)
        realClockGettime = (int (*)(clockid_t, struct timespec*))dlsym(RTLD_NEXT, "clock_gettime");
    realClockGettime(CLOCK_MONOTONIC, &now);
    return (int64_t)now.tv_sec * 1000000000 + now.tv_nsec;
}

static long envLong(const char* name, long fallback) {
    const char* value = getenv(name);
    return value && *value ? strtol(value, NULL, 10) : fallback;
}

// ---- Asset loading span: from the first texture file opened to the next clock reading of
// the main program (the game reads the clock for its seed right after its last resource).
static int64_t loadStartNs = -1;
static int64_t loadEndNs = -1;

static void noteOpen(const char* path) {
    if (loadStartNs < 0 && path) {
        size_t length = strlen(path);
        if (length > 4 && strcmp(path + length - 4, ".glt") == 0)
            loadStartNs = monotonicNs();
    }
}

// open and open64 differ only in the name they forward to. The mode argument is there only when
// the flags create a file.
#define PELMORA_WRAP_OPEN(name)                                                                    \
    int name(const char* path, int flags, ...) {                                                   \
        static int (*real)(const char*, int, ...);                                                 \
        mode_t mode = 0;                                                                           \
        if (flags & (O_CREAT | O_TMPFILE)) {                                                       \
            va_list args;                                                                          \
            va_start(args, flags);                                                                 \
            mode = va_arg(args, mode_t);                                                           \
            va_end(args);                                                                          \
        }                                                                                          \
        noteOpen(path);                                                                            \
        if (!real)                                                                                 \
            real = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, #name);                        \
        return real(path, flags, mode);                                                            \
    }

PELMORA_WRAP_OPEN(open)
PELMORA_WRAP_OPEN(open64)

// ---- The main program's clock.
static uintptr_t mainTextStart, mainTextEnd;

static int findMainText(struct dl_phdr_info* info, size_t size, void* data) {
    (void)size;
    (void)data;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)* header = &info->dlpi_phdr[i];
        if (header->p_type == PT_LOAD && (header->p_flags & PF_X)) {
            mainTextStart = info->dlpi_addr + header->p_vaddr;
            mainTextEnd = mainTextStart + header->p_memsz;
        }
    }
    return 1; // the main program comes first
}

static int fromMainProgram(const void* caller) {
    if (mainTextEnd == 0)
        dl_iterate_phdr(findMainText, NULL);
    return (uintptr_t)caller >= mainTextStart && (uintptr_t)caller < mainTextEnd;
}

// The game's generator: 20 + 30 r / 32767 petals from r = ((seed * 214013 + 2531011) >> 16).
static uint32_t heaviestSeed(void) {
    for (uint32_t seed = 100000;; ++seed) {
        uint32_t r = ((seed * 214013u + 2531011u) >> 16) & 0x7FFF;
        if (r >= 31675)
            return seed;
    }
}

static int pinSeed = -1;
static int64_t clockShiftNs;

int clock_gettime(clockid_t clock, struct timespec* out) {
    if (!realClockGettime)
        realClockGettime = (int (*)(clockid_t, struct timespec*))dlsym(RTLD_NEXT, "clock_gettime");
    int result = realClockGettime(clock, out);
    if (result != 0 || clock != CLOCK_MONOTONIC || !fromMainProgram(__builtin_return_address(0)))
        return result;
    int64_t now = (int64_t)out->tv_sec * 1000000000 + out->tv_nsec;
    if (loadStartNs >= 0 && loadEndNs < 0)
        loadEndNs = now;
    if (pinSeed < 0) {
        pinSeed = envLong("PELMORA_BENCH_PIN_SEED", 0) != 0;
        if (pinSeed)
            clockShiftNs = (int64_t)heaviestSeed() * 1000000 + 500000 - now;
    }
    if (pinSeed) {
        now += clockShiftNs;
        out->tv_sec = now / 1000000000;
        out->tv_nsec = now % 1000000000;
    }
    return result;
}

// ---- Start-up by step: the main program's own calls, timed from entry to return. Calls that SDL
// or libGLU make among themselves are not counted (SDL reaches its own functions directly).
enum { StepCount = 20 };
static const char* stepNames[StepCount];
static int64_t stepNs[StepCount];
static long stepCalls[StepCount];
static int64_t frameStartNs = -1;
static int64_t firstStepNs = -1;
static int firstSwapDone;

static void noteStep(int index, const char* name, int64_t startNs) {
    if (firstSwapDone || index >= StepCount)
        return;
    if (firstStepNs < 0)
        firstStepNs = startNs;
    stepNames[index] = name;
    stepNs[index] += monotonicNs() - startNs;
    ++stepCalls[index];
}

static void writeSteps(void) {
    const char* path = getenv("PELMORA_BENCH_STEPS");
    FILE* file = path && *path ? fopen(path, "a") : NULL;
    if (!file)
        return;
    int64_t inSteps = 0;
    for (int i = 0; i < StepCount; ++i)
        if (stepNames[i]) {
            fprintf(file, "%s %.3f %ld\n", stepNames[i], (double)stepNs[i] / 1e6, stepCalls[i]);
            inSteps += stepNs[i];
        }
    // The harness's clock reading before fork: what came before the first call (loading the
    // libraries, the program's own start) and what no timed call holds up to the first clear.
    const long long started = (long long)envLong("PELMORA_BENCH_STARTED_NS", -1);
    if (started > 0 && firstStepNs > started && frameStartNs > firstStepNs) {
        fprintf(file, "(before-first-call) %.3f 1\n", (double)(firstStepNs - started) / 1e6);
        fprintf(file, "(between-calls) %.3f 1\n",
                (double)(frameStartNs - firstStepNs - inSteps) / 1e6);
        fprintf(file, "(first-frame) %.3f 1\n", (double)(monotonicNs() - frameStartNs) / 1e6);
    }
    fputs("-\n", file);
    fclose(file);
}

#define PELMORA_STEP(index, result, name, parameters, arguments)                                   \
    result name parameters {                                                                       \
        static result(*real) parameters;                                                           \
        if (!real)                                                                                 \
            real = (result(*) parameters)dlsym(RTLD_NEXT, #name);                                  \
        const int counted = fromMainProgram(__builtin_return_address(0));                          \
        const int64_t started = monotonicNs();                                                     \
        result value = real arguments;                                                             \
        if (counted)                                                                               \
            noteStep(index, #name, started);                                                       \
        return value;                                                                              \
    }
#define PELMORA_VOID_STEP(index, name, parameters, arguments)                                      \
    void name parameters {                                                                         \
        static void(*real) parameters;                                                             \
        if (!real)                                                                                 \
            real = (void(*) parameters)dlsym(RTLD_NEXT, #name);                                    \
        const int counted = fromMainProgram(__builtin_return_address(0));                          \
        const int64_t started = monotonicNs();                                                     \
        real arguments;                                                                            \
        if (counted)                                                                               \
            noteStep(index, #name, started);                                                       \
    }

typedef uint32_t Uint32;
PELMORA_STEP(0, int, SDL_Init, (Uint32 flags), (flags))
PELMORA_STEP(1, int, SDL_InitSubSystem, (Uint32 flags), (flags))
PELMORA_STEP(2, int, SDL_GetDesktopDisplayMode, (int display, void* mode), (display, mode))
PELMORA_STEP(3, int, SDL_GetNumDisplayModes, (int display), (display))
PELMORA_STEP(4, SDL_Window*, SDL_CreateWindow,
             (const char* title, int x, int y, int w, int h, Uint32 flags),
             (title, x, y, w, h, flags))
PELMORA_STEP(5, int, SDL_SetWindowDisplayMode, (SDL_Window * window, const void* mode),
             (window, mode))
PELMORA_STEP(6, void*, SDL_GL_CreateContext, (SDL_Window * window), (window))
PELMORA_STEP(7, int, SDL_GL_MakeCurrent, (SDL_Window * window, void* context), (window, context))
PELMORA_STEP(8, void*, SDL_GL_GetProcAddress, (const char* name), (name))
PELMORA_STEP(9, int, SDL_GL_SetSwapInterval, (int interval), (interval))
PELMORA_VOID_STEP(10, SDL_ShowWindow, (SDL_Window * window), (window))
PELMORA_VOID_STEP(11, SDL_RaiseWindow, (SDL_Window * window), (window))
PELMORA_STEP(12, int, SDL_ShowCursor, (int toggle), (toggle))
PELMORA_VOID_STEP(13, SDL_WarpMouseInWindow, (SDL_Window * window, int x, int y), (window, x, y))
PELMORA_VOID_STEP(14, SDL_PumpEvents, (void), ())
PELMORA_STEP(15, int, SDL_PollEvent, (void* event), (event))
PELMORA_VOID_STEP(16, glTexImage2D,
                  (unsigned target, int level, int internalFormat, int width, int height,
                   int border, unsigned format, unsigned type, const void* pixels),
                  (target, level, internalFormat, width, height, border, format, type, pixels))
PELMORA_STEP(17, int, gluBuild2DMipmaps,
             (unsigned target, int components, int width, int height, unsigned format,
              unsigned type, const void* data),
             (target, components, width, height, format, type, data))

// The first frame's drawing begins with its clear.
void glClear(unsigned mask) {
    static void (*real)(unsigned);
    if (!real)
        real = (void (*)(unsigned))dlsym(RTLD_NEXT, "glClear");
    if (frameStartNs < 0)
        frameStartNs = monotonicNs();
    real(mask);
}

// ---- Frames.
static void finish(const char* text) {
    const char* path = getenv("PELMORA_BENCH_OUT");
    FILE* file = path ? fopen(path, "w") : stdout;
    if (file) {
        fputs(text, file);
        fclose(file);
    }
    _exit(0);
}

void SDL_GL_SwapWindow(SDL_Window* window) {
    static void (*realSwap)(SDL_Window*);
    static void (*glFinishCall)(void);
    static long frame, warmup = -1, frames;
    static int startupMode;
    static int64_t timedFrom;
    if (!realSwap) {
        realSwap = (void (*)(SDL_Window*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
        glFinishCall = (void (*)(void))dlsym(RTLD_DEFAULT, "glFinish");
        const char* mode = getenv("PELMORA_BENCH_MODE");
        startupMode = mode && strcmp(mode, "startup") == 0;
        warmup = envLong("PELMORA_BENCH_WARMUP", 50);
        frames = envLong("PELMORA_BENCH_FRAMES", 500);
    }
    realSwap(window);
    if (glFinishCall)
        glFinishCall();
    ++frame;
    firstSwapDone = 1;
    char text[160];
    if (startupMode) {
        int64_t now = monotonicNs();
        snprintf(text, sizeof text, "%lld %lld %lld %lld\n", (long long)now, (long long)loadStartNs,
                 (long long)loadEndNs, (long long)frameStartNs);
        writeSteps();
        finish(text);
    }
    if (frame == warmup)
        timedFrom = monotonicNs();
    if (frame == warmup + frames) {
        snprintf(text, sizeof text, "%ld %lld\n", frames, (long long)(monotonicNs() - timedFrom));
        finish(text);
    }
}
