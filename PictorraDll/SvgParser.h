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

    SvgStatus OnAnchor(const SvgAttributes& attributes, State& state);
    SvgStatus OnSvg(const SvgAttributes& attributes, State& state);
    SvgStatus OnGroup(const SvgAttributes& attributes, State& state);
    SvgStatus OnDefs(const SvgAttributes& attributes, State& state);
    SvgStatus OnSymbol(const SvgAttributes& attributes, State& state);
    SvgStatus OnUse(const SvgAttributes& attributes, State& state);
    SvgStatus OnPath(const SvgAttributes& attributes, State& state);
    SvgStatus OnLine(const SvgAttributes& attributes, State& state);
    SvgStatus OnRect(const SvgAttributes& attributes, State& state);
    SvgStatus OnCircle(const SvgAttributes& attributes, State& state);
    SvgStatus OnEllipse(const SvgAttributes& attributes, State& state);
    SvgStatus OnPolygon(const SvgAttributes& attributes, State& state);
    SvgStatus OnPolyline(const SvgAttributes& attributes, State& state);
    SvgStatus OnText(const SvgAttributes& attributes, State& state);
    SvgStatus OnImage(const SvgAttributes& attributes, State& state);
    SvgStatus OnLinearGradient(const SvgAttributes& attributes, State& state);
    SvgStatus OnRadialGradient(const SvgAttributes& attributes, State& state);
    SvgStatus OnStop(const SvgAttributes& attributes, State& state);
    SvgStatus OnPattern(const SvgAttributes& attributes, State& state);

    SvgStatus OnGradient(const SvgAttributes& attributes, State& state, SvgGradientType type);
    SvgStatus OnContainer(SvgElementKind kind, State& state);
    SvgStatus OnPoints(const SvgAttributes& attributes, State& state, bool close);
    SvgStatus ReadGradientCommon(const SvgAttributes& attributes, SvgGradient& gradient);
    SvgStatus ReadViewBox(const SvgAttributes& attributes, SvgElement& element);

    SvgDocument& m_document;
    std::vector<State> m_states;
    int m_unknownDepth = 0;
    // The status of the latest element event: each start, end and text of a known element sets it afresh.
    // So an element's error lasts only until the next event, and a complete document, whose root's end
    // tag comes last, parses with success whatever its elements held; a document cut short returns the
    // status its last event left.
    SvgStatus m_status = SvgStatus::Success;
};
