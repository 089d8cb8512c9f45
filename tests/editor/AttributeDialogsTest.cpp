// The object attribute dialogs driven as a user drives them: opened through
// the controller on one object or a list, their rules while open, what OK
// writes (and what it leaves alone), and the refusals.
#include <gtest/gtest.h>

#include "core/MessageIds.h"
#include "core/Messages.h"
#include "editor/dialogs/ObjectDialogs.h"
#include "layout/GlyphTable.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"
#include "model/Build.h"
#include "support/EditorFixture.h"

namespace sw {
namespace {

constexpr int32_t kTop = 100, kSecond = 180;

std::string Plain(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != '&') out += c;
    const std::size_t a = out.find_first_not_of(' '), b = out.find_last_not_of(' ');
    return a == std::string::npos ? "" : out.substr(a, b - a + 1);
}

// The control a caption names, and a choice of a radio group by its caption.
// The control a caption names; a caption with its "&" where two read alike.
int Id(const AttributeForm& f, const std::string& caption) {
    const bool exact = caption.find('&') != std::string::npos;
    for (std::size_t k = 0; k < f.controls().size(); ++k) {
        const std::string& c = f.controls()[k].caption;
        if (exact ? Plain(c) == Plain(caption) && c.find(caption) != std::string::npos
                  : Plain(c) == caption)
            return static_cast<int>(k);
    }
    ADD_FAILURE() << "no control " << caption << " in " << f.title();
    return 0;
}
int ChoiceOf(const AttributeForm& f, const std::string& group, const std::string& choice) {
    const FormControl& c = f.control(Id(f, group));
    for (std::size_t k = 0; k < c.choices.size(); ++k)
        if (Plain(c.choices[k]) == choice) return static_cast<int>(k);
    return -1;
}
void Pick(AttributeForm& f, const std::string& group, const std::string& choice) {
    const int k = ChoiceOf(f, group, choice);
    ASSERT_GE(k, 0) << group << "=" << choice;
    f.choose(Id(f, group), k);
}
// The chosen choice's caption, "" for none.
std::string Shown(const AttributeForm& f, const std::string& group) {
    const FormControl& c = f.control(Id(f, group));
    return c.value < 0 ? "" : Plain(c.choices[static_cast<std::size_t>(c.value)]);
}
bool AnyNoChange(const AttributeForm& f) {
    for (const FormControl& c : f.controls())
        for (const std::string& ch : c.choices)
            if (AttributeForm::IsNoChange(ch)) return true;
    return false;
}

class Attributes : public test::EditorFixture {
  protected:
    // Two systems of one stave each; `build` puts objects on them.
    template <typename F>
    void Open(F build) {
        Score s;
        const int w = ComputePageGeometry(s).width;
        AppendStave(s, kTop, 20, w - 5);
        AppendStave(s, kSecond, 20, w - 5);
        build(s);
        OpenScore(s, 3, "attributes.swn");
    }
    // The slots of kind `kind` on stave s.
    std::vector<NoteRef> Of(int s, int kind) const {
        std::vector<NoteRef> out;
        for (int i = 1; i <= score.stave(s).count(); ++i)
            if (score.object(s, i).kind == kind) out.push_back({s, i});
        return out;
    }
    ScoreObject& At(const NoteRef& r) { return score.object(r.s, r.i); }
    // Opens the dialog on `list`, lets `user` play it, and says what OK did.
    bool Edit(const std::vector<NoteRef>& list, const std::function<bool(AttributeForm&)>& user) {
        dialogs.onForm = user;
        return d->editAttributes(list);
    }
};

TEST_F(Attributes, ClefsThatDifferOpenOnNoChangeAndKeepTheirTypes) {
    Open([](Score& s) {
        PlaceObject(s, 1, kClef, 100, kTop)->data.clef = ClefData{0, 0, 0, 0};
        PlaceObject(s, 1, kClef, 300, kTop)->data.clef = ClefData{0, 0, 0, 0};
        PlaceObject(s, 1, kClef, 500, kTop)->data.clef = ClefData{1, 0, 0, 0};
    });
    const std::vector<NoteRef> clefs = Of(1, kClef);
    ASSERT_EQ(clefs.size(), 3u);
    EXPECT_TRUE(Edit(clefs, [](AttributeForm& f) {
        EXPECT_EQ(Shown(f, "Type"), "No change");
        EXPECT_EQ(Shown(f, "Size"), "Normal");
        Pick(f, "Size", "Small");
        return true;
    }));
    EXPECT_EQ(At(clefs[0]).data.clef.type, 0);
    EXPECT_EQ(At(clefs[2]).data.clef.type, 1);
    for (const NoteRef& r : clefs)
        EXPECT_EQ(At(r).data.clef.small, 1);
    EXPECT_TRUE(d->modified());
    // One clef: no "No change" anywhere.
    EXPECT_TRUE(Edit({clefs[2]}, [](AttributeForm& f) {
        EXPECT_FALSE(AnyNoChange(f));
        EXPECT_EQ(Shown(f, "Type"), "Bass");
        Pick(f, "Octave indication", "Up");
        return true;
    }));
    EXPECT_EQ(At(clefs[2]).data.clef.octaveUp, 1);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Attributes, CancelAndAnUnchangedOkLeaveNoUndoStepNorModifiedMark) {
    Open([](Score& s) {
        PlaceObject(s, 1, kAccidental, 100, kTop, glyph::SHARP)->data.accidental.accidental = 1;
    });
    const NoteRef a = Of(1, kAccidental).front();
    const int steps = undo.retrievable();
    EXPECT_FALSE(Edit({a}, [](AttributeForm& f) {
        EXPECT_FALSE(AnyNoChange(f));
        Pick(f, "Type", "Flat");
        return false;
    }));
    EXPECT_FALSE(Edit({a}, [](AttributeForm&) { return true; }));
    EXPECT_EQ(undo.retrievable(), steps);
    EXPECT_FALSE(d->modified());
    EXPECT_EQ(At(a).data.accidental.accidental, 1);
    // Courtesy is the parentheses byte.
    EXPECT_TRUE(Edit({a}, [](AttributeForm& f) {
        Pick(f, "Courtesy", "Yes");
        Pick(f, "Type", "Double Sharp");
        return true;
    }));
    EXPECT_EQ(At(a).data.accidental.parentheses, 1);
    EXPECT_EQ(At(a).data.accidental.accidental, 2);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Attributes, KeySignatureNamesTheKeyAndNeedsSharpsOrFlats) {
    Open([](Score& s) {
        PlaceObject(s, 1, kKeysig, 100, kTop)->data.keysig = KeysigData{-2, 1};
        PlaceObject(s, 1, kKeysig, 300, kTop)->data.keysig = KeysigData{4, 0};
    });
    const std::vector<NoteRef> keys = Of(1, kKeysig);
    // Differing keys open with neither chosen; OK keeps each, naturals unticked.
    EXPECT_TRUE(Edit(keys, [](AttributeForm& f) {
        EXPECT_EQ(Shown(f, "Type"), "");
        EXPECT_EQ(Shown(f, "Number"), "");
        EXPECT_EQ(f.control(Id(f, "With naturals on change")).value, 0);
        f.setCheck(Id(f, "With naturals on change"), true);
        return true;
    }));
    EXPECT_EQ(At(keys[0]).data.keysig.key, -2);
    EXPECT_EQ(At(keys[1]).data.keysig.key, 4);
    EXPECT_EQ(At(keys[1]).data.keysig.naturalsOnChange, 1);
    host.expectMessage("\"3\" refers to sharps or flats");
    EXPECT_TRUE(Edit({keys[0]}, [this](AttributeForm& f) {
        auto& k = static_cast<KeySignatureDialog&>(f);
        EXPECT_EQ(k.keyName(), "Bb major/G minor");
        Pick(f, "Number", "0");
        EXPECT_EQ(Shown(f, "Type"), "") << "0 clears the type";
        EXPECT_EQ(k.keyName(), "C major/A minor");
        Pick(f, "Number", "3");
        EXPECT_FALSE(f.accept(host));
        Pick(f, "Type", "Sharps");
        EXPECT_EQ(k.keyName(), "A major/F# minor");
        return f.accept(host);
    }));
    EXPECT_EQ(At(keys[0]).data.keysig.key, 3);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Attributes, TimeSignatureQuickSetFollowsTheNumbersWhichFitBytes) {
    Open([](Score& s) {
        PlaceObject(s, 1, kTimesig, 100, kTop)->data.timesig = TimesigData{3, 8, 0, 0};
    });
    const NoteRef t = Of(1, kTimesig).front();
    host.expectMessage("Bad input for lower number");
    EXPECT_TRUE(Edit({t}, [this](AttributeForm& f) {
        EXPECT_EQ(Shown(f, "Quick set"), "3/8");
        f.setText(Id(f, "Upper Number"), "5", host);
        f.setText(Id(f, "Lower Number"), "4", host);
        EXPECT_EQ(f.control(Id(f, "Quick set")).choices[5], "Oth&er");
        EXPECT_EQ(Shown(f, "Quick set"), "Other");
        f.setText(Id(f, "Upper Number"), "999", host);
        f.setText(Id(f, "Lower Number"), "300", host);  // told, and kept
        EXPECT_EQ(static_cast<TimeSignatureDialog&>(f).lowerValue(), 4);
        f.setText(Id(f, "Lower Number"), "X", host);
        return true;
    }));
    EXPECT_EQ(At(t).data.timesig.numerator, 255);
    EXPECT_EQ(At(t).data.timesig.denominator, 0);
    EXPECT_TRUE(Edit({t}, [](AttributeForm& f) {
        Pick(f, "Type", "\xC2\xA2");
        EXPECT_FALSE(f.control(Id(f, "Lower Number")).enabled);
        return true;
    }));
    EXPECT_EQ(At(t).data.timesig.sign, 2);
    EXPECT_EQ(At(t).data.timesig.numerator, 4);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Attributes, LinePropertiesTimeBarsAndDashLengthsFilesKeep) {
    Open([](Score& s) {
        PlaceLine(s, 1, 100, kTop - 20, LineShape{200, 0, 2, 1, 5, 5});
        PlaceLine(s, 1, 400, kTop - 20, LineShape{100, 0, 3, 1, 6, 6, 10, 1, 6});
    });
    const std::vector<NoteRef> lines = Of(1, kLine);
    EXPECT_TRUE(Edit({lines[0]}, [this](AttributeForm& f) {
        EXPECT_TRUE(f.control(Id(f, "Allow leg change")).value) << "one line";
        f.setText(Id(f, "Segment"), "100", host);
        f.setText(Id(f, "Gap"), "1", host);
        f.press(Id(f, "2nd time bar"), host);
        EXPECT_FALSE(f.control(Id(f, "Segment")).enabled) << "solid";
        EXPECT_TRUE(static_cast<LineDialog&>(f).sample().has_value());
        return true;
    }));
    const LineData& l = At(lines[0]).data.line;
    EXPECT_EQ(l.legEnds, 2);
    EXPECT_EQ(l.legLength, 15);
    EXPECT_EQ(l.legDirection, 1);
    EXPECT_EQ(l.thickness, 1);
    EXPECT_EQ(l.style, 0);
    EXPECT_EQ(l.dashLength, 5) << "a solid line keeps its lengths";
    // Several lines with different legs: legs not ticked, dash "0" keeps each.
    EXPECT_TRUE(Edit(lines, [this](AttributeForm& f) {
        EXPECT_FALSE(f.control(Id(f, "Allow leg change")).value);
        EXPECT_FALSE(static_cast<LineDialog&>(f).sample().has_value()) << "thickness differs";
        Pick(f, "Type", "Dash");
        f.setText(Id(f, "Gap"), "100", host);
        return true;
    }));
    EXPECT_EQ(At(lines[0]).data.line.gapLength, 20);
    EXPECT_EQ(At(lines[1]).data.line.dashLength, 6);
    EXPECT_EQ(At(lines[1]).data.line.legEnds, 6);
    // The legs alone.
    d->mouseMove(At(lines[1]).x + 50, At(lines[1]).y, false);
    dialogs.onForm = [this](AttributeForm& f) {
        EXPECT_EQ(f.title(), MessageText(msg::LineLegsCaption));
        f.press(Id(f, "1st time bar"), host);
        return true;
    };
    if (d->objectSelected()) {
        d->run(Action::LineLegs);
        EXPECT_EQ(At(lines[1]).data.line.legLength, 15);
    }
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Attributes, CurveStyleReachesEveryAnchorAndADamagedChainEnds) {
    Open([](Score& s) {
        PlaceCurve(s, 1, {{100, 80}, {150, 70}, {200, 80}}, 1);
        PlaceCurve(s, 2, {{100, 160}, {150, 150}}, 1);
    });
    const std::vector<NoteRef> anchors = Of(1, kCurve);
    ASSERT_EQ(anchors.size(), 3u);
    EXPECT_TRUE(Edit({anchors[1]}, [](AttributeForm& f) {
        Pick(f, "Line thickness", "4");
        Pick(f, "Dotted", "Yes");
        return true;
    }));
    for (const NoteRef& r : anchors) {
        EXPECT_EQ(At(r).data.curve.thickness, 4);
        EXPECT_EQ(At(r).data.curve.styleBits & 1, 1);
    }
    // Two anchors naming each other both ways: the walk stops.
    const std::vector<NoteRef> loop = Of(2, kCurve);
    At(loop[0]).data.curve.prevAnchor = static_cast<uint8_t>(loop[1].i);
    EXPECT_TRUE(Edit({loop[0]}, [](AttributeForm& f) {
        Pick(f, "Line thickness", "5");
        return true;
    }));
    EXPECT_EQ(At(loop[1]).data.curve.thickness, 5);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Attributes, TextLinesReplaceTheirChainsAndFlagsFollowTheGroups) {
    Open([](Score& s) {
        PlaceText(s, 1, kText, 100, kTop - 30, 1, "first text here");
        PlaceText(s, 1, kText, 400, kTop - 30, 1, "second");
    });
    std::vector<NoteRef> heads;
    for (const NoteRef& r : Of(1, kText))
        if (!(At(r).text().textFlags & kTextContinuation)) heads.push_back(r);
    ASSERT_EQ(heads.size(), 2u);
    const int before = score.stave(1).count();
    EXPECT_TRUE(Edit(heads, [this](AttributeForm& f) {
        EXPECT_EQ(f.control(Id(f, "Text")).text, "first text here\nsecond");
        f.setText(Id(f, "Text"), "short\nsecond grows past ten\nsurplus", host);
        Pick(f, "Boxed", "Yes");
        return true;
    }));
    // The stave was tidied: the heads are found again, in order.
    std::vector<std::string> texts;
    for (const NoteRef& r : Of(1, kText))
        if (!(At(r).text().textFlags & kTextContinuation)) {
            texts.push_back(ChainText(score.stave(1), r.i));
            EXPECT_TRUE(At(r).text().textFlags & kTextBoxed);
        }
    EXPECT_EQ(texts, (std::vector<std::string>{"short", "second grows past ten"}));
    EXPECT_EQ(score.stave(1).count(), before + 1) << "one piece gone, two added";
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Attributes, HairpinAndArpeggioWriteOnlyTheirOwnKind) {
    Open([](Score& s) {
        ScoreObject* h = PlaceObject(s, 1, kHairpin, 100, kTop);
        h->data.hairpin = HairpinData{60, 6, 1};
        PlaceObject(s, 1, kOther, 300, kTop)->data.other = OtherData{3, 0, 0};
    });
    const NoteRef h = Of(1, kHairpin).front(), o = Of(1, kOther).front();
    // A list of two kinds asks which one.
    dialogs.onForm = [this](AttributeForm& f) {
        if (f.title() == MessageText(msg::TypeSelectionCaption)) {
            EXPECT_FALSE(f.control(Id(f, "Notes")).enabled);
            f.press(Id(f, "Hairpins"), host);
            return f.finished();
        }
        Pick(f, "Line thickness", "5");
        return true;
    };
    EXPECT_TRUE(d->editAttributes({h, o}));
    EXPECT_EQ(At(h).data.hairpin.thickness, 5);
    EXPECT_TRUE(Edit({o}, [this](AttributeForm& f) {
        f.setText(Id(f, "Bends"), "500", host);
        Pick(f, "With up arrow", "Yes");
        return true;
    }));
    EXPECT_EQ(At(o).data.other.bends, 99);
    EXPECT_EQ(At(o).data.other.upArrow, 1);
    EXPECT_HOST_CLEAN(host);
}

// --- Notes ---------------------------------------------------------------

TEST_F(Attributes, NoteFieldsWithoutAChoiceStayUnlessChosen) {
    Open([](Score& s) {
        for (int32_t x : {100, 200, 300})
            PlaceNote(s, 1, x, 0, 3, 0)->note().head = 12;
    });
    const std::vector<NoteRef> notes = Of(1, kNote);
    for (const NoteRef& r : notes)
        At(r).note().headSize = 3;  // a size no choice names
    EXPECT_TRUE(Edit(notes, [](AttributeForm& f) {
        EXPECT_EQ(Shown(f, "Head Style"), "");
        EXPECT_EQ(Shown(f, "Size"), "");
        Pick(f, "Dots", "1");
        return true;
    }));
    for (const NoteRef& r : notes) {
        EXPECT_EQ(At(r).note().head, 12);
        EXPECT_EQ(At(r).note().headSize, 3);
        EXPECT_EQ(At(r).note().dots, 1);
    }
    EXPECT_TRUE(Edit({notes[0]}, [this](AttributeForm& f) {
        f.setText(Id(f, "Amount"), "-4", host);
        EXPECT_EQ(Shown(f, "Autoshorten Stems"), "No");
        Pick(f, "Head Style", "Diamond");
        return true;
    }));
    EXPECT_EQ(At(notes[0]).note().lengthIncr, -4);
    EXPECT_EQ(At(notes[0]).note().head, 2);
    EXPECT_EQ(At(notes[0]).note().noShorten, 1);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Attributes, DurationModificationNamesTupletsAndRefusesWhatDoesNotFit) {
    Open([](Score& s) { PlaceNote(s, 1, 100, 0, 4, 0); });
    const NoteRef n = Of(1, kNote).front();
    host.expectMessage("only allows values 1 to 63");
    EXPECT_TRUE(Edit({n}, [this](AttributeForm& f) {
        auto& note = static_cast<NoteAttributesDialog&>(f);
        EXPECT_EQ(note.modificationLabel(), "No &Modification");
        f.setText(Id(f, "Modify note duration"), "3:2", host);
        EXPECT_EQ(note.modificationLabel(), "&Modification: Triplets");
        f.setText(Id(f, "Modify note duration"), "64:1", host);
        EXPECT_EQ(f.control(Id(f, "Modify note duration")).text, "1:1");
        f.press(note.three, host);
        return true;
    }));
    EXPECT_EQ(At(n).note().durMod, 3);
    EXPECT_EQ(At(n).note().durMod2, 2);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Attributes, RestsShowOnlyTheStandardTab) {
    Open([](Score& s) { PlaceNote(s, 1, 100, 0, 4, 0)->note().rest = 1; });
    EXPECT_TRUE(Edit(Of(1, kNote), [](AttributeForm& f) {
        EXPECT_TRUE(f.tabShown(0));
        for (int t = 1; t < 6; ++t)
            EXPECT_FALSE(f.tabShown(t));
        EXPECT_FALSE(f.usable(Id(f, "Tie to previous")));
        EXPECT_FALSE(f.control(Id(f, "Size")).choiceUsable(2)) << "no acciaccatura";
        Pick(f, "Dots", "2");
        return true;
    }));
    EXPECT_EQ(At(Of(1, kNote).front()).note().dots, 2);
}

TEST_F(Attributes, TremoloStemsThatGrowAreToldOnceInThePlural) {
    Open([](Score& s) {
        for (int32_t x : {100, 200, 300})
            PlaceNote(s, 1, x, -2, 3, 0);
    });
    host.expectWarning("stem length of some notes");
    EXPECT_TRUE(Edit(Of(1, kNote), [](AttributeForm& f) {
        Pick(f, "T&remulo", "Single Note");
        Pick(f, "Number o&f beams", "4 (Hemidemisemiquaver)");
        return true;
    }));
    for (const NoteRef& r : Of(1, kNote)) {
        EXPECT_EQ(At(r).note().tremuloBars, 4);
        EXPECT_EQ(At(r).note().lengthIncr, 2);
    }
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Attributes, ABeamedNoteMadeACrotchetLetsGoOfItsBeams) {
    Open([](Score& s) {
        for (int32_t x : {100, 150, 200})
            PlaceNote(s, 1, x, 0, 4, 0);
    });
    std::vector<NoteRef> notes = Of(1, kNote);
    EXPECT_TRUE(Edit(notes, [](AttributeForm& f) {
        Pick(f, "Beam together", "Beam back/together");
        return true;
    }));
    EXPECT_EQ(At(notes[1]).note().beamBackTo, notes[0].i);
    EXPECT_EQ(At(notes[1]).note().beamOnTo, notes[2].i);
    EXPECT_TRUE(Edit({notes[1]}, [](AttributeForm& f) {
        Pick(f, "Duration", "Crotchet");
        return true;
    }));
    EXPECT_EQ(At(notes[1]).note().beamBackTo, 0);
    EXPECT_EQ(At(notes[0]).note().beamOnTo, 0);
    EXPECT_EQ(At(notes[2]).note().beamBackTo, 0);
}

TEST_F(Attributes, TiesReachThePreviousSystemAndUndoAsOneStep) {
    Open([](Score& s) {
        PlaceNote(s, 1, 300, 2, 3, 0);
        PlaceNote(s, 2, 100, 2, 3, 0);
    });
    ASSERT_NE(SystemBounds(score, 2).first, SystemBounds(score, 1).first);
    const NoteRef later = Of(2, kNote).front(), earlier = Of(1, kNote).front();
    EXPECT_TRUE(Edit({later}, [](AttributeForm& f) {
        Pick(f, "Tie to previous", "Overhand");
        return true;
    }));
    EXPECT_EQ(At(later).note().tieLeft, 255);
    EXPECT_EQ(At(later).note().tieOver, 1);
    EXPECT_EQ(At(earlier).note().tieRight, 255);
    host.setPermissive(true);
    d->undo();
    EXPECT_EQ(At(later).note().tieLeft, 0);
    EXPECT_EQ(At(earlier).note().tieRight, 0) << "the record covered the previous system";
}

TEST_F(Attributes, BeamTremoloFindsThePartnerFromEitherNote) {
    Open([](Score& s) {
        PlaceNote(s, 1, 100, 0, 3, 0);
        PlaceNote(s, 1, 200, 2, 3, 0);
        PlaceNote(s, 1, 300, 0, 3, 0);
    });
    const std::vector<NoteRef> n = Of(1, kNote);
    // A note alone without a partner has no beam tremolo to set.
    EXPECT_FALSE(Edit({n[0]}, [](AttributeForm& f) {
        EXPECT_FALSE(f.usable(Id(f, "Tremulo")));
        return true;
    }));
    EXPECT_TRUE(Edit({n[0], n[1]}, [](AttributeForm& f) {
        EXPECT_TRUE(f.usable(Id(f, "Tremulo")));
        Pick(f, "Tremulo", "Beam tremulo");
        Pick(f, "Number of beams", "2 (Semiquaver)");
        return true;
    }));
    EXPECT_EQ(At(n[0]).note().beamOnTo, n[1].i);
    EXPECT_EQ(At(n[1]).note().beamBackTo, n[0].i);
    EXPECT_EQ(At(n[0]).note().beamStem1, 0) << "the mark is on the second note";
    EXPECT_EQ(At(n[1]).note().beamStem1, 1);
    EXPECT_EQ(At(n[1]).note().tremuloBars, 2);
    // The first note, which carries no mark, still finds its partner.
    EXPECT_TRUE(Edit({n[0]}, [](AttributeForm& f) {
        EXPECT_TRUE(f.usable(Id(f, "Tremulo")));
        EXPECT_EQ(Shown(f, "Tremulo"), "Beam tremulo");
        EXPECT_EQ(Shown(f, "Number of beams"), "2 (Semiquaver)");
        Pick(f, "Number of beams", "3 (Demisemiquaver)");
        return true;
    }));
    EXPECT_EQ(At(n[1]).note().tremuloBars, 3);
    EXPECT_EQ(At(n[0]).note().tremuloBars, 0);
    // The next note is not its partner, so a pair that crosses one is refused.
    EXPECT_FALSE(Edit({n[1], n[2]}, [](AttributeForm& f) {
        EXPECT_FALSE(f.usable(Id(f, "Tremulo")));
        return true;
    }));
    // "No" from the second note: crotchets lose the beam as the tremolo tool does.
    EXPECT_TRUE(Edit({n[1]}, [](AttributeForm& f) {
        Pick(f, "Tremulo", "No");
        Pick(f, "T&remulo", "Single Note");
        Pick(f, "Number o&f beams", "1 (Quaver)");
        return true;
    }));
    EXPECT_EQ(At(n[0]).note().beamOnTo, 0);
    EXPECT_EQ(At(n[1]).note().beamBackTo, 0);
    EXPECT_EQ(At(n[1]).note().beamStem1, 0);
    EXPECT_EQ(At(n[1]).note().beamStem2, 1) << "the single-note tremolo chosen with it stays";
    EXPECT_EQ(At(n[1]).note().tremuloBars, 1);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Attributes, BeamAngleReachesEveryGroupOfTheListedNotes) {
    Open([](Score& s) {
        for (int32_t x : {100, 150, 300, 350})
            PlaceNote(s, 1, x, 0, 4, 0);
        PlaceNote(s, 1, 150, 0, 4, 0);  // on top of the second
    });
    auto byX = [this](int32_t x) {
        for (const NoteRef& r : Of(1, kNote))
            if (At(r).x == x) return r;
        return NoteRef{};
    };
    const std::vector<NoteRef> all = Of(1, kNote);
    ASSERT_EQ(all.size(), 5u);
    // Two groups, beamed one at a time.
    for (int32_t x : {150, 350})
        EXPECT_TRUE(Edit({byX(x)}, [](AttributeForm& f) {
            Pick(f, "Beam to previous", "Beam back/together");
            return true;
        }));
    ASSERT_NE(At(byX(100)).note().beamOnTo, 0);
    ASSERT_NE(At(byX(300)).note().beamOnTo, 0);
    // The notes on top of each other stop the beaming, not the angle.
    host.expectMessage("Duplicate notes");
    EXPECT_TRUE(Edit(all, [](AttributeForm& f) {
        Pick(f, "Beam together", "Beam back/together");
        Pick(f, "Angle of beam", "Force Flat");
        return true;
    }));
    int flat = 0;
    for (const NoteRef& r : Of(1, kNote))
        if (At(r).note().beamBackTo || At(r).note().beamOnTo) {
            EXPECT_EQ(At(r).note().flatBeam, 1) << At(r).x;
            EXPECT_TRUE(At(r).note().beamBackTo == 0 || At(r).x != 300)
                << "not beamed across the groups";
            ++flat;
        }
    EXPECT_EQ(flat, 4);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Attributes, DifferingRatiosReadVariousUntilModifyAsksForOne) {
    Open([](Score& s) {
        ScoreObject* n = PlaceNote(s, 1, 100, 0, 4, 0);
        n->note().durMod = 3;
        n->note().durMod2 = 2;
        PlaceNote(s, 1, 200, 0, 4, 0);
    });
    const std::vector<NoteRef> n = Of(1, kNote);
    const auto ratio = [](const AttributeForm& f) {
        return f.control(Id(f, "Modify note duration")).text;
    };
    // Ticked and unticked again: each keeps its own.
    EXPECT_FALSE(Edit(n, [&](AttributeForm& f) {
        EXPECT_EQ(ratio(f), "Various");
        f.setCheck(Id(f, "Modify"), true);
        EXPECT_EQ(ratio(f), "");
        f.setCheck(Id(f, "Modify"), false);
        EXPECT_EQ(ratio(f), "Various");
        return true;
    }));
    EXPECT_EQ(At(n[0]).note().durMod, 3);
    // Ticked with nothing typed: OK asks for a ratio and shows 1:1.
    host.expectMessage("only allows values 1 to 63");
    EXPECT_TRUE(Edit(n, [&](AttributeForm& f) {
        f.setCheck(Id(f, "Modify"), true);
        EXPECT_FALSE(f.accept(host));
        EXPECT_EQ(ratio(f), "1:1");
        EXPECT_TRUE(f.accept(host));
        return true;
    }));
    for (const NoteRef& r : n)
        EXPECT_EQ(At(r).note().durMod * 100 + At(r).note().durMod2, 101);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Attributes, TheTextMenuTakesAFavouriteFromTheRadioList) {
    Open([](Score& s) { PlaceText(s, 1, kText, 100, kTop - 30, 1, "Allegro"); });
    const NoteRef text = Of(1, kText).front();
    std::string menu;
    dialogs.onPopup = [&](const MenuModel& m) -> std::optional<int> {
        menu = m.name;
        for (std::size_t i = 0; i < m.items.size(); ++i)
            if (m.items[i].caption == "Choose from favourite fonts") return static_cast<int>(i);
        return std::nullopt;
    };
    std::vector<std::string> items;
    dialogs.onForm = [&](AttributeForm& f) {
        items = f.control(0).choices;
        Pick(f, "Click a font to select", "Lyrics");
        EXPECT_TRUE(f.finished()) << "a click closes the list";
        return true;
    };
    d->popupMenu(At(text).x + 2, At(text).y + 2);
    ASSERT_EQ(menu, "pumtext");
    ASSERT_EQ(items.size(), 16u);
    EXPECT_EQ(items[0], "Title");
    const FontDesc& font = score.fonts[At(text).text().fontNumber];
    EXPECT_EQ(font.name, "Times New Roman");
    EXPECT_EQ(font.size, 12);
    EXPECT_TRUE(undo.canUndo());
    // OK with nothing chosen, like Cancel, changes nothing.
    const int before = At(text).text().fontNumber;
    dialogs.onForm = [](AttributeForm&) { return true; };
    d->popupMenu(At(text).x + 2, At(text).y + 2);
    EXPECT_EQ(At(text).text().fontNumber, before);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Attributes, QuestionMarkOpensTheDialogOfTheObjectInHand) {
    Open([](Score&) {});
    d->key("C");
    ASSERT_NE(d->pendingObject(), nullptr);
    dialogs.onForm = [](AttributeForm& f) {
        EXPECT_EQ(f.title(), MessageText(msg::NoteAttributesTitle));
        Pick(f, "Dots", "2");
        return true;
    };
    d->key("?");
    EXPECT_EQ(d->pendingObject()->note().dots, 2);
    EXPECT_FALSE(undo.canUndo());
}

}  // namespace
}  // namespace sw
