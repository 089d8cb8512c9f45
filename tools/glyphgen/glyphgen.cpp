// Draws the glyph set from the SMuFL font Bravura into 1-bit bitmaps at the
// screen and print cell sizes, composes the glyphs the font has no single
// symbol for, and measures the ink boxes that layout uses.
//
//   glyphgen bravura.otf metadata.json OUTDIR INKBOX.inc OUTLINES.inc
//
// OUTLINES.inc holds the print set's drawing as outlines (cell pixels) for
// the vector pages: the same recipes, kept as paths rather than pixels.
//
// Each set is drawn at its own size (a space of 8 or 24 pixels), never scaled
// from the other. Coordinates in the recipes below are screen page pixels
// relative to the point the glyph is drawn at (its reference point, before
// nudges): x grows right, y down; the print set draws the same design three
// times as large. Stems and bar lines are whole-pixel rectangles so that thin
// strokes never break up.
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/Bmp1.h"
#include "layout/BarShapes.h"
#include "layout/GlyphTable.h"

namespace {

using namespace sw;

// The SMuFL code points this set uses.
const std::map<std::string, char32_t> kSmuflBase = {
    {"gClef", 0xE050},
    {"cClef", 0xE05C},
    {"fClef", 0xE062},
    {"gClefChange", 0xE07A},
    {"cClefChange", 0xE07B},
    {"fClefChange", 0xE07C},
    {"timeSig0", 0xE080},
    {"timeSigCommon", 0xE08A},
    {"timeSigCutCommon", 0xE08B},
    {"noteheadDoubleWhole", 0xE0A0},
    {"noteheadWhole", 0xE0A2},
    {"noteheadHalf", 0xE0A3},
    {"noteheadBlack", 0xE0A4},
    {"noteheadXWhole", 0xE0A7},
    {"noteheadXBlack", 0xE0A9},
    {"noteheadDiamondHalf", 0xE0D9},
    {"noteheadSlashVerticalEnds", 0xE100},
    {"flag8thUp", 0xE240},
    {"flag8thDown", 0xE241},
    {"flag16thUp", 0xE242},
    {"flag16thDown", 0xE243},
    {"flag32ndUp", 0xE244},
    {"flag32ndDown", 0xE245},
    {"flag64thUp", 0xE246},
    {"flag64thDown", 0xE247},
    {"augmentationDot", 0xE1E7},
    {"repeatDot", 0xE044},
    {"bracketTop", 0xE003},
    {"bracketBottom", 0xE004},
    {"accidentalFlat", 0xE260},
    {"accidentalNatural", 0xE261},
    {"accidentalSharp", 0xE262},
    {"accidentalDoubleSharp", 0xE263},
    {"accidentalDoubleFlat", 0xE264},
    {"accidentalQuarterToneFlatStein", 0xE280},
    {"accidentalQuarterToneSharpStein", 0xE282},
    {"accidentalThreeQuarterTonesSharpStein", 0xE283},
    {"restDoubleWhole", 0xE4E2},
    {"restWhole", 0xE4E3},
    {"restHalf", 0xE4E4},
    {"restQuarter", 0xE4E5},
    {"rest8th", 0xE4E6},
    {"rest16th", 0xE4E7},
    {"rest32nd", 0xE4E8},
    {"rest64th", 0xE4E9},
    {"restHBar", 0xE4EE},
    {"fermataAbove", 0xE4C0},
    {"fermataBelow", 0xE4C1},
    {"fermataShortAbove", 0xE4C4},
    {"breathMarkComma", 0xE4CE},
    {"caesura", 0xE4D1},
    {"repeat1Bar", 0xE500},
    {"articAccentAbove", 0xE4A0},
    {"articStaccatoAbove", 0xE4A2},
    {"articTenutoAbove", 0xE4A4},
    {"articTenutoBelow", 0xE4A5},
    {"articStaccatissimoWedgeAbove", 0xE4A8},
    {"articStaccatissimoWedgeBelow", 0xE4A9},
    {"articMarcatoAbove", 0xE4AC},
    {"articMarcatoBelow", 0xE4AD},
    {"articMarcatoStaccatoAbove", 0xE4AE},
    {"articMarcatoStaccatoBelow", 0xE4AF},
    {"ottavaAlta", 0xE511},
    {"quindicesimaAlta", 0xE515},
    {"ottavaBassaVb", 0xE51C},
    {"dynamicPiano", 0xE520},
    {"dynamicForte", 0xE522},
    {"dynamicPPP", 0xE52A},
    {"dynamicPP", 0xE52B},
    {"dynamicMP", 0xE52C},
    {"dynamicMF", 0xE52D},
    {"dynamicFF", 0xE52F},
    {"dynamicFFF", 0xE530},
    {"dynamicForzando", 0xE535},
    {"dynamicSforzando1", 0xE536},
    {"dynamicSforzato", 0xE539},
    {"dalSegno", 0xE045},
    {"daCapo", 0xE046},
    {"segno", 0xE047},
    {"coda", 0xE048},
    {"codaSquare", 0xE049},
    {"graceNoteAcciaccaturaStemUp", 0xE560},
    {"graceNoteAcciaccaturaStemDown", 0xE561},
    {"ornamentTrill", 0xE566},
    {"ornamentTurn", 0xE567},
    {"ornamentTurnInverted", 0xE568},
    {"ornamentTurnSlash", 0xE569},
    {"ornamentTurnUp", 0xE56A},
    {"ornamentShortTrill", 0xE56C},
    {"ornamentPrecompSlide", 0xE5B0},
    {"ornamentPrecompTrillWithMordent", 0xE5BD},
    {"ornamentPrecompDoubleCadenceLowerPrefix", 0xE5C0},
    {"ornamentPrecompMordentUpperPrefix", 0xE5C6},
    {"wiggleTrill", 0xEAA4},
    {"wiggleArpeggiatoUp", 0xEAA9},
    {"wiggleArpeggiatoUpArrow", 0xEAAD},
    {"wiggleArpeggiatoDownArrow", 0xEAAE},
    {"metNoteQuarterUp", 0xECA5},
    {"tremolo1", 0xE220},
    {"tremolo2", 0xE221},
    {"stringsDownBow", 0xE610},
    {"stringsUpBow", 0xE612},
    {"stringsHarmonic", 0xE614},
    {"stringsThumbPosition", 0xE624},
    {"pluckedSnapPizzicatoAbove", 0xE631},
    {"pluckedLeftHandPizzicato", 0xE633},
    {"brassMuteClosed", 0xE5E5},
    {"brassMuteOpen", 0xE5E7},
    {"keyboardPedalPed", 0xE650},
    {"keyboardPedalUp", 0xE655},
    {"tuplet0", 0xE880},
    {"fingering0", 0xED10},
    {"figbass0", 0xEA50},
    {"figbass1", 0xEA51},
    {"figbass2", 0xEA52},
    {"figbass2Raised", 0xEA53},
    {"figbass3", 0xEA54},
    {"figbass4", 0xEA55},
    {"figbass4Raised", 0xEA56},
    {"figbass5", 0xEA57},
    {"figbass5Raised1", 0xEA58},
    {"figbass6", 0xEA5B},
    {"figbass6Raised", 0xEA5C},
    {"figbass7", 0xEA5D},
    {"figbass7Raised1", 0xEA5E},
    {"figbass8", 0xEA60},
    {"figbass9", 0xEA61},
    {"arrowBlackUp", 0xEB60},
    {"arrowBlackDown", 0xEB64},
};

// The table with the digit families filled in (each consecutive from its zero).
std::map<std::string, char32_t> MakeSmufl() {
    std::map<std::string, char32_t> t = kSmuflBase;
    for (int d = 1; d <= 9; ++d) {
        t["timeSig" + std::to_string(d)] = 0xE080 + d;
        t["tuplet" + std::to_string(d)] = 0xE880 + d;
        // Fingering 6 to 9 came later and live apart from 0 to 5.
        t["fingering" + std::to_string(d)] = d <= 5 ? 0xED10 + d : 0xED24 + (d - 6);
    }
    return t;
}
const std::map<std::string, char32_t> kSmufl = MakeSmufl();

struct BBox {
    double w = 0, e = 0, s = 0, n = 0;  // in spaces: west, east, south, north
};

class Font {
  public:
    bool load(const QString& otf, const QString& metadata) {
        int id = QFontDatabase::addApplicationFont(otf);
        if (id < 0) return false;
        family_ = QFontDatabase::applicationFontFamilies(id).value(0);
        QFile f(metadata);
        if (!f.open(QIODevice::ReadOnly)) return false;
        QJsonObject boxes = QJsonDocument::fromJson(f.readAll()).object()["glyphBBoxes"].toObject();
        for (auto it = boxes.begin(); it != boxes.end(); ++it) {
            QJsonObject o = it.value().toObject();
            BBox b;
            b.w = o["bBoxSW"].toArray()[0].toDouble();
            b.s = o["bBoxSW"].toArray()[1].toDouble();
            b.e = o["bBoxNE"].toArray()[0].toDouble();
            b.n = o["bBoxNE"].toArray()[1].toDouble();
            boxes_[it.key().toStdString()] = b;
        }
        raw_ = QRawFont(otf, 1000);
        return !family_.isEmpty() && raw_.isValid();
    }
    const QString& family() const { return family_; }
    BBox box(const std::string& name) const {
        auto it = boxes_.find(name);
        if (it == boxes_.end()) {
            std::fprintf(stderr, "glyphgen: no metadata for %s\n", name.c_str());
            return {};
        }
        return it->second;
    }
    // The code point of a name; digits of numbered families follow the first.
    char32_t code(const std::string& name) const {
        auto it = kSmufl.find(name);
        if (it == kSmufl.end()) {
            std::fprintf(stderr, "glyphgen: unknown symbol %s\n", name.c_str());
            return 0;
        }
        return it->second;
    }
    // Checks the code point table against the metadata: the outline drawn at a
    // code point must have the bounding box the metadata gives for its name.
    int verify() const {
        int bad = 0;
        for (const auto& [name, cp] : kSmufl) {
            auto it = boxes_.find(name);
            // The metadata's box for tuplet 0 is from another version of the
            // outline; its neighbours 1 to 9 confirm the sequence.
            if (it == boxes_.end() || name == "tuplet0") continue;
            QVector<quint32> idx = raw_.glyphIndexesForString(QString::fromUcs4(&cp, 1));
            if (idx.isEmpty() || idx[0] == 0) {
                std::fprintf(stderr, "glyphgen: %s U+%04X missing from the font\n", name.c_str(),
                             unsigned(cp));
                candidates(it->second);
                ++bad;
                continue;
            }
            QRectF r = raw_.boundingRect(idx[0]);  // in units of 1000 = 4 spaces
            double w = r.width() / 250.0, h = r.height() / 250.0;
            double ew = it->second.e - it->second.w, eh = it->second.n - it->second.s;
            if (std::fabs(w - ew) > 0.08 || std::fabs(h - eh) > 0.08) {
                std::fprintf(stderr, "glyphgen: %s U+%04X measures %.2fx%.2f, expected %.2fx%.2f\n",
                             name.c_str(), unsigned(cp), w, h, ew, eh);
                candidates(it->second);
                ++bad;
            }
        }
        return bad;
    }

