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

SvgStatus ReadLength(const SvgAttributes& a, std::string_view name, std::string_view fallback,
                     SvgOrientation o, SvgLength& out) {
    auto value = a.Find(name);
    return SvgLength::Parse(value ? *value : fallback, o, out);
}

// A length that must not be negative.
SvgStatus ReadExtent(const SvgAttributes& a, std::string_view name, std::string_view fallback,
                     SvgOrientation o, SvgLength& out) {
    SvgLength length;
    if (SvgStatus s = ReadLength(a, name, fallback, o, length); Failed(s))
        return s;
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
SvgStatus ReadLengths(const SvgAttributes& a, Owner& owner,
                      std::initializer_list<LengthAttribute<Owner>> lengths) {
    for (const LengthAttribute<Owner>& l : lengths) {
        auto read = l.extent ? ReadExtent : ReadLength;
        if (SvgStatus st = read(a, l.name, l.fallback, l.orientation, owner.*l.field); Failed(st))
            return st;
    }
    return SvgStatus::Success;
}

// The position and size of svg, use, rect, image and pattern elements.
SvgStatus ReadBox(const SvgAttributes& a, SvgElement& e, std::string_view sizeFallback,
                  bool sizeIsExtent = false) {
    return ReadLengths(
        a, e,
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
SvgStatus ReadCornerRadius(const SvgAttributes& a, std::string_view name, SvgOrientation o,
                           std::optional<SvgLength>& radius) {
    auto value = a.Find(name);
    if (!value)
        return SvgStatus::Success;
    SvgLength length;
    if (SvgStatus s = SvgLength::Parse(*value, o, length); Failed(s))
        return s;
    if (length.value >= 0)
        radius = length;
    return SvgStatus::Success;
}

// "offset" of a stop: a number or a percentage; any other text is invalid and gives 0.
double ReadStopOffset(const SvgAttributes& a) {
    auto text = a.Find("offset");
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
std::string_view HrefId(const SvgAttributes& a) {
    auto href = a.Find("xlink:href");
    if (!href || href->empty() || href->front() != '#')
        return {};
    return href->substr(1);
}

SvgStatus ReadUnits(const SvgAttributes& a, std::string_view name, SvgPaintUnits& units) {
    auto value = a.Find(name);
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

SvgStatus ReadTransform(const SvgAttributes& a, std::string_view name, SvgMatrix& m) {
    auto value = a.Find(name);
    return value ? SvgMatrix::Parse(*value, m) : SvgStatus::Success;
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
    // The end of the input is marked, so that a document cut short is not well-formed.
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
    for (const auto& h : kHandlers) {
        if (h.name == name)
            handler = h.handler;
    }
    if (!handler) {
        m_unknownDepth = 1;
        return;
    }
    m_status = SvgStatus::Success;
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
    m_status = SvgStatus::Success;
}

void SvgParser::Characters(std::string_view text) {
    if (m_unknownDepth > 0)
        return;
    SvgElement* target = m_states.back().element;
    if (!target || target->kind != SvgElementKind::Text)
        return;
    target->text += CollapseBlanks(text);
    m_status = SvgStatus::Success;
}

SvgStatus SvgParser::ReadCommonAttributes(SvgElement& element, const SvgAttributes& attributes) {
    if (SvgStatus s = element.style.Read(attributes, PaintResolver()); Failed(s))
        return s;
    if (SvgStatus s = ReadTransform(attributes, "transform", element.transform); Failed(s))
        return s;
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

SvgStatus SvgParser::ReadViewBox(const SvgAttributes& a, SvgElement& e) {
    auto box = a.Find("viewBox");
    if (!box)
        return SvgStatus::Success;
    SvgScanner scan(*box);
    double v[4];
    for (double& n : v) {
        scan.SkipSeparator();
        if (!scan.ReadNumber(n))
            return SvgStatus::ParseError;
    }
    e.viewBox = SvgViewBox{v[0], v[1], v[2], v[3]};
    e.hasViewBox = true;
    e.aspect = SvgAspectRatio{};

    auto rule = a.Find("preserveAspectRatio");
    if (!rule || rule->size() < 8)
        return SvgStatus::Success;
    static constexpr std::string_view kAligns[] = {"xMinYMin", "xMidYMin", "xMaxYMin", "xMinYMid", "xMidYMid",
                                                   "xMaxYMid", "xMinYMax", "xMidYMax", "xMaxYMax"};
    e.aspect.align = SvgAlign::None;
    for (size_t i = 0; i < std::size(kAligns); ++i) {
        if (rule->substr(0, 8) == kAligns[i])
            e.aspect.align = SvgAlign(i + 1);
    }
    SvgScanner rest(rule->substr(8));
    rest.SkipBlanks();
    if (rest.Consume("meet"))
        e.aspect.mode = SvgMeetOrSlice::Meet;
    else if (rest.Consume("slice"))
        e.aspect.mode = SvgMeetOrSlice::Slice;
    return SvgStatus::Success;
}

SvgStatus SvgParser::OnSvg(const SvgAttributes& a, State& s) {
    SvgElement* e = Create(SvgElementKind::Svg, s);
    if (!e)
        return SvgStatus::ParseError;
    s.group = e;
    s.gradient = nullptr;
    if (SvgStatus st = ReadBox(a, *e, "100%"); Failed(st))
        return st;
    return ReadViewBox(a, *e);
}

SvgStatus SvgParser::OnContainer(SvgElementKind kind, State& s) {
    SvgElement* e = Create(kind, s);
    if (!e)
        return SvgStatus::ParseError;
    s.group = e;
    return SvgStatus::Success;
}

SvgStatus SvgParser::OnGroup(const SvgAttributes&, State& s) {
    return OnContainer(SvgElementKind::Group, s);
}
SvgStatus SvgParser::OnDefs(const SvgAttributes&, State& s) {
    return OnContainer(SvgElementKind::Defs, s);
}

SvgStatus SvgParser::OnSymbol(const SvgAttributes& a, State& s) {
    if (SvgStatus st = OnContainer(SvgElementKind::Symbol, s); Failed(st))
        return st;
    return ReadViewBox(a, *s.element);
}

SvgStatus SvgParser::OnUse(const SvgAttributes& a, State& s) {
    SvgElement* e = Create(SvgElementKind::Use, s);
    if (!e)
        return SvgStatus::ParseError;
    if (SvgStatus st = ReadBox(a, *e, "100%"); Failed(st))
        return st;
    // The target must already be defined; a later one leaves the use unresolved.
    e->reference = m_document.FindById(HrefId(a));
    return e->reference ? SvgStatus::Success : SvgStatus::ParseError;
}

SvgStatus SvgParser::OnPath(const SvgAttributes& a, State& s) {
    SvgElement* e = Create(SvgElementKind::Path, s);
    if (!e)
        return SvgStatus::ParseError;
    auto d = a.Find("d");
    return d ? e->path.ParseData(*d) : SvgStatus::Success;
}

SvgStatus SvgParser::OnLine(const SvgAttributes& a, State& s) {
    SvgElement* e = Create(SvgElementKind::Line, s);
    if (!e)
        return SvgStatus::ParseError;
    return ReadLengths(a, *e,
                       {{"x1", "0", SvgOrientation::Horizontal, &SvgElement::x1},
                        {"y1", "0", SvgOrientation::Vertical, &SvgElement::y1},
                        {"x2", "0", SvgOrientation::Horizontal, &SvgElement::x2},
                        {"y2", "0", SvgOrientation::Vertical, &SvgElement::y2}});
}

SvgStatus SvgParser::OnRect(const SvgAttributes& a, State& s) {
    SvgElement* e = Create(SvgElementKind::Rect, s);
    if (!e)
        return SvgStatus::ParseError;
    if (SvgStatus st = ReadBox(a, *e, "0", true); Failed(st))
        return st;
    // A missing or negative radius takes the other one as it stands, measured along the other's axis.
    std::optional<SvgLength> rx, ry;
    if (SvgStatus st = ReadCornerRadius(a, "rx", SvgOrientation::Horizontal, rx); Failed(st))
        return st;
    if (SvgStatus st = ReadCornerRadius(a, "ry", SvgOrientation::Vertical, ry); Failed(st))
        return st;
    e->rx = rx.value_or(ry.value_or(SvgLength{}));
    e->ry = ry.value_or(rx.value_or(SvgLength{}));
    return SvgStatus::Success;
}

SvgStatus SvgParser::OnCircle(const SvgAttributes& a, State& s) {
    SvgElement* e = Create(SvgElementKind::Circle, s);
    if (!e)
        return SvgStatus::ParseError;
    if (SvgStatus st = ReadLengths(a, *e,
                                   {{"cx", "0", SvgOrientation::Horizontal, &SvgElement::cx},
                                    {"cy", "0", SvgOrientation::Vertical, &SvgElement::cy},
                                    {"r", "100%", SvgOrientation::Other, &SvgElement::rx, true}});
        Failed(st))
        return st;
    e->ry = e->rx;
    return SvgStatus::Success;
}

SvgStatus SvgParser::OnEllipse(const SvgAttributes& a, State& s) {
    SvgElement* e = Create(SvgElementKind::Ellipse, s);
    if (!e)
        return SvgStatus::ParseError;
    return ReadLengths(a, *e,
                       {{"cx", "0", SvgOrientation::Horizontal, &SvgElement::cx},
                        {"cy", "0", SvgOrientation::Vertical, &SvgElement::cy},
                        {"rx", "100%", SvgOrientation::Horizontal, &SvgElement::rx, true},
                        {"ry", "100%", SvgOrientation::Vertical, &SvgElement::ry, true}});
}

SvgStatus SvgParser::OnPoints(const SvgAttributes& a, State& s, bool close) {
    SvgElement* e = Create(SvgElementKind::Path, s);
    if (!e)
        return SvgStatus::ParseError;
    auto points = a.Find("points");
    return points ? e->path.ParsePoints(*points, close) : SvgStatus::ParseError;
}

SvgStatus SvgParser::OnPolygon(const SvgAttributes& a, State& s) {
    return OnPoints(a, s, true);
}
SvgStatus SvgParser::OnPolyline(const SvgAttributes& a, State& s) {
    return OnPoints(a, s, false);
}

SvgStatus SvgParser::OnText(const SvgAttributes& a, State& s) {
    SvgElement* e = Create(SvgElementKind::Text, s);
    if (!e)
        return SvgStatus::ParseError;
    return ReadLengths(a, *e,
                       {{"x", "0", SvgOrientation::Horizontal, &SvgElement::x},
                        {"y", "0", SvgOrientation::Vertical, &SvgElement::y}});
}

SvgStatus SvgParser::OnImage(const SvgAttributes& a, State& s) {
    SvgElement* e = Create(SvgElementKind::Image, s);
    if (!e)
        return SvgStatus::ParseError;
    return ReadBox(a, *e, "0", true);
}

SvgStatus SvgParser::ReadGradientCommon(const SvgAttributes& a, SvgGradient& g) {
    if (SvgStatus st = ReadUnits(a, "gradientUnits", g.units); Failed(st))
        return st;
    if (SvgStatus st = ReadTransform(a, "gradientTransform", g.transform); Failed(st))
        return st;
    auto spread = a.Find("spreadMethod");
    if (!spread)
        return SvgStatus::Success;
    if (*spread == "pad")
        g.spread = SvgSpread::Pad;
    else if (*spread == "reflect")
        g.spread = SvgSpread::Reflect;
    else if (*spread == "repeat")
        g.spread = SvgSpread::Repeat;
    else
        return SvgStatus::InvalidValue;
    return SvgStatus::Success;
}

SvgStatus SvgParser::OnGradient(const SvgAttributes& a, State& s, SvgGradientType type) {
    using Geometry = std::span<const LengthAttribute<SvgGradient>>;
    const Geometry geometry =
        type == SvgGradientType::Linear ? Geometry(kLinearGeometry) : Geometry(kRadialGeometry);
    SvgElement* e = Create(SvgElementKind::Gradient, s);
    if (!e)
        return SvgStatus::ParseError;
    SvgGradient& g = e->gradient;
    s.gradient = &g;
    s.opensGradient = true;
    g.type = type;
    for (const LengthAttribute<SvgGradient>& l : geometry)
        SvgLength::Parse(l.fallback, l.orientation, g.*l.field);
    // A referenced gradient lends its stops and settings, and its geometry only when of the same type;
    // a referenced element that is no gradient lends nothing.
    const SvgElement* base = m_document.FindById(HrefId(a));
    if (!base && !HrefId(a).empty())
        return SvgStatus::ParseError;
    if (base && base->kind == SvgElementKind::Gradient) {
        SvgGradient copy = base->gradient;
        if (copy.type != type) {
            for (const LengthAttribute<SvgGradient>& l : geometry) copy.*l.field = g.*l.field;
        }
        g = copy;
        g.type = type;
    }
    for (const LengthAttribute<SvgGradient>& l : geometry) {
        if (!a.Find(l.name))
            continue;
        auto read = l.extent ? ReadExtent : ReadLength;
        if (SvgStatus st = read(a, l.name, {}, l.orientation, g.*l.field); Failed(st))
            return st;
    }
    return ReadGradientCommon(a, g);
}

SvgStatus SvgParser::OnLinearGradient(const SvgAttributes& a, State& s) {
    return OnGradient(a, s, SvgGradientType::Linear);
}

SvgStatus SvgParser::OnRadialGradient(const SvgAttributes& a, State& s) {
    return OnGradient(a, s, SvgGradientType::Radial);
}

SvgStatus SvgParser::OnStop(const SvgAttributes& a, State& s) {
    const State& enclosing = m_states[m_states.size() - 2];
    if (!enclosing.opensGradient || !s.gradient)
        return SvgStatus::ParseError;
    SvgStyle style;
    if (SvgStatus st = style.Read(a, PaintResolver()); Failed(st))
        return st;
    SvgGradientStop stop;
    // Offsets run from 0 to 1 and never back: one below the stop before is taken as that one's.
    double previous = s.gradient->stops.empty() ? 0.0 : s.gradient->stops.back().offset;
    stop.offset = std::max(std::clamp(ReadStopOffset(a), 0.0, 1.0), previous);
    stop.rgb = style.stopColor.isCurrentColor ? style.color.rgb : style.stopColor.rgb;
    stop.opacity = style.stopOpacity;
    s.gradient->stops.push_back(stop);
    return SvgStatus::Success;
}

SvgStatus SvgParser::OnPattern(const SvgAttributes& a, State& s) {
    SvgElement* e = Create(SvgElementKind::Pattern, s);
    if (!e)
        return SvgStatus::ParseError;
    s.group = e;  // its content is kept but never drawn
    SvgPaintUnits units = SvgPaintUnits::ObjectBoundingBox, contentUnits = SvgPaintUnits::UserSpaceOnUse;
    if (SvgStatus st = ReadUnits(a, "patternUnits", units); Failed(st))
        return st;
    if (SvgStatus st = ReadUnits(a, "patternContentUnits", contentUnits); Failed(st))
        return st;
    if (SvgStatus st = ReadBox(a, *e, "0"); Failed(st))
        return st;
    return ReadTransform(a, "patternTransform", e->gradient.transform);
}
