#include "SvgAdapter.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>

#include "CssClassRules.h"
#include "SvgPath.h"
#include "SvgPathRewriter.h"
#include "SvgRasterizer.h"
#include "xmldom/EntityExpansion.h"

namespace {

constexpr size_t kMaxSourceSize = 16 * 1024 * 1024;
constexpr const char* kSvgNamespace = "http://www.w3.org/2000/svg";
constexpr const char* kXlinkNamespace = "http://www.w3.org/1999/xlink";

// The elements Pictorra draws or needs; everything else is dropped with its content.
constexpr std::array<const char*, 17> kKeptElements = {
    "svg", "g", "defs", "use", "symbol", "path", "circle", "ellipse", "line", "rect", "text",
    "linearGradient", "radialGradient", "stop", "polygon", "polyline", "a"};

// The style properties Pictorra reads, as presentation attributes.
constexpr std::array<const char*, 22> kStyleProperties = {
    "color", "display", "fill-opacity", "fill", "fill-rule", "font-family", "font-size", "font-style",
    "font-weight", "opacity", "stroke-dasharray", "stroke-dashoffset", "stroke-linecap", "stroke-linejoin",
    "stroke-miterlimit", "stroke-opacity", "stroke", "stroke-width", "text-anchor", "visibility",
    "stop-opacity", "stop-color"};

// Attributes that reach things the subset cannot draw.
constexpr std::array<const char*, 5> kDroppedAttributes = {"clip-path", "mask", "filter", "class", "style"};

template <size_t N>
bool Contains(const std::array<const char*, N>& names, const char* name)
{
    return std::any_of(names.begin(), names.end(), [name](const char* n) { return std::strcmp(n, name) == 0; });
}

const char* Name(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }
const xmlChar* X(const char* text) { return reinterpret_cast<const xmlChar*>(text); }

std::string Attribute(xmlNode* node, const char* name)
{
    xmlChar* value = xmlGetNoNsProp(node, X(name));
    if (!value) return {};
    std::string text(reinterpret_cast<char*>(value));
    xmlFree(value);
    return text;
}

bool HasAttribute(xmlNode* node, const char* name) { return xmlHasNsProp(node, X(name), nullptr) != nullptr; }

std::string TextOf(xmlNode* node)
{
    xmlChar* content = xmlNodeGetContent(node);
    if (!content) return {};
    std::string text(reinterpret_cast<char*>(content));
    xmlFree(content);
    return text;
}

bool InSvgNamespace(const xmlNode* node)
{
    return !node->ns || std::strcmp(reinterpret_cast<const char*>(node->ns->href), kSvgNamespace) == 0;
}

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// "0 0 64 64" (blanks or commas) into its four numbers.
bool ParseViewBox(const std::string& text, double box[4])
{
    std::string spaced = text;
    std::replace(spaced.begin(), spaced.end(), ',', ' ');
    char tail = 0;
    return std::sscanf(spaced.c_str(), "%lf %lf %lf %lf %c", &box[0], &box[1], &box[2], &box[3], &tail) == 4;
}

// A plain length in pixels ("64", "64px"); false for percentages and other units.
bool ParsePixels(const std::string& text, double& value)
{
    char unit[8] = {0};
    int count = std::sscanf(text.c_str(), "%lf%7s", &value, unit);
    return (count == 1 || (count == 2 && std::strcmp(unit, "px") == 0)) && value > 0;
}

// The id named by a paint "url(#id)", or "" for any other paint.
std::string PaintReference(const std::string& paint)
{
    if (paint.rfind("url(#", 0) != 0) return {};
    size_t close = paint.find(')');
    return close == std::string::npos ? std::string() : paint.substr(5, close - 5);
}

class Adaptation {
public:
    Adaptation(xmlDoc* doc, SvgAdapter::Result& result) : m_doc(doc), m_result(result) {}

    bool Run(std::string& error)
    {
        xmlNode* root = xmlDocGetRootElement(m_doc);
        if (!root || std::strcmp(Name(root), "svg") != 0 || !InSvgNamespace(root)) {
            error = "the document's root element is not svg";
            return false;
        }
        m_xlink = XlinkNamespace(root);
        ReadStyleSheets(root);
        if (m_rules.skippedRules() > 0) Note("style rules without a plain class selector");
        CollectGradients(root);
        MoveDefinitionsFirst(root);
        AdaptElement(root);
        if (!m_invalidPathData.empty()) {
            error = "the path data \"" + m_invalidPathData.substr(0, 40) + "\" is not valid";
            return false;
        }
        return SetPixelSize(root, error);
    }

private:
    void Note(const std::string& what)
    {
        if (std::find(m_result.notes.begin(), m_result.notes.end(), what) == m_result.notes.end())
            m_result.notes.push_back(what);
    }

    xmlNs* XlinkNamespace(xmlNode* root)
    {
        for (xmlNs* ns = root->nsDef; ns; ns = ns->next)
            if (ns->prefix && xmlStrEqual(ns->prefix, X("xlink")) && xmlStrEqual(ns->href, X(kXlinkNamespace)))
                return ns;
        return xmlNewNs(root, X(kXlinkNamespace), X("xlink"));
    }

