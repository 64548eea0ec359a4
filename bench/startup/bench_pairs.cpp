// Whole-process timings of a command, or of two commands in interleaved pairs: each run
// from just before its fork to just after it is reaped, with the CPU time the kernel
// accounted to it (user + system, microseconds). Prints min, median and max of each, and
// with two commands the median of the pair-by-pair ratios A/B, which keeps its meaning
// while the machine's speed drifts. See bench/README.md.
//
//     build/bin/bench_pairs [-n RUNS] [--warmup W] -- COMMAND [ARG...] [--vs COMMAND [ARG...]]
//
// Commands run without a shell (write sh -c '...' for a redirection), with stdin, stdout
// and stderr on /dev/null.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

struct Run
{
    double wall = 0; // seconds
    double cpu = 0;  // user + system seconds
    int status = 0;
};

double seconds(const timeval& t)
{
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

double now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

Run run(const std::vector<char*>& argv)
{
    Run r;
    const double start = now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        for (int fd = 0; fd < 3; ++fd)
            dup2(null, fd);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    rusage usage{};
    while (wait4(pid, &r.status, 0, &usage) < 0) {
    }
    r.wall = now() - start;
    r.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    return r;
}

void row(const char* label, std::vector<double> v, double scale, const char* unit)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    std::printf("%-10s %10.4f %10.4f %10.4f %s\n", label, v.front() * scale, median * scale, v.back() * scale,
                unit);
}

int usage()
{
    std::fprintf(stderr,
                 "usage: bench_pairs [-n RUNS] [--warmup W] -- COMMAND [ARG...] [--vs COMMAND [ARG...]]\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    int runs = 11, warmup = 1, i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (!std::strcmp(argv[i], "-n") && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--warmup") && i + 1 < argc)
            warmup = std::atoi(argv[++i]);
        else
            return usage();
    }
    std::vector<char*> a, b;
    bool vs = false;
    for (++i; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--vs"))
            vs = true;
        else
            (vs ? b : a).push_back(argv[i]);
    }
    if (a.empty() || (vs && b.empty()) || runs < 1 || warmup < 0)
        return usage();
    a.push_back(nullptr);
    b.push_back(nullptr);

    for (int w = 0; w < warmup; ++w) {
        run(a);
        if (vs)
            run(b);
    }
    std::vector<double> wallA, cpuA, wallB, cpuB, wallRatio, cpuRatio;
    int failed = 0;
    for (int k = 0; k < runs; ++k) {
        const Run ra = run(a);
        wallA.push_back(ra.wall);
        cpuA.push_back(ra.cpu);
        failed += ra.status != 0;
        if (!vs)
            continue;
        const Run rb = run(b);
        wallB.push_back(rb.wall);
        cpuB.push_back(rb.cpu);
        failed += rb.status != 0;
        wallRatio.push_back(ra.wall / rb.wall);
        cpuRatio.push_back(rb.cpu > 0 ? ra.cpu / rb.cpu : 0);
    }
    std::printf("%d runs%s\n%-10s %10s %10s %10s\n", runs, vs ? " of each, in pairs A B" : "", "", "min",
                "median", "max");
    row("A wall", wallA, 1e3, "ms");
    row("A cpu", cpuA, 1e3, "ms");
    if (vs) {
        row("B wall", wallB, 1e3, "ms");
        row("B cpu", cpuB, 1e3, "ms");
        row("A/B wall", wallRatio, 1, "");
        row("A/B cpu", cpuRatio, 1, "");
    }
    if (failed)
        std::printf("%d runs exited with a failure status\n", failed);
    return failed ? 1 : 0;
}
