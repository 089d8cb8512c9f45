// The options window's widgets, made from the form's table of controls and
// refreshed from it after every change; the score information window.
#include "ui/OptionsWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"

namespace sw {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// A caption beside its widget, the label its buddy; a short field keeps its
// own width.
QWidget* Row(const std::string& caption, QWidget* field, bool wide = true) {
    auto* row = new QWidget;
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(Q(caption));
    label->setBuddy(field);
    h->addWidget(label);
    h->addWidget(field, wide ? 1 : 0);
    if (!wide) h->addStretch(1);
    return row;
}

// The name a widget is found by: the component name, else the control's number.
QString NameOf(const OptionControl& c, int id) {
    return c.name.empty() ? QString("o%1").arg(id) : Q(c.name);
}

}  // namespace

TOptionForm2::TOptionForm2(QWidget* parent) : QDialog(parent) {
    setObjectName("TOptionForm2");
    setWindowTitle("Staffwright 5 Options");
}

void TOptionForm2::bind(OptionsForm& form, Host& host) {
    form_ = &form;
    host_ = &host;
    if (!tabs_) build(form);
    tabs_->setCurrentIndex(0);
    lastTab_ = 0;
    refresh();
}

bool TOptionForm2::run(OptionsForm& form, Host& host) {
    bind(form, host);
    const bool ok = exec() == QDialog::Accepted;
    // The window outlives the form it was shown on.
    form_ = nullptr;
    return ok;
}

void TOptionForm2::build(const OptionsForm& form) {
    auto* outer = new QVBoxLayout(this);
    tabs_ = new QTabWidget;
    tabs_->setObjectName("PageControl1");
    std::vector<std::array<QVBoxLayout*, 2>> columns;
    for (const char* title : OptionsForm::kTabs) {
        auto* page = new QWidget;
        auto* h = new QHBoxLayout(page);
        columns.push_back({new QVBoxLayout, new QVBoxLayout});
        h->addLayout(columns.back()[0], 1);
        h->addLayout(columns.back()[1], 1);
        tabs_->addTab(page, title);
    }
    std::vector<int> column(OptionsForm::kTabs.size(), 0);
    for (int id = 0; id < static_cast<int>(form.controls().size()); ++id) {
        const OptionControl& c = form.control(id);
        const std::size_t tab = std::size_t(std::clamp(c.tab, 0, int(columns.size()) - 1));
        if (c.newColumn) column[tab] = 1;
        QWidget* w = makeWidget(c, id);
        columns[tab][std::size_t(column[tab])]->addWidget(w);
        widgets_.push_back(w);
    }
    for (auto& pair : columns)
        for (QVBoxLayout* col : pair)
            col->addStretch(1);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (refreshing_ || !form_) return;
        form_->leaveTab(lastTab_);
        lastTab_ = index;
        refresh();
    });
    outer->addWidget(tabs_);

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton("O&K");
    ok->setObjectName("bbOK");
    ok->setDefault(true);
    auto* cancel = new QPushButton("C&ancel");
    cancel->setObjectName("bbCancel");
    auto* explain = new QPushButton("Explain");
    explain->setObjectName("bbExplain");
    explain->setToolTip(Q(MessageText(msg::ExplainHint)));
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(explain);
    outer->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] { tryAccept(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(explain, &QPushButton::clicked, this, [this] {
        if (form_ && host_) host_->message(MsgType::Information, form_->explanation(), Buttons::OK);
    });
}

QWidget* TOptionForm2::makeWidget(const OptionControl& c, int id) {
    using K = OptionControl;
    const QString name = NameOf(c, id);
    QWidget* w = nullptr;
    switch (c.kind) {
        case K::Radio: {
            auto* group = new QGroupBox(Q(c.caption));
            group->setObjectName(name);
            auto* inner = new QVBoxLayout(group);
            for (std::size_t k = 0; k < form_->choices(id).size(); ++k) {
                auto* b = new QRadioButton;
                b->setObjectName(k < c.choiceNames.size() ? Q(c.choiceNames[k])
                                                          : QString("%1_%2").arg(name).arg(k));
                inner->addWidget(b);
                connect(b, &QRadioButton::clicked, this, [this, id, k] {
                    if (refreshing_ || !form_) return;
                    form_->choose(id, static_cast<int>(k));
                    refresh();
                });
            }
            return group;
        }
        case K::Check: {
            auto* box = new QCheckBox(Q(c.caption));
            box->setObjectName(name);
            connect(box, &QCheckBox::toggled, this, [this, id](bool on) {
                if (refreshing_ || !form_) return;
                form_->setCheck(id, on);
                refresh();
            });
            return box;
        }
        case K::Spin: {
            auto* spin = new QSpinBox;
            spin->setObjectName(name);
            spin->setRange(c.low, c.high);
            spin->setSuffix(Q(c.suffix));
            spin->setMinimumWidth(70);
            connect(spin, &QSpinBox::valueChanged, this, [this, id](int v) {
                if (refreshing_ || !form_) return;
                form_->setValue(id, v);
                refresh();
            });
            return Row(c.caption, spin, false);
        }
        case K::Button: {
            auto* b = new QPushButton(Q(c.caption));
            b->setObjectName(name);
            b->setToolTip(Q(c.hint));
            connect(b, &QPushButton::clicked, this, [this, id] {
                if (!form_) return;
                form_->press(id);
                refresh();
            });
            return b;
        }
        case K::List: {
            auto* list = new QComboBox;
            list->setObjectName(name);
            connect(list, &QComboBox::activated, this, [this, id](int k) {
                if (refreshing_ || !form_) return;
                form_->choose(id, k);
                refresh();
            });
            return Row(c.caption, list);
        }
        case K::Folder: {
            auto* model = new QFileSystemModel(this);
            model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
            model->setRootPath("/");
            auto* tree = new QTreeView;
            tree->setObjectName(name);
            tree->setModel(model);
            for (int col = 1; col < model->columnCount(); ++col)
                tree->hideColumn(col);
            tree->header()->hide();
            tree->setMinimumHeight(220);
            connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
                    [this, id, model](const QModelIndex& at) {
                        if (refreshing_ || !form_ || !at.isValid()) return;
                        form_->setText(id, model->filePath(at).toStdString());
                        refresh();
                    });
            return tree;
        }
        case K::Label: {
            QLabel* label = nullptr;
            if (c.name.rfind("ed", 0) == 0) {
                // A read-only box beside its caption.
                auto* edit = new QLineEdit;
                edit->setObjectName(name);
                edit->setReadOnly(true);
                w = Row(c.caption, edit);
                return w;
            }
            label = new QLabel;
            label->setObjectName(name);
            label->setWordWrap(true);
            QFont f = label->font();
            f.setItalic(c.italic);
            label->setFont(f);
            if (c.red) label->setStyleSheet("color: red;");
            // A figure with its caption before it.
            return !c.caption.empty() && !c.name.empty() ? Row(c.caption, label) : label;
        }
    }
    return w;
}

