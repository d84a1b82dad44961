/*
---------------------------------------------------------
ﾃﾞｰﾀﾌｧｲﾙ名  ：empty.dat
ﾌｧｲﾙ作成日時：23/11/14 22:13:20
ﾃﾞｰﾀﾌｧｲﾙｻｲｽﾞ：0ﾊﾞｲﾄ
---------------------------------------------------------
*/
	static const unsigned char t_0[] = {
		0x00
	};
/*
---------------------------------------------------------
ﾃﾞｰﾀﾌｧｲﾙ名  ：w.bin
ﾌｧｲﾙ作成日時：23/11/14 22:13:20
ﾃﾞｰﾀﾌｧｲﾙｻｲｽﾞ：3ﾊﾞｲﾄ
---------------------------------------------------------
*/
	static const unsigned char t_1[] = {
		0x01,0x02,0x03,0x00
	};

#include <string.h>

struct t_entry { const char* path; const unsigned char* data; unsigned long long size; };
#ifdef __cplusplus
extern "C" {
#endif
extern const struct t_entry t_entries[];
extern const unsigned long long t_count;
const struct t_entry* t_find(const char* path); /* NULL when absent; O(log n) */
#ifdef __cplusplus
}
#endif

const struct t_entry t_entries[] = {
	{"empty.dat", t_0, 0},
	{"w.bin", t_1, 3},
};
const unsigned long long t_count = 2;

const struct t_entry* t_find(const char* path) {
	unsigned long long low = 0, high = t_count;
	while (low < high) {
		const unsigned long long middle = low + (high - low) / 2;
		const int order = strcmp(t_entries[middle].path, path);
		if (order == 0) return &t_entries[middle];
		if (order < 0) low = middle + 1;
		else high = middle;
	}
	return 0;
}
