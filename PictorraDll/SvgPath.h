// Path data: the "d" text (and polygon points) resolved into absolute drawing operations, replayed
// through the render engine.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "SvgStatus.h"

class SvgRenderEngine;

enum class SvgPathOp : uint8_t { MoveTo, LineTo, CurveTo, QuadraticCurveTo, ArcTo, ClosePath };

class SvgPath {
public:
    // Appends the commands of a "d" text. On a parse error the operations before it stay.
    SvgStatus ParseData(std::string_view text);
    // Appends a "points" list: a move to the first pair, lines to the others, a close for polygons.
    SvgStatus ParsePoints(std::string_view text, bool close);

    // Calls the engine's path callbacks in order, then its render-path callback.
    SvgStatus Replay(SvgRenderEngine& engine) const;

    const std::vector<SvgPathOp>& Operations() const { return m_ops; }
    const std::vector<double>& Arguments() const { return m_args; }

private:
    struct Point {
        double x = 0, y = 0;
    };

    SvgStatus ReadCommand(char letter, const double* args);
    void Add(SvgPathOp op, std::initializer_list<double> args);
    void MoveTo(Point point);
    void LineTo(Point point);
    void CurveTo(Point c1, Point c2, Point point);
    void QuadraticCurveTo(Point control, Point point);
    void ArcTo(double rx, double ry, double rotation, double largeArc, double sweep, Point point);
    void ClosePath();

    std::vector<SvgPathOp> m_ops;
    std::vector<double> m_args;
    Point m_current;
    Point m_subpathStart;
    Point m_lastCubicControl;
    Point m_lastQuadraticControl;
};
