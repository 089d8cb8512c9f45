// The glyph font: the outline table written as TrueType tables, and its
// registration with Qt's font database.
#include "render/GlyphFont.h"

#include <QFont>
#include <QFontDatabase>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <map>

#include "render/GlyphOutlines.h"

namespace sw {

namespace {

constexpr char32_t kFirstCodePoint = 0xE000;  // the Private Use Area
constexpr double kCurveTolerance = 0.02;      // cell pixels

// Big-endian bytes, as every TrueType table is written.
class Bytes {
  public:
    void u8(unsigned v) { data_.push_back(static_cast<char>(v & 0xFF)); }
    void u16(unsigned v) {
        u8(v >> 8);
        u8(v);
    }
    void s16(int v) { u16(static_cast<unsigned>(v) & 0xFFFF); }
    void u32(uint32_t v) {
        u16(v >> 16);
        u16(v & 0xFFFF);
    }
    void tag(const char* t) { data_.append(t, 4); }
    void raw(const QByteArray& b) { data_.append(b); }
    void pad() {
        while (data_.size() % 4)
            u8(0);
    }
    int size() const { return static_cast<int>(data_.size()); }
    QByteArray& data() { return data_; }

  private:
    QByteArray data_;
};

uint32_t Checksum(const QByteArray& table) {
    uint32_t sum = 0;
    for (qsizetype i = 0; i < table.size(); i += 4) {
        uint32_t word = 0;
        for (int k = 0; k < 4; ++k)
            word = word << 8 |
                   (i + k < table.size() ? static_cast<uint8_t>(table[i + k]) : uint32_t{0});
        sum += word;
    }
    return sum;
}

struct Point {
    int x, y;
    bool on;
};
using Contour = std::vector<Point>;

struct Box {
    int xMin = INT_MAX, yMin = INT_MAX, xMax = INT_MIN, yMax = INT_MIN;
    bool empty() const { return xMin > xMax; }
    void add(int x, int y) {
        xMin = std::min(xMin, x);
        yMin = std::min(yMin, y);
        xMax = std::max(xMax, x);
        yMax = std::max(yMax, y);
    }
    void add(const Box& b) {
        if (b.empty()) return;
        add(b.xMin, b.yMin);
        add(b.xMax, b.yMax);
    }
};

// De Casteljau with a parameter per level: the blossom of a cubic, which
// gives the control points of any stretch of it.
QPointF Blossom(const QPointF p[4], double t1, double t2, double t3) {
    QPointF a[3], b[2];
    for (int i = 0; i < 3; ++i)
        a[i] = p[i] + (p[i + 1] - p[i]) * t1;
    for (int i = 0; i < 2; ++i)
        b[i] = a[i] + (a[i + 1] - a[i]) * t2;
    return b[0] + (b[1] - b[0]) * t3;
}

// The cubic p as quadratic pieces: (control, end) pairs. Each stretch's
// quadratic strays from it by at most sqrt(3)/36 of its third difference.
std::vector<std::pair<QPointF, QPointF>> Quadratics(const QPointF p[4]) {
    const QPointF third = p[3] - 3 * p[2] + 3 * p[1] - p[0];
    const double error = std::sqrt(3.0) / 36 * std::hypot(third.x(), third.y());
    const int n =
        std::clamp(static_cast<int>(std::ceil(std::cbrt(error / kCurveTolerance))), 1, 64);
    std::vector<std::pair<QPointF, QPointF>> out;
    for (int i = 0; i < n; ++i) {
        const double a = static_cast<double>(i) / n, b = static_cast<double>(i + 1) / n;
        const QPointF q0 = Blossom(p, a, a, a), q1 = Blossom(p, a, a, b);
        const QPointF q2 = Blossom(p, a, b, b), q3 = Blossom(p, b, b, b);
        out.emplace_back((3 * (q1 + q2) - (q0 + q3)) / 4, q3);
    }
    return out;
}

// A path in font units (y upwards), its contours closed implicitly.
std::vector<Contour> Contours(const QPainterPath& path) {
    std::vector<Contour> contours;
    Contour current;
    auto add = [&](QPointF pt, bool on) {
        const Point u{static_cast<int>(std::lround(pt.x() * kGlyphFontUnitsPerPixel)),
                      static_cast<int>(std::lround(-pt.y() * kGlyphFontUnitsPerPixel)), on};
        if (on && !current.empty() && current.back().on && current.back().x == u.x &&
            current.back().y == u.y)
            return;
        current.push_back(u);
    };
    auto close = [&] {
        if (current.size() > 1 && current.back().on && current.front().x == current.back().x &&
            current.front().y == current.back().y)
            current.pop_back();
        if (current.size() >= 3) contours.push_back(std::move(current));
        current.clear();
    };
    QPointF at;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            close();
            at = e;
            add(at, true);
        } else if (e.isLineTo()) {
            at = e;
            add(at, true);
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPointF cubic[4] = {at, e, path.elementAt(i + 1), path.elementAt(i + 2)};
            for (const auto& [control, end] : Quadratics(cubic)) {
                add(control, false);
                add(end, true);
            }
            at = cubic[3];
            i += 2;
        }
    }
    close();
    return contours;
}

