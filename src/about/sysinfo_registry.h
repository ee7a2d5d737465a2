#pragma once

#include <QString>
#include <QStringList>
#include <map>

#include "about/registry_reader.h"

namespace mossleaf {

// This system has no registry. The About box only ever asks it where the system-information
// tool is, so this layer answers exactly those two values from the first system-information
// program found on the PATH, and nothing else: with none installed the keys do not exist.
// It reads nothing from disk beyond the PATH lookup and writes nothing.
class SysInfoRegistry : public RegistryReader {
public:
    // Programs looked for, in order of preference.
    static QStringList defaultCandidates();

    explicit SysInfoRegistry(QStringList candidates = defaultCandidates());

    long openKey(Registry::Key root, const QByteArray& subKey, std::uint32_t options,
                 std::uint32_t access, Registry::Key* key) override;
    long queryValue(Registry::Key key, const QByteArray& name, std::uint32_t* type,
                    unsigned char* data, std::uint32_t* size) override;
    long closeKey(Registry::Key key) override;

    // The full path of the tool this layer reports, or "" when none is installed.
    QString toolPath() const;

private:
    enum class Which { ToolPath, ToolDirectory };
    struct OpenKey {
        Which which;
        QString tool;
    };

    QStringList candidates_;
    std::map<Registry::Key, OpenKey> open_;
    Registry::Key nextKey_ = 1;
};

}  // namespace mossleaf
