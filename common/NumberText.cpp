#include "common/NumberText.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

// A finite non-zero value as decimal digits: value = 0.digits x 10^exponent,
// the first digit non-zero.
struct Decimal
{
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

// Enough digits to tell a value from the halfway point of any rounding done
// here: a 64-bit mantissa differs from a decimal tie of up to 40 digits well
// within 80 significant digits, and glibc prints them exactly.
constexpr int ExactDigits = 90;

Decimal toDecimal(long double x)
{
    Decimal d;
    char buf[ExactDigits + 32];
    std::snprintf(buf, sizeof buf, "%.*Le", ExactDigits - 1, x);
    const char *p = buf;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            d.digits.push_back(*p);
    }
    const int e = (*p == 'e') ? std::atoi(p + 1) : 0;
    d.exponent = e + 1;
    return d;
}

// Keeps `count` leading digits, rounding half away from zero on the rest.
// count may be zero or negative (the value then rounds to 0 or to one unit
// of the first dropped place). Returns the kept digits without trailing
// zeros; an empty string means the value rounded to zero.
void roundDigits(Decimal &d, int count)
{
    if (count < 0) {
        d.digits.clear();
        return;
    }
    if (count >= int(d.digits.size()))
        return;
    const bool up = d.digits[std::size_t(count)] >= '5';
    d.digits.resize(std::size_t(count));
    if (up) {
        int i = count - 1;
        while (i >= 0 && d.digits[std::size_t(i)] == '9') {
            d.digits[std::size_t(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[std::size_t(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
}

std::string digitAt(const Decimal &d, int index)
{
    return (index >= 0 && index < int(d.digits.size())) ? std::string(1, d.digits[std::size_t(index)])
                                                        : std::string("0");
}

QString special(long double x)
{
    if (std::isnan(x))
        return QStringLiteral("NAN");
    return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

} // namespace

QString F(long double x, int precision, int decimals, QChar separator)
{
    if (!std::isfinite(x))
        return special(x);
    if (precision < 1)
        precision = 1;
    if (decimals < 0)
        decimals = 0;

    Decimal d;
    if (x != 0) {
        d = toDecimal(x);
        roundDigits(d, precision);
    }
    if (!d.digits.empty() && d.exponent > precision) {
        // Exponent form: one digit, the rest of the precision as decimals.
        std::string s = d.negative ? "-" : "";
        s += digitAt(d, 0);
        if (precision > 1) {
            s += '.';
            for (int i = 1; i < precision; ++i)
                s += digitAt(d, i);
        }
        const int e = d.exponent - 1;
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%0*d", e < 0 ? '-' : '+', std::min(decimals, 4), std::abs(e));
        s += exp;
        return QString::fromLatin1(s.c_str()).replace(QLatin1Char('.'), separator);
    }
    if (!d.digits.empty())
        roundDigits(d, d.exponent + decimals);

    std::string s;
    if (d.digits.empty()) {
        s = "0";
    } else {
        if (d.negative)
            s += '-';
        if (d.exponent <= 0)
            s += '0';
        for (int i = 0; i < d.exponent; ++i)
            s += digitAt(d, i);
    }
    QString out = QString::fromLatin1(s.c_str());
    if (decimals > 0) {
        out += separator;
        std::string frac;
        for (int i = 0; i < decimals; ++i)
            frac += d.digits.empty() ? "0" : digitAt(d, d.exponent + i);
        out += QString::fromLatin1(frac.c_str());
    }
    return out;
}

QString G(long double x, QChar separator)
{
    if (!std::isfinite(x))
        return special(x);
    if (x == 0)
        return QStringLiteral("0");
    constexpr int Precision = 15;
    Decimal d = toDecimal(x);
    roundDigits(d, Precision);

    std::string s = d.negative ? "-" : "";
    // 0.00001 is 0.1 x 10^-4: anything with a lower exponent is below it.
    const bool scientific = d.exponent > Precision || d.exponent < -4;
    if (scientific) {
        s += d.digits[0];
        if (d.digits.size() > 1) {
            s += '.';
            s += d.digits.substr(1);
        }
        s += 'E';
        s += std::to_string(d.exponent - 1);
    } else if (d.exponent <= 0) {
        s += "0.";
        s += std::string(std::size_t(-d.exponent), '0');
        s += d.digits;
    } else {
        for (int i = 0; i < d.exponent; ++i)
            s += digitAt(d, i);
        if (int(d.digits.size()) > d.exponent) {
            s += '.';
            s += d.digits.substr(std::size_t(d.exponent));
        }
    }
    return QString::fromLatin1(s.c_str()).replace(QLatin1Char('.'), separator);
}

int roundHalfEven(double v)
{
    const double f = std::floor(v);
    const double diff = v - f;
    double r;
    if (diff > 0.5)
        r = f + 1;
    else if (diff < 0.5)
        r = f;
    else
        r = (std::fmod(f, 2.0) == 0.0) ? f : f + 1;
    return int(r);
}
