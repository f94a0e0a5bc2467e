#pragma once

#include <cstdint>

// Property tags of the address-book file: the upper 16 bits name the property, the lower 16
// its value type.
namespace wab {

constexpr std::uint16_t PT_LONG = 0x0003;
constexpr std::uint16_t PT_STRING8 = 0x001E;
constexpr std::uint16_t PT_UNICODE = 0x001F;
constexpr std::uint16_t PT_BINARY = 0x0102;
constexpr std::uint16_t MV_FLAG = 0x1000;
constexpr std::uint16_t PT_MV_STRING8 = MV_FLAG | PT_STRING8;
constexpr std::uint16_t PT_MV_UNICODE = MV_FLAG | PT_UNICODE;

constexpr std::uint32_t PropTag(std::uint16_t id, std::uint16_t type)
{
    return (std::uint32_t(id) << 16) | type;
}
constexpr std::uint16_t PropId(std::uint32_t tag)
{
    return std::uint16_t(tag >> 16);
}
constexpr std::uint16_t PropType(std::uint32_t tag)
{
    return std::uint16_t(tag & 0xFFFF);
}

constexpr std::uint32_t PR_ENTRYID = 0x0FFF0102;
constexpr std::uint32_t PR_OBJECT_TYPE = 0x0FFE0003;
constexpr std::uint32_t MAPI_MAILUSER = 6;
constexpr std::uint32_t MAPI_DISTLIST = 8;

constexpr std::uint32_t PR_NICKNAME = 0x3A4F001E;
constexpr std::uint32_t PR_SURNAME = 0x3A11001E;
constexpr std::uint32_t PR_GIVEN_NAME = 0x3A06001E;
constexpr std::uint32_t PR_DISPLAY_NAME = 0x3001001E;
constexpr std::uint32_t PR_COMMENT = 0x3004001E;
constexpr std::uint32_t PR_OFFICE_LOCATION = 0x3A19001E;
constexpr std::uint32_t PR_DEPARTMENT_NAME = 0x3A18001E;
constexpr std::uint32_t PR_TITLE = 0x3A17001E;
constexpr std::uint32_t PR_COMPANY_NAME = 0x3A16001E;
constexpr std::uint32_t PR_BUSINESS_FAX_NUMBER = 0x3A24001E;
constexpr std::uint32_t PR_BUSINESS_TELEPHONE_NUMBER = 0x3A08001E;
constexpr std::uint32_t PR_BUSINESS_HOME_PAGE = 0x3A51001E;
constexpr std::uint32_t PR_COUNTRY = 0x3A26001E;
constexpr std::uint32_t PR_POSTAL_CODE = 0x3A2A001E;
constexpr std::uint32_t PR_LOCALITY = 0x3A27001E;
constexpr std::uint32_t PR_STREET_ADDRESS = 0x3A29001E;
constexpr std::uint32_t PR_CONTACT_EMAIL_ADDRESSES = 0x3A56101E;
constexpr std::uint32_t PR_EMAIL_ADDRESS = 0x3003001E;
constexpr std::uint32_t PR_MOBILE_TELEPHONE_NUMBER = 0x3A1C001E;
constexpr std::uint32_t PR_HOME_TELEPHONE_NUMBER = 0x3A09001E;
constexpr std::uint32_t PR_HOME_FAX_NUMBER = 0x3A25001E;
constexpr std::uint32_t PR_PERSONAL_HOME_PAGE = 0x3A50001E;
constexpr std::uint32_t PR_HOME_ADDRESS_COUNTRY = 0x3A5A001E;
constexpr std::uint32_t PR_HOME_ADDRESS_POSTAL_CODE = 0x3A5B001E;
constexpr std::uint32_t PR_HOME_ADDRESS_CITY = 0x3A59001E;
constexpr std::uint32_t PR_HOME_ADDRESS_STREET = 0x3A5D001E;

// The only properties the import reads.
constexpr std::uint32_t kContactTags[26] = {
    PR_NICKNAME,
    PR_SURNAME,
    PR_GIVEN_NAME,
    PR_DISPLAY_NAME,
    PR_COMMENT,
    PR_OFFICE_LOCATION,
    PR_DEPARTMENT_NAME,
    PR_TITLE,
    PR_COMPANY_NAME,
    PR_BUSINESS_FAX_NUMBER,
    PR_BUSINESS_TELEPHONE_NUMBER,
    PR_BUSINESS_HOME_PAGE,
    PR_COUNTRY,
    PR_POSTAL_CODE,
    PR_LOCALITY,
    PR_STREET_ADDRESS,
    PR_CONTACT_EMAIL_ADDRESSES,
    PR_EMAIL_ADDRESS,
    PR_MOBILE_TELEPHONE_NUMBER,
    PR_HOME_TELEPHONE_NUMBER,
    PR_HOME_FAX_NUMBER,
    PR_PERSONAL_HOME_PAGE,
    PR_HOME_ADDRESS_COUNTRY,
    PR_HOME_ADDRESS_POSTAL_CODE,
    PR_HOME_ADDRESS_CITY,
    PR_HOME_ADDRESS_STREET,
};

} // namespace wab
