#include "SvgParser.h"

#include <climits>
#include <cstring>

#include <libxml/parser.h>

#include "SvgDocument.h"
#include "SvgScanner.h"

namespace {

SvgStatus ReadLength(const SvgAttributes& a, std::string_view name, std::string_view fallback, SvgOrientation o,
                     SvgLength& out)
{
    auto value = a.Find(name);
    return SvgLength::Parse(value ? *value : fallback, o, out);
}

// A length that must not be negative.
SvgStatus ReadExtent(const SvgAttributes& a, std::string_view name, std::string_view fallback, SvgOrientation o,
                     SvgLength& out)
{
    SvgLength length;
    if (SvgStatus s = ReadLength(a, name, fallback, o, length); Failed(s)) return s;
    if (length.value < 0) return SvgStatus::ParseError;
    out = length;
    return SvgStatus::Success;
}

// "#id" of an xlink:href.
std::string_view HrefId(const SvgAttributes& a)
{
    auto href = a.Find("xlink:href");
    if (!href || href->empty() || href->front() != '#') return {};
    return href->substr(1);
}

SvgStatus ReadUnits(const SvgAttributes& a, std::string_view name, SvgPaintUnits& units)
{
    auto value = a.Find(name);
    if (!value) return SvgStatus::Success;
    if (*value == "objectBoundingBox") units = SvgPaintUnits::ObjectBoundingBox;
    else if (*value == "userSpaceOnUse") units = SvgPaintUnits::UserSpaceOnUse;
    else return SvgStatus::InvalidValue;
    return SvgStatus::Success;
}

SvgStatus ReadTransform(const SvgAttributes& a, std::string_view name, SvgMatrix& m)
{
    auto value = a.Find(name);
    return value ? SvgMatrix::Parse(*value, m) : SvgStatus::Success;
}

// Runs of tabs and spaces become one space; line breaks are dropped.
std::string CollapseBlanks(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    bool inRun = false;
    for (char c : text) {
        if (c == '\n' || c == '\r') continue;
        bool blank = c == ' ' || c == '\t';
        if (blank && inRun) continue;
        out.push_back(blank ? ' ' : c);
        inRun = blank;
    }
    return out;
}

void OnSaxStart(void* ctx, const xmlChar* name, const xmlChar** attrs)
{
    static_cast<SvgParser*>(ctx)->StartElement(reinterpret_cast<const char*>(name),
                                                SvgAttributes(reinterpret_cast<const char* const*>(attrs)));
}
void OnSaxEnd(void* ctx, const xmlChar*) { static_cast<SvgParser*>(ctx)->EndElement(); }
void OnSaxCharacters(void* ctx, const xmlChar* text, int length)
{
    static_cast<SvgParser*>(ctx)->Characters(std::string_view(reinterpret_cast<const char*>(text), size_t(length)));
}
void OnSaxMessage(void*, const char*, ...) {}
}  // namespace

SvgStatus SvgParser::Parse(std::string_view text)
{
    if (text.size() > size_t(INT_MAX)) return SvgStatus::ParseError;
    xmlInitParser();
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof(sax));  // a first-generation handler: qualified names such as "xlink:href"
    sax.startElement = OnSaxStart;
    sax.endElement = OnSaxEnd;
    sax.characters = OnSaxCharacters;
    sax.warning = OnSaxMessage;
    sax.error = OnSaxMessage;
    sax.fatalError = OnSaxMessage;

    xmlParserCtxtPtr ctxt = xmlCreatePushParserCtxt(&sax, this, nullptr, 0, nullptr);
    if (!ctxt) return SvgStatus::NoMemory;
    xmlCtxtUseOptions(ctxt, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    m_states.assign(1, State{});
    m_status = SvgStatus::Success;
    // The end of the input is marked, so that a document cut short is not well-formed.
    xmlParseChunk(ctxt, text.data(), int(text.size()), 1);
    bool wellFormed = ctxt->wellFormed != 0;
    // libxml2 makes a document of its own to hold declared entities, even for a SAX parse.
    if (ctxt->myDoc) xmlFreeDoc(ctxt->myDoc);
    ctxt->myDoc = nullptr;
    xmlFreeParserCtxt(ctxt);

    if (Failed(m_status)) return m_status;
    if (!wellFormed || !m_document.m_root) return SvgStatus::ParseError;
    return SvgStatus::Success;
}

