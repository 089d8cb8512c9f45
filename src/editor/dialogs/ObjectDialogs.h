// The attribute dialogs of the object kinds: each opens on the listed
// objects (the first one's values, "No change" where they differ), keeps its
// rules while open and writes the chosen fields into every listed object of
// its kind on OK. Links to other objects (curve anchors, ties, beams, text
// chains) are written by `applyInScore`, which only runs for objects in the
// score, never for the object in hand.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/dialogs/AttributeForm.h"
#include "layout/Beams.h"
#include "model/Score.h"

namespace sw {

class Host;

// What a dialog may look at besides the objects it opens on.
struct DialogContext {
    const Score* score = nullptr;  // null for the object in hand alone
    std::vector<NoteRef> refs;     // the listed objects' places in it
    bool american = false;         // note value names
};

// What OK did beyond the listed objects, for the caller to lay out and tell.
struct ApplyReport {
    std::vector<NoteRef> touched;  // objects outside the list that changed
    int stemsRaised = 0;           // notes whose stems grew to fit beams and tremolos
};

class ObjectDialog : public AttributeForm {
  public:
    virtual bool takes(int kind) const = 0;
    // Writes the chosen fields into one object of the dialog's kind.
    virtual void applyTo(ScoreObject& o) const = 0;
    // The links and chains OK changes, after every listed object is written.
    // False (nothing changed at all) when OK must be withdrawn.
    virtual bool applyInScore(Score& /*score*/, const std::vector<NoteRef>& /*list*/,
                              Host& /*host*/, ApplyReport& /*report*/) {
        return true;
    }
    // Whether OK may change the previous system's staves (ties and slurs
    // from it), so the edit records them too.
    virtual bool reachesPreviousSystem() const { return false; }
};

// The dialog for the kind of the first object; null for kinds without one.
std::unique_ptr<ObjectDialog> MakeObjectDialog(const std::vector<const ScoreObject*>& objects,
                                               const DialogContext& context);

class ClefAttributesDialog : public ObjectDialog {
  public:
    explicit ClefAttributesDialog(const std::vector<const ScoreObject*>& objects);
    bool takes(int kind) const override { return kind == kClef; }
    void applyTo(ScoreObject& o) const override;
    int type, size, octave;
};

class KeySignatureDialog : public ObjectDialog {
  public:
    explicit KeySignatureDialog(const std::vector<const ScoreObject*>& objects);
    bool takes(int kind) const override { return kind == kKeysig; }
    void applyTo(ScoreObject& o) const override;
    bool accept(Host& host) override;
    // The key's name, or empty while no value is chosen.
    const std::string& keyName() const { return control(name).text; }
    int type, number, name, naturals;

  protected:
    void changed(int id, Host* host) override;
};

class TimeSignatureDialog : public ObjectDialog {
  public:
    enum Type { Numbered, Common, Cut, Single };
    static constexpr int kOther = 5;
    explicit TimeSignatureDialog(const std::vector<const ScoreObject*>& objects);
    bool takes(int kind) const override { return kind == kTimesig; }
    void applyTo(ScoreObject& o) const override;
    int upperValue() const { return upper_; }
    int lowerValue() const { return lower_; }
    int type, upper, lower, quick;

  protected:
    bool boxText(int id, const std::string& text, Host& host) override;
    void changed(int id, Host* host) override;

  private:
    void show();
    int upper_ = 4, lower_ = 4;
};

class AccidentalAttributesDialog : public ObjectDialog {
  public:
    explicit AccidentalAttributesDialog(const std::vector<const ScoreObject*>& objects);
    bool takes(int kind) const override { return kind == kAccidental; }
    void applyTo(ScoreObject& o) const override;
    int type, size, courtesy;
};

class HairpinAttributesDialog : public ObjectDialog {
  public:
    explicit HairpinAttributesDialog(const std::vector<const ScoreObject*>& objects);
    bool takes(int kind) const override { return kind == kHairpin; }
    void applyTo(ScoreObject& o) const override;
    int thickness;
};

class CurveAttributesDialog : public ObjectDialog {
  public:
    explicit CurveAttributesDialog(const std::vector<const ScoreObject*>& objects);
    bool takes(int kind) const override { return kind == kCurve; }
    void applyTo(ScoreObject& o) const override;
    bool applyInScore(Score& score, const std::vector<NoteRef>& list, Host& host,
                      ApplyReport& report) override;
    int thickness, dotted, editorial;
};

class ArpeggioAttributesDialog : public ObjectDialog {
  public:
    explicit ArpeggioAttributesDialog(const std::vector<const ScoreObject*>& objects);
    bool takes(int kind) const override { return kind == kOther; }
    void applyTo(ScoreObject& o) const override;
    int bends, up, down;

  protected:
    bool boxText(int id, const std::string& text, Host& host) override;

