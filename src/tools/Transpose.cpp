// Transposition by semitone steps and octaves, clef changes and the respacing
// that follows a change of key signature width.
#include "tools/Transpose.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <limits>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "layout/Bars.h"
#include "layout/Pagination.h"
#include "layout/Rounding.h"
#include "layout/Signatures.h"
#include "layout/Stems.h"

namespace sw {

namespace {

constexpr char kTextSharp = 27, kTextFlat = 29;
constexpr int kChunk = 10;
constexpr int kOctaveSteps = 7, kOctaveSemitones = 12;
constexpr int kMaxSemitones = 24;
// Letters as steps from A.
constexpr int kLetterB = 1, kLetterC = 2, kLetterE = 4, kLetterF = 5;
// Where each clef has its middle line, in positions, so that a note keeps
// its pitch when its clef changes.
constexpr std::array<int, 4> kClefPosition = {-6, 6, 0, 2};

int ClefPosition(int clef) {
    return kClefPosition[static_cast<std::size_t>(std::clamp(clef, 0, 3))];
}

bool IsSoundingNote(const ScoreObject& o) {
    return o.kind == kNote && o.note().rest == 0;
}

// The objects that carry a stave position.
bool HasPosition(const ScoreObject& o) {
    return IsSoundingNote(o) || o.kind == kAccidental;
}

// Marks that follow the notes up and down without a position of their own.
bool FollowsNotes(const ScoreObject& o) {
    return o.kind == kCurve || o.kind == kOther;
}

int8_t& PositionOf(ScoreObject& o) {
    return o.kind == kNote ? o.note().pitch : o.data.accidental.pitch;
}

// Moves an object by `steps` positions (up when positive).
void MoveBy(ScoreObject& o, int steps) {
    if (steps == 0) return;
    if (HasPosition(o)) PositionOf(o) = static_cast<int8_t>(PositionOf(o) + steps);
    o.y -= steps * kStepPixels;
    if (o.kind == kNote) o.note().validated = 0;
}

std::string StaveList(const std::vector<int>& staves) {
    std::string list;
    for (int s : staves)
        list += (list.empty() ? "" : ", ") + std::to_string(s);
    return list;
}

// Staves with a note or accidental before their first key signature.
std::vector<int> StavesWithoutKey(const Score& score, const std::vector<int>& staves) {
    std::vector<int> missing;
    for (int s : staves) {
        const StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.count(); ++i) {
            if (b.obj[i].kind == kKeysig) break;
            if (HasPosition(b.obj[i])) {
                missing.push_back(s);
                break;
            }
        }
    }
    return missing;
}

// False, after the error box naming them, when staves have a note or
// accidental before their first key signature.
bool KeysComeFirst(const Score& score, const std::vector<int>& staves, Host& host) {
    const std::vector<int> missing = StavesWithoutKey(score, staves);
    if (missing.empty()) return true;
    host.message(MsgType::Error, FormatMessage(msg::NotesBeforeKeySignature, StaveList(missing)),
                 Buttons::OK);
    return false;
}

// Staves with a note that `reach` positions either way would take out of
// its signed byte.
std::vector<int> StavesOutOfReach(const Score& score, const std::vector<int>& staves, int reach) {
    std::vector<int> out;
    for (int s : staves) {
        const StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.count(); ++i) {
            const ScoreObject& o = b.obj[i];
            if (!HasPosition(o)) continue;
            const int p = o.kind == kNote ? o.note().pitch : o.data.accidental.pitch;
            if (p + reach > std::numeric_limits<int8_t>::max() ||
                p - reach < std::numeric_limits<int8_t>::min()) {
                out.push_back(s);
                break;
            }
        }
    }
    return out;
}

// The indexes of a text chain from its first chunk, in order.
std::vector<int> ChainOf(const StaveBlock& b, int i) {
    std::vector<int> chain;
    for (int j = i; b.validIndex(j) && HasTextLayout(b.obj[j].kind) &&
                    chain.size() < static_cast<std::size_t>(kMaxObjects);
         j = b.obj[j].text().nextChunk) {
        if (std::find(chain.begin(), chain.end(), j) != chain.end()) break;
        chain.push_back(j);
    }
    return chain;
}

// A transposable text's whole chain moved a semitone and split again into
// the chunks it had; chunks left empty go.
void TransposeTextChain(StaveBlock& b, int i, int direction) {
    const std::vector<int> chain = ChainOf(b, i);
    std::string text;
    for (int j : chain)
        text += b.obj[j].chunk();
    text = TransposeChordText(text, direction, chain.size() * kChunk);
    for (std::size_t k = 0; k < chain.size(); ++k) {
        ScoreObject& chunk = b.obj[chain[k]];
        const std::size_t at = k * kChunk;
        if (k > 0 && at >= text.size()) {
            b.obj[chain[k - 1]].text().nextChunk = 0;
            for (std::size_t rest = k; rest < chain.size(); ++rest)
                b.obj[chain[rest]].kind = kNothing;
            break;
        }
        chunk.setChunk(at < text.size() ? text.substr(at, kChunk) : std::string());
    }
}