void TOptionForm2::refresh() {
    if (!form_ || !tabs_) return;
    using K = OptionControl;
    refreshing_ = true;
    // A hidden tab is disabled too, so Ctrl+Tab passes over it.
    for (int t = 0; t < tabs_->count(); ++t) {
        tabs_->setTabEnabled(t, form_->tabShown(t));
        tabs_->setTabVisible(t, form_->tabShown(t));
    }
    for (int id = 0; id < static_cast<int>(widgets_.size()); ++id) {
        const OptionControl& c = form_->control(id);
        QWidget* w = widgets_[std::size_t(id)];
        const QString name = NameOf(c, id);
        w->setEnabled(form_->enabled(id));
        switch (c.kind) {
            case K::Radio: {
                const std::vector<std::string> choices = form_->choices(id);
                const QList<QRadioButton*> buttons = w->findChildren<QRadioButton*>();
                for (int k = 0; k < buttons.size(); ++k) {
                    QRadioButton* b = buttons[k];
                    b->setText(k < int(choices.size()) ? Q(choices[std::size_t(k)]) : QString());
                    b->setAutoExclusive(false);
                    b->setChecked(k == form_->value(id));
                    b->setAutoExclusive(true);
                }
                break;
            }
            case K::Check:
                static_cast<QCheckBox*>(w)->setChecked(form_->value(id) == 1);
                break;
            case K::Spin: {
                auto* spin = w->findChild<QSpinBox*>(name);
                spin->setValue(form_->value(id));
                spin->setSingleStep(form_->step(id));
                break;
            }
            case K::List: {
                auto* list = w->findChild<QComboBox*>(name);
                list->clear();
                for (const std::string& item : form_->choices(id))
                    list->addItem(Q(item));
                list->setCurrentIndex(form_->value(id));
                break;
            }
            case K::Folder: {
                auto* tree = static_cast<QTreeView*>(w);
                auto* model = static_cast<QFileSystemModel*>(tree->model());
                const QModelIndex at = model->index(Q(form_->text(id)));
                if (at.isValid()) {
                    tree->setCurrentIndex(at);
                    tree->scrollTo(at);
                }
                break;
            }
            case K::Label:
                if (auto* edit = w->findChild<QLineEdit*>(name))
                    edit->setText(Q(form_->text(id)));
                else if (auto* label = qobject_cast<QLabel*>(w))
                    label->setText(Q(form_->text(id)));
                else if (auto* inner = w->findChild<QLabel*>(name))
                    inner->setText(Q(form_->text(id)));
                break;
            case K::Button:
                break;
        }
    }
    refreshing_ = false;
}

void TOptionForm2::tryAccept() {
    if (form_ && form_->accept()) accept();  // a refusal keeps the window open
}

bool DialogPrinterFacts::setUp(const std::string& printer) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(Q(printer));
    if (info.isNull()) return false;
    QPrinter device(info, QPrinter::HighResolution);
    QPageSetupDialog dialog(&device, parent_);
    return dialog.exec() == QDialog::Accepted;
}

void RunScoreInformation(QWidget* parent, const Score& score, int page) {
    QDialog dialog(parent);
    dialog.setObjectName("ScoreInformation");
    dialog.setWindowTitle(Q(MessageText(msg::ScoreInformationCaption)));
    auto* layout = new QVBoxLayout(&dialog);
    auto* tabs = new QTabWidget;
    const auto pages = ScoreInformationPages(score);
    const int titles[] = {msg::DocumentStatisticsPage, msg::FontsInformationPage};
    for (std::size_t k = 0; k < pages.size(); ++k) {
        auto* text = new QPlainTextEdit;
        text->setReadOnly(true);
        for (const std::string& line : pages[k])
            text->appendPlainText(Q(line));
        tabs->addTab(text, Q(MessageText(titles[k])));
    }
    tabs->setCurrentIndex(std::clamp(page, 0, 1));
    layout->addWidget(tabs);
    auto* close = new QPushButton("&Close");
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
    dialog.resize(460, 420);
    dialog.exec();
}

}  // namespace sw
