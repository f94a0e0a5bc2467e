#include "exchange/VCardFolders.h"

#include "settings/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>

namespace {

const QString kDefaultBook = QStringLiteral("default");

QString failed(const QString &what, const QString &why)
{
    return QStringLiteral("%1: %2").arg(what, why);
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// A name that stays one folder directly in the root.
bool isPlainName(const QString &name)
{
    return !name.isEmpty() && !name.startsWith(QLatin1Char('.')) && !name.contains(QLatin1Char('/')) &&
           !name.contains(QChar(0));
}

// What in the address book PATH is neither a card nor a file that goes with the book (vdirsyncer's
// name, colour and description of it, a half-written card of ours): the first few names.
QStringList notCards(const QString &path)
{
    static const QStringList bookFiles{QStringLiteral("displayname"), QStringLiteral("color"),
                                       QStringLiteral("description")};
    QStringList others;
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext() && others.size() < 5) {
        const QFileInfo entry = it.nextFileInfo();
        const QString name = entry.fileName();
        const bool card =
            entry.isFile() && !entry.isSymLink() &&
            (name.endsWith(QLatin1String(".vcf"), Qt::CaseInsensitive) || bookFiles.contains(name) ||
             (name.startsWith(QLatin1Char('.')) && name.endsWith(QLatin1String(".tmp"))));
        if (!card)
            others << name + (entry.isDir() && !entry.isSymLink() ? QStringLiteral("/") : QString());
    }
    std::sort(others.begin(), others.end());
    return others;
}

} // namespace

QString TVCardFolders::rootPath(const QString &configured)
{
    if (!configured.isEmpty())
        return configured;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/contacts");
}

bool TVCardFolders::isAvailable(const QString &configured)
{
    return !configured.isEmpty() || QFileInfo(rootPath(configured)).isDir();
}

bool IsOutlookInstalled(const Settings &settings)
{
    return TVCardFolders::isAvailable(settings.text(Settings::ContactsRoot));
}

bool TVCardFolders::logon(const QString &root)
{
    logoff();
    const QFileInfo info(root);
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        return false;
    m_root = info.absoluteFilePath();
    scan();
    return true;
}

void TVCardFolders::logoff()
{
    m_root.clear();
    m_default.clear();
    m_others.clear();
    m_flat = false;
}

