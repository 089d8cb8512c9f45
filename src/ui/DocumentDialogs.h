// The dialogs a document's commands open, as Qt windows over the models the
// controller makes.
#pragma once

#include <QWidget>
#include <memory>

#include "app/Settings.h"
#include "editor/DocumentController.h"

namespace sw {

class GlyphStore;
class Host;
class TOptionForm2;

class QtDocumentDialogs : public DocumentDialogs {
  public:
    // `settings` are the main window's, read when a dialog opens.
    QtDocumentDialogs(QWidget* parent, const Settings& settings, Host& host, WarningBox& warnings,
                      const GlyphStore& glyphs);
    ~QtDocumentDialogs() override;

    HeaderFooterChooser::Choice chooseHeaderFooter(const HeaderFooterChooser& c) override;
    bool chooseSymbol(SymbolPaletteModel& model) override;
    bool chooseShape(ShapePaletteModel& model) override;
    bool chooseFont(FontDesc& font) override;
    std::optional<FontDesc> selectFavourite() override;
    bool pageSetup(PageData& page, bool& metric) override;
    std::optional<double> staveSize(StaveSizeDialogModel& model, const Score& score) override;
    bool noteAlignment(NoteAlignmentModel& model) override;
    bool tremoloBeams(TremoloBeamsModel& model) override;
    bool verticalSpacing(VerticalSpacingModel& model) override;
    bool barMaintenance(BarMaintenanceModel& model) override;
    std::optional<int> popup(const MenuModel& menu) override;
    bool showForm(AttributeForm& form) override;
    bool neatenStaves(NeatenDialogModel& model) override;
    bool transpose(TransposeDialogModel& model) override;
    bool scottishPipes(PipesDialogModel& model) override;
    bool randomTune(RandomTuneDialogModel& model) override;
    std::optional<int> chooseInstrument(int current) override;
    std::optional<int> chooseTemperament(int current) override;
    // The favourite instruments the chooser keeps (1-based), when it has any.
    void setFavourites(std::vector<int>* favourites) { favourites_ = favourites; }
    bool staveAttributes(StaveAttributesModel& model) override;
    bool blockAction(BlockActionModel& model) override;
    // TOptionForm2, made on first use and kept.
    bool options(OptionsModel& model) override;
    // Where "Block Mode Action" opens and is kept when it closes (the settings'
    // "BlockModeform"; -1: placed by default).
    void setBlockPosition(int* left, int* top) {
        blockLeft_ = left;
        blockTop_ = top;
    }

  private:
    int ownLeft_ = -1, ownTop_ = -1;
    int* blockLeft_ = &ownLeft_;
    int* blockTop_ = &ownTop_;
    QWidget* parent_;
    const Settings& settings_;
    Host& host_;
    WarningBox& warnings_;
    const GlyphStore& glyphs_;
    std::vector<int>* favourites_ = nullptr;
    std::unique_ptr<TOptionForm2> options_;
};

}  // namespace sw
