// The report window as the program's logic sees it: a caption and a list of
// lines, shown on demand. TextReport keeps the report as plain text for the
// command line and the tests.
#pragma once

#include <string>
#include <vector>

#include "core/MessageIds.h"
#include "core/Messages.h"

namespace sw {

class ReportSink {
  public:
    virtual ~ReportSink() = default;
    // Empties the report and names it.
    virtual void ClearReport(const std::string& caption) = 0;
    virtual void AddReportLine(const std::string& line) = 0;
    virtual void SetReportFontSize(int points) = 0;
    virtual void SetReportFixedPitch(bool fixed) = 0;
    // Shows the report and returns when the user has closed it.
    virtual void ShowReport() = 0;
};

class TextReport : public ReportSink {
  public:
    void ClearReport(const std::string& caption) override {
        caption_ = caption;
        lines_.clear();
    }
    void AddReportLine(const std::string& line) override { lines_.push_back(line); }
    void SetReportFontSize(int points) override { fontSize_ = points; }
    void SetReportFixedPitch(bool fixed) override { fixedPitch_ = fixed; }
    void ShowReport() override { ++shown_; }

    const std::string& caption() const { return caption_; }
    const std::vector<std::string>& lines() const { return lines_; }
    int fontSize() const { return fontSize_; }
    bool fixedPitch() const { return fixedPitch_; }
    // How many times the report was shown.
    int shown() const { return shown_; }
    // The lines joined, each ended by a line break.
    std::string text() const {
        std::string out;
        for (const std::string& l : lines_)
            out += l + "\n";
        return out;
    }

  private:
    std::string caption_ = MessageText(msg::ReportCaption);
    std::vector<std::string> lines_;
    int fontSize_ = 10;
    bool fixedPitch_ = false;
    int shown_ = 0;
};

}  // namespace sw
