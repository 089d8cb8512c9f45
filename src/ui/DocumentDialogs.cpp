// The document's dialogs.
#include "ui/DocumentDialogs.h"

#include <QColorDialog>
#include <QCursor>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/FavouriteFonts.h"
#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "render/DrawContext.h"
#include "ui/AttributeDialog.h"
#include "ui/BagpipeDialog.h"
#include "ui/BarMaintenanceDialog.h"
#include "ui/FavouriteFontsDialog.h"
#include "ui/HeaderFooterDialog.h"
#include "ui/NoteDialogs.h"
#include "ui/OptionsWindow.h"
#include "ui/PageSetupDialog.h"
#include "ui/PaletteDialogs.h"
#include "ui/PlaybackDialogs.h"
#include "ui/RandomTuneDialog.h"
#include "ui/StaveAttributesDialog.h"
#include "ui/TransposeDialog.h"

namespace sw {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

QtDocumentDialogs::QtDocumentDialogs(QWidget* parent, const Settings& settings, Host& host,
                                     WarningBox& warnings, const GlyphStore& glyphs)
    : parent_(parent), settings_(settings), host_(host), warnings_(warnings), glyphs_(glyphs) {}

QtDocumentDialogs::~QtDocumentDialogs() = default;

bool QtDocumentDialogs::options(OptionsModel& model) {
    OptionsHelpers helpers;
    helpers.chooseInstrument = [this](int current) { return chooseInstrument(current); };
    helpers.pageSetup = [this](PageData& page, bool& metric, bool thisScore) {
        const int caption = thisScore ? msg::ThisScorePageSetup : msg::DefaultPageSetup;
        return RunPageSetupDialog(parent_, Q(MessageText(caption)), page, metric, host_, warnings_,
                                  PrinterCapacityReader(settings_.printer),
                                  settings_.colours.defaultform);
    };
    helpers.chooseColour = [this](uint32_t current) -> std::optional<uint32_t> {
        const QColor c = QColorDialog::getColor(QColor::fromRgb(ToQRgb(current)), parent_,
                                                Q(MessageText(msg::ChooseEditColour)));
        if (!c.isValid()) return std::nullopt;
        return static_cast<uint32_t>(c.blue()) << 16 | static_cast<uint32_t>(c.green()) << 8 |
               static_cast<uint32_t>(c.red());
    };
    helpers.scoreInformation = [this](const Score& score, int page) {
        RunScoreInformation(parent_, score, page);
    };
    OptionsForm form(model, host_, warnings_, std::move(helpers));
    if (!options_) options_ = std::make_unique<TOptionForm2>(parent_);
    return options_->run(form, host_);
}

bool QtDocumentDialogs::chooseSymbol(SymbolPaletteModel& model) {
    return RunSymbolPalette(parent_, model, glyphs_);
}

bool QtDocumentDialogs::chooseShape(ShapePaletteModel& model) {
    return RunShapePalette(parent_, model);
}

bool QtDocumentDialogs::chooseFont(FontDesc& font) {
    return RunFontChooser(parent_, font);
}

HeaderFooterChooser::Choice QtDocumentDialogs::chooseHeaderFooter(const HeaderFooterChooser& c) {
    return ChooseHeaderFooter(parent_, c);
}

std::optional<FontDesc> QtDocumentDialogs::selectFavourite() {
    const int n = SelectFavouriteFont(parent_, settings_, settings_.language == 1, host_);
    if (n < 1 || n > 16) return std::nullopt;
    return FavouriteFontDesc(settings_.favourites[static_cast<std::size_t>(n - 1)]);
}

bool QtDocumentDialogs::pageSetup(PageData& page, bool& metric) {
    return RunPageSetupDialog(parent_, Q(MessageText(msg::ThisScorePageSetup)), page, metric, host_,
                              warnings_, PrinterCapacityReader(settings_.printer),
                              settings_.colours.defaultform);
}

std::optional<double> QtDocumentDialogs::staveSize(StaveSizeDialogModel& model,
                                                   const Score& score) {
    QDialog dialog(parent_);
    dialog.setWindowTitle(Q(MessageText(msg::SetStaveSizeCaption)));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(Q(model.label())));
    auto* box = new QLineEdit(Q(model.boxText()));
    layout->addWidget(box);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* largest = buttons->addButton("&Largest possible", QDialogButtonBox::ActionRole);
    layout->addWidget(buttons);
    QObject::connect(largest, &QPushButton::clicked, &dialog, [&] {
        model.largestPossible(score);
        box->setText(Q(model.boxText()));
    });
    std::optional<double> size;
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        model.setBoxText(box->text().toStdString());
        size = model.accept(host_);
        if (size) dialog.accept();  // a bad number keeps the dialog open
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return size;
}

