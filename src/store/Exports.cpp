#include "store/Exports.h"

#include "store/Cp1250.h"
#include "store/Records.h"

#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace {

// The exported contact fields, in the order of the header (which is not the record order:
// the web pages come after the e-mail addresses).
struct ExportField
{
    QString name;
    std::function<const QString &(const AListAddress &)> value;
};

const std::vector<ExportField> &exportFields()
{
    static const std::vector<ExportField> fields = [] {
        std::vector<ExportField> f;
        auto add = [&f](const char *name, QString AListAddress::*member) {
            f.push_back({QString::fromLatin1(name),
                         [member](const AListAddress &c) -> const QString & { return c.*member; }});
        };
        auto addIndexed = [&f](const char *name, std::size_t count, auto member) {
            for (std::size_t k = 0; k < count; ++k) {
                f.push_back(
                    {QString::fromLatin1(name) + QString::number(k + 1),
                     [member, k](const AListAddress &c) -> const QString & { return (c.*member)[k]; }});
            }
        };
        add("FirstName", &AListAddress::FirstName);
        add("LastName", &AListAddress::LastName);
        add("NickName", &AListAddress::NickName);
        add("DisplayNameAs", &AListAddress::DisplayNameAs);
        add("Group", &AListAddress::Group);
        add("HomeAddress", &AListAddress::HomeAddress);
        add("HomeCity", &AListAddress::HomeCity);
        add("HomePostNo", &AListAddress::HomePostNo);
        add("HomeCountry", &AListAddress::HomeCountry);
        add("CompanyName", &AListAddress::CompanyName);
        add("CompanyDepartment", &AListAddress::CompanyDepartment);
        add("CompanyOffice", &AListAddress::CompanyOffice);
        add("CompanyJobTitle", &AListAddress::CompanyJobTitle);
        add("CompanyAddress", &AListAddress::CompanyAddress);
        add("CompanyCity", &AListAddress::CompanyCity);
        add("CompanyPostNo", &AListAddress::CompanyPostNo);
        add("CompanyCountry", &AListAddress::CompanyCountry);
        addIndexed("PhoneLocation", 8, &AListAddress::PhoneLocation);
        addIndexed("PhoneNumber", 8, &AListAddress::PhoneNumber);
        addIndexed("EMail", 4, &AListAddress::EMail);
        add("HomeWebPage", &AListAddress::HomeWebPage);
        add("CompanyWebPage", &AListAddress::CompanyWebPage);
        add("Notes", &AListAddress::Notes);
        return f;
    }();
    return fields;
}

// RFC 4180: a field that would split the record or the line is quoted, its quotes doubled.
// A spreadsheet runs a cell that begins with "=", "+", "-", "@", a tab or a carriage return as a
// formula, and a caller's name comes from the network: such a cell gets a leading apostrophe, so
// it shows as text. A phone number written "+385 91 ..." is such a cell too; with the apostrophe
// it shows as the number typed, not as a formula or a figure that lost its "+" and leading zeros.
QString csvField(const QString &text)
{
    // The file is in the data files' code page: other scripts in Latin letters, as the data
    // files hold them, rather than question marks.
    const QString cell = StoredText(text, std::numeric_limits<int>::max());
    static const QString formulaStart = QStringLiteral("=+-@\t\r");
    const bool formula = !cell.isEmpty() && formulaStart.contains(cell.front());
    const QString value = formula ? QLatin1Char('\'') + cell : cell;
    static const QString special = QStringLiteral(";\"\r\n");
    if (std::none_of(value.begin(), value.end(), [](QChar c) { return special.contains(c); }))
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool fitsCodePage(char32_t c)
{
    // C1 controls only survive the code page as bytes no Windows-1250 reader can decode.
    if (c >= 0x80 && c <= 0x9F)
        return false;
    if (c == '?' || c < 0x80)
        return true;
    if (c > 0xFFFF)
        return false;
    return EncodeCp1250(QString(QChar(char16_t(c)))) != "?";
}

bool allowedInXml(char32_t c)
{
    if (c < 0x20)
        return c == '\t' || c == '\n' || c == '\r';
    if (c >= 0xD800 && c <= 0xDFFF)
        return false; // a lone surrogate
    return c != 0xFFFE && c != 0xFFFF;
}

// Markup text for a value: the four markup characters as entities, a carriage return as a
// reference where XML would otherwise turn it into a line feed, characters the code page
// cannot hold as references, and characters XML cannot carry at all as "?".
QString markupText(const QString &value, bool keepCarriageReturn)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        char32_t c = value[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(value[i].unicode(), value[i + 1].unicode());
            ++i;
        }
        switch (c) {
        case '&':
            out += QLatin1String("&amp;");
            continue;
        case '<':
            out += QLatin1String("&lt;");
            continue;
        case '>':
            out += QLatin1String("&gt;");
            continue;
        case '"':
            out += QLatin1String("&quot;");
            continue;
        case '\r':
            if (!keepCarriageReturn) {
                out += QLatin1String("&#13;");
                continue;
            }
            break;
        default:
            break;
        }
        if (!allowedInXml(c))
            out += QLatin1Char('?');
        else if (!fitsCodePage(c))
            out += QStringLiteral("&#x%1;").arg(quint32(c), 0, 16);
        else
            out += QChar(char16_t(c));
    }
    return out;
}

