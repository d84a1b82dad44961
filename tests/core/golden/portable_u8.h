#ifndef BLOB_H
#define BLOB_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

extern const uint8_t blob[4];
extern const unsigned long long blob_size;

#ifdef __cplusplus
}
#endif

#endif
