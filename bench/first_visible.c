/* Starts a program in an X server and watches its window as a player's eye
 * would: from fork/exec to the first moment the window shows a drawn frame,
 * not merely a mapped or cleared one. Then the program is ended.
 *
 *   kestrelon-bench-first-visible [--title PREFIX] [--timeout SECONDS]
 *       [--save FILE.ppm] [--expect X,Y,W,H,RRGGBB --view WxH] -- PROGRAM [ARGS...]
 *
 * The window: the topmost top-level window that is new since the start,
 * mapped, at least 64 x 64, and (with --title) whose name starts with PREFIX.
 * It is looked up again on every poll: SDL may make its window twice.
 *
 * A drawn frame: the window's pixels at the centres of a grid of 32 x 24
 * cells, each colour cut to 4 bits a channel, hold at least 4 distinct
 * colours and at least 5 % of the points differ from the commonest one. A
 * cleared window is one colour, X's root weave two; a menu or a field of
 * sprites is far past both. The pixels come from one MIT-SHM grab of the
 * whole window per poll (a plain XGetImage without the extension), a
 * millisecond apart.
 *
 * With --expect, a second moment is timed too: the first grab in which the
 * box X,Y,W,H of a view of --view's size (scaled into the window, aspect
 * kept, centred, as letterboxed) holds at least 2 % of its pixels within 30
 * of RRGGBB in each channel: a particular thing on screen, such as the
 * menu's highlighted item.
 *
 * Prints one line of key=value pairs:
 *   first_visible_ms  from just before fork to the start of the grab that
 *                     found the frame
 *   mapped_ms         to the first poll that found that window mapped
 *   windows           how many windows were taken for the program's in turn
 *                     (2 when SDL made its window again)
 *   expected_ms       (with --expect) to the grab that found the box's colour
 *   window            its size; polls: how many grabs; grab_ms: the median
 *                     grab's time (what the eye costs the X server)
 * and exits 0; on a time-out or a program that ended first, status= says
 * which and the exit status is 1. The program gets SIGTERM (its process
 * group), then SIGKILL after 5 s.
 */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { kGridColumns = 32, kGridRows = 24, kMinSide = 64, kMinColours = 4 };
static const double kMinDifferentShare = 0.05;
static const double kEndBoundSeconds = 5.0;

static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

static void sleepSeconds(double seconds)
{
    struct timespec t = {(time_t)seconds, (long)((seconds - (double)(time_t)seconds) * 1e9)};
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

/* The window may go away between finding it and grabbing it (SDL makes its
 * window again for an OpenGL renderer): such errors are noted, not fatal. */
static int xFailed = 0;
static int onXError(Display* display, XErrorEvent* error)
{
    (void)display;
    (void)error;
    xFailed = 1;
    return 0;
}

static Window* knownWindows = NULL;
static unsigned knownCount = 0;

static int known(Window window)
{
    for (unsigned i = 0; i < knownCount; ++i)
        if (knownWindows[i] == window)
            return 1;
    return 0;
}

static int titled(Display* display, Window window, const char* prefix)
{
    if (!prefix)
        return 1;
    char* name = NULL;
    int match = XFetchName(display, window, &name) && name && strncmp(name, prefix, strlen(prefix)) == 0;
    if (name)
        XFree(name);
    return match;
}

/* The topmost new, mapped, large enough top-level window; 0 if none yet. */
static Window findWindow(Display* display, Window root, const char* title, int* width, int* height)
{
    Window rootReturn, parent, *children = NULL, found = 0;
    unsigned count = 0;
    xFailed = 0;
    if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count))
        return 0;
    for (unsigned i = count; i-- > 0 && !found;) {
        if (known(children[i]))
            continue;
        XWindowAttributes attributes;
        xFailed = 0;
        if (!XGetWindowAttributes(display, children[i], &attributes) || xFailed)
            continue;
        if (attributes.map_state != IsViewable || attributes.class != InputOutput || attributes.width < kMinSide
            || attributes.height < kMinSide || !titled(display, children[i], title))
            continue;
        found = children[i];
        *width = attributes.width;
        *height = attributes.height;
    }
    if (children)
        XFree(children);
    return found;
}

