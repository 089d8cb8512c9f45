// The Qt host.
#include "ui/QtHost.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringList>
#include <QVBoxLayout>
#include <utility>
#include <vector>

#include "core/MessageIds.h"
#include "core/Messages.h"

namespace sw {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// A button of a set: its standard kind, the answer it gives, and its own
// caption where the standard one would say something else.
struct ButtonSpec {
    QDialogButtonBox::StandardButton button;
    Answer answer;
    const char* caption = nullptr;
};

std::vector<ButtonSpec> ButtonSet(Buttons b) {
    using B = QDialogButtonBox;
    switch (b) {
        case Buttons::OK:
            return {{B::Ok, Answer::OK}};
        case Buttons::OKCancel:
            return {{B::Ok, Answer::OK}, {B::Cancel, Answer::Cancel}};
        case Buttons::YesNo:
            return {{B::Yes, Answer::Yes}, {B::No, Answer::No}};
        case Buttons::YesNoCancel:
            return {{B::Yes, Answer::Yes}, {B::No, Answer::No}, {B::Cancel, Answer::Cancel}};
        case Buttons::YesNoHelp:
            return {{B::Yes, Answer::Yes}, {B::No, Answer::No}, {B::Help, Answer::Help}};
        case Buttons::YesAbort:
            return {{B::Yes, Answer::Yes}, {B::Abort, Answer::Abort}};
        case Buttons::OKAbort:
            return {{B::Ok, Answer::OK}, {B::Abort, Answer::Abort}};
        case Buttons::YesNoAbort:
            return {{B::Yes, Answer::Yes}, {B::No, Answer::No}, {B::Abort, Answer::Abort}};
        case Buttons::NoOK:
            return {{B::No, Answer::No}, {B::Ok, Answer::OK}};
        case Buttons::YesNoKeep:
            return {{B::Yes, Answer::Yes},
                    {B::No, Answer::No},
                    {B::Cancel, Answer::Cancel, "&Don't close"}};
    }
    return {{B::Ok, Answer::OK}};
}

const char* Caption(MsgType type) {
    switch (type) {
        case MsgType::Error:
            return "Error";
        case MsgType::Warning:
            return "Warning";
        case MsgType::Information:
            return "Information";
        case MsgType::Confirmation:
            return "Confirmation";
        case MsgType::Plain:
            break;
    }
    return nullptr;
}

QMessageBox::Icon IconOf(MsgType type) {
    switch (type) {
        case MsgType::Error:
            return QMessageBox::Critical;
        case MsgType::Warning:
            return QMessageBox::Warning;
        case MsgType::Information:
            return QMessageBox::Information;
        case MsgType::Confirmation:
            return QMessageBox::Question;
        case MsgType::Plain:
            break;
    }
    return QMessageBox::NoIcon;
}

// A box asked while a help button is showing: help has no pages yet, so it
// answers like the safe choice rather than closing with "Help".
Answer WithoutHelp(Answer a, Buttons b) {
    return a == Answer::Help ? SafeDefault(b) : a;
}

}  // namespace

QtHost::QtHost(QWidget* parent) : parent_(parent) {}
QtHost::~QtHost() = default;

Answer QtHost::message(MsgType type, const std::string& text, Buttons buttons) {
    const char* caption = Caption(type);
    QMessageBox box(IconOf(type), caption ? caption : Q(MessageText(msg::ProductName)), Q(text),
                    QMessageBox::NoButton, parent_);
    std::vector<std::pair<QAbstractButton*, Answer>> made;
    for (const ButtonSpec& spec : ButtonSet(buttons)) {
        QAbstractButton* b = box.addButton(static_cast<QMessageBox::StandardButton>(spec.button));
        if (spec.caption) b->setText(spec.caption);
        made.emplace_back(b, spec.answer);
    }
    box.setDefaultButton(static_cast<QPushButton*>(made.front().first));
    // Left to itself the box makes No its Escape button, and closing it too
    // then says No: a hidden button of its own keeps those answerless.
    if (made.size() > 1) {
        QPushButton* none = box.addButton(QString(), QMessageBox::RejectRole);
        none->hide();
        box.setEscapeButton(none);
    }
    box.exec();
    for (const auto& [button, answer] : made)
        if (box.clickedButton() == button) return answer;
    // Closed with Escape or the title bar: no answer at all, which callers
    // take as "not yes" and never as an explicit No.
    return Answer::Cancel;
}

