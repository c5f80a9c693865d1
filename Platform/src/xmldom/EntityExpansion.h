// How much text a parsed document stands for once its entity references are written out. libxml2 keeps
// the references as they are, so a few kilobytes of nested entities parse quickly, but reading a node's
// text (or parsing again with the entities substituted) would then build gigabytes. Only the tree is
// read: no libxml2 call, so that the build tools that parse with libxml2 themselves measure the same way.
#pragma once

#include <libxml/tree.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace ce::detail {

class EntityExpansion {
public:
    // The most text a document of that many bytes may stand for: ten times its size, 1 MiB for a small one.
    static size_t BoundFor(size_t bytes) { return std::max(kSmallDocumentText, bytes * kTextPerByte); }

    // Whether the document's text, its references written out, stays within the bound for its size.
    // Only a document that declares entities is walked.
    static bool IsBounded(const xmlDoc* document, size_t bytes) {
        if (document->intSubset == nullptr || document->intSubset->entities == nullptr) {
            return true;
        }
        EntityExpansion expansion(BoundFor(bytes));
        return expansion.TextUnder(document->children) <= expansion.m_bound;
    }

private:
    static constexpr size_t kTextPerByte = 10;
    static constexpr size_t kSmallDocumentText = size_t(1) << 20;

    explicit EntityExpansion(size_t bound) : m_bound(bound) {}

    static size_t Sum(size_t a, size_t b) { return a > SIZE_MAX - b ? SIZE_MAX : a + b; }

    // The text under the nodes from first on; counting stops once it passes the bound.
    size_t TextUnder(const xmlNode* first) {
        size_t size = 0;
        for (const xmlNode* node = first; node != nullptr && size <= m_bound; node = node->next) {
            switch (node->type) {
                case XML_ENTITY_REF_NODE:
                    // A reference points at its declaration (when the document declares it).
                    if (node->children != nullptr && node->children->type == XML_ENTITY_DECL) {
                        size = Sum(size, OfEntity(reinterpret_cast<const xmlEntity*>(node->children)));
                    }
                    break;
                case XML_ELEMENT_NODE:
                    size = Sum(size, TextUnder(reinterpret_cast<const xmlNode*>(node->properties)));
                    size = Sum(size, TextUnder(node->children));
                    break;
                case XML_ATTRIBUTE_NODE:
                    size = Sum(size, TextUnder(node->children));
                    break;
                case XML_TEXT_NODE:
                case XML_CDATA_SECTION_NODE:
                    if (node->content != nullptr) {
                        size = Sum(size, std::strlen(reinterpret_cast<const char*>(node->content)));
                    }
                    break;
                default:  // declarations, comments and instructions are no text
                    break;
            }
        }
        return size;
    }

    // Each entity is measured once, however often it is used; one that refers to itself counts as too much.
    size_t OfEntity(const xmlEntity* entity) {
        const auto [known, isNew] = m_entities.try_emplace(entity, SIZE_MAX);
        if (!isNew) {
            return known->second;
        }
        size_t size = 0;
        if (entity->children != nullptr) {
            size = TextUnder(entity->children);
        } else if (entity->content != nullptr) {
            size = std::strlen(reinterpret_cast<const char*>(entity->content));
        }
        m_entities[entity] = size;
        return size;
    }

    size_t m_bound;
    std::unordered_map<const xmlEntity*, size_t> m_entities;
};

}  // namespace ce::detail
