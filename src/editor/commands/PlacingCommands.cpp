// Storing texts and placing symbols, lines, curves, hairpins and shapes.
#include "editor/commands/PlacingCommands.h"

#include <algorithm>
#include <cstring>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/WarningBox.h"
#include "layout/Rounding.h"
#include "model/Build.h"

namespace sw {

namespace {

constexpr uint8_t kContinuation = 0x80;
constexpr std::size_t kChunk = 10;
constexpr int kAllLevels = 4;  // the warning box at every user level
constexpr uint8_t kDashedStyle = 1, kDashOfFive = 5;

TextFont FontOf(const FontDesc& f) {
    return TextFont{f.name, f.size, f.style};
}

int Append(StaveBlock& b, const ScoreObject& o) {
    if (b.h.Nobjec >= kObjectLimit) return 0;
    b.obj[++b.h.Nobjec] = o;
    return b.h.Nobjec;
}

ScoreObject TextPiece(uint8_t kind, int32_t x, int32_t y, int font, uint8_t flags,
                      const std::string& text) {
    ScoreObject o;
    NewObjectRecord(o);
    o.kind = kind;
    o.x = x;
    o.y = y;
    o.text().fontNumber = static_cast<uint8_t>(font);
    o.text().textFlags = flags;
    o.setChunk(text);
    return o;
}

struct Word {
    std::size_t at;
    std::string text;
};

std::vector<Word> SplitWords(const std::string& bytes) {
    std::vector<Word> words;
    std::size_t i = 0;
    while (i < bytes.size()) {
        while (i < bytes.size() && bytes[i] == ' ')
            ++i;
        const std::size_t start = i;
        while (i < bytes.size() && bytes[i] != ' ')
            ++i;
        if (i > start) words.push_back({start, bytes.substr(start, i - start)});
    }
    return words;
}

// The first piece of a stored word: where it was put, with its whole text.
int FindWord(const StaveBlock& b, const StoredWord& w) {
    for (int i = 1; i <= b.count(); ++i) {
        const ScoreObject& o = b.obj[i];
        if (o.kind == w.kind && o.x == w.x && o.y == w.y && !(o.text().textFlags & kContinuation) &&
            ChainText(b, i) == w.text)
            return i;
    }
    return 0;
}

bool EndsInHyphen(const std::string& word) {
    return word.size() > 1 && word.back() == '-';
}

// The word's hyphen goes to an object of its own midway to the next word.
bool SeparateHyphen(Score& score, const StoredWord& w, const StoredWord& next,
                    const TextMeasurer& m) {
    if (!score.hasStave(w.stave) || w.stave > score.Nstaves) return false;
    StaveBlock& b = score.stave(w.stave);
    const int head = FindWord(b, w);
    if (head == 0) return false;
    std::vector<int> chain{head};
    while (chain.size() < static_cast<std::size_t>(kMaxObjects)) {
        const int j = b.obj[chain.back()].text().nextChunk;
        if (!b.validIndex(j)) break;
        chain.push_back(j);
    }
    const TextFont font = FontOf(w.font);
    const std::string bare = w.text.substr(0, w.text.size() - 1);
    const int32_t end = w.x + m.width(font, bare);
    ScoreObject hyphen = b.obj[head];
    hyphen.x = RoundEven((end + next.x - m.width(font, "-")) / 2.0);
    hyphen.text().textFlags = static_cast<uint8_t>(hyphen.text().textFlags & ~kContinuation);
    hyphen.text().nextChunk = 0;
    hyphen.setChunk("-");
    const int last = chain.back();
    std::string piece = b.obj[last].chunk();
    if (piece == "-" && chain.size() > 1) {
        // A piece left empty ends the chain; its slot holds the hyphen.
        b.obj[chain[chain.size() - 2]].text().nextChunk = 0;
        b.obj[last] = hyphen;
        return true;
    }
    if (b.count() >= kObjectLimit) return false;  // no room: the word keeps its hyphen
    piece.pop_back();
    b.obj[last].setChunk(piece);
    Append(b, hyphen);
    return true;
}

}  // namespace

StoredText StoreText(EditContext& ctx, const TextLine& line, const TextMeasurer& m,
                     const std::vector<StoredWord>& earlier, bool separateHyphens) {
    Score& score = ctx.score;
    StoredText result;
    const std::vector<Word> words = SplitWords(line.bytes);
    if (!score.hasStave(line.stave) || line.stave > score.Nstaves) return result;
    int first = words.empty() ? -1 : line.stave, last = first;
    if (separateHyphens)
        for (const StoredWord& w : earlier)
            if (EndsInHyphen(w.text) && score.hasStave(w.stave) && w.stave <= score.Nstaves) {
                first = first < 0 ? w.stave : std::min(first, w.stave);
                last = std::max(last, w.stave);
            }
    if (first < 0) return result;
    ScoreEdit edit(ctx, "text");
    if (!edit.touchStaves(first, last)) return result;
    bool changed = false;
    if (!words.empty()) {
        const TextFont font = FontOf(line.font);
        const int number = FindOrAddFont(score, line.font, ctx.host);
        const int32_t y = line.bottom - m.height(font, line.bytes);
        const uint8_t flags = static_cast<uint8_t>(line.flags & ~kContinuation);
        StaveBlock& b = score.stave(line.stave);
        for (const Word& w : words) {
            const int pieces = static_cast<int>((w.text.size() + kChunk - 1) / kChunk);
            if (b.count() + pieces > kObjectLimit) {
                ctx.warnings.show(ctx.host, msg::TextTooComplex, kAllLevels, false);
                result.complete = false;
                break;
            }
            const int32_t x = line.left + m.width(font, line.bytes.substr(0, w.at));
            for (int k = 0; k < pieces; ++k) {
                const bool head = k == 0;
                const int i = Append(b, TextPiece(line.kind, head ? x : 0, head ? y : 0, number,
                                                  head ? flags : flags | kContinuation,
                                                  w.text.substr(kChunk * k, kChunk)));
                if (k + 1 < pieces) b.obj[i].text().nextChunk = static_cast<uint8_t>(i + 1);
            }
            result.words.push_back({line.stave, line.kind, x, y, w.text, line.font});
            changed = true;
        }
    }
    if (separateHyphens && result.complete) {
        std::vector<StoredWord> all = earlier;
        all.insert(all.end(), result.words.begin(), result.words.end());
        for (std::size_t k = 0; k < all.size(); ++k) {
            if (!EndsInHyphen(all[k].text)) continue;
            // The next word of the same line, if the line has one.
            for (std::size_t j = k + 1; j < all.size(); ++j)
                if (all[j].stave == all[k].stave && all[j].kind == all[k].kind &&
                    all[j].y == all[k].y) {
                    changed |= SeparateHyphen(score, all[k], all[j], m);
                    break;
                }
        }
    }
    if (changed) edit.commit();
    return result;
}

int PlaceNewObject(EditContext& ctx, int s, const ScoreObject& o) {
    Score& score = ctx.score;
    if (!score.hasStave(s) || s > score.Nstaves) return 0;
    if (score.stave(s).count() >= kObjectLimit) {
        ctx.host.message(MsgType::Error, MessageText(msg::StaveTooComplex), Buttons::OK);
        return 0;
    }
    ScoreEdit edit(ctx, "place object");
    if (!edit.touchStave(s)) return 0;
    const int i = Append(score.stave(s), o);
    edit.commit();
    return i;
}

bool PlaceCurvePoints(EditContext& ctx, int s,
                      const std::vector<std::pair<int32_t, int32_t>>& points, int thickness,
                      int styleBits) {
    Score& score = ctx.score;
    if (points.size() < 2 || !score.hasStave(s) || s < 1 || s > score.Nstaves) return false;
    StaveBlock& b = score.stave(s);
    if (b.count() + static_cast<int>(points.size()) > kObjectLimit) {
        ctx.host.message(MsgType::Error, MessageText(msg::TooManyCurvePoints), Buttons::OK);
        return false;
    }
    ScoreEdit edit(ctx, "curve");
    if (!edit.touchStave(s)) return false;
    const int first = b.count() + 1;
    const int n = static_cast<int>(points.size());
    for (int k = 0; k < n; ++k) {
        ScoreObject o;
        NewObjectRecord(o);
        o.kind = kCurve;
        o.x = points[static_cast<std::size_t>(k)].first;
        o.y = points[static_cast<std::size_t>(k)].second;
        CurveData& c = o.curve();
        c.thickness = static_cast<uint8_t>(thickness);
        c.styleBits = static_cast<uint8_t>(styleBits);
        c.prevAnchor = static_cast<uint8_t>(k == 0 ? 0 : first + k - 1);
        c.nextAnchor = static_cast<uint8_t>(k + 1 == n ? 0 : first + k + 1);
        Append(b, o);
    }
    edit.commit();
    return true;
}

bool RestyleLine(EditContext& ctx, int s, int i, bool thickness, int value) {
    Score& score = ctx.score;
    if (!score.hasStave(s) || s > score.Nstaves || !score.stave(s).validIndex(i) ||
        score.object(s, i).kind != kLine)
        return false;
    LineData l = score.object(s, i).data.line;
    if (thickness) {
        l.thickness = static_cast<uint8_t>(std::clamp(value, 0, 5));
    } else {
        l.style = static_cast<uint8_t>(std::clamp(value, 0, 2));
        if (l.style == kDashedStyle) l.dashLength = kDashOfFive;
    }
    if (std::memcmp(&l, &score.object(s, i).data.line, sizeof l) == 0) return false;
    ScoreEdit edit(ctx, "line style");
    if (!edit.touchStave(s)) return false;
    score.object(s, i).data.line = l;
    edit.commit();
    return true;
}

}  // namespace sw
