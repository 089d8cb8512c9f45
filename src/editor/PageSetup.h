// Page setup: the page setup dialog's model, the largest page a printer
// takes, what happens to the staves when the usable width or the stave size
// changes, the stave size dialog, the header/footer chooser and the favourite
// fonts window.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/MainLogic.h"
#include "layout/PrinterCaps.h"
#include "model/Score.h"

namespace sw {

class Host;
class WarningBox;
class UndoRing;
struct UndoDocument;

// Turns the printer to an orientation and reads what it can do; false when
// the printer cannot say. An empty reader means no printer is installed:
// printing then makes PDF files, which take any paper to its edges.
using CapacityReader = std::function<bool(bool landscape, PrinterCaps& caps)>;
// Makes the page picture again after a change; false when it cannot be made
// (the user has been told why).
using PictureSetUp = std::function<bool()>;

// The paper and margins of the printer's largest page in the page's
// orientation. False (page untouched) when the printer cannot say. Without
// a printer the largest page is the chosen paper, all of it printable.
bool UseLargestPage(PageData& page, const CapacityReader& read);

// Page width less the side margins and gutter; page length less the top and
// bottom margins, header and footer.
double UsableWidth(const PageData& p);
double UsableHeight(const PageData& p);

struct StandardSize {
    const char* caption;
    double width, length;  // portrait, inches
};
inline constexpr std::array<StandardSize, 7> kStandardSizes{{{"A&3", 11.69, 16.53},
                                                             {"A&4", 8.26, 11.69},
                                                             {"A&5", 5.84, 8.26},
                                                             {"A&6", 4.13, 5.84},
                                                             {"&US Letter", 8.5, 11.0},
                                                             {"US Leg&al", 8.25, 14.0},
                                                             {"US E&xecutive", 7.25, 10.5}}};
inline constexpr int kCustomSize = 7;

// The page setup dialog on a working copy of the page data.
class PaperDialogModel {
  public:
    enum Box { Width, Length, Top, Right, Bottom, Left, Gutter, Header, Footer, BoxCount };

    // The margin warnings go through `warnings`, which may silence them.
    PaperDialogModel(const PageData& page, bool metric, WarningBox& warnings);

    const PageData& page() const { return page_; }
    bool metric() const { return metric_; }
    std::string boxText(Box box) const;
    // "Width " and "Height " with the printable area in the current unit.
    std::string printableWidthText() const;
    std::string printableHeightText() const;
    int standardSize() const;  // 0..6, or kCustomSize
    // Every value is at least 0 and the music keeps some width and height.
    bool valid() const;

    // The user leaves a box: a value that is not a number (or is negative)
    // is reported and the stored one stays.
    void editBox(Box box, const std::string& text, Host& host);
    void setMetric(bool metric);
    void setFacing(bool facing) { page_.Facing = facing; }
    void setLandscape(bool landscape, Host& host);
    void chooseStandardSize(int item, Host& host);
    void useLargest(const CapacityReader& read, Host& host);
    // The dialog opens: what is wrong with the page is said at once.
    void open(Host& host) const { refresh(host); }
    // OK: true when the dialog may close with page() as the result.
    bool accept(const CapacityReader& read, Host& host);

  private:
    double value(Box box) const;
    std::string inUnit(double inches) const;
    // Shows what is wrong with the margins.
    void refresh(Host& host) const;
    // The warnings for what is wrong with the margins; none for a valid page.
    std::vector<int> marginProblems() const;

    PageData page_;
    WarningBox& warnings_;
    bool metric_;
};

// The boxes of the page setup dialog in the order they are shown, with
// their captions.
struct PaperBoxCaption {
    PaperDialogModel::Box box;
    const char* caption;
};
inline constexpr std::array<PaperBoxCaption, PaperDialogModel::BoxCount> kPaperBoxes{{
    {PaperDialogModel::Width, "Page &width"},
    {PaperDialogModel::Length, "Page &length"},
    {PaperDialogModel::Top, "&Top margin"},
    {PaperDialogModel::Bottom, "&Bottom margin"},
    {PaperDialogModel::Left, "Le&ft margin"},
    {PaperDialogModel::Right, "&Right margin"},
    {PaperDialogModel::Gutter, "&Gutter"},
    {PaperDialogModel::Header, "&Header"},
    {PaperDialogModel::Footer, "Foo&ter"},
}};

// "3-5,9": stave numbers (ascending) as runs.
std::string StaveRuns(const std::vector<int>& staves);

// The staves follow a change of the usable width from `oldWidth` to
// `newWidth` page pixels: wider staves (asked, optionally spreading their
// objects), or narrower ones when no object would fall off the edge. On
// Abort, on refusal, or when the page picture cannot be made, the staves are
// as before and `restore` puts the caller's old values back.
enum class WidthChange { Done, Unchanged, Abandoned };
WidthChange ApplyPageWidthChange(Score& score, int newWidth, int oldWidth, Host& host,
                                 WarningBox& warnings, const std::function<void()>& restore,
                                 const PictureSetUp& setUpPicture);

// The new page data `edited` applied to the score: marks the document
// modified when the page changed, follows the width change, and deletes the
// header or footer texts when that area was taken away. The caller has
// recorded what may change. False when nothing changed (the same page, or
// the change was abandoned and the old values are back).
bool ApplyPageLayout(UndoDocument& doc, const PageData& edited, Host& host, WarningBox& warnings,
                     const PictureSetUp& setUpPicture);

// The texts the header (or footer) area would lose with `edited`.
int TextsLostWithArea(const Score& score, const PageData& edited, bool header);

// The usable width of a page in page pixels at a stave size.
int UsablePixelsFor(const PageData& page, double staveSize);

// The largest stave size that keeps every object of the score on the page.
double LargestStaveSize(const Score& score);

// Set Stave Size's dialog.
class StaveSizeDialogModel {
  public:
    StaveSizeDialogModel(double current, bool metric);
    std::string label() const;
    std::string boxText() const { return box_; }
    void setBoxText(std::string text) { box_ = std::move(text); }
    void largestPossible(const Score& score);
    // OK: the new size in inches, or nothing (after telling the user) when
    // the box holds no number or a size out of range; the dialog stays open.
    std::optional<double> accept(Host& host) const;

  private:
    bool metric_;
    std::string box_;
};

// A typed stave size: a number or a fraction "a/b", in inches or millimetres;
// nothing for text that is neither.
std::optional<double> ParseStaveSize(const std::string& text, bool metric);

// After the stave size changed from `oldSize` to score.staveSize: staves follow
// the new usable width; the old size comes back on Abort, on refusal and when
// the page picture cannot be made. True when the new size stays.
bool ApplyStaveSizeChange(UndoDocument& doc, double oldSize, Host& host, WarningBox& warnings,
                          const PictureSetUp& setUpPicture);

// The header/footer chooser.
struct HeaderFooterChooser {
    enum Choice { None, HeaderArea, FooterArea };
    bool headerEnabled = false, footerEnabled = false;
    Choice chosen = None;
    std::string headerText, footerText;
    bool okEnabled() const { return chosen != None; }
};
// Builds the chooser; tells the user when neither area is tall enough.
HeaderFooterChooser OpenHeaderFooterChooser(const PageData& page, bool metric, Host& host);

}  // namespace sw
