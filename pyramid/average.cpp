#include "average.hpp"

#include "median.hpp"

void average_predict_interior(double a, double b, double c, double* p, double* q, double* r)
{
    *p = (5 * a + 26 * b - 4 * c) / 27;
    *q = (-a + 29 * b - c) / 27;
    *r = (-4 * a + 26 * b + 5 * c) / 27;
}

void average_predict_edge(double a, double b, double c, double* p, double* q, double* r)
{
    *p = (41 * a - 19 * b + 5 * c) / 27;
    *q = (26 * a + 2 * b - c) / 27;
    *r = (14 * a + 17 * b - 4 * c) / 27;
}

void lagrange_predict_interior(double a, double b, double c, double* p, double* q, double* r)
{
    *p = (2 * a + 8 * b - c) / 9;
    *q = b;
    *r = (-a + 8 * b + 2 * c) / 9;
}

void lagrange_predict_edge(double a, double b, double c, double* p, double* q, double* r)
{
    *p = (14 * a - 7 * b + 2 * c) / 9;
    *q = a;
    *r = (5 * a + 5 * b - c) / 9;
}

void average_refine(const double* v, double* w, int m, int degree)
{
    refine_by_rules<average_predict_edge, average_predict_interior>(v, w, m, degree);
}

void lagrange_refine(const double* v, double* w, int m, int degree)
{
    refine_by_rules<lagrange_predict_edge, lagrange_predict_interior>(v, w, m, degree);
}
