/* tavikit.h - public interface of Tavikit.
 *
 * Every export takes four word-sized arguments and returns a signed 32-bit result.
 *
 *  - Win32 (Tavikit.DLL): 32-bit words, __stdcall, exported as _name@16 only.
 *  - Win64 (Tavikit64.DLL): 64-bit words, the one x64 convention, exported under the plain name
 *    and again as _name@16 (the name HSP's 64-bit runtime looks up for an unquoted declaration).
 *  - Elsewhere (libtavikit.so): pointer-sized words (intptr_t), the platform's C convention,
 *    exported under the plain name.
 *
 * An integer argument is the low 32 bits of its word, read as signed 32-bit; a pointer argument
 * is the whole word. A screen record is an array of words of the same size, of which the library
 * reads [1] width, [2] height, [5] pixels, [9] palette, [13] hwnd, [27] cursorX and [28] cursorY;
 * Tavikit64.DLL instead reads the record of HSP's 64-bit runtime, whose fields lie at the byte
 * offsets TAVI_REC64_* (32-bit integers and 64-bit pointers). Pixels are one palette index per
 * byte, rows stored bottom-up.
 *
 * Results: 0 is success; reported values come back negated; failures are small negative codes.
 */
#ifndef TAVIKIT_H
#define TAVIKIT_H

#include <stdint.h>

#include "tavikit_exports.h"

#if defined(_WIN32)
#define TAVIKIT_CALL __stdcall
#define TAVIKIT_API
#elif defined(TAVIKIT_BUILDING)
#define TAVIKIT_CALL
#define TAVIKIT_API __attribute__((visibility("default")))
#else
#define TAVIKIT_CALL
#define TAVIKIT_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* One argument word: 32 bits in Tavikit.DLL, pointer-sized elsewhere. */
typedef intptr_t tavi_word;

/* The type of every export, for hosts that resolve them at run time. */
typedef int32_t(TAVIKIT_CALL* tavi_export_fn)(tavi_word, tavi_word, tavi_word, tavi_word);

/* Screen record word indexes. */
enum {
  TAVI_REC_WIDTH = 1,
  TAVI_REC_HEIGHT = 2,
  TAVI_REC_PIXELS = 5,
  TAVI_REC_PALETTE = 9,
  TAVI_REC_HWND = 13,
  TAVI_REC_CURSOR_X = 27,
  TAVI_REC_CURSOR_Y = 28,
  TAVI_REC_WORDS = 29 /* the least number of words a record must have */
};

/* The screen record of HSP's 64-bit runtime, which Tavikit64.DLL reads: byte offsets of the
 * 32-bit width, height and cursor and of the 64-bit pixel, palette and window pointers. */
enum {
  TAVI_REC64_WIDTH = 4,
  TAVI_REC64_HEIGHT = 8,
  TAVI_REC64_PIXELS = 24,
  TAVI_REC64_PALETTE = 56,
  TAVI_REC64_HWND = 88,
  TAVI_REC64_CURSOR_X = 152,
  TAVI_REC64_CURSOR_Y = 156,
  TAVI_REC64_BYTES = 160 /* the least number of bytes a record must have */
};

/* ---- Frame: version, selection, plain copies ------------------------------------------------ */

/* Writes "[tavi 2.11]" and its terminating zero (12 bytes) to `buffer`. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_GetTaviVER(tavi_word unused1, tavi_word unused2,
                                                 tavi_word unused3, tavi_word buffer);
/* Selects the source screen that copies read. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_fset(tavi_word screen, tavi_word unused2, tavi_word unused3,
                                           tavi_word unused4);
/* Selects the target screen that copies write. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_tset(tavi_word screen, tavi_word unused2, tavi_word unused3,
                                           tavi_word unused4);
/* Stores the copy rectangle of the source screen. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_copyset(tavi_word copyX, tavi_word copyY, tavi_word copyW,
                                              tavi_word copyH);
/* Copies w x h source pixels at (x, y) to the target's cursor, w rounded down to 4-pixel groups. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_gcopy(tavi_word x, tavi_word y, tavi_word w, tavi_word h);
/* Fills the 640 x 480 window at the target's cursor with the source area at (sx, sy), rolled so
 * that its top-left lands at target (x, y). */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_fillcopy(tavi_word x, tavi_word y, tavi_word sx,
                                               tavi_word sy);