// One glyph's 'glyf' entry (empty for a glyph without contours).
QByteArray GlyphData(const std::vector<Contour>& contours, Box& box, int& points) {
    Bytes out;
    points = 0;
    box = Box{};
    if (contours.empty()) return {};
    for (const Contour& c : contours)
        for (const Point& p : c)
            box.add(p.x, p.y);
    out.s16(static_cast<int>(contours.size()));
    out.s16(box.xMin);
    out.s16(box.yMin);
    out.s16(box.xMax);
    out.s16(box.yMax);
    for (const Contour& c : contours) {
        points += static_cast<int>(c.size());
        out.u16(static_cast<unsigned>(points - 1));
    }
    out.u16(0);  // no instructions
    // Every coordinate as a 16-bit difference: flags 0 or 1 (on the curve).
    for (const Contour& c : contours)
        for (const Point& p : c)
            out.u8(p.on ? 1 : 0);
    int last = 0;
    for (const Contour& c : contours)
        for (const Point& p : c) {
            out.s16(p.x - last);
            last = p.x;
        }
    last = 0;
    for (const Contour& c : contours)
        for (const Point& p : c) {
            out.s16(p.y - last);
            last = p.y;
        }
    out.pad();
    return out.data();
}

QByteArray NameTable(const std::string& family) {
    std::string postscript;
    for (char c : family)
        if (c != ' ') postscript += c;
    const std::vector<std::pair<int, std::string>> names = {
        {1, family}, {2, "Regular"}, {3, postscript}, {4, family}, {6, postscript}};
    Bytes out, strings;
    out.u16(0);
    out.u16(static_cast<unsigned>(names.size()));
    out.u16(static_cast<unsigned>(6 + 12 * names.size()));
    for (const auto& [id, text] : names) {
        out.u16(3);      // Windows
        out.u16(1);      // Unicode BMP
        out.u16(0x409);  // English
        out.u16(static_cast<unsigned>(id));
        out.u16(static_cast<unsigned>(2 * text.size()));
        out.u16(static_cast<unsigned>(strings.size()));
        for (char c : text)
            strings.u16(static_cast<unsigned char>(c));
    }
    out.raw(strings.data());
    return out.data();
}

}  // namespace

