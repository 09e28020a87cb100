#include "astro/moon_position.h"

#include <cmath>
#include <iterator>

namespace chronvale {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180.0;

double sinDeg(double d) {
    return std::sin(d * kRad);
}
double cosDeg(double d) {
    return std::cos(d * kRad);
}

// One periodic term: multiples of D (elongation), M (sun's anomaly), M' (moon's
// anomaly), F (argument of latitude) and the coefficient (1e-6 degrees or 1e-3 km).
struct Term {
    signed char d, m, mp, f;
    int sine, cosine;
};

// Meeus, Table 47.A: longitude (sine, 1e-6 degrees) and distance (cosine, 1e-3 km).
constexpr Term kLongitudeDistance[] = {
    {0, 0, 1, 0, 6288774, -20905355},
    {2, 0, -1, 0, 1274027, -3699111},
    {2, 0, 0, 0, 658314, -2955968},
    {0, 0, 2, 0, 213618, -569925},
    {0, 1, 0, 0, -185116, 48888},
    {0, 0, 0, 2, -114332, -3149},
    {2, 0, -2, 0, 58793, 246158},
    {2, -1, -1, 0, 57066, -152138},
    {2, 0, 1, 0, 53322, -170733},
    {2, -1, 0, 0, 45758, -204586},
    {0, 1, -1, 0, -40923, -129620},
    {1, 0, 0, 0, -34720, 108743},
    {0, 1, 1, 0, -30383, 104755},
    {2, 0, 0, -2, 15327, 10321},
    {0, 0, 1, 2, -12528, 0},
    {0, 0, 1, -2, 10980, 79661},
    {4, 0, -1, 0, 10675, -34782},
    {0, 0, 3, 0, 10034, -23210},
    {4, 0, -2, 0, 8548, -21636},
    {2, 1, -1, 0, -7888, 24208},
    {2, 1, 0, 0, -6766, 30824},
    {1, 0, -1, 0, -5163, -8379},
    {1, 1, 0, 0, 4987, -16675},
    {2, -1, 1, 0, 4036, -12831},
    {2, 0, 2, 0, 3994, -10445},
    {4, 0, 0, 0, 3861, -11650},
    {2, 0, -3, 0, 3665, 14403},
    {0, 1, -2, 0, -2689, -7003},
    {2, 0, -1, 2, -2602, 0},
    {2, -1, -2, 0, 2390, 10056},
    {1, 0, 1, 0, -2348, 6322},
    {2, -2, 0, 0, 2236, -9884},
    {0, 1, 2, 0, -2120, 5751},
    {0, 2, 0, 0, -2069, 0},
    {2, -2, -1, 0, 2048, -4950},
    {2, 0, 1, -2, -1773, 4130},
    {2, 0, 0, 2, -1595, 0},
    {4, -1, -1, 0, 1215, -3958},
    {0, 0, 2, 2, -1110, 0},
    {3, 0, -1, 0, -892, 3258},
    {2, 1, 1, 0, -810, 2616},
    {4, -1, -2, 0, 759, -1897},
    {0, 2, -1, 0, -713, -2117},
    {2, 2, -1, 0, -700, 2354},
    {2, 1, -2, 0, 691, 0},
    {2, -1, 0, -2, 596, 0},
    {4, 0, 1, 0, 549, -1423},
    {0, 0, 4, 0, 537, -1117},
    {4, -1, 0, 0, 520, -1571},
    {1, 0, -2, 0, -487, -1739},
    {2, 1, 0, -2, -399, 0},
    {0, 0, 2, -2, -381, -4421},
    {1, 1, 1, 0, 351, 0},
    {3, 0, -2, 0, -340, 0},
    {4, 0, -3, 0, 330, 0},
    {2, -1, 2, 0, 327, 0},
    {0, 2, 1, 0, -323, 1165},
    {1, 1, -1, 0, 299, 0},
    {2, 0, 3, 0, 294, 0},
    {2, 0, -1, -2, 0, 8752},
};

// Meeus, Table 47.B: latitude (sine, 1e-6 degrees), the terms above 0.0003 degrees.
constexpr Term kLatitude[] = {
    {0, 0, 0, 1, 5128122, 0}, {0, 0, 1, 1, 280602, 0},  {0, 0, 1, -1, 277693, 0},
    {2, 0, 0, -1, 173237, 0}, {2, 0, -1, 1, 55413, 0},  {2, 0, -1, -1, 46271, 0},
    {2, 0, 0, 1, 32573, 0},   {0, 0, 2, 1, 17198, 0},   {2, 0, 1, -1, 9266, 0},
    {0, 0, 2, -1, 8822, 0},   {2, -1, 0, -1, 8216, 0},  {2, 0, -2, -1, 4324, 0},
    {2, 0, 1, 1, 4200, 0},    {2, 1, 0, -1, -3359, 0},  {2, -1, -1, 1, 2463, 0},
    {2, -1, 0, 1, 2211, 0},   {2, -1, -1, -1, 2065, 0}, {0, 1, -1, -1, -1870, 0},
    {4, 0, -1, -1, 1828, 0},  {0, 1, 0, 1, -1794, 0},   {0, 0, 0, 3, -1749, 0},
    {0, 1, -1, 1, -1565, 0},  {1, 0, 0, 1, -1491, 0},   {0, 1, 1, 1, -1475, 0},
    {0, 1, 1, -1, -1410, 0},  {0, 1, 0, -1, -1344, 0},  {1, 0, 0, -1, -1335, 0},
    {0, 0, 3, 1, 1107, 0},    {4, 0, 0, -1, 1021, 0},   {4, 0, -1, 1, 833, 0},
};

// Sum of the terms; a term with the sun's anomaly is scaled by E per multiple,
// for the shrinking eccentricity of the earth's orbit.
void sumTerms(const Term* begin, const Term* end, double d, double m, double mp, double f, double e,
              double& sineSum, double& cosineSum) {
    sineSum = 0.0;
    cosineSum = 0.0;
    for (const Term* t = begin; t != end; ++t) {
        const double arg = t->d * d + t->m * m + t->mp * mp + t->f * f;
        double scale = 1.0;
        if (t->m == 1 || t->m == -1) {
            scale = e;
        } else if (t->m == 2 || t->m == -2) {
            scale = e * e;
        }
        sineSum += scale * t->sine * sinDeg(arg);
        cosineSum += scale * t->cosine * cosDeg(arg);
    }
}

// Meeus chapter 25: the sun's apparent longitude (degrees) and distance (AU).
void sunLongitudeDistance(double t, double& longitude, double& distanceAu) {
    const double l0 = 280.46646 + 36000.76983 * t + 0.0003032 * t * t;
    const double m = 357.52911 + 35999.05029 * t - 0.0001537 * t * t;
    const double e = 0.016708634 - 0.000042037 * t - 0.0000001267 * t * t;
    const double c = (1.914602 - 0.004817 * t - 0.000014 * t * t) * sinDeg(m) +
                     (0.019993 - 0.000101 * t) * sinDeg(2.0 * m) + 0.000289 * sinDeg(3.0 * m);
    const double trueAnomaly = m + c;
    distanceAu = 1.000001018 * (1.0 - e * e) / (1.0 + e * cosDeg(trueAnomaly));
    const double omega = 125.04 - 1934.136 * t;
    longitude = reduceAngle(l0 + c - 0.00569 - 0.00478 * sinDeg(omega));
}

constexpr double kAuKm = 149597870.7;

} // namespace

