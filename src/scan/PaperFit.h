// Fitting a recognised page to the user's paper: the width it needs against
// the portrait and landscape widths, and the dialog (TLayoutconfirm4) that
// asks how to make it fit when portrait is too narrow.
#pragma once

#include <functional>
#include <string>

namespace sw {

// The user's default page, in thousandths of an inch.
struct PaperDefaults {
    int width = 8270, length = 11690;
    int left = 500, right = 500, top = 500, bottom = 500;
};

struct PaperChoice {
    bool landscape = false;
    int staveSize = 0;  // thousandths of an inch
};

class PaperFitDialogModel {
  public:
    enum class Situation { Fits, LandscapeFits, NeitherFits };
    // What the buttons return; Escape counts as the other button.
    static constexpr int kDefaultButton = 1, kOtherButton = 900;

    // `needed` (N), the portrait usable width P and the landscape one Q, all
    // thousandths; `staveSize` the size the page was scanned at.
    PaperFitDialogModel(long long needed, const PaperDefaults& paper, int staveSize);

    Situation situation() const { return situation_; }
    bool asks() const { return situation_ != Situation::Fits; }
    long long portraitWidth() const { return portrait_; }
    long long landscapeWidth() const { return landscape_; }

    std::string caption() const;
    std::string firstLabel() const;
    std::string secondLabel() const;
    std::string defaultButtonText() const;
    std::string otherButtonText() const;

    // The orientation and stave size a button gives (anything but the
    // default button is the other one).
    PaperChoice choose(int button) const;

  private:
    long long needed_, portrait_, landscape_;
    int staveSize_;
    Situation situation_;
};

// Asks the user; returns the button pressed. An empty asker takes the default.
using PaperFitAsker = std::function<int(const PaperFitDialogModel&)>;

}  // namespace sw
