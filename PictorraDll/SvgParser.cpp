#include "SvgParser.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <span>

#include "SvgDocument.h"
#include "SvgScanner.h"

namespace {

SvgStatus ReadLength(const SvgAttributes& attributes, std::string_view name, std::string_view fallback,
                     SvgOrientation orientation, SvgLength& out) {
    auto value = attributes.Find(name);
    return SvgLength::Parse(value ? *value : fallback, orientation, out);
}

// A length that must not be negative.
SvgStatus ReadExtent(const SvgAttributes& attributes, std::string_view name, std::string_view fallback,
                     SvgOrientation orientation, SvgLength& out) {
    SvgLength length;
    if (SvgStatus status = ReadLength(attributes, name, fallback, orientation, length); Failed(status))
        return status;
    if (length.value < 0)
        return SvgStatus::ParseError;
    out = length;
    return SvgStatus::Success;
}

// One length attribute of an element or a gradient: its fallback when absent, its direction, where it goes
// and whether it must not be negative.
template <class Owner>
struct LengthAttribute {
    std::string_view name;
    std::string_view fallback;
    SvgOrientation orientation;
    SvgLength Owner::*field;
    bool extent = false;
};

template <class Owner>
SvgStatus ReadLengths(const SvgAttributes& attributes, Owner& owner,
                      std::initializer_list<LengthAttribute<Owner>> lengths) {
    for (const LengthAttribute<Owner>& length : lengths) {
        auto read = length.extent ? ReadExtent : ReadLength;
        if (SvgStatus status =
                read(attributes, length.name, length.fallback, length.orientation, owner.*length.field);
            Failed(status))
            return status;
    }
    return SvgStatus::Success;
}

// The position and size of svg, use, rect, image and pattern elements.
SvgStatus ReadBox(const SvgAttributes& attributes, SvgElement& element, std::string_view sizeFallback,
                  bool sizeIsExtent = false) {
    return ReadLengths(
        attributes, element,
        {{"x", "0", SvgOrientation::Horizontal, &SvgElement::x},
         {"y", "0", SvgOrientation::Vertical, &SvgElement::y},
         {"width", sizeFallback, SvgOrientation::Horizontal, &SvgElement::width, sizeIsExtent},
         {"height", sizeFallback, SvgOrientation::Vertical, &SvgElement::height, sizeIsExtent}});
}

const LengthAttribute<SvgGradient> kLinearGeometry[] = {
    {"x1", "0%", SvgOrientation::Horizontal, &SvgGradient::x1},
    {"y1", "0%", SvgOrientation::Vertical, &SvgGradient::y1},
    {"x2", "100%", SvgOrientation::Horizontal, &SvgGradient::x2},
    {"y2", "0%", SvgOrientation::Vertical, &SvgGradient::y2}};
const LengthAttribute<SvgGradient> kRadialGeometry[] = {
    {"cx", "50%", SvgOrientation::Horizontal, &SvgGradient::cx},
    {"cy", "50%", SvgOrientation::Vertical, &SvgGradient::cy},
    {"r", "50%", SvgOrientation::Other, &SvgGradient::r, true},
    {"fx", "50%", SvgOrientation::Horizontal, &SvgGradient::fx},
    {"fy", "50%", SvgOrientation::Vertical, &SvgGradient::fy}};

// A corner radius of a rect when it is given and not negative; a value that is no length is an error.
SvgStatus ReadCornerRadius(const SvgAttributes& attributes, std::string_view name, SvgOrientation orientation,
                           std::optional<SvgLength>& radius) {
    auto value = attributes.Find(name);
    if (!value)
        return SvgStatus::Success;
    SvgLength length;
    if (SvgStatus status = SvgLength::Parse(*value, orientation, length); Failed(status))
        return status;
    if (length.value >= 0)
        radius = length;
    return SvgStatus::Success;
}

// "offset" of a stop: a number or a percentage; any other text is invalid and gives 0.
double ReadStopOffset(const SvgAttributes& attributes) {
    auto text = attributes.Find("offset");
    if (!text)
        return 0;
    SvgScanner scan(*text);
    scan.SkipBlanks();
    double offset = 0;
    if (!scan.ReadNumber(offset))
        return 0;
    if (scan.Consume("%"))
        offset *= 0.01;
    scan.SkipBlanks();
    return scan.AtEnd() ? offset : 0;
}

// "#id" of an xlink:href.
std::string_view HrefId(const SvgAttributes& attributes) {
    auto href = attributes.Find("xlink:href");
    if (!href || href->empty() || href->front() != '#')
        return {};
    return href->substr(1);
}

SvgStatus ReadUnits(const SvgAttributes& attributes, std::string_view name, SvgPaintUnits& units) {
    auto value = attributes.Find(name);
    if (!value)
        return SvgStatus::Success;
    if (*value == "objectBoundingBox")
        units = SvgPaintUnits::ObjectBoundingBox;
    else if (*value == "userSpaceOnUse")
        units = SvgPaintUnits::UserSpaceOnUse;
    else
        return SvgStatus::InvalidValue;
    return SvgStatus::Success;
}

SvgStatus ReadTransform(const SvgAttributes& attributes, std::string_view name, SvgMatrix& matrix) {
    auto value = attributes.Find(name);
    return value ? SvgMatrix::Parse(*value, matrix) : SvgStatus::Success;
}

// Runs of tabs and spaces become one space; line breaks are dropped.
std::string CollapseBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool inRun = false;
    for (char c : text) {
        if (c == '\n' || c == '\r')
            continue;
        bool blank = c == ' ' || c == '\t';
        if (blank && inRun)
            continue;
        out.push_back(blank ? ' ' : c);
        inRun = blank;
    }
    return out;
}

