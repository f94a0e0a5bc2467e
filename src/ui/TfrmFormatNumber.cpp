#include "ui/TfrmFormatNumber.h"

#include "store/CountryList.h"
#include "store/Numbers.h"

#include "ui/DialogSeams.h"
#include <QComboBox>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmFormatNumber::TfrmFormatNumber(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFormatNumber"));
    setWindowTitle(tr("Format telefonskog broja"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    cbCountries = new QComboBox;
    cbCountries->setObjectName(QStringLiteral("cbCountries"));
    cbCountries->setMaxVisibleItems(20);
    cbCountries->addItems(LoadCountryNames());
    cbCountries->setCurrentIndex(-1);
    cbCountries->setMinimumWidth(220);

    editCityCode = new QLineEdit;
    editCityCode->setObjectName(QStringLiteral("editCityCode"));
    editCityCode->setMaximumWidth(80);
    editLocalNumber = new QLineEdit;
    editLocalNumber->setObjectName(QStringLiteral("editLocalNumber"));

    auto *details = new QGroupBox(tr(" Detalji telefonskog broja:"));
    details->setObjectName(QStringLiteral("gbDetails"));
    auto *form = new QFormLayout(details);
    form->addRow(tr("Država:"), cbCountries);
    form->addRow(tr("Pozivni broj:"), editCityCode);
    form->addRow(tr("Lokalni broj:"), editLocalNumber);

    lblFormatedNumber = new QLabel;
    lblFormatedNumber->setObjectName(QStringLiteral("lblFormatedNumber"));
    lblFormatedNumber->setAlignment(Qt::AlignCenter);
    lblFormatedNumber->setTextFormat(Qt::PlainText);
    lblFormatedNumber->setMinimumHeight(28);
    QFont big = lblFormatedNumber->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    lblFormatedNumber->setFont(big);
    gbFormated = new QGroupBox;
    gbFormated->setObjectName(QStringLiteral("gbFormated"));
    (new QVBoxLayout(gbFormated))->addWidget(lblFormatedNumber);

    QDialogButtonBox *buttons = AcceptCancelButtons(this, tr("U redu"), "btnOK", btnOK, btnCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(details);
    layout->addWidget(gbFormated);
    layout->addWidget(buttons);
    // Made default only inside the dialog, so the dialog keeps it as its main default button
    // even after another button had the focus.
    btnOK->setDefault(true);

    connect(cbCountries, &QComboBox::currentIndexChanged, this, &TfrmFormatNumber::cbCountriesChange);
    connect(editCityCode, &QLineEdit::textChanged, this, &TfrmFormatNumber::cbCountriesChange);
    connect(editLocalNumber, &QLineEdit::textChanged, this, &TfrmFormatNumber::cbCountriesChange);
}

PhoneNumberParts TfrmFormatNumber::SplitPhoneNumber(const QString &typed)
{
    QString number = typed.trimmed();
    if (number.startsWith(QLatin1String("00")))
        number.replace(0, 2, QLatin1Char('+'));

    PhoneNumberParts parts;
    if (number.startsWith(QLatin1Char('+'))) {
        qsizetype end = number.indexOf(QLatin1Char('('));
        if (end < 0)
            end = number.indexOf(QLatin1Char(' '));
        // Without a bracket or a blank nothing tells where the code ends; the whole number then
        // stays the local part rather than vanish into an unknown country code.
        if (end > 0)
            parts.country = number.left(end).trimmed();
    }

    const qsizetype open = number.indexOf(QLatin1Char('('));
    const qsizetype close = open >= 0 ? number.indexOf(QLatin1Char(')'), open + 1) : -1;
    if (close > open && open >= 0) {
        parts.city = number.mid(open + 1, close - open - 1).trimmed();
        parts.local = number.mid(close + 1).trimmed();
    }
    if (parts.city.isEmpty() || parts.local.isEmpty()) {
        parts.city.clear();
        QString rest = number;
        if (!parts.country.isEmpty())
            rest.remove(rest.indexOf(parts.country), parts.country.size());
        parts.local = rest.trimmed();
    }
    if (parts.city.isEmpty()) {
        const qsizetype slash = parts.local.indexOf(QLatin1Char('/'));
        if (slash >= 0) {
            parts.city = parts.local.left(slash);
            parts.local = parts.local.mid(slash + 1);
        }
    }

    parts.country = PhoneCharsOnly(parts.country);
    parts.city = PhoneCharsOnly(parts.city);
    parts.local = PhoneCharsOnly(parts.local);
    return parts;
}

void TfrmFormatNumber::prepareFor(const QString &number, const QString &location)
{
    if (!location.isEmpty())
        gbFormated->setTitle(QLatin1Char(' ') + location + QLatin1Char(':'));

    const QSignalBlocker quietCountries(cbCountries);
    const QSignalBlocker quietCity(editCityCode);
    const QSignalBlocker quietLocal(editLocalNumber);
    if (number.trimmed().isEmpty()) {
        cbCountries->setCurrentIndex(-1);
        editCityCode->clear();
        editLocalNumber->clear();
    }
    const PhoneNumberParts parts = SplitPhoneNumber(number);
    if (!parts.country.isEmpty())
        cbCountries->setCurrentIndex(cbCountries->findText(CountryNameOf(parts.country), Qt::MatchExactly));
    editCityCode->setText(parts.city);
    editLocalNumber->setText(parts.local);
    cbCountriesChange();
    // The dialog is reused: without this the focus stays on the button that closed it last time,
    // and a Cancel there would take Enter from the default button.
    cbCountries->setFocus();
}

QString TfrmFormatNumber::formattedNumber() const
{
    return lblFormatedNumber->text();
}

void TfrmFormatNumber::cbCountriesChange()
{
    const QString code =
        cbCountries->currentIndex() >= 0 ? CountryCodeOf(cbCountries->currentText()) : QString();
    QString city = editCityCode->text();
    QString local = editLocalNumber->text();
    // Behind a country code the national trunk prefix goes: 091 from Croatia is +385 91. The
    // few plans whose numbers keep their 0 (Italy, San Marino, the Vatican) keep it.
    static const QStringList keepsZero = {QStringLiteral("+39"), QStringLiteral("+378"),
                                          QStringLiteral("+379")};
    if (!code.isEmpty() && !keepsZero.contains(code)) {
        QString &first = city.isEmpty() ? local : city;
        if (first.startsWith(QLatin1Char('0')))
            first.remove(0, 1);
    }
    if (city.isEmpty() && local.isEmpty()) {
        // Nothing typed and no country: the preview is empty, never a number left over from
        // the previous use, which OK would otherwise write into an empty phone field.
        lblFormatedNumber->setText(code);
        return;
    }
    QString preview = code + QStringLiteral(" (") + city + QStringLiteral(") ") + local;
    if (preview.contains(QLatin1String(" () ")))
        preview.remove(preview.indexOf(QLatin1Char('(')), 3);
    lblFormatedNumber->setText(preview.trimmed());
}

void TfrmFormatNumber::done(int result)
{
    QDialog::done(result);
    gbFormated->setTitle(QString());
}