  private:
    // Lists the code points whose outline has this box, to mend the table with.
    void candidates(const BBox& b) const {
        for (char32_t cp = 0xE000; cp < 0xF8FF; ++cp) {
            QVector<quint32> idx = raw_.glyphIndexesForString(QString::fromUcs4(&cp, 1));
            if (idx.isEmpty() || idx[0] == 0) continue;
            QRectF r = raw_.boundingRect(idx[0]);
            if (std::fabs(r.width() / 250.0 - (b.e - b.w)) < 0.01 &&
                std::fabs(r.height() / 250.0 - (b.n - b.s)) < 0.01)
                std::fprintf(stderr, "    candidate U+%04X\n", unsigned(cp));
        }
    }

    QString family_;
    QRawFont raw_;
    std::map<std::string, BBox> boxes_;
};

// One cell being drawn. Recipes work in screen page pixels relative to the
// reference point; the cell maps them through the set's scale and the code's
// nudges so that, once painted with those nudges, the glyph lands where the
// recipe put it.
class Cell {
  public:
    Cell(const Font& font, int w, int h, bool print, Nudge screen, Nudge printN)
        : font_(font), print_(print), img_(w, h, QImage::Format_Grayscale8) {
        img_.fill(255);
        k_ = print ? 3.0 : 1.0;
        // The reference point is column w/2 + 1 and row h/2 of the cell.
        ox_ = (w / 2 + 1) - k_ * screen.x - (print ? printN.x : 0);
        oy_ = (h / 2) - k_ * screen.y - (print ? printN.y : 0);
    }

    double X(double x) const { return ox_ + k_ * x; }
    double Y(double y) const { return oy_ + k_ * y; }
    bool print() const { return print_; }

    // The centre of stave line k (2 top .. -2 bottom) for a glyph drawn on the
    // middle line: on screen the middle line is the row above the reference,
    // in print the three rows around three times the reference.
    double lineY(double k) const { return print_ ? (1.0 / 6.0 - 8 * k) : (-0.5 - 8 * k); }

