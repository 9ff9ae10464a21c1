// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two interpolations the analysis refines grid readouts with.

// Vertex of the parabola through (x0, y0), (x1, y1), (x2, y2), x0 < x1 < x2 (the spacing need not
// be even). Returns false, leaving x and y alone, when the three points lie on a line.
inline bool ParabolaVertex(double x0, double y0, double x1, double y1, double x2, double y2, double &x,
                           double &y) {
    const long double a0 = x0 - static_cast<long double>(x1), a2 = x2 - static_cast<long double>(x1);
    const long double d0 = y0 - static_cast<long double>(y1), d2 = y2 - static_cast<long double>(y1);
    // y − y1 = b·u + c·u² with u = x − x1, through (a0, d0) and (a2, d2).
    const long double det = a0 * a2 * (a2 - a0);
    if (det == 0)
        return false;
    const long double c = (d2 * a0 - d0 * a2) / det;
    if (c == 0)
        return false;
    const long double b = (d0 * a2 * a2 - d2 * a0 * a0) / det;
    const long double u = -b / (2 * c);
    x = static_cast<double>(x1 + u);
    y = static_cast<double>(y1 + u * b / 2);
    return true;
}

// Abscissa where the line through (x0, y0) and (x1, y1) takes the value level (y0 ≠ y1).
inline double LinearCrossing(double x0, double y0, double x1, double y1, double level) {
    return static_cast<double>(x0 + (static_cast<long double>(level) - y0) *
                                        (x1 - static_cast<long double>(x0)) /
                                        (static_cast<long double>(y1) - y0));
}
