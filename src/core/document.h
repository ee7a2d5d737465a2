#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_fingerprint.h"
#include "core/node_collection.h"
#include "core/stored_text.h"
#include "core/text_codec.h"

namespace mossleaf {

// What LoadDocument found; the window turns it into the user's message.
struct LoadOutcome {
    enum class Status {
        Loaded,          // the file's records are the Document now (an empty file included)
        CannotOpen,      // nothing changed
        NotOutline,      // first line is not a record header: Document empty, no file name
        TooManyRecords,  // the first 512 records were read; no file name, so Save asks for one
    };
    Status status = Status::Loaded;
    std::string reason;  // the system's reason for CannotOpen, when known
    // CannotOpen because it is a pipe, a device or a socket, which are never read.
    bool specialFile = false;
};

struct SaveOutcome {
    enum class Status {
        Saved,
        SavedAsUtf8,  // CP932 would not give the same text back: written as UTF-8 with a BOM
        Failed,       // the old file is untouched and the Document unchanged
        // The file was written by someone else since it was read or saved here: nothing was
        // written, nothing changed. A save told to replace it writes over it.
        ChangedOnDisk,
    };
    Status status = Status::Saved;
    std::string reason;  // the system's reason for Failed, when known
    // Keys of the nodes whose body holds a line that reads back as a record header (the
    // marker alone, or the marker and a comma): the file was written, but on the next open
    // those notes split in two. In Index order.
    std::vector<std::string> markerLineKeys;
};

// The one notebook of the run. The window procedures of the same names call these and do
// the widget part themselves (reading Text1, showing Text2, moving the focus).
class Document {
public:
    static constexpr int BodySlots = 513;  // slots 0..512
    static constexpr int MaxRecords = 512;

    NodeCollection Nodes;
    std::array<StoredText, BodySlots> BodyTable;
    std::int16_t NodeCounter = 0;
    std::int16_t NodeLimit = 0;
    std::string CurrentKey;
    std::int16_t CurrentIndex = 0;
    std::string CurrentFileName;
    std::int16_t EntryMode = 0;
    // The encoding the file was read in; a new Document is written in CP932.
    TextEncoding Encoding = TextEncoding::Cp932;
    // The file last read or saved, as it was then; empty for a new Document.
    FileFingerprint onDisk;

    // Body of the node with `key`, or of slot n; empty for a slot out of range.
    const std::u16string& bodyOf(std::string_view key) const;

    // Adds a node titled `title` as the last child of CurrentKey's node (the last root-level
    // node when CurrentKey is empty or names no node), empties its slot and advances
    // NodeCounter. Returns the new node, or nullptr when NodeCounter is outside BodyTable.
    Node* AddNode(const std::u16string& title);
    // Sets the title of Nodes(CurrentIndex); does nothing when CurrentIndex names no node.
    // Titles, here and in AddNode, are made one line (see titleFromTyped).
    void RenameNode(const std::u16string& title);
    // Records the selected node as current and returns the body Text2 is to show. An empty
    // tree returns an empty text and keeps CurrentKey/CurrentIndex; no selection (empty key
    // or one that names no node) returns nothing and changes nothing.
    std::optional<std::u16string> ShowSelection(std::string_view selectedKey);
    // Stores `text` as the body of the selected node, each line break made CR LF (see
    // bodyFromTyped); nothing when no node is selected.
    void StoreBody(std::string_view selectedKey, std::u16string text);
    // Empties the tree and CurrentFileName; the caller empties Text2. The encoding goes back
    // to CP932, the one of a new Document (a load then sets its file's).
    void ClearDocument();

    // Running out of memory gives CannotOpen and leaves the Document as it was.
    LoadOutcome LoadDocument(const std::string& path);
    // Writing over the file last read or saved gives ChangedOnDisk when another program has
    // changed it since, unless `replaceChanged` is set.
    SaveOutcome SaveDocument(const std::string& path, bool replaceChanged = false);

private:
    void takeLoaded(Document& loaded);
};

// The number in a node key ("S12" -> 12): the characters after the first read as a decimal
// number (leading blanks skipped, reading stops at the first character that cannot continue
// it, no digits gives 0), rounded to a 16-bit integer; a value beyond 16 bits gives -1, which
// names no slot.
std::int16_t NodeNumberOf(std::string_view key);

std::string nodeKey(int number);  // "S" + number

}  // namespace mossleaf
