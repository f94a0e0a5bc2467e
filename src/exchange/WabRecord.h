#pragma once

#include <QString>

#include <array>
#include <cstdint>

// One contact read from an address-book file; texts are empty where the entry has none.
struct TWABRecord
{
    std::int32_t RecordNumber = 0; // position in the list when read
    QString GivenName;
    QString Surname;
    QString NickName;
    QString DisplayName;
    QString HomeStreet;
    QString HomeCity;
    QString HomePostalCode;
    QString HomeCountry;
    QString PersonalHomePage;
    QString HomePhone;
    QString HomeFax;
    QString MobilePhone;
    QString Company;
    QString Department;
    QString Office;
    QString JobTitle;
    QString BusinessStreet;
    QString BusinessCity;
    QString BusinessPostalCode;
    QString BusinessCountry;
    QString BusinessHomePage;
    QString BusinessPhone;
    QString BusinessFax;
    QString Comment;
    std::array<QString, 4> EMail;
    // A contact read from a vCard file has three phones more and keeps all eight in the slots
    // the card gives them.
    bool VCard = false;
    QString Home2Phone;
    QString CompanyMainPhone;
    QString Business2Phone;

    bool operator==(const TWABRecord &) const = default;
};
