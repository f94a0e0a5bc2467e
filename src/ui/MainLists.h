#pragma once

#include <QAbstractTableModel>
#include <QFrame>
#include <QPixmap>
#include <QString>
#include <QTreeWidget>

#include <cstdint>
#include <vector>

class AddressBook;
class CallLog;
class QLabel;

// One row of the contact list: what it shows of a contact.
struct TContactRec
{
    QString DisplayName;
    QString Company;
    QString Group;
    bool BlackList = false;
};

// The main window's list pictures by their image-list index (2, 9, 22 ... 26).
QPixmap MainListImage(int index);

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

// The texts the call log holds instead of a name or number ("< Nepoznat >", "< Sakriven >",
// "< Neidentificiran >"), in whichever language they were written: the log keeps them as they
// are, other programs read it. IsCallPlaceholder tells one; ShownCallText gives it in the
// interface language and any other text unchanged.
bool IsCallPlaceholder(const QString &text);
QString ShownCallText(const QString &stored);

// The call list: a view straight over the call log, newest first. The caller's column shows the
// name of the contact the number belongs to now, looked up as the row is drawn.
class TCallRowsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    TCallRowsModel(CallLog &callLog, const AddressBook &addressBook, QObject *parent = nullptr);

    // The call list changed (or was reloaded): every row is read again.
    void refresh();

    QString callerText(int row) const;
    static QString dateTimeText(double callDate, double callTime);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    CallLog &m_log;
    const AddressBook &m_book;
    int m_rows = 0;
    // Caller names already looked up, valid while the address book keeps its revision.
    mutable std::vector<QString> m_names;
    mutable std::vector<bool> m_named;
    mutable std::uint64_t m_contactsRevision = 0;
};

// The groups tree, which takes contacts dropped from the contact list.
class TGroupsTree : public QTreeWidget
{
    Q_OBJECT

public:
    explicit TGroupsTree(QWidget *parent = nullptr);

    // Image index and level of a node: the node's kind.
    static int imageOf(const QTreeWidgetItem *node);
    static int levelOf(const QTreeWidgetItem *node);
    static QTreeWidgetItem *makeNode(const QString &text, int image);
    // Every node but "Sve grupe" and "Bez grupe" takes a drop.
    static bool acceptsDrop(const QTreeWidgetItem *node);

signals:
    void contactsDropped(QTreeWidgetItem *node, const QStringList &names);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};

// A status bar of sunken text panels.
class TStatusPanels : public QFrame
{
    Q_OBJECT

public:
    explicit TStatusPanels(int panels, QWidget *parent = nullptr);

    QLabel *panel(int i) const { return m_panels[std::size_t(i)]; }
    QString text(int i) const;
    void setText(int i, const QString &text);
    int panelCount() const { return int(m_panels.size()); }

private:
    std::vector<QLabel *> m_panels;
};