    // A SMuFL symbol with its origin at (x, y), scaled.
    void sym(const std::string& name, double x, double y, double scale = 1.0, double rotate = 0,
             double stretchX = 1.0) {
        char32_t cp = font_.code(name);
        QPainter p(&img_);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        QFont f(font_.family());
        f.setPixelSize(std::max(1, int(std::lround(4 * 8 * k_ * scale))));
        f.setHintingPreference(QFont::PreferNoHinting);
        p.setFont(f);
        p.setPen(Qt::black);
        p.translate(X(x), Y(y));
        if (rotate != 0) p.rotate(rotate);
        if (stretchX != 1.0) p.scale(stretchX, 1.0);
        p.drawText(QPointF(0, 0), QString::fromUcs4(&cp, 1));
        QPainterPath text;
        text.addText(QPointF(0, 0), f, QString::fromUcs4(&cp, 1));
        pieces_.push_back(p.transform().map(text));
    }
    // A symbol centred horizontally on x, its origin's baseline at y.
    void symC(const std::string& name, double x, double y, double scale = 1.0) {
        BBox b = font_.box(name);
        sym(name, x - (b.w + b.e) / 2 * 8 * scale, y, scale);
    }
    // A symbol centred on (x, y) both ways.
    void symCC(const std::string& name, double x, double y, double scale = 1.0) {
        BBox b = font_.box(name);
        sym(name, x - (b.w + b.e) / 2 * 8 * scale, y + (b.n + b.s) / 2 * 8 * scale, scale);
    }
    double width(const std::string& name, double scale = 1.0) const {
        BBox b = font_.box(name);
        return (b.e - b.w) * 8 * scale;
    }

    // A solid rectangle [x0, x1) x [y0, y1) in recipe pixels, snapped to whole
    // cell pixels.
    void rect(double x0, double x1, double y0, double y1) {
        fillCells(int(std::lround(X(x0))), int(std::lround(X(x1))), int(std::lround(Y(y0))),
                  int(std::lround(Y(y1))));
    }
    // A stroke of a bar line, from recipe row y0 to y1: on screen its own
    // columns, in print the print columns the bar table gives it.
    void barStroke(const BarStroke& b, double y0, double y1) {
        const int r0 = int(std::lround(Y(y0))), r1 = int(std::lround(Y(y1)));
        const int ref = int(std::lround(X(0)));
        if (print_)
            fillCells(ref + b.printLeft(), ref + b.printRight(), r0, r1);
        else
            fillCells(ref + b.left, ref + b.left + b.width, r0, r1);
    }
    // A symbol stretched to fill the recipe box [x0, x1) x [y0, y1).
    void fit(const std::string& name, double x0, double x1, double y0, double y1) {
        BBox b = font_.box(name);
        const double scale = (y1 - y0) / ((b.n - b.s) * 8);
        const double stretch = (x1 - x0) / ((b.e - b.w) * 8 * scale);
        sym(name, x0 - b.w * 8 * scale * stretch, y1 + b.s * 8 * scale, scale, 0, stretch);
    }
    // Cell pixels [c0, c1) x [r0, r1).
    void fillCells(int c0, int c1, int r0, int r1) {
        if (c1 <= c0) c1 = c0 + 1;
        if (r1 <= r0) r1 = r0 + 1;
        const int left = std::max(0, c0), right = std::min(img_.width(), c1);
        const int top = std::max(0, r0), bottom = std::min(img_.height(), r1);
        if (left < right && top < bottom) {
            QPainterPath box;
            box.addRect(QRectF(left, top, right - left, bottom - top));
            pieces_.push_back(box);
        }
        for (int r = std::max(0, r0); r < std::min(img_.height(), r1); ++r)
            for (int c = std::max(0, c0); c < std::min(img_.width(), c1); ++c)
                img_.scanLine(r)[c] = 0;
    }
    // A stroked line between recipe points, width in recipe pixels.
    void line(double x0, double y0, double x1, double y1, double width) {
        QPainter p(&img_);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, std::max(1.0, width * k_), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(X(x0), Y(y0)), QPointF(X(x1), Y(y1)));
        QPainterPath l;
        l.moveTo(X(x0), Y(y0));
        l.lineTo(X(x1), Y(y1));
        stroke(l, width, Qt::RoundCap);
    }
    void ellipse(double cx, double cy, double rx, double ry, double width, bool filled) {
        QPainter p(&img_);
        p.setRenderHint(QPainter::Antialiasing);
        if (filled) {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
        } else {
            p.setPen(QPen(Qt::black, std::max(1.0, width * k_)));
        }
        p.drawEllipse(QPointF(X(cx), Y(cy)), rx * k_, ry * k_);
        QPainterPath e;
        e.addEllipse(QPointF(X(cx), Y(cy)), rx * k_, ry * k_);
        if (filled)
            pieces_.push_back(e);
        else
            stroke(e, width, Qt::SquareCap);
    }
    void arc(double cx, double cy, double rx, double ry, double fromDeg, double spanDeg,
             double width) {
        QPainter p(&img_);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, std::max(1.0, width * k_), Qt::SolidLine, Qt::RoundCap));
        QRectF r(X(cx) - rx * k_, Y(cy) - ry * k_, 2 * rx * k_, 2 * ry * k_);
        p.drawArc(r, int(fromDeg * 16), int(spanDeg * 16));
        QPainterPath a;
        a.arcMoveTo(r, int(fromDeg * 16) / 16.0);
        a.arcTo(r, int(fromDeg * 16) / 16.0, int(spanDeg * 16) / 16.0);
        stroke(a, width, Qt::RoundCap);
    }

    // Ink where the drawing covers more than the threshold; the screen set uses
    // a lower one so that hairlines of the font stay joined at 8 pixels a space.
    Mask mask() const {
        Mask m;
        m.width = img_.width();
        m.height = img_.height();
        m.ink.assign(static_cast<std::size_t>(m.width * m.height), 0);
        const int threshold = print_ ? 128 : 160;
        for (int y = 0; y < m.height; ++y)
            for (int x = 0; x < m.width; ++x)
                m.ink[static_cast<std::size_t>(y * m.width + x)] =
                    img_.constScanLine(y)[x] < threshold;
        return m;
    }

    // The drawing as outlines in cell pixels, each filled with the nonzero
    // rule, clipped to the cell as the bitmap is.
    std::vector<QPainterPath> outlines() const {
        QPainterPath cell;
        cell.addRect(QRectF(0, 0, img_.width(), img_.height()));
        std::vector<QPainterPath> out;
        for (const QPainterPath& piece : pieces_) {
            const QRectF box = piece.boundingRect();
            if (cell.boundingRect().contains(box))
                out.push_back(piece);
            else
                out.push_back(piece.intersected(cell));
        }
        return out;
    }

  private:
    void stroke(const QPainterPath& path, double width, Qt::PenCapStyle cap) {
        QPainterPathStroker s;
        s.setWidth(std::max(1.0, width * k_));
        s.setCapStyle(cap);
        pieces_.push_back(s.createStroke(path));
    }

    const Font& font_;
    bool print_;
    QImage img_;
    std::vector<QPainterPath> pieces_;
    double k_ = 1, ox_ = 0, oy_ = 0;
};

