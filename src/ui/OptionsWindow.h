// TOptionForm2, the options window: a thin Qt window over OptionsForm, made
// once and shown again for every "&Configure"; the score information window;
// and the machine's facts the window reads.
#pragma once

#include <QDialog>
#include <vector>

#include "editor/dialogs/OptionsForm.h"
#include "platform/LinuxFolderFacts.h"
#include "platform/SystemFacts.h"

class QTabWidget;

namespace sw {

class Host;

class TOptionForm2 : public QDialog {
    Q_OBJECT

  public:
    explicit TOptionForm2(QWidget* parent);
    // Puts the window on `form` (its widgets made on first use) without showing it.
    void bind(OptionsForm& form, Host& host);
    // Shows it modally: true when OK closed it with valid values.
    bool run(OptionsForm& form, Host& host);

  private:
    void build(const OptionsForm& form);
    QWidget* makeWidget(const OptionControl& c, int id);
    void refresh();
    void tryAccept();

    OptionsForm* form_ = nullptr;
    Host* host_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::vector<QWidget*> widgets_;  // by control id
    bool refreshing_ = false;
    int lastTab_ = 0;
};

// The printers, with "Printer Set&up" as the system's page setup dialog.
class DialogPrinterFacts : public QtPrinterFacts {
  public:
    explicit DialogPrinterFacts(QWidget* parent) : parent_(parent) {}
    bool setUp(const std::string& printer) override;

  private:
    QWidget* parent_;
};

// What the main window lends the options window.
struct DesktopFacts {
    explicit DesktopFacts(QWidget* parent) : printers(parent) {}
    LinuxFolderFacts folders;
    LinuxSystemFacts system;
    DialogPrinterFacts printers;
};

// The score information window on its statistics (0) or fonts (1) page.
void RunScoreInformation(QWidget* parent, const Score& score, int page);

}  // namespace sw
