// The gallery score.
#include "layout/Gallery.h"

#include "core/ScriptedHost.h"
#include "model/Build.h"

namespace sw {

namespace {

struct Writer {
    Score& score;
    int s = 0;
    int x = 0;

    ScoreObject* note(int pitch, int value, int stem = 3, int dots = 0, int step = 0) {
        ScoreObject* o = PlaceNote(score, s, x, pitch, value, stem);
        o->note().dots = static_cast<uint8_t>(dots);
        x += step;
        return o;
    }
    ScoreObject* rest(int value, int dots = 0, int pitch = 0, int step = 0) {
        ScoreObject* o = PlaceNote(score, s, x, pitch, value, 2);
        o->note().rest = 1;
        o->note().dots = static_cast<uint8_t>(dots);
        x += step;
        return o;
    }
    int index() const { return score.stave(s).h.Nobjec; }
    ScoreObject* barline(int style = 0) {
        ScoreObject* o = PlaceObject(score, s, kBarline, x, score.stave(s).h.Ycoord);
        o->data.barline.style = static_cast<uint8_t>(style);
        return o;
    }
    ScoreObject* clef(int type, bool small = false) {
        ScoreObject* o = PlaceObject(score, s, kClef, x, score.stave(s).h.Ycoord);
        o->data.clef.type = static_cast<uint8_t>(type);
        o->data.clef.small = small ? 1 : 0;
        return o;
    }
    ScoreObject* key(int k, bool cancel = false) {
        ScoreObject* o = PlaceObject(score, s, kKeysig, x, score.stave(s).h.Ycoord);
        o->data.keysig.key = static_cast<int8_t>(k);
        o->data.keysig.naturalsOnChange = cancel ? 1 : 0;
        return o;
    }
    ScoreObject* time(int num, int den, int sign = 0, bool single = false) {
        ScoreObject* o = PlaceObject(score, s, kTimesig, x, score.stave(s).h.Ycoord - 8);
        o->data.timesig = {static_cast<uint8_t>(num), static_cast<uint8_t>(den),
                           static_cast<uint8_t>(single), static_cast<uint8_t>(sign)};
        return o;
    }
    void text(int tx, int ty, int font, const std::string& t, uint8_t flags = 0) {
        PlaceText(score, s, kText, tx, ty, font, t, flags);
    }
    // Beams notes first..last (slot indexes) of this stave together.
    void beam(int first, int last) {
        for (int i = first; i < last; ++i) {
            score.object(s, i).note().beamOnTo = static_cast<uint8_t>(i + 1);
            score.object(s, i + 1).note().beamBackTo = static_cast<uint8_t>(i);
        }
    }
};

int Stave(Score& score, int row, int sizeIndex = 0, bool cue = false) {
    int s = AppendStave(score, 70 + row * 90, 20, kGalleryWidth - 20);
    score.stave(s).h.sizeIndex = static_cast<uint8_t>(sizeIndex);
    score.stave(s).h.cue = cue;
    return s;
}

}  // namespace

Score BuildGalleryScore() {
    Score score;
    ScriptedHost host;
    host.setPermissive(true);
    const int label = FindOrAddFont(score, FontDesc{"Arial", 8, 0, 0x000000, 0}, host);
    const int serif = FindOrAddFont(score, FontDesc{"Times New Roman", 12, 0, 0, 0}, host);
    const int italic = FindOrAddFont(score, FontDesc{"Times New Roman", 12, kItalic, 0, 0}, host);
    Writer w{score};
    auto caption = [&](const std::string& t) {
        w.text(24, score.stave(w.s).h.Ycoord - 50, label, t);
    };

    // 1. Clefs and sharp keys.
    w.s = Stave(score, 0);
    caption("clefs, octave clefs, small clefs; sharp keys 1-7");
    w.x = 40;
    for (int type = 0; type < 4; ++type, w.x += 36)
        w.clef(type);
    w.clef(0)->data.clef.octaveDown = 1;
    w.x += 36;
    w.clef(1)->data.clef.octaveUp = 1;
    w.x += 36;
    for (int type = 0; type < 4; ++type, w.x += 28)
        w.clef(type, true);
    w.x += 10;
    for (int k = 1; k <= 7; ++k) {
        w.barline();
        w.x += 14;
        w.key(k);
        w.x += 10 * k + 14;
    }

    // 2. Flat keys and key changes in the bass clef.
    w.s = Stave(score, 1);
    caption("bass clef: flat keys 1-7, 3 sharps to none, 3 sharps to 2 flats (cancelled)");
    w.x = 40;
    w.clef(1);
    w.x += 40;
    for (int k = 1; k <= 7; ++k) {
        w.key(-k);
        w.x += 8 * k + 10;
        w.barline();
        w.x += 14;
    }
    w.key(3);
    w.x += 44;
    w.barline();
    w.x += 16;
    w.key(0);
    w.x += 40;
    w.barline();
    w.x += 14;
    w.key(3);
    w.x += 44;
    w.barline();
    w.x += 16;
    w.key(-2, true);

    // 3. Time signatures.
    w.s = Stave(score, 2);
    caption("time signatures");
    w.x = 40;
    w.clef(0);
    w.x += 40;
    const int times[][3] = {{4, 4, 0}, {3, 4, 0}, {6, 8, 0}, {12, 8, 0}, {0, 0, 1},
                            {0, 0, 2}, {2, 2, 0}, {5, 4, 0}, {9, 16, 0}, {3, 0, 0}};
    for (const auto& t : times) {
        w.time(t[0], t[1], t[2], t[1] == 0 && t[2] == 0);
        w.x += 40;
        w.barline();
        w.x += 24;
    }

    // 4. Bar-line styles across two joined staves.
    w.s = Stave(score, 3);
    int lower = Stave(score, 4);
    score.stave(w.s).h.joinToNext = true;
    score.stave(w.s).h.barlineThrough = true;
    score.stave(w.s).h.withBrace = true;
    caption("bar lines 0-8 across a joined pair");
    w.x = 40;
    w.clef(0);
    {
        Writer low{score, lower, 40};
        low.clef(1);
    }
    w.x = 100;
    for (int style = 0; style <= 8; ++style, w.x += 90) {
        w.barline(style);
        Writer low{score, lower, w.x + 30};
        low.note(2, 2, 1);
        w.x += 30;
        w.note(-2, 2, 0);
        w.x -= 30;
    }

    // 5. Rests of every value, plain and dotted, and out of the stave.
    w.s = Stave(score, 5);
    caption("rests breve to hemidemisemiquaver; dotted; ledger lines");
    w.x = 40;
    w.clef(0);
    w.x = 90;
    for (int v = 0; v <= 7; ++v)
        w.rest(v, 0, 0, 40);
    for (int v = 2; v <= 6; ++v)
        w.rest(v, 1, 0, 44);
    w.rest(0, 0, 8, 40);
    w.rest(1, 0, -10, 40);
    w.rest(2, 0, -8, 40);

    // 6. Notes of every value, stems up and down, dotted.
    w.s = Stave(score, 6);
    caption("notes breve to hemidemisemiquaver, stems up and down, dotted and double dotted");
    w.x = 40;
    w.clef(0);
    w.x = 90;
    for (int v = 0; v <= 7; ++v)
        w.note(-3, v, 0, 0, 34);
    for (int v = 0; v <= 7; ++v)
        w.note(3, v, 1, 0, 34);
    for (int v = 2; v <= 5; ++v)
        w.note(-1, v, 0, 1 + (v & 1), 40);

    // 7. Accidentals, articulations, ledger lines.
    w.s = Stave(score, 7);
    caption("accidentals, articulations, ledger lines above and below");
    w.x = 40;
    w.clef(0);
    w.x = 100;
    const int accs[] = {-2, -1, 0, 1, 2};
    for (int a : accs) {
        ScoreObject* acc = PlaceObject(score, w.s, kAccidental, w.x - 14, NoteY(score, w.s, -1));
        acc->data.accidental.pitch = -1;
        acc->data.accidental.accidental = static_cast<int8_t>(a);
        w.note(-1, 3, 0, 0, 40);
    }
    for (int e = 1; e <= 6; ++e)
        w.note(e <= 3 ? -2 : 2, 3, e <= 3 ? 0 : 1, 0, 32)->note().emphasis =
            static_cast<uint8_t>(e);
    for (int st = 1; st <= 4; ++st)
        w.note(st <= 2 ? 1 : -3, 3, st <= 2 ? 1 : 0, 0, 32)->note().staccato =
            static_cast<uint8_t>(st);
    for (int p : {7, 8, 10, 12, -7, -8, -10, -12})
        w.note(p, 3, 3, 0, 34);

    // 8. Chords, voices, beams, tuplets and ties.
    w.s = Stave(score, 8);
    caption("chords with seconds, two voices, beams with slopes, tuplets, ties");
    w.x = 40;
    w.clef(0);
    w.x = 90;
    for (int p : {-6, -5, -4})
        w.note(p, 3, 0, 1);
    w.x += 50;
    for (int p : {4, 5, 7})
        w.note(p, 2, 1);
    w.x += 50;
    w.note(1, 3, 0);
    w.note(0, 3, 1);
    w.x += 50;
    int first = w.index() + 1;
    for (int p : {-3, -1, 1, 3})
        w.note(p, 4, 0, 0, 22);
    w.beam(first, w.index());
    w.x += 14;
    first = w.index() + 1;
    for (int p : {5, 3, 2, 0})
        w.note(p, 5, 1, 0, 20);
    w.beam(first, w.index());
    w.x += 14;
    first = w.index() + 1;
    w.note(-2, 4, 0, 1, 26);
    w.note(0, 5, 0, 0, 20);
    w.note(-1, 4, 0, 0, 22);
    w.note(1, 6, 0, 0, 22);
    w.beam(first, w.index());
    w.x += 14;
    first = w.index() + 1;
    for (int p : {-2, 0, 2}) {
        ScoreObject* n = w.note(p, 4, 0, 0, 22);
        n->note().durMod = 3;
        n->note().durMod2 = 2;
    }
    w.beam(first, w.index());
    w.text(w.x - 50, score.stave(w.s).h.Ycoord - 44, italic, "3");
    w.x += 20;
    int a = w.index() + 1;
    w.note(-1, 2, 0, 0, 60);
    int b = w.index() + 1;
    w.note(-1, 3, 0, 0, 40);
    score.object(w.s, a).note().tieRight = static_cast<uint8_t>(b);
    score.object(w.s, b).note().tieLeft = static_cast<uint8_t>(a);
    a = w.index() + 1;
    w.note(3, 3, 1, 0, 50);
    b = w.index() + 1;
    w.note(3, 3, 1, 0, 40);
    score.object(w.s, a).note().tieRight = static_cast<uint8_t>(b);
    score.object(w.s, b).note().tieLeft = static_cast<uint8_t>(a);

    // 9. A small stave and a cue stave.
    w.s = Stave(score, 9, 1);
    caption("small stave");
    w.x = 40;
    w.clef(0);
    w.x += 30;
    w.key(2);
    w.x += 30;
    w.time(3, 4);
    w.x += 30;
    for (int p : {-4, -2, 0, 2, 4})
        w.note(p, 3, 3, 0, 30);
    first = w.index() + 1;
    for (int p : {-3, -1, 1})
        w.note(p, 4, 0, 0, 20);
    w.beam(first, w.index());
    w.rest(3, 0, 0, 30);
    w.barline();
    w.x += 20;
    ScoreObject* cue = w.note(-2, 4, 0, 0, 30);
    cue->note().headSize = 1;
    ScoreObject* grace = w.note(0, 4, 0, 0, 30);
    grace->note().headSize = 5;

    // 10. Texts, lines, curves, hairpins, shapes, rows and arpeggios.
    w.s = Stave(score, 10);
    caption("texts, lines, slurs, hairpins, shapes, dynamics, trill rows, arpeggio");
    const int32_t Y = score.stave(w.s).h.Ycoord;
    w.text(30, Y - 36, serif, "Allegro moderato");
    w.text(180, Y - 36, serif, "boxed", 0x08);
    w.text(450, Y + 22, italic, "dolce e cantabile");
    auto line = [&](int x, int y, int dx, int dy, int width, int style, int p, int q) {
        PlaceLine(score, w.s, x, y, LineShape{dx, dy, width, style, p, q, 8, 1, 0x04});
    };
    line(420, Y - 30, 100, 0, 1, 1, 6, 4);
    line(540, Y - 30, 100, 0, 1, 2, 6, 0);
    auto curve = [&](int x1, int x2, int y, int rise, int thickness) {
        PlaceCurve(score, w.s, {{x1, y}, {(x1 + x2) / 2, y - rise}, {x2, y}}, thickness);
    };
    w.x = 40;
    first = w.index() + 1;
    for (int p : {-2, 0, 1, 3})
        w.note(p, 3, 0, 0, 24);
    curve(40, 112, Y - 24, 10, 2);
    ScoreObject* h = PlaceObject(score, w.s, kHairpin, 150, Y + 30);
    h->data.hairpin = HairpinData{80, 6, 1};
    h = PlaceObject(score, w.s, kHairpin, 330, Y + 30);
    h->data.hairpin = HairpinData{-80, 6, 1};
    auto row = [&](int glyphCode, int x, int y, int count, int dx) {
        ScoreObject* o = PlaceObject(score, w.s, kTrill, x, y, static_cast<uint8_t>(glyphCode));
        o->data.trill.count = static_cast<uint8_t>(count);
        o->data.trill.dx = static_cast<int16_t>(dx);
    };
    row(142, 360, Y + 34, 0, 0);  // f
    row(139, 410, Y + 34, 0, 0);  // p
    row(166, 660, Y - 30, 0, 0);  // tr
    row(180, 680, Y - 30, 8, 8);  // the wavy line after it
    ScoreObject* arp = PlaceObject(score, w.s, kOther, 770, Y + 8);
    arp->data.other.bends = 3;
    arp->data.other.upArrow = 1;
    w.x = 790;
    for (int p : {-4, -2, 1})
        w.note(p, 2, 0);
    ScoreObject* shape = PlaceObject(score, w.s, kDrawobject, 860, Y);
    shape->data.drawobject = DrawobjectData{0, 0, 0, 10, 0};
    shape = PlaceObject(score, w.s, kDrawobject, 890, Y - 10);
    shape->data.drawobject = DrawobjectData{1, 0, 2, 40, 20};

    // 11. Engraving details: beams clear of their heads, stacked marks, dots
    // beside flags, tremolos.
    w.s = Stave(score, 11);
    score.stave(w.s).h.Ycoord += 16;
    // Above the beams that stand above the stave.
    w.text(24, score.stave(w.s).h.Ycoord - 66, label,
           "beams clear of far notes, stacked marks, dotted flags, tremolos");
    w.x = 40;
    w.clef(0);
    w.x = 90;
    auto group = [&](std::initializer_list<int> pitches, int value, int stem, int step) {
        const int from = w.index() + 1;
        for (int p : pitches)
            w.note(p, value, stem, 0, step);
        w.beam(from, w.index());
        w.x += 16;
        return from;
    };
    group({-4, 6, -4, -4}, 4, 0, 22);  // E4 A5 E4 E4
    group({-3, 3, -3, 3}, 5, 0, 20);   // F4 E5 F4 E5
    group({9, 11, 10}, 4, 1, 22);      // wholly above the stave
    const int marks[][4] = {{-2, 0, 1, 1}, {-2, 0, 2, 1}, {2, 1, 1, 1}, {2, 1, 2, 1}};
    for (const auto& m : marks) {
        ScoreObject* n = w.note(m[0], 3, m[1], 0, 30);
        n->note().emphasis = static_cast<uint8_t>(m[2]);
        n->note().staccato = static_cast<uint8_t>(m[3]);
    }
    for (int v : {4, 5, 6})
        w.note(-2, v, 0, 1, 36);
    for (int v : {0, 1}) {
        w.note(-3 + v, v, 3, 0, 50)->note().tremuloBars = 3;
    }
    const int trem = group({-4, -2, 0}, 4, 0, 24);
    for (int i = trem; i <= w.index(); ++i)
        score.object(w.s, i).note().tremuloBars = 3;

    // 12. Long notes a second apart, grace beams, voices a step apart, heads,
    // dotted rests, ties from the previous system after keys, text accidentals.
    w.s = Stave(score, 12);
    score.stave(w.s).h.Ycoord += 30;
    caption("seconds of long notes, beamed graces, crossed voices, heads, rests, ties in");
    w.x = 40;
    w.clef(0);
    w.x = 90;
    for (int v : {0, 1}) {
        w.note(-2, v, 3);
        w.note(-1, v, 3, 0, 40);
    }
    const int graces = group({-2, 0, 2}, 4, 0, 14);
    for (int i = graces; i <= w.index(); ++i)
        score.object(w.s, i).note().headSize = 5;
    w.note(-1, 3, 0, 1);
    w.note(0, 3, 1, 1, 40);
    for (int head : {2, 5}) {
        for (int stem : {0, 1})
            w.note(stem ? 1 : -1, 3 - head % 2, stem, 0, 28)->note().head =
                static_cast<uint8_t>(head);
    }
    w.note(8, 0, 3, 0, 40);
    w.rest(0, 0, 0, 36);
    w.rest(5, 1, 0, 36);
    w.rest(4, 1, 0, 36);
    for (int k : {3, -4}) {
        w.key(k);
        w.x += 8 * std::abs(k) + 30;
        w.note(k > 0 ? 1 : -1, 3, 3)->note().tieLeft = 255;
        w.x += 40;
    }
    w.time(12, 16);
    w.x += 40;
    const int small = FindOrAddFont(score, FontDesc{"Times New Roman", 7, 0, 0, 0}, host);
    w.text(w.x, score.stave(w.s).h.Ycoord - 40, serif, "F\x1bminor, B\x1d major");
    w.text(w.x, score.stave(w.s).h.Ycoord + 26, small, "F\x1bminor, B\x1d major, E\x1c");

    // 13. Two small staves joined: bar lines through both, time, dotted rests.
    w.s = Stave(score, 13, 1);
    int lowerSmall = Stave(score, 14, 1);
    score.stave(w.s).h.Ycoord += 10;
    score.stave(lowerSmall).h.Ycoord -= 20;
    score.stave(w.s).h.joinToNext = true;
    score.stave(w.s).h.barlineThrough = true;
    caption("small staves joined: bar lines, time, dotted rests");
    w.x = 40;
    w.clef(0);
    Writer{score, lowerSmall, 40}.clef(1);
    w.x = 70;
    w.time(6, 8);
    PlaceObject(score, lowerSmall, kCommonTime, 70, score.stave(lowerSmall).h.Ycoord - 8)
        ->data.commonTime.code = 12;  // 6 over 8
    w.x = 110;
    for (int style = 0; style <= 5; ++style, w.x += 60) {
        w.barline(style);
        Writer low{score, lowerSmall, w.x + 24};
        low.rest(3 + style % 3, 1);
        w.x += 24;
        w.note(-2 + style, 3 + style % 3, 3, 1);
        w.x -= 24;
    }

    for (int s = 1; s <= score.Nstaves; ++s)
        TidyStave(score, s, true);
    score.CurrentStave = 1;
    return score;
}

}  // namespace sw