bool IsTransposableText(const ScoreObject& o) {
    return o.kind == kText && (o.text().textFlags & kTextTransposable) != 0 &&
           (o.text().textFlags & kTextContinuation) == 0;
}

// The shift state a key signature sets for the objects after it.
struct Shift {
    int letter = 0;      // positions
    int accidental = 0;  // alteration
};
Shift ShiftAfterKey(int key, int direction) {
    if (direction > 0) return key < -1 ? Shift{0, 1} : Shift{1, -1};
    return key > 1 ? Shift{0, -1} : Shift{-1, 1};
}

void StepAccidental(Score& score, int s, ScoreObject& o, const Shift& shift, int direction,
                    Host& host) {
    AccidentalData& a = o.data.accidental;
    const int letter = LetterAt(ClefTypeAt(score.stave(s), o.x), a.pitch);
    // These letter steps are semitones already.
    const bool semitoneLetter =
        shift.letter != 0 && (direction > 0 ? letter == kLetterB || letter == kLetterE
                                            : letter == kLetterC || letter == kLetterF);
    const int change = semitoneLetter ? 0 : shift.accidental;
    if ((change > 0 && a.accidental >= 2) || (change < 0 && a.accidental <= -2)) {
        host.message(MsgType::Error,
                     FormatMessage(msg::TranspositionError, s, std::string(1, char('A' + letter)),
                                   change > 0 ? "Double sharp" : "Double flat"),
                     Buttons::OK);
    } else {
        a.accidental = static_cast<int8_t>(std::clamp(a.accidental + change, -2, 2));
    }
    MoveBy(o, shift.letter);
}

void StepStave(Score& score, int s, int direction, Host& host) {
    StaveBlock& b = score.stave(s);
    Shift shift;
    for (int i = 1; i <= b.count(); ++i) {
        ScoreObject& o = b.obj[i];
        if (o.kind == kKeysig) {
            const int key = std::clamp<int>(o.data.keysig.key, -7, 7);
            shift = ShiftAfterKey(key, direction);
            o.data.keysig.key = static_cast<int8_t>(KeyStep(key, direction));
            o.data.keysig.naturalsOnChange = 0;
        } else if (o.kind == kAccidental) {
            StepAccidental(score, s, o, shift, direction, host);
        } else if (IsSoundingNote(o) || FollowsNotes(o)) {
            MoveBy(o, shift.letter);
        } else if (IsTransposableText(o)) {
            TransposeTextChain(b, i, direction);
        }
    }
}

}  // namespace

int KeyStep(int key, int direction) {
    // From Cb (7 flats) to C# (7 sharps).
    static constexpr std::array<int, 15> kUp = {0, 1, 2, 3, 4, 5, -6, -5, -4, -3, -2, -1, 0, 1, 2};
    static constexpr std::array<int, 15> kDown = {-2, -1, 0,  1,  2,  3,  4, 5,
                                                  6,  -5, -4, -3, -2, -1, 0};
    const std::size_t k = static_cast<std::size_t>(std::clamp(key, -7, 7) + 7);
    return direction > 0 ? kUp[k] : kDown[k];
}

std::string TransposeChordText(const std::string& text, int direction, std::size_t capacity) {
    // Each letter A..G up or down a semitone, by the sign after it (-1 flat,
    // 0 none, +1 sharp): the new letter and its sign.
    struct Name {
        char letter;
        int sign;
    };
    static constexpr Name kUp[3][7] = {
        {{'A', 0}, {'B', 0}, {'C', 0}, {'D', 0}, {'E', 0}, {'F', 0}, {'G', 0}},
        {{'B', -1}, {'C', 0}, {'D', -1}, {'E', -1}, {'F', 0}, {'F', 1}, {'A', -1}},
        {{'B', 0}, {'C', 1}, {'D', 0}, {'E', 0}, {'F', 1}, {'G', 0}, {'A', 0}}};
    static constexpr Name kDown[3][7] = {
        {{'G', 0}, {'A', 0}, {'B', -1}, {'C', 0}, {'D', 0}, {'E', -1}, {'F', 0}},
        {{'A', -1}, {'B', -1}, {'B', 0}, {'D', -1}, {'E', -1}, {'E', 0}, {'F', 1}},
        {{'A', 0}, {'B', 0}, {'C', 0}, {'D', 0}, {'E', 0}, {'F', 0}, {'G', 0}}};
    std::string s = text.substr(0, capacity);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] < 'A' || s[i] > 'G') continue;
        const int sign = i + 1 < s.size() && s[i + 1] == kTextSharp  ? 1
                         : i + 1 < s.size() && s[i + 1] == kTextFlat ? -1
                                                                     : 0;
        const Name n = (direction > 0 ? kUp : kDown)[sign + 1][s[i] - 'A'];
        std::string name(1, n.letter);
        if (n.sign != 0) name += n.sign > 0 ? kTextSharp : kTextFlat;
        const std::size_t old = sign != 0 ? 2 : 1;
        // Erase and insert rather than replace: g++ 12 misreads the overlap of replace.
        s.erase(i, old);
        s.insert(i, name);
        if (s.size() > capacity) s.resize(capacity);
        i += name.size() - 1;
    }
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

