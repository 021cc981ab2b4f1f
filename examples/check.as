; check.as - how the example scripts check what they did, so that each one ends with exit code 0
; when everything came out as expected and 1 otherwise.
; check.as - サンプルスクリプトが結果を確かめるための命令です。すべて期待どおりなら終了コード0、
; そうでなければ1で終わります。
;
;   check COND, "what"   when COND is 0: prints "FAILED: what", writes it to failed.txt, end 1
;   pixel(x, y)          the palette index at (x, y) of the current screen (gsel); screens are
;                        8-bit, rows stored bottom-up, widths a multiple of 4
;   grey_palette         sets the current screen's palette to a grey ramp: index i is (i, i, i)
;   clear_screen c       fills the current screen with palette index c
;
;   check 条件, "内容"    条件が0なら "FAILED: 内容" を表示して failed.txt に書き、end 1 で終わります
;   pixel(x, y)          操作先の画面(gsel)の (x, y) のパレットインデックス。画面は8ビットで、
;                        行は下から順に格納され、幅は4の倍数です
;   grey_palette         操作先の画面のパレットをグレーの階調にします(インデックス i は (i, i, i))
;   clear_screen c       操作先の画面をパレットインデックス c で塗りつぶします
#module tavikit_check
#deffunc check int ok, str what
	if ok : return
	mes "FAILED: " + what
	sdim text, 256
	text = "FAILED: " + what
	notesel text
	notesave "failed.txt"
	end 1
	return

#defcfunc pixel int x, int y
	vram = 0
	mref vram, 66
	return peek(vram, (ginfo_sy - 1 - y) * ginfo_sx + x)

#deffunc grey_palette
	repeat 256
		palette cnt, cnt, cnt, cnt
	loop
	palette -1, 0, 0, 0, 1
	return

#deffunc clear_screen int colour
	vram = 0
	mref vram, 66
	memset vram, colour, ginfo_sx * ginfo_sy
	return
#global
