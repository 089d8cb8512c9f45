// The main window's services and the dialogs of a document, as tests script
// them: each call goes to a function the test may set, else a plain answer.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "editor/DocumentController.h"

namespace sw::test {

class FakeServices : public DocumentServices {
  public:
    std::function<void(const std::string&)> onAddToHistory;
    std::function<std::string()> onFileDirectory;
    std::function<void(const std::string&)> onSetFileDirectory;
    std::function<void()> onRefreshStatus;
    std::function<void(bool)> onSetMetric;
    int neatenFactor = -1;  // the last factor stored, -1 for none
    ReportSink* reportSink = nullptr;
    Settings* settings = nullptr;  // the options window's

    void addToHistory(const std::string& path) override {
        if (onAddToHistory) onAddToHistory(path);
    }
    std::string fileDirectory() const override {
        return onFileDirectory ? onFileDirectory() : std::string();
    }
    void setFileDirectory(const std::string& dir) override {
        if (onSetFileDirectory) onSetFileDirectory(dir);
    }
    void refreshStatus() override {
        if (onRefreshStatus) onRefreshStatus();
    }
    void setMetric(bool metric) override {
        if (onSetMetric) onSetMetric(metric);
    }
    ReportSink* report() override { return reportSink; }
    Settings* programSettings() override { return settings; }
    void setNeatenFactor(int f) override { neatenFactor = f; }
    PlayWindow* player = nullptr;
    PlayWindow* playWindow() override { return player; }
};

class FakeDialogs : public DocumentDialogs {
  public:
    std::function<HeaderFooterChooser::Choice(const HeaderFooterChooser&)> onHeaderFooter;
    std::function<bool(SymbolPaletteModel&)> onSymbol;
    std::function<bool(ShapePaletteModel&)> onShape;
    std::function<bool(FontDesc&)> onFont;
    std::function<std::optional<FontDesc>()> onFavourite;
    std::function<bool(PageData&, bool&)> onPageSetup;
    std::function<std::optional<double>(StaveSizeDialogModel&, const Score&)> onStaveSize;
    std::function<bool(NoteAlignmentModel&)> onNoteAlignment;
    std::function<bool(TremoloBeamsModel&)> onTremoloBeams;
    std::function<bool(VerticalSpacingModel&)> onVerticalSpacing;
    std::function<std::optional<int>(const MenuModel&)> onPopup;
    // An attribute dialog: the test plays the user on its form.
    std::function<bool(AttributeForm&)> onForm;
    std::function<bool(NeatenDialogModel&)> onNeaten;
    std::function<bool(TransposeDialogModel&)> onTranspose;
    std::function<bool(PipesDialogModel&)> onPipes;
    std::function<bool(RandomTuneDialogModel&)> onRandomTune;
    std::function<std::optional<int>(int)> onInstrument, onTemperament;
    std::function<bool(StaveAttributesModel&)> onStaveAttributes;
    std::function<bool(BlockActionModel&)> onBlockAction;
    std::function<bool(OptionsModel&)> onOptions;

    HeaderFooterChooser::Choice chooseHeaderFooter(const HeaderFooterChooser& c) override {
        return onHeaderFooter ? onHeaderFooter(c) : c.chosen;
    }
    bool chooseSymbol(SymbolPaletteModel& m) override { return onSymbol ? onSymbol(m) : false; }
    std::optional<int> chooseInstrument(int c) override {
        return onInstrument ? onInstrument(c) : std::nullopt;
    }
    std::optional<int> chooseTemperament(int c) override {
        return onTemperament ? onTemperament(c) : std::nullopt;
    }
    bool options(OptionsModel& m) override { return onOptions ? onOptions(m) : false; }
    bool chooseShape(ShapePaletteModel& m) override { return onShape ? onShape(m) : false; }
    bool chooseFont(FontDesc& f) override { return onFont ? onFont(f) : false; }
    std::optional<FontDesc> selectFavourite() override {
        return onFavourite ? onFavourite() : std::nullopt;
    }
    bool pageSetup(PageData& page, bool& metric) override {
        return onPageSetup ? onPageSetup(page, metric) : false;
    }
    std::optional<double> staveSize(StaveSizeDialogModel& model, const Score& score) override {
        return onStaveSize ? onStaveSize(model, score) : std::nullopt;
    }
    bool noteAlignment(NoteAlignmentModel& model) override {
        return onNoteAlignment ? onNoteAlignment(model) : false;
    }
    bool tremoloBeams(TremoloBeamsModel& model) override {
        return onTremoloBeams ? onTremoloBeams(model) : false;
    }
    bool verticalSpacing(VerticalSpacingModel& m) override {
        return onVerticalSpacing ? onVerticalSpacing(m) : false;
    }
    std::function<bool(BarMaintenanceModel&)> onBarMaintenance;
    bool barMaintenance(BarMaintenanceModel& m) override {
        return onBarMaintenance ? onBarMaintenance(m) : false;
    }
    std::optional<int> popup(const MenuModel& menu) override {
        return onPopup ? onPopup(menu) : std::nullopt;
    }
    bool showForm(AttributeForm& f) override { return onForm ? onForm(f) : false; }
    bool neatenStaves(NeatenDialogModel& m) override { return onNeaten ? onNeaten(m) : false; }
    bool blockAction(BlockActionModel& m) override {
        return onBlockAction ? onBlockAction(m) : false;
    }
    bool transpose(TransposeDialogModel& m) override {
        return onTranspose ? onTranspose(m) : false;
    }
    bool scottishPipes(PipesDialogModel& m) override { return onPipes ? onPipes(m) : false; }
    bool randomTune(RandomTuneDialogModel& m) override {
        return onRandomTune ? onRandomTune(m) : false;
    }
    bool staveAttributes(StaveAttributesModel& m) override {
        return onStaveAttributes ? onStaveAttributes(m) : false;
    }
};

}  // namespace sw::test
