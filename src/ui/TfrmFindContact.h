#pragma once

#include "store/SearchContact.h"

#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class AddressBook;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;
class QTreeView;
class TFoundContactsModel;

// The contact search window: the user types a text, picks a field and a condition, and the
// search runs on a thread of its own over a copy of the address book taken at the start, while
// the window animates, shows the progress and can stop it. Found contacts are listed by name and
// company and can be shown (selected) in the main window's contact list.
class TfrmFindContact : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 461;
    static constexpr int kIdleHeight = 251;
    static constexpr int kResultsHeight = 393;

    // CONTACTSMENU: the contact menu of the main window, offered on the results; may be null.
    explicit TfrmFindContact(AddressBook &addressBook, QMenu *contactsMenu = nullptr,
                             QWidget *parent = nullptr);
    ~TfrmFindContact() override;

    // Selects the named contacts in the main window's contact list.
    void setShowContactsHandler(std::function<void(const QStringList &names)> fn)
    {
        m_showContacts = std::move(fn);
    }

    // Handlers
    void editSearchChange();
    void btnSearchClick();
    void btnStopClick();
    void btnClearClick();
    void btnCloseClick() { close(); }
    void btnShowClick();
    void lvContactsDblClick();
    void timerSearchTimer();

    bool searching() const { return !m_worker.isNull(); }
    int resultCount() const;
    QString resultName(int row) const;

    // Controls, named as the program names them.
    QTabWidget *pgcFindContact = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QLineEdit *editSearch = nullptr;
    QComboBox *cbSearchInFields = nullptr;
    QComboBox *cbCondition = nullptr;
    QCheckBox *chkMatchCase = nullptr;
    QPushButton *btnSearch = nullptr;
    QPushButton *btnStop = nullptr;
    QPushButton *btnClear = nullptr;
    QPushButton *btnClose = nullptr;
    QLabel *pbxSearch = nullptr;
    QTimer *timerSearch = nullptr;
    QWidget *pnlFound = nullptr;
    QTreeView *lvContacts = nullptr;
    QLabel *stbContacts = nullptr;
    QProgressBar *pgbSearch = nullptr;
    QPushButton *btnShow = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *createSearchPage();
    QWidget *createResultPanel();
    void setClientHeight(int height);
    void setFoundCount(int count);
    void lvContactsChange();
    void contactsContextMenu(const QPoint &pos);
    void addPendingResults();
    void searchProgressed(const QList<FoundContact> &found, int tested);
    void searchDone();
    void paintSearchFrame();
    void centreOnScreen();

    AddressBook &m_book;
    QMenu *m_contactsMenu;
    TFoundContactsModel *m_found = nullptr;
    SearchCriteria m_criteria;
    QPointer<TSearchContact> m_worker;
    // Results that arrived since the list was last extended: the list grows a few times a
    // second, however many batches the thread sends.
    QList<FoundContact> m_pending;
    QTimer *m_resultsTimer = nullptr;
    std::function<void(const QStringList &)> m_showContacts;
    std::array<QPixmap, 8> m_frames;
    int m_searchFrame = 0;
    QString m_selectedName;
};