// Geometry shared by the note glyphs: the head box, where stems start and end.
constexpr double kHeadLeft = -4, kHeadRight = 6;  // columns 17..26 of the screen cell
constexpr double kHeadCentreY = -1;               // heads are drawn one pixel below the note
constexpr double kStem = 28;                      // 3.5 spaces
constexpr double kSmall = 0.7;                    // cue and grace notes

void Head(Cell& c, const std::string& name, double scale = 1.0) {
    double w = c.width(name, scale);
    double centre = (kHeadLeft + kHeadRight) / 2;
    if (scale == 1.0) {
        // A normal head fills its ten columns exactly: stretched the few
        // per cent the font's head falls short of them.
        c.sym(name, kHeadLeft, kHeadCentreY, 1.0, 0, (kHeadRight - kHeadLeft) / w);
        return;
    }
    c.sym(name, centre - w / 2, kHeadCentreY, scale);
}

// A stem on the right of the head going up, or on the left going down.
void Stem(Cell& c, bool up, double scale = 1.0, double length = kStem) {
    double half = (kHeadRight - kHeadLeft) / 2 * scale;
    double centre = (kHeadLeft + kHeadRight) / 2;
    if (up)
        c.rect(centre + half - 1, centre + half, kHeadCentreY - length * scale, kHeadCentreY);
    else
        c.rect(centre - half, centre - half + 1, kHeadCentreY, kHeadCentreY + length * scale);
}

const char* FlagName(int level, bool up) {
    static const char* kUp[] = {"flag8thUp", "flag16thUp", "flag32ndUp", "flag64thUp"};
    static const char* kDown[] = {"flag8thDown", "flag16thDown", "flag32ndDown", "flag64thDown"};
    return up ? kUp[level] : kDown[level];
}

// A flag at the end of the stem of a head drawn by Head()/Stem().
void FlagOnStem(Cell& c, int level, bool up, double scale = 1.0, double length = kStem) {
    double half = (kHeadRight - kHeadLeft) / 2 * scale;
    double centre = (kHeadLeft + kHeadRight) / 2;
    if (up)
        c.sym(FlagName(level, true), centre + half - 1, kHeadCentreY - length * scale, scale);
    else
        c.sym(FlagName(level, false), centre - half, kHeadCentreY + length * scale, scale);
}

// A flag alone, for the end of a stem drawn by the note code: stem-up flags are
// drawn with the reference point 5 left of and 33 below the stem end, stem-down
// ones 4 right of and 28 above it.
void LoneFlag(Cell& c, int level, bool up, double scale = 1.0) {
    if (up)
        c.sym(FlagName(level, true), 5, -33, scale);
    else
        c.sym(FlagName(level, false), -4, 29, scale);
}

// A bar line of one style, from the top line down to the bottom line, with
// its repeat dots in the spaces either side of the middle line.
void Bars(Cell& c, int style) {
    const BarShape shape = BarShapeOf(style);
    for (int i = 0; i < shape.strokes; ++i)
        c.barStroke(shape.stroke[i], c.lineY(2) - 0.5, c.lineY(-2) - 0.5);
    for (int i = 0; i < shape.dots; ++i)
        for (double dy : {-4.0, 4.0})
            c.symCC("repeatDot", shape.dotColumn[i] + 0.5, c.lineY(0) + dy);
}

using Recipe = std::function<void(Cell&)>;

std::string D(const char* family, int d) {
    std::string s(family);
    s += std::to_string(d);
    return s;
}
std::string FigDigit(int d) {
    return D("figbass", d);
}

// Two figured-bass figures stacked, the first above.
void Stacked(Cell& c, const std::string& upper, const std::string& lower) {
    c.symC(upper, 0.5, c.lineY(0) - 1);
    c.symC(lower, 0.5, c.lineY(0) + 9);
}

