// "Transpose..." driven through the controller and its dialog's model: the
// list and box in step, the refusals and warnings with their texts, one
// Undo step for the whole change, and no record when it is refused.
#include <gtest/gtest.h>

#include <sstream>

#include "core/ScriptedHost.h"
#include "core/WarningBox.h"
#include "editor/DocumentController.h"
#include "editor/HeadlessView.h"
#include "editor/TransposeDialog.h"
#include "editor/UndoStorage.h"
#include "fileio/ScoreFile.h"
#include "layout/GlyphTable.h"
#include "layout/PageGeometry.h"
#include "model/Build.h"
#include "support/FakeDocument.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

class TransposeCommand : public ::testing::Test {
  protected:
    // Two systems of two staves in G major, each with a bar of notes; with
    // `early`, stave 4 has a note before its key signature.
    void Open(bool early = false) {
        Score s;
        const int w = ComputePageGeometry(s).width;
        for (int k = 0; k < 2; ++k) {
            const int top = AppendStave(s, 80 + 180 * k, 20, w - 5);
            AppendStave(s, 160 + 180 * k, 20, w - 5);
            s.stave(top).h.joinToNext = true;
            for (int t : {top, top + 1}) {
                if (early && t == 4) PlaceNote(s, t, 25, 0, 3);
                PlaceObject(s, t, kClef, 30, s.stave(t).h.Ycoord, glyph::GCLEF);
                PlaceObject(s, t, kKeysig, 52, s.stave(t).h.Ycoord)->data.keysig.key = 1;
                for (int beat = 0; beat < 3; ++beat)
                    PlaceNote(s, t, 100 + 40 * beat, beat - 1, 3);
            }
            PlaceObject(s, top, kBarline, 300, s.stave(top).h.Ycoord, glyph::BARLINE);
        }
        const std::string path = dir.file("xpose.swn");
        ASSERT_EQ(SaveScore(s, path, 0, s.Nstaves, false, false, host), SaveResult::Saved);
        settings.level = 3;
        warnings.setUserLevel(3);
        d = std::make_unique<DocumentController>(score, settings, host, warnings, undo, view,
                                                 services, dialogs, measurer);
        ASSERT_TRUE(d->start(DocumentController::Start::File, path, path, false));
        d->setCurrentStave(1);
    }
    std::string Fingerprint() const {
        std::ostringstream out;
        for (int s = 1; s <= score.Nstaves; ++s)
            for (int i = 1; i <= score.stave(s).h.Nobjec; ++i) {
                const ScoreObject& o = score.object(s, i);
                out << int(o.kind) << ':' << o.x << ',' << o.y << ',' << int(o.data.raw[0]) << ','
                    << int(o.data.raw[1]) << ' ';
            }
        return out.str();
    }
    int Key(int s) const {
        for (int i = 1; i <= score.stave(s).h.Nobjec; ++i)
            if (score.object(s, i).kind == kKeysig) return score.object(s, i).data.keysig.key;
        return 99;
    }
    // The dialog answered by `choose`, then "Do it!".
    void Dialog(std::function<void(TransposeDialogModel&)> choose) {
        dialogs.onTranspose = [this, choose](TransposeDialogModel& m) {
            choose(m);
            return m.doIt(host, warnings);
        };
    }

    test::TempDir dir;
    Score score;
    EditorSettings settings;
    ScriptedHost host;
    WarningBox warnings;
    UndoRing undo{std::make_unique<MemoryUndoStorage>()};
    HeadlessView view;
    test::FakeServices services;
    test::FakeDialogs dialogs;
    test::FixedMeasurer measurer;
    std::unique_ptr<DocumentController> d;
};

