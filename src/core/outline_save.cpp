#include "core/outline_save.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>

#include "core/atomic_file.h"
#include "core/content_hash.h"
#include "core/outline_format.h"
#include "core/outline_writer.h"

namespace mossleaf {

namespace {

// Hands the bytes on and follows them, to learn how the finished file will be read.
class WatchingSink : public ByteSink {
public:
    explicit WatchingSink(ByteSink& next) : next_(next) {}
    bool write(std::string_view bytes) override {
        validator_.feed(bytes);
        hash_.feed(bytes);
        return next_.write(bytes);
    }
    std::string failureReason() const override { return next_.failureReason(); }
    const Utf8Validator& validator() const { return validator_; }
    const ContentHash& hash() const { return hash_; }

private:
    ByteSink& next_;
    Utf8Validator validator_;
    ContentHash hash_;
};

// Whether a file written in `encoding` is read in that encoding again. Pure ASCII reads
// back the same whichever way it is taken.
bool readsBackAs(TextEncoding encoding, const Utf8Validator& written) {
    switch (encoding) {
        case TextEncoding::Cp932:
            return written.detected() == TextEncoding::Cp932;
        case TextEncoding::Utf8:
            return written.valid();
        case TextEncoding::Utf8Bom:
            return true;
    }
    return false;
}

SaveOutcome failed(std::string reason) {
    SaveOutcome outcome;
    outcome.status = SaveOutcome::Status::Failed;
    outcome.reason = std::move(reason);
    return outcome;
}

bool isLineEnd(char16_t unit) {
    return unit == u'\r' || unit == u'\n';
}

// A line (ended by CR LF, a lone CR or a lone LF, as the reader splits them) that the reader
// takes for a record header.
bool holdsHeaderLine(std::u16string_view body) {
    constexpr std::u16string_view marker = kRecordMarkerText;
    for (std::size_t at = body.find(marker); at != std::u16string_view::npos;
         at = body.find(marker, at + 1)) {
        const std::size_t after = at + marker.size();
        const bool startsLine = at == 0 || isLineEnd(body[at - 1]);
        const bool endsHeader =
            after == body.size() || isLineEnd(body[after]) || body[after] == u',';
        if (startsLine && endsHeader) {
            return true;
        }
    }
    return false;
}

// A body read from a file was split off at its header lines, so only changed ones can hold
// one.
std::vector<std::string> keysWithHeaderLines(const Document& doc) {
    std::vector<std::string> keys;
    for (int i = 1; i <= doc.Nodes.Count(); ++i) {
        const Node& node = *doc.Nodes(i);
        const int slot = NodeNumberOf(node.Key);
        if (slot < 0 || slot >= Document::kBodySlots) {
            continue;
        }
        const StoredText& body = doc.BodyTable[slot];
        if (!body.hasOriginalBytes() && holdsHeaderLine(body.text())) {
            keys.push_back(node.Key);
        }
    }
    return keys;
}

// What a save killed before it was done leaves: nothing yet, or the start of an outline.
// Anything else in a file of that name is somebody's, and stays.
LeftoverCheck outlineLeftovers() {
    return {kUtf8Bom.size() + kRecordMarker.size(), [](std::string_view head) {
                if (head.starts_with(kUtf8Bom)) {
                    head.remove_prefix(kUtf8Bom.size());
                    return head.starts_with(kRecordMarker);
                }
                return head.empty() || head.starts_with(kRecordMarker);
            }};
}

SaveOutcome save(Document& doc, const std::string& path, const SinkInterposer& interpose,
                 bool replaceChanged) {
    AtomicFile file(path, outlineLeftovers());
    if (!file.open()) {
        return failed(file.error());
    }
    std::string reason;
    bool readsBack = false;
    ContentHash written;
    auto writeAs = [&](TextEncoding encoding) {
        std::unique_ptr<ByteSink> front = interpose ? interpose(file.sink()) : nullptr;
        WatchingSink sink(front ? *front : file.sink());
        const WriteStatus status = writeOutline(doc, encoding, sink);
        if (status == WriteStatus::Failed) {
            reason = sink.failureReason();
        }
        readsBack = readsBackAs(encoding, sink.validator());
        written = sink.hash();
        return status;
    };

    TextEncoding encoding = doc.encoding;
    WriteStatus status = writeAs(encoding);
    // A file that would be read in another encoding, or that cannot be written in its own,
    // is written again as UTF-8 with a byte-order mark, which nothing can mistake.
    if (status == WriteStatus::CannotHold || (status == WriteStatus::Written && !readsBack)) {
        if (!file.restart()) {
            return failed(file.error());
        }
        encoding = TextEncoding::Utf8Bom;
        status = writeAs(encoding);
    }
    if (status != WriteStatus::Written) {
        file.discard();
        return failed(reason);
    }
    SaveOutcome outcome;
    // As late as can be, so that a change made while the file was written is seen too.
    if (!replaceChanged && doc.onDisk.isFor(file.target()) && doc.onDisk.changedAt(file.target())) {
        file.discard();
        outcome.status = SaveOutcome::Status::ChangedOnDisk;
        return outcome;
    }
    outcome.markerLineKeys = keysWithHeaderLines(doc);
    if (!file.commit()) {
        return failed(file.error());
    }
    doc.onDisk = FileFingerprint::ofWritten(file.target(), file.written(), written);
    if (encoding != doc.encoding) {
        // Only a CP932 notebook becoming UTF-8 is news to the user; a UTF-8 one that gained
        // its byte-order mark is still UTF-8.
        if (doc.encoding == TextEncoding::Cp932) {
            outcome.status = SaveOutcome::Status::SavedAsUtf8;
        }
        doc.encoding = encoding;
    }
    return outcome;
}

}  // namespace

SaveOutcome saveOutlineFile(Document& doc, const std::string& path, const SinkInterposer& interpose,
                            bool replaceChanged) {
    try {
        return save(doc, path, interpose, replaceChanged);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    // The temporary file went with the unwinding; the old file was never touched.
    return failed(std::strerror(ENOMEM));
}

SaveOutcome SaveDocument(Document& doc, const std::string& path, bool replaceChanged) {
    return saveOutlineFile(doc, path, {}, replaceChanged);
}

}  // namespace mossleaf
