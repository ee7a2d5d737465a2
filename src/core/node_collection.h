#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/stored_text.h"

namespace mossleaf {

// One node of the outline. Key is fixed for the node's life; Index is its 1-based position
// in the collection, which is the order of adding (a parent always before its children).
struct Node {
    std::string Key;
    StoredText Text;  // the title; keeps the file's bytes while it is unchanged
    Node* Parent = nullptr;
    int Index = 0;

    const std::u16string& title() const { return Text.text(); }
};

// Told about every change so that a view (the tree widget) can stay in step with the model.
class NodeCollectionObserver {
public:
    virtual ~NodeCollectionObserver() = default;
    virtual void nodeAdded(const Node& node) = 0;
    // Called before the nodes leave the collection; `keys` holds the node and its descendants.
    virtual void nodesRemoving(const std::vector<std::string>& keys) = 0;
    virtual void nodeTextChanged(const Node& node) = 0;
    virtual void cleared() = 0;
};

enum class Relationship { Child = 4 };  // the only relationship the program uses (tvwChild)

// The tree's node collection: Index order = order of adding, Key unique, Remove takes the
// subtree and closes the gap.
class NodeCollection {
public:
    NodeCollection() = default;
    NodeCollection(const NodeCollection&) = delete;
    NodeCollection& operator=(const NodeCollection&) = delete;

    int Count() const { return static_cast<int>(nodes_.size()); }

    // 1-based; nullptr when out of range.
    Node* operator()(int index);
    const Node* operator()(int index) const;
    Node* find(std::string_view key);
    const Node* find(std::string_view key) const;

    // Adds a last root-level node. Returns nullptr (and adds nothing) when the key is in use.
    Node* Add(std::string key, StoredText text);
    // Adds the last child of `relative`. Returns nullptr when the key is in use or no node
    // has the relative key.
    Node* Add(std::string_view relative, Relationship relationship, std::string key,
              StoredText text);

    // Removes the node at `index` with its descendants; later nodes move down.
    void Remove(int index);
    void Clear();
    // Clear() and adding each node of `other` (left empty) again, without allocating, so
    // that a load that fails midway can leave the collection as it was.
    void replaceWith(NodeCollection& other);

    void setText(int index, StoredText text);

    void setObserver(NodeCollectionObserver* observer) { observer_ = observer; }

private:
    Node* append(std::string key, StoredText text, Node* parent);

    std::vector<std::unique_ptr<Node>> nodes_;
    std::map<std::string, Node*, std::less<>> byKey_;
    NodeCollectionObserver* observer_ = nullptr;
};

}  // namespace mossleaf
