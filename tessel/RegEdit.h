#pragma once
// Registry access: four functions that read or write one value in one step (open, act, close), and
// CRegEdit, a holder of one open key. Key and value names longer than 259 characters are refused
// (readers give their default, writers fail) rather than cut short.

#include "TesselExport.h"

#include <platform/LastError.h>
#include <platform/Registry.h>

#include <QString>

// The value's first four bytes (fewer bytes are zero-extended); dwDefault when the key, the value or
// a name is missing, or the value is longer than four bytes.
TESSEL_EXPORT platform::DWORD ReadDWORD(platform::HKEY hRoot, platform::LPCWSTR pszKey, platform::LPCWSTR pszName,
                                        platform::DWORD dwDefault);
// Writes a REG_DWORD, creating the key if needed; TRUE when written.
TESSEL_EXPORT platform::BOOL SaveDWORD(platform::HKEY hRoot, platform::LPCWSTR pszKey, platform::LPCWSTR pszName,
                                       platform::DWORD dwValue);
// The value as a new zero-terminated buffer (free it with delete[]); on any failure pszDefault itself.
TESSEL_EXPORT platform::LPWSTR ReadString(platform::HKEY hRoot, platform::LPCWSTR pszKey, platform::LPCWSTR pszName,
                                          platform::LPWSTR pszDefault);
// Writes a REG_SZ with its terminator, creating the key if needed; TRUE when written.
TESSEL_EXPORT platform::BOOL SaveString(platform::HKEY hRoot, platform::LPCWSTR pszKey, platform::LPCWSTR pszName,
                                        platform::LPCWSTR pszValue);

class TESSEL_EXPORT CRegEdit {
public:
    // Longest key or value name (the original copied names into 260-character buffers).
    static constexpr int kMaxName = 259;
    // RegRead and RegReadWchar read at most this many bytes.
    static constexpr platform::DWORD kReadBytes = 200;

    CRegEdit();
    ~CRegEdit();
    CRegEdit(const CRegEdit&) = delete;
    CRegEdit& operator=(const CRegEdit&) = delete;

    // 1 when the key opened, 2 when it was created (volatile), 0 when neither.
    platform::LONG RegOpen(platform::HKEY hRoot, platform::LPCWSTR pszKey);
    void RegClose();
    // Results are the system's codes (0 on success).
    platform::LONG RegWrite(platform::LPCWSTR pszName, platform::LPCWSTR pszText);
    platform::LONG RegWriteDword(platform::LPCWSTR pszName, platform::DWORD dwValue);
    // The value's bytes as text in the system's code page; empty on failure.
    platform::LONG RegRead(platform::LPCWSTR pszName, QString& strOut);
    // The value's bytes as UTF-16 text; empty on failure.
    platform::LONG RegReadWchar(platform::LPCWSTR pszName, QString& strOut);
    platform::BOOL RegDeleteKeyW(platform::HKEY hRoot, platform::LPCWSTR pszKey);

    platform::HKEY m_hKey = nullptr;

private:
    platform::LONG readBytes(platform::LPCWSTR pszName, QByteArray* bytes);
};
