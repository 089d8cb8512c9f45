// The user's side of the Host interface: Qt message boxes, input boxes, the
// warning box with its "don't show again" check box, file dialogs and the
// progress box.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "core/Host.h"

class QProgressDialog;

namespace sw {

class QtHost : public Host {
  public:
    explicit QtHost(QWidget* parent = nullptr);
    ~QtHost() override;
    void setParent(QWidget* parent) { parent_ = parent; }

    Answer message(MsgType type, const std::string& text, Buttons buttons) override;
    std::optional<std::string> input(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override;
    WarningAnswer warning(const std::string& text, Buttons buttons) override;
    std::optional<std::string> openFileName(const FileDialogSpec& spec) override;
    std::optional<std::string> saveFileName(const FileDialogSpec& spec) override;
    void progressBegin(const std::string& text) override;
    void progressText(const std::string& text) override;
    bool progressStep(int percent) override;
    void progressEnd() override;
    void setBusy(bool busy) override;

    // "Staffwright|*.SWN|All|*.*" as a Qt file dialog filter.
    static QString QtFilter(const std::string& filter);

  private:
    QPointer<QWidget> parent_;
    std::unique_ptr<QProgressDialog> progress_;
    int busy_ = 0;
};

}  // namespace sw