QByteArray BuildGlyphFont(const std::vector<QPainterPath>& shapes, const std::string& family) {
    const int glyphs = static_cast<int>(shapes.size()) + 1;
    if (glyphs > 0x1FFF) return {};
    Bytes glyf, loca, hmtx;
    Box all;
    int maxPoints = 0, maxContours = 0, maxAdvance = 0, minRight = 0;
    loca.u32(0);
    loca.u32(0);  // .notdef: empty, no advance
    hmtx.u16(0);
    hmtx.s16(0);
    for (const QPainterPath& shape : shapes) {
        const std::vector<Contour> contours = Contours(shape);
        Box box;
        int points = 0;
        glyf.raw(GlyphData(contours, box, points));
        loca.u32(static_cast<uint32_t>(glyf.size()));
        if (!box.empty() &&
            (box.xMin < -32767 || box.yMin < -32767 || box.xMax > 32767 || box.yMax > 32767))
            return {};
        all.add(box);
        maxPoints = std::max(maxPoints, points);
        maxContours = std::max(maxContours, static_cast<int>(contours.size()));
        const int advance = box.empty() ? 0 : std::max(0, box.xMax);
        maxAdvance = std::max(maxAdvance, advance);
        if (!box.empty()) minRight = std::min(minRight, advance - box.xMax);
        hmtx.u16(static_cast<unsigned>(advance));
        hmtx.s16(box.empty() ? 0 : box.xMin);
    }
    if (all.empty()) all.add(0, 0);

    Bytes head;
    head.u32(0x00010000);
    head.u32(0x00010000);
    head.u32(0);  // checksum adjustment, filled in last
    head.u32(0x5F0F3CF5);
    head.u16(0x0003);  // baseline at y 0, left side bearing at x 0
    head.u16(kGlyphFontUnitsPerEm);
    for (int i = 0; i < 4; ++i)
        head.u32(0);  // created and modified: no dates, so the bytes never change
    head.s16(all.xMin);
    head.s16(all.yMin);
    head.s16(all.xMax);
    head.s16(all.yMax);
    head.u16(0);
    head.u16(8);
    head.s16(2);
    head.s16(1);  // long offsets in 'loca'
    head.s16(0);

    Bytes hhea;
    hhea.u32(0x00010000);
    hhea.s16(all.yMax);
    hhea.s16(all.yMin);
    hhea.s16(0);
    hhea.u16(static_cast<unsigned>(maxAdvance));
    hhea.s16(std::min(0, all.xMin));
    hhea.s16(minRight);
    hhea.s16(all.xMax);
    hhea.s16(1);
    hhea.s16(0);
    for (int i = 0; i < 6; ++i)
        hhea.s16(0);
    hhea.u16(static_cast<unsigned>(glyphs));

    Bytes maxp;
    maxp.u32(0x00010000);
    maxp.u16(static_cast<unsigned>(glyphs));
    maxp.u16(static_cast<unsigned>(maxPoints));
    maxp.u16(static_cast<unsigned>(maxContours));
    maxp.u16(0);
    maxp.u16(0);
    maxp.u16(2);
    for (int i = 0; i < 8; ++i)
        maxp.u16(0);

    const unsigned last = static_cast<unsigned>(kFirstCodePoint + glyphs - 2);
    Bytes os2;
    os2.u16(4);
    os2.s16(maxAdvance / 2);
    os2.u16(400);
    os2.u16(5);
    os2.u16(0);  // embedding allowed without restriction
    for (int i = 0; i < 10; ++i)
        os2.s16(0);
    os2.s16(0);
    for (int i = 0; i < 10; ++i)
        os2.u8(0);
    os2.u32(0);
    os2.u32(1u << 28);  // Private Use Area
    os2.u32(0);
    os2.u32(0);
    os2.tag("SWGF");
    os2.u16(0x40);  // regular
    os2.u16(kFirstCodePoint);
    os2.u16(last);
    os2.s16(all.yMax);
    os2.s16(all.yMin);
    os2.s16(0);
    os2.u16(static_cast<unsigned>(std::max(0, all.yMax)));
    os2.u16(static_cast<unsigned>(std::max(0, -all.yMin)));
    os2.u32(1);
    os2.u32(0);
    for (int i = 0; i < 5; ++i)
        os2.u16(0);

    // One segment maps the code points to glyphs 1.., and the closing one.
    Bytes cmap;
    cmap.u16(0);
    cmap.u16(1);
    cmap.u16(3);
    cmap.u16(1);
    cmap.u32(12);
    cmap.u16(4);
    cmap.u16(32);
    cmap.u16(0);
    cmap.u16(4);
    cmap.u16(4);
    cmap.u16(1);
    cmap.u16(0);
    cmap.u16(last);
    cmap.u16(0xFFFF);
    cmap.u16(0);
    cmap.u16(kFirstCodePoint);
    cmap.u16(0xFFFF);
    cmap.u16((1u - kFirstCodePoint) & 0xFFFF);
    cmap.u16(1);
    cmap.u16(0);
    cmap.u16(0);

    Bytes post;
    post.u32(0x00030000);
    for (int i = 0; i < 7; ++i)
        post.u32(0);

    // Tables in the order of their tags.
    const std::map<std::string, QByteArray> tables = {
        {"OS/2", os2.data()},  {"cmap", cmap.data()}, {"glyf", glyf.data()},
        {"head", head.data()}, {"hhea", hhea.data()}, {"hmtx", hmtx.data()},
        {"loca", loca.data()}, {"maxp", maxp.data()}, {"name", NameTable(family)},
        {"post", post.data()}};
    const int n = static_cast<int>(tables.size());
    int power = 1, selector = 0;
    while (power * 2 <= n) {
        power *= 2;
        ++selector;
    }
    Bytes font;
    font.u32(0x00010000);
    font.u16(static_cast<unsigned>(n));
    font.u16(static_cast<unsigned>(16 * power));
    font.u16(static_cast<unsigned>(selector));
    font.u16(static_cast<unsigned>(16 * (n - power)));
    int offset = 12 + 16 * n, headAt = 0;
    for (const auto& [tag, table] : tables) {
        font.tag(tag.c_str());
        font.u32(Checksum(table));
        font.u32(static_cast<uint32_t>(offset));
        font.u32(static_cast<uint32_t>(table.size()));
        if (tag == "head") headAt = offset;
        offset += static_cast<int>((table.size() + 3) / 4 * 4);
    }
    for (const auto& [tag, table] : tables) {
        font.raw(table);
        font.pad();
    }
    QByteArray& bytes = font.data();
    const uint32_t adjust = 0xB1B0AFBAu - Checksum(bytes);
    for (int k = 0; k < 4; ++k)
        bytes[headAt + 8 + k] = static_cast<char>(adjust >> (24 - 8 * k) & 0xFF);
    return bytes;
}