/* Tiles the copy rectangle over w x h target pixels at the cursor, starting (|ox|, |oy|) into
 * the tile. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_tilecopy(tavi_word w, tavi_word h, tavi_word ox,
                                               tavi_word oy);

/* ---- Blend: colour cube, blend tables, blended and dissolve copies --------------------------- */

/* Builds the colour cube from palette entries 0 to n - 1 of the screen's palette, n = ((count - 1)
 * AND 255) + 1. With request above 0 returns minus the number of distinct indices in the cube,
 * otherwise 0. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_AlphaInit(tavi_word screen, tavi_word count,
                                                tavi_word unused3, tavi_word request);
/* Builds the additive blend table: destination colours from the screen's palette, source colours
 * from the source screen's palette scaled by factor / 256 (low 8 bits of each factor). */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_addset(tavi_word screen, tavi_word redFactor,
                                             tavi_word greenFactor, tavi_word blueFactor);
/* Builds the subtractive blend table, as tavi_addset with the scaled source colour taken away. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_decset(tavi_word screen, tavi_word redFactor,
                                             tavi_word greenFactor, tavi_word blueFactor);
/* Builds the inverse subtractive blend table: the inverted source colour, scaled, taken away. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_edecset(tavi_word screen, tavi_word redFactor,
                                              tavi_word greenFactor, tavi_word blueFactor);

/* The blended copies mix the copy rectangle of the source screen into `screen` at its cursor,
 * skipping pixels outside `screen` (and any the rectangle would read outside the source). Alpha
 * is the low 8 bits of its argument, the weight of the source colour; a key is compared with
 * the source pixel, and a key outside 0 to 255 matches none. */
/* Mixes through the blend table as last built: d becomes table[d * 256 + s]. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_gcopya(tavi_word screen, tavi_word unused2, tavi_word unused3,
                                             tavi_word unused4);
/* Builds the alpha table from the screen's palette (unless it holds it already) and mixes
 * through it. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_gcopyf(tavi_word screen, tavi_word alpha, tavi_word unused3,
                                             tavi_word unused4);
/* As tavi_gcopyf, leaving out source pixels equal to the key. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_gcopyfc(tavi_word screen, tavi_word alpha, tavi_word key,
                                              tavi_word unused4);
/* The alpha mixture worked out per pixel through the colour cube; the blend table is untouched. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_gcopyfr(tavi_word screen, tavi_word alpha, tavi_word unused3,
                                              tavi_word unused4);
/* As tavi_gcopyfr, leaving out source pixels equal to the key. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_gcopyfrc(tavi_word screen, tavi_word alpha, tavi_word key,
                                               tavi_word unused4);
/* Copies level / 255 of the copy rectangle's pixels (low 8 bits of level), evenly spread, from
 * the source to the target at its cursor, leaving out source pixels equal to the key. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_GFade(tavi_word level, tavi_word key, tavi_word unused3,
                                            tavi_word unused4);
/* Copies the pixels of the copy rectangle that a 16-byte pattern selects, counting each row from
 * its rightmost pixel and carrying the count on from row to row. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_GFade2(tavi_word pattern, tavi_word unused2,
                                             tavi_word unused3, tavi_word unused4);

/* ---- Effects: mosaic, zoom, polygon, rotation, mesh and other copies ------------------------- */

