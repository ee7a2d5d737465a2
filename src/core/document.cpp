#include "core/document.h"

#include <charconv>

#include "core/number_text.h"
#include "core/typed_text.h"

namespace mossleaf {

namespace {

bool isSlot(int number) {
    return number >= 0 && number < Document::kBodySlots;
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
    encoding = TextEncoding::Cp932;
    onDisk = FileFingerprint();
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
