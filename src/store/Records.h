#pragma once

#include <QList>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// The in-memory records of the address book, the groups and the call log, and the lists that
// hold them. Text fields are unbounded here; the capacities of the data files apply when a record
// is written (the address book fits its texts when they enter, so it holds what its files hold).

struct AListAddress
{
    QString FirstName;
    QString LastName;
    QString NickName;
    QString DisplayNameAs; // the contact's key
    QString Group;
    QString HomeAddress;
    QString HomeCity;
    QString HomePostNo;
    QString HomeCountry;
    QString HomeWebPage;
    QString CompanyName;
    QString CompanyDepartment;
    QString CompanyOffice;
    QString CompanyJobTitle;
    QString CompanyAddress;
    QString CompanyCity;
    QString CompanyPostNo;
    QString CompanyCountry;
    QString CompanyWebPage;
    std::array<QString, 8> PhoneLocation; // PhoneLocation1 .. PhoneLocation8
    std::array<QString, 8> PhoneNumber;   // PhoneNumber1 .. PhoneNumber8, as typed
    std::array<QString, 4> EMail;         // EMail1 .. EMail4
    QString Notes;
    QString UseThisSound; // sound file (SoundMode 1) or text to speak (SoundMode 2)
    QString Picture;
    bool ActualDimensions = false;
    bool CenterPicture = false;
    std::int32_t SoundMode = 0; // 0 group's sound, 1 own sound file, 2 speak UseThisSound
    bool BlackList = false;

    bool operator==(const AListAddress &) const = default;
};

struct AGroups
{
    QString GroupName; // the group's key
    QString GroupSound;

    bool operator==(const AGroups &) const = default;
};

struct ACalls
{
    QString CallerName;
    QString CallerNumber;
    QString CalledNumber;
    double CallDate = 0.0; // days since 1899-12-30, integral part
    double CallTime = 0.0; // fraction of a day
    bool IsNew = false;

    bool operator==(const ACalls &) const = default;
};

// The call log's list: an ordered list that owns its heap records.
template <typename T> class RecordList
{
public:
    int size() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.empty(); }

    T &operator[](int i) { return *m_items[std::size_t(i)]; }
    const T &operator[](int i) const { return *m_items[std::size_t(i)]; }
    T &at(int i) { return *m_items.at(std::size_t(i)); }
    const T &at(int i) const { return *m_items.at(std::size_t(i)); }

    T &append(T record)
    {
        m_items.push_back(std::make_unique<T>(std::move(record)));
        return *m_items.back();
    }
    T &insert(int i, T record)
    {
        auto it = m_items.insert(m_items.begin() + i, std::make_unique<T>(std::move(record)));
        return **it;
    }
    void removeAt(int i) { m_items.erase(m_items.begin() + i); }
    // Takes the record out of the list without destroying it.
    T takeAt(int i)
    {
        T record = std::move(*m_items[std::size_t(i)]);
        m_items.erase(m_items.begin() + i);
        return record;
    }
    // Adopts a record already on the heap.
    T &append(std::unique_ptr<T> record)
    {
        m_items.push_back(std::move(record));
        return *m_items.back();
    }
    void clear() { m_items.clear(); }
    // Keeps the first `count` records.
    void truncate(int count)
    {
        if (count < size())
            m_items.erase(m_items.begin() + count, m_items.end());
    }
    template <typename Less> void stableSort(Less less)
    {
        std::stable_sort(
            m_items.begin(), m_items.end(),
            [&](const std::unique_ptr<T> &a, const std::unique_ptr<T> &b) { return less(*a, *b); });
    }

    // A list of copies of the records.
    RecordList clone() const
    {
        RecordList copy;
        copy.m_items.reserve(m_items.size());
        for (const auto &item : m_items)
            copy.m_items.push_back(std::make_unique<T>(*item));
        return copy;
    }

    // Exchanges the records of two lists (a load fills a fresh list and swaps it in).
    void swap(RecordList &other) { m_items.swap(other.m_items); }

    // Iteration over the records themselves.
    class iterator
    {
    public:
        using Base = typename std::vector<std::unique_ptr<T>>::const_iterator;
        explicit iterator(Base b) : m_b(b) {}
        T &operator*() const { return **m_b; }
        T *operator->() const { return m_b->get(); }
        iterator &operator++()
        {
            ++m_b;
            return *this;
        }
        bool operator==(const iterator &o) const { return m_b == o.m_b; }

    private:
        Base m_b;
    };
    iterator begin() const { return iterator(m_items.cbegin()); }
    iterator end() const { return iterator(m_items.cend()); }

private:
    std::vector<std::unique_ptr<T>> m_items;
};

// Contacts and groups are values shared copy-on-write: a copy (the search's, a background save's)
// costs nothing until one side changes.
using TContactList = QList<AListAddress>;
using TGroupList = QList<AGroups>;
using TCallList = RecordList<ACalls>;