  private:
    int bends_ = 1;
};

// The legs of a line: shared by "Line Properties" and "Line Legs Dialog".
struct LegControls {
    int direction, ends, length, first, second;
};

class LineDialog : public ObjectDialog {
  public:
    // The whole "Line Properties", or the legs alone.
    LineDialog(const std::vector<const ScoreObject*>& objects, bool legsOnly);
    bool takes(int kind) const override { return kind == kLine; }
    void applyTo(ScoreObject& o) const override;
    // The line the preview shows, nothing while thickness or type is "No change".
    std::optional<ScoreObject> sample() const;
    int thickness = -1, type = -1, segment = -1, gap = -1, allowLegs = -1, tuplets = -1;
    LegControls legs;

  protected:
    bool boxText(int id, const std::string& text, Host& host) override;
    void changed(int id, Host* host) override;
    void pressed(int id, Host& host) override;

  private:
    void timeBar(bool both, bool withGap);
    bool legsOnly_;
    int segment_ = 0, gap_ = 0, length_ = 10;
    ScoreObject first_;
};

class TextAttributesDialog : public ObjectDialog {
  public:
    TextAttributesDialog(const std::vector<const ScoreObject*>& objects,
                         const DialogContext& context);
    bool takes(int kind) const override { return IsTextLike(kind); }
    void applyTo(ScoreObject& o) const override;
    bool applyInScore(Score& score, const std::vector<NoteRef>& list, Host& host,
                      ApplyReport& report) override;
    // "Change &Font" asks the window's font chooser through this.
    std::function<bool(FontDesc&)> chooseFont;
    const FontDesc& font() const { return font_; }
    int text, transposable, immobile, boxed, global, changeFont, alterFont;

  protected:
    void pressed(int id, Host& host) override;

  private:
    FontDesc font_;
};

class NoteAttributesDialog : public ObjectDialog {
  public:
    NoteAttributesDialog(const std::vector<const ScoreObject*>& objects,
                         const DialogContext& context);
    bool takes(int kind) const override { return kind == kNote; }
    void applyTo(ScoreObject& o) const override;
    bool applyInScore(Score& score, const std::vector<NoteRef>& list, Host& host,
                      ApplyReport& report) override;
    bool reachesPreviousSystem() const override { return true; }
    bool accept(Host& host) override;
    // The label of the duration modification.
    const std::string& modificationLabel() const { return control(modLabel).text; }
    int duration, stem, dots, tie, slur, modify, ratio, modLabel, three, size;
    int principal, angle, beams, emphasis, staccato, amount, amountSame, autoshorten, head;
    int beamTremolo, beamCount, singleTremolo, singleCount;

  protected:
    bool boxText(int id, const std::string& text, Host& host) override;
    void changed(int id, Host* host) override;
    void pressed(int id, Host& host) override;

  private:
    void showRatio();
    void rules();
    // The value the rules go by: the chosen one, else the shortest listed.
    int valueNow() const;
    void linkBack(Score& score, const NoteRef& r, bool slurLink, bool over,
                  ApplyReport& report) const;
    void unlinkTie(Score& score, const NoteRef& r, ApplyReport& report) const;
    // The single-note tremolo choices, or clearing every tremolo field.
    void applyTremolo(NoteData& n) const;
    void tremoloPairInScore(Score& score, ApplyReport& report) const;
    std::vector<NoteData> notes_;
    // The two notes a beam tremolo joins: the listed pair, or one listed note
    // and its partner.
    std::optional<std::pair<NoteRef, NoteRef>> pair_;
    bool allRests_ = true, beamable_ = false, tremoloPair_ = false, principalOk_ = false;
    bool several_ = false;
    int durMod_ = 1, durMod2_ = 1;
    bool variousRatio_ = false;
    int amount_ = 0;
};

// "Object type selection": which of the selected kinds to edit.
class ObjectTypeSelection : public AttributeForm {
  public:
    static constexpr int kKinds[] = {kNote, kAccidental, kClef,  kKeysig,
                                     kLine, kHairpin,    kCurve, kText};
    // The kinds present in the selection enable their buttons.
    explicit ObjectTypeSelection(const std::vector<int>& kindsPresent);
    // The kind a button closed it with.
    std::optional<int> chosenKind() const { return chosen_; }
    bool finished() const override { return chosen_.has_value(); }

  protected:
    void pressed(int id, Host& host) override;

  private:
    int firstButton_ = 0;
    std::optional<int> chosen_;
};

// The generic chooser: a radio list its caller prepares. A click on an item
// closes it with 1000 + the item's index; Cancel, or OK with nothing chosen,
// closes it with none.
class RadioListChooser : public AttributeForm {
  public:
    static constexpr int kResultBase = 1000;
    RadioListChooser(std::string title, const std::string& group, std::vector<std::string> items);
    std::optional<int> result() const;
    bool finished() const override { return result().has_value(); }

  private:
    int list_;
};

}  // namespace sw
