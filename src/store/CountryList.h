#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The country dialling list, CountryList.dat: Windows-1250 text, one "[name][code]" line per
// country, codes written as they stand in front of a number ("+385"). The file is found with
// ShippedFile and read again at every call; a missing file is an empty list.

// Every country name, in file order.
QStringList LoadCountryNames();

// The dialling code of the first country with exactly this name, or empty.
QString CountryCodeOf(const QString &name);

// The name of the first country with exactly this dialling code, or empty.
QString CountryNameOf(const QString &code);

// The same, over the given file contents (used by the three above).
QStringList CountryNamesIn(const QByteArray &fileBytes);
QString CountryCodeIn(const QByteArray &fileBytes, const QString &name);
QString CountryNameIn(const QByteArray &fileBytes, const QString &code);
