// The options window: every control of its form is in it by its component
// name, with and without a document; clicks reach the model; the window is
// made once; Configure in the main window opens it and OK reaches the tool bars.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/ScriptedHost.h"
#include "editor/Actions.h"
#include "model/Build.h"
#include "support/TestSupport.h"
#include "ui/DocumentWindow.h"
#include "ui/MainWindow.h"
#include "ui/OptionsWindow.h"

namespace sw {
namespace {

class TwoPrinters : public PrinterFacts {
  public:
    std::vector<std::string> printers() const override { return {"Laser", "Ink"}; }
    std::string defaultPrinter() const override { return "Laser"; }
    std::optional<PrintableArea> area(const std::string& p) const override {
        PrintableArea a;
        a.pageHeight = p == "Ink" ? 11.0 : 11.69;
        a.pageWidth = 8.27, a.left = a.top = a.right = a.bottom = 0.25;
        a.dpiX = a.dpiY = 600;
        return a;
    }
};

struct Window {
    explicit Window(Score* score) : model(settings, score, false) {
        model.platform.printers = &printers;
        form = std::make_unique<OptionsForm>(model, host, warnings, OptionsHelpers{});
    }
    Settings settings;
    TwoPrinters printers;
    ScriptedHost host;
    WarningBox warnings;
    OptionsModel model;
    std::unique_ptr<OptionsForm> form;
};

TEST(OptionsWindow, EveryControlIsThereByItsNameWithAndWithoutADocument) {
    Score score;
    AppendStave(score, 100, 20, 600);
    TOptionForm2 w(nullptr);
    EXPECT_EQ(w.windowTitle(), "Staffwright 5 Options");
    for (Score* open : {static_cast<Score*>(nullptr), &score}) {
        Window o(open);
        w.bind(*o.form, o.host);
        auto* tabs = w.findChild<QTabWidget*>();
        ASSERT_NE(tabs, nullptr);
        ASSERT_EQ(tabs->count(), 9);
        for (int t = 0; t < 9; ++t)
            EXPECT_EQ(tabs->tabText(t).toStdString(), OptionsForm::kTabs[std::size_t(t)]);
        EXPECT_EQ(tabs->isTabVisible(OptionsForm::kScoreTab), open != nullptr);
        for (const OptionControl& c : o.form->controls()) {
            if (!c.name.empty()) {
                EXPECT_NE(w.findChild<QWidget*>(QString::fromStdString(c.name)), nullptr) << c.name;
            }
            for (const std::string& n : c.choiceNames)
                EXPECT_NE(w.findChild<QRadioButton*>(QString::fromStdString(n)), nullptr) << n;
        }
        EXPECT_FALSE(w.findChild<QPushButton*>("bbResolution")->isEnabled());
        EXPECT_EQ(w.findChild<QPushButton*>("bbOK")->text(), "O&K");
        EXPECT_EQ(w.findChild<QPushButton*>("bbCancel")->text(), "C&ancel");
        EXPECT_EQ(w.findChild<QPushButton*>("bbExplain")->text(), "Explain");
        EXPECT_EQ(w.findChild<QLabel*>("labActAtOnce")->text().toStdString(),
                  MessageText(msg::OptionsActAtOnce));
        // Made once: the second binding finds the same widgets.
        EXPECT_EQ(w.findChildren<QCheckBox*>("cb13").size(), 1);
    }
}

TEST(OptionsWindow, ClicksReachTheModelAndEscapeCancels) {
    Score score;
    AppendStave(score, 100, 20, 600);
    Window o(&score);
    TOptionForm2 w(nullptr);
    w.bind(*o.form, o.host);
    auto pulse = [&w](int k) {
        return w.findChild<QRadioButton*>(QString("rgPulse_%1").arg(k))->text().toStdString();
    };
    EXPECT_EQ(pulse(1), PulseNames(false)[1]);
    w.findChild<QRadioButton*>("rbUS")->click();
    EXPECT_TRUE(o.model.values.american);
    EXPECT_EQ(pulse(1), PulseNames(true)[1]);

    auto* minutes = w.findChild<QSpinBox*>("sebackupmins");
    minutes->setValue(12);
    EXPECT_EQ(o.model.values.backupMinutes, 12);
    EXPECT_EQ(minutes->singleStep(), 5);

    w.findChild<QCheckBox*>("cb13")->setChecked(false);  // "Undo"
    EXPECT_EQ(o.model.values.toolbar & (1 << 12), 0);
    EXPECT_NE(o.model.values.toolbar & (1 << 11), 0);

    // A printer chosen acts at once and its figures follow.
    auto* printer = w.findChild<QComboBox*>("cbPrinter");
    ASSERT_EQ(printer->count(), 2);
    EXPECT_EQ(printer->currentText(), "Laser");
    EXPECT_EQ(w.findChild<QLabel*>("labPageHeight")->text(), "11.690\"");
    emit printer->activated(1);
    EXPECT_EQ(o.settings.printer, "Ink");
    EXPECT_EQ(w.findChild<QLabel*>("labPageHeight")->text(), "11.000\"");

    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&w, &esc);
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_TRUE(o.host.problems().empty());
}

TEST(OptionsWindow, ConfigureOpensItAndOkReachesTheToolBars) {
    test::TempDir dir;
    const AppFolder folder = PrepareApplicationFolder(dir.path(), "", dir.file("cfg"));
    Settings settings;
    settings.maximised = false;
    TMainForm window(folder, settings, IniFile{}, true);
    // Without a document: no score tab; OK keeps a changed scroll speed.
    auto answer = [](std::function<void(TOptionForm2&)> act) {
        QTimer::singleShot(0, [act] {
            auto* w = qobject_cast<TOptionForm2*>(QApplication::activeModalWidget());
            ASSERT_NE(w, nullptr);
            act(*w);
        });
    };
    answer([](TOptionForm2& w) {
        EXPECT_FALSE(w.findChild<QTabWidget*>()->isTabVisible(OptionsForm::kScoreTab));
        w.findChild<QCheckBox*>("cb13")->setChecked(false);
        w.findChild<QPushButton*>("bbOK")->click();
    });
    window.findChild<QAction*>("miConfigure")->trigger();

    ASSERT_TRUE(
        window.openScore(std::string(STAFFWRIGHT_SOURCE_DIR) + "/examples/minuet.swn", false));
    TMDIChild& doc = *window.document();
    QToolBar* main = nullptr;
    for (QToolBar* bar : doc.findChildren<QToolBar*>())
        if (bar->windowTitle() == "Main") main = bar;
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(main->actions().contains(doc.action(Action::Undo)));
    answer([](TOptionForm2& w) {
        EXPECT_TRUE(w.findChild<QTabWidget*>()->isTabVisible(OptionsForm::kScoreTab));
        w.findChild<QCheckBox*>("cb13")->setChecked(true);
        w.findChild<QCheckBox*>("cb12")->setChecked(false);
        w.findChild<QSpinBox*>("sefirstpage")->setValue(5);
        w.findChild<QPushButton*>("bbOK")->click();
    });
    window.findChild<QAction*>("miConfigure")->trigger();
    EXPECT_TRUE(main->actions().contains(doc.action(Action::Undo)));
    EXPECT_FALSE(main->actions().contains(doc.action(Action::DeleteStave)));
    // The page tabs count from the new first page.
    bool renamed = false;
    for (QTabBar* bar : window.findChildren<QTabBar*>())
        renamed |= bar->count() == 2 && bar->tabText(0) == "5" && bar->tabText(1) == "6";
    EXPECT_TRUE(renamed);
    EXPECT_EQ(doc.score().Page1, 5);
    // The bar's own widget survives the refill, back on the bar.
    auto* strings = doc.findChild<QWidget*>("tbstrings");
    ASSERT_NE(strings, nullptr);
    EXPECT_EQ(strings->parentWidget(), main);
}

}  // namespace
}  // namespace sw
