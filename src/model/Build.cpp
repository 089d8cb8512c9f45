// Adding staves and objects.
#include "model/Build.h"

namespace sw {

int AppendStave(Score& score, int32_t y, int32_t left, int32_t right) {
    if (!score.appendStaves(1)) return 0;
    StaveHeader& h = score.stave(score.Nstaves).h;
    h.Ycoord = y;
    h.MinY = y - 16;
    h.MaxY = y + 16;
    h.LeftX = left;
    h.RightX = right;
    return score.Nstaves;
}

ScoreObject* PlaceObject(Score& score, int s, Kind kind, int32_t x, int32_t y, uint8_t glyph) {
    StaveBlock& b = score.stave(s);
    if (b.h.Nobjec >= kObjectLimit) return nullptr;
    ScoreObject& o = b.obj[++b.h.Nobjec];
    NewObjectRecord(o);
    o.kind = kind;
    o.x = x;
    o.y = y;
    o.glyph = glyph;
    return &o;
}

ScoreObject* PlaceNote(Score& score, int s, int32_t x, int pitch, int value, int stem) {
    ScoreObject* o = PlaceObject(score, s, kNote, x, NoteY(score, s, pitch));
    if (!o) return nullptr;
    NoteData& n = o->note();
    n.pitch = static_cast<int8_t>(pitch);
    n.noteValue = static_cast<uint8_t>(value);
    n.stem = static_cast<uint8_t>(stem == 3 ? (pitch >= 0 ? 1 : 0) : stem);
    return o;
}

int PlaceText(Score& score, int s, Kind kind, int32_t x, int32_t y, int fontNumber,
              const std::string& text, uint8_t flags) {
    int first = 0;
    ScoreObject* prev = nullptr;
    for (std::size_t at = 0; at == 0 || at < text.size(); at += 10) {
        ScoreObject* o = PlaceObject(score, s, kind, x, y);
        if (!o) return 0;
        int index = score.stave(s).h.Nobjec;
        TextData& t = o->text();
        t.fontNumber = static_cast<uint8_t>(fontNumber);
        t.textFlags = static_cast<uint8_t>(at == 0 ? flags & 0x7F : flags | 0x80);
        o->setChunk(text.substr(at, 10));
        if (prev)
            prev->text().nextChunk = static_cast<uint8_t>(index);
        else
            first = index;
        prev = o;
    }
    return first;
}

ScoreObject* PlaceLine(Score& score, int s, int32_t x, int32_t y, const LineShape& l) {
    ScoreObject* o = PlaceObject(score, s, kLine, x, y);
    if (!o) return nullptr;
    auto byte = [](int v) { return static_cast<uint8_t>(v); };
    o->data.line = LineData{static_cast<int16_t>(l.dx),
                            static_cast<int16_t>(l.dy),
                            byte(l.width),
                            byte(l.style),
                            byte(l.p),
                            byte(l.q),
                            byte(l.legLength),
                            byte(l.legDirection),
                            byte(l.legEnds)};
    return o;
}

int PlaceCurve(Score& score, int s, const std::vector<std::pair<int32_t, int32_t>>& points,
               int thickness, int styleBits) {
    StaveBlock& b = score.stave(s);
    if (points.empty() || b.h.Nobjec + points.size() > static_cast<std::size_t>(kObjectLimit))
        return 0;
    const int first = b.h.Nobjec + 1;
    for (std::size_t k = 0; k < points.size(); ++k) {
        ScoreObject* o = PlaceObject(score, s, kCurve, points[k].first, points[k].second);
        const int i = first + static_cast<int>(k);
        o->curve().prevAnchor = static_cast<uint8_t>(k == 0 ? 0 : i - 1);
        o->curve().nextAnchor = static_cast<uint8_t>(k + 1 == points.size() ? 0 : i + 1);
    }
    b.obj[first].curve().thickness = static_cast<uint8_t>(thickness);
    b.obj[first].curve().styleBits = static_cast<uint8_t>(styleBits);
    return first;
}

std::string ChainText(const StaveBlock& b, int i) {
    std::string out;
    for (int steps = 0; steps < kMaxObjects && b.validIndex(i) && HasTextLayout(b.obj[i].kind);
         ++steps) {
        out += b.obj[i].chunk();
        i = b.obj[i].text().nextChunk;
    }
    return out;
}

}  // namespace sw
