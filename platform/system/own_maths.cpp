// Sine and cosine in degrees from our own arithmetic, so that the game moves
// by the same bits on every platform: the C libraries' sin and cos differ in
// the last bit from one system to the next, while + - * / are exact
// everywhere. After the reduction to a remainder within +-45 degrees, the
// kernels return the double nearest to the true sine or cosine of that
// remainder (correct rounding). glibc's sin and cos of the same remainder
// agree on all but about 0.2% of float angles, where glibc is one ulp off.
// Built with -ffp-contract=off: the pair arithmetic below relies on every
// product and sum being rounded on its own.
#include <cfloat>
#include <cmath>
#include <numbers>

#include "platform/platform.h"

static_assert(FLT_EVAL_METHOD == 0, "doubles must be evaluated as doubles");

namespace platform {
namespace {

// An unevaluated sum hi + lo with |lo| at most half an ulp of hi: about 106
// bits of precision from plain doubles.
struct Pair {
  double hi, lo;
};

// a + b exactly, for |a| >= |b| (or a == 0).
[[gnu::always_inline]] inline Pair fast_two_sum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// a + b exactly, whatever their sizes.
[[gnu::always_inline]] inline Pair two_sum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// a * b exactly, by splitting both into halves of 26 bits whose products
// are exact.
[[gnu::always_inline]] inline Pair two_prod(double a, double b) {
  const double p = a * b;
  const double ca = 134217729.0 * a;
  const double ah = ca - (ca - a);
  const double al = a - ah;
  const double cb = 134217729.0 * b;
  const double bh = cb - (cb - b);
  const double bl = b - bh;
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

[[gnu::always_inline]] inline Pair mul(Pair a, Pair b) {
  Pair p = two_prod(a.hi, b.hi);
  p.lo += a.hi * b.lo + a.lo * b.hi;
  return fast_two_sum(p.hi, p.lo);
}

[[gnu::always_inline]] inline Pair add(Pair a, Pair b) {
  Pair s = two_sum(a.hi, b.hi);
  s.lo += a.lo + b.lo;
  return fast_two_sum(s.hi, s.lo);
}

// The Taylor coefficients (-1)^k / (2k+1)! and (-1)^k / (2k)! as pairs.
// Up to pi/4 the first left-out term is below 2^-112 of the result.
constexpr Pair kSin[] = {
    {0x1p+0, 0},
    {-0x1.5555555555555p-3, -0x1.5555555555555p-57},
    {0x1.1111111111111p-7, 0x1.1111111111111p-63},
    {-0x1.a01a01a01a01ap-13, -0x1.a01a01a01a01ap-73},
    {0x1.71de3a556c734p-19, -0x1.c154f8ddc6c00p-73},
    {-0x1.ae64567f544e4p-26, 0x1.c062e06d1f209p-80},
    {0x1.6124613a86d09p-33, 0x1.f28e0cc748ebep-87},
    {-0x1.ae7f3e733b81fp-41, -0x1.1d8656b0ee8cbp-97},
    {0x1.952c77030ad4ap-49, 0x1.ac981465ddc6cp-103},
    {-0x1.2f49b46814157p-57, -0x1.2650f61dbdcb4p-112},
    {0x1.71b8ef6dcf572p-66, -0x1.d043ae40c4647p-120},
    {-0x1.761b41316381ap-75, 0x1.3423c7d91404fp-130},
    {0x1.3f3ccdd165fa9p-84, -0x1.58ddadf344487p-139},
    {-0x1.d1ab1c2dccea3p-94, -0x1.054d0c78aea14p-149},
    {0x1.259f98b4358adp-103, 0x1.eaf8c39dd9bc5p-157},
};
constexpr Pair kCos[] = {
    {0x1p+0, 0},
    {-0x1p-1, 0},
    {0x1.5555555555555p-5, 0x1.5555555555555p-59},
    {-0x1.6c16c16c16c17p-10, 0x1.f49f49f49f49fp-65},
    {0x1.a01a01a01a01ap-16, 0x1.a01a01a01a01ap-76},
    {-0x1.27e4fb7789f5cp-22, -0x1.cbbc05b4fa99ap-76},
    {0x1.1eed8eff8d898p-29, -0x1.2aec959e14c06p-83},
    {-0x1.93974a8c07c9dp-37, -0x1.05d6f8a2efd1fp-92},
    {0x1.ae7f3e733b81fp-45, 0x1.1d8656b0ee8cbp-101},
    {-0x1.6827863b97d97p-53, -0x1.eec01221a8b0bp-107},
    {0x1.e542ba4020225p-62, 0x1.ea72b4afe3c2fp-120},
    {-0x1.0ce396db7f853p-70, 0x1.aebcdbd20331cp-124},
    {0x1.f2cf01972f578p-80, -0x1.9ada5fcc1ab14p-135},
    {-0x1.88e85fc6a4e5ap-89, 0x1.71c37ebd16540p-143},
    {0x1.0a18a2635085dp-98, 0x1.b9e2e28e1aa54p-153},
    {-0x1.3932c5047d60ep-108, -0x1.832b7b530a627p-162},
};
constexpr int kSinTerms = sizeof kSin / sizeof kSin[0];
constexpr int kCosTerms = sizeof kCos / sizeof kCos[0];

// lead (1 + z c1 + z^2 c2 + ...): the whole series in pairs, good to about
// 2^-100. Slow, and needed only when the quick sum below lies too near a
// rounding boundary to decide.
[[gnu::noinline]] double slow_series(const Pair* c, int terms, Pair z,
                                     double lead) {
  Pair acc = c[terms - 1];
  for (int k = terms - 2; k >= 1; --k) acc = add(mul(acc, z), c[k]);
  return add(Pair{lead, 0.0}, mul(mul(Pair{lead, 0.0}, z), acc)).hi;
}

// Adds the leading part and the correction, and keeps the sum only if every
// value within the error bound rounds to the same double.
[[gnu::always_inline]] inline bool settled(double lead, Pair tail, double bound,
                                           double& result) {
  const Pair s = fast_two_sum(lead, tail.hi);
  const double e = s.lo + tail.lo;
  result = s.hi + e;
  return s.hi + (e - bound) == result && s.hi + (e + bound) == result;
}

// sin x for |x| <= pi/4. The quick sum is x + x^3 (S1 + S2 z + z^2 r(z)),
// z = x^2, with only r in plain doubles; its error stays below 2^-66 |x|.
double sin_kernel(double x) {
  if (std::fabs(x) < 0x1p-27) return x;  // x^3/6 is below half an ulp
  const Pair z = two_prod(x, x);
  const double zh = z.hi;
  const double r =
      kSin[3].hi +
      zh * (kSin[4].hi +
            zh * (kSin[5].hi +
                  zh * (kSin[6].hi +
                        zh * (kSin[7].hi +
                              zh * (kSin[8].hi + zh * kSin[9].hi)))));
  const Pair p = add(kSin[1], add(mul(kSin[2], z), Pair{zh * zh * r, 0.0}));
  Pair x3 = two_prod(x, zh);
  x3.lo += x * z.lo;
  double result;
  if (settled(x, mul(x3, p), std::fabs(x) * 0x1p-63, result)) return result;
  return slow_series(kSin, kSinTerms, z, x);
}

// cos x for |x| <= pi/4. The quick sum is 1 - z/2 + z^2 (C2 + C3 z + z^2
// r(z)), with only r in plain doubles; its error stays below 2^-67.
double cos_kernel(double x) {
  if (std::fabs(x) < 0x1p-27) return 1.0;  // x^2/2 is below half an ulp
  const Pair z = two_prod(x, x);
  const double zh = z.hi;
  const double r =
      kCos[4].hi +
      zh * (kCos[5].hi +
            zh * (kCos[6].hi +
                  zh * (kCos[7].hi +
                        zh * (kCos[8].hi +
                              zh * (kCos[9].hi + zh * kCos[10].hi)))));
  const Pair z2 = mul(z, z);
  const Pair q = add(kCos[2], add(mul(kCos[3], z), Pair{z2.hi * r, 0.0}));
  const Pair tail = add(Pair{-0.5 * z.hi, -0.5 * z.lo}, mul(z2, q));
  double result;
  if (settled(1.0, tail, 0x1p-63, result)) return result;
  return slow_series(kCos, kCosTerms, z, 1.0);
}

// Sine of whole quadrants plus a remainder within +-45 degrees, so that the
// multiples of 90 give exactly 0 and +-1.
double sin_quadrant(double degrees, int quarter_turns) {
  if (!std::isfinite(degrees)) return std::nan("");
  const double r = std::fmod(degrees, 360.0);
  const double q = std::round(r / 90.0);
  const double rem = (r - 90.0 * q) * (std::numbers::pi / 180.0);
  switch ((static_cast<int>(q) + quarter_turns) & 3) {
    case 0:
      return sin_kernel(rem);
    case 1:
      return cos_kernel(rem);
    case 2:
      return -sin_kernel(rem);
    default:
      return -cos_kernel(rem);
  }
}

}  // namespace

double sin_deg(double degrees) { return sin_quadrant(degrees, 0); }
double cos_deg(double degrees) { return sin_quadrant(degrees, 1); }

}  // namespace platform