bool QtDocumentDialogs::noteAlignment(NoteAlignmentModel& model) {
    return RunNoteAlignmentDialog(parent_, model);
}

bool QtDocumentDialogs::tremoloBeams(TremoloBeamsModel& model) {
    return RunTremoloBeamsDialog(parent_, model);
}

bool QtDocumentDialogs::verticalSpacing(VerticalSpacingModel& model) {
    return RunVerticalSpacingDialog(parent_, model);
}

bool QtDocumentDialogs::barMaintenance(BarMaintenanceModel& model) {
    return RunBarMaintenanceDialog(parent_, model,
                                   [this](FontDesc& font) { return chooseFont(font); });
}

std::optional<int> QtDocumentDialogs::popup(const MenuModel& menu) {
    QMenu m(parent_);
    std::vector<QAction*> items;
    for (const MenuItem& item : menu.items) {
        if (item.caption.empty()) {
            items.push_back(m.addSeparator());
            continue;
        }
        QAction* a = m.addAction(QString::fromStdString(item.caption));
        a->setEnabled(item.enabled);
        a->setCheckable(item.checked || item.command != MenuCommand::None);
        a->setChecked(item.checked);
        items.push_back(a);
    }
    QAction* chosen = m.exec(QCursor::pos());
    for (std::size_t k = 0; k < items.size(); ++k)
        if (chosen && items[k] == chosen) return static_cast<int>(k);
    return std::nullopt;
}

bool QtDocumentDialogs::neatenStaves(NeatenDialogModel& model) {
    return RunNeatenDialog(parent_, model);
}

bool QtDocumentDialogs::showForm(AttributeForm& form) {
    return RunAttributeForm(parent_, form, host_, settings_.colours.defaultform, &glyphs_);
}

bool QtDocumentDialogs::transpose(TransposeDialogModel& model) {
    return RunTransposeDialog(parent_, model, host_, warnings_);
}

bool QtDocumentDialogs::scottishPipes(PipesDialogModel& model) {
    return RunPipesDialog(parent_, model, host_);
}

bool QtDocumentDialogs::randomTune(RandomTuneDialogModel& model) {
    return RunRandomTuneDialog(parent_, model);
}

std::optional<int> QtDocumentDialogs::chooseInstrument(int current) {
    InstrumentChooserModel model(current, favourites_ ? *favourites_ : settings_.favouritePrograms);
    if (!RunInstrumentDialog(parent_, model)) return std::nullopt;
    if (favourites_) *favourites_ = model.favourites();
    return model.chosen();
}

std::optional<int> QtDocumentDialogs::chooseTemperament(int current) {
    TemperamentDialogModel model(current);
    if (!RunTemperamentDialog(parent_, model)) return std::nullopt;
    return model.chosen();
}

bool QtDocumentDialogs::staveAttributes(StaveAttributesModel& model) {
    return RunStaveAttributesDialog(
        parent_, model, [this](int current) { return chooseInstrument(current); }, host_);
}

bool QtDocumentDialogs::blockAction(BlockActionModel& model) {
    QDialog dialog(parent_);
    dialog.setWindowTitle(BlockActionModel::kCaption);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(BlockActionModel::kLabel));
    auto* grid = new QGridLayout;
    int k = 0;
    for (const BlockActionButton& b : BlockActionModel::kButtons) {
        auto* button = new QPushButton(QString::fromUtf8(b.caption));
        QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, &model, b] {
            model.choose(b.action);
            dialog.accept();
        });
        grid->addWidget(button, k / 2, k % 2);
        ++k;
    }
    layout->addLayout(grid);
    dialog.adjustSize();
    const QRect screen = parent_ && parent_->screen() ? parent_->screen()->availableGeometry()
                                                      : QRect(0, 0, 1280, 1024);
    const QRect window = parent_ ? parent_->window()->frameGeometry() : screen;
    const ScreenRect at =
        BlockActionModel::Place(*blockLeft_, *blockTop_, dialog.width(), dialog.height(),
                                {screen.x(), screen.y(), screen.width(), screen.height()},
                                {window.x(), window.y(), window.width(), window.height()});
    dialog.move(at.left, at.top);
    const bool chosen = dialog.exec() == QDialog::Accepted;
    *blockLeft_ = dialog.x();
    *blockTop_ = dialog.y();
    return chosen;
}

}  // namespace sw
