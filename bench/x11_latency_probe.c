/* Measures what a viewer sees: from a real X key press or button press (XTest) to the first pixel
 * that changes in a screen area. Runs on Linux against the X display the programs draw on.
 *
 *   x11_latency_probe --label NAME --area X,Y,W,H [--presses N] [--warmup N] [--gap-ms MS]
 *                     [--timeout-ms MS] [--keys LETTERS] [--ready-ms MS]
 *                     [--click X,Y,X2,Y2 --click-area X,Y,W,H]
 *                     [--root-color RRGGBB] [--log FILE] [--verbose] [--hold] [--no-shm] [--spin]
 *
 * Each press waits until the area is still, takes it as the baseline, presses (the key or button
 * is released 60 ms later, as a finger would), and polls the area until a pixel differs. A press
 * with no change within --timeout-ms counts as not seen. The warm-up presses are not counted; the
 * first of them waits up to --ready-ms for the program to show anything at all. With --click, the
 * left button is then pressed the same way, alternately at the two points, watching --click-area.
 * Prints one line per kind: RESULT NAME key|click COUNT SEEN MEDIAN_MS P95_MS MAX_MS. --log writes
 * one line per press: key|click, its number (warm-up below 0), the press time in 100 ns ticks of
 * CLOCK_MONOTONIC_RAW and the latency in ms (-1: not seen). --hold keeps each key or button down
 * until a change is seen; --no-shm reads the screen with plain XGetImage, and --spin polls without
 * pausing, as a screen recorder reads it. */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/XTest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <time.h>

