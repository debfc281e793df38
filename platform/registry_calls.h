// The registry calls the program makes, with the types, handles, value types, access masks and
// error codes they use. Implemented by the registry stand-in (standin/registry) over its hive.
//
// What every call promises:
// - A handle is a predefined root (HKEY_CLASSES_ROOT ... HKEY_CURRENT_CONFIG) or a handle
//   returned by an open or create call and not yet closed. Anything else, 0 included, gives
//   ERROR_INVALID_HANDLE. A handle whose key was deleted since it was opened gives
//   ERROR_KEY_DELETED in every call but RegCloseKey.
// - Key and value names match without regard to case (ASCII letters; double-byte characters
//   of code page 936 compare exactly) and keep the case they were created with.
// - A sub-key path is a list of key names separated by backslashes; one or two trailing
//   backslashes are ignored; an empty path names the key of the handle itself; a leading
//   backslash (except below HKEY_CLASSES_ROOT) or an empty name between two backslashes gives
//   ERROR_BAD_PATHNAME. A key name holds at most 255
//   characters, a value name at most 16383 (ERROR_INVALID_PARAMETER otherwise).
// - Access is granted when a key is opened: HKEY_CURRENT_USER is the user's own and writable;
//   HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT, HKEY_USERS and HKEY_CURRENT_CONFIG are machine-wide
//   and read-only, as for a user without administrator rights, unless the stand-in is told to
//   allow machine-wide writes. Asking for write access there gives ERROR_ACCESS_DENIED; a
//   handle used for something its granted access does not cover gives ERROR_ACCESS_DENIED.
// - HKEY_CLASSES_ROOT shows HKEY_CURRENT_USER\Software\Classes over
//   HKEY_LOCAL_MACHINE\SOFTWARE\Classes: its sub-keys are both lists together, and a key of
//   the user's shows (and takes writes of values and new sub-keys into) the user's key;
//   otherwise the machine's, read-only as above. Keys created at its top are the machine's.
// - Volatile keys (REG_OPTION_VOLATILE) live in a second hive in the user's runtime folder,
//   which the system empties at boot (in memory when there is none), so they do not outlive
//   a restart of the machine. They may hang below any key; only volatile keys below them.
// - A hive file that is damaged makes calls fail with ERROR_BADDB (said once on the standard
//   error stream); one that cannot be read or is not a hive, with ERROR_REGISTRY_IO_FAILED.
// - A write that returned ERROR_SUCCESS is durable: it survives the process ending at once.
// - Failures leave out-parameters untouched unless the call says otherwise.
#pragma once

#include <cstdint>

namespace trenmoor::win {

using BYTE = std::uint8_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using LSTATUS = LONG;
using REGSAM = DWORD;
using HKEY = std::uint32_t;  // 0 = no key

// Predefined root keys: always open, never need closing.
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr HKEY HKEY_USERS = 0x80000003u;
constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;

// Value types, stored and reported as given (any number is accepted).
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
constexpr DWORD REG_LINK = 6;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

// Access masks.
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
constexpr REGSAM DELETE = 0x00010000;
constexpr REGSAM READ_CONTROL = 0x00020000;
constexpr REGSAM WRITE_DAC = 0x00040000;
constexpr REGSAM WRITE_OWNER = 0x00080000;
constexpr REGSAM MAXIMUM_ALLOWED = 0x02000000;
constexpr REGSAM KEY_READ = READ_CONTROL | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY;
constexpr REGSAM KEY_WRITE = READ_CONTROL | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;

// Options and dispositions of RegCreateKeyExA.
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_OPTION_VOLATILE = 1;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Results.
constexpr LSTATUS ERROR_SUCCESS = 0;
constexpr LSTATUS ERROR_FILE_NOT_FOUND = 2;
constexpr LSTATUS ERROR_ACCESS_DENIED = 5;
constexpr LSTATUS ERROR_INVALID_HANDLE = 6;
constexpr LSTATUS ERROR_OUTOFMEMORY = 14;
constexpr LSTATUS ERROR_INVALID_PARAMETER = 87;
constexpr LSTATUS ERROR_BAD_PATHNAME = 161;
constexpr LSTATUS ERROR_MORE_DATA = 234;
constexpr LSTATUS ERROR_NO_MORE_ITEMS = 259;
constexpr LSTATUS ERROR_BADDB = 1009;  // the hive's file is damaged
constexpr LSTATUS ERROR_REGISTRY_IO_FAILED = 1016;  // the hive could not be read or written
constexpr LSTATUS ERROR_KEY_DELETED = 1018;
constexpr LSTATUS ERROR_CHILD_MUST_BE_VOLATILE = 1021;

// Opens the key at `subKey` below `key` (null or empty: the key itself) with the access asked
// for (MAXIMUM_ALLOWED: everything the caller may have). `options` must be 0.
// Success: *result receives a new handle, to be closed with RegCloseKey.
// Failure: *result receives 0. ERROR_FILE_NOT_FOUND when a key on the path is missing,
// ERROR_ACCESS_DENIED when write access is asked on a read-only key, ERROR_INVALID_PARAMETER
// for a null `result` (nothing written) or non-zero options.
LSTATUS RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, REGSAM desired, HKEY* result);

// RegOpenKeyExA with MAXIMUM_ALLOWED access, except that an empty or null `subKey` gives back
// `key` itself in *result (after checking it), not a new handle.
LSTATUS RegOpenKeyA(HKEY key, const char* subKey, HKEY* result);

