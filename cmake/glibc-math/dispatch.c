/* The maths functions the format libraries call, for the Windows renderer:
   glibc's own code, in the build that glibc's ifunc selectors pick on this
   CPU, so that libsoxr designs the same filters as on Linux and the encoders
   make the same choices, to the last bit.
   Leaves out: glibc's AVX builds (the same code in VEX encoding, so the same
   results as its SSE2 build), the errno that glibc's wrappers of asin,
   atan2, log10 and acosf set on a domain error (their results are the
   same), and the tunables that can turn CPU features off.
   Depends on: the builds of glibc's sources under the names
   tw_glibc_<function>_<build> (CMakeLists.txt here), GCC's <cpuid.h>. */
#include <cpuid.h>
#include <stdbool.h>

enum build { SSE2, FMA, FMA4 };
static enum build chosen = SSE2;

/* Whether the operating system saves the AVX registers, and the CPU has
   AVX: glibc's condition for any of AVX2, FMA and FMA4 to count. */
static bool avx_usable (unsigned int features)
{
  if (!(features & bit_OSXSAVE) || !(features & bit_AVX))
    return false;
  unsigned int low, high;
  __asm__ ("xgetbv" : "=a" (low), "=d" (high) : "c" (0));
  const unsigned int xmm_and_ymm_state = 6;
  return (low & xmm_and_ymm_state) == xmm_and_ymm_state;
}

/* Runs before main, as glibc's selectors run when libm is loaded. */
__attribute__ ((constructor)) static void choose_build (void)
{
  unsigned int eax, ebx, ecx, edx;
  if (!__get_cpuid (1, &eax, &ebx, &ecx, &edx) || !avx_usable (ecx))
    return;
  const bool fma = ecx & bit_FMA;
  const bool avx2 = __get_cpuid_count (7, 0, &eax, &ebx, &ecx, &edx) && (ebx & bit_AVX2);
  if (fma && avx2)
    chosen = FMA;
  else if (__get_cpuid (0x80000001, &eax, &ebx, &ecx, &edx) && (ecx & bit_FMA4))
    chosen = FMA4;
}

#define BUILDS(type, name, parameters)                   \
  type tw_glibc_##name##_sse2 parameters;                \
  type tw_glibc_##name##_fma parameters;                 \
  type tw_glibc_##name##_fma4 parameters;
#define PICK(name, arguments)                            \
  (chosen == FMA    ? tw_glibc_##name##_fma arguments    \
   : chosen == FMA4 ? tw_glibc_##name##_fma4 arguments   \
                    : tw_glibc_##name##_sse2 arguments)
/* glibc has no FMA4 build of its float functions: such a CPU runs SSE2's. */
#define PICK_FLOAT(name, arguments)                                        \
  (chosen == FMA ? tw_glibc_##name##_fma arguments : tw_glibc_##name##_sse2 arguments)

BUILDS (double, sin, (double))
BUILDS (double, cos, (double))
BUILDS (void, sincos, (double, double *, double *))
BUILDS (double, exp, (double))
BUILDS (double, log, (double))
BUILDS (double, pow, (double, double))
BUILDS (double, asin, (double))
BUILDS (double, atan, (double))
BUILDS (double, atan2, (double, double))
float tw_glibc_cosf_sse2 (float), tw_glibc_cosf_fma (float);
void tw_glibc_sincosf_sse2 (float, float *, float *), tw_glibc_sincosf_fma (float, float *, float *);

double tw_glibc_sin (double x) { return PICK (sin, (x)); }
double tw_glibc_cos (double x) { return PICK (cos, (x)); }
void tw_glibc_sincos (double x, double *s, double *c) { PICK (sincos, (x, s, c)); }
double tw_glibc_exp (double x) { return PICK (exp, (x)); }
double tw_glibc_log (double x) { return PICK (log, (x)); }
double tw_glibc_pow (double x, double y) { return PICK (pow, (x, y)); }
double tw_glibc_asin (double x) { return PICK (asin, (x)); }
double tw_glibc_atan (double x) { return PICK (atan, (x)); }
double tw_glibc_atan2 (double y, double x) { return PICK (atan2, (y, x)); }
float tw_glibc_cosf (float x) { return PICK_FLOAT (cosf, (x)); }
void tw_glibc_sincosf (float x, float *s, float *c) { PICK_FLOAT (sincosf, (x, s, c)); }