/* What is grabbed into: a shared-memory image when the server offers it. */
struct Grabber {
    Display* display;
    int useShm;
    XImage* image;
    XShmSegmentInfo shm;
    int width, height;
};

static void dropImage(struct Grabber* g)
{
    if (!g->image)
        return;
    if (g->useShm) {
        XShmDetach(g->display, &g->shm);
        XSync(g->display, False);
        shmdt(g->shm.shmaddr);
    }
    XDestroyImage(g->image);
    g->image = NULL;
}

static XImage* grab(struct Grabber* g, Window window, int width, int height)
{
    xFailed = 0;
    if (!g->useShm) {
        if (g->image)
            XDestroyImage(g->image);
        g->image = XGetImage(g->display, window, 0, 0, (unsigned)width, (unsigned)height, AllPlanes, ZPixmap);
        XSync(g->display, False);
        return xFailed ? NULL : g->image;
    }
    if (!g->image || g->width != width || g->height != height) {
        dropImage(g);
        int screen = DefaultScreen(g->display);
        unsigned depth = (unsigned)DefaultDepth(g->display, screen);
        g->image = XShmCreateImage(g->display, DefaultVisual(g->display, screen), depth, ZPixmap, NULL, &g->shm,
                                   (unsigned)width, (unsigned)height);
        if (!g->image)
            return NULL;
        g->shm.shmid = shmget(IPC_PRIVATE, (size_t)g->image->bytes_per_line * (size_t)height, IPC_CREAT | 0600);
        g->shm.shmaddr = g->shm.shmid < 0 ? (char*)-1 : shmat(g->shm.shmid, NULL, 0);
        if (g->shm.shmaddr == (char*)-1) {
            /* No shared memory to be had: plain grabs from here on. */
            if (g->shm.shmid >= 0)
                shmctl(g->shm.shmid, IPC_RMID, NULL);
            XDestroyImage(g->image);
            g->image = NULL;
            g->useShm = 0;
            return grab(g, window, width, height);
        }
        g->image->data = g->shm.shmaddr;
        g->shm.readOnly = False;
        xFailed = 0;
        XShmAttach(g->display, &g->shm);
        XSync(g->display, False);
        shmctl(g->shm.shmid, IPC_RMID, NULL);   /* goes with the last detach */
        g->width = width;
        g->height = height;
        if (xFailed) {
            /* A server that cannot reach our memory (another machine's). */
            shmdt(g->shm.shmaddr);
            XDestroyImage(g->image);
            g->image = NULL;
            g->useShm = 0;
            return grab(g, window, width, height);
        }
    }
    if (!XShmGetImage(g->display, window, g->image, 0, 0, AllPlanes) || xFailed)
        return NULL;
    return g->image;
}

