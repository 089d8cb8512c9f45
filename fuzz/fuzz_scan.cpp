// libFuzzer target for the scan window's pictures: any scanner frame
// converts within its sizes, and any page turned four times or cropped by any
// drag stays a whole picture inside the page.
#include <cstdlib>
#include <cstring>
#include <string>

#include "FixedMeasurer.h"
#include "core/ScriptedHost.h"
#include "scan/ImportController.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 12) return 0;
    int16_t v[6];
    std::memcpy(v, data, sizeof v);
    const std::string frame(reinterpret_cast<const char*>(data) + 12, size - 12);
    sw::Mask m;
    const int depth = (v[2] & 3) == 0 ? 1 : (v[2] & 3) == 1 ? 8 : 16;
    if (!sw::SaneGreyToMask(frame, v[0] % 512, v[1] % 1024, depth, m)) return 0;
    if (m.ink.size() != static_cast<size_t>(m.width) * static_cast<size_t>(m.height)) std::abort();

    sw::Mask turned = m;
    for (int i = 0; i < 4; ++i)
        turned = sw::RotateQuarter(turned, true);
    turned = sw::RotateQuarter(sw::RotateQuarter(turned, false), true);
    if (turned.ink != m.ink) std::abort();

    // A drag anywhere, even outside the picture, in a view of any size.
    sw::ScriptedHost host;
    host.setPermissive(true);
    FixedMeasurer measurer;
    sw::ImportController c(sw::ImportConfig{}, host, measurer, nullptr, nullptr, nullptr);
    sw::ScanOutcome scanned;
    scanned.status = sw::ScanOutcome::Acquired;
    scanned.picture = m;
    if (!c.acquired(std::move(scanned))) return 0;
    c.setView(v[3], v[4]);
    c.defineCrop();
    c.cropPress(v[5], v[3]);
    c.cropRelease(v[4], v[5]);
    const sw::Mask before = c.picture();
    if (c.crop() && (c.picture().width > before.width || c.picture().height > before.height ||
                     c.picture().ink.size() != static_cast<size_t>(c.picture().width) *
                                                   static_cast<size_t>(c.picture().height)))
        std::abort();
    return 0;
}