std::optional<std::string> QtHost::input(const std::string& caption, const std::string& prompt,
                                         const std::string& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_, Q(caption), Q(prompt), QLineEdit::Normal, Q(initial), &ok);
    if (!ok) return std::nullopt;
    return text.toStdString();
}

WarningAnswer QtHost::warning(const std::string& text, Buttons buttons) {
    QDialog box(parent_);
    box.setWindowTitle("Warning");
    auto* layout = new QVBoxLayout(&box);
    auto* label = new QLabel(Q(text), &box);
    label->setWordWrap(true);
    label->setMinimumWidth(360);
    layout->addWidget(label);
    auto* check = new QCheckBox(Q(MessageText(msg::WarningCheckBox)), &box);
    layout->addWidget(check);
    auto* row = new QDialogButtonBox(&box);
    Answer result = SafeDefault(buttons);
    for (const ButtonSpec& spec : ButtonSet(buttons)) {
        QPushButton* b = row->addButton(spec.button);
        if (spec.caption) b->setText(spec.caption);
        const Answer a = spec.answer;
        QObject::connect(b, &QPushButton::clicked, &box, [&box, &result, a] {
            result = a;
            box.accept();
        });
    }
    layout->addWidget(row);
    box.exec();
    return {WithoutHelp(result, buttons), check->isChecked()};
}

QString QtHost::QtFilter(const std::string& filter) {
    // Pairs of description and patterns, as the program's dialogs write them.
    const QStringList parts = Q(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        QStringList both;
        for (const QString& p : patterns) {
            both << p;
            // Linux names keep their case: accept either for an extension.
            if (p.toLower() != p) both << p.toLower();
            if (p.toUpper() != p) both << p.toUpper();
        }
        both.removeDuplicates();
        out << parts[i] + " (" + both.join(' ') + ")";
    }
    return out.join(";;");
}

std::optional<std::string> QtHost::openFileName(const FileDialogSpec& spec) {
    QString dir = Q(spec.directory);
    if (!spec.fileName.empty())
        dir = dir.isEmpty() ? Q(spec.fileName) : dir + "/" + Q(spec.fileName);
    const QString name =
        QFileDialog::getOpenFileName(parent_, Q(spec.title), dir, QtFilter(spec.filter));
    if (name.isEmpty()) return std::nullopt;
    return name.toStdString();
}

std::optional<std::string> QtHost::saveFileName(const FileDialogSpec& spec) {
    QFileDialog dialog(parent_, Q(spec.title), Q(spec.directory), QtFilter(spec.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!spec.defaultExtension.empty()) {
        dialog.setDefaultSuffix(Q(spec.defaultExtension).toLower());
        // A name typed without an extension takes the chosen filter's.
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString& filter) {
                             const int dot = filter.indexOf("*.");
                             if (dot < 0) return;
                             QString ext = filter.mid(dot + 2);
                             ext = ext.left(ext.indexOf(QRegularExpression("[ )]")));
                             if (!ext.isEmpty() && ext != "*")
                                 dialog.setDefaultSuffix(ext.toLower());
                         });
    }
    if (!spec.overwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!spec.fileName.empty()) dialog.selectFile(Q(spec.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

void QtHost::progressBegin(const std::string& text) {
    progress_ = std::make_unique<QProgressDialog>(Q(text), "Cancel", 0, 100, parent_);
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setMinimumDuration(300);
    progress_->setValue(0);
}

void QtHost::progressText(const std::string& text) {
    if (progress_) progress_->setLabelText(Q(text));
}

bool QtHost::progressStep(int percent) {
    if (!progress_) return true;
    progress_->setValue(std::clamp(percent, 0, 100));
    QApplication::processEvents();
    return !progress_->wasCanceled();
}

void QtHost::progressEnd() {
    progress_.reset();
}

void QtHost::setBusy(bool busy) {
    if (busy) {
        if (busy_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busy_ > 0 && --busy_ == 0) {
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace sw