QString xmlText(const QString &value)
{
    return markupText(value, false);
}

QString htmlText(const QString &value)
{
    return markupText(value, true);
}

// A stored day count (days since 1899-12-30, integral part) in the locale's short date format;
// empty for a value no calendar holds.
QString shortDateText(double callDate)
{
    if (!std::isfinite(callDate) || std::fabs(callDate) > 1.0e8)
        return {};
    const QDate date = QDate(1899, 12, 30).addDays(qint64(std::trunc(callDate)));
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

QString shortTimeText(double callTime)
{
    if (!std::isfinite(callTime))
        return {};
    const double fraction = std::fabs(callTime - std::trunc(callTime));
    const int ms = std::min(int(std::llround(fraction * 86400000.0)), 86399999);
    return QLocale::system().toString(QTime::fromMSecsSinceStartOfDay(ms), QLocale::ShortFormat);
}

StoreResult writeLines(const QString &fileName, const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    const QByteArray bytes = EncodeCp1250(text);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return StoreResult::failed(
            QCoreApplication::translate("Exports", "Datoteku %1 nije moguće zapisati: %2").arg(fileName, reason));
    }
    return {};
}

QString csvHeader()
{
    QStringList names{QStringLiteral("RecordNo")};
    for (const ExportField &field : exportFields())
        names.append(field.name);
    return names.join(QLatin1Char(';'));
}

// The page's words follow the interface language, as every other text; CROATIAN is marked with
// QT_TRANSLATE_NOOP so that the translation tools find it.
QString pageText(const char *croatian)
{
    return htmlText(QCoreApplication::translate("Exports", croatian));
}

QString styleBlock()
{
    // Byte for byte as pages written before have them, irregular blanks included.
    static const char *const rules[] = {
        "<style>",
        "A:link  {color : #03609E; text-decoration : none; font-family : Tahoma, Verdana, Arial, Helvetica, "
        "sans-serif; font-size : 8.5pt;}",
        "A:visited  {color : #03609E; text-decoration : none; font-family : Tahoma, Verdana, Arial, "
        "Helvetica, "
        "sans-serif; font-size : 8.5pt;}",
        "A:hover  {color : #FF6600; text-decoration : none; font-family : Tahoma, Verdana, Arial, Helvetica, "
        "sans-serif; font-size : 8.5pt;}",
        ".BODY {font-family: Tahoma, Verdana, Arial, Helvetica, sans-serif; font-size: 8.5pt; color: "
        "#000033;}",
        ".BODYred  {color : #CC0000; font-family : Tahoma, Verdana, Arial,  Helvetica, sans-serif; "
        "font-size : 8.5pt;}",
        ".HEADER  {color : #990000; font-family : Tahoma, Verdana, Arial, Helvetica, sans-serif; "
        "font-size : 14pt; font-style: italic;}",
        ".BODYbold {font-family: Tahoma, Verdana, Arial, Helvetica, sans-serif; font-size: 8.5pt; "
        "font-weight: bold; color: #000033;}",
        ".LABEL {font-family: Tahoma, Verdana, Arial, Helvetica, sans-serif; font-size: 8.5pt; "
        "font-weight: bold; color: #990000;}",
        ".bodyback\t{ background-color: #DEE3E7;}",
        ".bodyline\t{ background-color: #FFFFFF; border: 1px #006699 solid; }",
        ".menuline\t{ background-color: #EBF6FC; border: 1px #006699 solid; }",
        "td.head\t{ background-color: #EBF6FC; border: 1px #006699 solid; }",
        "td.row1\t{ background-color: #EFEFEF; font-family: Tahoma, Verdana, Arial, Helvetica, sans-serif; "
        "font-size: 8.5pt; color: #000033;}",
        "td.row2\t{ background-color: #DEE3E7; font-family: Tahoma, Verdana, Arial, Helvetica, sans-serif; "
        "font-size: 8.5pt; color: #000033;}",
        "</style>",
    };
    QStringList lines;
    for (const char *rule : rules)
        lines.append(QString::fromLatin1(rule));
    return lines.join(QLatin1String("\r\n"));
}

} // namespace

StoreResult ExportContactsCsv(const TContactList &contacts, const QString &fileName)
{
    QStringList lines{csvHeader()};
    for (int i = 0; i < contacts.size(); ++i) {
        QString line = QString::number(i + 1);
        for (const ExportField &field : exportFields()) {
            line += QLatin1Char(';');
            line += csvField(field.value(contacts[i]));
        }
        lines.append(line);
    }
    return writeLines(fileName, lines);
}

