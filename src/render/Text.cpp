// Score text drawing.
#include "render/Text.h"

#include <cstdint>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "core/TextUtil.h"
#include "layout/GlyphTable.h"
#include "layout/Rounding.h"
#include "render/GlyphStore.h"

namespace sw {

namespace {

// Codes 27-30 are places for accidentals, measured as the letter "d".
bool IsAccidentalPlace(unsigned char c) {
    return c >= 27 && c <= 30;
}

// Screen text is drawn at 96 pixels per inch.
double PixelsForPoints(double points) {
    return points * 96.0 / 72.0;
}

}  // namespace

QString FromScoreBytes(const std::string& bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char c : bytes)
        out += QChar(static_cast<char16_t>(Cp1252Char(c)));
    return out;
}

std::string ToScoreBytes(const QString& text) {
    std::string out;
    for (QChar ch : text)
        out += static_cast<char>(Cp1252Byte(ch.unicode()).value_or('?'));
    return out;
}

QString FontFamilyFor(const std::string& name) {
    if (EqualsIgnoreCase(name, "Times New Roman") || EqualsIgnoreCase(name, "Times"))
        return "Liberation Serif";
    if (EqualsIgnoreCase(name, "Arial") || EqualsIgnoreCase(name, "Helvetica"))
        return "Liberation Sans";
    if (EqualsIgnoreCase(name, "Courier New") || EqualsIgnoreCase(name, "Courier"))
        return "Liberation Mono";
    return QString::fromStdString(name);
}

