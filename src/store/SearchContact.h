#pragma once

#include "store/Records.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QThread>

#include <atomic>

// Finding contacts by a text in one of their fields: the rules the search window and
// tellwise-cli share, and the worker that applies them off the window's thread.

// The field choices, by the index the window's drop-down list and `tellwise-cli search --field`
// use: 0 all text fields, 1 the display name ... 23 the notes.
constexpr int kSearchFieldCount = 24;
// The choice's caption, translated ("Sva polja", "Naziv osobe", ...).
QString SearchFieldName(int index);

// Whether SEARCHTEXT is found in VALUE: equal to it when IDENTICAL, contained in it otherwise.
// Without MATCHCASE both are compared in lower case. An empty search text matches nothing.
bool MatchText(const QString &searchText, const QString &value, bool matchCase, bool identical);

struct SearchCriteria
{
    QString text; // as typed, blanks included
    int field = 0;
    bool matchCase = false;
    bool identical = false;
};

// Whether one of CONTACT's fields of the chosen field choice matches.
bool ContactMatches(const AListAddress &contact, const SearchCriteria &criteria);

struct FoundContact
{
    QString name; // DisplayNameAs
    QString company;
};

// The matching contacts of CONTACTS in list order, for callers that can wait.
QList<FoundContact> SearchContacts(const TContactList &contacts, const SearchCriteria &criteria);

// The search thread. It works on its own copy of the contacts, taken by the caller when the
// search starts (a shared copy: the address book's next change copies its own list instead), so
// that changes to the address book while it runs touch nothing it reads. It
// reports what it found in batches, a few dozen times a second at most, so that a large address
// book does not flood the window with one event per contact.
class TSearchContact : public QThread
{
    Q_OBJECT

public:
    TSearchContact(TContactList snapshot, SearchCriteria criteria, QObject *parent = nullptr);
    // Stops the search and waits for the thread.
    ~TSearchContact() override;

    int total() const { return m_total; }
    // Ends the search after the contact in progress; what was found so far is still reported.
    void requestStop() { m_stop.store(true, std::memory_order_relaxed); }

    // How long the thread collects results before handing them over; 0 hands them over after
    // every few contacts.
    static constexpr int kBatchMs = 25;
    void setBatchInterval(int ms) { m_batchMs = ms; }

signals:
    // Contacts found since the last batch, and how many contacts have been tested in all.
    void progressed(const QList<FoundContact> &found, int tested);
    // The last signal of a search: every contact tested, or the search stopped.
    void searchDone(int tested, bool stopped);

protected:
    void run() override;

private:
    // Freed by the thread itself when it ends: freeing a large copy takes a while.
    TContactList m_contacts;
    const int m_total;
    const SearchCriteria m_criteria;
    std::atomic<bool> m_stop{false};
    int m_batchMs = kBatchMs;
};

Q_DECLARE_METATYPE(FoundContact)
