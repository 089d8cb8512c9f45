// The report window.
#include "ui/ReportWindow.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <algorithm>

namespace sw {

ReportWindow::ReportWindow(QWidget* parent) : QDialog(parent) {
    auto* layout = new QVBoxLayout(this);
    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(text_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(720, 480);
    applyFont();
}

void ReportWindow::ClearReport(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
    text_->clear();
}

void ReportWindow::AddReportLine(const std::string& line) {
    text_->appendPlainText(QString::fromStdString(line));
}

void ReportWindow::SetReportFontSize(int points) {
    points_ = std::clamp(points, 6, 48);
    applyFont();
}

void ReportWindow::SetReportFixedPitch(bool fixed) {
    fixed_ = fixed;
    applyFont();
}

void ReportWindow::applyFont() {
    QFont f = fixed_ ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : font();
    f.setPointSize(points_);
    text_->setFont(f);
}

void ReportWindow::ShowReport() {
    text_->moveCursor(QTextCursor::Start);
    exec();
}

}  // namespace sw
