#include "core/node_collection.h"

namespace mossleaf {

Node* NodeCollection::operator()(int index) {
    return index >= 1 && index <= Count() ? nodes_[index - 1].get() : nullptr;
}

const Node* NodeCollection::operator()(int index) const {
    return index >= 1 && index <= Count() ? nodes_[index - 1].get() : nullptr;
}

Node* NodeCollection::find(std::string_view key) {
    const auto it = byKey_.find(key);
    return it == byKey_.end() ? nullptr : it->second;
}

const Node* NodeCollection::find(std::string_view key) const {
    const auto it = byKey_.find(key);
    return it == byKey_.end() ? nullptr : it->second;
}

Node* NodeCollection::Add(std::string key, StoredText text) {
    return append(std::move(key), std::move(text), nullptr);
}

Node* NodeCollection::Add(std::string_view relative, Relationship /*relationship*/, std::string key,
                          StoredText text) {
    Node* parent = find(relative);
    if (parent == nullptr) {
        return nullptr;
    }
    return append(std::move(key), std::move(text), parent);
}

Node* NodeCollection::append(std::string key, StoredText text, Node* parent) {
    if (byKey_.contains(key)) {
        return nullptr;
    }
    auto node = std::make_unique<Node>();
    node->Key = std::move(key);
    node->Text = std::move(text);
    node->Parent = parent;
    node->Index = Count() + 1;
    Node* added = node.get();
    nodes_.push_back(std::move(node));
    byKey_.emplace(added->Key, added);
    if (observer_) {
        observer_->nodeAdded(*added);
    }
    return added;
}

void NodeCollection::Remove(int index) {
    Node* root = (*this)(index);
    if (root == nullptr) {
        return;
    }
    // Descendants always come after their ancestors in Index order, so one forward pass
    // that follows parents already marked finds the whole subtree.
    std::vector<bool> removed(nodes_.size(), false);
    std::vector<std::string> keys{root->Key};
    removed[index - 1] = true;
    for (std::size_t i = index; i < nodes_.size(); ++i) {
        const Node* parent = nodes_[i]->Parent;
        if (parent != nullptr && removed[parent->Index - 1]) {
            removed[i] = true;
            keys.push_back(nodes_[i]->Key);
        }
    }
    if (observer_) {
        observer_->nodesRemoving(keys);
    }
    for (const std::string& key : keys) {
        byKey_.erase(key);
    }
    std::size_t kept = index - 1;
    for (std::size_t i = index - 1; i < nodes_.size(); ++i) {
        if (!removed[i]) {
            if (kept != i) {
                nodes_[kept] = std::move(nodes_[i]);
            }
            nodes_[kept]->Index = static_cast<int>(kept) + 1;
            ++kept;
        }
    }
    nodes_.resize(kept);
}

void NodeCollection::Clear() {
    byKey_.clear();
    nodes_.clear();
    if (observer_) {
        observer_->cleared();
    }
}

void NodeCollection::replaceWith(NodeCollection& other) {
    Clear();
    nodes_.swap(other.nodes_);
    byKey_.swap(other.byKey_);
    if (observer_) {
        for (const auto& node : nodes_) {
            observer_->nodeAdded(*node);
        }
    }
}

void NodeCollection::setText(int index, StoredText text) {
    Node* node = (*this)(index);
    if (node == nullptr) {
        return;
    }
    node->Text = std::move(text);
    if (observer_) {
        observer_->nodeTextChanged(*node);
    }
}

}  // namespace mossleaf
