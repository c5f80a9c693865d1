#include "SvgSubsetCheck.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string_view>

namespace {

enum class Value {
    Length,          // a number, optionally in px
    LengthOrShare,   // a number or a percentage (gradient geometry)
    Positive,        // a length above 0
    NonNegative,     // a length of 0 or more
    Opacity,         // 0 to 1, or 0% to 100%
    Colour,          // #rgb, #rrggbb or currentColor
    Paint,           // a colour, none, or url(#gradient)
    LineCap,
    LineJoin,
    FillRule,
    DashArray,
    Transform,
    PathData,
    Points,
    ViewBox,
    AspectRatio,
    Reference,  // #id of an element defined earlier
    Units,
    Spread,
    Ignored,    // namespace and version declarations
};

using AttributeTable = std::map<std::string, Value, std::less<>>;

// The presentation attributes that the library reads. The "style" attribute is left out on purpose:
// the library drops a bad value there without a trace.
const AttributeTable kStyle = {
    {"color", Value::Colour},
    {"fill", Value::Paint},
    {"fill-opacity", Value::Opacity},
    {"fill-rule", Value::FillRule},
    {"opacity", Value::Opacity},
    {"stroke", Value::Paint},
    {"stroke-dasharray", Value::DashArray},
    {"stroke-dashoffset", Value::Length},
    {"stroke-linecap", Value::LineCap},
    {"stroke-linejoin", Value::LineJoin},
    {"stroke-miterlimit", Value::NonNegative},
    {"stroke-opacity", Value::Opacity},
    {"stroke-width", Value::NonNegative},
    {"transform", Value::Transform},
};

struct ElementRule {
    AttributeTable attributes;
    std::set<std::string, std::less<>> required;
    bool styled = true;
};

const AttributeTable kGradientCommon = {{"gradientUnits", Value::Units},
                                        {"gradientTransform", Value::Transform},
                                        {"spreadMethod", Value::Spread},
                                        {"xlink:href", Value::Reference}};

AttributeTable Merge(AttributeTable a, const AttributeTable& b) {
    a.insert(b.begin(), b.end());
    return a;
}

// Text, images and patterns are left out: text depends on the fonts of the machine, and the library
// fails every picture that paints an image or a pattern.
const std::map<std::string, ElementRule, std::less<>> kElements = {
    {"svg",
     {{{"width", Value::Positive},
       {"height", Value::Positive},
       {"viewBox", Value::ViewBox},
       {"preserveAspectRatio", Value::AspectRatio},
       {"version", Value::Ignored}},
      {"width", "height", "viewBox"}}},
    {"g", {}},
    {"defs", {{}, {}, false}},
    {"use", {{{"x", Value::Length}, {"y", Value::Length}, {"xlink:href", Value::Reference}}, {"xlink:href"}}},
    {"path", {{{"d", Value::PathData}}, {"d"}}},
    {"rect",
     {{{"x", Value::Length},
       {"y", Value::Length},
       {"width", Value::NonNegative},
       {"height", Value::NonNegative},
       {"rx", Value::NonNegative},
       {"ry", Value::NonNegative}},
      {"width", "height"}}},
    {"circle", {{{"cx", Value::Length}, {"cy", Value::Length}, {"r", Value::NonNegative}}, {"r"}}},
    {"ellipse",
     {{{"cx", Value::Length}, {"cy", Value::Length}, {"rx", Value::NonNegative}, {"ry", Value::NonNegative}},
      {"rx", "ry"}}},
    {"line", {{{"x1", Value::Length}, {"y1", Value::Length}, {"x2", Value::Length}, {"y2", Value::Length}}, {}}},
    {"polygon", {{{"points", Value::Points}}, {"points"}}},
    {"polyline", {{{"points", Value::Points}}, {"points"}}},
    {"linearGradient",
     {Merge({{"x1", Value::LengthOrShare},
             {"y1", Value::LengthOrShare},
             {"x2", Value::LengthOrShare},
             {"y2", Value::LengthOrShare}},
            kGradientCommon),
      {},
      false}},
    {"radialGradient",
     {Merge({{"cx", Value::LengthOrShare},
             {"cy", Value::LengthOrShare},
             {"r", Value::LengthOrShare},
             {"fx", Value::LengthOrShare},
             {"fy", Value::LengthOrShare}},
            kGradientCommon),
      {},
      false}},
    {"stop",
     {{{"offset", Value::Opacity}, {"stop-color", Value::Colour}, {"stop-opacity", Value::Opacity}},
      {"offset", "stop-color"},
      false}},
};

bool IsSeparator(char c) { return c == ',' || std::isspace(static_cast<unsigned char>(c)); }

void SkipSeparators(std::string_view& text) {
    while (!text.empty() && IsSeparator(text.front())) {
        text.remove_prefix(1);
    }
}

// Reads one number the way the library's scanner does: sign, digits, fraction, exponent.
bool ReadNumber(std::string_view& text, double& value) {
    SkipSeparators(text);
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) {
            while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
            i = j;
        }
    }
    value = std::strtod(std::string(text.substr(0, i)).c_str(), nullptr);
    text.remove_prefix(i);
    return true;
}