QFont ScoreQFont(const TextFont& font, double pointSize) {
    QFont f(FontFamilyFor(font.name));
    f.setPixelSize(std::max(1, RoundEven(PixelsForPoints(pointSize))));
    f.setBold(font.style & 1);
    f.setItalic(font.style & 2);
    f.setUnderline(font.style & 4);
    f.setStrikeOut(font.style & 8);
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

namespace {
std::string ForMeasuring(const std::string& text) {
    std::string m = text;
    for (char& c : m)
        if (IsAccidentalPlace(static_cast<unsigned char>(c))) c = 'd';
    return m;
}
}  // namespace

int QtTextMeasurer::width(const TextFont& font, const std::string& text) const {
    QFontMetrics fm(ScoreQFont(font, font.pointSize));
    return fm.horizontalAdvance(FromScoreBytes(ForMeasuring(text)));
}

int QtTextMeasurer::height(const TextFont& font, const std::string&) const {
    QFontMetrics fm(ScoreQFont(font, font.pointSize));
    return fm.height();
}

int TextLineHeight(const TextFont& font) {
    return QFontMetrics(ScoreQFont(font, font.pointSize)).height();
}

int TextSpaceWidth(const TextFont& font) {
    return QFontMetrics(ScoreQFont(font, font.pointSize)).horizontalAdvance(' ');
}

void DrawTextCharacters(QPainter& p, const std::string& text, const QFontMetrics& fm, int m,
                        int baseline) {
    int cx = m;
    const int dWidth = fm.horizontalAdvance('d');
    for (unsigned char c : text) {
        if (IsAccidentalPlace(c)) {
            cx += dWidth;
            continue;
        }
        QString ch = FromScoreBytes(std::string(1, static_cast<char>(c)));
        p.drawText(cx, baseline, ch);
        cx += fm.horizontalAdvance(ch);
    }
}

std::vector<TextSign> TextSigns(const GlyphStore& glyphs, const std::string& text,
                                const TextDraw& draw, const QFontMetrics& fm, bool print, int m,
                                int pad, int H) {
    std::vector<TextSign> signs;
    const int scale = print ? 3 : 1;
    int cx = m;
    const int dWidth = fm.horizontalAdvance('d');
    for (unsigned char c : text) {
        if (c >= 27 && c <= 29) {
            int acc = c == 27 ? 1 : (c == 28 ? 0 : -1);
            std::string name = TextAccidentalName(draw.font.pointSize, acc, print);
            TextAccidentalOffset off = TextAccidentalPlace(draw.font.pointSize, acc);
            if (const Mask* mask = glyphs.mask(name)) {
                // The sign's ink is centred in its slot, the width of a
                // "d", so that it keeps clear of the letters either side.
                int inkLeft = mask->width, inkRight = -1;
                for (int r = 0; r < mask->height; ++r)
                    for (int q = 0; q < mask->width; ++q)
                        if (mask->at(q, r)) {
                            inkLeft = std::min(inkLeft, q);
                            inkRight = std::max(inkRight, q);
                        }
                const int inkWidth = inkRight - inkLeft + 1;
                signs.push_back(
                    {name, cx + (dWidth - inkWidth) / 2 - inkLeft, pad + H + scale * off.y});
            }
        }
        cx += IsAccidentalPlace(c)
                  ? dWidth
                  : fm.horizontalAdvance(FromScoreBytes(std::string(1, static_cast<char>(c))));
    }
    return signs;
}

int DrawTextString(const DrawContext& ctx, const std::string& text, const TextDraw& draw, int x,
                   int y) {
    QImage* canvas = ctx.canvas();
    if (!canvas) return 0;
    const bool print = ctx.printMode;
    const int scale = print ? 3 : 1;
    const double points = print ? scale * draw.font.pointSize - 2 : draw.font.pointSize;
    if (print) {
        x = scale * x + ctx.printOrigin.x();
        y = scale * y + ctx.printOrigin.y();
    } else {
        x += ctx.screenOrigin.x();
        y += ctx.screenOrigin.y();
    }
    const QFont font = ScoreQFont(draw.font, points);
    const QFontMetrics fm(font);
    const QString measured = FromScoreBytes(ForMeasuring(text));
    const int m = fm.horizontalAdvance('M');
    const int W = fm.horizontalAdvance("M" + measured + "M");
    const int H = fm.height();
    if (W <= 0 || H <= 0) return 0;

    // The scratch bitmap: black text on white, character by character, with
    // room above and below the text for accidentals that stand out of it.
    const int pad = H;
    const int SH = H + 2 * pad;
    // A damaged file can ask for a font of thousands of points: such a text
    // is measured but not drawn, rather than asking for gigabytes.
    if (static_cast<int64_t>(W) * SH > (int64_t{1} << 26)) return (W - 2 * m) / scale;
    QImage scratch(W, SH, QImage::Format_RGB32);
    if (scratch.isNull()) return (W - 2 * m) / scale;
    scratch.fill(Qt::white);
    {
        QPainter p(&scratch);
        p.setFont(font);
        p.setPen(Qt::black);
        DrawTextCharacters(p, text, fm, m, pad + fm.ascent());
    }
    // The sized accidentals go into the scratch bitmap over their places.
    if (ctx.glyphs)
        for (const TextSign& sign : TextSigns(*ctx.glyphs, text, draw, fm, print, m, pad, H))
            if (const Mask* mask = ctx.glyphs->mask(sign.name))
                for (int r = 0; r < mask->height; ++r)
                    for (int q = 0; q < mask->width; ++q)
                        if (mask->at(q, r) && sign.left + q >= 0 && sign.left + q < W &&
                            sign.top + r >= 0 && sign.top + r < SH)
                            scratch.setPixel(sign.left + q, sign.top + r, 0xFF000000u);

    const int height = draw.small ? RoundEven(SH * 5.0 / 8.0) : SH;
    const int firstRow = y - (draw.small ? RoundEven(pad * 5.0 / 8.0) : pad);
    const bool xorMode = draw.rubberBand && !print;
    const uint32_t ink = print ? 0xFF000000u : ToQRgb(draw.colour);
    const uint32_t invert = (~ToQRgb(draw.colour)) & 0x00FFFFFFu;
    const int left = x - m;
    for (int r = 0; r < height; ++r) {
        int py = firstRow + r;
        if (py < 0 || py >= canvas->height()) continue;
        int sr = static_cast<int>(static_cast<long long>(r) * SH / height);
        auto* line = reinterpret_cast<uint32_t*>(canvas->scanLine(py));
        const auto* src = reinterpret_cast<const uint32_t*>(scratch.constScanLine(sr));
        for (int c = 0; c < W; ++c) {
            int px = left + c;
            if (px < 0 || px >= canvas->width() || (src[c] & 0x00FFFFFFu) != 0) continue;
            line[px] = xorMode ? 0xFF000000u | ((line[px] ^ invert) & 0x00FFFFFFu) : ink;
        }
    }
    return (W - 2 * m) / scale;
}

}  // namespace sw
