// The rule for the numbers of the glide and of the pitch analysis: an
// expression is computed with a 64-bit significand (long double, the x87
// extended format on x86-64) and rounded to double or float only where its
// value is stored, as the casts in those phases spell out. The last bit
// matters: the files are compared byte for byte, a frequency is read back
// from freq.txt as the double nearest to its 16 digits, and one bit can put a
// period on the other side of a zone bound or a fine-pitch value on the other
// side of a half.
#ifndef ZENTRILL_VOCABULARY_EXTENDED_PRECISION_H_
#define ZENTRILL_VOCABULARY_EXTENDED_PRECISION_H_

#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "the bytes of freq.txt, pxx.txt and pxx.ftm depend on long double having a 64-bit "
              "significand (x86-64); elsewhere (aarch64: 113 bits) they would silently change");

#endif  // ZENTRILL_VOCABULARY_EXTENDED_PRECISION_H_
