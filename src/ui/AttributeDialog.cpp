// The attribute dialogs' window over the editor's forms.
#include "ui/AttributeDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/Host.h"
#include "editor/dialogs/ObjectDialogs.h"
#include "render/DrawContext.h"
#include "render/ObjectShapes.h"
#include "render/Surface.h"

namespace sw {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The line preview's picture size, in page pixels.
constexpr int kPreviewWidth = 180, kPreviewHeight = 60;

// Rows of controls a column holds before the next one starts.
constexpr int kRowsPerColumn = 12, kMemoRows = 4;

struct Columns {
    QHBoxLayout* row;
    QVBoxLayout* column = nullptr;
    int rows = 0;
    // `keep` rows more come with it (a heading stays with what it heads).
    void add(QWidget* w, int height, int keep) {
        if (!column || (rows > 0 && rows + height + keep > kRowsPerColumn)) {
            if (column) column->addStretch();
            column = new QVBoxLayout;
            row->addLayout(column);
            rows = 0;
        }
        column->addWidget(w);
        rows += height;
    }
    void finish() {
        if (column) column->addStretch();
    }
};

int RowsOf(const FormControl& c) {
    if (c.kind == FormControl::Radio) return static_cast<int>(c.choices.size()) + 1;
    return c.kind == FormControl::Memo ? kMemoRows : 1;
}

std::string WithoutMnemonic(const std::string& s) {
    std::string out;
    for (std::size_t k = 0; k < s.size(); ++k)
        if (s[k] != '&' || (k + 1 < s.size() && s[k + 1] == '&' && ++k)) out += s[k];
    return out;
}

// The edit of the nearest box before control `id` on its tab.
QWidget* BoxBefore(const std::vector<QWidget*>& widgets, const std::vector<FormControl>& controls,
                   std::size_t id) {
    for (std::size_t k = id; k-- > 0;) {
        if (controls[k].tab != controls[id].tab) continue;
        if (controls[k].kind == FormControl::Box && k < widgets.size())
            return widgets[k]->findChild<QLineEdit*>();
    }
    return nullptr;
}

}  // namespace

