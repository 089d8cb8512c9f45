// TReportform: the report window, showing what a report sink collected.
#pragma once

#include <QDialog>

#include "core/Report.h"

class QPlainTextEdit;

namespace sw {

class ReportWindow : public QDialog, public ReportSink {
  public:
    explicit ReportWindow(QWidget* parent);
    void ClearReport(const std::string& caption) override;
    void AddReportLine(const std::string& line) override;
    void SetReportFontSize(int points) override;
    void SetReportFixedPitch(bool fixed) override;
    void ShowReport() override;

  private:
    void applyFont();
    QPlainTextEdit* text_ = nullptr;
    int points_ = 10;
    bool fixed_ = false;
};

}  // namespace sw