std::map<std::string, Recipe> Recipes() {
    std::map<std::string, Recipe> r;
    // Clefs sit on their line: G on the second line up, F on the fourth, C on
    // the middle (alto) or the fourth (tenor).
    r["GCLEF"] = [](Cell& c) { c.symC("gClef", 0.5, c.lineY(-1)); };
    r["FCLEF"] = [](Cell& c) { c.symC("fClef", 0.5, c.lineY(1)); };
    r["ACLEF"] = [](Cell& c) { c.symC("cClef", 0.5, c.lineY(0)); };
    r["TCLEF"] = [](Cell& c) { c.symC("cClef", 0.5, c.lineY(1)); };
    r["GCLEF2"] = [](Cell& c) { c.symC("gClefChange", 0.5, c.lineY(-1)); };
    r["FCLEF2"] = [](Cell& c) { c.symC("fClefChange", 0.5, c.lineY(1)); };
    r["ACLEF2"] = [](Cell& c) { c.symC("cClefChange", 0.5, c.lineY(0)); };
    r["TCLEF2"] = [](Cell& c) { c.symC("cClefChange", 0.5, c.lineY(1)); };

    // Time-signature digits are two spaces tall, centred on the reference.
    for (int d = 0; d <= 9; ++d)
        r[std::to_string(d)] = [d](Cell& c) { c.symC(D("timeSig", d), 0.5, c.lineY(0)); };
    r["16"] = [](Cell& c) {
        const double gap = 1;
        double w1 = c.width("timeSig1"), w6 = c.width("timeSig6");
        c.sym("timeSig1", 0.5 - (w1 + w6 + gap) / 2, c.lineY(0));
        c.sym("timeSig6", 0.5 - (w1 + w6 + gap) / 2 + w1 + gap, c.lineY(0));
    };
    // The signs are drawn at the numerator's place, a space above the middle
    // line, and sit on the middle line.
    r["COMMON"] = [](Cell& c) { c.symC("timeSigCommon", 0.5, c.lineY(-1)); };
    r["COMMON2"] = [](Cell& c) { c.symC("timeSigCutCommon", 0.5, c.lineY(-1)); };
    r["COMMONS"] = [](Cell& c) { c.symC("timeSigCommon", 0.5, c.lineY(-1), 0.625); };
    r["COMMON2S"] = [](Cell& c) { c.symC("timeSigCutCommon", 0.5, c.lineY(-1), 0.625); };

    // Heads and whole notes.
    r["BREVE"] = [](Cell& c) { Head(c, "noteheadDoubleWhole", 0.999); };
    r["SEMIBREV"] = [](Cell& c) { Head(c, "noteheadWhole", 0.999); };
    r["1_"] = [](Cell& c) { Head(c, "noteheadHalf"); };
    r["4_"] = [](Cell& c) { Head(c, "noteheadBlack"); };
    r["1_2"] = [](Cell& c) { Head(c, "noteheadHalf", kSmall); };
    r["4_2"] = [](Cell& c) { Head(c, "noteheadBlack", kSmall); };
    r["0X"] = [](Cell& c) { Head(c, "noteheadXBlack"); };
    r["1X"] = [](Cell& c) { Head(c, "noteheadXWhole", 0.999); };
    // The diamond is as wide as a normal head, so that its stems meet it.
    r["Diamond"] = [](Cell& c) { Head(c, "noteheadDiamondHalf"); };
    // The slash runs from the foot of a stem down (9 left of the note, a space
    // below it) to the foot of a stem up (9 right, a space above).
    r["DIAGLINE"] = [](Cell& c) {
        c.fit("noteheadSlashVerticalEnds", -8, 10, kHeadCentreY - 8, kHeadCentreY + 9);
    };

    // Stemmed notes.
    auto note = [](const char* head, bool up, double scale, int flag, int strokes) {
        return [=](Cell& c) {
            Head(c, head, scale);
            Stem(c, up, scale);
            if (flag >= 0) FlagOnStem(c, flag, up, scale);
            if (strokes > 0) {
                // Tremolo strokes across the middle of the stem.
                double centre = (kHeadLeft + kHeadRight) / 2, half = (kHeadRight - kHeadLeft) / 2;
                double x = up ? centre + half - 0.5 : centre - half + 0.5;
                double y = kHeadCentreY + (up ? -1 : 1) * kStem * 0.55;
                c.symCC(strokes == 1 ? "tremolo1" : "tremolo2", x, y);
            }
        };
    };
    r["2U"] = note("noteheadHalf", true, 1, -1, 0);
    r["2D"] = note("noteheadHalf", false, 1, -1, 0);
    r["4U"] = note("noteheadBlack", true, 1, -1, 0);
    r["4D"] = note("noteheadBlack", false, 1, -1, 0);
    r["2U2"] = note("noteheadHalf", true, kSmall, -1, 0);
    r["2D2"] = note("noteheadHalf", false, kSmall, -1, 0);
    r["4U2"] = note("noteheadBlack", true, kSmall, -1, 0);
    r["4D2"] = note("noteheadBlack", false, kSmall, -1, 0);
    r["2U3"] = note("noteheadHalf", true, 1, -1, 1);
    r["2D3"] = note("noteheadHalf", false, 1, -1, 1);
    r["2U4"] = note("noteheadHalf", true, 1, -1, 2);
    r["2D4"] = note("noteheadHalf", false, 1, -1, 2);
    r["4U3"] = note("noteheadBlack", true, 1, -1, 1);
    r["4D3"] = note("noteheadBlack", false, 1, -1, 1);
    r["4U4"] = note("noteheadBlack", true, 1, -1, 2);
    r["4D4"] = note("noteheadBlack", false, 1, -1, 2);
    const char* levels[] = {"8", "16", "32", "64"};
    for (int l = 0; l < 4; ++l) {
        std::string v = levels[l];
        r[v + "U0"] = note("noteheadHalf", true, 1, l, 0);
        r[v + "D0"] = note("noteheadHalf", false, 1, l, 0);
        r[v + "us"] = note("noteheadBlack", true, 1, l, 0);
        r[v + "ds"] = note("noteheadBlack", false, 1, l, 0);
        r[v + "U"] = [l](Cell& c) { LoneFlag(c, l, true); };
        r[v + "D"] = [l](Cell& c) { LoneFlag(c, l, false); };
        r[v + "U2"] = [l](Cell& c) { LoneFlag(c, l, true, kSmall); };
        r[v + "D2"] = [l](Cell& c) { LoneFlag(c, l, false, kSmall); };
    }
    r["16UX"] = note("noteheadXBlack", true, 1, 1, 0);
    // Semibreves with tremolo strokes above (U) or below (D) the head.
    auto wholeTrem = [](bool up, int strokes) {
        return [=](Cell& c) {
            Head(c, "noteheadWhole", 0.999);
            c.symCC(strokes == 1 ? "tremolo1" : "tremolo2", 1, kHeadCentreY + (up ? -14 : 14));
        };
    };
    r["1U3"] = wholeTrem(true, 1);
    r["1D3"] = wholeTrem(false, 1);
    r["1U4"] = wholeTrem(true, 2);
    r["1D4"] = wholeTrem(false, 2);
    // Grace notes: small quaver with a slash, head where a small head goes.
    r["8U3"] = [](Cell& c) {
        double w = c.width("noteheadBlack", kSmall);
        c.sym("graceNoteAcciaccaturaStemUp", 1 - w / 2, kHeadCentreY, kSmall * 1.2);
    };
    r["8D3"] = [](Cell& c) {
        double w = c.width("noteheadBlack", kSmall);
        c.sym("graceNoteAcciaccaturaStemDown", 1 - w / 2, kHeadCentreY, kSmall * 1.2);
    };

    // Dots: the note geometry puts the dot point one pixel right of the note
    // and three below the space the dot sits in, so the dot is drawn clear of
    // the head: 8 pixels right of the point and 3.5 above it.
    auto dots = [](int count) {
        return [count](Cell& c) {
            for (int i = 0; i < count; ++i)
                c.symCC("augmentationDot", 8.5 + 6 * i, -3.5);
        };
    };
    r["DOT"] = dots(1);
    r["DOT2"] = dots(2);
    r["DOT3"] = dots(3);
    r["tinyblack"] = [](Cell& c) { c.ellipse(0.5, 0.5, 1.6, 1.6, 0, true); };

    // Bar lines at the offsets the stave drawing joins them with.
    const char* bars[] = {"BARLINE", "2BARLINE", "REPBAR1", "REPBAR2", "REPBAR3", "3BARLINE"};
    for (int style = 0; style < 6; ++style)
        r[bars[style]] = [style](Cell& c) { Bars(c, style); };
    r["dottedbarline"] = [](Cell& c) {
        const double bottom = c.lineY(-2) - 0.5;
        for (double y = c.lineY(2) - 0.5; y < bottom; y += 6)
            c.rect(0, 2, y, std::min(y + 4, bottom));
    };
    r["halfbarline"] = [](Cell& c) { c.rect(0, 2, c.lineY(1) - 0.5, c.lineY(-1) + 0.5); };
    r["halfbarline2"] = [](Cell& c) { c.rect(0, 2, c.lineY(2) - 0.5, c.lineY(0) + 0.5); };
    r["STAVE1"] = [](Cell& c) { c.sym("bracketTop", -4, c.lineY(2) - 0.5); };
    r["STAVE2"] = [](Cell& c) { c.sym("bracketBottom", -4, c.lineY(-2) + 0.5); };

    // Accidentals sit on the line or space of the reference.
    auto acc = [](const char* name, double scale) {
        return [=](Cell& c) { c.symC(name, 0.5, c.lineY(0), scale); };
    };
    r["FLAT"] = acc("accidentalFlat", 1);
    r["2FLAT"] = acc("accidentalDoubleFlat", 1);
    r["SHARP"] = acc("accidentalSharp", 1);
    r["2SHARP"] = acc("accidentalDoubleSharp", 1);
    r["NATURAL"] = acc("accidentalNatural", 1);
    r["FLATREV"] = acc("accidentalQuarterToneFlatStein", 1);
    r["qtrsharp"] = acc("accidentalQuarterToneSharpStein", 1);
    r["3qtrsharp"] = acc("accidentalThreeQuarterTonesSharpStein", 1);
    r["TINYFLAT"] = acc("accidentalFlat", 0.6);
    r["TINYSHAR"] = acc("accidentalSharp", 0.6);
    r["TINYNATU"] = acc("accidentalNatural", 0.6);

    // Rests: the semibreve hangs from the line above its position, the breve
    // fills the space above it, the minim sits on its line, the rest centre.
    auto rests = [&r](const std::string& suffix, double scale) {
        r["0Z" + suffix] = [scale](Cell& c) { c.symC("restWhole", 0.5, c.lineY(1), scale); };
        // The breve rest fills the space above the middle line, line to line,
        // as a solid block (the outline's corners fall apart at 8 a space).
        r["1Z" + suffix] = [scale](Cell& c) {
            const double half = 2 * scale, line = 0.5;
            c.rect(0.5 - half, 0.5 + half, c.lineY(scale) - line, c.lineY(0) + line);
        };
        r["2Z" + suffix] = [scale](Cell& c) { c.symC("restHalf", 0.5, c.lineY(0), scale); };
        const char* names[] = {"restQuarter", "rest8th", "rest16th", "rest32nd", "rest64th"};
        const char* codes[] = {"4Z", "8Z", "16Z", "32Z", "64Z"};
        for (int i = 0; i < 5; ++i) {
            std::string n = names[i];
            r[codes[i] + suffix] = [n, scale](Cell& c) { c.symC(n, 0.5, c.lineY(0), scale); };
        }
    };
    rests("", 1);
    rests("2", kSmall);
    r["BARSREST"] = [](Cell& c) { c.symCC("restHBar", 0.5, c.lineY(0), 0.999); };

    // Marks, centred on the reference point.
    auto mark = [](const char* name, double scale) {
        return [=](Cell& c) { c.symCC(name, 0.5, c.lineY(0), scale); };
    };
    r["HOLDUP"] = mark("fermataAbove", 1);
    r["HOLDDN"] = mark("fermataBelow", 1);
    r["REPEAT"] = mark("repeat1Bar", 1);
    r["STACCUP"] = mark("articStaccatoAbove", 1);
    // Wedges and marcatos hang off their reference point by their tip, two
    // pixels clear, so that one space from a head they never touch it: the
    // upward ones (used below a note) point up at it, the downward ones down.
    r["STACCCUP"] = [](Cell& c) { c.symC("articStaccatissimoWedgeBelow", 0.5, -2); };
    r["STACCCDN"] = [](Cell& c) { c.symC("articStaccatissimoWedgeAbove", 0.5, 2); };
    r["HATUP"] = [](Cell& c) { c.symC("articMarcatoAbove", 0.5, 2); };
    r["GREATER"] = mark("articAccentAbove", 1);
    r["LINEUP"] = mark("articTenutoAbove", 1);
    r["LINEDN"] = mark("articTenutoBelow", 1);
    r["V"] = [](Cell& c) { c.symC("articMarcatoBelow", 0.5, -2); };
    r["Vdot"] = mark("articMarcatoStaccatoBelow", 1);
    r["invertvdot"] = mark("articMarcatoStaccatoAbove", 1);
    r["U"] = [](Cell& c) { c.arc(0.5, c.lineY(0) - 3, 5, 5, 180, 180, 1.3); };
    r["TURNROT"] = mark("ornamentTurnUp", 1);
    r["TURNINV"] = mark("ornamentTurnInverted", 1);
    r["TURN"] = mark("ornamentTurn", 1);
    r["TURNLINE"] = mark("ornamentTurnSlash", 1);
    r["UPHOOK"] = mark("ornamentPrecompMordentUpperPrefix", 0.95);
    r["LOWHOOK"] = mark("ornamentPrecompDoubleCadenceLowerPrefix", 0.85);
    r["SPIKE"] = mark("ornamentPrecompTrillWithMordent", 1);
    r["MM"] = mark("ornamentShortTrill", 1);
    r["TR"] = mark("ornamentTrill", 1);
    r["SLIDE"] = mark("ornamentPrecompSlide", 1);
    r["SLUR"] = [](Cell& c) { c.arc(0.5, c.lineY(0) - 2, 10, 5, 200, 140, 1.6); };
    r["SEGNO1"] = mark("segno", 1);
    r["SEGNO2"] = mark("coda", 1);
    r["SEGNO3"] = mark("codaSquare", 1);
    r["PED"] = mark("keyboardPedalPed", 1);
    r["STAR"] = mark("keyboardPedalUp", 1);
    r["dc"] = mark("daCapo", 1);
    r["ds"] = mark("dalSegno", 1);
    r["uparrow"] = mark("arrowBlackUp", 1);
    r["downarrow"] = mark("arrowBlackDown", 1);
    r["slash2"] = mark("caesura", 1);
    r["8VA"] = mark("ottavaAlta", 1);
    r["8VB"] = mark("ottavaBassaVb", 1);
    r["15MA"] = mark("quindicesimaAlta", 0.85);  // the full size is wider than a cell
    const char* users[] = {
        "breathMarkComma",          "stringsDownBow",       "stringsUpBow",
        "stringsHarmonic",          "stringsThumbPosition", "pluckedSnapPizzicatoAbove",
        "pluckedLeftHandPizzicato", "brassMuteOpen",        "brassMuteClosed",
        "fermataShortAbove"};
    for (int i = 0; i < 10; ++i)
        r[D("USER", (i + 1) % 10)] = mark(users[i], 1);

    // Dynamics.
    r["PPP"] = mark("dynamicPPP", 1);
    r["PP"] = mark("dynamicPP", 1);
    r["P"] = mark("dynamicPiano", 1);
    r["MP"] = mark("dynamicMP", 1);
    r["MF"] = mark("dynamicMF", 1);
    r["F"] = mark("dynamicForte", 1);
    r["FF"] = mark("dynamicFF", 1);
    r["FFF"] = mark("dynamicFFF", 1);
    r["SF"] = mark("dynamicSforzando1", 1);
    r["FZ"] = mark("dynamicForzando", 1);
    r["SFZ"] = mark("dynamicSforzato", 1);

    // Damping signs: a circle with a cross, a plus, a bar, or a filled circle.
    r["MUFFLE1"] = [](Cell& c) {
        double y = c.lineY(0);
        c.ellipse(0.5, y, 6, 6, 1.2, false);
        c.line(-3.5, y - 4, 4.5, y + 4, 1.2);
        c.line(-3.5, y + 4, 4.5, y - 4, 1.2);
    };
    r["MUFFLE2"] = [](Cell& c) {
        double y = c.lineY(0);
        c.ellipse(0.5, y, 6, 6, 1.2, false);
        c.line(0.5, y - 6, 0.5, y + 6, 1.2);
        c.line(-5.5, y, 6.5, y, 1.2);
    };
    r["MUFFLE3"] = [](Cell& c) {
        double y = c.lineY(0);
        c.ellipse(0.5, y, 6, 6, 1.2, false);
        c.line(-5.5, y, 6.5, y, 1.2);
    };
    r["MUFFLE4"] = [](Cell& c) { c.ellipse(0.5, c.lineY(0), 5, 5, 0, true); };

    // Angles and wavy lines.
    r["DIVISI"] = [](Cell& c) {
        double l = -8, rr = 9, mid = c.lineY(0);
        c.line(l, mid, rr, c.lineY(2), 1.3);
        c.line(l, mid, rr, c.lineY(-2), 1.3);
    };
    r["combiup"] = [](Cell& c) {
        c.line(-6, c.lineY(0), 7, c.lineY(1), 1.3);
        c.line(-6, c.lineY(0), 7, c.lineY(-1), 1.3);
    };
    r["combidn"] = [](Cell& c) {
        c.line(-6, c.lineY(1), 7, c.lineY(0), 1.3);
        c.line(-6, c.lineY(-1), 7, c.lineY(0), 1.3);
    };
    // One link of the arpeggio, a space tall, going up from the reference.
    r["TWIDDLE"] = [](Cell& c) { c.sym("wiggleArpeggiatoUp", 2.5, 1, 1, -90); };
    r["twidup"] = [](Cell& c) { c.sym("wiggleArpeggiatoUpArrow", 2.5, 1, 1, -90); };
    r["twiddn"] = [](Cell& c) { c.sym("wiggleArpeggiatoDownArrow", 2.5, 1, 1, -90); };
    r["horitwid"] = [](Cell& c) { c.symCC("wiggleTrill", 0.5, c.lineY(0)); };
    r["CROTEQAL"] = [](Cell& c) {
        double y = c.lineY(0) + 4;
        c.sym("metNoteQuarterUp", -10, y, 0.8);
        c.rect(3, 12, y - 6, y - 5);
        c.rect(3, 12, y - 3, y - 2);
    };

    // Digit families.
    for (int d = 0; d <= 9; ++d) {
        r[D("I", d)] = [d](Cell& c) { c.symCC(D("tuplet", d), 0.5, c.lineY(0)); };
        r[D("finger", d)] = [d](Cell& c) { c.symCC(D("fingering", d), 0.5, c.lineY(0)); };
        r[D("fb", d)] = [d](Cell& c) { c.symCC(FigDigit(d), 0.5, c.lineY(0)); };
    }
    for (int d = 1; d <= 9; ++d)
        r[D("circle", d)] = [d](Cell& c) {
            c.ellipse(0.5, c.lineY(0), 7, 7, 1.1, false);
            c.symCC(D("fingering", d), 0.5, c.lineY(0), 0.85);
        };
    r["fb2x"] = [](Cell& c) { c.symCC("figbass2Raised", 0.5, c.lineY(0)); };
    r["fb4x"] = [](Cell& c) { c.symCC("figbass4Raised", 0.5, c.lineY(0)); };
    r["fb5x"] = [](Cell& c) { c.symCC("figbass5Raised1", 0.5, c.lineY(0)); };
    r["fb6x"] = [](Cell& c) { c.symCC("figbass6Raised", 0.5, c.lineY(0)); };
    r["fb7x"] = [](Cell& c) { c.symCC("figbass7Raised1", 0.5, c.lineY(0)); };
    r["fb42"] = [](Cell& c) { Stacked(c, "figbass4", "figbass2"); };
    r["fb53"] = [](Cell& c) { Stacked(c, "figbass5", "figbass3"); };
    r["fb64"] = [](Cell& c) { Stacked(c, "figbass6", "figbass4"); };
    r["fb63"] = [](Cell& c) { Stacked(c, "figbass6", "figbass3"); };
    r["fb73"] = [](Cell& c) { Stacked(c, "figbass7", "figbass3"); };
    r["fb4x2"] = [](Cell& c) { Stacked(c, "figbass4Raised", "figbass2"); };
    r["fb42x"] = [](Cell& c) { Stacked(c, "figbass4", "figbass2Raised"); };
    r["fb4x2x"] = [](Cell& c) { Stacked(c, "figbass4Raised", "figbass2Raised"); };
    return r;
}