void SvgParser::StartElement(std::string_view name, const SvgAttributes& attributes)
{
    if (m_unknownDepth > 0) {
        ++m_unknownDepth;
        return;
    }
    static const struct {
        std::string_view name;
        Handler handler;
    } kHandlers[] = {
        {"a", &SvgParser::OnAnchor}, {"svg", &SvgParser::OnSvg}, {"g", &SvgParser::OnGroup},
        {"path", &SvgParser::OnPath}, {"line", &SvgParser::OnLine}, {"rect", &SvgParser::OnRect},
        {"circle", &SvgParser::OnCircle}, {"ellipse", &SvgParser::OnEllipse}, {"defs", &SvgParser::OnDefs},
        {"use", &SvgParser::OnUse}, {"symbol", &SvgParser::OnSymbol}, {"polygon", &SvgParser::OnPolygon},
        {"polyline", &SvgParser::OnPolyline}, {"text", &SvgParser::OnText}, {"image", &SvgParser::OnImage},
        {"linearGradient", &SvgParser::OnLinearGradient}, {"radialGradient", &SvgParser::OnRadialGradient},
        {"stop", &SvgParser::OnStop}, {"pattern", &SvgParser::OnPattern},
    };
    Handler handler = nullptr;
    for (const auto& h : kHandlers) {
        if (h.name == name) handler = h.handler;
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
    if (status == SvgStatus::UnknownElement) status = SvgStatus::Success;  // "a": its children join the group
    if (!Failed(status) && top.element) status = ReadCommonAttributes(*top.element, attributes);
    m_status = status;
}

void SvgParser::EndElement()
{
    if (m_unknownDepth > 0) {
        --m_unknownDepth;
        return;
    }
    if (m_states.size() > 1) m_states.pop_back();
    m_status = SvgStatus::Success;
}

void SvgParser::Characters(std::string_view text)
{
    if (m_unknownDepth > 0) return;
    SvgElement* target = m_states.back().element;
    if (!target || target->kind != SvgElementKind::Text) return;
    target->text += CollapseBlanks(text);
    m_status = SvgStatus::Success;
}

SvgStatus SvgParser::ReadCommonAttributes(SvgElement& element, const SvgAttributes& attributes)
{
    if (SvgStatus s = element.style.Read(attributes, PaintResolver()); Failed(s)) return s;
    if (SvgStatus s = ReadTransform(attributes, "transform", element.transform); Failed(s)) return s;
    if (auto id = attributes.Find("id")) {
        element.id = std::string(*id);
        m_document.m_ids[element.id] = &element;
    }
    return SvgStatus::Success;
}

SvgPaintResolver SvgParser::PaintResolver() const
{
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

SvgElement* SvgParser::Create(SvgElementKind kind, State& state)
{
    SvgElement* element = nullptr;
    if (!state.group) {
        // Only the outermost svg element starts the tree.
        if (kind != SvgElementKind::Svg || m_document.m_root) return nullptr;
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

SvgStatus SvgParser::OnAnchor(const SvgAttributes&, State&) { return SvgStatus::UnknownElement; }

SvgStatus SvgParser::ReadViewBox(const SvgAttributes& a, SvgElement& e)
{
    auto box = a.Find("viewBox");
    if (!box) return SvgStatus::Success;
    SvgScanner scan(*box);
    double v[4];
    for (double& n : v) {
        scan.SkipSeparator();
        if (!scan.ReadNumber(n)) return SvgStatus::ParseError;
    }
    e.viewBox = SvgViewBox{v[0], v[1], v[2], v[3]};
    e.hasViewBox = true;
    e.aspect = SvgAspectRatio{};

    auto rule = a.Find("preserveAspectRatio");
    if (!rule || rule->size() < 8) return SvgStatus::Success;
    static constexpr std::string_view kAligns[] = {"xMinYMin", "xMidYMin", "xMaxYMin", "xMinYMid", "xMidYMid",
                                                   "xMaxYMid", "xMinYMax", "xMidYMax", "xMaxYMax"};
    e.aspect.align = SvgAlign::None;
    for (size_t i = 0; i < std::size(kAligns); ++i) {
        if (rule->substr(0, 8) == kAligns[i]) e.aspect.align = SvgAlign(i + 1);
    }
    SvgScanner rest(rule->substr(8));
    rest.SkipBlanks();
    if (rest.Consume("meet")) e.aspect.mode = SvgMeetOrSlice::Meet;
    else if (rest.Consume("slice")) e.aspect.mode = SvgMeetOrSlice::Slice;
    return SvgStatus::Success;
}

SvgStatus SvgParser::OnSvg(const SvgAttributes& a, State& s)
{
    SvgElement* e = Create(SvgElementKind::Svg, s);
    if (!e) return SvgStatus::ParseError;
    s.group = e;
    s.gradient = nullptr;
    if (SvgStatus st = ReadLength(a, "x", "0", SvgOrientation::Horizontal, e->x); Failed(st)) return st;
    if (SvgStatus st = ReadLength(a, "y", "0", SvgOrientation::Vertical, e->y); Failed(st)) return st;
    if (SvgStatus st = ReadLength(a, "width", "100%", SvgOrientation::Horizontal, e->width); Failed(st)) return st;
    if (SvgStatus st = ReadLength(a, "height", "100%", SvgOrientation::Vertical, e->height); Failed(st)) return st;
    return ReadViewBox(a, *e);
}

SvgStatus SvgParser::OnContainer(SvgElementKind kind, State& s)
{
    SvgElement* e = Create(kind, s);
    if (!e) return SvgStatus::ParseError;
    s.group = e;
    return SvgStatus::Success;
}

SvgStatus SvgParser::OnGroup(const SvgAttributes&, State& s) { return OnContainer(SvgElementKind::Group, s); }
SvgStatus SvgParser::OnDefs(const SvgAttributes&, State& s) { return OnContainer(SvgElementKind::Defs, s); }

SvgStatus SvgParser::OnSymbol(const SvgAttributes& a, State& s)
{
    if (SvgStatus st = OnContainer(SvgElementKind::Symbol, s); Failed(st)) return st;
    return ReadViewBox(a, *s.element);
}

SvgStatus SvgParser::OnUse(const SvgAttributes& a, State& s)
{
    SvgElement* e = Create(SvgElementKind::Use, s);
    if (!e) return SvgStatus::ParseError;
    if (SvgStatus st = ReadLength(a, "x", "0", SvgOrientation::Horizontal, e->x); Failed(st)) return st;
    if (SvgStatus st = ReadLength(a, "y", "0", SvgOrientation::Vertical, e->y); Failed(st)) return st;
    if (SvgStatus st = ReadLength(a, "width", "100%", SvgOrientation::Horizontal, e->width); Failed(st)) return st;
    if (SvgStatus st = ReadLength(a, "height", "100%", SvgOrientation::Vertical, e->height); Failed(st)) return st;
    // The target must already be defined; a later one leaves the use unresolved.
    e->reference = m_document.FindById(HrefId(a));
    return e->reference ? SvgStatus::Success : SvgStatus::ParseError;
}

SvgStatus SvgParser::OnPath(const SvgAttributes& a, State& s)
{
    SvgElement* e = Create(SvgElementKind::Path, s);
    if (!e) return SvgStatus::ParseError;
    auto d = a.Find("d");
    return d ? e->path.ParseData(*d) : SvgStatus::Success;
}

SvgStatus SvgParser::OnLine(const SvgAttributes& a, State& s)
{
    SvgElement* e = Create(SvgElementKind::Line, s);
    if (!e) return SvgStatus::ParseError;
    if (SvgStatus st = ReadLength(a, "x1", "0", SvgOrientation::Horizontal, e->x1); Failed(st)) return st;
    if (SvgStatus st = ReadLength(a, "y1", "0", SvgOrientation::Vertical, e->y1); Failed(st)) return st;
    if (SvgStatus st = ReadLength(a, "x2", "0", SvgOrientation::Horizontal, e->x2); Failed(st)) return st;
    return ReadLength(a, "y2", "0", SvgOrientation::Vertical, e->y2);
}

SvgStatus SvgParser::OnRect(const SvgAttributes& a, State& s)
{
    SvgElement* e = Create(SvgElementKind::Rect, s);
    if (!e) return SvgStatus::ParseError;
    if (SvgStatus st = ReadLength(a, "x", "0", SvgOrientation::Horizontal, e->x); Failed(st)) return st;
    if (SvgStatus st = ReadLength(a, "y", "0", SvgOrientation::Vertical, e->y); Failed(st)) return st;
    if (SvgStatus st = ReadLength(a, "width", "0", SvgOrientation::Horizontal, e->width); Failed(st)) return st;
    if (SvgStatus st = ReadLength(a, "height", "0", SvgOrientation::Vertical, e->height); Failed(st)) return st;
    auto rx = a.Find("rx"), ry = a.Find("ry");
    if (!rx && !ry) return SvgStatus::Success;
    if (SvgStatus st = SvgLength::Parse(rx ? *rx : *ry, SvgOrientation::Horizontal, e->rx); Failed(st)) return st;
    return SvgLength::Parse(ry ? *ry : *rx, SvgOrientation::Vertical, e->ry);
}

SvgStatus SvgParser::OnCircle(const SvgAttributes& a, State& s)
{
    SvgElement* e = Create(SvgElementKind::Circle, s);
    if (!e) return SvgStatus::ParseError;
    if (SvgStatus st = ReadLength(a, "cx", "0", SvgOrientation::Horizontal, e->cx); Failed(st)) return st;
    if (SvgStatus st = ReadLength(a, "cy", "0", SvgOrientation::Vertical, e->cy); Failed(st)) return st;
    if (SvgStatus st = ReadExtent(a, "r", "100%", SvgOrientation::Other, e->rx); Failed(st)) return st;
    e->ry = e->rx;
    return SvgStatus::Success;
}

SvgStatus SvgParser::OnEllipse(const SvgAttributes& a, State& s)
{
    SvgElement* e = Create(SvgElementKind::Ellipse, s);
    if (!e) return SvgStatus::ParseError;
    if (SvgStatus st = ReadLength(a, "cx", "0", SvgOrientation::Horizontal, e->cx); Failed(st)) return st;
    if (SvgStatus st = ReadLength(a, "cy", "0", SvgOrientation::Vertical, e->cy); Failed(st)) return st;
    if (SvgStatus st = ReadExtent(a, "rx", "100%", SvgOrientation::Horizontal, e->rx); Failed(st)) return st;
    return ReadExtent(a, "ry", "100%", SvgOrientation::Vertical, e->ry);
}

SvgStatus SvgParser::OnPoints(const SvgAttributes& a, State& s, bool close)
{
    SvgElement* e = Create(SvgElementKind::Path, s);
    if (!e) return SvgStatus::ParseError;
    auto points = a.Find("points");
    return points ? e->path.ParsePoints(*points, close) : SvgStatus::ParseError;
}

SvgStatus SvgParser::OnPolygon(const SvgAttributes& a, State& s) { return OnPoints(a, s, true); }
SvgStatus SvgParser::OnPolyline(const SvgAttributes& a, State& s) { return OnPoints(a, s, false); }

SvgStatus SvgParser::OnText(const SvgAttributes& a, State& s)
{
    SvgElement* e = Create(SvgElementKind::Text, s);
    if (!e) return SvgStatus::ParseError;
    if (SvgStatus st = ReadLength(a, "x", "0", SvgOrientation::Horizontal, e->x); Failed(st)) return st;
    return ReadLength(a, "y", "0", SvgOrientation::Vertical, e->y);
}

SvgStatus SvgParser::OnImage(const SvgAttributes& a, State& s)
{
    SvgElement* e = Create(SvgElementKind::Image, s);
    if (!e) return SvgStatus::ParseError;
    if (SvgStatus st = ReadLength(a, "x", "0", SvgOrientation::Horizontal, e->x); Failed(st)) return st;
    if (SvgStatus st = ReadLength(a, "y", "0", SvgOrientation::Vertical, e->y); Failed(st)) return st;
    if (SvgStatus st = ReadExtent(a, "width", "0", SvgOrientation::Horizontal, e->width); Failed(st)) return st;
    return ReadExtent(a, "height", "0", SvgOrientation::Vertical, e->height);
}

SvgStatus SvgParser::ReadGradientCommon(const SvgAttributes& a, SvgGradient& g)
{
    if (SvgStatus st = ReadUnits(a, "gradientUnits", g.units); Failed(st)) return st;
    if (SvgStatus st = ReadTransform(a, "gradientTransform", g.transform); Failed(st)) return st;
    auto spread = a.Find("spreadMethod");
    if (!spread) return SvgStatus::Success;
    if (*spread == "pad") g.spread = SvgSpread::Pad;
    else if (*spread == "reflect") g.spread = SvgSpread::Reflect;
    else if (*spread == "repeat") g.spread = SvgSpread::Repeat;
    else return SvgStatus::InvalidValue;
    return SvgStatus::Success;
}

SvgStatus SvgParser::OnLinearGradient(const SvgAttributes& a, State& s)
{
    SvgElement* e = Create(SvgElementKind::Gradient, s);
    if (!e) return SvgStatus::ParseError;
    SvgGradient& g = e->gradient;
    s.gradient = &g;
    s.opensGradient = true;
    g.type = SvgGradientType::Linear;
    SvgLength::Parse("0%", SvgOrientation::Horizontal, g.x1);
    SvgLength::Parse("0%", SvgOrientation::Vertical, g.y1);
    SvgLength::Parse("100%", SvgOrientation::Horizontal, g.x2);
    SvgLength::Parse("0%", SvgOrientation::Vertical, g.y2);
    if (const SvgElement* base = m_document.FindById(HrefId(a)); base && base->kind == SvgElementKind::Gradient) {
        SvgGradient copy = base->gradient;
        if (copy.type != SvgGradientType::Linear) copy.x1 = g.x1, copy.y1 = g.y1, copy.x2 = g.x2, copy.y2 = g.y2;
        g = copy;
        g.type = SvgGradientType::Linear;
    } else if (!HrefId(a).empty()) {
        return SvgStatus::ParseError;
    }
    if (auto v = a.Find("x1")) { if (SvgStatus st = SvgLength::Parse(*v, SvgOrientation::Horizontal, g.x1); Failed(st)) return st; }
    if (auto v = a.Find("y1")) { if (SvgStatus st = SvgLength::Parse(*v, SvgOrientation::Vertical, g.y1); Failed(st)) return st; }
    if (auto v = a.Find("x2")) { if (SvgStatus st = SvgLength::Parse(*v, SvgOrientation::Horizontal, g.x2); Failed(st)) return st; }
    if (auto v = a.Find("y2")) { if (SvgStatus st = SvgLength::Parse(*v, SvgOrientation::Vertical, g.y2); Failed(st)) return st; }
    return ReadGradientCommon(a, g);
}

SvgStatus SvgParser::OnRadialGradient(const SvgAttributes& a, State& s)
{
    SvgElement* e = Create(SvgElementKind::Gradient, s);
    if (!e) return SvgStatus::ParseError;
    SvgGradient& g = e->gradient;
    s.gradient = &g;
    s.opensGradient = true;
    g.type = SvgGradientType::Radial;
    SvgLength::Parse("50%", SvgOrientation::Horizontal, g.cx);
    SvgLength::Parse("50%", SvgOrientation::Vertical, g.cy);
    SvgLength::Parse("50%", SvgOrientation::Other, g.r);
    SvgLength::Parse("50%", SvgOrientation::Horizontal, g.fx);
    SvgLength::Parse("50%", SvgOrientation::Vertical, g.fy);
    if (const SvgElement* base = m_document.FindById(HrefId(a)); base && base->kind == SvgElementKind::Gradient) {
        SvgGradient copy = base->gradient;
        if (copy.type != SvgGradientType::Radial) copy.cx = g.cx, copy.cy = g.cy, copy.r = g.r, copy.fx = g.fx, copy.fy = g.fy;
        g = copy;
        g.type = SvgGradientType::Radial;
    } else if (!HrefId(a).empty()) {
        return SvgStatus::ParseError;
    }
    if (auto v = a.Find("cx")) { if (SvgStatus st = SvgLength::Parse(*v, SvgOrientation::Horizontal, g.cx); Failed(st)) return st; }
    if (auto v = a.Find("cy")) { if (SvgStatus st = SvgLength::Parse(*v, SvgOrientation::Vertical, g.cy); Failed(st)) return st; }
    if (auto v = a.Find("r")) { if (SvgStatus st = SvgLength::Parse(*v, SvgOrientation::Other, g.r); Failed(st)) return st; }
    if (auto v = a.Find("fx")) { if (SvgStatus st = SvgLength::Parse(*v, SvgOrientation::Horizontal, g.fx); Failed(st)) return st; }
    if (auto v = a.Find("fy")) { if (SvgStatus st = SvgLength::Parse(*v, SvgOrientation::Vertical, g.fy); Failed(st)) return st; }
    return ReadGradientCommon(a, g);
}

SvgStatus SvgParser::OnStop(const SvgAttributes& a, State& s)
{
    const State& enclosing = m_states[m_states.size() - 2];
    if (!enclosing.opensGradient || !s.gradient) return SvgStatus::ParseError;
    SvgStyle style;
    if (SvgStatus st = style.Read(a, PaintResolver()); Failed(st)) return st;
    SvgGradientStop stop;
    if (auto offset = a.Find("offset")) {
        SvgScanner scan(*offset);
        scan.SkipBlanks();
        if (!scan.ReadNumber(stop.offset)) return SvgStatus::ParseError;
        if (scan.Consume("%")) stop.offset *= 0.01;
    }
    stop.rgb = style.stopColor.isCurrentColor ? style.color.rgb : style.stopColor.rgb;
    stop.opacity = style.stopOpacity;
    s.gradient->stops.push_back(stop);
    return SvgStatus::Success;
}

SvgStatus SvgParser::OnPattern(const SvgAttributes& a, State& s)
{
    SvgElement* e = Create(SvgElementKind::Pattern, s);
    if (!e) return SvgStatus::ParseError;
    s.group = e;  // its content is kept but never drawn
    SvgPaintUnits units = SvgPaintUnits::ObjectBoundingBox, contentUnits = SvgPaintUnits::UserSpaceOnUse;
    if (SvgStatus st = ReadUnits(a, "patternUnits", units); Failed(st)) return st;
    if (SvgStatus st = ReadUnits(a, "patternContentUnits", contentUnits); Failed(st)) return st;
    if (SvgStatus st = ReadLength(a, "x", "0", SvgOrientation::Horizontal, e->x); Failed(st)) return st;
    if (SvgStatus st = ReadLength(a, "y", "0", SvgOrientation::Vertical, e->y); Failed(st)) return st;
    if (SvgStatus st = ReadLength(a, "width", "0", SvgOrientation::Horizontal, e->width); Failed(st)) return st;
    if (SvgStatus st = ReadLength(a, "height", "0", SvgOrientation::Vertical, e->height); Failed(st)) return st;
    return ReadTransform(a, "patternTransform", e->gradient.transform);
}
