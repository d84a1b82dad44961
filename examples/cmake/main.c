/* Prints the size and the BSD checksum (as `sum -r` computes it) of each
   file built into the program; fails if the aligned one is not. */
#include <stdint.h>
#include <stdio.h>

#include "greeting_txt.h"
#include "palette.h"

static unsigned bsd_checksum(const unsigned char *bytes, unsigned long long length) {
    unsigned sum = 0;
    for (unsigned long long i = 0; i < length; ++i) sum = (((sum >> 1) | (sum << 15)) + bytes[i]) & 0xFFFFu;
    return sum;
}

int main(void) {
    if ((uintptr_t)greeting_txt % 64 != 0) return 1;
    printf("greeting.txt %llu %05u\n", greeting_txt_size, bsd_checksum(greeting_txt, greeting_txt_size));
    printf("palette.bin %llu %05u\n", palette_size, bsd_checksum(palette, palette_size));
    return 0;
}