/* Mosaic in place: across x down blocks of size x size pixels at the screen's cursor, each block
 * set to one of its pixels chosen at random. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_gmozic(tavi_word screen, tavi_word across, tavi_word down,
                                             tavi_word size);
/* As tavi_gmozic, each block set to the colour-cube entry for the mean of its four corners. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_gmozice(tavi_word screen, tavi_word across, tavi_word down,
                                              tavi_word size);
/* As tavi_gmozic, each block set to the colour-cube entry for the mean of all its pixels. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_gmozicn(tavi_word screen, tavi_word across, tavi_word down,
                                              tavi_word size);
/* Mosaic of the w x h area at the source's cursor onto the target's cursor, size x size blocks
 * sampled at their centres (partial blocks at the right and bottom); key >= 0 skips blocks whose
 * sample equals its low 8 bits. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_mozcopy(tavi_word w, tavi_word h, tavi_word size,
                                              tavi_word key);
/* The copy rectangle scaled to w x h at the target's cursor, clipped to the target; fill >= 0 is
 * written where the sample is off the source, key >= 0 is left out. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_zoomcopy(tavi_word w, tavi_word h, tavi_word fill,
                                               tavi_word key);
/* A trapezoid: h rows of w pixels at the target's cursor, the copy rectangle topWidth wide in the
 * top row and widening (or narrowing) by (w - topWidth) / 2 over the rows. Not clipped. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_polycopy(tavi_word w, tavi_word h, tavi_word topWidth,
                                               tavi_word fill);
/* Rotation centre in source coordinates (negative: the frame's middle) and angle (low 8 bits,
 * 256 steps per turn, 128 upright). */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_rotset(tavi_word centreX, tavi_word centreY, tavi_word angle,
                                             tavi_word unused4);
/* The frame of the source screen that is rotated. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_rotpos(tavi_word frameX, tavi_word frameY, tavi_word frameW,
                                             tavi_word frameH);
/* The source pixels that rotated copies may sample (clipX negative: the whole source screen). */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_rotclip(tavi_word clipX, tavi_word clipY, tavi_word clipW,
                                              tavi_word clipH);
/* The rotated frame scaled into the w x h area at the target's cursor, clipped to the target;
 * fill >= 0 is written where the sample is outside the clip, key is left out. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_rotcopy(tavi_word w, tavi_word h, tavi_word fill,
                                              tavi_word key);
/* Checkerboard copy of the w x h source area at (sx, sy) to the target's cursor, starting with
 * the area's top-left pixel. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_meshcpy(tavi_word sx, tavi_word sy, tavi_word w, tavi_word h);
/* Checkerboard copy from the source's cursor, leaving out the key's low 8 bits. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_meshcopy(tavi_word w, tavi_word h, tavi_word key,
                                               tavi_word unused4);
/* Sets the pixels of the w x h area at the target's cursor that lie on even x + y. Not clipped. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_meshboxs(tavi_word w, tavi_word h, tavi_word colour,
                                               tavi_word unused4);
/* As tavi_meshboxs on the given screen at its cursor, clipped to that screen. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_MeshBOX(tavi_word screen, tavi_word w, tavi_word h,
                                              tavi_word colour);
/* The copy rectangle to the target's cursor, leaving out source pixels equal to key (>= 0). */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_gcopy2(tavi_word key, tavi_word unused2, tavi_word unused3,
                                             tavi_word unused4);
/* As tavi_gcopy2, clipped to the target screen. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_gcopy2e(tavi_word key, tavi_word unused2, tavi_word unused3,
                                              tavi_word unused4);
/* Doubles the 320 x 240 source into the 640 x 480 target; mode 0 fills every row, other modes only
 * every second one (scan lines). */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_HGCP320(tavi_word mode, tavi_word unused2, tavi_word unused3,
                                              tavi_word unused4);

/* ---- Cells: the sprite-cell table, drawing, capture and loading ------------------------------ */

/* The table holds cells 0 to 2047. A cell number outside it makes a cell export do nothing and
 * return 0. Cells are drawn and captured at the given screen's cursor; only the part inside the
 * screen is drawn or captured. */

/* Empties the cell table on its first call in a process; later calls do nothing. */
TAVIKIT_API int32_t TAVIKIT_CALL chibi_Init(tavi_word unused1, tavi_word unused2, tavi_word unused3,
                                            tavi_word unused4);
/* Compresses plain 8-bit cell n into the run-length form; returns minus the form's size in bytes,
 * or 0 when the cell is empty, full-colour or already compressed. */
