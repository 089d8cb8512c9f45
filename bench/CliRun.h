// The benchmarks that time a whole `staffwright-cli convert` as a user runs
// it: the command line's own process, wall clock from start to exit.
#pragma once

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
};

// `staffwright-cli` with the arguments given (quoted already), timed.
inline CliRun TimeCli(const std::string& cli, const std::string& arguments) {
    const std::string command = Quoted(cli) + " " + arguments;
    const auto start = std::chrono::steady_clock::now();
    CliRun run;
    run.status = std::system(command.c_str());
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return run;
}

// `staffwright-cli convert IN OUT`, timed.
inline CliRun TimeConvert(const std::string& cli, const std::string& in, const std::string& out) {
    return TimeCli(cli, "convert " + Quoted(in) + " " + Quoted(out));
}

}  // namespace sw::bench