// The text that entities may expand a picture into: a few times its own size, with room for the small
// pictures whose declared entities are longer than the picture itself. Beyond it the parse stops, so
// that a picture of a few kilobytes cannot make the parser build gigabytes of text.
constexpr size_t kExpansionFactor = 4;
constexpr size_t kExpansionFloor = size_t(1) << 20;

// What the SAX callbacks reach: the parser, the XML context that holds the declared entities, and the
// count of the text handed out so far against its bound.
struct SaxTarget {
    SvgParser* parser = nullptr;
    xmlParserCtxtPtr context = nullptr;
    size_t delivered = 0;
    size_t bound = 0;
    bool overflowed = false;

    // Counts the bytes of one callback; past the bound the parse ends here.
    bool Admit(size_t bytes) {
        delivered += bytes;
        if (delivered <= bound)
            return true;
        overflowed = true;
        xmlStopParser(context);
        return false;
    }
};

SaxTarget& TargetOf(void* target) {
    return *static_cast<SaxTarget*>(target);
}

size_t AttributeBytes(const xmlChar** attrs) {
    size_t bytes = 0;
    for (const xmlChar** at = attrs; at && *at; ++at)
        bytes += std::strlen(reinterpret_cast<const char*>(*at));
    return bytes;
}

void OnSaxStart(void* target, const xmlChar* name, const xmlChar** attrs) {
    if (!TargetOf(target).Admit(AttributeBytes(attrs)))
        return;
    TargetOf(target).parser->StartElement(reinterpret_cast<const char*>(name),
                                          SvgAttributes(reinterpret_cast<const char* const*>(attrs)));
}
void OnSaxEnd(void* target, const xmlChar*) {
    if (!TargetOf(target).overflowed)
        TargetOf(target).parser->EndElement();
}
void OnSaxCharacters(void* target, const xmlChar* text, int length) {
    if (!TargetOf(target).Admit(size_t(length)))
        return;
    TargetOf(target).parser->Characters(
        std::string_view(reinterpret_cast<const char*>(text), size_t(length)));
}
// Entities declared in the document's own DTD, as drawing programs write them; libxml2 keeps them
// during a SAX parse and expands them within its limits. Entities of other files are never handed
// out, so that a picture cannot make the parser read anything but itself.
xmlEntityPtr OnSaxGetEntity(void* target, const xmlChar* name) {
    xmlEntityPtr entity = xmlSAX2GetEntity(TargetOf(target).context, name);
    bool inside = entity && (entity->etype == XML_INTERNAL_GENERAL_ENTITY ||
                             entity->etype == XML_INTERNAL_PREDEFINED_ENTITY);
    return inside ? entity : nullptr;
}
// Nothing is printed: a document in error reaches the caller as not well-formed.
void OnSaxMessage(void*, const char*, ...) {}
}  // namespace

