// Stave allocation, object records and deletion, and the score-wide helpers.
#include "model/Score.h"

#include <algorithm>
#include <cmath>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "model/Figures.h"

namespace sw {

std::string ScoreObject::chunk() const {
    int n = data.text.chunkLength > 10 ? 10 : data.text.chunkLength;
    return std::string(data.text.chunkText, n);
}

void ScoreObject::setChunk(const std::string& s) {
    std::size_t n = s.size() > 10 ? 10 : s.size();
    std::memset(data.text.chunkText, 0, sizeof data.text.chunkText);
    std::memcpy(data.text.chunkText, s.data(), n);
    data.text.chunkLength = static_cast<uint8_t>(n);
}

void NewObjectRecord(ScoreObject& o) {
    o = ScoreObject{};
}

const char* KindName(int kind) {
    static constexpr const char* kNames[] = {
        "Clef",       "Keysig",     "Timesig",    "CommonTime", "Barline", "Note",
        "Symbol",     "Accidental", "Nothing",    "Text",       "Tie",     "Line",
        "Curve",      "~~~",        "Other",      "Dynamic",    "Text",    "Hairpin",
        "Drawobject", "Slur",       "Headertext", "Footertext"};
    return kind >= 0 && kind <= kMaxKind ? kNames[kind] : "?";
}

bool SameFont(const FontDesc& a, const FontDesc& b) {
    if (a.size != b.size || a.style != b.style || a.charset != b.charset) return false;
    if (a.name.size() != b.name.size()) return false;
    for (std::size_t i = 0; i < a.name.size(); ++i) {
        auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
        if (up(a.name[i]) != up(b.name[i])) return false;
    }
    return true;
}

Score::Score() {
    resetStaveZero();
}

StaveBlock& Score::allocateStave(int s) {
    staves_[s] = std::make_unique<StaveBlock>();
    StaveBlock& b = *staves_[s];
    b.h.lineCount = 5;
    b.h.staveIndex = static_cast<int16_t>(s);
    return b;
}

void Score::releaseStave(int s) {
    staves_[s].reset();
}

bool Score::appendStaves(int count) {
    if (count < 0 || Nstaves + count > kMaxStaves) return false;
    for (int i = 0; i < count; ++i)
        allocateStave(++Nstaves);
    return true;
}

bool Score::insertStave(int index, std::unique_ptr<StaveBlock> block) {
    std::vector<std::unique_ptr<StaveBlock>> one;
    one.push_back(std::move(block));
    return insertStaves(index, one);
}

bool Score::insertStaves(int index, std::vector<std::unique_ptr<StaveBlock>>& blocks) {
    const int n = static_cast<int>(blocks.size());
    if (n == 0 || Nstaves + n > kMaxStaves || index < 1 || index > Nstaves + 1) return false;
    if (std::any_of(blocks.begin(), blocks.end(), [](const auto& b) { return !b; })) return false;
    // The staves from `index` on move down once, all together.
    for (int s = Nstaves; s >= index; --s) {
        staves_[s + n] = std::move(staves_[s]);
        staves_[s + n]->h.staveIndex = static_cast<int16_t>(s + n);
    }
    for (int k = 0; k < n; ++k) {
        staves_[index + k] = std::move(blocks[static_cast<std::size_t>(k)]);
        staves_[index + k]->h.staveIndex = static_cast<int16_t>(index + k);
    }
    Nstaves = static_cast<uint16_t>(Nstaves + n);
    blocks.clear();
    return true;
}

void Score::removeStave(int index) {
    if (index < 1 || index > Nstaves) return;
    for (int s = index; s < Nstaves; ++s) {
        staves_[s] = std::move(staves_[s + 1]);
        staves_[s]->h.staveIndex = static_cast<int16_t>(s);
    }
    staves_[Nstaves].reset();
    --Nstaves;
}

void Score::resetStaveZero() {
    StaveBlock& b = allocateStave(0);
    b.h.invisible = true;
    b.h.Ycoord = 0;
    b.h.PageNum = 0;
    b.h.staveIndex = 0;
}

void Score::clear() {
    for (auto& p : staves_)
        p.reset();
    Nstaves = 0;
    CurrentStave = 0;
    resetStaveZero();
}

void Score::setBeamAngle(int degrees) {
    Beamang = degrees;
    double t = std::tan(degrees * M_PI / 180.0);
    if (!std::isfinite(t)) t = 0.176;
    beamTangent = t < 0 ? 0 : (t > 1 ? 1 : t);
}

void Score::setBagpipe(bool on) {
    bagpipeScore = on;
    for (int s = 1; s <= Nstaves; ++s)
        stave(s).t.bagpipeMark = on ? 2 : 0;
}

int32_t NoteY(const Score& score, int s, int pitch) {
    return score.stave(s).h.Ycoord - kStepPixels * pitch;
}

int AddObject(Score& score, int s, Host& host) {
    StaveBlock& b = score.stave(s);
    if (b.h.Nobjec >= kObjectLimit) {
        host.message(MsgType::Error, MessageText(msg::StaveTooComplex), Buttons::OK);
        return 0;
    }
    int i = ++b.h.Nobjec;
    NewObjectRecord(b.obj[i]);
    return i;
}

void UnlinkAndDelete(StaveBlock& b, int i) {
    if (!b.validIndex(i)) return;
    ScoreObject& o = b.obj[i];
    auto note = [&](int j) -> NoteData* {
        return b.validIndex(j) && b.obj[j].kind == kNote ? &b.obj[j].note() : nullptr;
    };
    switch (o.kind) {
        case kNote: {
            NoteData& n = o.note();
            // Cross-stave partners are left to TidyStave.
            bool backHere = !n.beamBackUp && !n.beamBackDown;
            bool onHere = !n.beamOnUp && !n.beamOnDown;
            if (n.beamOnTo != 0 && onHere)
                if (NoteData* next = note(n.beamOnTo)) {
                    next->beamBackTo = backHere ? n.beamBackTo : 0;
                }
            if (n.beamBackTo != 0 && backHere)
                if (NoteData* prev = note(n.beamBackTo)) {
                    prev->beamOnTo = onHere ? n.beamOnTo : 0;
                }
            if (NoteData* left = note(n.tieLeft)) left->tieRight = 0;
            if (NoteData* right = note(n.tieRight)) right->tieLeft = 0;
            break;
        }
        case kTie: {
            if (NoteData* left = note(o.data.tie.leftNote)) left->tieRight = 0;
            if (NoteData* right = note(o.data.tie.rightNote)) right->tieLeft = 0;
            break;
        }
        case kCurve: {
            CurveData& c = o.curve();
            auto anchor = [&](int j) -> CurveData* {
                return b.validIndex(j) && b.obj[j].kind == kCurve ? &b.obj[j].curve() : nullptr;
            };
            if (CurveData* prev = anchor(c.prevAnchor)) prev->nextAnchor = c.nextAnchor;
            if (CurveData* next = anchor(c.nextAnchor)) next->prevAnchor = c.prevAnchor;
            break;
        }
        default:
            if (HasTextLayout(o.kind)) {
                // At most Nobjec steps, so a looping chain cannot hang us.
                int j = o.text().nextChunk;
                for (int steps = 0; steps < kMaxObjects && b.validIndex(j) && j != i; ++steps) {
                    ScoreObject& c = b.obj[j];
                    if (!HasTextLayout(c.kind)) break;
                    int next = c.text().nextChunk;
                    c.kind = kNothing;
                    j = next;
                }
            }
            break;
    }
    o.kind = kNothing;
}

int FindOrAddFont(Score& score, const FontDesc& font, Host& host) {
    int last = 0;
    for (int i = kMaxFonts; i >= 1; --i)
        if (score.fontsInUse.test(i)) {
            last = i;
            break;
        }
    for (int i = 1; i <= kMaxFonts; ++i) {
        if (i <= last && SameFont(score.fonts[i], font)) return i;
        if (i > last) {
            score.fonts[i] = font;
            score.fontsInUse.set(i);
            return i;
        }
    }
    host.message(MsgType::Warning, MessageText(msg::TooManyFonts), Buttons::OK);
    return 1;
}

int RenumberFonts(Score& score) {
    const std::bitset<kMaxFonts + 1> used = FontsUsedByTexts(score);
    auto forEachText = [&](auto&& fn) {
        for (int s = 0; s <= score.Nstaves; ++s) {
            if (!score.hasStave(s)) continue;
            StaveBlock& b = score.stave(s);
            for (int i = 1; i <= b.h.Nobjec; ++i)
                if (HasTextLayout(b.obj[i].kind)) fn(b.obj[i].text());
        }
    };
    std::array<uint8_t, kMaxFonts + 1> newNumber{};
    int k = 0;
    for (int j = 1; j <= kMaxFonts; ++j)
        if (used.test(j)) newNumber[j] = static_cast<uint8_t>(++k);
    forEachText([&](TextData& t) {
        if (t.fontNumber != 0) t.fontNumber = newNumber[t.fontNumber];
    });
    for (int j = 1; j <= kMaxFonts; ++j)
        if (used.test(j) && newNumber[j] != j) score.fonts[newNumber[j]] = score.fonts[j];
    score.fontsInUse.reset();
    for (int j = 1; j <= k; ++j)
        score.fontsInUse.set(j);
    return k;
}

bool IsFirstStaveOfSystem(const Score& score, int s) {
    return s <= 1 || !score.hasStave(s - 1) || !score.stave(s - 1).h.joinToNext;
}

}  // namespace sw
