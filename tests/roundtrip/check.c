/* Compares the arrays arrayforge wrote for in0.bin to in5.bin with those
   files, element by element. Built as C and as C++ with the generated file,
   which it includes (static arrays) or declares through the generated
   header. ELEMENT_BYTES: input bytes per element; HAS_LENGTH, HAS_NUL,
   STRING_FORM: what the arrays were written with. */
#include <stdio.h>
#include <stdlib.h>
#ifdef INCLUDE_SOURCE
#include "arrays.c"
#else
#include "arrays.h"
#endif

#define MASK (ELEMENT_BYTES == 1 ? 0xFFul : ELEMENT_BYTES == 2 ? 0xFFFFul : 0xFFFFFFFFul)
#ifdef HAS_LENGTH
#define LENGTH_OF(array) array##_size
#else
#define LENGTH_OF(array) ~0ull
#endif

static unsigned long values[100000 + 2];

static int compare(const char *file, size_t count, unsigned long long lengthSymbol) {
    static unsigned char bytes[100000 + 8];
    FILE *stream = fopen(file, "rb");
    size_t length = stream ? fread(bytes, 1, sizeof bytes, stream) : 0;
    size_t elements = (length + ELEMENT_BYTES - 1) / ELEMENT_BYTES, i;
    size_t expected = elements;
#if defined(HAS_NUL) || defined(STRING_FORM)
    expected += 1;
#else
    expected += length == 0;
#endif
    if (stream) fclose(stream);
    if (count != expected || (lengthSymbol != ~0ull && lengthSymbol != length)) {
        printf("%s: %lu elements, length %llu; expected %lu elements, length %lu\n", file, (unsigned long)count,
               lengthSymbol, (unsigned long)expected, (unsigned long)length);
        return 1;
    }
    for (i = 0; i < count; ++i) {
        unsigned long want = 0;
        size_t b;
        for (b = ELEMENT_BYTES; b-- > 0;)
            want = want << 8 | (i * ELEMENT_BYTES + b < length ? bytes[i * ELEMENT_BYTES + b] : 0u);
        if (values[i] != want) {
            printf("%s: element %lu is 0x%lX, expected 0x%lX\n", file, (unsigned long)i, values[i], want);
            return 1;
        }
    }
    return 0;
}

#ifdef ALIGNMENT
#define MISALIGNED(array) ((unsigned long)(size_t)(const void*)array % ALIGNMENT != 0)
#else
#define MISALIGNED(array) 0
#endif

#define CHECK(array, file)                                                    \
    do {                                                                      \
        size_t n = sizeof array / sizeof array[0], i;                         \
        for (i = 0; i < n; ++i) values[i] = (unsigned long)array[i] & MASK;   \
        failures += compare(file, n, LENGTH_OF(array));                       \
        if (MISALIGNED(array)) failures += printf("%s: misaligned\n", file) > 0; \
    } while (0)

int main(void) {
    int failures = 0;
    CHECK(in0_bin, "in0.bin");
    CHECK(in1_bin, "in1.bin");
    CHECK(in2_bin, "in2.bin");
    CHECK(in3_bin, "in3.bin");
    CHECK(in4_bin, "in4.bin");
    CHECK(in5_bin, "in5.bin");
    return failures != 0;
}
