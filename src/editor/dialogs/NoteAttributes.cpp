// "Note Attributes": six tabs over the listed notes, the rules that tie the
// choices together while it is open, and what OK writes into the notes and
// their partners (ties, slurs, beams, tremolo stems).
#include <algorithm>
#include <map>
#include <set>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "editor/dialogs/ObjectDialogs.h"
#include "fileio/NameTables.h"
#include "layout/BeamRules.h"
#include "layout/NoteGeometry.h"
#include "layout/Pagination.h"

namespace sw {

namespace {

enum Tab { kStandard, kBeams, kAccents, kStemLength, kHeadShape, kTremolos };
constexpr int kQuaver = 4, kSemiquaver = 5;
constexpr int kMinIncr = -4, kMaxIncr = 9, kMaxRatio = 63;
// Head sizes by choice: Normal, Small, Acciaccatura.
constexpr int kHeadSizes[] = {0, 1, 5};

uint8_t U8(int v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

std::vector<int> Of(const std::vector<NoteData>& notes, int (*f)(const NoteData&)) {
    std::vector<int> v;
    for (const NoteData& n : notes)
        v.push_back(f(n));
    return v;
}

// The choice of a tremolo's number of beams, -1 for none.
int TremoloCount(const NoteData& n) {
    return n.tremuloBars >= 1 && n.tremuloBars <= 4 ? n.tremuloBars - 1 : -1;
}

const NoteData* NoteIn(const Score& score, int s, int i) {
    if (!score.hasStave(s) || !score.stave(s).validIndex(i)) return nullptr;
    const ScoreObject& o = score.object(s, i);
    return o.kind == kNote ? &o.note() : nullptr;
}

// A note that may carry a principal beam: a semiquaver or shorter beamed
// back to one that is itself beamed back and not principal, and beamed on to
// one of a semiquaver or shorter that is not principal.
bool PrincipalEligible(const Score& score, const NoteRef& r) {
    const NoteData* n = NoteIn(score, r.s, r.i);
    if (!n || n->rest || n->noteValue < kSemiquaver) return false;
    const std::optional<NoteRef> back = BeamNeighbour(score, r.s, *n, false);
    const std::optional<NoteRef> on = BeamNeighbour(score, r.s, *n, true);
    if (!back || !on) return false;
    const NoteData* b = NoteIn(score, back->s, back->i);
    const NoteData* o = NoteIn(score, on->s, on->i);
    return b && o && b->noteValue >= kSemiquaver && b->beamBackTo != 0 && !b->singleBeam &&
           o->noteValue >= kSemiquaver && !o->singleBeam;
}

// The nearest earlier note on stave s before x that `fits`.
template <typename F>
int EarlierNote(const Score& score, int s, int self, int32_t x, F fits) {
    const StaveBlock& b = score.stave(s);
    int best = 0;
    for (int j = 1; j <= b.count(); ++j) {
        const ScoreObject& o = b.obj[j];
        if (j == self || o.kind != kNote || o.note().rest || o.x >= x || !fits(o.note())) continue;
        if (best == 0 || o.x > b.obj[best].x) best = j;
    }
    return best;
}

}  // namespace

NoteAttributesDialog::NoteAttributesDialog(const std::vector<const ScoreObject*>& objects,
                                           const DialogContext& context) {
    title_ = MessageText(msg::NoteAttributesTitle);
    tabs_ = {"&Standard", "&Beams", "&Accents", "Stem &Length", "&Head shape", "&Tremolos"};
    for (const ScoreObject* o : objects)
        if (o && o->kind == kNote) notes_.push_back(o->note());
    several_ = notes_.size() > 1;

    std::vector<std::string> values;
    for (int v = 0; v <= 7; ++v)
        values.emplace_back(NoteValueName(v, context.american));
    values.emplace_back("No change");
    duration = radio("&Duration", values);
    stem = radio(" Ste&m ", {"Up", "Down", "None", "No change"});
    dots = radio(" Dots ", {"&0", "&1", "&2", "&3", "No change"});
    tie = radio(" Tie to pre&vious ", {"No tie", "Overhand", "Underhand", "No change"});
    slur = radio(" Sl&ur to previous ", {"No Slur", "Overhand", "Underhand", "No change"});
    modify = check("Modif&y");
    ratio = box(" Modify note duration ");
    modLabel = label("");
    three = button("&3");
    size = radio(" Si&ze ", {"Normal", "Small", "Acciaccatura", "No Change"});
    principal =
        radio(" Principal Beam only ", {"No&rmal", "&Principal beam only", "&No change"}, kBeams);
    angle = radio(" Angle of beam ", {"Allo&w angled", "&Force Flat", "No chan&ge"}, kBeams);
    beams = radio(several_ ? " Beam together " : " Beam to previous ",
                  {"Not beame&d", "Beam bac&k/together", "N&o change"}, kBeams);
    emphasis = radio(" Note Acc&ent ",
                     {"&None", "Ten&uto", ">", "&Marcato", "Tenuto at tail", "> at tail",
                      "Marcato at tail", "No chang&e"},
                     kAccents);
    staccato = radio(
        " Sta&ccato ",
        {"Non&e", "D&ot (head)", "' (&head)", "Dot (&tail)", "' (ta&il)", "No chan&ge"}, kAccents);
    label("Stem Lenth Adjust", kStemLength);
    amount = box("A&mount", kStemLength);
    amountSame = check("No chan&ge", kStemLength);
    autoshorten = radio(" Autoshorten Stems ", {"&Yes", "&No", "N&o change"}, kStemLength);
    head = radio(" Head Style ",
                 {"&Normal", "&X", "&Diamond", "&White", "N&o head", "Slash", "&Circle", "S&quare",
                  "X &in Circle", "T&riangle", "&Upside down triangle", "No chan&ge"},
                 kHeadShape);
    const std::vector<std::string> counts =
        context.american
            ? std::vector<std::string>{"&1  8th notes", "&2  16th notes", "&3  32nd notes",
                                       "&4  64th notes"}
            : std::vector<std::string>{"&1 (Quaver)", "&2 (Semiquaver)", "&3 (Demisemiquaver)",
                                       "&4 (Hemidemisemiquaver)"};
    label("Beam Tremulos (between 2 notes)", kTremolos);
    beamTremolo = radio(" Tremulo ", {"&No", "B&eam tremulo", "N&o change"}, kTremolos);
    beamCount = radio(" Number of beams ", counts, kTremolos);
    label("Single Note", kTremolos);
    singleTremolo = radio(" T&remulo ", {"No", "Single Note", "No change"}, kTremolos);
    singleCount = radio(" Number o&f beams ", counts, kTremolos);

    openOn(duration,
           Of(notes_, [](const NoteData& n) { return n.noteValue <= 7 ? int{n.noteValue} : -1; }));
    // An automatic stem opens with nothing chosen, and stays unless one is.
    openOn(stem, Of(notes_, [](const NoteData& n) { return n.stem <= 2 ? int{n.stem} : -1; }));
    openOn(dots, Of(notes_, [](const NoteData& n) { return n.dots <= 3 ? int{n.dots} : -1; }));
    // A backward link to a note of the same pitch (or from the previous
    // system) is a tie; to another pitch a slur.
    std::vector<int> ties, slurs;
    for (std::size_t k = 0; k < notes_.size(); ++k) {
        const NoteData& n = notes_[k];
        const int side = n.tieOver ? 1 : 2;
        bool isSlur = false;
        if (n.tieLeft != 0 && n.tieLeft != 255 && context.score && k < context.refs.size()) {
            const NoteData* p = NoteIn(*context.score, context.refs[k].s, n.tieLeft);
            isSlur = p && p->pitch != n.pitch;
        }
        ties.push_back(n.tieLeft != 0 && !isSlur ? side : 0);
        slurs.push_back(isSlur ? side : 0);
    }
    openOn(tie, ties);
    openOn(slur, slurs);
    const bool sameRatio = std::all_of(notes_.begin(), notes_.end(), [&](const NoteData& n) {
        return n.durMod == notes_.front().durMod && n.durMod2 == notes_.front().durMod2;
    });
    variousRatio_ = !sameRatio;
    if (!notes_.empty() && notes_.front().durMod >= 1 && notes_.front().durMod2 >= 1) {
        durMod_ = notes_.front().durMod;
        durMod2_ = notes_.front().durMod2;
    }
    openOn(size, Of(notes_, [](const NoteData& n) {
               // Sizes 2 to 4 have no choice: the group opens empty.
               for (int k = 0; k < 3; ++k)
                   if (n.headSize == kHeadSizes[k]) return k;
               return -1;
           }));
    openOn(principal, Of(notes_, [](const NoteData& n) { return n.singleBeam ? 1 : 0; }));
    openOn(angle, Of(notes_, [](const NoteData& n) { return n.flatBeam ? 1 : 0; }));
    openOn(beams, Of(notes_, [](const NoteData& n) { return n.beamBackTo || n.beamOnTo ? 1 : 0; }));
    openOn(emphasis,
           Of(notes_, [](const NoteData& n) { return n.emphasis <= 6 ? int{n.emphasis} : -1; }));
    openOn(staccato,
           Of(notes_, [](const NoteData& n) { return n.staccato <= 4 ? int{n.staccato} : -1; }));
    amount_ = notes_.empty() ? 0 : std::clamp<int>(notes_.front().lengthIncr, kMinIncr, kMaxIncr);
    at(amount).text = std::to_string(amount_);
    at(amountSame).value = 1;
    openOn(autoshorten, Of(notes_, [](const NoteData& n) { return n.noShorten ? 1 : 0; }));
    // Heads 11 to 14 have no choice: the group opens empty.
    openOn(head, Of(notes_, [](const NoteData& n) { return n.head <= 10 ? int{n.head} : -1; }));
    openOn(singleTremolo, Of(notes_, [](const NoteData& n) { return n.beamStem2 ? 1 : 0; }));
    openOn(singleCount,
           Of(notes_, [](const NoteData& n) { return n.beamStem2 ? TremoloCount(n) : -1; }));

    allRests_ =
        std::all_of(notes_.begin(), notes_.end(), [](const NoteData& n) { return n.rest != 0; });
    // Beams join notes (not rests) of one stave with the same stem, up or down.
    beamable_ =
        !notes_.empty() && std::none_of(notes_.begin(), notes_.end(), [&](const NoteData& n) {
            return n.rest || n.stem > 1 || n.stem != notes_.front().stem;
        });
    if (context.refs.size() == notes_.size() && !context.refs.empty()) {
        beamable_ = beamable_ &&
                    std::all_of(context.refs.begin(), context.refs.end(),
                                [&](const NoteRef& r) { return r.s == context.refs.front().s; });
        if (context.score) {
            const Score& sc = *context.score;
            if (context.refs.size() == 1) {
                if (const std::optional<NoteRef> p = TremoloPartner(sc, context.refs.front()))
                    pair_ = std::pair{context.refs.front(), *p};
            } else if (TremoloToolAllowed(sc, context.refs)) {
                pair_ = std::pair{context.refs[0], context.refs[1]};
            }
            tremoloPair_ = pair_.has_value();
            principalOk_ = std::all_of(context.refs.begin(), context.refs.end(),
                                       [&](const NoteRef& r) { return PrincipalEligible(sc, r); });
        }
    }
    // A beam tremolo is marked on the second note of its pair.
    const NoteData* marked = nullptr;
    if (pair_)
        for (const NoteRef& r : {pair_->first, pair_->second})
            if (const NoteData* n = NoteIn(*context.score, r.s, r.i); n && n->beamStem1) marked = n;
    at(beamTremolo).value = marked ? 1 : 0;
    openOn(beamCount, marked ? std::vector<int>{TremoloCount(*marked)} : std::vector<int>{});
    if (notes_.size() == 1) dropNoChange();
    for (std::size_t t = 1; t < tabs_.size(); ++t)
        hiddenTabs_[t] = allRests_;
    showRatio();
    rules();
}

void NoteAttributesDialog::showRatio() {
    if (variousRatio_) {
        // Ticking "Modify" empties the text for the new ratio.
        at(ratio).text = control(modify).value ? "" : "Various";
        at(modLabel).text = "&Modification: ";
        return;
    }
    at(ratio).text = std::to_string(durMod_) + ":" + std::to_string(durMod2_);
    at(modLabel).text = durMod_ == 1 && durMod2_ == 1
                            ? "No &Modification"
                            : "&Modification: " + TupletLabel(durMod_, durMod2_);
}

int NoteAttributesDialog::valueNow() const {
    if (const auto v = chosen(duration)) return *v;
    if (notes_.empty()) return 0;
    // Under "No change" the shortest keeps what every note allows.
    int v = 7;
    for (const NoteData& n : notes_)
        v = std::min<int>(v, n.noteValue);
    return v;
}

void NoteAttributesDialog::rules() {
    const int v = valueNow();
    at(tie).enabled = at(slur).enabled = !allRests_;
    const bool grace = !allRests_ && v == kQuaver;
    at(size).offChoices = grace ? 0u : 1u << 2;
    at(beams).enabled = beamable_ && v >= kQuaver;
    const std::optional<int> b = chosen(beams);
    const bool beamed = control(beams).enabled && b != 0;
    at(principal).enabled = beamed && v >= kSemiquaver && principalOk_;
    at(angle).enabled = beamed && b == 1;
    at(beamTremolo).enabled = tremoloPair_;
    at(beamCount).enabled = tremoloPair_ && chosen(beamTremolo) == 1;
    at(singleTremolo).enabled = !tremoloPair_ || chosen(beamTremolo) == 0;
    at(singleCount).enabled = control(singleTremolo).enabled && chosen(singleTremolo) == 1;
}

bool NoteAttributesDialog::boxText(int id, const std::string& text, Host& host) {
    if (id == amount) {
        std::string t = text;
        if (AttributeForm::IsNoChange(t)) {
            at(amountSame).value = 1;
            return true;
        }
        const std::optional<long> n = WholeNumber(t);
        if (!n) return false;
        amount_ = static_cast<int>(std::clamp<long>(*n, kMinIncr, kMaxIncr));
        at(amount).text = std::to_string(amount_);
        at(amountSame).value = 0;
        // A stem of a set length is not shortened.
        at(autoshorten).value = 1;
        return true;
    }
    if (id != ratio) return false;
    const std::size_t colon = text.find(':');
    const std::optional<long> n = WholeNumber(text.substr(0, colon));
    const std::optional<long> m =
        colon == std::string::npos ? std::optional<long>(1) : WholeNumber(text.substr(colon + 1));
    at(modify).value = 1;
    if (!n || !m || *n < 1 || *n > kMaxRatio || *m < 1 || *m > kMaxRatio) {
        host.message(MsgType::Error, MessageText(msg::DurationModRange), Buttons::OK);
        durMod_ = durMod2_ = 1;
    } else {
        durMod_ = static_cast<int>(*n);
        durMod2_ = static_cast<int>(*m);
    }
    variousRatio_ = false;
    return true;
}

void NoteAttributesDialog::pressed(int id, Host&) {
    if (id != three) return;
    at(modify).value = 1;
    durMod_ = 3;
    durMod2_ = 2;
    variousRatio_ = false;
}

void NoteAttributesDialog::changed(int id, Host*) {
    if (id == tie && (isChosen(tie, 1) || isChosen(tie, 2))) at(slur).value = 0;
    if (id == slur && (isChosen(slur, 1) || isChosen(slur, 2))) at(tie).value = 0;
    if (id == duration && chosen(duration) < kQuaver && isChosen(size, 2)) at(size).value = 1;
    if (id == size && isChosen(size, 2) && !control(size).choiceUsable(2)) at(size).value = 0;
    showRatio();
    rules();
}

bool NoteAttributesDialog::accept(Host& host) {
    if (control(modify).value && variousRatio_) {
        // Ticked over differing ratios and nothing typed: no ratio to write.
        host.message(MsgType::Error, MessageText(msg::DurationModRange), Buttons::OK);
        durMod_ = durMod2_ = 1;
        variousRatio_ = false;
        showRatio();
        return false;
    }
    if (isChosen(principal, 1) && control(principal).enabled && !principalOk_) {
        host.message(MsgType::Error, MessageText(msg::PrincipalBeamRefused), Buttons::OK);
        return false;
    }
    return true;
}

void NoteAttributesDialog::applyTo(ScoreObject& o) const {
    NoteData& n = o.note();
    if (const auto v = chosen(duration)) n.noteValue = U8(*v);
    if (const auto s = chosen(stem)) n.stem = U8(*s);
    if (const auto d = chosen(dots)) n.dots = U8(*d);
    if (!control(amountSame).value) n.lengthIncr = static_cast<int8_t>(amount_);
    if (const auto h = chosen(head)) n.head = U8(*h);
    if (const auto e = chosen(emphasis)) n.emphasis = U8(*e);
    if (const auto s = chosen(size)) n.headSize = U8(kHeadSizes[*s]);
    if (const auto s = chosen(staccato)) n.staccato = U8(*s);
    if (const auto a = chosen(autoshorten)) n.noShorten = U8(*a);
    if (control(modify).value) {
        n.durMod = U8(durMod_);
        n.durMod2 = U8(durMod2_);
    }
    if (control(principal).enabled) {
        if (const auto p = chosen(principal)) n.singleBeam = U8(*p);
    }
    applyTremolo(n);
    n.validated = 0;
}

void NoteAttributesDialog::applyTremolo(NoteData& n) const {
    if (!control(singleTremolo).enabled) return;
    if (isChosen(singleTremolo, 1)) {
        if (const std::optional<int> c = chosen(singleCount)) {
            n.beamStem2 = 1;
            n.beamStem1 = 0;
            n.tremuloBars = U8(*c + 1);
        }
    } else if (isChosen(singleTremolo, 0) && !n.beamStem1) {
        // A beam tremolo this dialog does not reach keeps its strokes.
        n.beamStem2 = 0;
        n.tremuloBars = 0;
    }
}

void NoteAttributesDialog::tremoloPairInScore(Score& score, ApplyReport& report) const {
    if (!pair_ || !control(beamTremolo).enabled) return;
    const auto [a, b] = *pair_;
    if (!NoteIn(score, a.s, a.i) || !NoteIn(score, b.s, b.i)) return;
    std::vector<NoteRef> changed;
    if (isChosen(beamTremolo, 1)) {
        if (const std::optional<int> c = chosen(beamCount))
            changed = TremoloBeam(score, a, b, *c + 1);
    } else if (isChosen(beamTremolo, 0) && (score.object(a.s, a.i).note().beamStem1 ||
                                            score.object(b.s, b.i).note().beamStem1)) {
        changed = TremoloBeam(score, a, b, 0);
        // The pair's strokes are gone; a single-note tremolo chosen now stays.
        for (const NoteRef& r : {a, b})
            applyTremolo(score.object(r.s, r.i).note());
    }
    report.touched.insert(report.touched.end(), changed.begin(), changed.end());
}

void NoteAttributesDialog::linkBack(Score& score, const NoteRef& r, bool slurLink, bool over,
                                    ApplyReport& report) const {
    NoteData& n = score.object(r.s, r.i).note();
    const int32_t x = score.object(r.s, r.i).x;
    const NoteData me = n;
    auto fits = [&](const NoteData& p) {
        return slurLink ? p.stem == me.stem : p.pitch == me.pitch;
    };
    int partner = EarlierNote(score, r.s, r.i, x, fits);
    unlinkTie(score, r, report);
    if (partner) {
        score.object(r.s, partner).note().tieRight = U8(r.i);
        report.touched.push_back({r.s, partner});
    } else {
        // The corresponding stave of the previous system.
        const auto [first, last] = SystemBounds(score, r.s);
        if (first <= 1) return;
        const auto [pFirst, pLast] = SystemBounds(score, first - 1);
        const int ps = pFirst + (r.s - first);
        if (ps > pLast || !score.hasStave(ps)) return;
        partner = EarlierNote(score, ps, 0, INT32_MAX, fits);
        if (!partner) return;
        score.object(ps, partner).note().tieRight = 255;
        report.touched.push_back({ps, partner});
        n.tieLeft = 255;
        n.tieOver = U8(over);
        return;
    }
    n.tieLeft = U8(partner);
    n.tieOver = U8(over);
}

void NoteAttributesDialog::unlinkTie(Score& score, const NoteRef& r, ApplyReport& report) const {
    NoteData& n = score.object(r.s, r.i).note();
    if (n.tieLeft == 255) {
        const auto [first, last] = SystemBounds(score, r.s);
        if (first > 1) {
            const auto [pFirst, pLast] = SystemBounds(score, first - 1);
            const int ps = pFirst + (r.s - first);
            if (ps <= pLast && score.hasStave(ps)) {
                StaveBlock& b = score.stave(ps);
                for (int j = 1; j <= b.count(); ++j)
                    if (b.obj[j].kind == kNote && b.obj[j].note().tieRight == 255 &&
                        b.obj[j].note().pitch == n.pitch) {
                        b.obj[j].note().tieRight = 0;
                        report.touched.push_back({ps, j});
                    }
            }
        }
    } else if (NoteData* p = const_cast<NoteData*>(NoteIn(score, r.s, n.tieLeft));
               p && p->tieRight == r.i) {
        p->tieRight = 0;
        report.touched.push_back({r.s, n.tieLeft});
    }
    n.tieLeft = 0;
}

bool NoteAttributesDialog::applyInScore(Score& score, const std::vector<NoteRef>& list, Host& host,
                                        ApplyReport& report) {
    std::vector<NoteRef> notes;
    for (const NoteRef& r : list)
        if (NoteIn(score, r.s, r.i)) notes.push_back(r);
    // Ties and slurs share the backward link.
    const std::optional<int> t = control(tie).enabled ? chosen(tie) : std::nullopt;
    const std::optional<int> sl = control(slur).enabled ? chosen(slur) : std::nullopt;
    for (const NoteRef& r : notes) {
        if (score.object(r.s, r.i).note().rest) continue;
        if (t == 1 || t == 2)
            linkBack(score, r, false, t == 1, report);
        else if (sl == 1 || sl == 2)
            linkBack(score, r, true, sl == 1, report);
        else if (t == 0 || sl == 0)
            unlinkTie(score, r, report);
    }
    // A note made a crotchet or longer has no beams: its partners let go, as
    // the digit keys do. A tremolo beam is no beam of that kind.
    const std::optional<int> value = chosen(duration);
    for (const NoteRef& r : notes)
        if (value && *value < kQuaver && !TremoloPartner(score, r)) {
            UnlinkBack(score, r.s, r.i, &report.touched);
            UnlinkOn(score, r.s, r.i, &report.touched);
        }
    const std::optional<int> b = control(beams).enabled ? chosen(beams) : std::nullopt;
    if (b == 0) {
        for (const NoteRef& r : notes)
            UnlinkBack(score, r.s, r.i, &report.touched);
    } else if (b == 1) {
        std::map<std::pair<int32_t, int>, int> at;
        bool duplicates = false;
        for (const NoteRef& r : notes)
            duplicates |= at[{score.object(r.s, r.i).x, score.object(r.s, r.i).note().pitch}]++ > 0;
        if (duplicates) {
            host.message(MsgType::Error, MessageText(msg::DuplicateNotesBeaming), Buttons::OK);
        } else if (notes.size() == 1) {
            const NoteRef r = notes.front();
            if (CanBeamBack(score, r.s, r.i))
                if (const std::optional<int> p = PreviousBeamCandidate(score, r.s, r.i)) {
                    LinkBeam(score, {r.s, *p}, r);
                    report.touched.push_back({r.s, *p});
                }
        } else {
            std::vector<NoteRef> sorted = notes;
            std::sort(sorted.begin(), sorted.end(), [&](const NoteRef& a, const NoteRef& c) {
                return score.object(a.s, a.i).x < score.object(c.s, c.i).x;
            });
            for (std::size_t k = 1; k < sorted.size(); ++k) {
                UnlinkOn(score, sorted[k - 1].s, sorted[k - 1].i, &report.touched);
                UnlinkBack(score, sorted[k].s, sorted[k].i, &report.touched);
                LinkBeam(score, sorted[k - 1], sorted[k]);
            }
        }
        // Every beam group the listed notes belong to takes the angle.
        if (const std::optional<int> a = control(angle).enabled ? chosen(angle) : std::nullopt) {
            std::set<NoteRef> done;
            for (const NoteRef& n : notes)
                if (!done.count(n))
                    for (const NoteRef& r : FlatBeamGroup(score, n.s, n.i)) {
                        score.object(r.s, r.i).note().flatBeam = U8(*a == 1);
                        if (done.insert(r).second) report.touched.push_back(r);
                    }
        }
    }
    tremoloPairInScore(score, report);
    // Stems that must grow to hold their tremolo strokes.
    for (const NoteRef& r : notes) {
        NoteData& n = score.object(r.s, r.i).note();
        const int need = n.beamStem2 && !n.beamBackTo && !n.beamOnTo ? TremoloStemNeed(n) : 0;
        if (need > 0 && n.lengthIncr < need) {
            n.lengthIncr = static_cast<int8_t>(need);
            ++report.stemsRaised;
        }
    }
    for (const NoteRef& r : notes)
        InvalidateNotesAt(score, r.s, score.object(r.s, r.i).x);
    for (const NoteRef& r : report.touched)
        if (NoteIn(score, r.s, r.i)) InvalidateNotesAt(score, r.s, score.object(r.s, r.i).x);
    return true;
}

}  // namespace sw