static unsigned channel(unsigned long pixel, unsigned long mask)
{
    if (!mask)
        return 0;
    int shift = 0;
    while (!(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    unsigned long value = (pixel >> shift) & mask;
    return (unsigned)(value * 255 / mask);
}

static unsigned short bins[4096];

static int showsAFrame(XImage* image, Visual* visual)
{
    memset(bins, 0, sizeof bins);
    int colours = 0, commonest = 0;
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column) {
            int x = (2 * column + 1) * image->width / (2 * kGridColumns);
            int y = (2 * row + 1) * image->height / (2 * kGridRows);
            unsigned long pixel = XGetPixel(image, x, y);
            unsigned bin = (channel(pixel, visual->red_mask) >> 4) << 8 | (channel(pixel, visual->green_mask) >> 4) << 4
                           | channel(pixel, visual->blue_mask) >> 4;
            if (bins[bin]++ == 0)
                ++colours;
            if (bins[bin] > commonest)
                commonest = bins[bin];
        }
    const int points = kGridColumns * kGridRows;
    return colours >= kMinColours && (double)(points - commonest) >= kMinDifferentShare * points;
}

struct Expectation {
    int x, y, width, height;
    unsigned red, green, blue;
    int viewWidth, viewHeight;
};

static int near(unsigned a, unsigned b) { return (a > b ? a - b : b - a) <= 30; }

static int showsExpected(XImage* image, Visual* visual, const struct Expectation* e)
{
    double scale = (double)image->width / e->viewWidth;
    if ((double)image->height / e->viewHeight < scale)
        scale = (double)image->height / e->viewHeight;
    int left = (image->width - (int)(e->viewWidth * scale + 0.5)) / 2;
    int top = (image->height - (int)(e->viewHeight * scale + 0.5)) / 2;
    int x0 = left + (int)(e->x * scale), y0 = top + (int)(e->y * scale);
    int x1 = left + (int)((e->x + e->width) * scale), y1 = top + (int)((e->y + e->height) * scale);
    if (x0 < 0 || y0 < 0 || x1 > image->width || y1 > image->height || x1 <= x0 || y1 <= y0)
        return 0;
    long matching = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            unsigned long pixel = XGetPixel(image, x, y);
            matching += near(channel(pixel, visual->red_mask), e->red)
                        && near(channel(pixel, visual->green_mask), e->green)
                        && near(channel(pixel, visual->blue_mask), e->blue);
        }
    return matching * 50 >= (long)(x1 - x0) * (y1 - y0);
}

static void save(XImage* image, Visual* visual, const char* path)
{
    FILE* f = fopen(path, "wb");
    if (!f)
        return;
    fprintf(f, "P6\n%d %d\n255\n", image->width, image->height);
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) {
            unsigned long pixel = XGetPixel(image, x, y);
            unsigned char rgb[3] = {(unsigned char)channel(pixel, visual->red_mask),
                                    (unsigned char)channel(pixel, visual->green_mask),
                                    (unsigned char)channel(pixel, visual->blue_mask)};
            fwrite(rgb, 1, 3, f);
        }
    fclose(f);
}

/* SIGTERM to the program's process group, SIGKILL if it outlasts the bound. */
static int endProgram(pid_t child)
{
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child)
        return status;
    kill(-child, SIGTERM);
    double deadline = now() + kEndBoundSeconds;
    while (now() < deadline) {
        if (waitpid(child, &status, WNOHANG) == child)
            return status;
        sleepSeconds(0.005);
    }
    kill(-child, SIGKILL);
    waitpid(child, &status, 0);
    return status;
}

static int compareDoubles(const void* a, const void* b)
{
    double x = *(const double*)a, y = *(const double*)b;
    return (x > y) - (x < y);
}

