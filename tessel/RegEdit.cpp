#include "RegEdit.h"

#include <platform/CodePage.h>

#include <QByteArray>

#include <cstring>

using namespace platform;

namespace {

// The name as text when it is present, not empty and fits the 260-character buffers; the scan stops
// there, so an overlong name is never read to its end.
bool takeName(LPCWSTR psz, QString* out, bool emptyAllowed = false)
{
    if (!psz)
        return false;
    int n = 0;
    while (n <= CRegEdit::kMaxName && psz[n])
        ++n;
    if (n > CRegEdit::kMaxName || (n == 0 && !emptyAllowed))
        return false;
    *out = QString::fromUtf16(psz, n);
    return true;
}

// A value name for CRegEdit: null names the key's default value, as the registry calls take it.
bool takeValueName(LPCWSTR psz, QString* out)
{
    if (!psz) {
        out->clear();
        return true;
    }
    return takeName(psz, out, true);
}

QByteArray utf16Bytes(const QString& text)
{
    // Text and terminator, little-endian as the handheld keeps REG_SZ.
    QByteArray b(int((text.size() + 1) * 2), '\0');
    std::memcpy(b.data(), text.utf16(), std::size_t(text.size()) * 2);
    return b;
}

HKEY openOrCreate(HKEY root, const QString& key)
{
    HKEY h = nullptr;
    if (RegOpenKeyEx(root, key, 0, 0, &h) == LONG(ERROR_SUCCESS))
        return h;
    DWORD disposition = 0;
    if (RegCreateKeyEx(root, key, 0, QString(), 0, 0, nullptr, &h, &disposition) == LONG(ERROR_SUCCESS))
        return h;
    return nullptr;
}

} // namespace

DWORD ReadDWORD(HKEY hRoot, LPCWSTR pszKey, LPCWSTR pszName, DWORD dwDefault)
{
    QString key, name;
    if (!takeName(pszKey, &key) || !takeName(pszName, &name))
        return dwDefault;
    HKEY h = nullptr;
    if (RegOpenKeyEx(hRoot, key, 0, 0, &h) != LONG(ERROR_SUCCESS))
        return dwDefault;
    unsigned char bytes[4] = {}; // a shorter value leaves the rest zero
    DWORD size = sizeof bytes;
    const LONG r = RegQueryValueEx(h, name, nullptr, nullptr, bytes, &size);
    RegCloseKey(h);
    if (r != LONG(ERROR_SUCCESS))
        return dwDefault;
    return DWORD(bytes[0]) | DWORD(bytes[1]) << 8 | DWORD(bytes[2]) << 16 | DWORD(bytes[3]) << 24;
}

BOOL SaveDWORD(HKEY hRoot, LPCWSTR pszKey, LPCWSTR pszName, DWORD dwValue)
{
    QString key, name;
    if (!takeName(pszKey, &key) || !takeName(pszName, &name))
        return FALSE;
    HKEY h = openOrCreate(hRoot, key);
    if (!h)
        return FALSE;
    const unsigned char bytes[4] = {BYTE(dwValue), BYTE(dwValue >> 8), BYTE(dwValue >> 16), BYTE(dwValue >> 24)};
    const LONG r = RegSetValueEx(h, name, 0, REG_DWORD, bytes, 4);
    RegCloseKey(h);
    return r == LONG(ERROR_SUCCESS) ? TRUE : FALSE;
}

LPWSTR ReadString(HKEY hRoot, LPCWSTR pszKey, LPCWSTR pszName, LPWSTR pszDefault)
{
    QString key, name;
    if (!takeName(pszKey, &key) || !takeName(pszName, &name))
        return pszDefault;
    HKEY h = nullptr;
    if (RegOpenKeyEx(hRoot, key, 0, 0, &h) != LONG(ERROR_SUCCESS))
        return pszDefault;
    DWORD size = 0;
    LPWSTR buffer = nullptr;
    if (RegQueryValueEx(h, name, nullptr, nullptr, nullptr, &size) == LONG(ERROR_SUCCESS)) {
        // As many characters as the value has bytes, plus one: always terminated, whatever the bytes.
        buffer = new WCHAR[size + 1]();
        DWORD got = size;
        if (RegQueryValueEx(h, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &got) != LONG(ERROR_SUCCESS)) {
            delete[] buffer;
            buffer = nullptr;
        }
    }
    RegCloseKey(h);
    return buffer ? buffer : pszDefault;
}