TAVIKIT_API int32_t TAVIKIT_CALL chibi_Compress(tavi_word n, tavi_word unused2, tavi_word unused3,
                                                tavi_word unused4);
/* Empties cells first to last (both clamped to 0..2047; only first when first >= last). */
TAVIKIT_API int32_t TAVIKIT_CALL chibi_Free(tavi_word first, tavi_word last, tavi_word unused3,
                                            tavi_word unused4);
/* Minus item 1 width, 2 height, 3 compressed, 4 full-colour of cell n; 0 for an empty cell, -1 for
 * any other item. */
TAVIKIT_API int32_t TAVIKIT_CALL chibi_GetInfo(tavi_word n, tavi_word item, tavi_word unused3,
                                               tavi_word unused4);
/* Empties every cell. */
TAVIKIT_API int32_t TAVIKIT_CALL chibi_AllFree(tavi_word unused1, tavi_word unused2,
                                               tavi_word unused3, tavi_word unused4);
/* Draws cell n at the screen's cursor; a transparency other than 0 leaves index 0 out of plain
 * 8-bit cells. Full-colour cells go to full-colour screens. */
TAVIKIT_API int32_t TAVIKIT_CALL chibi_Put(tavi_word screen, tavi_word n, tavi_word transparency,
                                           tavi_word unused4);
/* Draws plain 8-bit cell n at the cursor inside the cell clip rectangle, leaving out pixels equal
 * to key (only 0 to 255 match). */
TAVIKIT_API int32_t TAVIKIT_CALL chibi_PutM(tavi_word screen, tavi_word n, tavi_word key,
                                            tavi_word unused4);
/* Sets the cell clip rectangle of chibi_PutM: w x h pixels at (x, y). */
TAVIKIT_API int32_t TAVIKIT_CALL chibi_SetCLIP(tavi_word x, tavi_word y, tavi_word w, tavi_word h);
/* Captures the w x h rectangle at the cursor of an 8-bit screen into cell n, w rounded toward
 * zero to a multiple of 4. */
TAVIKIT_API int32_t TAVIKIT_CALL chibi_Get(tavi_word screen, tavi_word n, tavi_word w, tavi_word h);
/* Captures the w x h rectangle at the cursor of a full-colour screen into cell n, w cut to
 * ((3 w) / 4 * 4) / 3. */
TAVIKIT_API int32_t TAVIKIT_CALL chibi_GetF(tavi_word screen, tavi_word n, tavi_word w,
                                            tavi_word h);
/* Fills cell n with the picture `name` (pack text `packText` opened first) drawn over the pixels of
 * cell `background`. Returns 0 (loaded, not a picture, n out of range) or -100 (no memory). */
TAVIKIT_API int32_t TAVIKIT_CALL chibi_LoadTK(tavi_word n, tavi_word name, tavi_word background,
                                              tavi_word packText);
/* Fills cell n with picture `index` of the archive `name` drawn over cell `background`, from the
 * pack already open or from disk. Returns 0 (loaded, not an archive or picture, n out of range),
 * -1 (index outside 0 to count - 1) or -100 (no memory). */
TAVIKIT_API int32_t TAVIKIT_CALL chibi_LoadTKX(tavi_word n, tavi_word name, tavi_word index,
                                               tavi_word background);

/* ---- Pack: data packs, pictures and buffer scramble ------------------------------------------ */

/* Opens the "DPMX" pack named by `packText`, the text "file,offset" (its "," is overwritten with a
 * NUL byte). Once a pack with entries is open it stays open. Always returns 0. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_dpminit(tavi_word unused1, tavi_word unused2,
                                              tavi_word unused3, tavi_word packText);
/* Opens the pack text `packText`, then draws the picture `name` at the screen's cursor, clipped to
 * the screen. Returns 0 (drawn, or not a picture) or -100 (no memory). */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_PCP2Load(tavi_word screen, tavi_word name, tavi_word unused3,
                                               tavi_word packText);
/* Opens the pack text `packText`, then draws picture `index` of the archive `name` at the screen's
 * cursor. Returns 0 (drawn, not an archive, not a picture), -1 (index below 0 or above the
 * count) or -100 (no memory). */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_PCP2BLoad(tavi_word screen, tavi_word name, tavi_word index,
                                                tavi_word packText);
