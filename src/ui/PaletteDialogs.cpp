// The palettes.
#include "ui/PaletteDialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QToolTip>
#include <QVBoxLayout>

#include "core/MessageIds.h"
#include "core/Messages.h"
#include "layout/GlyphTable.h"
#include "render/DrawContext.h"
#include "render/Surface.h"

namespace sw {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The cells of the symbol palette, laid out again whenever its width changes.
class SymbolGrid : public QWidget {
  public:
    SymbolGrid(SymbolPaletteModel& model, const GlyphStore& glyphs, QDialog& dialog)
        : model_(model), glyphs_(glyphs), dialog_(dialog) {
        setMouseTracking(true);
    }

  protected:
    void resizeEvent(QResizeEvent*) override {
        cells_ = SymbolPaletteModel::Cells(width());
        const int bottom = cells_.empty() ? 0 : cells_.back().y + cells_.back().h;
        setMinimumHeight(bottom + kPaletteMargin);
        picture_ = QImage();
    }
    void paintEvent(QPaintEvent*) override {
        if (picture_.size() != size()) {
            picture_ = QImage(size(), QImage::Format_RGB32);
            picture_.fill(Qt::white);
            const DrawContext ctx = PictureContext(picture_, glyphs_, false);
            PictureSurface out(ctx);
            QPainter p(&picture_);
            p.setPen(QColor(0xC0, 0xC0, 0xC0));
            for (const PaletteCell& c : cells_) {
                p.drawRect(c.x, c.y, c.w - 1, c.h - 1);
                // The glyph's reference point at the cell's middle.
                out.glyph(c.glyph, c.x + c.w / 2, c.y + c.h / 2, 1.0, false, false, 0);
            }
        }
        QPainter(this).drawImage(0, 0, picture_);
    }
    void mousePressEvent(QMouseEvent* e) override {
        const QPoint at = e->position().toPoint();
        for (const PaletteCell& c : cells_)
            if (QRect(c.x, c.y, c.w, c.h).contains(at) &&
                model_.choose(c.glyph, e->modifiers() & Qt::ShiftModifier)) {
                dialog_.accept();
                return;
            }
    }
    bool event(QEvent* e) override {
        // With hints each cell names its glyph.
        if (e->type() == QEvent::ToolTip) {
            auto* help = static_cast<QHelpEvent*>(e);
            for (const PaletteCell& c : cells_)
                if (model_.hints && QRect(c.x, c.y, c.w, c.h).contains(help->pos())) {
                    QToolTip::showText(help->globalPos(),
                                       QString("%1 (%2)").arg(GlyphBaseName(c.glyph)).arg(c.glyph));
                    return true;
                }
            QToolTip::hideText();
            return true;
        }
        return QWidget::event(e);
    }

  private:
    SymbolPaletteModel& model_;
    const GlyphStore& glyphs_;
    QDialog& dialog_;
    std::vector<PaletteCell> cells_;
    QImage picture_;
};

}  // namespace

bool RunSymbolPalette(QWidget* parent, SymbolPaletteModel& model, const GlyphStore& glyphs) {
    QDialog dialog(parent);
    dialog.setWindowTitle(Q(MessageText(msg::SelectSymbolCaption)));
    auto* layout = new QVBoxLayout(&dialog);
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(new SymbolGrid(model, glyphs, dialog));
    layout->addWidget(scroll, 1);
    auto* row = new QHBoxLayout;
    auto* hints = new QCheckBox(SymbolPaletteModel::kHints);
    hints->setChecked(model.hints);
    QObject::connect(hints, &QCheckBox::toggled, &dialog, [&model](bool on) { model.hints = on; });
    auto* more = new QCheckBox(SymbolPaletteModel::kMoreThanOne);
    more->setChecked(model.moreThanOne);
    QObject::connect(more, &QCheckBox::toggled, &dialog,
                     [&model](bool on) { model.moreThanOne = on; });
    auto* abort = new QPushButton(SymbolPaletteModel::kAbort);
    QObject::connect(abort, &QPushButton::clicked, &dialog, &QDialog::reject);
    row->addWidget(hints);
    row->addWidget(more);
    row->addStretch();
    row->addWidget(abort);
    layout->addLayout(row);
    dialog.resize(560, 420);
    return dialog.exec() == QDialog::Accepted && model.chosen();
}

bool RunShapePalette(QWidget* parent, ShapePaletteModel& model) {
    QDialog dialog(parent);
    dialog.setWindowTitle(Q(MessageText(msg::ShapesCaption)));
    auto* layout = new QVBoxLayout(&dialog);
    auto* grid = new QGridLayout;
    std::vector<QPushButton*> buttons;
    for (int k = 0; k < static_cast<int>(ShapePaletteModel::kShapes.size()); ++k) {
        auto* b = new QPushButton(ShapePaletteModel::kShapes[static_cast<std::size_t>(k)]);
        QObject::connect(b, &QPushButton::clicked, &dialog, [&model, &dialog, k] {
            if (model.choose(k)) dialog.accept();
        });
        grid->addWidget(b, k / 2, k % 2);
        buttons.push_back(b);
    }
    layout->addLayout(grid);
    auto* colour = new QButtonGroup(&dialog);
    auto* black = new QRadioButton(ShapePaletteModel::kBlack);
    auto* white = new QRadioButton(ShapePaletteModel::kWhite);
    colour->addButton(black);
    colour->addButton(white);
    (model.white ? white : black)->setChecked(true);
    auto enable = [&model, buttons] {
        for (int k = 0; k < static_cast<int>(buttons.size()); ++k)
            buttons[static_cast<std::size_t>(k)]->setEnabled(model.enabled(k));
    };
    QObject::connect(white, &QRadioButton::toggled, &dialog, [&model, enable](bool on) {
        model.white = on;
        enable();
    });
    enable();
    auto* row = new QHBoxLayout;
    row->addWidget(black);
    row->addWidget(white);
    row->addStretch();
    auto* cancel = new QPushButton("Cancel");
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    row->addWidget(cancel);
    layout->addLayout(row);
    return dialog.exec() == QDialog::Accepted && model.chosen();
}

std::optional<QFont> ChooseFont(QWidget* parent, const QFont& current, const QString& caption) {
    QFont shown = current;
    const QString substitute = QFontInfo(current).family();
    shown.setFamily(substitute);
    bool ok = false;
    QFont chosen = QFontDialog::getFont(&ok, shown, parent, caption);
    if (!ok) return std::nullopt;
    if (chosen.family() == substitute) chosen.setFamily(current.family());
    return chosen;
}

bool RunFontChooser(QWidget* parent, FontDesc& font) {
    QFont current(Q(font.name), font.size > 0 ? font.size : 12);
    current.setBold(font.style & kBold);
    current.setItalic(font.style & kItalic);
    current.setUnderline(font.style & kUnderline);
    const std::optional<QFont> picked =
        ChooseFont(parent, current, Q(MessageText(msg::FontCaption)));
    if (!picked) return false;
    const QFont& chosen = *picked;
    font.name = chosen.family().left(kMaxFontName).toStdString();
    if (chosen.pointSize() > 0) font.size = static_cast<int16_t>(chosen.pointSize());
    font.style =
        static_cast<uint8_t>((chosen.bold() ? kBold : 0) | (chosen.italic() ? kItalic : 0) |
                             (chosen.underline() ? kUnderline : 0));
    return true;
}

}  // namespace sw