BOOL SaveString(HKEY hRoot, LPCWSTR pszKey, LPCWSTR pszName, LPCWSTR pszValue)
{
    QString key, name;
    if (!takeName(pszKey, &key) || !takeName(pszName, &name) || !pszValue)
        return FALSE;
    HKEY h = openOrCreate(hRoot, key);
    if (!h)
        return FALSE;
    const QByteArray bytes = utf16Bytes(QString::fromUtf16(pszValue));
    const LONG r = RegSetValueEx(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.constData()), DWORD(bytes.size()));
    RegCloseKey(h);
    return r == LONG(ERROR_SUCCESS) ? TRUE : FALSE;
}

CRegEdit::CRegEdit() = default;

CRegEdit::~CRegEdit() { RegClose(); }

LONG CRegEdit::RegOpen(HKEY hRoot, LPCWSTR pszKey)
{
    RegClose(); // a key opened before is not leaked
    QString key;
    if (!takeName(pszKey, &key))
        return 0;
    if (RegOpenKeyEx(hRoot, key, 0, 0, &m_hKey) == LONG(ERROR_SUCCESS))
        return 1;
    DWORD disposition = 0;
    if (RegCreateKeyEx(hRoot, key, 0, QString(), REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &m_hKey, &disposition)
        == LONG(ERROR_SUCCESS))
        return 2;
    m_hKey = nullptr;
    return 0;
}

void CRegEdit::RegClose()
{
    if (m_hKey) {
        RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
}

LONG CRegEdit::RegWrite(LPCWSTR pszName, LPCWSTR pszText)
{
    QString name;
    if (!takeValueName(pszName, &name) || !pszText)
        return LONG(ERROR_INVALID_PARAMETER);
    const QByteArray bytes = utf16Bytes(QString::fromUtf16(pszText));
    return RegSetValueEx(m_hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.constData()), DWORD(bytes.size()));
}

LONG CRegEdit::RegWriteDword(LPCWSTR pszName, DWORD dwValue)
{
    QString name;
    if (!takeValueName(pszName, &name))
        return LONG(ERROR_INVALID_PARAMETER);
    const unsigned char bytes[4] = {BYTE(dwValue), BYTE(dwValue >> 8), BYTE(dwValue >> 16), BYTE(dwValue >> 24)};
    return RegSetValueEx(m_hKey, name, 0, REG_DWORD, bytes, 4);
}

LONG CRegEdit::readBytes(LPCWSTR pszName, QByteArray* bytes)
{
    QString name;
    if (!takeValueName(pszName, &name))
        return LONG(ERROR_INVALID_PARAMETER);
    unsigned char buffer[kReadBytes] = {};
    DWORD size = kReadBytes;
    const LONG r = RegQueryValueEx(m_hKey, name, nullptr, nullptr, buffer, &size);
    if (r == LONG(ERROR_SUCCESS))
        *bytes = QByteArray(reinterpret_cast<const char*>(buffer), int(size)); // only what was read
    return r;
}

LONG CRegEdit::RegRead(LPCWSTR pszName, QString& strOut)
{
    strOut.clear();
    QByteArray bytes;
    const LONG r = readBytes(pszName, &bytes);
    if (r != LONG(ERROR_SUCCESS))
        return r;
    const int end = bytes.indexOf('\0');
    const QByteArray text = end < 0 ? bytes : bytes.left(end);
    // The system's code page (936 on a Chinese handheld), which need not be the process locale's.
    std::u16string wide;
    if (!MultiByteToWide(AnsiCodePage(), std::string_view(text.constData(), std::size_t(text.size())), wide))
        MultiByteToWide(CP_UTF8, std::string_view(text.constData(), std::size_t(text.size())), wide);
    strOut = QString::fromStdU16String(wide).left(kMaxName + 1);
    return r;
}

LONG CRegEdit::RegReadWchar(LPCWSTR pszName, QString& strOut)
{
    strOut.clear();
    QByteArray bytes;
    const LONG r = readBytes(pszName, &bytes);
    if (r != LONG(ERROR_SUCCESS))
        return r;
    QString text(int(bytes.size() / 2), Qt::Uninitialized); // an odd last byte is no character
    std::memcpy(text.data(), bytes.constData(), std::size_t(text.size()) * 2);
    const int end = text.indexOf(QChar(0));
    strOut = end < 0 ? text : text.left(end);
    return r;
}

BOOL CRegEdit::RegDeleteKeyW(HKEY hRoot, LPCWSTR pszKey)
{
    QString key;
    if (!takeName(pszKey, &key))
        return FALSE;
    return RegDeleteKey(hRoot, key) == LONG(ERROR_SUCCESS) ? TRUE : FALSE;
}
