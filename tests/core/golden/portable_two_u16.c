/*
---------------------------------------------------------
ﾃﾞｰﾀﾌｧｲﾙ名  ：w.bin
ﾌｧｲﾙ作成日時：23/11/14 22:13:20
ﾃﾞｰﾀﾌｧｲﾙｻｲｽﾞ：3ﾊﾞｲﾄ
---------------------------------------------------------
*/
#include <stdint.h>
#ifdef __cplusplus
extern "C" uint16_t w_bin[];
extern "C" const unsigned long long w_bin_size;
#endif
	uint16_t w_bin[] = {
		0x0201,0x0003
	};
	const unsigned long long w_bin_size = 3;
/*
---------------------------------------------------------
ﾃﾞｰﾀﾌｧｲﾙ名  ：empty.dat
ﾌｧｲﾙ作成日時：23/11/14 22:13:20
ﾃﾞｰﾀﾌｧｲﾙｻｲｽﾞ：0ﾊﾞｲﾄ
---------------------------------------------------------
*/
#include <stdint.h>
#ifdef __cplusplus
extern "C" uint16_t empty_dat[];
extern "C" const unsigned long long empty_dat_size;
#endif
	uint16_t empty_dat[] = {
		0x0000
	};
	const unsigned long long empty_dat_size = 0;
