// Prints each symbol of the objects' sample: its name, its address modulo
// ALIGNMENT and its bytes, as many as its length symbol says (8 for those).
// With REFERENCES_ONLY it only refers to them, for the linkers of platforms
// whose programs cannot run here.
extern const unsigned char alpha[], alpha_size[];
extern const unsigned char second_array_with_a_long_name[], second_array_with_a_long_name_size[];
const unsigned char* const references[] = {alpha, alpha_size, second_array_with_a_long_name,
                                           second_array_with_a_long_name_size};
#ifndef REFERENCES_ONLY
#include <stdio.h>
#include <string.h>

static unsigned long long show(const char* name, const unsigned char* bytes, unsigned long long size) {
    unsigned long long value = 0;
    printf("%s %lu", name, (unsigned long)((size_t)bytes % ALIGNMENT));
    for (unsigned long long i = 0; i < size; ++i) printf(" %02x", bytes[i]);
    printf("\n");
    return memcpy(&value, bytes, sizeof value), value;
}

int main(void) {
    unsigned long long alphaSize = show("alpha_size", alpha_size, 8);
    unsigned long long secondSize = show("second_array_with_a_long_name_size", second_array_with_a_long_name_size, 8);
    show("alpha", alpha, alphaSize);
    show("second_array_with_a_long_name", second_array_with_a_long_name, secondSize);
    return 0;
}
#endif
