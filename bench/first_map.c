/* Starts a command and prints, on one line, the seconds from its start to the
 * first top-level window it maps on the X display, then its memory once it has
 * settled: the resident set of the command's process tree (KB) and the sum of
 * its peaks (KB). The map is an X event (SubstructureNotify on the root), never
 * polled. The command is killed afterwards.
 *
 * Usage: first_map SETTLE_SECONDS TIMEOUT_SECONDS command [args...]
 * Prints: "<seconds> <rss KB> <peak KB> <window name>", or exits 1 on a timeout.
 */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dirent.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

static long parentOf(long pid) {
    char path[64], buf[512];
    snprintf(path, sizeof path, "/proc/%ld/stat", pid);
    FILE* f = fopen(path, "r");
    if (!f) return -1;
    size_t n = fread(buf, 1, sizeof buf - 1, f);
    fclose(f);
    buf[n] = 0;
    char* close = strrchr(buf, ')');   /* the name may hold spaces */
    long ppid = -1;
    if (close) sscanf(close + 2, "%*c %ld", &ppid);
    return ppid;
}

static int inTree(long pid, long root) {
    for (int depth = 0; pid > 1 && depth < 64; ++depth, pid = parentOf(pid))
        if (pid == root) return 1;
    return 0;
}

/* A status field of /proc/PID/status, in KB (0 when absent). */
static long statusKb(long pid, const char* field) {
    char path[64], line[256];
    snprintf(path, sizeof path, "/proc/%ld/status", pid);
    FILE* f = fopen(path, "r");
    if (!f) return 0;
    long kb = 0;
    size_t len = strlen(field);
    while (fgets(line, sizeof line, f))
        if (strncmp(line, field, len) == 0 && line[len] == ':') kb = atol(line + len + 1);
    fclose(f);
    return kb;
}

/* Resident and peak memory over every process of the tree under root. */
static void treeMemory(long root, long* rss, long* peak) {
    *rss = *peak = 0;
    DIR* d = opendir("/proc");
    if (!d) return;
    for (struct dirent* e; (e = readdir(d));) {
        long pid = atol(e->d_name);
        if (pid <= 0 || !inTree(pid, root)) continue;
        *rss += statusKb(pid, "VmRSS");
        *peak += statusKb(pid, "VmHWM");
    }
    closedir(d);
}

static long windowPid(Display* dpy, Window w) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = NULL;
    long pid = -1;
    Atom prop = XInternAtom(dpy, "_NET_WM_PID", False);
    if (XGetWindowProperty(dpy, w, prop, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
            Success && data && count == 1)
        pid = (long)*(unsigned long*)data;
    if (data) XFree(data);
    return pid;
}

static void killTree(long root) {
    DIR* d = opendir("/proc");
    if (d) {
        for (struct dirent* e; (e = readdir(d));) {
            long pid = atol(e->d_name);
            if (pid > 0 && pid != root && inTree(pid, root)) kill((pid_t)pid, SIGKILL);
        }
        closedir(d);
    }
    kill((pid_t)root, SIGKILL);
    waitpid((pid_t)root, NULL, 0);
}

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: first_map SETTLE_SECONDS TIMEOUT_SECONDS command [args...]\n");
        return 2;
    }
    const double settle = atof(argv[1]), timeout = atof(argv[2]);
    Display* dpy = NULL;
    for (int tries = 0; !dpy && tries < 100; ++tries) {   /* a display just started takes a moment */
        dpy = XOpenDisplay(NULL);
        if (!dpy) usleep(100000);
    }
    if (!dpy) {
        fprintf(stderr, "first_map: no X display\n");
        return 2;
    }
    /* Listening before the command starts: no map can come unseen. */
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XSync(dpy, False);
    const double start = now();
    pid_t child = fork();
    if (child == 0) {
        close(ConnectionNumber(dpy));
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    double mapped = -1;
    char name[128] = "";
    while (mapped < 0 && now() - start < timeout) {
        while (mapped < 0 && XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type != MapNotify || ev.xmap.override_redirect) continue;
            if (!inTree(windowPid(dpy, ev.xmap.window), child)) continue;
            mapped = now() - start;
            char* text = NULL;
            if (XFetchName(dpy, ev.xmap.window, &text) && text) {
                snprintf(name, sizeof name, "%s", text);
                XFree(text);
            }
        }
        if (mapped >= 0) break;
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(ConnectionNumber(dpy), &fds);
        struct timeval tv = {0, 200000};
        select(ConnectionNumber(dpy) + 1, &fds, NULL, NULL, &tv);
    }
    if (mapped < 0) {
        fprintf(stderr, "first_map: no window within %.0f s\n", timeout);
        killTree(child);
        return 1;
    }
    struct timespec wait = {(time_t)settle, (long)((settle - (time_t)settle) * 1e9)};
    nanosleep(&wait, NULL);
    long rss, peak;
    treeMemory(child, &rss, &peak);
    printf("%.3f %ld %ld %s\n", mapped, rss, peak, name);
    killTree(child);
    XCloseDisplay(dpy);
    return 0;
}
