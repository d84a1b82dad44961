/* Checks the table t (t.h, t.c) against the files it was made from: run in
   the table's base folder with their paths, each ended by a zero byte, on
   standard input. Every path is found with its bytes, a zero after them and
   its size; nothing else is; the entries are in strcmp's order. Built as C
   and as C++ (C++20 checks the accessors too). */
#include <stdio.h>
#include <string.h>

#include "t.h"

static int failures;
static void fail(const char* what, const char* path) {
    printf("%s: %s\n", what, path);
    ++failures;
}

int main(void) {
    static char path[4096];
    static unsigned char bytes[2 << 20];
    unsigned long long listed = 0;
    for (int c = 0; c != EOF; ++listed) {
        size_t n = 0;
        while ((c = getchar()) != EOF && c != 0) path[n++] = (char)c;
        if (c == EOF) break;
        path[n] = 0;
        const struct t_entry* entry = t_find(path);
        FILE* file = fopen(path, "rb");
        const size_t size = file ? fread(bytes, 1, sizeof bytes, file) : 0;
        if (file) fclose(file);
        if (!entry || !file) {
            fail("not found", path);
        } else if (entry->size != size || memcmp(entry->data, bytes, size) != 0 || entry->data[size] != 0) {
            fail("wrong bytes or size", path);
        }
#if defined(__cplusplus) && __cplusplus >= 202002L
        if (t_text(path).size() != size || t_bytes(path).data() != (entry ? entry->data : NULL)) fail("accessor", path);
#endif
    }
    if (listed != t_count) fail("a count other than the files'", "");
    for (unsigned long long i = 1; i < t_count; ++i)
        if (strcmp(t_entries[i - 1].path, t_entries[i].path) >= 0) fail("out of order", t_entries[i].path);
    if (t_find("missing") != NULL || t_find("") != NULL) fail("found what is not there", "missing");
    return failures != 0;
}
