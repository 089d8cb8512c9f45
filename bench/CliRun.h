// The benchmarks that time a whole `staffwright-cli convert` as a user runs
// it: the command line's own process, wall clock from start to exit, its
// processor time and its peak memory.
#pragma once

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace sw::bench {

// Quotes a path for the shell.
inline std::string Quoted(const std::string& path) {
    std::string out = "'";
    for (char c : path)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct CliRun {
    int status = -1;
    double seconds = 0;
    double cpuSeconds = 0;  // user and system time of the child
    double peakMb = 0;      // the largest resident set of any child so far
};

inline double ChildCpuSeconds(const rusage& u) {
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// `staffwright-cli` with the arguments given (quoted already), timed.
inline CliRun TimeCli(const std::string& cli, const std::string& arguments) {
    const std::string command = Quoted(cli) + " " + arguments;
    rusage before{}, after{};
    getrusage(RUSAGE_CHILDREN, &before);
    const auto start = std::chrono::steady_clock::now();
    CliRun run;
    run.status = std::system(command.c_str());
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    getrusage(RUSAGE_CHILDREN, &after);
    run.cpuSeconds = ChildCpuSeconds(after) - ChildCpuSeconds(before);
    run.peakMb = static_cast<double>(after.ru_maxrss) / 1024.0;
    return run;
}

// `staffwright-cli convert IN OUT [options]`, timed.
inline CliRun TimeConvert(const std::string& cli, const std::string& in, const std::string& out,
                          const std::string& options = "") {
    return TimeCli(cli, "convert " + Quoted(in) + " " + Quoted(out) + options);
}

}  // namespace sw::bench