StoreResult ExportContactsXml(const TContactList &contacts, const QString &fileName)
{
    QStringList lines{
        QStringLiteral("<?xml version=\"1.0\" encoding=\"Windows-1250\" ?>"),
        QStringLiteral("<Tellwise_Monitor_Addressbook>"),
    };
    for (int i = 0; i < contacts.size(); ++i) {
        const QString record = QStringLiteral("RecordNo") + QString::number(i + 1);
        lines.append(QLatin1Char('<') + record + QLatin1Char('>'));
        for (const ExportField &field : exportFields()) {
            lines.append(QLatin1Char('<') + field.name + QLatin1Char('>') +
                         xmlText(field.value(contacts[i])) + QLatin1String("</") + field.name +
                         QLatin1Char('>'));
        }
        lines.append(QLatin1String("</") + record + QLatin1Char('>'));
    }
    lines.append(QStringLiteral("</Tellwise_Monitor_Addressbook>"));
    return writeLines(fileName, lines);
}

StoreResult ExportCallsHtml(const TCallList &calls, const QString &fileName)
{
    const QString title = pageText(QT_TRANSLATE_NOOP("Exports", "Tellwise Monitor - Pozivi"));
    QStringList lines{
        QStringLiteral("<html>"),
        QStringLiteral("<title>") + title + QStringLiteral("</title>"),
        QStringLiteral(
            "<head><meta http-equiv=Content-Type content=\"\"text/html; charset=windows-1250\"\"></head>"),
        styleBlock(),
        QStringLiteral("<body class=\"bodyback\" topmargin=\"0\" bottommargin=\"0\">"),
        QStringLiteral("<br><table width=\"752\" cellspacing=\"0\" cellpadding=\"0\" border=\"0\" "
                       "align=\"center\"><tr><td class=\"bodyline\">"),
        QStringLiteral("<br><center><span class=\"HEADER\">") + title + QStringLiteral("</span><br><br>"),
    };
    if (!calls.isEmpty()) {
        const QString period = QCoreApplication::translate("Exports", "Pozivi: %1 - %2")
                                   .arg(shortDateText(calls[calls.size() - 1].CallDate),
                                        shortDateText(calls[0].CallDate));
        lines.append(QStringLiteral("<center><span class=\"BODYbold\">") + htmlText(period) +
                     QStringLiteral("</span><br><br>"));
    }
    lines.append(QStringLiteral(
        "<table class=\"bodyline\" width=\"97%\" border=\"0\" cellspacing=\"1\" cellpadding=\"5\">"));
    const QString head = QStringLiteral("<td class=\"head\" width=\"%1%\" align=\"left\"><span "
                                        "class=\"BODYbold\">%2</span></td>");
    lines.append(QStringLiteral("<tr>") +
                 head.arg(30).arg(pageText(QT_TRANSLATE_NOOP("Exports", "Pozivatelj"))));
    lines.append(head.arg(25).arg(pageText(QT_TRANSLATE_NOOP("Exports", "Telefonski broj"))));
    lines.append(head.arg(25).arg(pageText(QT_TRANSLATE_NOOP("Exports", "Pozvani broj"))));
    lines.append(head.arg(20).arg(pageText(QT_TRANSLATE_NOOP("Exports", "Datum : Vrijeme"))) +
                 QStringLiteral("</tr>"));
    if (calls.isEmpty()) {
        lines.append(QStringLiteral("<tr><td class=\"row1\" colspan=\"4\" height=\"25\" align=\"center\">") +
                     pageText(QT_TRANSLATE_NOOP("Exports", "Nema podataka!")) + QStringLiteral("</td></tr>"));
    }
    for (int i = 0; i < calls.size(); ++i) {
        const ACalls &call = calls[i];
        const QString cell = i % 2 == 0 ? QStringLiteral("<td class=\"row2\" align=\"left\">")
                                        : QStringLiteral("<td class=\"row1\" align=\"left\">");
        const QString moment =
            shortDateText(call.CallDate) + QStringLiteral("  ") + shortTimeText(call.CallTime);
        lines.append(QStringLiteral("<tr>"));
        for (const QString &value : {call.CallerName, call.CallerNumber, call.CalledNumber, moment})
            lines.append(cell + htmlText(value) + QStringLiteral("</td>"));
        lines.append(QStringLiteral("</tr>"));
    }
    lines.append(QStringLiteral("</table>"));
    lines.append(QStringLiteral("<hr class=\"bodyline\" size=\"1\" width=\"97%\">"));
    lines.append(QStringLiteral("<span class=\"BODYbold\" align=\"center\">Kavelink</span><br>"));
    lines.append(QStringLiteral("</center></td></tr></table><br>"));
    lines.append(QStringLiteral("</BODY>"));
    lines.append(QStringLiteral("</HTML>"));
    return writeLines(fileName, lines);
}

QString WithExportExtension(const QString &fileName, const QString &extension)
{
    // The extension is the text from the last "." of the file name itself (not of a folder).
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString own = dot > slash ? fileName.mid(dot) : QString();
    if (own.toLower() == extension.toLower())
        return fileName;
    return fileName + extension;
}
