/*
---------------------------------------------------------
ÃŞ°ÀÌ§²Ù–¼  Fblob.bin
Ì§²Ùì¬“úF23/11/14 22:13:20
ÃŞ°ÀÌ§²Ù»²½ŞF3ÊŞ²Ä
---------------------------------------------------------
*/
	.section .rdata,"dr"
	.globl rawcontents
	.p2align 0
rawcontents:
	.incbin "blob.bin"
	.globl rawcontents_size
	.p2align 3
rawcontents_size:
	.quad 3
