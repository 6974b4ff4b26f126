/* Its part of glibc's internal headers is in math_private.h. */
#include <math_private.h>
