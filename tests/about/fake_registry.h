#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <cstring>

#include "about/registry_reader.h"

namespace mossleaf {

// A registry held in memory that records how it was used.
class FakeRegistry : public RegistryReader {
public:
    struct Value {
        std::uint32_t type;
        QByteArray data;
    };

    // Values by key path, then by value name; a key listed with no values exists but is empty.
    QMap<QByteArray, QMap<QByteArray, Value>> keys;

    long openKey(Registry::Key root, const QByteArray& subKey, std::uint32_t, std::uint32_t,
                 Registry::Key* key) override {
        if (root != Registry::kLocalMachine || !keys.contains(subKey)) {
            return Registry::kNotFound;
        }
        *key = next_++;
        open_.insert(*key, subKey);
        return Registry::kSuccess;
    }

    long queryValue(Registry::Key key, const QByteArray& name, std::uint32_t* type,
                    unsigned char* data, std::uint32_t* size) override {
        if (!open_.contains(key)) {
            return Registry::kInvalidHandle;
        }
        const auto& values = keys[open_.value(key)];
        if (!values.contains(name)) {
            return Registry::kNotFound;
        }
        const Value& value = values[name];
        const auto needed = static_cast<std::uint32_t>(value.data.size());
        *type = value.type;
        if (needed > *size) {
            *size = needed;
            return Registry::kMoreData;
        }
        std::memcpy(data, value.data.constData(), needed);
        *size = needed;
        return Registry::kSuccess;
    }

    long closeKey(Registry::Key key) override {
        return open_.remove(key) == 1 ? Registry::kSuccess : Registry::kInvalidHandle;
    }

    int openKeys() const { return static_cast<int>(open_.size()); }

private:
    QMap<Registry::Key, QByteArray> open_;
    Registry::Key next_ = 100;
};

}  // namespace mossleaf
