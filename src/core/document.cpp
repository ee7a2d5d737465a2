#include "core/document.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

#include "core/number_text.h"
#include "core/outline_reader.h"
#include "core/outline_save.h"
#include "core/typed_text.h"

namespace mossleaf {

namespace {

bool isSlot(int number) {
    return number >= 0 && number < Document::BodySlots;
}

}  // namespace

const std::u16string& Document::bodyOf(std::string_view key) const {
    static const std::u16string empty;
    const int slot = NodeNumberOf(key);
    return isSlot(slot) ? BodyTable[slot].text() : empty;
}

Node* Document::AddNode(const std::u16string& title) {
    if (!isSlot(NodeCounter)) {
        return nullptr;
    }
    std::string key = nodeKey(NodeCounter);
    StoredText text(titleFromTyped(title));
    Node* node = nullptr;
    if (!CurrentKey.empty() && Nodes.find(CurrentKey) != nullptr) {
        node = Nodes.Add(CurrentKey, Relationship::Child, std::move(key), std::move(text));
    } else {
        node = Nodes.Add(std::move(key), std::move(text));
    }
    if (node == nullptr) {
        return nullptr;  // the key is taken: nothing changes
    }
    BodyTable[NodeCounter] = StoredText();
    ++NodeCounter;
    return node;
}

void Document::RenameNode(const std::u16string& title) {
    Node* node = Nodes(CurrentIndex);
    if (node == nullptr) {
        return;
    }
    StoredText text = node->Text;
    text.assign(titleFromTyped(title));  // keeps the file's bytes when the title did not change
    Nodes.setText(CurrentIndex, std::move(text));
}

std::optional<std::u16string> Document::ShowSelection(std::string_view selectedKey) {
    if (Nodes.Count() == 0) {
        return std::u16string();
    }
    const Node* node = selectedKey.empty() ? nullptr : Nodes.find(selectedKey);
    if (node == nullptr) {
        return std::nullopt;
    }
    CurrentIndex = static_cast<std::int16_t>(node->Index);
    CurrentKey = node->Key;
    return bodyOf(CurrentKey);
}

void Document::StoreBody(std::string_view selectedKey, std::u16string text) {
    if (selectedKey.empty() || Nodes.find(selectedKey) == nullptr) {
        return;
    }
    const int slot = NodeNumberOf(selectedKey);
    if (isSlot(slot)) {
        BodyTable[slot].assign(bodyFromTyped(text));
    }
}

void Document::ClearDocument() {
    Nodes.Clear();
    CurrentFileName.clear();
    // A new Document is written in CP932; a load sets the encoding of its file afterwards.
    Encoding = TextEncoding::Cp932;
    onDisk = FileFingerprint();
}

LoadOutcome Document::LoadDocument(const std::string& path) {
    try {
        std::string reason;
        struct stat opened {};
        std::shared_ptr<const std::string> bytes = readWholeFile(path, reason, &opened);
        if (!bytes) {
            const bool special =
                opened.st_mode != 0 && !S_ISREG(opened.st_mode) && !S_ISDIR(opened.st_mode);
            return {LoadOutcome::Status::CannotOpen, reason, special};
        }
        // Read into a Document of its own first: running out of memory halfway (a title of
        // a gigabyte) must leave this one as it was.
        auto loaded = std::make_unique<Document>();
        FileFingerprint print = FileFingerprint::ofRead(path, opened, bytes);
        const LoadOutcome outcome = loadOutline(*loaded, std::move(bytes), path);
        takeLoaded(*loaded);
        onDisk = std::move(print);
        return outcome;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return {LoadOutcome::Status::CannotOpen, std::strerror(ENOMEM)};
}

void Document::takeLoaded(Document& loaded) {
    // What loadOutline sets; the rest (the current node, the slots past the last record)
    // stays as a load into this Document would have left it.
    Nodes.replaceWith(loaded.Nodes);
    for (int slot = 1; slot < loaded.NodeCounter && slot < BodySlots; ++slot) {
        BodyTable[slot] = std::move(loaded.BodyTable[slot]);
    }
    NodeCounter = loaded.NodeCounter;
    CurrentFileName.swap(loaded.CurrentFileName);
    Encoding = loaded.Encoding;
}

SaveOutcome Document::SaveDocument(const std::string& path, bool replaceChanged) {
    return saveOutlineFile(*this, path, {}, replaceChanged);
}

std::int16_t NodeNumberOf(std::string_view key) {
    if (key.empty()) {
        return 0;
    }
    return readInt16Number(key.substr(1)).value_or(-1);
}

std::string nodeKey(int number) {
    char key[16] = {'S'};
    const auto end = std::to_chars(key + 1, key + sizeof key, number).ptr;
    return std::string(key, end);
}

}  // namespace mossleaf
