#include "app/MonitorProgram.h"
#include "platform/DisplaySession.h"
#include "platform/SingleInstance.h"
#include "settings/Settings.h"
#include "widgets/Skin.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

int main(int argc, char *argv[])
{
    // A second start ends at once, without a window or a message.
    SingleInstance instance;
    if (!instance.acquire())
        return 0;

    // On a Wayland session the call windows run through Xwayland, where they can place and shape
    // themselves; a platform the user chose is kept.
    displaysession::preferXwayland();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tellwise Monitor"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tellwise Monitor"));
    QApplication::setDesktopFileName(QStringLiteral("tellwise-monitor"));
    // Every window without an icon of its own shows the program's.
    QApplication::setWindowIcon(skin::pixmap(QStringLiteral("mainLogo")));
    // The program lives in the tray: closing a dialog must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    // The built-in texts are Croatian; the English ones are loaded before any window exists.
    // Qt's own dialogs and buttons follow the same language.
    const QString programPath = QCoreApplication::applicationFilePath();
    const QStringList desktopLanguages = QLocale::system().uiLanguages();
    Settings::chooseFirstLanguage(programPath, QLocale(desktopLanguages.value(0)));
    const bool english = Settings::overrideSelectsEnglish(programPath);
    QTranslator ours, qt;
    // The Croatian module holds only the plural forms of counted words ("3 osobe", "5 osoba").
    if (ours.load(english ? QStringLiteral(":/translations/tellwise_en.qm")
                          : QStringLiteral(":/translations/tellwise_hr.qm")))
        QCoreApplication::installTranslator(&ours);
    if (!english && qt.load(QLocale(QLocale::Croatian), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt);

    MonitorProgram program;
    // The end of the session cannot stop an event loop that has not started yet.
    if (program.ended())
        return 0;
    // Start-up may open modal windows (a missing device); run it inside the event loop.
    QTimer::singleShot(0, &program, &MonitorProgram::start);
    return QApplication::exec();
}