static double now_ms(void) {
    struct timespec ts;
    /* The clock Wine's performance counter reads, so that a tracing build's stamps line up. */
    clock_gettime(CLOCK_MONOTONIC_RAW, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

static void sleep_ms(double ms) {
    struct timespec ts;
    ts.tv_sec = (time_t)(ms / 1000);
    ts.tv_nsec = (long)((ms - ts.tv_sec * 1000.0) * 1e6);
    nanosleep(&ts, NULL);
}

typedef struct {
    Display* dpy;
    Window root;
    int x, y, w, h;
    XImage* img;
    XShmSegmentInfo shm;
    int use_shm;
    size_t bytes;
} Grabber;

static int use_shm = 1;
static int hold_until_seen = 0;
static double poll_pause_ms = 0.25;

static int grabber_open(Grabber* g, Display* dpy, int x, int y, int w, int h) {
    memset(g, 0, sizeof *g);
    g->dpy = dpy;
    g->root = DefaultRootWindow(dpy);
    g->x = x, g->y = y, g->w = w, g->h = h;
    int scr = DefaultScreen(dpy);
    if (use_shm && XShmQueryExtension(dpy)) {
        g->img = XShmCreateImage(dpy, DefaultVisual(dpy, scr), DefaultDepth(dpy, scr), ZPixmap, NULL, &g->shm,
                                 w, h);
        if (g->img) {
            g->bytes = (size_t)g->img->bytes_per_line * h;
            g->shm.shmid = shmget(IPC_PRIVATE, g->bytes, IPC_CREAT | 0600);
            g->shm.shmaddr = g->img->data = shmat(g->shm.shmid, NULL, 0);
            g->shm.readOnly = False;
            if (g->shm.shmaddr != (char*)-1 && XShmAttach(dpy, &g->shm)) {
                XSync(dpy, False);
                shmctl(g->shm.shmid, IPC_RMID, NULL);
                g->use_shm = 1;
                return 1;
            }
        }
    }
    return 1;
}

static void grabber_close(Grabber* g) {
    if (g->use_shm) {
        XShmDetach(g->dpy, &g->shm);
        XDestroyImage(g->img);
        shmdt(g->shm.shmaddr);
    }
    g->use_shm = 0;
    g->img = NULL;
}

/* Copies the area into buf (g->bytes long after the first call); 0 on failure. */
static int grab(Grabber* g, unsigned char** buf) {
    if (g->use_shm) {
        if (!XShmGetImage(g->dpy, g->root, g->img, g->x, g->y, AllPlanes)) return 0;
        if (!*buf) *buf = malloc(g->bytes);
        memcpy(*buf, g->img->data, g->bytes);
        return 1;
    }
    XImage* im = XGetImage(g->dpy, g->root, g->x, g->y, (unsigned)g->w, (unsigned)g->h, AllPlanes, ZPixmap);
    if (!im) return 0;
    g->bytes = (size_t)im->bytes_per_line * g->h;
    if (!*buf) *buf = malloc(g->bytes);
    memcpy(*buf, im->data, g->bytes);
    XDestroyImage(im);
    return 1;
}

/* Polls without copying: 1 when the area differs from base. */
static int changed(Grabber* g, const unsigned char* base, long* where) {
    const unsigned char* now;
    XImage* im = NULL;
    if (g->use_shm) {
        if (!XShmGetImage(g->dpy, g->root, g->img, g->x, g->y, AllPlanes)) return 0;
        now = (const unsigned char*)g->img->data;
    } else {
        im = XGetImage(g->dpy, g->root, g->x, g->y, (unsigned)g->w, (unsigned)g->h, AllPlanes, ZPixmap);
        if (!im) return 0;
        now = (const unsigned char*)im->data;
    }
    int diff = memcmp(now, base, g->bytes) != 0;
    if (diff && where) {
        size_t i = 0;
        while (i < g->bytes && now[i] == base[i]) ++i;
        *where = (long)i;
    }
    if (im) XDestroyImage(im);
    return diff;
}

/* Waits until two grabs 40 ms apart agree (or 3 s pass) and leaves the last one in base. */
static void settle(Grabber* g, unsigned char** base) {
    unsigned char* prev = NULL;
    grab(g, &prev);
    for (double end = now_ms() + 3000; now_ms() < end;) {
        sleep_ms(40);
        grab(g, base);
        if (memcmp(prev, *base, g->bytes) == 0) break;
        memcpy(prev, *base, g->bytes);
    }
    free(prev);
}

static int cmp_double(const void* a, const void* b) {
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y;
}

static double at(double* v, int n, double fraction) {
    if (n == 0) return 0;
    qsort(v, (size_t)n, sizeof *v, cmp_double);
    int i = (int)(fraction * n);
    return v[i < n ? i : n - 1];
}

typedef struct {
    int is_click;
    unsigned keycode;
    int cx, cy;
} Press;

/* One press; the latency in ms, or -1 when nothing changed within timeout_ms. */
static double measure(Grabber* g, unsigned char** base, const Press* p, double timeout_ms, int verbose,
                      double* pressed_at) {
    Display* dpy = g->dpy;
    if (p->is_click) {
        XTestFakeMotionEvent(dpy, DefaultScreen(dpy), p->cx, p->cy, CurrentTime);
        XSync(dpy, False);
        sleep_ms(30);
    }
    settle(g, base);
    const double t0 = now_ms();
    *pressed_at = t0;
    if (p->is_click)
        XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
    else
        XTestFakeKeyEvent(dpy, p->keycode, True, CurrentTime);
    XFlush(dpy);
    double seen = -1;
    int released = 0;
    long where = 0;
    for (;;) {
        const double t = now_ms();
        if (!released && (hold_until_seen ? seen >= 0 || t - t0 > timeout_ms : t - t0 >= 60)) {
            if (p->is_click)
                XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
            else
                XTestFakeKeyEvent(dpy, p->keycode, False, CurrentTime);
            XFlush(dpy);
            released = 1;
        }
        if (seen < 0 && changed(g, *base, &where)) {
            seen = now_ms() - t0;
            if (verbose) {
                const long px = where / 4;
                fprintf(stderr, "  %s %.2f ms at (%ld, %ld)\n", p->is_click ? "click" : "key", seen,
                        g->x + px % (g->img ? g->img->bytes_per_line / 4 : g->w), g->y + px / (g->img ? g->img->bytes_per_line / 4 : g->w));
            }
        }
        if (seen >= 0 && released) break;
        if (t - t0 > timeout_ms && released) break;
        if (poll_pause_ms > 0) sleep_ms(poll_pause_ms);
    }
    return seen;
}

int main(int argc, char** argv) {
    const char* label = "program";
    int ax = 0, ay = 0, aw = 0, ah = 0;
    int presses = 60, warmup = 5, verbose = 0;
    double gap = 1500, timeout = 1000, ready = 30000;
    const char* keys = "qwertyuiopasdfghjklzxcvbnm";
    int clicks = 0, cx[2] = {0, 0}, cy[2] = {0, 0};
    int kx = 0, ky = 0, kw = 0, kh = 0;
    long root_color = -1;
    FILE* log = NULL;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : "";
        if (!strcmp(a, "--label")) label = v, ++i;
        else if (!strcmp(a, "--area")) sscanf(v, "%d,%d,%d,%d", &ax, &ay, &aw, &ah), ++i;
        else if (!strcmp(a, "--presses")) presses = atoi(v), ++i;
        else if (!strcmp(a, "--warmup")) warmup = atoi(v), ++i;
        else if (!strcmp(a, "--gap-ms")) gap = atof(v), ++i;
        else if (!strcmp(a, "--timeout-ms")) timeout = atof(v), ++i;
        else if (!strcmp(a, "--ready-ms")) ready = atof(v), ++i;
        else if (!strcmp(a, "--keys")) keys = v, ++i;
        else if (!strcmp(a, "--root-color")) root_color = strtol(v, NULL, 16), ++i;
        else if (!strcmp(a, "--click")) {
            if (sscanf(v, "%d,%d,%d,%d", &cx[0], &cy[0], &cx[1], &cy[1]) < 4) cx[1] = cx[0], cy[1] = cy[0];
            clicks = 1, ++i;
        } else if (!strcmp(a, "--click-area")) sscanf(v, "%d,%d,%d,%d", &kx, &ky, &kw, &kh), ++i;
        else if (!strcmp(a, "--log")) log = fopen(v, "w"), ++i;
        else if (!strcmp(a, "--verbose")) verbose = 1;
        else if (!strcmp(a, "--hold")) hold_until_seen = 1;
        else if (!strcmp(a, "--no-shm")) use_shm = 0;
        else if (!strcmp(a, "--spin")) poll_pause_ms = 0;
        else {
            fprintf(stderr, "x11_latency_probe: unknown argument %s\n", a);
            return 2;
        }
    }
    Display* dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fprintf(stderr, "x11_latency_probe: no X display\n");
        return 1;
    }
    int ev, er, maj, min;
    if (!XTestQueryExtension(dpy, &ev, &er, &maj, &min)) {
        fprintf(stderr, "x11_latency_probe: the display has no XTest\n");
        return 1;
    }
    if (root_color >= 0) {
        XSetWindowBackground(dpy, DefaultRootWindow(dpy), (unsigned long)root_color);
        XClearWindow(dpy, DefaultRootWindow(dpy));
        XSync(dpy, False);
    }
    if (aw <= 0 || ah <= 0) {
        fprintf(stderr, "x11_latency_probe: --area X,Y,W,H is required\n");
        return 2;
    }
    Grabber g;
    grabber_open(&g, dpy, ax, ay, aw, ah);
    unsigned char* base = NULL;
    grab(&g, &base);

    const int nkeys = (int)strlen(keys);
    double* samples = calloc((size_t)presses + 1, sizeof(double));
    int rc = 0;
    for (int kind = 0; kind < 1 + clicks; ++kind) {
        const int is_click = kind == 1;
        if (is_click) {
            if (kw <= 0 || kh <= 0) {
                fprintf(stderr, "x11_latency_probe: --click needs --click-area X,Y,W,H\n");
                return 2;
            }
            grabber_close(&g);
            grabber_open(&g, dpy, kx, ky, kw, kh);
            free(base);
            base = NULL;
            grab(&g, &base);
        }
        int n = 0, seen = 0;
        for (int i = -warmup; i < presses; ++i) {
            Press p = {is_click, 0, 0, 0};
            const int k = (i + warmup) % 2;
            if (is_click) {
                p.cx = cx[k], p.cy = cy[k];
            } else {
                char name[2] = {keys[(i + warmup) % nkeys], 0};
                p.keycode = XKeysymToKeycode(dpy, XStringToKeysym(name));
            }
            const double limit = (i == -warmup && !is_click) ? ready : timeout;
            double pressed = 0;
            const double start = now_ms();
            double ms = measure(&g, &base, &p, limit, verbose, &pressed);
            if (log) fprintf(log, "%s %d %.0f %.3f\n", is_click ? "click" : "key", i, pressed * 1e4, ms);
            if (i >= 0) {
                ++n;
                if (ms >= 0) samples[seen++] = ms;
                else if (verbose) fprintf(stderr, "  %s %d: nothing changed\n", is_click ? "click" : "key", i);
            }
            const double left = gap - (now_ms() - start);
            if (left > 0) sleep_ms(left);
        }
        const double med = at(samples, seen, 0.5), p95 = at(samples, seen, 0.95), mx = at(samples, seen, 1.0);
        printf("RESULT %s %s %d %d %.2f %.2f %.2f\n", label, is_click ? "click" : "key", n, seen, med, p95, mx);
        fflush(stdout);
        if (seen < n) rc = 3;
    }
    free(samples);
    if (log) fclose(log);
    free(base);
    XCloseDisplay(dpy);
    return rc;
}
