#include "SvgPath.h"

#include <cctype>

#include "SvgRenderEngine.h"
#include "SvgScanner.h"

namespace {
// Arguments per group of each command letter; -1 for letters outside the table.
int ArgumentCount(char letter) {
    switch (std::tolower(static_cast<unsigned char>(letter))) {
        case 'm':
        case 'l':
        case 't':
            return 2;
        case 'h':
        case 'v':
            return 1;
        case 'c':
            return 6;
        case 's':
        case 'q':
            return 4;
        case 'a':
            return 7;
        case 'z':
            return 0;
        default:
            return -1;
    }
}

// The large-arc and sweep flags of an arc are one character each, "0" or "1", so that "10" is two
// flags; anything else ends the path data.
bool IsArcFlag(char letter, int argument) {
    return (letter == 'a' || letter == 'A') && (argument == 3 || argument == 4);
}

bool ReadFlag(SvgScanner& scan, double& value) {
    char c = scan.Peek();
    if (c != '0' && c != '1')
        return false;
    value = c - '0';
    scan.Advance();
    return true;
}

// One argument group of a command, its numbers separated by blanks and at most one comma.
bool ReadGroup(SvgScanner& scan, char letter, int count, double* args) {
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            scan.SkipSeparator();
        bool read = IsArcFlag(letter, i) ? ReadFlag(scan, args[i]) : scan.ReadNumber(args[i]);
        if (!read)
            return false;
    }
    return true;
}

// The separator after a group, taken only when another group follows: a comma before a letter or at
// the end is left standing, where it ends the path data as an error.
void SkipSeparatorBeforeGroup(SvgScanner& scan) {
    SvgScanner ahead = scan;
    ahead.SkipSeparator();
    if (ahead.AtNumber())
        scan = ahead;
}

int StoredArgumentCount(SvgPathOp op) {
    switch (op) {
        case SvgPathOp::MoveTo:
        case SvgPathOp::LineTo:
            return 2;
        case SvgPathOp::CurveTo:
            return 6;
        case SvgPathOp::QuadraticCurveTo:
            return 4;
        case SvgPathOp::ArcTo:
            return 7;
        case SvgPathOp::ClosePath:
            return 0;
    }
    return 0;
}
}  // namespace

SvgStatus SvgPath::ParseData(std::string_view text) {
    SvgScanner scan(text);
    for (;;) {
        scan.SkipBlanks();
        if (scan.AtEnd())
            return SvgStatus::Success;
        char letter = scan.Peek();
        int count = ArgumentCount(letter);
        if (count < 0)
            return SvgStatus::ParseError;
        scan.Advance();
        if (count == 0) {
            // A close takes no groups: numbers after it belong to no command and end the path.
            ReadCommand(letter, nullptr);
            continue;
        }
        // Only blanks stand between a letter and its first number; "L,38" ends the path data.
        scan.SkipBlanks();
        while (scan.AtNumber()) {
            double args[7];
            if (!ReadGroup(scan, letter, count, args))
                return SvgStatus::ParseError;
            ReadCommand(letter, args);  // further pairs after a move are moves too
            SkipSeparatorBeforeGroup(scan);
        }
    }
}

SvgStatus SvgPath::ParsePoints(std::string_view text, bool close) {
    SvgScanner scan(text);
    bool first = true;
    for (;;) {
        scan.SkipSeparator();
        if (scan.AtEnd())
            break;
        Point p;
        if (!scan.ReadNumber(p.x))
            return SvgStatus::ParseError;
        scan.SkipSeparator();
        if (!scan.ReadNumber(p.y))
            return SvgStatus::ParseError;
        first ? MoveTo(p) : LineTo(p);
        first = false;
    }
    if (close && !first)
        ClosePath();
    return SvgStatus::Success;
}