SvgStatus SvgParser::Parse(std::string_view text) {
    if (text.size() > size_t(INT_MAX))
        return SvgStatus::ParseError;
    xmlInitParser();
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof(sax));  // a first-generation handler: qualified names such as "xlink:href"
    sax.startElement = OnSaxStart;
    sax.endElement = OnSaxEnd;
    sax.characters = OnSaxCharacters;
    sax.getEntity = OnSaxGetEntity;
    sax.warning = OnSaxMessage;
    sax.error = OnSaxMessage;
    sax.fatalError = OnSaxMessage;

    SaxTarget target{this};
    target.bound = std::max(text.size() * kExpansionFactor, kExpansionFloor);
    xmlParserCtxtPtr ctxt = xmlCreatePushParserCtxt(&sax, &target, nullptr, 0, nullptr);
    if (!ctxt)
        return SvgStatus::NoMemory;
    target.context = ctxt;
    // Entities are replaced in attribute values too; XML_PARSE_HUGE stays off, which keeps libxml2's
    // limits against entities that expand beyond all measure.
    xmlCtxtUseOptions(ctxt, XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    m_states.assign(1, State{});
    m_status = SvgStatus::Success;
    // The end of the input is marked, so that a document cut short is not well-formed; that flag, not the
    // call's result, is what the parse reports.
    xmlParseChunk(ctxt, text.data(), int(text.size()), 1);
    bool wellFormed = ctxt->wellFormed != 0;
    // libxml2 makes a document of its own to hold declared entities, even for a SAX parse.
    if (ctxt->myDoc)
        xmlFreeDoc(ctxt->myDoc);
    ctxt->myDoc = nullptr;
    xmlFreeParserCtxt(ctxt);

    if (target.overflowed)
        return SvgStatus::ParseError;
    if (Failed(m_status))
        return m_status;
    if (!wellFormed || !m_document.m_root)
        return SvgStatus::ParseError;
    return SvgStatus::Success;
}

void SvgParser::StartElement(std::string_view name, const SvgAttributes& attributes) {
    if (m_unknownDepth > 0) {
        ++m_unknownDepth;
        return;
    }
    static const struct {
        std::string_view name;
        Handler handler;
    } kHandlers[] = {
        {"a", &SvgParser::OnAnchor},
        {"svg", &SvgParser::OnSvg},
        {"g", &SvgParser::OnGroup},
        {"path", &SvgParser::OnPath},
        {"line", &SvgParser::OnLine},
        {"rect", &SvgParser::OnRect},
        {"circle", &SvgParser::OnCircle},
        {"ellipse", &SvgParser::OnEllipse},
        {"defs", &SvgParser::OnDefs},
        {"use", &SvgParser::OnUse},
        {"symbol", &SvgParser::OnSymbol},
        {"polygon", &SvgParser::OnPolygon},
        {"polyline", &SvgParser::OnPolyline},
        {"text", &SvgParser::OnText},
        {"image", &SvgParser::OnImage},
        {"linearGradient", &SvgParser::OnLinearGradient},
        {"radialGradient", &SvgParser::OnRadialGradient},
        {"stop", &SvgParser::OnStop},
        {"pattern", &SvgParser::OnPattern},
    };
    Handler handler = nullptr;
    for (const auto& entry : kHandlers) {
        if (entry.name == name)
            handler = entry.handler;
    }
    if (!handler) {
        // Skipped with all they hold, and the status left alone: drawing programs add elements of their own.
        m_unknownDepth = 1;
        return;
    }
    m_status = SvgStatus::Success;  // a new element starts clean: the error of the one before is forgotten
    State state = m_states.back();
    state.element = nullptr;
    state.opensGradient = false;
    m_states.push_back(state);
    State& top = m_states.back();
    SvgStatus status = (this->*handler)(attributes, top);
    if (status == SvgStatus::UnknownElement)
        status = SvgStatus::Success;  // "a": its children join the group
    if (!Failed(status) && top.element)
        status = ReadCommonAttributes(*top.element, attributes);
    m_status = status;
}