TEST_F(TransposeCommand, TheDialogKeepsListAndBoxInStepAndSaysWhatItWillDo) {
    Open();
    TransposeDialogModel m(score);
    EXPECT_EQ(m.interval(), 12);  // "Unison"
    m.chooseInterval(1);
    EXPECT_EQ(m.distance(), 11);
    EXPECT_TRUE(m.setDistanceText("-2"));
    EXPECT_EQ(std::string(TransposeDialogModel::kIntervals[static_cast<std::size_t>(m.interval())]),
              "Major 2nd down (1 tone)");
    EXPECT_TRUE(m.setDistance(20));
    EXPECT_EQ(m.interval(), -1);
    EXPECT_FALSE(m.setDistanceText("25"));
    EXPECT_FALSE(m.setDistanceText("1.5"));
    EXPECT_EQ(m.distance(), 20);

    // Nothing to do is refused and the dialog stays.
    m.setDistance(0);
    host.expectMessage("Aw, c'mon! I positively refuse");
    EXPECT_FALSE(m.doIt(host, warnings));
    // A clef for every stave is confirmed in the warning box first.
    m.chooseExtent(TransposeExtent::Score, host);
    host.expectWarning("Are you SURE you want to change ALL clefs on these staves?");
    m.chooseClef(1, host, warnings);
    EXPECT_EQ(m.clef(), 1);
    m.setDistance(-1);
    EXPECT_EQ(m.confirmation(),
              "You have chosen:\n\nTranspose the whole score by 1 semitone down\n\n  all clef(s) "
              "changed to Bass (F)\n\nwithout automatic stem adjustments");
    m.adjustStems = true;
    host.expectMessage("You have chosen:", Answer::OK);
    host.expectWarning("You have chosen to re-align stems.", Answer::Cancel);
    EXPECT_FALSE(m.doIt(host, warnings));
    EXPECT_HOST_CLEAN(host);
}

TEST_F(TransposeCommand, AToneUpOverTheScoreIsOneUndoStep) {
    Open();
    const std::string before = Fingerprint();
    Dialog([this](TransposeDialogModel& m) {
        m.chooseInterval(10);  // "Major 2nd up (1 tone)"
        m.chooseExtent(TransposeExtent::Score, host);
    });
    host.expectMessage("Transpose the whole score by 2 semitones up", Answer::OK);
    ASSERT_TRUE(d->run(Action::Transpose));
    for (int s = 1; s <= 4; ++s)
        EXPECT_EQ(Key(s), 3) << s;  // G major to A major
    EXPECT_TRUE(d->modified());
    d->run(Action::Undo);
    EXPECT_EQ(Fingerprint(), before);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(TransposeCommand, OneStaveInEverySystemWithAClefChange) {
    Open();
    d->setCurrentStave(2);
    Dialog([this](TransposeDialogModel& m) {
        m.chooseExtent(TransposeExtent::EverySystem, host);
        m.chooseClefItem(2, host, warnings);
    });
    host.expectWarning("Are you SURE");
    host.expectMessage("one stave in each system by 0 semitones", Answer::OK);
    ASSERT_TRUE(d->run(Action::Transpose));
    EXPECT_EQ(score.object(2, 1).data.clef.type, 1);
    EXPECT_EQ(score.object(4, 1).data.clef.type, 1);
    EXPECT_EQ(score.object(3, 1).data.clef.type, 0);
    EXPECT_EQ(Key(2), 1);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(TransposeCommand, ARefusalLeavesNoRecordAndTheScoreUnmodified) {
    Open(true);
    const std::string before = Fingerprint();
    Dialog([this](TransposeDialogModel& m) {
        m.setDistance(1);
        m.chooseExtent(TransposeExtent::Score, host);
    });
    host.expectMessage("You have chosen:", Answer::OK);
    host.expectMessage("Stave number(s) 4 have notes or accidentals appearing before");
    d->run(Action::Transpose);
    EXPECT_EQ(Fingerprint(), before);
    EXPECT_FALSE(d->modified());
    EXPECT_FALSE(undo.canUndo());
    // Cancelled at the confirmation, the dialog stays open and Cancel closes it.
    dialogs.onTranspose = [this](TransposeDialogModel& m) {
        m.setDistance(1);
        host.expectMessage("You have chosen:", Answer::Cancel);
        EXPECT_FALSE(m.doIt(host, warnings));
        return false;
    };
    d->run(Action::Transpose);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
