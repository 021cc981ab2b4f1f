/* tavikit_exports.h - the library's export table.
 *
 * One line per exported name, grouped by subsystem. Both builds take their export lists from here:
 * the Win32 module-definition file is generated from it, the export checks compare the built
 * libraries with it, and hosts (the test harness among them) resolve every export by iterating it.
 *
 *   X(name)          an export with an entry point of its own
 *   A(name, entry)   an export that shares the entry point of `entry`
 */
#ifndef TAVIKIT_EXPORTS_H
#define TAVIKIT_EXPORTS_H

/* clang-format off */

#define TAVIKIT_FRAME_EXPORTS(X, A) \
  X(tavi_GetTaviVER) X(tavi_fset) X(tavi_tset) X(tavi_copyset) \
  X(tavi_gcopy) X(tavi_fillcopy) X(tavi_tilecopy)

#define TAVIKIT_BLEND_EXPORTS(X, A) \
  X(tavi_AlphaInit) X(tavi_addset) X(tavi_decset) X(tavi_edecset) \
  X(tavi_gcopya) X(tavi_gcopyf) X(tavi_gcopyfc) X(tavi_gcopyfr) X(tavi_gcopyfrc) \
  X(tavi_GFade) X(tavi_GFade2)

#define TAVIKIT_EFFECTS_EXPORTS(X, A) \
  X(tavi_gmozic) X(tavi_gmozice) X(tavi_gmozicn) X(tavi_mozcopy) \
  X(tavi_zoomcopy) X(tavi_polycopy) \
  X(tavi_rotset) X(tavi_rotpos) X(tavi_rotclip) X(tavi_rotcopy) \
  X(tavi_meshcpy) X(tavi_meshcopy) X(tavi_meshboxs) X(tavi_MeshBOX) \
  X(tavi_gcopy2) X(tavi_gcopy2e) X(tavi_HGCP320)

#define TAVIKIT_CELLS_EXPORTS(X, A) \
  X(chibi_Init) X(chibi_Compress) X(chibi_Free) X(chibi_GetInfo) X(chibi_AllFree) \
  X(chibi_Put) X(chibi_PutM) X(chibi_SetCLIP) X(chibi_Get) X(chibi_GetF) \
  X(chibi_LoadTK) X(chibi_LoadTKX)

#define TAVIKIT_PACK_EXPORTS(X, A) \
  X(tavi_dpminit) \
  X(tavi_PCP2Load) X(tavi_PCP2BLoad) X(tavi_GetTKXFormat) X(tavi_PCPDecode) \
  X(tavi_PCPDiffPos) A(tavi_PCPEncode, tavi_PCPDiffPos) A(tavi_PCPSaveA, tavi_PCPDiffPos) \
  A(tavi_PCPSaveD, tavi_PCPDiffPos) \
  X(tavi_DMSupportSet) X(tavi_DMSupportXOR)

#define TAVIKIT_SOUND_EXPORTS(X, A) \
  X(tavi_dsinit) X(tavi_dsexit) X(tavi_dsfree) \
  X(tavi_dsload) X(tavi_dsloadB) X(tavi_dsdup) \
  X(tavi_dsplay) X(tavi_dsstop) X(tavi_dsstopall) X(tavi_dsstat) \
  X(tavi_dssetvol) X(tavi_dssetpan) X(tavi_dssetfreq) X(tavi_dsgetfreq) X(tavi_dsgetpos)

#define TAVIKIT_INPUT_EXPORTS(X, A) \
  X(tavi_JoyGet) \
  X(tavi_InitBGMAP) X(tavi_ChkBGMAP) X(tavi_SetBGMAP) X(tavi_GetBGMAP) \
  X(tavi_frename) X(tavi_fattrib) X(tavi_fgetattr)

/* clang-format on */

#define TAVIKIT_EXPORTS(X, A)   \
  TAVIKIT_FRAME_EXPORTS(X, A)   \
  TAVIKIT_BLEND_EXPORTS(X, A)   \
  TAVIKIT_EFFECTS_EXPORTS(X, A) \
  TAVIKIT_CELLS_EXPORTS(X, A)   \
  TAVIKIT_PACK_EXPORTS(X, A)    \
  TAVIKIT_SOUND_EXPORTS(X, A)   \
  TAVIKIT_INPUT_EXPORTS(X, A)

#endif /* TAVIKIT_EXPORTS_H */
