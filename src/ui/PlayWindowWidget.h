// The "Play music" tool window: shows the play window's state and passes its
// controls on; the music logic is PlayWindow's.
#pragma once

#include <QDialog>
#include <QTimer>

#include "editor/PlayWindow.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class QToolButton;
class QWidget;

namespace sw {

class PlayWindowWidget : public QDialog {
    Q_OBJECT

  public:
    PlayWindowWidget(QWidget* parent, PlayWindow& model);
    // Shown, hidden, sized and filled as the model says.
    void refresh();
    QPushButton* button(Action a) const;

  protected:
    void changeEvent(QEvent* e) override;
    void reject() override;
    void closeEvent(QCloseEvent* e) override;

  private:
    void resizeTo(int height);

    PlayWindow& model_;
    QTimer poll_, grow_;
    std::vector<int> steps_;
    bool placed_ = false, refreshing_ = false;
    QButtonGroup* range_ = nullptr;
    QCheckBox *continueOn_ = nullptr, *repeats_ = nullptr, *grace_ = nullptr;
    QSpinBox *tempo_ = nullptr, *proximity_ = nullptr;
    QToolButton* dotted_ = nullptr;
    QSlider* volume_ = nullptr;
    QComboBox* instrument_ = nullptr;
    QLabel* temperament_ = nullptr;
    QWidget* options_ = nullptr;
    std::vector<std::pair<Action, QPushButton*>> buttons_;
};

}  // namespace sw