/* Opens the pack text `packText` and returns minus the third magic byte of picture `index` of the
 * archive `name`: -48 run records, -49 skip records; 0 not an archive, -1 bad index. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_GetTKXFormat(tavi_word unused1, tavi_word name,
                                                   tavi_word index, tavi_word packText);
/* Undoes the vertical XOR of the w x h rectangle at the screen's cursor. Returns 0. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_PCPDecode(tavi_word screen, tavi_word w, tavi_word h,
                                                tavi_word unused4);
/* Four names of one entry point that does nothing and returns 0. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_PCPDiffPos(tavi_word unused1, tavi_word unused2,
                                                 tavi_word unused3, tavi_word unused4);
TAVIKIT_API int32_t TAVIKIT_CALL tavi_PCPEncode(tavi_word unused1, tavi_word unused2,
                                                tavi_word unused3, tavi_word unused4);
TAVIKIT_API int32_t TAVIKIT_CALL tavi_PCPSaveA(tavi_word unused1, tavi_word unused2,
                                               tavi_word unused3, tavi_word unused4);
TAVIKIT_API int32_t TAVIKIT_CALL tavi_PCPSaveD(tavi_word unused1, tavi_word unused2,
                                               tavi_word unused3, tavi_word unused4);
/* Remembers `target` as the buffer that tavi_DMSupportXOR changes. Returns 0. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_DMSupportSet(tavi_word target, tavi_word unused2,
                                                   tavi_word unused3, tavi_word unused4);
/* XORs `length` bytes of `source` into the target; returns minus the running sum of the first
 * byte of each whole 4-byte group and every tail byte, kept to 28 bits. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_DMSupportXOR(tavi_word source, tavi_word length,
                                                   tavi_word unused3, tavi_word unused4);

/* ---- Sound ----------------------------------------------------------------------------------- */

/* Closes any open device, then opens the sound device for the screen's window: normal level for a
 * negative rate, else priority level with a PCM primary format. 0, -1 (no device), -2 (level
 * refused), -3/-31 (no primary buffer), -41..-46/-4 (format refused; the device stays open). */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_dsinit(tavi_word screen, tavi_word rate, tavi_word channels,
                                             tavi_word bits);
/* Empties every slot and closes the device. 0, or -1 when no device is open. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_dsexit(tavi_word unused1, tavi_word unused2,
                                             tavi_word unused3, tavi_word unused4);
/* Stops and empties slot `slot` (0 to 255). 0, or -1 when no device is open. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_dsfree(tavi_word slot, tavi_word unused2, tavi_word unused3,
                                             tavi_word unused4);
/* Opens the pack text `packText`, then loads the wave image `name` of `size` bytes (plain, "TAVI"
 * or "tavi") into slot `slot`. 0 loaded, -1 failed (the slot is then empty). */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_dsload(tavi_word name, tavi_word size, tavi_word slot,
                                             tavi_word packText);
/* Opens the pack text `packText`, then loads wave `index` of the "TKWV" sound bank `name` into slot
 * `slot`. 0 loaded, -1 failed (the slot is then empty). */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_dsloadB(tavi_word name, tavi_word index, tavi_word slot,
                                              tavi_word packText);
/* Empties slot `dest`, then gives it a sound of its own sharing the samples of slot `source`.
 * 0, or -1 when no device is open. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_dsdup(tavi_word source, tavi_word dest, tavi_word unused3,
                                            tavi_word unused4);
/* Plays slot `slot` from byte `position`, looping when `loop` is not 0. 0, -1 (no device) or -2
 * (empty slot). */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_dsplay(tavi_word slot, tavi_word position, tavi_word loop,
                                             tavi_word unused4);