bool SystemsAlike(const Score& score) {
    std::optional<int> size;
    for (int first = 1; first <= score.Nstaves;) {
        const int last = SystemBounds(score, first).second;
        if (size && *size != last - first + 1) return false;
        size = last - first + 1;
        first = last + 1;
    }
    return true;
}

std::vector<int> TransposeRange(const Score& score, TransposeExtent extent, int s, Host& host) {
    std::vector<int> staves;
    if (s < 1 || s > score.Nstaves) return staves;
    if (extent == TransposeExtent::Stave) return {s};
    if (extent == TransposeExtent::Score) {
        for (int t = 1; t <= score.Nstaves; ++t)
            staves.push_back(t);
        return staves;
    }
    const int place = s - SystemBounds(score, s).first;
    for (int first = 1; first <= score.Nstaves;) {
        const int last = SystemBounds(score, first).second;
        if (first + place > last) {
            host.message(MsgType::Error, MessageText(msg::NoCorrespondingStave), Buttons::OK);
            return {};
        }
        staves.push_back(first + place);
        first = last + 1;
    }
    return staves;
}

bool TransposeStep(Score& score, const std::vector<int>& staves, int direction, Host& host,
                   const TextMeasurer& measurer) {
    if (!KeysComeFirst(score, staves, host)) return false;
    for (int s : staves) {
        StepStave(score, s, direction, host);
        StaveExtent(score, s, measurer);
    }
    return true;
}

void TransposeOctave(Score& score, const std::vector<int>& staves, bool up,
                     const TextMeasurer& measurer) {
    for (int s : staves) {
        StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.count(); ++i)
            if (HasPosition(b.obj[i]) || FollowsNotes(b.obj[i]))
                MoveBy(b.obj[i], up ? kOctaveSteps : -kOctaveSteps);
        StaveExtent(score, s, measurer);
    }
}

void ChangeClefs(Score& score, int s, int clef, bool dropMarkers, const TextMeasurer& measurer) {
    StaveBlock& b = score.stave(s);
    clef = std::clamp(clef, 0, 3);
    std::optional<int> inForce;  // the clef the music after it was written for
    for (int i = 1; i <= b.count(); ++i) {
        ScoreObject& o = b.obj[i];
        if (o.kind == kClef) {
            ClefData& c = o.data.clef;
            const bool first = !inForce;
            inForce = std::clamp<int>(c.type, 0, 3);
            if (!first && c.type == clef) {
                UnlinkAndDelete(b, i);
                continue;
            }
            c.type = static_cast<uint8_t>(clef);
            if (dropMarkers) c.octaveUp = c.octaveDown = 0;
            o.glyph = ClefGlyph(clef, c.small != 0);
        } else if (inForce && (HasPosition(o) || FollowsNotes(o))) {
            MoveBy(o, ClefPosition(clef) - ClefPosition(*inForce));
        }
    }
    StaveExtent(score, s, measurer);
}

bool ClefsCarryOctaveMarkers(const Score& score, const std::vector<int>& staves) {
    for (int s : staves) {
        const StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.count(); ++i)
            if (b.obj[i].kind == kClef &&
                (b.obj[i].data.clef.octaveUp || b.obj[i].data.clef.octaveDown))
                return true;
    }
    return false;
}

std::optional<int32_t> KeyEnd(const Score& score, int s) {
    const StaveBlock& b = score.stave(s);
    for (int i = 1; i <= b.count(); ++i)
        // Even a key without signs ends past its x, so that the respacing
        // that starts at the end never takes the signature along.
        if (b.obj[i].kind == kKeysig) return b.obj[i].x + std::max(1, KeysigWidth(b, b.obj[i]));
    return std::nullopt;
}

