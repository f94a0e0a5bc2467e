#include "exchange/WabApi.h"

#include "exchange/WabIab.h"

#include <memory>

namespace {

std::unique_ptr<wab::IWABObject> g_wabObject;
std::unique_ptr<wab::IAddrBook> g_addrBook;

} // namespace

bool OpenWabFile(const QString &fileName, QString *error)
{
    CloseWabFile();
    wab::WAB_PARAM param;
    param.szFileName = fileName;
    return !wab::FAILED(wab::WABOpen(param, g_addrBook, g_wabObject, error));
}

bool OpenWabBytes(const QByteArray &bytes, QString *error)
{
    CloseWabFile();
    return !wab::FAILED(wab::WABOpenBytes(bytes, g_addrBook, g_wabObject, error));
}

void CloseWabFile()
{
    // The book refers to the object's memory, so it goes first.
    g_addrBook.reset();
    g_wabObject.reset();
}

wab::IAddrBook *OpenAddrBook()
{
    return g_addrBook.get();
}

wab::IWABObject *OpenWabObject()
{
    return g_wabObject.get();
}
