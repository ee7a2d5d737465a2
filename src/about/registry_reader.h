#pragma once

#include <QByteArray>
#include <cstdint>

namespace mossleaf {

// A read-only view of a Windows-style registry: open a key under a root, read one value with
// its type into a caller's buffer, close the key. Names are 8-bit texts in the locale's
// encoding. Results are status codes, 0 for success.
namespace Registry {

using Key = std::uint32_t;

constexpr Key kLocalMachine = 0x80000002u;  // HKEY_LOCAL_MACHINE

constexpr std::uint32_t kTypeString = 1;  // REG_SZ
constexpr std::uint32_t kTypeNumber = 4;  // REG_DWORD

constexpr long kSuccess = 0;
constexpr long kNotFound = 2;       // ERROR_FILE_NOT_FOUND
constexpr long kInvalidHandle = 6;  // ERROR_INVALID_HANDLE
constexpr long kMoreData = 234;     // ERROR_MORE_DATA

}  // namespace Registry

class RegistryReader {
public:
    virtual ~RegistryReader() = default;

    // Opens `subKey` under `root`; on success `*key` is the open key.
    virtual long openKey(Registry::Key root, const QByteArray& subKey, std::uint32_t options,
                         std::uint32_t access, Registry::Key* key) = 0;

    // Reads the value `name` of an open key into `data`, which holds `*size` bytes. On
    // success `*type` is the value's type and `*size` the bytes written; a value longer than
    // the buffer fails with kMoreData and leaves the buffer alone.
    virtual long queryValue(Registry::Key key, const QByteArray& name, std::uint32_t* type,
                            unsigned char* data, std::uint32_t* size) = 0;

    virtual long closeKey(Registry::Key key) = 0;
};

}  // namespace mossleaf