void SvgParser::EndElement() {
    if (m_unknownDepth > 0) {
        --m_unknownDepth;
        return;
    }
    if (m_states.size() > 1)
        m_states.pop_back();
    // Closing an element forgets its error, so that a complete document ends with success.
    m_status = SvgStatus::Success;
}

void SvgParser::Characters(std::string_view text) {
    if (m_unknownDepth > 0)
        return;
    SvgElement* target = m_states.back().element;
    if (!target || target->kind != SvgElementKind::Text)
        return;
    target->text += CollapseBlanks(text);
    m_status = SvgStatus::Success;  // text never fails: like an end tag, it forgets the error of its element
}

SvgStatus SvgParser::ReadCommonAttributes(SvgElement& element, const SvgAttributes& attributes) {
    if (SvgStatus status = element.style.Read(attributes, PaintResolver()); Failed(status))
        return status;
    if (SvgStatus status = ReadTransform(attributes, "transform", element.transform); Failed(status))
        return status;
    if (auto id = attributes.Find("id")) {
        element.id = std::string(*id);
        m_document.m_ids.emplace(element.id, &element);  // of two elements with one id, the first counts
    }
    return SvgStatus::Success;
}

SvgPaintResolver SvgParser::PaintResolver() const {
    return [this](std::string_view id, SvgPaint& paint) {
        const SvgElement* target = m_document.FindById(id);
        if (target && target->kind == SvgElementKind::Gradient) {
            paint = SvgPaint{SvgPaintKind::Gradient, {}, &target->gradient, nullptr};
            return SvgStatus::Success;
        }
        if (target && target->kind == SvgElementKind::Pattern) {
            paint = SvgPaint{SvgPaintKind::Pattern, {}, nullptr, target};
            return SvgStatus::Success;
        }
        return SvgStatus::ParseError;
    };
}

SvgElement* SvgParser::Create(SvgElementKind kind, State& state) {
    SvgElement* element = nullptr;
    if (!state.group) {
        // Only the outermost svg element starts the tree.
        if (kind != SvgElementKind::Svg || m_document.m_root)
            return nullptr;
        m_document.m_root = std::make_unique<SvgElement>(kind, nullptr);
        element = m_document.m_root.get();
        element->style.SetRootDefaults();
    } else {
        state.group->children.push_back(std::make_unique<SvgElement>(kind, state.group));
        element = state.group->children.back().get();
    }
    state.element = element;
    return element;
}

SvgStatus SvgParser::OnAnchor(const SvgAttributes&, State&) {
    return SvgStatus::UnknownElement;
}