AttributeDialogWidget::AttributeDialogWidget(QWidget* parent, AttributeForm& form, Host& host,
                                             uint32_t colour, const GlyphStore* glyphs)
    : QDialog(parent), form_(form), host_(host), glyphs_(glyphs) {
    setWindowTitle(Q(form.title()));
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor::fromRgb(ToQRgb(colour)));
    setPalette(p);
    setAutoFillBackground(true);

    auto* outer = new QVBoxLayout(this);
    // Each page flows its controls into columns, so a long tab stays on screen.
    std::vector<Columns> pages;
    QTabWidget* tabs = nullptr;
    if (form.tabs().empty()) {
        pages.push_back({new QHBoxLayout});
        outer->addLayout(pages.back().row);
    } else {
        tabs = new QTabWidget;
        tabs->setObjectName("tabs");
        for (const std::string& t : form.tabs()) {
            auto* page = new QWidget;
            page->setAutoFillBackground(true);
            page->setPalette(p);
            pages.push_back({new QHBoxLayout(page)});
            tabs->addTab(page, Q(t));
        }
        outer->addWidget(tabs);
    }
    const auto& controls = form.controls();
    for (std::size_t id = 0; id < controls.size(); ++id) {
        const FormControl& c = controls[id];
        const int n = static_cast<int>(id);
        Columns& page = pages[static_cast<std::size_t>(
            std::clamp(c.tab, 0, static_cast<int>(pages.size()) - 1))];
        QWidget* w = nullptr;
        switch (c.kind) {
            case FormControl::Radio: {
                auto* box = new QGroupBox(Q(c.caption));
                auto* inner = new QVBoxLayout(box);
                for (std::size_t k = 0; k < c.choices.size(); ++k) {
                    auto* b = new QRadioButton(Q(c.choices[k]));
                    b->setObjectName(QString("c%1_%2").arg(n).arg(k));
                    inner->addWidget(b);
                    connect(b, &QRadioButton::clicked, this, [this, n, k] {
                        if (refreshing_) return;
                        form_.choose(n, static_cast<int>(k));
                        refresh();
                        if (form_.finished()) accept();
                    });
                }
                w = box;
                break;
            }
            case FormControl::Box: {
                auto* row = new QWidget;
                auto* h = new QHBoxLayout(row);
                h->setContentsMargins(0, 0, 0, 0);
                auto* label = new QLabel(Q(c.caption));
                auto* edit = new QLineEdit;
                edit->setObjectName(QString("c%1_edit").arg(n));
                label->setBuddy(edit);
                h->addWidget(label);
                h->addWidget(edit);
                connect(edit, &QLineEdit::editingFinished, this, [this, n, edit] {
                    if (refreshing_ || edit->text().toStdString() == form_.control(n).text) return;
                    form_.setText(n, edit->text().toStdString(), host_);
                    refresh();
                });
                w = row;
                break;
            }
            case FormControl::Check: {
                auto* box = new QCheckBox(Q(c.caption));
                connect(box, &QCheckBox::toggled, this, [this, n](bool on) {
                    if (refreshing_) return;
                    form_.setCheck(n, on);
                    refresh();
                });
                w = box;
                break;
            }
            case FormControl::Button: {
                auto* b = new QPushButton(Q(c.caption));
                connect(b, &QPushButton::clicked, this, [this, n] {
                    form_.press(n, host_);
                    refresh();
                    if (form_.finished()) accept();
                });
                w = b;
                break;
            }
            case FormControl::Memo: {
                auto* memo = new QPlainTextEdit;
                memo->setLineWrapMode(QPlainTextEdit::NoWrap);
                // Line i is text i: Enter closes the dialog as OK does.
                memo->installEventFilter(this);
                connect(memo, &QPlainTextEdit::textChanged, this, [this, n, memo] {
                    if (!refreshing_) form_.setText(n, memo->toPlainText().toStdString(), host_);
                });
                w = memo;
                break;
            }
            case FormControl::Label: {
                // A label's "&" takes the user to the box before it.
                auto* label = new QLabel;
                if (QWidget* box = BoxBefore(widgets_, controls, id)) label->setBuddy(box);
                w = label;
                break;
            }
        }
        w->setObjectName(QString("c%1").arg(n));
        const bool heading = c.kind == FormControl::Label && id + 1 < controls.size() &&
                             controls[id + 1].tab == c.tab;
        page.add(w, RowsOf(c), heading ? RowsOf(controls[id + 1]) : 0);
        widgets_.push_back(w);
    }
    for (Columns& page : pages)
        page.finish();
    if (dynamic_cast<LineDialog*>(&form) && glyphs_) {
        preview_ = new QLabel;
        preview_->setObjectName("preview");
        preview_->setMinimumSize(kPreviewWidth, kPreviewHeight);
        outer->addWidget(preview_);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    if (form.finished() || dynamic_cast<ObjectTypeSelection*>(&form)) {
        buttons->setStandardButtons(QDialogButtonBox::Cancel);
        buttons->button(QDialogButtonBox::Cancel)->setText("C&ancel");
    }
    QPushButton* explain = buttons->addButton("Explain", QDialogButtonBox::HelpRole);
    // No notation guide ships, so its button stays hidden.
    QPushButton* guide = buttons->addButton("Guide", QDialogButtonBox::HelpRole);
    guide->setVisible(false);
    connect(explain, &QPushButton::clicked, this,
            [this] { host_.message(MsgType::Information, form_.explanation(), Buttons::OK); });
    connect(buttons, &QDialogButtonBox::accepted, this, &AttributeDialogWidget::tryAccept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    outer->addWidget(buttons);
    refresh();
}

bool AttributeDialogWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && qobject_cast<QPlainTextEdit*>(watched)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            tryAccept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AttributeDialogWidget::tryAccept() {
    // A box still being typed in counts.
    for (QWidget* w : widgets_)
        if (auto* edit = w->findChild<QLineEdit*>(); edit && edit->hasFocus())
            emit edit->editingFinished();
    if (form_.accept(host_)) accept();  // a refusal keeps the dialog open
}

void AttributeDialogWidget::refresh() {
    refreshing_ = true;
    const auto& controls = form_.controls();
    for (std::size_t id = 0; id < controls.size() && id < widgets_.size(); ++id) {
        const FormControl& c = controls[id];
        QWidget* w = widgets_[id];
        w->setEnabled(c.enabled);
        switch (c.kind) {
            case FormControl::Radio: {
                // Choices can go ("No change" for one object): spare buttons hide.
                const QList<QRadioButton*> buttons = w->findChildren<QRadioButton*>();
                for (int k = 0; k < buttons.size(); ++k) {
                    QRadioButton* b = buttons[k];
                    b->setAutoExclusive(false);
                    b->setChecked(k == c.value);
                    b->setAutoExclusive(true);
                    b->setEnabled(c.choiceUsable(k));
                }
                break;
            }
            case FormControl::Box:
                if (auto* edit = w->findChild<QLineEdit*>(); edit && !edit->hasFocus())
                    edit->setText(Q(c.text));
                break;
            case FormControl::Check:
                static_cast<QCheckBox*>(w)->setChecked(c.value == 1);
                break;
            case FormControl::Memo:
                if (static_cast<QPlainTextEdit*>(w)->toPlainText().toStdString() != c.text)
                    static_cast<QPlainTextEdit*>(w)->setPlainText(Q(c.text));
                break;
            case FormControl::Label: {
                auto* label = static_cast<QLabel*>(w);
                // Without a buddy Qt would show the "&" itself.
                label->setText(label->buddy() ? Q(c.text) : Q(WithoutMnemonic(c.text)));
                break;
            }
            case FormControl::Button:
                break;
        }
    }
    if (auto* tabs = findChild<QTabWidget*>("tabs"))
        for (int t = 0; t < tabs->count(); ++t)
            tabs->setTabVisible(t, form_.tabShown(t));
    drawPreview();
    refreshing_ = false;
}

void AttributeDialogWidget::drawPreview() {
    auto* line = dynamic_cast<LineDialog*>(&form_);
    if (!preview_ || !line) return;
    QImage picture(kPreviewWidth, kPreviewHeight, QImage::Format_RGB32);
    picture.fill(Qt::white);
    DrawContext ctx = PictureContext(picture, *glyphs_, false);
    PictureSurface surface(ctx);
    DrawLinePreview(surface, line->sample(), kPreviewWidth, kPreviewHeight);
    preview_->setPixmap(QPixmap::fromImage(picture));
}

bool RunAttributeForm(QWidget* parent, AttributeForm& form, Host& host, uint32_t colour,
                      const GlyphStore* glyphs) {
    AttributeDialogWidget dialog(parent, form, host, colour, glyphs);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace sw
