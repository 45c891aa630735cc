#include "navigation/MainTree.h"

#include <algorithm>

namespace quill {
namespace {

// The place of node among siblings, or siblings.size() when it is not one.
std::size_t placeAmong(const std::vector<std::unique_ptr<TreeNode>>& siblings, const TreeNode& node) {
    const auto found =
        std::find_if(siblings.begin(), siblings.end(),
                     [&node](const std::unique_ptr<TreeNode>& sibling) { return sibling.get() == &node; });
    return static_cast<std::size_t>(found - siblings.begin());
}

} // namespace

NodeAddress addressOf(const MainTree& tree, const TreeNode& node) {
    NodeAddress address;
    const TreeNode* at = &node;
    for (; at->parent; at = at->parent) {
        const std::size_t place = placeAmong(at->parent->children, *at);
        if (place == at->parent->children.size())
            return {};
        address.push_back(place);
    }
    const std::size_t place = placeAmong(tree.roots, *at);
    if (place == tree.roots.size())
        return {};
    address.push_back(place);
    std::reverse(address.begin(), address.end());
    return address;
}

TreeNode* nodeAt(MainTree& tree, const NodeAddress& address) {
    if (address.empty() || address.front() >= tree.roots.size())
        return nullptr;
    TreeNode* node = tree.roots[address.front()].get();
    for (std::size_t level = 1; level < address.size(); ++level) {
        if (address[level] >= node->children.size())
            return nullptr;
        node = node->children[address[level]].get();
    }
    return node;
}

} // namespace quill