SvgStatus SvgParser::ReadViewBox(const SvgAttributes& attributes, SvgElement& element) {
    auto box = attributes.Find("viewBox");
    if (!box)
        return SvgStatus::Success;
    SvgScanner scan(*box);
    double numbers[4];
    for (double& number : numbers) {
        scan.SkipSeparator();
        if (!scan.ReadNumber(number))
            return SvgStatus::ParseError;
    }
    element.viewBox = SvgViewBox{numbers[0], numbers[1], numbers[2], numbers[3]};
    element.hasViewBox = true;
    element.aspect = SvgAspectRatio{};

    auto rule = attributes.Find("preserveAspectRatio");
    if (!rule || rule->size() < 8)
        return SvgStatus::Success;
    static constexpr std::string_view kAligns[] = {"xMinYMin", "xMidYMin", "xMaxYMin", "xMinYMid", "xMidYMid",
                                                   "xMaxYMid", "xMinYMax", "xMidYMax", "xMaxYMax"};
    element.aspect.align = SvgAlign::None;
    for (size_t i = 0; i < std::size(kAligns); ++i) {
        if (rule->substr(0, 8) == kAligns[i])
            element.aspect.align = SvgAlign(i + 1);
    }
    SvgScanner rest(rule->substr(8));
    rest.SkipBlanks();
    if (rest.Consume("meet"))
        element.aspect.mode = SvgMeetOrSlice::Meet;
    else if (rest.Consume("slice"))
        element.aspect.mode = SvgMeetOrSlice::Slice;
    return SvgStatus::Success;
}

SvgStatus SvgParser::OnSvg(const SvgAttributes& attributes, State& state) {
    SvgElement* element = Create(SvgElementKind::Svg, state);
    if (!element)
        return SvgStatus::ParseError;
    state.group = element;
    state.gradient = nullptr;
    if (SvgStatus status = ReadBox(attributes, *element, "100%"); Failed(status))
        return status;
    return ReadViewBox(attributes, *element);
}

SvgStatus SvgParser::OnContainer(SvgElementKind kind, State& state) {
    SvgElement* element = Create(kind, state);
    if (!element)
        return SvgStatus::ParseError;
    state.group = element;
    return SvgStatus::Success;
}

SvgStatus SvgParser::OnGroup(const SvgAttributes&, State& state) {
    return OnContainer(SvgElementKind::Group, state);
}
SvgStatus SvgParser::OnDefs(const SvgAttributes&, State& state) {
    return OnContainer(SvgElementKind::Defs, state);
}

SvgStatus SvgParser::OnSymbol(const SvgAttributes& attributes, State& state) {
    if (SvgStatus status = OnContainer(SvgElementKind::Symbol, state); Failed(status))
        return status;
    return ReadViewBox(attributes, *state.element);
}

SvgStatus SvgParser::OnUse(const SvgAttributes& attributes, State& state) {
    SvgElement* element = Create(SvgElementKind::Use, state);
    if (!element)
        return SvgStatus::ParseError;
    if (SvgStatus status = ReadBox(attributes, *element, "100%"); Failed(status))
        return status;
    // The target must already be defined; a later one leaves the use unresolved.
    element->reference = m_document.FindById(HrefId(attributes));
    return element->reference ? SvgStatus::Success : SvgStatus::ParseError;
}

SvgStatus SvgParser::OnPath(const SvgAttributes& attributes, State& state) {
    SvgElement* element = Create(SvgElementKind::Path, state);
    if (!element)
        return SvgStatus::ParseError;
    auto data = attributes.Find("d");
    return data ? element->path.ParseData(*data) : SvgStatus::Success;
}

SvgStatus SvgParser::OnLine(const SvgAttributes& attributes, State& state) {
    SvgElement* element = Create(SvgElementKind::Line, state);
    if (!element)
        return SvgStatus::ParseError;
    return ReadLengths(attributes, *element,
                       {{"x1", "0", SvgOrientation::Horizontal, &SvgElement::x1},
                        {"y1", "0", SvgOrientation::Vertical, &SvgElement::y1},
                        {"x2", "0", SvgOrientation::Horizontal, &SvgElement::x2},
                        {"y2", "0", SvgOrientation::Vertical, &SvgElement::y2}});
}

