#include "widgets/ShowMessageDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

// The program's message box: the swapped "Yes to all", plain text, width and the real modal run.
class TestMessageDialog : public QObject
{
    Q_OBJECT

private slots:
    void yesToAllTradesPlacesWithNo()
    {
        const auto buttons = QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No;
        QMessageBox plain(QMessageBox::Question, u"x"_s, u"y"_s, buttons);
        auto box = CreateMessageDialog(u"x"_s, u"y"_s, QMessageBox::Question, buttons, 1);
        for (QMessageBox *shown : {&plain, box.get()}) {
            shown->show();
            QVERIFY(QTest::qWaitForWindowExposed(shown));
        }
        auto x = [](QMessageBox &in, QMessageBox::StandardButton which) { return in.button(which)->x(); };
        QVERIFY(x(plain, QMessageBox::YesToAll) != x(plain, QMessageBox::No));
        // Both dialogs share font metrics only roughly; the order is what must flip.
        QCOMPARE(x(*box, QMessageBox::YesToAll) > x(*box, QMessageBox::No),
                 x(plain, QMessageBox::YesToAll) < x(plain, QMessageBox::No));
        // The plain "Yes" keeps its place relative to both.
        QVERIFY(x(*box, QMessageBox::Yes) != x(*box, QMessageBox::YesToAll));
    }

    void textIsNeverMarkup()
    {
        const QString text = u"<b>Ana</b> & <i>Ivo</i>"_s;
        auto box = CreateMessageDialog(u"x"_s, text, QMessageBox::Information, QMessageBox::Ok, 1);
        QCOMPARE(box->textFormat(), Qt::PlainText);
        auto *label = box->findChild<QLabel *>(u"qt_msgbox_label"_s);
        QCOMPARE(label->text(), text);
    }

    void longLinesKeepTheirWidth()
    {
        // A line shorter than half the screen is not wrapped into a narrow column.
        const QString line(70, QLatin1Char('m'));
        auto box = CreateMessageDialog(u"x"_s, line, QMessageBox::Information, QMessageBox::Ok, 1);
        auto *label = box->findChild<QLabel *>(u"qt_msgbox_label"_s);
        QVERIFY2(label->minimumWidth() >= QFontMetrics(box->font()).horizontalAdvance(line) - 1,
                 qPrintable(QString::number(label->minimumWidth())));
    }

    void modalRunReturnsTheChosenButton()
    {
        MessageDialogHook::clear();
        SetMessageDialogLanguage([] { return 1; });
        QString seenCaption;
        // A box over a window that stays on top would open behind it unless it stays on top too.
        QWidget window(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint), *seenParent = nullptr;
        bool seenOnTop = false;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            seenParent = box->parentWidget(),
            seenOnTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            seenCaption = box->button(QMessageBox::No)->text();
            box->button(QMessageBox::No)->click();
        });
        const auto answer = ShowMessageDialog(u"Odbij!"_s, u"Sigurno?"_s, QMessageBox::Question,
                                              QMessageBox::Yes | QMessageBox::No, &window);
        SetMessageDialogLanguage(nullptr);
        QCOMPARE(answer, QMessageBox::No);
        QCOMPARE(seenCaption, u"&Ne"_s);
        QVERIFY(seenParent == &window && seenOnTop);
        // Language index 0 is English: the buttons keep their English captions.
        auto english =
            CreateMessageDialog(u"x"_s, u"y"_s, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, 0);
        QCOMPARE(english->button(QMessageBox::No)->text(), u"&No"_s);
    }
};

QTEST_MAIN(TestMessageDialog)
#include "tst_messagedialog.moc"