bool RespaceAfterKeyChange(Score& score, int first, int32_t oldEnd, int32_t newEnd) {
    const int32_t right = score.stave(first).h.RightX;
    if (oldEnd == newEnd || oldEnd >= right || newEnd >= right) return false;
    std::vector<int32_t> from = BarList(score, first).x;
    from.front() = oldEnd;
    // Music after the last bar line follows too, up to the system's end.
    if (from.back() < right) from.push_back(right);
    std::vector<int32_t> to(from.size());
    const double scale = static_cast<double>(right - newEnd) / (right - oldEnd);
    for (std::size_t p = 0; p < from.size(); ++p)
        to[p] = right - RoundEven((right - from[p]) * scale);
    if (from.size() < 2) return false;
    // A time signature set close after the key lies before the key's end:
    // the walk starts just past the key itself, so that it moves with it.
    int32_t keyX = INT32_MIN;
    for (int t = first; t <= SystemBounds(score, first).second; ++t) {
        const StaveBlock& b = score.stave(t);
        for (int i = 1; i <= b.count(); ++i)
            if (b.obj[i].kind == kKeysig) {
                if (b.obj[i].x < oldEnd) keyX = std::max(keyX, b.obj[i].x);
                break;
            }
    }
    if (keyX != INT32_MIN && keyX + 1 < oldEnd && keyX + 1 < from[1]) {
        from.front() = keyX + 1;
        to.front() = keyX + 1 + (newEnd - oldEnd);
    }
    return RespaceBars(score, first, from, to, 0, static_cast<int>(from.size()) - 1,
                       RespaceVariant::Key);
}

std::pair<int, int> TransposedStaves(const Score& score, const TransposePlan& plan) {
    if (plan.staves.empty()) return {0, -1};
    return {SystemBounds(score, plan.staves.front()).first,
            SystemBounds(score, plan.staves.back()).second};
}

bool Transposable(const Score& score, const TransposePlan& plan, Host& host) {
    const int distance = plan.semitones;
    if (std::abs(distance) > kMaxSemitones) {
        host.message(MsgType::Error, FormatMessage(msg::TransposeDistanceRange, distance),
                     Buttons::OK);
        return false;
    }
    for (int s : plan.staves)
        if (s < 1 || s > score.Nstaves) return false;
    if (distance != 0 && !KeysComeFirst(score, plan.staves, host)) return false;
    // A semitone step moves a note by a letter at most, an octave by seven.
    const int reach = (std::abs(distance) == kOctaveSemitones ? kOctaveSteps : std::abs(distance)) +
                      (plan.clef >= 0 ? ClefPosition(1) - ClefPosition(0) : 0);
    const std::vector<int> outOfReach = StavesOutOfReach(score, plan.staves, reach);
    if (!outOfReach.empty()) {
        host.message(MsgType::Error,
                     FormatMessage(msg::TransposedOutOfReach, StaveList(outOfReach)), Buttons::OK);
        return false;
    }
    return true;
}

bool Transpose(Score& score, const TransposePlan& plan, Host& host, const TextMeasurer& measurer) {
    if (!Transposable(score, plan, host)) return false;
    const int distance = plan.semitones;
    std::vector<std::optional<int32_t>> oldEnds;
    if (plan.respace)
        for (int s : plan.staves)
            oldEnds.push_back(KeyEnd(score, s));

    if (std::abs(distance) == kOctaveSemitones) {
        TransposeOctave(score, plan.staves, distance > 0, measurer);
    } else {
        for (int k = 0; k < std::abs(distance); ++k)
            if (!TransposeStep(score, plan.staves, distance > 0 ? 1 : -1, host, measurer))
                return false;  // checked above: never reached with a change made
    }
    if (plan.clef >= 0)
        for (int s : plan.staves)
            ChangeClefs(score, s, plan.clef, plan.dropMarkers, measurer);
    if (plan.adjustStems)
        for (int s : plan.staves)
            if (plan.stemsOnTwoParts || !HasTwoParts(score, s)) {
                for (int i : OptimiseStems(score, s, AllSlots(score, s)))
                    score.object(s, i).note().validated = 0;
                StaveExtent(score, s, measurer);
            }

    if (plan.respace) {
        // Per system: from the narrowest key signature before to the widest after.
        for (std::size_t k = 0; k < plan.staves.size();) {
            const int first = SystemBounds(score, plan.staves[k]).first;
            std::optional<int32_t> before, after;
            for (; k < plan.staves.size() && SystemBounds(score, plan.staves[k]).first == first;
                 ++k) {
                const std::optional<int32_t> now = KeyEnd(score, plan.staves[k]);
                if (oldEnds[k]) before = before ? std::min(*before, *oldEnds[k]) : *oldEnds[k];
                if (now) after = after ? std::max(*after, *now) : *now;
            }
            if (before && after) RespaceAfterKeyChange(score, first, *before, *after);
        }
    }
    return true;
}

}  // namespace sw
