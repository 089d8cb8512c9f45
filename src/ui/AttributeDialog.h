// The attribute dialogs' window: built from the form the controller made,
// it shows the form after every change and hands each click and text back.
#pragma once

#include <QDialog>
#include <vector>

#include "editor/dialogs/AttributeForm.h"

class QLabel;

namespace sw {

class GlyphStore;
class Host;

class AttributeDialogWidget : public QDialog {
  public:
    // `colour` is the settings' dialog colour (0x00BBGGRR); `glyphs` draws
    // the line preview (none without).
    AttributeDialogWidget(QWidget* parent, AttributeForm& form, Host& host, uint32_t colour,
                          const GlyphStore* glyphs);
    // Shows the form's state: choices, texts, enabled controls and tabs.
    void refresh();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void tryAccept();
    void drawPreview();

    AttributeForm& form_;
    Host& host_;
    const GlyphStore* glyphs_;
    std::vector<QWidget*> widgets_;  // one per control (the group box of a radio group)
    QLabel* preview_ = nullptr;
    bool refreshing_ = false;
};

// Runs the dialog: true when OK (or a closing choice) closed it.
bool RunAttributeForm(QWidget* parent, AttributeForm& form, Host& host, uint32_t colour,
                      const GlyphStore* glyphs);

}  // namespace sw
