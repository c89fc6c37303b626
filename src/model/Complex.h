#pragma once

// A complex number in double with each operation written out, so that its
// bits are fixed by the order below on every machine. std::complex leaves
// multiplication and division to the library's helpers (__muldc3,
// __divdc3), compiled with whatever contraction their target's compiler
// chose.
struct Complex {
    double re = 0;
    double im = 0;
    bool operator==(const Complex&) const = default;
};

constexpr Complex operator+(Complex a, Complex b) { return {a.re + b.re, a.im + b.im}; }
constexpr Complex operator-(Complex a, Complex b) { return {a.re - b.re, a.im - b.im}; }
constexpr Complex operator*(Complex a, double k) { return {a.re * k, a.im * k}; }
constexpr Complex operator*(Complex a, Complex b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }
constexpr Complex Conj(Complex a) { return {a.re, -a.im}; }
// |a|^2
constexpr double Norm(Complex a) { return a.re * a.re + a.im * a.im; }
// Re(a conj(b)), the dot product of a and b as plane vectors.
constexpr double Dot(Complex a, Complex b) { return a.re * b.re + a.im * b.im; }
// Im(conj(a) b), the cross product a x b of plane vectors.
constexpr double Cross(Complex a, Complex b) { return a.re * b.im - a.im * b.re; }
// -j a: a turned back by a right angle.
constexpr Complex TurnBack(Complex a) { return {a.im, -a.re}; }
// a / b by the textbook formula, a conj(b) / |b|^2: the impedances and
// currents divided here are far from overflow and underflow.
constexpr Complex operator/(Complex a, Complex b)
{
    const double n = Norm(b);
    return {Dot(a, b) / n, Cross(b, a) / n};
}
