/*
---------------------------------------------------------
ﾃﾞｰﾀﾌｧｲﾙ名  ：blob.bin
ﾌｧｲﾙ作成日時：23/11/14 22:13:20
ﾃﾞｰﾀﾌｧｲﾙｻｲｽﾞ：3ﾊﾞｲﾄ
---------------------------------------------------------
*/
#if defined(_MSC_VER) && !defined(__clang__)
#pragma section(".rodata.e", read)
__declspec(allocate(".rodata.e"))
#elif defined(__cplusplus)
__attribute__((section(".rodata.e")))
#else
__attribute__((section(".rodata.e")))
#endif
	static char rawcontents[] = {
#if defined(__cpp_pp_embed) || (!defined(__cplusplus) && __STDC_VERSION__ >= 202311L && defined(__has_embed))
#embed "../blob.bin" suffix(, 0)
#else
		'\x01','\x02','\x80','\x00'
#endif
	};