GlyphFont::GlyphFont() {
    std::vector<QPainterPath> shapes;
    for (int code = 0; code < 256; ++code) {
        const std::vector<QPainterPath> outline = GlyphOutline(code);
        pieces_[static_cast<std::size_t>(code)] = {static_cast<quint32>(shapes.size() + 1),
                                                   static_cast<quint32>(outline.size())};
        shapes.insert(shapes.end(), outline.begin(), outline.end());
    }
    const QByteArray bytes = BuildGlyphFont(shapes, "Staffwright Glyphs");
    if (bytes.isEmpty()) return;
    id_ = QFontDatabase::addApplicationFontFromData(bytes);
    if (id_ < 0) return;
    const QStringList families = QFontDatabase::applicationFontFamilies(id_);
    if (families.isEmpty()) return;
    QFont font(families.front());
    font.setPixelSize(static_cast<int>(kGlyphFontPixels));
    font.setStyleStrategy(QFont::NoFontMerging);
    font.setHintingPreference(QFont::PreferNoHinting);
    QRawFont raw = QRawFont::fromFont(font);
    // Never another font standing in for it.
    if (raw.isValid() && raw.familyName() == families.front()) raw_ = raw;
}

GlyphFont::~GlyphFont() {
    raw_ = QRawFont();
    if (id_ >= 0) QFontDatabase::removeApplicationFont(id_);
}

std::pair<quint32, quint32> GlyphFont::pieces(int code) const {
    if (code < 0 || code > 255 || !valid()) return {0, 0};
    return pieces_[static_cast<std::size_t>(code)];
}

}  // namespace sw
