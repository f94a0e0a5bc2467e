#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// A typed telephone number split into what the number format dialog edits.
struct PhoneNumberParts
{
    QString country; // dialling code with its "+", empty when the number has none
    QString city;
    QString local;

    bool operator==(const PhoneNumberParts &) const = default;
};

// The number format dialog: the user picks the country and types the city code and the local
// number, and the dialog lays them out as "+385 (1) 2345678". Created once and reused; the
// country choice of one use stays for the next use when the number gives no country.
class TfrmFormatNumber : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmFormatNumber(QWidget *parent = nullptr);

    // Splits a typed number: "00" becomes "+", the country code is what precedes "(" (or the
    // first blank) after a "+", the city code stands in brackets or before a "/", and every
    // part keeps only the characters of a phone number.
    static PhoneNumberParts SplitPhoneNumber(const QString &number);

    // Readies the dialog for phone number NUMBER of the given location (the label shown above
    // the result); the caller then shows it modally and, on OK, takes formattedNumber().
    void prepareFor(const QString &number, const QString &location);

    // The number as the preview shows it.
    QString formattedNumber() const;

    // Recomputes the preview from the three inputs; runs on every change of them.
    void cbCountriesChange();

protected:
    void done(int result) override;

private:
    QComboBox *cbCountries = nullptr;
    QLineEdit *editCityCode = nullptr;
    QLineEdit *editLocalNumber = nullptr;
    QGroupBox *gbFormated = nullptr;
    QLabel *lblFormatedNumber = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
};
