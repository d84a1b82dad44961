/*
---------------------------------------------------------
ﾃﾞｰﾀﾌｧｲﾙ名  ：index.html
ﾌｧｲﾙ作成日時：23/11/14 22:13:20
ﾃﾞｰﾀﾌｧｲﾙｻｲｽﾞ：10ﾊﾞｲﾄ
---------------------------------------------------------
*/
	static const unsigned char site_0[] =
		"<p>\303\251</p>\012";
/*
---------------------------------------------------------
ﾃﾞｰﾀﾌｧｲﾙ名  ：q"\
é
ﾌｧｲﾙ作成日時：23/11/14 22:13:20
ﾃﾞｰﾀﾌｧｲﾙｻｲｽﾞ：0ﾊﾞｲﾄ
---------------------------------------------------------
*/
	static const unsigned char site_1[] =
		"";

#include <string.h>

struct site_entry { const char* path; const unsigned char* data; unsigned long long size; };
#ifdef __cplusplus
extern "C" {
#endif
extern const struct site_entry site_entries[];
extern const unsigned long long site_count;
const struct site_entry* site_find(const char* path); /* NULL when absent; O(log n) */
#ifdef __cplusplus
}
#endif

const struct site_entry site_entries[] = {
	{"index.html", site_0, 10},
	{"sub/q\042\134\012\303\251", site_1, 0},
};
const unsigned long long site_count = 2;

const struct site_entry* site_find(const char* path) {
	unsigned long long low = 0, high = site_count;
	while (low < high) {
		const unsigned long long middle = low + (high - low) / 2;
		const int order = strcmp(site_entries[middle].path, path);
		if (order == 0) return &site_entries[middle];
		if (order < 0) low = middle + 1;
		else high = middle;
	}
	return 0;
}