SvgStatus SvgParser::OnRect(const SvgAttributes& attributes, State& state) {
    SvgElement* element = Create(SvgElementKind::Rect, state);
    if (!element)
        return SvgStatus::ParseError;
    if (SvgStatus status = ReadBox(attributes, *element, "0", true); Failed(status))
        return status;
    // A missing or negative radius takes the other one as it stands, measured along the other's axis.
    std::optional<SvgLength> rx, ry;
    if (SvgStatus status = ReadCornerRadius(attributes, "rx", SvgOrientation::Horizontal, rx); Failed(status))
        return status;
    if (SvgStatus status = ReadCornerRadius(attributes, "ry", SvgOrientation::Vertical, ry); Failed(status))
        return status;
    element->rx = rx.value_or(ry.value_or(SvgLength{}));
    element->ry = ry.value_or(rx.value_or(SvgLength{}));
    return SvgStatus::Success;
}

SvgStatus SvgParser::OnCircle(const SvgAttributes& attributes, State& state) {
    SvgElement* element = Create(SvgElementKind::Circle, state);
    if (!element)
        return SvgStatus::ParseError;
    if (SvgStatus status = ReadLengths(attributes, *element,
                                       {{"cx", "0", SvgOrientation::Horizontal, &SvgElement::cx},
                                        {"cy", "0", SvgOrientation::Vertical, &SvgElement::cy},
                                        {"r", "100%", SvgOrientation::Other, &SvgElement::rx, true}});
        Failed(status))
        return status;
    element->ry = element->rx;
    return SvgStatus::Success;
}

SvgStatus SvgParser::OnEllipse(const SvgAttributes& attributes, State& state) {
    SvgElement* element = Create(SvgElementKind::Ellipse, state);
    if (!element)
        return SvgStatus::ParseError;
    return ReadLengths(attributes, *element,
                       {{"cx", "0", SvgOrientation::Horizontal, &SvgElement::cx},
                        {"cy", "0", SvgOrientation::Vertical, &SvgElement::cy},
                        {"rx", "100%", SvgOrientation::Horizontal, &SvgElement::rx, true},
                        {"ry", "100%", SvgOrientation::Vertical, &SvgElement::ry, true}});
}

SvgStatus SvgParser::OnPoints(const SvgAttributes& attributes, State& state, bool close) {
    SvgElement* element = Create(SvgElementKind::Path, state);
    if (!element)
        return SvgStatus::ParseError;
    auto points = attributes.Find("points");
    return points ? element->path.ParsePoints(*points, close) : SvgStatus::ParseError;
}

SvgStatus SvgParser::OnPolygon(const SvgAttributes& attributes, State& state) {
    return OnPoints(attributes, state, true);
}
SvgStatus SvgParser::OnPolyline(const SvgAttributes& attributes, State& state) {
    return OnPoints(attributes, state, false);
}

SvgStatus SvgParser::OnText(const SvgAttributes& attributes, State& state) {
    SvgElement* element = Create(SvgElementKind::Text, state);
    if (!element)
        return SvgStatus::ParseError;
    return ReadLengths(attributes, *element,
                       {{"x", "0", SvgOrientation::Horizontal, &SvgElement::x},
                        {"y", "0", SvgOrientation::Vertical, &SvgElement::y}});
}

SvgStatus SvgParser::OnImage(const SvgAttributes& attributes, State& state) {
    SvgElement* element = Create(SvgElementKind::Image, state);
    if (!element)
        return SvgStatus::ParseError;
    return ReadBox(attributes, *element, "0", true);
}

SvgStatus SvgParser::ReadGradientCommon(const SvgAttributes& attributes, SvgGradient& gradient) {
    if (SvgStatus status = ReadUnits(attributes, "gradientUnits", gradient.units); Failed(status))
        return status;
    if (SvgStatus status = ReadTransform(attributes, "gradientTransform", gradient.transform); Failed(status))
        return status;
    auto spread = attributes.Find("spreadMethod");
    if (!spread)
        return SvgStatus::Success;
    if (*spread == "pad")
        gradient.spread = SvgSpread::Pad;
    else if (*spread == "reflect")
        gradient.spread = SvgSpread::Reflect;
    else if (*spread == "repeat")
        gradient.spread = SvgSpread::Repeat;
    else
        return SvgStatus::InvalidValue;
    return SvgStatus::Success;
}