MoonPosition moonPositionAt(double julianDay) {
    const double t = (julianDay - 2451545.0) / 36525.0;
    const double t2 = t * t;
    const double t3 = t2 * t;
    const double t4 = t3 * t;

    // Mean arguments (Meeus 47.1 ... 47.5).
    const double lp = reduceAngle(218.3164477 + 481267.88123421 * t - 0.0015786 * t2 +
                                  t3 / 538841.0 - t4 / 65194000.0);
    const double d = reduceAngle(297.8501921 + 445267.1114034 * t - 0.0018819 * t2 + t3 / 545868.0 -
                                 t4 / 113065000.0);
    const double m =
        reduceAngle(357.5291092 + 35999.0502909 * t - 0.0001536 * t2 + t3 / 24490000.0);
    const double mp = reduceAngle(134.9633964 + 477198.8675055 * t + 0.0087414 * t2 + t3 / 69699.0 -
                                  t4 / 14712000.0);
    const double f = reduceAngle(93.2720950 + 483202.0175233 * t - 0.0036539 * t2 - t3 / 3526000.0 +
                                 t4 / 863310000.0);
    const double a1 = 119.75 + 131.849 * t;
    const double a2 = 53.09 + 479264.290 * t;
    const double a3 = 313.45 + 481266.484 * t;
    const double e = 1.0 - 0.002516 * t - 0.0000074 * t2;

    double sumL = 0.0;
    double sumR = 0.0;
    sumTerms(std::begin(kLongitudeDistance), std::end(kLongitudeDistance), d, m, mp, f, e, sumL,
             sumR);
    double sumB = 0.0;
    double unused = 0.0;
    sumTerms(std::begin(kLatitude), std::end(kLatitude), d, m, mp, f, e, sumB, unused);

    // Venus, Jupiter and the flattening of the earth.
    sumL += 3958.0 * sinDeg(a1) + 1962.0 * sinDeg(lp - f) + 318.0 * sinDeg(a2);
    sumB += -2235.0 * sinDeg(lp) + 382.0 * sinDeg(a3) + 175.0 * sinDeg(a1 - f) +
            175.0 * sinDeg(a1 + f) + 127.0 * sinDeg(lp - mp) - 115.0 * sinDeg(lp + mp);

    MoonPosition moon;
    const double geometricLongitude = reduceAngle(lp + sumL / 1.0e6);
    moon.eclipticLatitude = sumB / 1.0e6;
    moon.distanceKm = 385000.56 + sumR / 1000.0;

    // Nutation in longitude and obliquity, low precision (Meeus chapter 22).
    const double omega = 125.04452 - 1934.136261 * t;
    const double sunMeanLongitude = 280.4665 + 36000.7698 * t;
    const double nutationLongitude =
        (-17.20 * sinDeg(omega) - 1.32 * sinDeg(2.0 * sunMeanLongitude) - 0.23 * sinDeg(2.0 * lp) +
         0.21 * sinDeg(2.0 * omega)) /
        3600.0;
    const double nutationObliquity = (9.20 * cosDeg(omega) + 0.57 * cosDeg(2.0 * sunMeanLongitude) +
                                      0.10 * cosDeg(2.0 * lp) - 0.09 * cosDeg(2.0 * omega)) /
                                     3600.0;
    const double meanObliquity = 23.0 + 26.0 / 60.0 + 21.448 / 3600.0 -
                                 (46.8150 * t + 0.00059 * t2 - 0.001813 * t3) / 3600.0;
    const double obliquity = meanObliquity + nutationObliquity;
    moon.eclipticLongitude = reduceAngle(geometricLongitude + nutationLongitude);

    // Ecliptic to equatorial (Meeus 13.3, 13.4).
    const double lambda = moon.eclipticLongitude * kRad;
    const double beta = moon.eclipticLatitude * kRad;
    const double eps = obliquity * kRad;
    moon.rightAscension =
        reduceAngle(std::atan2(std::sin(lambda) * std::cos(eps) - std::tan(beta) * std::sin(eps),
                               std::cos(lambda)) /
                    kRad);
    moon.declination = std::asin(std::sin(beta) * std::cos(eps) +
                                 std::cos(beta) * std::sin(eps) * std::sin(lambda)) /
                       kRad;

    // Apparent sidereal time at Greenwich (Meeus 12.4 and the equation of the
    // equinoxes); the moon is overhead where the local sidereal time equals its
    // right ascension.
    const double meanSidereal = 280.46061837 + 360.98564736629 * (julianDay - 2451545.0) +
                                0.000387933 * t2 - t3 / 38710000.0;
    const double apparentSidereal = meanSidereal + nutationLongitude * cosDeg(obliquity);
    moon.subLunar.latitude = moon.declination;
    moon.subLunar.longitude = wrapLongitude(moon.rightAscension - apparentSidereal);

    // Phase (Meeus 48.2, 48.3, 48.1): the elongation from the sun, the phase angle
    // seen from the moon, and the lit fraction of the disc.
    double sunLongitude = 0.0;
    double sunDistanceAu = 0.0;
    sunLongitudeDistance(t, sunLongitude, sunDistanceAu);
    const double sunDistanceKm = sunDistanceAu * kAuKm;
    const double cosElongation = std::cos(beta) * cosDeg(moon.eclipticLongitude - sunLongitude);
    const double elongation = std::acos(cosElongation);
    const double phaseAngle = std::atan2(sunDistanceKm * std::sin(elongation),
                                         moon.distanceKm - sunDistanceKm * cosElongation);
    moon.illuminatedFraction = (1.0 + std::cos(phaseAngle)) / 2.0;
    moon.waxing = reduceAngle(moon.eclipticLongitude - sunLongitude) < 180.0;
    return moon;
}

MoonPosition moonPosition(std::time_t instant) {
    return moonPositionAt(julianDayOf(static_cast<double>(instant)));
}

} // namespace chronvale
