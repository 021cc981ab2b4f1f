// The gallery's pictures, as data: the screens the scripts draw on, the scene every picture
// starts from, and for each drawing command the views shown before and after its script and the
// areas outlined on them.
#pragma once

#include <array>
#include <cstdint>

namespace tavitool::gallery {

// The screens the scripts choose with gsel: 0 the day at full size, 1 the day scene (with a
// crate), 2 the night scene, 3 the sprite sheet (the logo at 96, 128), 4 the day at half size,
// 5 an empty full-size screen, 6 the logo alone on an empty scene, 7 the night at full size.
struct ScreenSize {
  int32_t w, h;
};
inline constexpr ScreenSize kScreens[] = {{640, 480}, {128, 96},  {128, 96}, {256, 192},
                                          {320, 240}, {640, 480}, {128, 96}, {640, 480}};

// The scene, drawn once through the same exports; every picture starts from it.
inline constexpr const char* kScene[] = {
    R"(gsel 0 : pos 0, 0 : tavi_PCP2Load "day.tk", 0, "game.exe,4096")",
    R"(gsel 7 : pos 0, 0 : tavi_PCP2Load "night.tk", 0, "game.exe,4096")",
    R"(gsel 3 : pos 0, 0 : tavi_PCP2BLoad "sprites.tkx", 0, "game.exe,4096")",
    R"(pos 96, 128 : tavi_PCP2BLoad "sprites.tkx", 1, "game.exe,4096")",
    R"(gsel 6 : pos 16, 24 : tavi_PCP2BLoad "sprites.tkx", 1, "game.exe,4096")",
    "tavi_copyset 0, 0, 640, 480 : gsel 0 : tavi_fset",
    "gsel 1 : tavi_tset : pos 0, 0 : tavi_zoomcopy 128, 96, -1, -1",
    "gsel 4 : tavi_tset : pos 0, 0 : tavi_zoomcopy 320, 240, -1, -1",
    "gsel 7 : tavi_fset : gsel 2 : tavi_tset : pos 0, 0 : tavi_zoomcopy 128, 96, -1, -1",
    "gsel 3 : tavi_fset : gsel 1 : tavi_tset : pos 92, 52 : tavi_gcopy 128, 0, 32, 32",
};

// An area of a screen shown in a picture.
struct View {
  int screen;
  int32_t x, y, w, h;
};
constexpr View Whole(int screen) { return {screen, 0, 0, kScreens[screen].w, kScreens[screen].h}; }

// A rectangle of a screen outlined on its view; none when w is 0.
struct Area {
  int32_t x, y, w, h;
};

struct Picture {
  const char* name;                     // the export it shows: the file is NAME.png
  View before;                          // taken before the script runs
  View after;                           // taken after
  int32_t scale = 3;                    // both views are drawn this many times larger
  std::array<const char*, 3> script{};  // its lines, then null
  Area read{}, written{};               // outlined on the views before and after
};

inline constexpr View kCharacter = {3, 0, 0, 32, 32};
inline constexpr View kStar = {3, 0, 120, 64, 64};
inline constexpr View kLogo = {3, 96, 128, 96, 48};

// One picture of every drawing command.
inline constexpr Picture kPictures[] = {
    {.name = "tavi_gcopy",
     .before = Whole(1),
     .after = Whole(2),
     .script = {"gsel 1 : tavi_fset : gsel 2 : tavi_tset", "pos 8, 40 : tavi_gcopy 72, 40, 56, 48"},
     .read = {72, 40, 56, 48},
     .written = {8, 40, 56, 48}},
    {.name = "tavi_tilecopy",
     .before = {3, 128, 0, 32, 32},
     .after = Whole(2),
     .script = {"gsel 3 : tavi_fset : gsel 2 : tavi_tset : tavi_copyset 128, 0, 32, 32",
                "pos 8, 8 : tavi_tilecopy 112, 48, 8, 4"},
     .written = {8, 8, 112, 48}},
    {.name = "tavi_fillcopy",
     .before = Whole(0),
     .after = Whole(5),
     .scale = 1,
     .script = {"gsel 0 : tavi_fset : gsel 5 : tavi_tset",
                "pos 0, 0 : tavi_fillcopy 240, 160, 0, 0"}},
    {.name = "tavi_gcopya",
     .before = kStar,
     .after = Whole(2),
     .script = {"gsel 3 : tavi_fset : tavi_copyset 0, 120, 64, 64",
                "gsel 2 : tavi_AlphaInit 256, 0, 0 : tavi_addset 255, 255, 255",
                "pos 24, 12 : tavi_gcopya"},
     .written = {24, 12, 64, 64}},
    {.name = "tavi_gcopyf",
     .before = kLogo,
     .after = Whole(1),
     .script = {"gsel 3 : tavi_fset : tavi_copyset 96, 128, 96, 48",
                "gsel 1 : tavi_AlphaInit 256, 0, 0 : pos 48, 8 : tavi_gcopyf 144"},
     .written = {48, 8, 96, 48}},
    {.name = "tavi_gcopyfc",
     .before = kLogo,
     .after = Whole(1),
     .script = {"gsel 3 : tavi_fset : tavi_copyset 96, 128, 96, 48",
                "gsel 1 : tavi_AlphaInit 256, 0, 0 : pos 16, 8 : tavi_gcopyfc 144, 0"},
     .written = {16, 8, 96, 48}},
    {.name = "tavi_gcopyfr",
     .before = Whole(2),
     .after = Whole(1),
     .script = {"gsel 2 : tavi_fset : tavi_copyset 0, 0, 128, 96",
                "gsel 1 : tavi_AlphaInit 256, 0, 0 : pos 0, 0 : tavi_gcopyfr 96"}},
    {.name = "tavi_gcopyfrc",
     .before = kCharacter,
     .after = Whole(2),
     .script = {"gsel 3 : tavi_fset : tavi_copyset 0, 0, 32, 32",
                "gsel 2 : tavi_AlphaInit 256, 0, 0 : pos 48, 52 : tavi_gcopyfrc 128, 0"},
     .written = {48, 52, 32, 32}},
    {.name = "tavi_GFade",
     .before = Whole(1),
     .after = Whole(2),
     .script = {"gsel 1 : tavi_fset : gsel 2 : tavi_tset : tavi_copyset 0, 0, 128, 96",
                "pos 0, 0 : tavi_GFade 96, -1"}},
    {.name = "tavi_GFade2",
     .before = Whole(1),
     .after = Whole(2),
     .script = {"gsel 1 : tavi_fset : gsel 2 : tavi_tset : tavi_copyset 0, 0, 127, 96",
                "sdim pat, 16 : poke pat, 0, 1 : poke pat, 1, 1 : poke pat, 2, 1 : poke pat, 3, 1",
                "pos 0, 0 : tavi_GFade2 pat"}},
    {.name = "tavi_gmozic",
     .before = Whole(1),
     .after = Whole(1),
     .script = {"gsel 1 : pos 16, 8 : tavi_gmozic 12, 10, 8"},
     .read = {16, 8, 96, 80},
     .written = {16, 8, 96, 80}},
    {.name = "tavi_gmozice",
     .before = Whole(1),
     .after = Whole(1),
     .script = {"gsel 1 : tavi_AlphaInit 256, 0, 0 : pos 16, 8 : tavi_gmozice 12, 10, 8"},
     .read = {16, 8, 96, 80},
     .written = {16, 8, 96, 80}},
    {.name = "tavi_gmozicn",
     .before = Whole(1),
     .after = Whole(1),
     .script = {"gsel 1 : tavi_AlphaInit 256, 0, 0 : pos 16, 8 : tavi_gmozicn 12, 10, 8"},
     .read = {16, 8, 96, 80},
     .written = {16, 8, 96, 80}},
    {.name = "tavi_mozcopy",
     .before = Whole(1),
     .after = Whole(2),
     .script = {"gsel 1 : tavi_fset : pos 16, 8 : gsel 2 : tavi_tset : pos 16, 8",
                "tavi_mozcopy 100, 80, 12, -1"},
     .read = {16, 8, 100, 80},
     .written = {16, 8, 100, 80}},
    {.name = "tavi_zoomcopy",
     .before = kCharacter,
     .after = Whole(1),
     .script = {"gsel 3 : tavi_fset : gsel 1 : tavi_tset : tavi_copyset 0, 0, 32, 32",
                "pos 4, 4 : tavi_zoomcopy 88, 88, -1, 0"},
     .written = {4, 4, 88, 88}},
    {.name = "tavi_polycopy",
     .before = Whole(1),
     .after = Whole(2),
     .script = {"gsel 1 : tavi_fset : gsel 2 : tavi_tset : tavi_copyset 0, 0, 128, 96",
                "pos 0, 40 : tavi_polycopy 128, 56, 48, 0"},
     .written = {0, 40, 128, 56}},
    {.name = "tavi_rotcopy",
     .before = kCharacter,
     .after = Whole(1),
     .script = {"gsel 3 : tavi_fset : gsel 1 : tavi_tset",
                "tavi_rotpos 0, 0, 32, 32 : tavi_rotclip 0, 0, 32, 32 : tavi_rotset -1, -1, 160",
                "pos 8, 8 : tavi_rotcopy 80, 80, -1, 0"},
     .written = {8, 8, 80, 80}},
    {.name = "tavi_meshcpy",
     .before = Whole(1),
     .after = Whole(2),
     .script = {"gsel 1 : tavi_fset : gsel 2 : tavi_tset",
                "pos 16, 16 : tavi_meshcpy 16, 16, 96, 64"},
     .read = {16, 16, 96, 64},
     .written = {16, 16, 96, 64}},
    {.name = "tavi_meshcopy",
     .before = kCharacter,
     .after = Whole(2),
     .script = {"gsel 3 : tavi_fset : pos 0, 0 : gsel 2 : tavi_tset : pos 48, 52",
                "tavi_meshcopy 32, 32, 0"},
     .written = {48, 52, 32, 32}},
    {.name = "tavi_meshboxs",
     .before = Whole(1),
     .after = Whole(1),
     .script = {"gsel 1 : tavi_tset : pos 8, 8 : tavi_meshboxs 112, 32, 0"},
     .read = {8, 8, 112, 32},
     .written = {8, 8, 112, 32}},
    {.name = "tavi_MeshBOX",
     .before = Whole(1),
     .after = Whole(1),
     .script = {"gsel 1 : pos -7, 40 : tavi_MeshBOX 72, 64, 1"},
     .read = {-7, 40, 72, 64},
     .written = {-7, 40, 72, 64}},
    {.name = "tavi_gcopy2",
     .before = {3, 0, 0, 64, 32},
     .after = Whole(2),
     .script = {"gsel 3 : tavi_fset : gsel 2 : tavi_tset : tavi_copyset 0, 0, 64, 32",
                "pos 24, 52 : tavi_gcopy2 0"},
     .written = {24, 52, 64, 32}},
    {.name = "tavi_gcopy2e",
     .before = kStar,
     .after = Whole(1),
     .script = {"gsel 3 : tavi_fset : gsel 1 : tavi_tset : tavi_copyset 0, 120, 64, 64",
                "pos -24, -20 : tavi_gcopy2e 0"},
     .written = {-24, -20, 64, 64}},
    {.name = "tavi_HGCP320",
     .before = {4, 216, 8, 64, 48},
     .after = {5, 432, 16, 128, 96},
     .script = {"gsel 4 : tavi_fset : gsel 5 : tavi_tset : tavi_HGCP320 1"}},
    {.name = "chibi_Put",
     .before = kCharacter,
     .after = Whole(2),
     .script = {"gsel 3 : pos 0, 0 : chibi_Get 10, 32, 32",
                "gsel 2 : pos 16, 52 : chibi_Put 10, 0 : pos 72, 52 : chibi_Put 10, 1"}},
    {.name = "chibi_PutM",
     .before = {3, 32, 0, 32, 32},
     .after = Whole(2),
     .script = {"gsel 3 : pos 32, 0 : chibi_Get 11, 32, 32 : chibi_SetCLIP 0, 0, 72, 72",
                "gsel 2 : pos 48, 52 : chibi_PutM 11, 0"},
     .written = {0, 0, 72, 72}},
    {.name = "tavi_PCP2Load",
     .before = Whole(1),
     .after = Whole(1),
     .script = {R"(gsel 1 : pos -400, -24 : tavi_PCP2Load "night.tk", 0, "game.exe,4096")"}},
    {.name = "tavi_PCP2BLoad",
     .before = Whole(1),
     .after = Whole(1),
     .script = {R"(gsel 1 : pos 16, 24 : tavi_PCP2BLoad "sprites.tkx", 1, "game.exe,4096")"},
     .written = {16, 24, 96, 48}},
    {.name = "tavi_DMSupportXOR",
     .before = Whole(6),
     .after = Whole(1),
     .script = {"gsel 6 : mref key, 66 : gsel 1 : mref vram, 66 : tavi_DMSupportSet vram",
                "tavi_DMSupportXOR key, 12288"}},
};

}  // namespace tavitool::gallery