void TVCardFolders::scan()
{
    // A root that holds cards itself is one address book (khard's and vdirsyncer's folder of a
    // book): its cards are shown, and saves go into it rather than into a folder none of them reads.
    if (m_default.isEmpty())
        m_flat = !QDir(m_root).entryList({QStringLiteral("*.vcf")}, QDir::Files).isEmpty();
    if (m_flat) {
        m_default = QFileInfo(m_root).fileName();
        m_others.clear();
        return;
    }
    m_others = QDir(m_root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    // The default address book stays the same for the whole session.
    if (m_default.isEmpty())
        m_default = m_others.contains(kDefaultBook) ? kDefaultBook : m_others.value(0, kDefaultBook);
    m_others.removeAll(m_default);
}

QString TVCardFolders::folderPath(int folder) const
{
    if (m_root.isEmpty() || folder < 0 || folder > m_others.size())
        return QString();
    if (m_flat)
        return m_root;
    return m_root + QLatin1Char('/') + (folder == 0 ? m_default : m_others[folder - 1]);
}

QStringList TVCardFolders::folderNames() const
{
    return isLoggedOn() ? QStringList{m_default} + m_others : QStringList();
}

QStringList TVCardFolders::itemNames(int folder) const
{
    const QString path = folderPath(folder);
    if (path.isEmpty())
        return {};
    return QDir(path).entryList({QStringLiteral("*.vcf")}, QDir::Files, QDir::Name);
}

bool TVCardFolders::readItem(int folder, const QString &fileName, TVCard &card) const
{
    const QString path = folderPath(folder);
    if (path.isEmpty() || !isPlainName(fileName))
        return false;
    QFile file(path + QLatin1Char('/') + fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QList<TVCard> read = ReadVCards(file).Cards;
    if (read.isEmpty())
        return false;
    card = read.first();
    return true;
}

QList<TVCard> TVCardFolders::items(int folder) const
{
    QList<TVCard> cards;
    TVCard card;
    for (const QString &name : itemNames(folder))
        if (readItem(folder, name, card))
            cards << card;
    return cards;
}

bool TVCardFolders::save(int folder, const AListAddress &contact, QString *fileName, QString *error)
{
    const QString path = folderPath(folder);
    if (path.isEmpty() || !QDir().mkpath(path)) {
        setError(error, failed(path, QCoreApplication::translate("VCardFolders", "mapa nije dostupna")));
        return false;
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QString uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        const QString target = path + QLatin1Char('/') + uid + QStringLiteral(".vcf");
        // Written beside under a name no vdir reader takes for a card (flushed to disk by the
        // save file), then renamed into place.
        const QString tempName = path + QStringLiteral("/.") + uid + QStringLiteral(".tmp");
        QSaveFile temp(tempName);
        const QByteArray bytes = WriteVCard(contact, uid);
        if (!temp.open(QIODevice::WriteOnly) || temp.write(bytes) != bytes.size() || !temp.commit()) {
            setError(error, failed(tempName, temp.errorString()));
            return false;
        }
        // QFile::rename never replaces an existing file.
        if (QFile::rename(tempName, target)) {
            if (fileName)
                *fileName = uid + QStringLiteral(".vcf");
            return true;
        }
        QFile::remove(tempName);
    }
    setError(error, failed(path, QCoreApplication::translate("VCardFolders", "kontakt nije snimljen")));
    return false;
}

bool TVCardFolders::move(int from, const QString &fileName, int to, QString *error)
{
    const QString source = folderPath(from);
    const QString target = folderPath(to);
    if (source.isEmpty() || target.isEmpty() || !isPlainName(fileName) || !QDir().mkpath(target) ||
        !QFile::rename(source + QLatin1Char('/') + fileName, target + QLatin1Char('/') + fileName)) {
        setError(error,
                 failed(fileName, QCoreApplication::translate("VCardFolders", "kontakt nije premješten")));
        return false;
    }
    return true;
}

bool TVCardFolders::addFolder(const QString &name, QString *error)
{
    if (!isLoggedOn() || m_flat || !isPlainName(name) ||
        QFileInfo::exists(m_root + QLatin1Char('/') + name) || !QDir(m_root).mkdir(name)) {
        setError(error, failed(name, QCoreApplication::translate("VCardFolders", "mapa nije dodana")));
        return false;
    }
    scan();
    return true;
}

bool TVCardFolders::removeFolder(int position, QString *error)
{
    const QString path = position >= 1 ? folderPath(position) : QString();
    const QFileInfo info(path);
    QString why;
    if (path.isEmpty())
        why = QCoreApplication::translate("VCardFolders", "mapa nije izbrisana");
    else if (info.isSymLink())
        // Never a step out of the contacts folder: the link's target belongs to someone else.
        why = QCoreApplication::translate("VCardFolders", "mapa je poveznica na %1 i ne briše se")
                  .arg(QDir::toNativeSeparators(info.symLinkTarget()));
    else if (const QStringList others = notCards(path); !others.isEmpty())
        why =
            QCoreApplication::translate("VCardFolders", "u mapi nisu samo vCard kontakti (%1) i ne briše se")
                .arg(others.join(QStringLiteral(", ")));
    else if (!QFile::moveToTrash(path))
        why = QCoreApplication::translate("VCardFolders", "mapa se ne može premjestiti u smeće");
    scan();
    if (why.isEmpty())
        return true;
    setError(error, failed(QDir::toNativeSeparators(path), why));
    return false;
}
