#include "about/sysinfo_registry.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <cstring>

namespace mossleaf {

namespace {

// Key and value names compare without regard to case, as registry names do.
bool sameName(const QByteArray& a, const char* b) {
    return qstricmp(a.constData(), b) == 0;
}

}  // namespace

QStringList SysInfoRegistry::defaultCandidates() {
    return {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
            QStringLiteral("cpu-x"), QStringLiteral("lshw-gtk")};
}

SysInfoRegistry::SysInfoRegistry(QStringList candidates) : candidates_(std::move(candidates)) {}

QString SysInfoRegistry::toolPath() const {
    for (const QString& name : candidates_) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty()) {
            return found;
        }
    }
    return {};
}

long SysInfoRegistry::openKey(Registry::Key root, const QByteArray& subKey,
                              std::uint32_t /*options*/, std::uint32_t /*access*/,
                              Registry::Key* key) {
    // Nothing here can be written, so the access asked for makes no difference.
    if (root != Registry::kLocalMachine || key == nullptr) {
        return Registry::kNotFound;
    }
    Which which;
    if (sameName(subKey, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO")) {
        which = Which::ToolPath;
    } else if (sameName(subKey, "SOFTWARE\\Microsoft\\Shared Tools Location")) {
        which = Which::ToolDirectory;
    } else {
        return Registry::kNotFound;
    }
    const QString tool = toolPath();
    if (tool.isEmpty()) {
        return Registry::kNotFound;
    }
    *key = nextKey_++;
    open_[*key] = OpenKey{which, tool};
    return Registry::kSuccess;
}

long SysInfoRegistry::queryValue(Registry::Key key, const QByteArray& name, std::uint32_t* type,
                                 unsigned char* data, std::uint32_t* size) {
    const auto it = open_.find(key);
    if (it == open_.end()) {
        return Registry::kInvalidHandle;
    }
    QByteArray value;
    if (it->second.which == Which::ToolPath && sameName(name, "PATH")) {
        value = it->second.tool.toLocal8Bit();
    } else if (it->second.which == Which::ToolDirectory && sameName(name, "MSINFO")) {
        value = QFileInfo(it->second.tool).absolutePath().toLocal8Bit();
    } else {
        return Registry::kNotFound;
    }
    value.append('\0');
    const auto needed = static_cast<std::uint32_t>(value.size());
    if (type != nullptr) {
        *type = Registry::kTypeString;
    }
    if (size == nullptr || data == nullptr || *size < needed) {
        if (size != nullptr) {
            *size = needed;
        }
        return Registry::kMoreData;
    }
    std::memcpy(data, value.constData(), needed);
    *size = needed;
    return Registry::kSuccess;
}

long SysInfoRegistry::closeKey(Registry::Key key) {
    return open_.erase(key) == 1 ? Registry::kSuccess : Registry::kInvalidHandle;
}

}  // namespace mossleaf
