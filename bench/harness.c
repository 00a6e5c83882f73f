// Runs one measured program once under the swap probe and prints what the probe and the kernel
// saw: start-up and asset-loading milliseconds (startup mode) or frames per second (frames
// mode), then the child's peak resident set in KiB; in startup mode last the milliseconds from
// the first frame's clear to its presentation (the first frame's drawing) and the processor time
// the child used, user and system, in milliseconds (less moved by other programs' load).
//   bench-harness startup|frames <probe.so> <command> [arguments...]
#define _GNU_SOURCE
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static int64_t monotonicNs(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (int64_t)now.tv_sec * 1000000000 + now.tv_nsec;
}

int main(int argc, char** argv) {
    if (argc < 4 || (strcmp(argv[1], "startup") != 0 && strcmp(argv[1], "frames") != 0)) {
        fprintf(stderr, "usage: bench-harness startup|frames <probe.so> <command> [args...]\n");
        return 2;
    }
    char outPath[] = "/tmp/pelmora-bench-XXXXXX";
    int fd = mkstemp(outPath);
    if (fd < 0) {
        perror("bench-harness: mkstemp");
        return 1;
    }
    close(fd);
    setenv("PELMORA_BENCH_MODE", argv[1], 1);
    setenv("PELMORA_BENCH_OUT", outPath, 1);
    setenv("LD_PRELOAD", argv[2], 1);

    const int64_t started = monotonicNs();
    char startedText[32];
    snprintf(startedText, sizeof startedText, "%lld", (long long)started);
    setenv("PELMORA_BENCH_STARTED_NS", startedText, 1);
    pid_t child = fork();
    if (child == 0) {
        execvp(argv[3], argv + 3);
        perror("bench-harness: exec");
        _exit(127);
    }
    int status = 0;
    struct rusage usage;
    if (child < 0 || wait4(child, &status, 0, &usage) != child) {
        perror("bench-harness: run");
        unlink(outPath);
        return 1;
    }
    FILE* out = fopen(outPath, "r");
    long long a = -1, b = -1, c = -1, d = -1;
    int fields = out ? fscanf(out, "%lld %lld %lld %lld", &a, &b, &c, &d) : 0;
    if (out)
        fclose(out);
    unlink(outPath);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || fields < 2) {
        fprintf(stderr, "bench-harness: %s ended without a result (status %d)\n", argv[3], status);
        return 1;
    }
    if (strcmp(argv[1], "startup") == 0) {
        double startupMs = (double)(a - started) / 1e6;
        double loadMs = b >= 0 && c >= b ? (double)(c - b) / 1e6 : -1;
        double frameMs = d >= 0 && a >= d ? (double)(a - d) / 1e6 : -1;
        double cpuMs = (double)(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                       (double)(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
        printf("%.2f %.2f %ld %.2f %.2f\n", startupMs, loadMs, usage.ru_maxrss, frameMs, cpuMs);
    } else {
        printf("%.1f %ld\n", (double)a * 1e9 / (double)b, usage.ru_maxrss);
    }
    return 0;
}
