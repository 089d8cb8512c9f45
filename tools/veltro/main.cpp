// veltro: reads a 1-bit BMP page, writes what it recognised as a result file.
// Progress goes to standard output as "PROGRESS 0 <percent>" lines, then
// "DONE" once the result is in place; any failure leaves no result file, a
// line on standard error and a non-zero exit.
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "Engine.h"

namespace {

constexpr const char* kVersion = "veltro 1.0";

// The temporary result, removed by the signal handler when the engine is
// stopped while writing it. Set once before the handlers can need it.
char gTemporary[4096] = {0};

extern "C" void Stopped(int sig) {
    if (gTemporary[0]) unlink(gTemporary);
    const char* text = sig == SIGTERM || sig == SIGINT ? "veltro: stopped; no result written\n"
                                                       : "veltro: crashed; no result written\n";
    const ssize_t ignored = write(STDERR_FILENO, text, std::strlen(text));
    (void)ignored;
    _exit(128 + sig);
}

int Usage(const std::string& problem) {
    std::cerr << "veltro: " << problem
              << "\nusage: veltro --input PIC.bmp --output RES.mro [--dpi N] [--old-symbols 0|1]"
                 " [--grace-notes 0|1] [--thin-beams 0|1] [--symmetric-heads 0|1]"
                 " [--accents 0|1]\n       veltro --version\n";
    return 2;
}

bool Switch(const std::string& value, bool& out) {
    if (value != "0" && value != "1") return false;
    out = value == "1";
    return true;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    for (int sig : {SIGTERM, SIGINT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        std::signal(sig, Stopped);
    std::string input, output;
    veltro::Options options;
    int dpi = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--version") {
            std::cout << kVersion << std::endl;
            return 0;
        }
        if (i + 1 >= argc) return Usage("option " + a + " needs a value");
        const std::string v = argv[++i];
        bool ok = true;
        if (a == "--input")
            input = v;
        else if (a == "--output")
            output = v;
        else if (a == "--dpi") {
            char* end = nullptr;
            const long n = std::strtol(v.c_str(), &end, 10);
            ok = *end == '\0' && n > 0 && n <= 100000;
            dpi = static_cast<int>(n);
        } else if (a == "--old-symbols")
            ok = Switch(v, options.oldSymbols);
        else if (a == "--grace-notes")
            ok = Switch(v, options.graceNotes);
        else if (a == "--thin-beams")
            ok = Switch(v, options.thinBeams);
        else if (a == "--symmetric-heads")
            ok = Switch(v, options.symmetricHeads);
        else if (a == "--accents")
            ok = Switch(v, options.accents);
        else
            return Usage("unknown option " + a);
        if (!ok) return Usage("bad value '" + v + "' for " + a);
    }
    if (input.empty() || output.empty()) return Usage("--input and --output are needed");

    veltro::Image page;
    std::string error;
    int recorded = 0;
    if (!veltro::ReadBmp(input, page, recorded, error)) {
        std::cerr << "veltro: " << error << "\n";
        return 1;
    }
    options.dpi = dpi > 0 ? dpi : recorded > 0 ? recorded : 300;
    const veltro::PageResult result = veltro::Recognise(
        page, options, [](int percent) { std::cout << "PROGRESS 0 " << percent << std::endl; });
    const std::string text = veltro::WriteResult(result, input);

    const std::string temporary = output + ".part-" + std::to_string(getpid());
    if (temporary.size() >= sizeof gTemporary) {
        std::cerr << "veltro: the result's name is too long\n";
        return 1;
    }
    std::memcpy(gTemporary, temporary.c_str(), temporary.size() + 1);
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        std::cerr << "veltro: cannot write " << temporary << ": " << std::strerror(errno) << "\n";
        return 1;
    }
    const bool written = WriteAll(fd, text) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), output.c_str()) != 0) {
        const int e = errno;
        unlink(temporary.c_str());
        std::cerr << "veltro: cannot write " << output << ": " << std::strerror(e) << "\n";
        return 1;
    }
    gTemporary[0] = '\0';
    std::cout << "DONE" << std::endl;
    return 0;
}