// The cell of a code in one set: its size, and where the font's thresholds put ink.
Mask DrawGlyph(const Font& font, const std::string& name, const Recipe& recipe, int code,
               bool print, std::vector<QPainterPath>* outlines = nullptr) {
    int w = print ? kPrintCellW : kScreenCellW, h = print ? kPrintCellH : kScreenCellH;
    if (name == "TURNROT") ++h;
    if (name == "4_" && !print) {
        // The one head not drawn in a full cell: exactly the head's own box.
        w = 10;
        h = 8;
    }
    Cell c(font, w, h, print, ScreenNudge(code), PrintNudge(code));
    recipe(c);
    if (outlines) *outlines = c.outlines();
    return c.mask();
}

Mask TextAccidental(const Font& font, int accidental, int height, double signHeight) {
    const char* name = accidental > 0 ? "accidentalSharp"
                                      : (accidental < 0 ? "accidentalFlat" : "accidentalNatural");
    BBox b = font.box(name);
    double scale = signHeight / ((b.n - b.s) * 8);  // per screen-scale pixel
    int width = std::max(3, int(std::ceil((b.e - b.w) * 8 * scale)) + 2);
    Cell c(font, width, height, false, {}, {});
    // Centre the sign's box on the strip's centre; recipe coordinates count
    // from the reference point at column width/2 + 1, row height/2.
    double cx = width / 2.0 - (width / 2 + 1), cy = height / 2.0 - height / 2;
    c.sym(name, cx - (b.w + b.e) / 2 * 8 * scale, cy + (b.n + b.s) / 2 * 8 * scale, scale);
    return c.mask();
}