SvgStatus SvgParser::OnGradient(const SvgAttributes& attributes, State& state, SvgGradientType type) {
    using Geometry = std::span<const LengthAttribute<SvgGradient>>;
    const Geometry geometry =
        type == SvgGradientType::Linear ? Geometry(kLinearGeometry) : Geometry(kRadialGeometry);
    SvgElement* element = Create(SvgElementKind::Gradient, state);
    if (!element)
        return SvgStatus::ParseError;
    SvgGradient& gradient = element->gradient;
    state.gradient = &gradient;
    state.opensGradient = true;
    gradient.type = type;
    // The fallbacks are constant lengths, which always parse.
    for (const LengthAttribute<SvgGradient>& length : geometry)
        SvgLength::Parse(length.fallback, length.orientation, gradient.*length.field);
    // A referenced gradient lends its stops and settings, and its geometry only when of the same type;
    // a referenced element that is no gradient lends nothing.
    const SvgElement* base = m_document.FindById(HrefId(attributes));
    if (!base && !HrefId(attributes).empty())
        return SvgStatus::ParseError;
    if (base && base->kind == SvgElementKind::Gradient) {
        SvgGradient copy = base->gradient;
        if (copy.type != type) {
            for (const LengthAttribute<SvgGradient>& length : geometry)
                copy.*length.field = gradient.*length.field;
        }
        gradient = copy;
        gradient.type = type;
    }
    for (const LengthAttribute<SvgGradient>& length : geometry) {
        if (!attributes.Find(length.name))
            continue;
        auto read = length.extent ? ReadExtent : ReadLength;
        if (SvgStatus status = read(attributes, length.name, {}, length.orientation, gradient.*length.field);
            Failed(status))
            return status;
    }
    return ReadGradientCommon(attributes, gradient);
}

SvgStatus SvgParser::OnLinearGradient(const SvgAttributes& attributes, State& state) {
    return OnGradient(attributes, state, SvgGradientType::Linear);
}

SvgStatus SvgParser::OnRadialGradient(const SvgAttributes& attributes, State& state) {
    return OnGradient(attributes, state, SvgGradientType::Radial);
}

SvgStatus SvgParser::OnStop(const SvgAttributes& attributes, State& state) {
    const State& enclosing = m_states[m_states.size() - 2];
    if (!enclosing.opensGradient || !state.gradient)
        return SvgStatus::ParseError;
    SvgStyle style;
    if (SvgStatus status = style.Read(attributes, PaintResolver()); Failed(status))
        return status;
    SvgGradientStop stop;
    // Offsets run from 0 to 1 and never back: one below the stop before is taken as that one's.
    double previous = state.gradient->stops.empty() ? 0.0 : state.gradient->stops.back().offset;
    stop.offset = std::max(std::clamp(ReadStopOffset(attributes), 0.0, 1.0), previous);
    stop.rgb = style.stopColor.isCurrentColor ? style.color.rgb : style.stopColor.rgb;
    stop.opacity = style.stopOpacity;
    state.gradient->stops.push_back(stop);
    return SvgStatus::Success;
}

SvgStatus SvgParser::OnPattern(const SvgAttributes& attributes, State& state) {
    SvgElement* element = Create(SvgElementKind::Pattern, state);
    if (!element)
        return SvgStatus::ParseError;
    state.group = element;  // its content is kept but never drawn
    // The units are read only to refuse a value in error: a pattern is never drawn, so they are not kept.
    SvgPaintUnits units = SvgPaintUnits::ObjectBoundingBox, contentUnits = SvgPaintUnits::UserSpaceOnUse;
    if (SvgStatus status = ReadUnits(attributes, "patternUnits", units); Failed(status))
        return status;
    if (SvgStatus status = ReadUnits(attributes, "patternContentUnits", contentUnits); Failed(status))
        return status;
    if (SvgStatus status = ReadBox(attributes, *element, "0"); Failed(status))
        return status;
    return ReadTransform(attributes, "patternTransform", element->gradient.transform);
}