// Opens the key at `subKey` below `key`, creating it and every missing key on the way.
// `reserved` must be 0, `options` REG_OPTION_NON_VOLATILE or REG_OPTION_VOLATILE (for the keys
// it creates; an existing key opens whatever it is); the class and security attributes are
// ignored. Creating a key needs a writable tree, and no right on `key` beyond its being open.
// Success: *result receives a new handle with the access asked for; *disposition (when given)
// receives REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY. All keys created by one call are
// committed together.
// Failure: *result receives 0, *disposition is untouched, nothing is created.
// ERROR_ACCESS_DENIED for a read-only tree, ERROR_CHILD_MUST_BE_VOLATILE for a non-volatile
// key below a volatile one, ERROR_INVALID_PARAMETER for a null `result`, non-zero `reserved`
// or another option.
LSTATUS RegCreateKeyExA(HKEY key, const char* subKey, DWORD reserved, const char* keyClass,
                        DWORD options, REGSAM desired, const void* securityAttributes,
                        HKEY* result, DWORD* disposition);

// RegCreateKeyExA with no class, REG_OPTION_NON_VOLATILE and MAXIMUM_ALLOWED access; an empty
// or null `subKey` gives back `key` itself, as RegOpenKeyA does.
LSTATUS RegCreateKeyA(HKEY key, const char* subKey, HKEY* result);

// Closes a handle. Closing a predefined root succeeds and does nothing.
// Failure: ERROR_INVALID_HANDLE for 0, an unknown handle or one already closed.
LSTATUS RegCloseKey(HKEY key);

// Copies the name of the sub-key at `index` (sub-keys in the order of their names compared
// without regard to case) into `name`, with a terminating zero, when `nameSize` bytes hold it.
// Needs KEY_ENUMERATE_SUB_KEYS.
// Failure: ERROR_NO_MORE_ITEMS past the last sub-key; ERROR_MORE_DATA when the name and its
// terminator need more than `nameSize` bytes; ERROR_INVALID_PARAMETER for a null `name`.
// `name` is untouched on every failure.
LSTATUS RegEnumKeyA(HKEY key, DWORD index, char* name, DWORD nameSize);

// Reports the value at `index` (values in the order they were first written).
// `nameSize` (required) holds the size of `name` in bytes; `reserved` must be null; `type`,
// `data` and `dataSize` are optional; `data` needs `dataSize`.
// Success: the name and a terminating zero are copied to `name`, *nameSize receives the name's
// length without the terminator, *type the type, and *dataSize the data's size; the data are
// copied to `data` when it is given.
// ERROR_MORE_DATA, name too long for *nameSize bytes (terminator included): only *type and
// *dataSize (the data's size) are written.
// ERROR_MORE_DATA, data larger than *dataSize: name, *nameSize and *type written as on
// success, *dataSize receives the size needed, `data` untouched.
// String data (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) copied into a buffer with room for one
// more byte get a terminating zero there, as RegQueryValueExA's do.
// Other failures (ERROR_NO_MORE_ITEMS past the last value, ERROR_INVALID_PARAMETER):
// nothing written.
LSTATUS RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved,
                      DWORD* type, BYTE* data, DWORD* dataSize);

// Reads the value `valueName` (null or empty: the key's default value). Needs KEY_QUERY_VALUE.
// `reserved` must be null; `data` needs `dataSize`. String types are returned as stored, with
// *dataSize the stored size; when `data` has room for one more byte a terminating zero is
// written there.
// Success: *type (when given) receives the type, *dataSize (when given) the data's size, and
// the data are copied to `data` when it is given.
// ERROR_MORE_DATA, data larger than *dataSize: *type and *dataSize (the size needed) written,
// `data` untouched.
// ERROR_FILE_NOT_FOUND for a missing value: *dataSize receives 0 when `data` is null, nothing
// else is written. Other failures (ERROR_INVALID_PARAMETER): nothing written.
LSTATUS RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type,
                         BYTE* data, DWORD* dataSize);

// Writes the value `valueName` (null or empty: the default value) with `type` and `dataSize`
// bytes of `data` (null only with size 0), replacing any value of that name in place, without
// regard to case, keeping its position in the listing. Needs KEY_SET_VALUE. `reserved` is
// ignored.
// Failure: nothing is written.
LSTATUS RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type,
                       const BYTE* data, DWORD dataSize);

// Deletes the key at `subKey` below `key` (empty: `key` itself) with its values. The key must
// have no sub-keys, volatile ones included. Handles of the deleted key then give
// ERROR_KEY_DELETED.
// Failure: ERROR_FILE_NOT_FOUND when it does not exist, ERROR_ACCESS_DENIED when it has
// sub-keys, is a root or lies in a read-only tree, ERROR_INVALID_PARAMETER for a null
// `subKey`. Nothing is deleted.
LSTATUS RegDeleteKeyA(HKEY key, const char* subKey);

// Deletes the value `valueName` (null or empty: the default value). Needs KEY_SET_VALUE.
// Failure: ERROR_FILE_NOT_FOUND when there is no such value; nothing is deleted.
LSTATUS RegDeleteValueA(HKEY key, const char* valueName);

// Makes sure the key's writes are on disk. Writes are durable once they return, so this only
// folds the hive's write-ahead log back into its file.
// Failure: ERROR_INVALID_HANDLE, ERROR_KEY_DELETED, ERROR_REGISTRY_IO_FAILED.
LSTATUS RegFlushKey(HKEY key);

}  // namespace trenmoor::win
