/* What glibc's own headers give the maths sources built here, when they are
   compiled for MinGW outside glibc's build: its word access, branch hints
   and errno, each as glibc defines it for x86-64.
   Leaves out: the symbol versions and aliases (these builds are reached by
   their own names only), the rounding-mode guards (the renderer never
   leaves round-to-nearest, which the guards would restore) and the forced
   underflow flag (no caller reads the flags).
   Depends on: the C library's <errno.h>, <stdint.h> and <string.h>. */
#ifndef TW_GLIBC_MATH_PRIVATE_H
#define TW_GLIBC_MATH_PRIVATE_H
#include <errno.h>
#include <stdint.h>
#include <string.h>

#define attribute_hidden
#define __always_inline __inline __attribute__ ((__always_inline__))
#define __glibc_likely(cond) __builtin_expect ((cond), 1)
#define __glibc_unlikely(cond) __builtin_expect ((cond), 0)
#define __set_errno(value) (errno = (value))
#define EXTRACT_WORDS64(i, d) do { double d_ = (d); memcpy (&(i), &d_, 8); } while (0)
#define INSERT_WORDS64(d, i) do { uint64_t i_ = (i); memcpy (&(d), &i_, 8); } while (0)
#define GET_FLOAT_WORD(i, f) do { float f_ = (f); memcpy (&(i), &f_, 4); } while (0)
#define SET_FLOAT_WORD(f, i) do { uint32_t i_ = (i); memcpy (&(f), &i_, 4); } while (0)
#define SET_RESTORE_ROUND(mode)
#define SET_RESTORE_ROUND_53BIT(mode)
#define math_narrow_eval(x) (x)
#define math_check_force_underflow(x)
#define math_check_force_underflow_nonneg(x)
#define HIGH_ORDER_BIT_IS_SET_FOR_SNAN 0
#define FIX_INT_FP_CONVERT_ZERO 0

#define strong_alias(name, alias)
#define hidden_def(name)
#define LIBM_SVID_COMPAT 0
#define libm_alias_finite(from, to)
#define libm_alias_double(from, to)
#define libm_alias_double_other(from, to)
#define libm_alias_float(from, to)

/* log10 calls log through this name, as it does inside glibc. */
extern double __ieee754_log (double);
#endif
