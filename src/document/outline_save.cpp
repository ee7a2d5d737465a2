#include "document/outline_save.h"

#include "document/atomic_file.h"

namespace mossleaf {

SaveOutcome saveOutlineFile(Document& doc, const std::string& path,
                            const SinkInterposer& interpose) {
    AtomicFile file(path);
    if (!file.open()) {
        return {SaveOutcome::Status::Failed, file.error()};
    }
    std::string reason;
    auto writeAs = [&](TextEncoding encoding) {
        std::unique_ptr<ByteSink> front = interpose ? interpose(file.sink()) : nullptr;
        ByteSink& sink = front ? *front : file.sink();
        const WriteStatus status = writeOutline(doc, encoding, sink);
        if (status == WriteStatus::Failed) {
            reason = sink.failureReason();
        }
        return status;
    };

    WriteStatus status = writeAs(doc.Encoding);
    const bool fallback = status == WriteStatus::CannotHold;
    if (fallback) {
        if (!file.restart()) {
            return {SaveOutcome::Status::Failed, file.error()};
        }
        status = writeAs(TextEncoding::Utf8Bom);
    }
    if (status != WriteStatus::Written) {
        file.discard();
        return {SaveOutcome::Status::Failed, reason};
    }
    if (!file.commit()) {
        return {SaveOutcome::Status::Failed, file.error()};
    }
    if (fallback) {
        doc.Encoding = TextEncoding::Utf8Bom;
        return {SaveOutcome::Status::SavedAsUtf8, {}};
    }
    return {};
}

}  // namespace mossleaf