/* Stops slot `slot`, keeping its position. 0, or -1 when no device is open. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_dsstop(tavi_word slot, tavi_word unused2, tavi_word unused3,
                                             tavi_word unused4);
/* Stops every loaded slot. 0, or -1 when no device is open. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_dsstopall(tavi_word unused1, tavi_word unused2,
                                                tavi_word unused3, tavi_word unused4);
/* Minus the status flags of slot `slot` (1 playing, 2 buffer lost, 4 looping); 0 for none. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_dsstat(tavi_word slot, tavi_word unused2, tavi_word unused3,
                                             tavi_word unused4);
/* Sets the volume of slot `slot` in hundredths of a decibel (-10000 to 0). 0, or -1 (no device). */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_dssetvol(tavi_word slot, tavi_word volume, tavi_word unused3,
                                               tavi_word unused4);
/* Sets the pan of slot `slot` (-10000 left to 10000 right). 0, or -1 when no device is open. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_dssetpan(tavi_word slot, tavi_word pan, tavi_word unused3,
                                               tavi_word unused4);
/* Sets the rate of slot `slot` in Hz (0: the wave's own). 0, or -1 when no device is open. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_dssetfreq(tavi_word slot, tavi_word freq, tavi_word unused3,
                                                tavi_word unused4);
/* Minus the playback rate of slot `slot` in Hz; 0 without a device or for an empty slot. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_dsgetfreq(tavi_word slot, tavi_word unused2,
                                                tavi_word unused3, tavi_word unused4);
/* Minus the play cursor (a byte offset) of slot `slot`; the write cursor goes to the 32-bit
 * variable at `writeCursor` (may be null). 0, variable untouched, without a device or sound. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_dsgetpos(tavi_word writeCursor, tavi_word slot,
                                               tavi_word unused3, tavi_word unused4);

/* ---- Input and utilities: joystick, background map, files ------------------------------------ */

/* Polls joystick `id` (0 or 1; any other value is 0) and writes to *result its state word: 1 left,
 * 2 up, 4 right, 8 down, 16 to 128 buttons 1 to 4. A bit clear in bits 0 to 11 of `mask` is
 * reported only on the poll at which it turns on. A failed poll writes 0 and leaves the
 * joystick's last state. Returns 0. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_JoyGet(tavi_word result, tavi_word mask, tavi_word id,
                                             tavi_word unused4);
/* Registers the caller's background map: `columns` x `rows` bytes at `cells`, row after row, one
 * byte per 16 x 16-pixel cell. Returns 0. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_InitBGMAP(tavi_word cells, tavi_word columns, tavi_word rows,
                                                tavi_word unused4);
/* Returns -1 when one of the `count` pixel points (x, y pairs of 32-bit integers) lies on a map
 * cell whose value is at least the low 8 bits of `threshold`, else 0; stops at the first hit. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_ChkBGMAP(tavi_word points, tavi_word count,
                                               tavi_word threshold, tavi_word unused4);
/* Stores the low 8 bits of `value` in map cell (cx, cy) when it is inside the map. Returns 0. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_SetBGMAP(tavi_word cx, tavi_word cy, tavi_word value,
                                               tavi_word unused4);
/* Returns minus the value of map cell (cx, cy), or 0 outside the map. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_GetBGMAP(tavi_word cx, tavi_word cy, tavi_word unused3,
                                               tavi_word unused4);
/* Renames or moves the file `oldName` to `newName`, never replacing an existing file. Returns 0,
 * or -1 on failure. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_frename(tavi_word oldName, tavi_word newName,
                                              tavi_word unused3, tavi_word unused4);
/* Sets the attribute flags of `fileName` (1 read-only). Returns 0, or -1 on failure. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_fattrib(tavi_word unused1, tavi_word fileName,
                                              tavi_word attributes, tavi_word unused4);
/* Writes the attribute flags of `fileName` to *attributesOut (1 read-only, 2 hidden, 16 directory,
 * 32 archive, 128 normal). Returns 0, or -1 (nothing written) when the file cannot be read. */
TAVIKIT_API int32_t TAVIKIT_CALL tavi_fgetattr(tavi_word attributesOut, tavi_word fileName,
                                               tavi_word unused3, tavi_word unused4);

#ifdef __cplusplus
}
#endif

#endif /* TAVIKIT_H */