Mask Anchor(bool print) {
    int n = print ? 21 : 7;
    Mask m;
    m.width = m.height = n;
    m.ink.assign(static_cast<std::size_t>(n * n), 0);
    // A hollow square, the mark of a curve's anchor point.
    int t = print ? 3 : 1;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            m.ink[static_cast<std::size_t>(y * n + x)] = x < t || y < t || x >= n - t || y >= n - t;
    return m;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// One glyph's outlines as the table stores them: "M x y", "L x y",
// "C x1 y1 x2 y2 x y" in cell pixels to two decimals, pieces split by "|".
std::string OutlineText(const std::vector<QPainterPath>& pieces) {
    std::string out;
    char buf[48];
    auto num = [&](double v) {
        std::snprintf(buf, sizeof buf, "%.2f", v);
        std::string t = buf;
        while (t.find('.') != std::string::npos && (t.back() == '0' || t.back() == '.')) {
            const bool dot = t.back() == '.';
            t.pop_back();
            if (dot) break;
        }
        if (t == "-0") t = "0";
        out += t;
    };
    for (const QPainterPath& piece : pieces) {
        if (piece.isEmpty()) continue;
        if (!out.empty()) out += '|';
        for (int i = 0; i < piece.elementCount(); ++i) {
            const QPainterPath::Element e = piece.elementAt(i);
            if (e.type == QPainterPath::CurveToDataElement) continue;
            if (e.type == QPainterPath::CurveToElement && i + 2 < piece.elementCount()) {
                out += 'C';
                for (int k = 0; k < 3; ++k) {
                    const QPainterPath::Element d = piece.elementAt(i + k);
                    num(d.x);
                    out += ' ';
                    num(d.y);
                    out += k < 2 ? " " : "";
                }
                continue;
            }
            out += e.type == QPainterPath::MoveToElement ? 'M' : 'L';
            num(e.x);
            out += ' ';
            num(e.y);
        }
    }
    return out;
}

GlyphBox Measure(const Mask& m) {
    GlyphBox b{kScreenCellW, 0, kScreenCellH, 0};
    bool any = false;
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x)
            if (m.at(x, y)) {
                if (!any) b = {x, x, y, y};
                any = true;
                b.left = std::min(b.left, x);
                b.right = std::max(b.right, x);
                b.top = std::min(b.top, y);
                b.bottom = std::max(b.bottom, y);
            }
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 6) {
        std::fprintf(stderr,
                     "usage: glyphgen bravura.otf metadata.json OUTDIR INKBOX.inc OUTLINES.inc\n");
        return 2;
    }
    Font font;
    if (!font.load(argv[1], argv[2])) {
        std::fprintf(stderr, "glyphgen: cannot load the font or its metadata\n");
        return 1;
    }
    if (int bad = font.verify()) {
        std::fprintf(stderr, "glyphgen: %d code points disagree with the metadata\n", bad);
        return 1;
    }
    const std::string out = argv[3];
    std::map<std::string, Recipe> recipes = Recipes();
    GlyphBox boxes[256];
    std::string outlines = "// Generated by tools/glyphgen from the print recipes; do not edit.\n";
    int written = 0, cut = 0;
    // Ink on a cell's edge is art drawn past the cell and cut off there.
    auto uncut = [&cut](const Mask& m, const std::string& file, bool fillsCell) {
        if (fillsCell || !InkOnEdge(m)) return;
        std::fprintf(stderr, "glyphgen: %s has ink on the edge of its cell\n", file.c_str());
        ++cut;
    };
    for (int code = 0; code < 256; ++code) {
        boxes[code] = {kScreenCellW, 0, kScreenCellH, 0};
        if (!GlyphHasArt(code)) continue;
        std::string name = GlyphBaseName(code);
        auto it = recipes.find(name);
        if (it == recipes.end()) {
            std::fprintf(stderr, "glyphgen: no recipe for %s (code %d)\n", name.c_str(), code);
            return 1;
        }
        for (bool print : {false, true}) {
            std::vector<QPainterPath> pieces;
            Mask m = DrawGlyph(font, name, it->second, code, print, print ? &pieces : nullptr);
            if (print)
                outlines +=
                    "    {" + std::to_string(code) + ", \"" + OutlineText(pieces) + "\"},\n";
            std::string file = out + (print ? "/print/hbm" : "/screen/bm") + name + ".bmp";
            uncut(m, file, GlyphFillsItsCell(code, print));
            if (!WriteFile(file, EncodeBmp1(m))) {
                std::fprintf(stderr, "glyphgen: cannot write %s\n", file.c_str());
                return 1;
            }
            if (!print) boxes[code] = Measure(m);
            ++written;
        }
    }
    // The recorded differences from the measured ink.
    const GlyphBox head = boxes[glyph::NOTEHEAD_BLACK];
    for (int code : {28, 30, 32, 34})
        boxes[code].left = head.left + 17;
    for (int code : {59, 61, 63, 95})
        boxes[code].left = 20;
    for (int code : {60, 62, 64, 96})
        boxes[code].left = std::min(boxes[code].left, 17);
    for (int code : {67, 68, 69})
        boxes[code].bottom = 47;
    boxes[255] = {kScreenCellW, 0, kScreenCellH, 0};

    // Text accidentals: tall strips with the sign in the middle.
    for (std::size_t i = 0; i < kTextAccidentalClasses.size(); ++i) {
        for (int acc : {1, 0, -1}) {
            const char* fam = acc > 0 ? "SHARP" : (acc < 0 ? "FLAT" : "NAT");
            char name[32];
            std::snprintf(name, sizeof name, "%s%03d", fam, kTextAccidentalClasses[i]);
            for (bool print : {false, true}) {
                int h = print ? kTextAccidentalPrintHeights[i] : kTextAccidentalScreenHeights[i];
                // The sign is about as tall as a capital of the class's size.
                const double points = kTextAccidentalClasses[i] * (print ? 3 : 1);
                Mask m = TextAccidental(font, acc, h, std::max(4.0, points * 96 / 72 * 0.75));
                std::string file = out + (print ? "/print/hbm" : "/screen/bm") + name + ".bmp";
                uncut(m, file, false);
                if (!WriteFile(file, EncodeBmp1(m))) return 1;
            }
        }
    }
    WriteFile(out + "/screen/bmAnchor.bmp", EncodeBmp1(Anchor(false)));
    WriteFile(out + "/print/hbmAnchor.bmp", EncodeBmp1(Anchor(true)));

    std::string inc = "// Generated by tools/glyphgen from the screen bitmaps; do not edit.\n";
    for (int code = 0; code < 256; ++code) {
        char line[96];
        std::snprintf(line, sizeof line, "    {%d, %d, %d, %d},  // %d %s\n", boxes[code].left,
                      boxes[code].right, boxes[code].top, boxes[code].bottom, code,
                      GlyphBaseName(code));
        inc += line;
    }
    if (!WriteFile(argv[4], inc) || !WriteFile(argv[5], outlines)) return 1;
    if (cut > 0) {
        std::fprintf(stderr, "glyphgen: %d bitmaps cut off at their edges\n", cut);
        return 1;
    }
    std::printf("glyphgen: %d glyph bitmaps written\n", written);
    return 0;
}
