// Builds an SvgDocument from the events of libxml2's SAX push parser.
#pragma once

#include <string_view>
#include <vector>

#include "SvgAttributes.h"
#include "SvgElement.h"
#include "SvgStatus.h"

class SvgDocument;

class SvgParser {
public:
    explicit SvgParser(SvgDocument& document) : m_document(document) {}

    SvgStatus Parse(std::string_view text);

    // SAX events.
    void StartElement(std::string_view name, const SvgAttributes& attributes);
    void EndElement();
    void Characters(std::string_view text);

private:
    // What an open element passes to the elements inside it.
    struct State {
        SvgElement* group = nullptr;      // where new elements go
        SvgElement* element = nullptr;    // the element this level created, if any
        SvgGradient* gradient = nullptr;  // the gradient this level opened, for its stops
        bool opensGradient = false;
    };
    using Handler = SvgStatus (SvgParser::*)(const SvgAttributes&, State&);

    SvgStatus ReadCommonAttributes(SvgElement& element, const SvgAttributes& attributes);
    SvgElement* Create(SvgElementKind kind, State& state);
    SvgPaintResolver PaintResolver() const;

    SvgStatus OnAnchor(const SvgAttributes& a, State& s);
    SvgStatus OnSvg(const SvgAttributes& a, State& s);
    SvgStatus OnGroup(const SvgAttributes& a, State& s);
    SvgStatus OnDefs(const SvgAttributes& a, State& s);
    SvgStatus OnSymbol(const SvgAttributes& a, State& s);
    SvgStatus OnUse(const SvgAttributes& a, State& s);
    SvgStatus OnPath(const SvgAttributes& a, State& s);
    SvgStatus OnLine(const SvgAttributes& a, State& s);
    SvgStatus OnRect(const SvgAttributes& a, State& s);
    SvgStatus OnCircle(const SvgAttributes& a, State& s);
    SvgStatus OnEllipse(const SvgAttributes& a, State& s);
    SvgStatus OnPolygon(const SvgAttributes& a, State& s);
    SvgStatus OnPolyline(const SvgAttributes& a, State& s);
    SvgStatus OnText(const SvgAttributes& a, State& s);
    SvgStatus OnImage(const SvgAttributes& a, State& s);
    SvgStatus OnLinearGradient(const SvgAttributes& a, State& s);
    SvgStatus OnRadialGradient(const SvgAttributes& a, State& s);
    SvgStatus OnStop(const SvgAttributes& a, State& s);
    SvgStatus OnPattern(const SvgAttributes& a, State& s);

    SvgStatus OnGradient(const SvgAttributes& a, State& s, SvgGradientType type);
    SvgStatus OnContainer(SvgElementKind kind, State& s);
    SvgStatus OnPoints(const SvgAttributes& a, State& s, bool close);
    SvgStatus ReadGradientCommon(const SvgAttributes& a, SvgGradient& gradient);
    SvgStatus ReadViewBox(const SvgAttributes& a, SvgElement& element);

    SvgDocument& m_document;
    std::vector<State> m_states;
    int m_unknownDepth = 0;
    SvgStatus m_status = SvgStatus::Success;
};
