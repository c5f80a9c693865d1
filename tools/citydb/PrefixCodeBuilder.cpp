#include "PrefixCodeBuilder.h"

#include <algorithm>
#include <queue>
#include <vector>

#include "BitWriter.h"

void PrefixCodeBuilder::Count(const std::string& text) {
    for (unsigned char c : text) {
        ++frequency_[c];
    }
    ++frequency_[0];
}

bool PrefixCodeBuilder::Build(std::string& error) {
    struct Node {
        uint64_t weight;
        int left, right, symbol;
    };
    std::vector<Node> nodes;
    using Item = std::pair<uint64_t, int>;  // weight, node; ties by node index keep the build deterministic
    std::priority_queue<Item, std::vector<Item>, std::greater<Item>> queue;
    for (int s = 0; s < 256; ++s) {
        if (frequency_[s] > 0) {
            nodes.push_back({frequency_[s], -1, -1, s});
            queue.push({frequency_[s], static_cast<int>(nodes.size()) - 1});
        }
    }
    if (nodes.size() > 255) {
        error = "more than 255 symbols";
        return false;
    }
    if (nodes.size() == 1) {
        nodes.push_back({0, -1, -1, nodes[0].symbol == 0 ? 1 : 0});
        queue.push({0, 1});
    }
    while (queue.size() > 1) {
        auto [wa, a] = queue.top();
        queue.pop();
        auto [wb, b] = queue.top();
        queue.pop();
        nodes.push_back({wa + wb, a, b, -1});
        queue.push({wa + wb, static_cast<int>(nodes.size()) - 1});
    }
    // Code lengths from the tree's depths, then canonical codes: shorter first, then by symbol.
    std::vector<std::pair<int, int>> lengths;  // length, symbol
    std::vector<std::pair<int, int>> stack = {{queue.top().second, 0}};
    while (!stack.empty()) {
        auto [index, depth] = stack.back();
        stack.pop_back();
        if (nodes[index].symbol >= 0) {
            lengths.push_back({std::max(depth, 1), nodes[index].symbol});
        } else {
            stack.push_back({nodes[index].left, depth + 1});
            stack.push_back({nodes[index].right, depth + 1});
        }
    }
    std::sort(lengths.begin(), lengths.end());
    if (lengths.back().first > 32) {
        error = "a code longer than 32 bits";
        return false;
    }
    uint64_t code = 0;
    int previous = lengths.front().first;
    for (auto [length, symbol] : lengths) {
        code <<= (length - previous);
        previous = length;
        codes_[symbol] = {static_cast<uint32_t>(code), length};
        ++code;
    }
    return true;
}

std::string PrefixCodeBuilder::Table() const {
    std::vector<std::pair<int, int>> order;
    for (int s = 0; s < 256; ++s) {
        if (codes_[s].length > 0) {
            order.push_back({codes_[s].length, s});
        }
    }
    std::sort(order.begin(), order.end());
    BitWriter writer;
    writer.Write(static_cast<uint32_t>(order.size()), 16);
    for (auto [length, symbol] : order) {
        writer.Write(static_cast<uint32_t>(symbol), 8);
        writer.Write(static_cast<uint32_t>(length), 8);
        writer.Write(codes_[symbol].bits, length);
    }
    return writer.Bytes();
}

std::string PrefixCodeBuilder::Encode(const std::string& text) const {
    BitWriter writer;
    for (unsigned char c : text) {
        writer.Write(codes_[c].bits, codes_[c].length);
    }
    writer.Write(codes_[0].bits, codes_[0].length);
    return writer.Bytes();
}
