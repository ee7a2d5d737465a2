#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/file_fingerprint.h"
#include "core/node_collection.h"
#include "core/stored_text.h"
#include "core/text_codec.h"

namespace mossleaf {

// What committing the title box does to the current node.
enum class TitleEntry : std::int16_t { AddChild, Rename };

// The one notebook of the run. The window procedures of the same names call these and do
// the widget part themselves (reading Text1, showing Text2, moving the focus). Reading and
// writing files is not the model's: LoadDocument (outline_reader) and SaveDocument
// (outline_save) fill it and write it out.
class Document {
public:
    static constexpr int kBodySlots = 513;  // slots 0..512
    static constexpr int kMaxRecords = 512;

    NodeCollection Nodes;
    std::array<StoredText, kBodySlots> BodyTable;
    std::int16_t NodeCounter = 0;
    std::int16_t NodeLimit = 0;
    std::string CurrentKey;
    std::int16_t CurrentIndex = 0;
    std::string CurrentFileName;
    TitleEntry EntryMode = TitleEntry::AddChild;
    // The encoding the file was read in; a new Document is written in CP932.
    TextEncoding encoding = TextEncoding::Cp932;
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
};

// The number in a node key ("S12" -> 12): the characters after the first read as a decimal
// number (leading blanks skipped, reading stops at the first character that cannot continue
// it, no digits gives 0), rounded to a 16-bit integer; a value beyond 16 bits gives -1, which
// names no slot.
std::int16_t NodeNumberOf(std::string_view key);

std::string nodeKey(int number);  // "S" + number

}  // namespace mossleaf
