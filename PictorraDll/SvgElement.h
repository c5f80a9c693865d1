// One element of the document tree, and the walk that draws it through the render engine.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "SvgGradient.h"
#include "SvgLength.h"
#include "SvgMatrix.h"
#include "SvgPath.h"
#include "SvgStatus.h"
#include "SvgStyle.h"
#include "SvgStyleValues.h"

class SvgRenderEngine;

enum class SvgElementKind {
    Svg = 0,
    Group = 1,
    Defs = 2,
    Use = 3,
    Symbol = 4,
    Path = 5,
    Circle = 6,
    Ellipse = 7,
    Line = 8,
    Rect = 9,
    Text = 10,
    Gradient = 11,
    Stop = 12,
    Pattern = 13,
    Image = 14,
};

// Bounds one render: a document can reach many elements many times through use.
struct SvgWalk {
    static constexpr size_t kMaxVisits = 100000;
    static constexpr size_t kMaxDepth = 512;
    size_t visits = 0;
    size_t depth = 0;
};

class SvgElement {
public:
    SvgElement(SvgElementKind kind, SvgElement* parent) : kind(kind), parent(parent) {}
    SvgElement(const SvgElement&) = delete;
    SvgElement& operator=(const SvgElement&) = delete;

    SvgStatus Render(SvgRenderEngine& engine, SvgWalk& walk) const;

    const SvgElementKind kind;
    SvgElement* const parent;
    SvgStyle style;
    SvgMatrix transform;
    std::string id;
    std::vector<std::unique_ptr<SvgElement>> children;

    SvgLength x, y, width, height;  // svg, use, rect, text, image, pattern
    SvgLength cx, cy, rx, ry;       // circle (rx = ry = r), ellipse, rect corners
    SvgLength x1, y1, x2, y2;       // line
    bool hasViewBox = false;
    SvgViewBox viewBox;
    SvgAspectRatio aspect;
    SvgPath path;
    std::string text;
    SvgGradient gradient;
    const SvgElement* reference = nullptr;  // use: the element it draws

private:
    bool IsGroup() const { return kind == SvgElementKind::Svg || kind == SvgElementKind::Group; }
    SvgStatus Setup(SvgRenderEngine& engine) const;
    SvgStatus Draw(SvgRenderEngine& engine, SvgWalk& walk, bool throughUse) const;
    SvgStatus DrawChildren(SvgRenderEngine& engine, SvgWalk& walk) const;
    SvgStatus RenderFrom(SvgRenderEngine& engine, SvgWalk& walk, bool throughUse) const;

    // Set while this element is being drawn, so that a use cannot reach its own ancestor.
    mutable bool m_walking = false;
};