// Every number of a blank- or comma-separated list; false when anything else is in it.
bool ReadNumberList(std::string_view text, std::vector<double>& numbers) {
    double value = 0;
    while (ReadNumber(text, value)) numbers.push_back(value);
    SkipSeparators(text);
    return text.empty();
}

bool ReadLength(std::string_view text, double& value, bool allowShare) {
    if (!ReadNumber(text, value)) return false;
    if (text == "px" || text.empty()) return true;
    if (allowShare && text == "%") {
        value /= 100;
        return true;
    }
    return false;
}

bool IsHexColour(std::string_view text) {
    if (text.size() != 4 && text.size() != 7) return false;
    if (text.front() != '#') return false;
    for (char c : text.substr(1)) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

bool IsOneOf(std::string_view text, std::initializer_list<std::string_view> words) {
    for (std::string_view word : words) {
        if (text == word) return true;
    }
    return false;
}

bool CheckTransform(std::string_view text) {
    static const std::map<std::string_view, std::pair<size_t, size_t>> kArguments = {
        {"matrix", {6, 6}}, {"translate", {1, 2}}, {"scale", {1, 2}},
        {"rotate", {1, 3}}, {"skewX", {1, 1}},     {"skewY", {1, 1}}};
    SkipSeparators(text);
    if (text.empty()) return false;
    while (!text.empty()) {
        size_t open = text.find('(');
        size_t close = text.find(')');
        if (open == std::string_view::npos || close == std::string_view::npos || close < open) return false;
        auto found = kArguments.find(text.substr(0, open));
        std::vector<double> numbers;
        if (found == kArguments.end() || !ReadNumberList(text.substr(open + 1, close - open - 1), numbers)) return false;
        auto [least, most] = found->second;
        if (numbers.size() < least || numbers.size() > most || (found->first == "rotate" && numbers.size() == 2)) {
            return false;
        }
        text.remove_prefix(close + 1);
        SkipSeparators(text);
    }
    return true;
}

// Path data, stricter than the library: a path begins with a move, each move carries exactly one
// coordinate pair (the library turns further pairs into moves, where a browser draws lines), and the
// arc flags are 0 or 1.
std::string CheckPathData(std::string_view text) {
    static const std::map<char, size_t> kGroup = {{'M', 2}, {'L', 2}, {'H', 1}, {'V', 1}, {'C', 6},
                                                  {'S', 4}, {'Q', 4}, {'T', 2}, {'A', 7}, {'Z', 0}};
    bool first = true;
    SkipSeparators(text);
    if (text.empty()) return "empty path data";
    while (!text.empty()) {
        char letter = text.front();
        auto group = kGroup.find(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
        if (!std::isalpha(static_cast<unsigned char>(letter)) || group == kGroup.end()) {
            return std::string("path data holds '") + letter + "' where a command belongs";
        }
        if (first && group->first != 'M') return "path data does not begin with a move";
        first = false;
        text.remove_prefix(1);
        std::vector<double> numbers;
        double value = 0;
        std::string_view rest = text;
        while (ReadNumber(rest, value)) {
            numbers.push_back(value);
            text = rest;
        }
        SkipSeparators(text);
        size_t size = group->second;
        if (size == 0 ? !numbers.empty() : (numbers.empty() || numbers.size() % size != 0)) {
            return std::string("path command '") + letter + "' has an incomplete argument group";
        }
        if (group->first == 'M' && numbers.size() != 2) {
            return std::string("path command '") + letter + "' has more than one pair: write the lines with L";
        }
        for (size_t i = 0; group->first == 'A' && i < numbers.size(); i += 7) {
            for (size_t flag : {i + 3, i + 4}) {
                if (numbers[flag] != 0 && numbers[flag] != 1) return "an arc flag is neither 0 nor 1";
            }
        }
    }
    return {};
}

class Checker {
public:
    std::vector<std::string> Run(const std::string& svgText) {
        std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> document(
            xmlReadMemory(svgText.data(), static_cast<int>(svgText.size()), "picture.svg", nullptr,
                          XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
            &xmlFreeDoc);
        if (!document) return {"not well-formed XML"};
        xmlNode* root = xmlDocGetRootElement(document.get());
        if (root == nullptr || Name(root) != "svg") return {"the root element is not svg"};
        Visit(root, nullptr);
        return problems_;
    }

private:
    static std::string Name(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

    static std::string QualifiedName(const xmlAttr* attribute) {
        std::string name = reinterpret_cast<const char*>(attribute->name);
        if (attribute->ns != nullptr && attribute->ns->prefix != nullptr) {
            name = reinterpret_cast<const char*>(attribute->ns->prefix) + (":" + name);
        }
        return name;
    }

    static std::string Text(xmlNode* node, const xmlAttr* attribute) {
        std::unique_ptr<xmlChar, decltype(xmlFree)> value(xmlNodeListGetString(node->doc, attribute->children, 1),
                                                          xmlFree);
        return value ? reinterpret_cast<const char*>(value.get()) : "";
    }

    void Problem(const xmlNode* node, const std::string& what) {
        problems_.push_back("line " + std::to_string(node->line) + ", " + Name(node) + ": " + what);
    }

    void Visit(xmlNode* node, xmlNode* parent) {
        const std::string name = Name(node);
        auto rule = kElements.find(name);
        if (rule == kElements.end()) {
            Problem(node, "element outside the subset the pictures use");
            return;
        }
        if (name == "svg" && parent != nullptr) Problem(node, "nested svg element");
        if (name == "stop" && (parent == nullptr || Name(parent).find("Gradient") == std::string::npos)) {
            Problem(node, "stop outside a gradient");
        }
        CheckAttributes(node, rule->second);
        for (xmlNode* child = node->children; child != nullptr; child = child->next) {
            if (child->type == XML_ELEMENT_NODE) {
                Visit(child, node);
            } else if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
                std::string text = reinterpret_cast<const char*>(child->content);
                if (text.find_first_not_of(" \t\r\n") != std::string::npos) Problem(node, "holds text");
            }
        }
    }

    void CheckAttributes(xmlNode* node, const ElementRule& rule) {
        std::set<std::string, std::less<>> seen;
        std::string id;
        for (xmlAttr* attribute = node->properties; attribute != nullptr; attribute = attribute->next) {
            const std::string name = QualifiedName(attribute);
            seen.insert(name);
            const std::string value = Text(node, attribute);
            if (name == "id") {
                id = value;
                continue;
            }
            auto own = rule.attributes.find(name);
            auto style = kStyle.find(name);
            if (own != rule.attributes.end()) {
                CheckValue(node, name, value, own->second);
            } else if (rule.styled && style != kStyle.end()) {
                CheckValue(node, name, value, style->second);
            } else {
                Problem(node, "attribute " + name + " is not read here, or drops silently");
            }
        }
        for (const std::string& required : rule.required) {
            if (!seen.contains(required)) Problem(node, "lacks " + required);
        }
        if (!id.empty()) {
            if (!defined_.emplace(id, Name(node)).second) Problem(node, "id " + id + " is used twice");
        }
    }

    void CheckValue(xmlNode* node, const std::string& name, std::string_view value, Value kind) {
        std::string why = Why(value, kind);
        if (!why.empty()) Problem(node, name + "=\"" + std::string(value) + "\": " + why);
    }

    // Empty when the value is sound for its kind, else the reason.
    std::string Why(std::string_view value, Value kind) const {
        double number = 0;
        std::vector<double> numbers;
        switch (kind) {
        case Value::Length:
            return ReadLength(value, number, false) ? "" : "not a length";
        case Value::LengthOrShare:
            return ReadLength(value, number, true) ? "" : "not a length or percentage";
        case Value::Positive:
            return ReadLength(value, number, false) && number > 0 ? "" : "not a length above 0";
        case Value::NonNegative:
            return ReadLength(value, number, false) && number >= 0 ? "" : "not a length of 0 or more";
        case Value::Opacity:
            return ReadLength(value, number, true) && number >= 0 && number <= 1 ? "" : "not within 0 to 1";
        case Value::Colour:
            return IsHexColour(value) || value == "currentColor" ? "" : "not a #rrggbb colour";
        case Value::Paint:
            if (value == "none" || value == "currentColor" || IsHexColour(value)) return "";
            return value.starts_with("url(#") && value.ends_with(")")
                       ? WhyGradient(value.substr(5, value.size() - 6))
                       : "not a colour, none or a gradient";
        case Value::LineCap:
            return IsOneOf(value, {"butt", "round", "square"}) ? "" : "not a line cap";
        case Value::LineJoin:
            return IsOneOf(value, {"miter", "round", "bevel"}) ? "" : "not a line join";
        case Value::FillRule:
            return IsOneOf(value, {"nonzero", "evenodd"}) ? "" : "not a fill rule";
        case Value::DashArray:
            return value == "none" || (ReadNumberList(value, numbers) && !numbers.empty()) ? "" : "not a dash list";
        case Value::Transform:
            return CheckTransform(value) ? "" : "not a transform list";
        case Value::PathData:
            return CheckPathData(value);
        case Value::Points:
            return ReadNumberList(value, numbers) && numbers.size() >= 4 && numbers.size() % 2 == 0
                       ? ""
                       : "not a list of coordinate pairs";
        case Value::ViewBox:
            return ReadNumberList(value, numbers) && numbers.size() == 4 && numbers[2] > 0 && numbers[3] > 0
                       ? ""
                       : "not four numbers with a positive size";
        case Value::AspectRatio:
            return IsOneOf(value, {"none", "xMidYMid", "xMidYMid meet", "xMidYMid slice"}) ? "" : "not supported";
        case Value::Reference:
            return value.starts_with("#") && defined_.contains(std::string(value.substr(1)))
                       ? ""
                       : "not an id defined earlier in the picture";
        case Value::Units:
            return IsOneOf(value, {"objectBoundingBox", "userSpaceOnUse"}) ? "" : "not a unit word";
        case Value::Spread:
            return IsOneOf(value, {"pad", "reflect", "repeat"}) ? "" : "not a spread word";
        case Value::Ignored:
            return "";
        }
        return "unknown kind";
    }

    std::string WhyGradient(std::string_view id) const {
        auto found = defined_.find(std::string(id));
        if (found == defined_.end()) return "refers to an id not defined earlier in the picture";
        return found->second.ends_with("Gradient") ? "" : "refers to something that is not a gradient";
    }

    std::vector<std::string> problems_;
    std::map<std::string, std::string, std::less<>> defined_;  // id -> element name
};

}  // namespace

std::vector<std::string> SvgSubsetCheck::Check(const std::string& svgText) { return Checker().Run(svgText); }
