#include "ui/TfrmReading.h"

#include "widgets/Skin.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QVBoxLayout>

TfrmReading::TfrmReading(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmReading"));
    // A dialog frame without the system buttons: the work ends the window, not the user.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(280, 129);
    // While it shows, the lists behind it must not change under the work.
    setWindowModality(Qt::ApplicationModal);

    imgPicture = new QWidget;
    imgPicture->setObjectName(QStringLiteral("imgPicture"));
    imgPicture->setFixedSize(36, 36);
    imgPicture->installEventFilter(this);

    lblLocation = new QLabel;
    lblLocation->setObjectName(QStringLiteral("lblLocation"));
    lblCount = new QLabel;
    lblCount->setObjectName(QStringLiteral("lblCount"));
    auto *facts = new QGridLayout;
    facts->addWidget(new QLabel(tr("Lokacija:")), 0, 0);
    facts->addWidget(lblLocation, 0, 1);
    facts->addWidget(new QLabel(tr("Upisano:")), 1, 0);
    facts->addWidget(lblCount, 1, 1);
    facts->setColumnStretch(1, 1);
    auto *top = new QHBoxLayout;
    top->addWidget(imgPicture, 0, Qt::AlignTop);
    top->addLayout(facts, 1);

    lblPosition = new QLabel(tr("Čitam podatke sa pozicije br. %1").arg(1));
    lblPosition->setObjectName(QStringLiteral("lblPosition"));
    pgbReading = new QProgressBar;
    pgbReading->setObjectName(QStringLiteral("pgbReading"));
    pgbReading->setRange(0, 100);
    pgbReading->setTextVisible(false);
    lblProgress = new QLabel(QStringLiteral("0%"));
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("100%")));
    lblProgress->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *progress = new QHBoxLayout;
    progress->addWidget(pgbReading, 1);
    progress->addWidget(lblProgress);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lblPosition);
    layout->addLayout(progress);
    layout->addWidget(new QLabel(tr("Trenutak, molim . . .")));
}

void TfrmReading::prepare(const QString &caption, const QString &location, int count, const QString &position)
{
    setWindowTitle(caption);
    lblLocation->setText(location);
    lblCount->setText(QString::number(count));
    setProgress(position, 0);
    imgPicture->update();
}

void TfrmReading::setProgress(const QString &position, int percent)
{
    lblPosition->setText(position);
    pgbReading->setValue(percent);
    lblProgress->setText(QString::number(percent) + QLatin1Char('%'));
}

bool TfrmReading::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == imgPicture && event->type() == QEvent::Paint) {
        QPainter painter(imgPicture);
        painter.drawPixmap(0, 0, skin::pixmap(QStringLiteral("imagesSearch%1").arg(ReadingPicture)));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
