/*
---------------------------------------------------------
ÃŞ°ÀÌ§²Ù–¼  Fblob.bin
Ì§²Ùì¬“úF23/11/14 22:13:20
ÃŞ°ÀÌ§²Ù»²½ŞF3ÊŞ²Ä
---------------------------------------------------------
*/
#include <stdint.h>
#ifdef __cplusplus
extern "C" const uint8_t blob[];
extern "C" const unsigned long long blob_size;
#endif
	const uint8_t blob[] = {
		0x01,0x02,0x80,0x00
	};
	const unsigned long long blob_size = 3;
