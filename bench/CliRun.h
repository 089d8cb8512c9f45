// The benchmarks that time a whole `staffwright-cli convert` as a user runs
// it: the command line's own process, wall clock from start to exit.
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
    double cpuSeconds =
        0;  // user and system time of the command, apart from waiting on a busy machine
};

inline double ChildrenCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    auto sec = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return sec(u.ru_utime) + sec(u.ru_stime);
}

// `staffwright-cli` with the arguments given (quoted already), timed.
inline CliRun TimeCli(const std::string& cli, const std::string& arguments) {
    const std::string command = Quoted(cli) + " " + arguments;
    const auto start = std::chrono::steady_clock::now();
    const double cpu = ChildrenCpuSeconds();
    CliRun run;
    run.status = std::system(command.c_str());
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpuSeconds = ChildrenCpuSeconds() - cpu;
    return run;
}

// `staffwright-cli convert IN OUT`, timed.
inline CliRun TimeConvert(const std::string& cli, const std::string& in, const std::string& out) {
    return TimeCli(cli, "convert " + Quoted(in) + " " + Quoted(out));
}

}  // namespace sw::bench
