#include "store/CountryList.h"

#include "store/Cp1250.h"
#include "store/DataDir.h"

#include <QFile>

namespace {

QByteArray countryFileBytes()
{
    QFile file(ShippedFile(QStringLiteral("CountryList.dat")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The file's lines that can describe a country: not empty and holding a "]". Lines end in
// CR LF, LF or a lone CR.
QStringList countryLines(const QByteArray &bytes)
{
    const QString text = DecodeCp1250(bytes);
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i <= size; ++i) {
        if (i < size && text[i] != QLatin1Char('\r') && text[i] != QLatin1Char('\n'))
            continue;
        const QString line = text.mid(start, i - start);
        if (!line.isEmpty() && line.contains(QLatin1Char(']')))
            lines.append(line);
        if (i + 1 < size && text[i] == QLatin1Char('\r') && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    return lines;
}

// The text up to the first "]", without a leading "[".
QString nameOfLine(const QString &line)
{
    QString name = line.left(line.indexOf(QLatin1Char(']')));
    if (name.startsWith(QLatin1Char('[')))
        name.remove(0, 1);
    return name;
}

// The text after the second "[", without a trailing "]"; empty when there is no second "[".
QString codeOfLine(const QString &line)
{
    QString code = line;
    if (code.startsWith(QLatin1Char('[')))
        code.remove(0, 1);
    const qsizetype open = code.indexOf(QLatin1Char('['));
    if (open < 0)
        return {};
    code.remove(0, open + 1);
    if (code.endsWith(QLatin1Char(']')))
        code.chop(1);
    return code;
}

} // namespace

QStringList CountryNamesIn(const QByteArray &fileBytes)
{
    QStringList names;
    for (const QString &line : countryLines(fileBytes))
        names.append(nameOfLine(line));
    return names;
}

QString CountryCodeIn(const QByteArray &fileBytes, const QString &name)
{
    for (const QString &line : countryLines(fileBytes)) {
        if (nameOfLine(line) == name)
            return codeOfLine(line);
    }
    return {};
}

QString CountryNameIn(const QByteArray &fileBytes, const QString &code)
{
    // An empty code would find the first line without one; nobody asks for the country of
    // no code.
    if (code.isEmpty())
        return {};
    for (const QString &line : countryLines(fileBytes)) {
        if (codeOfLine(line) == code)
            return nameOfLine(line);
    }
    return {};
}

QStringList LoadCountryNames()
{
    return CountryNamesIn(countryFileBytes());
}

QString CountryCodeOf(const QString &name)
{
    return CountryCodeIn(countryFileBytes(), name);
}

QString CountryNameOf(const QString &code)
{
    return CountryNameIn(countryFileBytes(), code);
}
