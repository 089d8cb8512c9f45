// libFuzzer target for the recognition engine: any picture (its first two
// bytes the size, the rest its pixels, a bit each) goes through every stage
// without misbehaving, and the result it writes reads back with lines under
// 256 characters.
#include <cstdlib>
#include <sstream>
#include <string>

#include "Engine.h"
#include "scan/RecognitionResult.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int width = 8 + data[0] % 249, height = 8 + data[1] % 249;
    veltro::Image page(width, height);
    for (std::size_t i = 0; i < page.px.size(); ++i) {
        const std::size_t byte = 2 + i / 8;
        page.px[i] = byte < size ? (data[byte] >> (i % 8)) & 1 : 0;
    }
    const veltro::PageResult result = veltro::Recognise(page, veltro::Options{});
    if (result.symbols.size() != result.staves.size()) std::abort();
    const std::string text = veltro::WriteResult(result, "fuzz.bmp");
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.size() >= 256) std::abort();
    std::istringstream in(text);
    sw::RecognitionTables tables;
    sw::ReadRecognitionResult(in, tables);
    if (tables.staves.size() != std::min<std::size_t>(result.staves.size(), 50)) std::abort();
    return 0;
}
