#include "app/TfrmAbout.h"

#include "app/TrayController.h"
#include "settings/Settings.h"
#include "store/DataDir.h"
#include "store/Numbers.h"
#include "telephony/ModemConfig.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TfrmAbout::TfrmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    // The version the build was made as.
    const QString title = QStringLiteral("Tellwise Monitor " TELLWISE_VERSION);
    setWindowTitle(title);

    auto *program = new QWidget;
    auto *icon = new QLabel;
    icon->setPixmap(TrayController::icon(TrayController::State::ActiveMonitor).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);
    auto *text = new QLabel(QStringLiteral("<b>%1</b><br><br>").arg(title) +
                            tr("Prikaz pozivatelja za jednu telefonsku liniju: modem s prikazom broja,<br>"
                               "ISDN adapter (CAPI 2.0) ili nadzor poziva na mreži.<br><br>"
                               "Broji i bilježi svaki poziv, pronalazi pozivatelja u adresaru<br>"
                               "i prikazuje njegovo ime, broj, sliku i bilješke.<br><br>"
                               "Slobodan program pod licencom GNU GPL, verzije 3 ili novije."));
    text->setObjectName(QStringLiteral("lblProgram"));
    text->setTextFormat(Qt::RichText);
    auto *programLayout = new QHBoxLayout(program);
    programLayout->addWidget(icon);
    programLayout->addWidget(text, 1);

    // Where everything of the program lives, one place a line.
    QString places;
    const auto place = [&places](const QString &what, const QString &where) {
        places += QStringLiteral("<tr><td><b>%1</b>&nbsp;&nbsp;</td><td>%2</td></tr>")
                      .arg(what, where.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")));
    };
    place(tr("Podaci:"), DataDir());
    place(tr("Postavke:"), Settings::filePath());
    place(tr("Modemi:"), telephony::ModemConfig::filePath());
    place(tr("Pozivni broj:"), TelephonyLocationFiles().join(QLatin1Char('\n')));
    place(tr("Dnevnik:"),
          tr("standardni izlaz za greške (dnevnik sesije: journalctl --user ili ~/.xsession-errors)"));
    auto *files = new QLabel(QStringLiteral("<table>%1</table>").arg(places));
    files->setObjectName(QStringLiteral("lblFiles"));
    files->setTextFormat(Qt::RichText);
    files->setTextInteractionFlags(Qt::TextSelectableByMouse);
    files->setWordWrap(true);
    files->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    files->setContentsMargins(9, 9, 9, 9);

    PageControl = new QTabWidget;
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->addTab(program, tr("O programu"));
    PageControl->addTab(files, tr("Datoteke"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("U redu"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    layout->addWidget(buttons);
}

int TfrmAbout::showFirstPage()
{
    PageControl->setCurrentIndex(0);
    return exec();
}
