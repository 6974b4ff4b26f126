/* Stands in for glibc's internal header of this name: the part of it that
   the maths sources use is in math_private.h. */
#include <math_private.h>
