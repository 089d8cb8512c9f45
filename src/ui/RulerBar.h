// A ruler beside the page: draws what the window says it should show, and
// passes a right-click on to the window's ruler menu.
#pragma once

#include <QWidget>
#include <functional>

#include "render/PageView.h"

namespace sw {

class RulerBar : public QWidget {
  public:
    // `view` is asked on every repaint, so the ruler follows the page as it
    // scrolls or moves without being told where it went.
    RulerBar(bool top, std::function<RulerView()> view, std::function<void(QPoint)> menu,
             QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    std::function<RulerView()> view_;
    std::function<void(QPoint)> menu_;
};

}  // namespace sw
