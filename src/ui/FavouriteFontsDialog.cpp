// The favourite fonts window.
#include "ui/FavouriteFontsDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <functional>

#include "core/MessageIds.h"
#include "core/Messages.h"
#include "ui/PaletteDialogs.h"

namespace sw {

namespace {

QFont QtFont(const FontSetting& f) {
    QFont font(QString::fromStdString(f.name.empty() ? "Liberation Serif" : f.name));
    font.setPointSize(std::clamp(f.size > 0 ? f.size : 12, 6, 28));
    const uint8_t style = FavouriteFontDesc(f).style;
    font.setBold(style & kBold);
    font.setItalic(style & kItalic);
    font.setUnderline(style & kUnderline);
    font.setStrikeOut(style & kStrikeOut);
    return font;
}

FontSetting SettingOf(const QFont& font, const FontSetting& old) {
    FontSetting f = old;
    f.name = font.family().toStdString();
    f.size = font.pointSize() > 0 ? font.pointSize() : old.size;
    f.style.clear();
    if (font.bold()) f.style += 'B';
    if (font.italic()) f.style += 'I';
    if (font.underline()) f.style += 'U';
    if (font.strikeOut()) f.style += 'S';
    return f;
}

// One favourite: its description of use in its own font; left and right clicks.
class FavouriteLabel : public QLabel {
  public:
    std::function<void(bool right)> clicked;
    using QLabel::QLabel;

  protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (clicked) clicked(e->button() == Qt::RightButton);
    }
};

// Builds the window; returns the chosen number in select mode.
int Run(QWidget* parent, FavouriteFontsModel& model, bool select, Score* score, Host& host) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QString::fromStdString(MessageText(msg::FavouriteFontsCaption)));
    auto* outer = new QVBoxLayout(&dialog);
    auto* heading = new QLabel("<b>" + QString::fromStdString(model.heading()) + "</b>");
    outer->addWidget(heading);
    outer->addWidget(new QLabel(QString::fromStdString(model.hintLine())));
    auto* splitter = new QSplitter;
    QWidget* halves[2] = {new QWidget, new QWidget};
    QVBoxLayout* columns[2] = {new QVBoxLayout(halves[0]), new QVBoxLayout(halves[1])};
    std::vector<FavouriteLabel*> labels;
    // Plain text: a description may hold any character, "&" and "<" included.
    auto textOf = [&model](int n) {
        return QString("%1  ").arg(FavouriteFontsModel::accessLetter(n)) +
               QString::fromStdString(model.description(n));
    };
    // The hint describes the font itself: name, size and style.
    auto hintOf = [&model](int n) {
        const FontSetting& f = model.font(n);
        QString hint = QString::fromStdString(f.name) + ", " + QString::number(f.size) + " pt";
        if (!f.style.empty()) hint += " " + QString::fromStdString(f.style);
        return hint;
    };
    for (int n = 1; n <= FavouriteFontsModel::kCount; ++n) {
        auto* label = new FavouriteLabel;
        label->setTextFormat(Qt::PlainText);
        label->setText(textOf(n));
        label->setFont(QtFont(model.font(n)));
        label->setToolTip(hintOf(n));
        label->setCursor(Qt::PointingHandCursor);
        label->clicked = [&, n, label](bool right) {
            if (select) {
                if (right) return;
                model.click(n);
                dialog.accept();
                return;
            }
            if (right) {
                model.rename(n, host);
            } else {
                if (const std::optional<QFont> chosen =
                        ChooseFont(&dialog, QtFont(model.font(n)), QString()))
                    model.changeFont(n, SettingOf(*chosen, model.font(n)), score, host);
            }
            label->setText(textOf(n));
            label->setFont(QtFont(model.font(n)));
            label->setToolTip(hintOf(n));
        };
        columns[(n - 1) / 8]->addWidget(label);
        labels.push_back(label);
    }
    splitter->addWidget(halves[0]);
    splitter->addWidget(halves[1]);
    splitter->setSizes({1, 1});
    outer->addWidget(splitter);
    if (!select) {
        auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok);
        QObject::connect(ok, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        outer->addWidget(ok);
    }
    // The access letters choose as a click does.
    for (int n = 1; n <= FavouriteFontsModel::kCount; ++n) {
        auto* shortcut = new QPushButton(&dialog);
        shortcut->setShortcut(QKeySequence(QString(FavouriteFontsModel::accessLetter(n))));
        shortcut->setFixedSize(0, 0);
        QObject::connect(shortcut, &QPushButton::clicked, &dialog,
                         [&labels, n] { labels[n - 1]->clicked(false); });
    }
    dialog.resize(620, 420);
    dialog.exec();
    return model.chosen();
}

}  // namespace

void RunFavouriteFontsDialog(QWidget* parent, Settings& settings, Score* score, Host& host) {
    const bool american = settings.language == 1;
    FavouriteFontsModel model(settings.favourites, false, american);
    Run(parent, model, false, score, host);
    model.close(settings.favourites);
}

int SelectFavouriteFont(QWidget* parent, const Settings& settings, bool american, Host& host) {
    FavouriteFontsModel model(settings.favourites, true, american);
    return Run(parent, model, true, nullptr, host);
}

}  // namespace sw
