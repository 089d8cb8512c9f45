// The glyph bitmap store.
#include "render/GlyphStore.h"

#include "core/Resources.h"
#include "core/TextUtil.h"

extern const sw::Resource kGlyphResources[];
extern const std::size_t kGlyphResourcesCount;

namespace sw {

GlyphStore::GlyphStore() {
    for (std::size_t i = 0; i < kGlyphResourcesCount; ++i)
        index_[ToUpperAscii(kGlyphResources[i].name)] = {kGlyphResources[i].data,
                                                         kGlyphResources[i].size};
}

const Mask* GlyphStore::decodedLocked(const std::string& key) const {
    auto done = decoded_.find(key);
    if (done != decoded_.end()) return done->second.get();
    auto it = index_.find(key);
    if (it == index_.end()) return nullptr;
    auto m = std::make_unique<Mask>();
    uint32_t pal[2];
    if (!DecodeBmp1(it->second.data, it->second.size, *m, pal)) return nullptr;
    return (decoded_[key] = std::move(m)).get();
}

const Mask* GlyphStore::mask(std::string_view name) const {
    const std::string key = ToUpperAscii(name);
    std::lock_guard<std::mutex> hold(cacheLock_);
    return decodedLocked(key);
}

const Mask* GlyphStore::stretched(std::string_view name, int w, int h) const {
    auto key = std::make_tuple(ToUpperAscii(name), w, h);
    std::lock_guard<std::mutex> hold(cacheLock_);
    const Mask* m = decodedLocked(std::get<0>(key));
    if (!m || w <= 0 || h <= 0) return nullptr;
    if (m->width == w && m->height == h) return m;
    auto it = stretched_.find(key);
    if (it != stretched_.end()) return it->second.get();
    return (stretched_[key] = std::make_unique<Mask>(StretchMask(*m, w, h))).get();
}

bool GlyphStore::palette(std::string_view name, uint32_t out[2]) const {
    auto it = index_.find(ToUpperAscii(name));
    Mask m;
    return it != index_.end() && DecodeBmp1(it->second.data, it->second.size, m, out);
}

Mask StretchMask(const Mask& m, int w, int h) {
    Mask out;
    out.width = w;
    out.height = h;
    out.ink.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    for (int y = 0; y < h; ++y) {
        int sy = static_cast<int>(static_cast<long long>(y) * m.height / h);
        for (int x = 0; x < w; ++x) {
            int sx = static_cast<int>(static_cast<long long>(x) * m.width / w);
            out.ink[static_cast<std::size_t>(y * w + x)] = m.at(sx, sy) ? 1 : 0;
        }
    }
    return out;
}

}  // namespace sw