SvgStatus SvgPath::ReadCommand(char letter, const double* arguments) {
    bool relative = std::islower(static_cast<unsigned char>(letter));
    Point base = relative ? m_current : Point{};
    auto at = [&](double x, double y) { return Point{base.x + x, base.y + y}; };
    SvgPathOp last = m_ops.empty() ? SvgPathOp::MoveTo : m_ops.back();
    switch (std::tolower(static_cast<unsigned char>(letter))) {
        case 'm':
            MoveTo(at(arguments[0], arguments[1]));
            break;
        case 'l':
            LineTo(at(arguments[0], arguments[1]));
            break;
        case 'h':
            LineTo({base.x + arguments[0], m_current.y});
            break;
        case 'v':
            LineTo({m_current.x, base.y + arguments[0]});
            break;
        case 'c':
            CurveTo(at(arguments[0], arguments[1]), at(arguments[2], arguments[3]),
                    at(arguments[4], arguments[5]));
            break;
        case 's': {
            Point c1 = m_current;
            if (!m_ops.empty() && last == SvgPathOp::CurveTo)
                c1 = {2 * m_current.x - m_lastCubicControl.x, 2 * m_current.y - m_lastCubicControl.y};
            CurveTo(c1, at(arguments[0], arguments[1]), at(arguments[2], arguments[3]));
            break;
        }
        case 'q':
            QuadraticCurveTo(at(arguments[0], arguments[1]), at(arguments[2], arguments[3]));
            break;
        case 't': {
            Point control = m_current;
            if (!m_ops.empty() && last == SvgPathOp::QuadraticCurveTo)
                control = {2 * m_current.x - m_lastQuadraticControl.x,
                           2 * m_current.y - m_lastQuadraticControl.y};
            QuadraticCurveTo(control, at(arguments[0], arguments[1]));
            break;
        }
        case 'a':
            ArcTo(arguments[0], arguments[1], arguments[2], arguments[3], arguments[4],
                  at(arguments[5], arguments[6]));
            break;
        case 'z':
            ClosePath();
            break;
    }
    return SvgStatus::Success;
}

void SvgPath::Add(SvgPathOp op, std::initializer_list<double> args) {
    m_ops.push_back(op);
    m_args.insert(m_args.end(), args);
}

void SvgPath::MoveTo(Point point) {
    Add(SvgPathOp::MoveTo, {point.x, point.y});
    m_current = m_subpathStart = point;
}

void SvgPath::LineTo(Point point) {
    Add(SvgPathOp::LineTo, {point.x, point.y});
    m_current = point;
}

void SvgPath::CurveTo(Point c1, Point c2, Point point) {
    Add(SvgPathOp::CurveTo, {c1.x, c1.y, c2.x, c2.y, point.x, point.y});
    m_lastCubicControl = c2;
    m_current = point;
}

void SvgPath::QuadraticCurveTo(Point control, Point point) {
    Add(SvgPathOp::QuadraticCurveTo, {control.x, control.y, point.x, point.y});
    m_lastQuadraticControl = control;
    m_current = point;
}

void SvgPath::ArcTo(double rx, double ry, double rotation, double largeArc, double sweep, Point point) {
    Add(SvgPathOp::ArcTo, {rx, ry, rotation, largeArc, sweep, point.x, point.y});
    m_current = point;
}

void SvgPath::ClosePath() {
    Add(SvgPathOp::ClosePath, {});
    m_current = m_subpathStart;
}

SvgStatus SvgPath::Replay(SvgRenderEngine& engine) const {
    const double* a = m_args.data();
    for (SvgPathOp op : m_ops) {
        SvgStatus status = SvgStatus::Success;
        switch (op) {
            case SvgPathOp::MoveTo:
                status = engine.MoveTo(a[0], a[1]);
                break;
            case SvgPathOp::LineTo:
                status = engine.LineTo(a[0], a[1]);
                break;
            case SvgPathOp::CurveTo:
                status = engine.CurveTo(a[0], a[1], a[2], a[3], a[4], a[5]);
                break;
            case SvgPathOp::QuadraticCurveTo:
                status = engine.QuadraticCurveTo(a[0], a[1], a[2], a[3]);
                break;
            case SvgPathOp::ArcTo:
                status = engine.ArcTo(a[0], a[1], a[2], a[3] != 0, a[4] != 0, a[5], a[6]);
                break;
            case SvgPathOp::ClosePath:
                status = engine.ClosePath();
                break;
        }
        if (Failed(status))
            return status;
        a += StoredArgumentCount(op);
    }
    return engine.RenderPath();
}