int main(int argc, char** argv)
{
    const char* title = NULL;
    const char* savePath = NULL;
    double timeout = 30.0;
    struct Expectation expectation = {0};
    int expecting = 0;
    int i = 1;
    for (; i < argc && strcmp(argv[i], "--") != 0; ++i) {
        if (strcmp(argv[i], "--title") == 0 && i + 1 < argc)
            title = argv[++i];
        else if (strcmp(argv[i], "--timeout") == 0 && i + 1 < argc)
            timeout = atof(argv[++i]);
        else if (strcmp(argv[i], "--save") == 0 && i + 1 < argc)
            savePath = argv[++i];
        else if (strcmp(argv[i], "--expect") == 0 && i + 1 < argc)
            expecting = sscanf(argv[++i], "%d,%d,%d,%d,%2x%2x%2x", &expectation.x, &expectation.y, &expectation.width,
                               &expectation.height, &expectation.red, &expectation.green, &expectation.blue)
                        == 7;
        else if (strcmp(argv[i], "--view") == 0 && i + 1 < argc)
            sscanf(argv[++i], "%dx%d", &expectation.viewWidth, &expectation.viewHeight);
        else
            break;
    }
    if (i >= argc || strcmp(argv[i], "--") != 0 || i + 1 >= argc
        || (expecting && (expectation.viewWidth <= 0 || expectation.viewHeight <= 0))) {
        fprintf(stderr,
                "usage: %s [--title PREFIX] [--timeout SECONDS] [--save FILE.ppm] [--expect X,Y,W,H,RRGGBB --view WxH] "
                "-- PROGRAM [ARGS...]\n",
                argv[0]);
        return 2;
    }
    char** command = argv + i + 1;

    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "first-visible: cannot open the display\n");
        return 2;
    }
    fcntl(ConnectionNumber(display), F_SETFD, FD_CLOEXEC);
    XSetErrorHandler(onXError);
    Window root = DefaultRootWindow(display);
    Visual* visual = DefaultVisual(display, DefaultScreen(display));
    {
        Window rootReturn, parent;
        XQueryTree(display, root, &rootReturn, &parent, &knownWindows, &knownCount);
    }
    struct Grabber grabber = {display, XShmQueryExtension(display), NULL, {0}, 0, 0};

    fflush(NULL);
    double start = now();
    pid_t child = fork();
    if (child < 0) {
        perror("first-visible: fork");
        return 2;
    }
    if (child == 0) {
        setpgid(0, 0);
        execvp(command[0], command);
        fprintf(stderr, "first-visible: cannot start %s: %s\n", command[0], strerror(errno));
        _exit(127);
    }
    setpgid(child, child);

    const char* status = "timeout";
    double visible = -1.0, mapped = -1.0, expected = -1.0;
    Window current = 0;
    int windows = 0;
    int width = 0, height = 0, polls = 0;
    enum { kKeptGrabTimes = 4096 };
    static double grabTimes[kKeptGrabTimes];
    double deadline = start + timeout;
    for (;;) {
        double pollStart = now();
        if (pollStart > deadline)
            break;
        int childStatus;
        if (waitpid(child, &childStatus, WNOHANG) == child) {
            status = "exited";
            child = 0;
            break;
        }
        Window window = findWindow(display, root, title, &width, &height);
        if (window) {
            if (window != current) {
                current = window;
                mapped = pollStart - start;
                ++windows;
            }
            double grabStart = now();
            XImage* image = grab(&grabber, window, width, height);
            if (polls < kKeptGrabTimes)
                grabTimes[polls] = now() - grabStart;
            ++polls;
            if (image && visible < 0 && showsAFrame(image, visual)) {
                visible = grabStart - start;
                if (savePath)
                    save(image, visual, savePath);
            }
            if (image && expecting && expected < 0 && showsExpected(image, visual, &expectation))
                expected = grabStart - start;
            if (visible >= 0 && (!expecting || expected >= 0)) {
                status = "ok";
                break;
            }
        }
        sleepSeconds(0.001);
    }
    int childStatus = child ? endProgram(child) : 0;
    (void)childStatus;
    dropImage(&grabber);
    XCloseDisplay(display);

    int kept = polls < kKeptGrabTimes ? polls : kKeptGrabTimes;
    qsort(grabTimes, (size_t)kept, sizeof grabTimes[0], compareDoubles);
    printf("first_visible_ms=");
    if (visible >= 0)
        printf("%.1f", visible * 1000.0);
    if (expecting) {
        printf(" expected_ms=");
        if (expected >= 0)
            printf("%.1f", expected * 1000.0);
    }
    printf(" mapped_ms=");
    if (mapped >= 0)
        printf("%.1f", mapped * 1000.0);
    printf(" windows=%d window=%dx%d polls=%d grab_ms=%.2f shm=%d status=%s\n", windows, width, height,
           polls, kept ? grabTimes[kept / 2] * 1000.0 : 0.0, grabber.useShm, status);
    return strcmp(status, "ok") == 0 ? 0 : 1;
}
