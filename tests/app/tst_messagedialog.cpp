#include "widgets/ShowMessageDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

// The program's message box: the swapped "Yes to all", plain text, width and the real modal run.
class TestMessageDialog : public QObject
{
    Q_OBJECT

private slots:
    void yesToAllTradesPlacesWithNo()
    {
        const auto buttons = QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No;
        QMessageBox plain(QMessageBox::Question, QStringLiteral("x"), QStringLiteral("y"), buttons);
        auto box =
            CreateMessageDialog(QStringLiteral("x"), QStringLiteral("y"), QMessageBox::Question, buttons, 1);
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
        const QString text = QStringLiteral("<b>Ana</b> & <i>Ivo</i>");
        auto box =
            CreateMessageDialog(QStringLiteral("x"), text, QMessageBox::Information, QMessageBox::Ok, 1);
        QCOMPARE(box->textFormat(), Qt::PlainText);
        auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        QCOMPARE(label->text(), text);
    }

    void longLinesKeepTheirWidth()
    {
        // A line shorter than half the screen is not wrapped into a narrow column.
        const QString line(70, QLatin1Char('m'));
        auto box =
            CreateMessageDialog(QStringLiteral("x"), line, QMessageBox::Information, QMessageBox::Ok, 1);
        auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        QVERIFY2(label->minimumWidth() >= QFontMetrics(box->font()).horizontalAdvance(line) - 1,
                 qPrintable(QString::number(label->minimumWidth())));
    }

    void modalRunReturnsTheChosenButton()
    {
        MessageDialogHook::clear();
        SetMessageDialogLanguage([] { return 1; });
        QString seenCaption;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            seenCaption = box->button(QMessageBox::No)->text();
            box->button(QMessageBox::No)->click();
        });
        const auto answer = ShowMessageDialog(QStringLiteral("Odbij!"), QStringLiteral("Sigurno?"),
                                              QMessageBox::Question, QMessageBox::Yes | QMessageBox::No);
        SetMessageDialogLanguage(nullptr);
        QCOMPARE(answer, QMessageBox::No);
        QCOMPARE(seenCaption, QStringLiteral("&Ne"));
        // Language index 0 is English: the buttons keep their English captions.
        auto english = CreateMessageDialog(QStringLiteral("x"), QStringLiteral("y"), QMessageBox::Question,
                                           QMessageBox::Yes | QMessageBox::No, 0);
        QCOMPARE(english->button(QMessageBox::No)->text(), QStringLiteral("&No"));
    }
};

QTEST_MAIN(TestMessageDialog)
#include "tst_messagedialog.moc"
