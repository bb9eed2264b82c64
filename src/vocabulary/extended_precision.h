// The glide and the pitch analysis compute in long double and round to double
// or float only where a value is stored. The last bit matters: one bit can put
// a period across a zone bound or a fine pitch across a half.
#ifndef ZENTRILL_VOCABULARY_EXTENDED_PRECISION_H_
#define ZENTRILL_VOCABULARY_EXTENDED_PRECISION_H_

#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "the bytes of freq.txt, pxx.txt and pxx.ftm depend on long double having a 64-bit "
              "significand (x86-64); elsewhere (aarch64: 113 bits) they would silently change");

#endif  // ZENTRILL_VOCABULARY_EXTENDED_PRECISION_H_
