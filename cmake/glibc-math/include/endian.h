/* The word order glibc's <endian.h> gives its maths sources on x86-64. */
#define LITTLE_ENDI 1
#define HIGH_HALF 1
#define LOW_HALF 0
