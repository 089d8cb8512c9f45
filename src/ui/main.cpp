// The program: the application object that keeps exceptions out of Qt's
// event loop, the application folder and settings, one running copy's hold
// on the backup, and the main window.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QLockFile>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>
#include <string>
#include <vector>

#include "app/MainLogic.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "ui/MainWindow.h"

#ifndef STAFFWRIGHT_SHARE_DIR
#define STAFFWRIGHT_SHARE_DIR ""
#endif
#ifndef STAFFWRIGHT_BUILD_SHARE_DIR
#define STAFFWRIGHT_BUILD_SHARE_DIR ""
#endif
#ifndef STAFFWRIGHT_VERSION
#define STAFFWRIGHT_VERSION "5.0"
#endif

namespace {

// The error window for anything a command did not handle itself; the
// program carries on.
void ShowBadNews(const QString& what) {
    auto* w = new QDialog;
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setWindowTitle("Bad news");
    auto* layout = new QVBoxLayout(w);
    layout->addWidget(new QLabel("<b>O drat...</b>"));
    layout->addWidget(new QLabel("This application just caused an unexpected error..."));
    auto* message = new QLabel(what);
    message->setWordWrap(true);
    layout->addWidget(message);
    layout->addWidget(new QLabel(
        "Please contact the supplier with these details\n... or something ...\n\nProgram name : " +
        QApplication::applicationName() + "\nVersion : " + QApplication::applicationVersion() +
        "\nCompilation date : " + QString(__DATE__)));
    auto* ok = new QPushButton("&Press to continue");
    QObject::connect(ok, &QPushButton::clicked, w, &QDialog::close);
    layout->addWidget(ok);
    w->show();
}

// The program's icon, drawn: a stave with a note on a paper square.
QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 64.0, size / 64.0);
        p.setPen(QPen(QColor(43, 112, 49), 3));
        p.setBrush(QColor(253, 251, 240));
        p.drawRoundedRect(QRectF(4, 4, 56, 56), 8, 8);
        p.setPen(QPen(QColor(34, 34, 34), 1.6));
        for (int i = 0; i < 5; ++i)
            p.drawLine(QPointF(10, 20 + 6 * i), QPointF(54, 20 + 6 * i));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(17, 17, 17));
        p.save();
        p.translate(30, 41);
        p.rotate(-20);
        p.drawEllipse(QRectF(-5.5, -4, 11, 8));
        p.restore();
        p.setPen(QPen(QColor(17, 17, 17), 2.2));
        p.drawLine(QPointF(35, 40), QPointF(35, 14));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

class Application : public QApplication {
  public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            ShowBadNews(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            ShowBadNews("An unknown error.");
        }
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    Application qapp(argc, argv);
    QApplication::setApplicationName("Staffwright");
    QApplication::setApplicationVersion(STAFFWRIGHT_VERSION);
    QApplication::setDesktopFileName("staffwright");
    QApplication::setWindowIcon(AppIcon());

    std::string appDirArgument;
    std::vector<std::string> files;
    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--appdir" && i + 1 < args.size())
            appDirArgument = args[++i].toStdString();
        else
            files.push_back(args[i].toStdString());
    }

    std::string share = STAFFWRIGHT_SHARE_DIR;
    // Run from the build tree, the staged copy stands in for the installed data.
    if (!QDir(QString::fromStdString(share)).exists()) share = STAFFWRIGHT_BUILD_SHARE_DIR;
    if (!QDir(QString::fromStdString(share)).exists()) share.clear();
    const sw::AppFolder folder = sw::PrepareApplicationFolder(
        sw::ApplicationDirectory(appDirArgument), share, sw::UserConfigDirectory());

    sw::SettingsEnv env;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        env.screenWidth = screen->size().width(), env.screenHeight = screen->size().height();
    env.northAmerican = sw::NorthAmericanLocale();
    sw::IniFile ini;
    sw::Settings settings = sw::LoadSettingsFile(folder.settingsReadPath, env, ini);

    // Two running copies must not share one backup file.
    QLockFile lock(QDir(QString::fromStdString(folder.dir)).filePath("AutoSave.SWN.lock"));
    lock.setStaleLockTime(0);
    const bool ownsBackup = !folder.readOnly && lock.tryLock(100);

    sw::TMainForm window(folder, std::move(settings), std::move(ini), ownsBackup);
    window.show();
    QTimer::singleShot(0, &window, [&window, files] { window.firstShown(files); });
    return QApplication::exec();
}
