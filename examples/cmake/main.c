/* Prints the size and the BSD checksum (as `sum -r` computes it) of each
   file built into the program, and of each in the tables web and texts;
   fails if the aligned one is not aligned, or a table misses a file. */
#include <stdint.h>
#include <stdio.h>

#include "greeting_txt.h"
#include "palette.h"
#include "texts.h"
#include "web.h"

static unsigned bsd_checksum(const unsigned char *bytes, unsigned long long length) {
    unsigned sum = 0;
    for (unsigned long long i = 0; i < length; ++i) sum = (((sum >> 1) | (sum << 15)) + bytes[i]) & 0xFFFFu;
    return sum;
}

int main(void) {
    if ((uintptr_t)greeting_txt % 64 != 0) return 1;
    printf("greeting.txt %llu %05u\n", greeting_txt_size, bsd_checksum(greeting_txt, greeting_txt_size));
    printf("palette.bin %llu %05u\n", palette_size, bsd_checksum(palette, palette_size));
    const struct texts_entry* greeting = texts_find("greeting.txt");
    if (greeting == NULL || greeting->size != greeting_txt_size || texts_find("missing.txt") != NULL) return 1;
    /* Each file ends with a zero: a text file is a C string. */
    printf("texts %s %llu %s", greeting->path, greeting->size, (const char*)greeting->data);
    for (unsigned long long i = 0; i < web_count; ++i)
        printf("web/%s %llu %05u\n", web_entries[i].path, web_entries[i].size,
               bsd_checksum(web_entries[i].data, web_entries[i].size));
    return 0;
}
