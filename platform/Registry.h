#pragma once
// The registry: keys under four roots holding typed values, kept in the data folder's file
// "registry.json" (see RegistryStore.h). Every read takes the file afresh, since other processes (the
// GPS power driver) write it; writers are serialised across threads and processes, and each write
// replaces the file atomically. Calls follow the handheld's registry calls: results are the
// system's error codes (ERROR_SUCCESS = 0).
//
// A few values are the platform's own while no program has written them: a machine without the GPS
// power driver reports the receiver as powered (HKEY_LOCAL_MACHINE\Drivers\BuiltIn\GPDGPS,
// POWERSTATUS = 1), since an external receiver powers itself.

#include "LastError.h"
#include "WinTypes.h"

#include <QString>

namespace platform {

struct HKEY__;
using HKEY = HKEY__*;
using REGSAM = DWORD;

extern HKEY const HKEY_CLASSES_ROOT;
extern HKEY const HKEY_CURRENT_USER;
extern HKEY const HKEY_LOCAL_MACHINE;
extern HKEY const HKEY_USERS;

// Value types.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;

// Key options: a volatile key is gone after the machine restarts.
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_OPTION_VOLATILE = 1;
// What RegCreateKeyEx did.
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// subKey is relative to root (a root or an open key); an empty subKey opens root itself again. A
// lasting key cannot be made below a volatile one (ERROR_CHILD_MUST_BE_VOLATILE).
LONG RegOpenKeyEx(HKEY root, const QString& subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegCreateKeyEx(HKEY root, const QString& subKey, DWORD reserved, const QString& keyClass, DWORD options,
                    REGSAM access, void* security, HKEY* result, DWORD* disposition);
LONG RegCloseKey(HKEY key);

// With data null, only the size is given back. A buffer smaller than the value gets nothing and the
// result ERROR_MORE_DATA with the size needed in *cbData.
LONG RegQueryValueEx(HKEY key, const QString& name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* cbData);
LONG RegSetValueEx(HKEY key, const QString& name, DWORD reserved, DWORD type, const BYTE* data, DWORD cbData);
LONG RegDeleteValue(HKEY key, const QString& name);
// Deletes the key with everything below it.
LONG RegDeleteKey(HKEY root, const QString& subKey);

// The file behind the registry (in the data folder).
QString RegistryFilePath();

} // namespace platform