    void ReadStyleSheets(xmlNode* node)
    {
        for (xmlNode* child = node->children; child; child = child->next) {
            if (child->type != XML_ELEMENT_NODE) continue;
            if (std::strcmp(Name(child), "style") == 0) m_rules.AddStyleSheet(TextOf(child));
            else ReadStyleSheets(child);
        }
    }

    void CollectGradients(xmlNode* node)
    {
        for (xmlNode* child = node->children; child; child = child->next) {
            if (child->type != XML_ELEMENT_NODE) continue;
            bool gradient = std::strcmp(Name(child), "linearGradient") == 0 ||
                            std::strcmp(Name(child), "radialGradient") == 0;
            if (gradient && HasAttribute(child, "id")) m_gradients.insert(Attribute(child, "id"));
            CollectGradients(child);
        }
    }

    // Pictorra resolves a reference only to something defined before it.
    void MoveDefinitionsFirst(xmlNode* root)
    {
        std::vector<xmlNode*> definitions;
        for (xmlNode* child = root->children; child; child = child->next)
            if (child->type == XML_ELEMENT_NODE && std::strcmp(Name(child), "defs") == 0) definitions.push_back(child);
        xmlNode* first = root->children;
        for (xmlNode* defs : definitions) {
            if (defs == first) {
                first = first->next;
                continue;
            }
            xmlUnlinkNode(defs);
            if (first) xmlAddPrevSibling(first, defs);
            else xmlAddChild(root, defs);
        }
    }

    void AdaptElement(xmlNode* node)
    {
        ResolveStyles(node);
        DropAttributes(node);
        NormaliseHref(node);
        CheckPaint(node, "fill");
        CheckPaint(node, "stroke");
        if (std::strcmp(Name(node), "path") == 0 && HasAttribute(node, "d")) AdaptPathData(node);
        xmlNode* child = node->children;
        while (child) {
            xmlNode* next = child->next;
            if (child->type == XML_ELEMENT_NODE && Keep(child)) AdaptElement(child);
            else if (child->type == XML_ELEMENT_NODE || child->type == XML_COMMENT_NODE || child->type == XML_PI_NODE)
                Remove(child);
            child = next;
        }
    }

    // Path data that Pictorra would cut short at an error is refused, since browsers stop there too.
    void AdaptPathData(xmlNode* node)
    {
        std::string d = SvgPathRewriter::MakeLinesExplicit(Attribute(node, "d"));
        xmlSetProp(node, X("d"), X(d.c_str()));
        SvgPath path;
        if (Failed(path.ParseData(d)) && m_invalidPathData.empty()) m_invalidPathData = d;
    }

    bool Keep(xmlNode* node)
    {
        if (!InSvgNamespace(node) || !Contains(kKeptElements, Name(node))) {
            Note(std::string("element ") + Name(node));
            return false;
        }
        // Pictorra fails a whole picture for one hidden element; a hidden element draws nothing anyway.
        std::string display = Attribute(node, "display");
        std::string visibility = Attribute(node, "visibility");
        for (const auto& [name, value] : CssDeclarations(node)) {
            if (name == "display") display = value;
            if (name == "visibility") visibility = value;
        }
        if (display == "none" || visibility == "hidden" || visibility == "collapse") {
            Note("hidden element " + std::string(Name(node)));
            return false;
        }
        return true;
    }

    void Remove(xmlNode* node)
    {
        xmlUnlinkNode(node);
        xmlFreeNode(node);
    }

    // Class rules, then the style attribute: the order in which they win over presentation attributes.
    std::vector<CssClassRules::Declaration> CssDeclarations(xmlNode* node)
    {
        std::vector<CssClassRules::Declaration> all = m_rules.For(Attribute(node, "class"));
        std::vector<CssClassRules::Declaration> inline_ = CssClassRules::ParseDeclarations(Attribute(node, "style"));
        all.insert(all.end(), inline_.begin(), inline_.end());
        return all;
    }

    void ResolveStyles(xmlNode* node)
    {
        for (const auto& [name, value] : CssDeclarations(node)) {
            if (Contains(kStyleProperties, name.c_str())) xmlSetProp(node, X(name.c_str()), X(value.c_str()));
            else Note("style property " + name);
        }
    }

    void DropAttributes(xmlNode* node)
    {
        xmlAttr* attribute = node->properties;
        while (attribute) {
            xmlAttr* next = attribute->next;
            const char* name = reinterpret_cast<const char*>(attribute->name);
            bool foreign = attribute->ns && !xmlStrEqual(attribute->ns->href, X(kXlinkNamespace)) &&
                           !xmlStrEqual(attribute->ns->prefix, X("xml"));
            if (foreign || (!attribute->ns && Contains(kDroppedAttributes, name))) {
                if (std::strcmp(name, "class") != 0 && std::strcmp(name, "style") != 0)
                    Note(std::string("attribute ") + name);
                xmlRemoveProp(attribute);
            }
            attribute = next;
        }
    }

