/* The word order that glibc's <endian.h> gives its maths sources on x86-64.
   Leaves out: the byte-order macros of the public header, which they do not
   use. Depends on nothing. */
#define LITTLE_ENDI 1
#define HIGH_HALF 1
#define LOW_HALF 0
