#include "app/TfrmAbout.h"

#include "app/TfrmStart.h"
#include "store/DataDir.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TfrmAbout::TfrmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Tellwise Monitor 2.0"));

    auto *program = new QWidget;
    auto *icon = new QLabel;
    icon->setPixmap(TfrmStart::trayIcon(TfrmStart::TrayState::ActiveMonitor).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);
    auto *text = new QLabel(tr("<b>Tellwise Monitor 2.0</b><br><br>"
                               "Prikaz pozivatelja za jednu telefonsku liniju: modem s prikazom broja<br>"
                               "ili ISDN adapter (CAPI 2.0).<br><br>"
                               "Broji i bilježi svaki poziv, pronalazi pozivatelja u adresaru<br>"
                               "i prikazuje njegovo ime, broj, sliku i bilješke."));
    text->setObjectName(QStringLiteral("lblProgram"));
    text->setTextFormat(Qt::RichText);
    auto *programLayout = new QHBoxLayout(program);
    programLayout->addWidget(icon);
    programLayout->addWidget(text, 1);

    auto *files = new QLabel(tr("Podaci: %1").arg(DataDir().toHtmlEscaped()));
    files->setObjectName(QStringLiteral("lblFiles"));
    files->setTextInteractionFlags(Qt::TextSelectableByMouse);
    files->setWordWrap(true);
    files->setAlignment(Qt::AlignTop | Qt::AlignLeft);

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
