#pragma once

#include "TestSupport.h"

#include "widgets/ShowMessageDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>

// What the window tests share: typing as a user types, a window's own controls, sound files.
namespace uitest {

// Types TEXT as key presses; unlike QTest::keyClicks it also types letters outside ASCII.
inline void typeText(QWidget *target, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// The control NAME of WINDOW itself, not of the dialogs it owns (they reuse the button names).
template <typename T = QLineEdit> T *own(QWidget &window, const char *name)
{
    for (T *w : window.findChildren<T *>(QLatin1String(name)))
        if (w->window() == &window)
            return w;
    qFatal("no control %s", name);
}

// A file under the test's data folder that the sound checks accept: it exists and its name
// ends in ".wav".
inline QString makeWave(const QString &relative)
{
    const QString path = testsupport::testDataDir() + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    testsupport::writeFile(path, QByteArray("RIFF\x24\0\0\0WAVE", 12));
    return path;
}

// The message boxes answered through MessageDialogHook since the last look, as "caption|text".
inline QStringList messages()
{
    QStringList out;
    for (const MessageDialogHook::Record &shown : MessageDialogHook::takeAnswered())
        out << shown.caption + u'|' + shown.text;
    return out;
}

} // namespace uitest
