#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <vector>

class QMimeData;

// One row of the contact list: what it shows of a contact.
struct TContactRec
{
    QString DisplayName;
    QString Company;
    QString Group;
    bool BlackList = false;
};

// The contact list's rows: copies of what they show, so the list never points into records
// a reload replaces. Sorted by display name with the locale's comparison.
class TContactRowsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr const char *kMimeType = "application/x-tellwise-contact-names";

    explicit TContactRowsModel(QObject *parent = nullptr);

    // Replaces the rows with ROWS, sorted by display name.
    void setRows(std::vector<TContactRec> rows);
    const TContactRec &row(int i) const { return m_rows[std::size_t(i)]; }
    int indexOfName(const QString &displayName) const;
    // A row's key: its display name.
    const QString &keyAt(int i) const { return m_rows[std::size_t(i)].DisplayName; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction | Qt::CopyAction; }

    static QStringList namesFromMime(const QMimeData *mime);
    // What a drag of the contacts NAMES carries.
    static QMimeData *mimeForNames(const QStringList &names);

private:
    std::vector<TContactRec> m_rows;
};