    // Pictorra reads references only as "xlink:href".
    void NormaliseHref(xmlNode* node)
    {
        xmlChar* value = xmlGetNsProp(node, X("href"), X(kXlinkNamespace));
        if (!value) value = xmlGetNoNsProp(node, X("href"));
        if (!value) return;
        if (xmlAttr* plain = xmlHasNsProp(node, X("href"), nullptr)) xmlRemoveProp(plain);
        if (xmlAttr* linked = xmlHasNsProp(node, X("href"), X(kXlinkNamespace))) xmlRemoveProp(linked);
        xmlSetNsProp(node, m_xlink, X("href"), value);
        xmlFree(value);
    }

    // A paint that names anything but a gradient would fail the picture (patterns) or its element.
    void CheckPaint(xmlNode* node, const char* property)
    {
        std::string id = PaintReference(Attribute(node, property));
        if (id.empty() || m_gradients.count(id)) return;
        Note(std::string(property) + " url(#" + id + ")");
        xmlSetProp(node, X(property), X("none"));
    }

    bool SetPixelSize(xmlNode* root, std::string& error)
    {
        double box[4] = {0, 0, 0, 0};
        if (HasAttribute(root, "viewBox")) {
            if (!ParseViewBox(Attribute(root, "viewBox"), box) || box[2] <= 0 || box[3] <= 0) {
                error = "the viewBox \"" + Attribute(root, "viewBox") + "\" is not usable";
                return false;
            }
        } else if (!ParsePixels(Attribute(root, "width"), box[2]) || !ParsePixels(Attribute(root, "height"), box[3])) {
            error = "the picture has neither a viewBox nor a width and height in pixels";
            return false;
        } else {
            xmlSetProp(root, X("viewBox"), X(("0 0 " + Number(box[2]) + " " + Number(box[3])).c_str()));
        }
        m_result.width = std::max(1, int(std::lround(box[2])));
        m_result.height = std::max(1, int(std::lround(box[3])));
        xmlSetProp(root, X("width"), X(Number(m_result.width).c_str()));
        xmlSetProp(root, X("height"), X(Number(m_result.height).c_str()));
        return true;
    }

    xmlDoc* m_doc;
    SvgAdapter::Result& m_result;
    xmlNs* m_xlink = nullptr;
    CssClassRules m_rules;
    std::set<std::string> m_gradients;
    std::string m_invalidPathData;  // the first path data that does not parse
};

std::string Serialise(xmlDoc* doc)
{
    std::unique_ptr<xmlBuffer, void (*)(xmlBuffer*)> buffer(xmlBufferCreate(), xmlBufferFree);
    if (!buffer || xmlNodeDump(buffer.get(), doc, xmlDocGetRootElement(doc), 0, 0) < 0) return {};
    return std::string(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())), xmlBufferLength(buffer.get()));
}

std::string ParseErrorText(xmlParserCtxt* context)
{
    const xmlError* last = xmlCtxtGetLastError(context);
    if (!last || !last->message) return "it is not well-formed XML";
    std::string message = last->message;
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
    return "it is not well-formed XML (line " + std::to_string(last->line) + ": " + message + ")";
}

}  // namespace

bool SvgAdapter::Adapt(std::string_view source, Result& result, std::string& error)
{
    result = Result{};
    if (source.size() > kMaxSourceSize) {
        error = "it is larger than any picture (" + std::to_string(source.size()) + " bytes)";
        return false;
    }
    std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxt*)> context(xmlNewParserCtxt(), xmlFreeParserCtxt);
    if (!context) {
        error = "out of memory";
        return false;
    }
    // No network, no external entities. Internal entities are written out, since only the root goes on:
    // first measured with their references kept, which costs what the picture's own text costs.
    const int options = XML_PARSE_NONET | XML_PARSE_NOBLANKS | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> doc(
        xmlCtxtReadMemory(context.get(), source.data(), int(source.size()), "picture.svg", nullptr, options),
        xmlFreeDoc);
    if (!doc || !context->wellFormed) {
        error = ParseErrorText(context.get());
        return false;
    }
    if (doc->intSubset && doc->intSubset->entities) {
        if (!ce::detail::EntityExpansion::IsBounded(doc.get(), source.size())) {
            error = "its entities stand for more than " +
                    std::to_string(ce::detail::EntityExpansion::BoundFor(source.size())) + " bytes of text";
            return false;
        }
        doc.reset(xmlCtxtReadMemory(context.get(), source.data(), int(source.size()), "picture.svg", nullptr,
                                    options | XML_PARSE_NOENT));
        if (!doc || !context->wellFormed) {
            error = ParseErrorText(context.get());
            return false;
        }
    }
    if (!Adaptation(doc.get(), result).Run(error)) return false;
    result.svg = Serialise(doc.get());
    if (result.svg.empty()) {
        error = "the adapted picture cannot be written out";
        return false;
    }
    SvgRaster raster;
    if (SvgStatus status = SvgRasterizer::Render(result.svg, result.width, result.height, raster); Failed(status)) {
        error = "the adapted picture does not render (status " + std::to_string(int(status)) + ")";
        return false;
    }
    return true;
}
