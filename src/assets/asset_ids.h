// Resource ids of the pictures and sounds compiled into qinglan.exe. The resource
// compiler reads this file too, so it holds plain #defines only.
#ifndef QL_ASSETS_ASSET_IDS_H
#define QL_ASSETS_ASSET_IDS_H

// The program icon (16, 24, 32, 48 and 256 px): window, tray and file icon.
#define ICON_PROGRAM 129

// RCDATA pictures and sounds, read with assetBytes(id).
// Skin picture used when none is chosen: JPEG, 312 x 653.
#define ASSET_DEFAULT_SKIN 200

// Caption buttons, PNG with alpha, one picture per state. Minimise is
// 39 x 20, settings and skin are 28 x 20.
#define ASSET_MINIMISE_NORMAL 210
#define ASSET_MINIMISE_HOVER 211
#define ASSET_MINIMISE_PRESSED 212
#define ASSET_SETTINGS_NORMAL 213
#define ASSET_SETTINGS_HOVER 214
#define ASSET_SETTINGS_PRESSED 215
#define ASSET_SKIN_NORMAL 216
#define ASSET_SKIN_HOVER 217
#define ASSET_SKIN_PRESSED 218

// The adjustment frame's "自定义动画" button, PNG 28 x 20.
#define ASSET_MOVIE_NORMAL 219
#define ASSET_MOVIE_HOVER 223
#define ASSET_MOVIE_PRESSED 224

// Page-button pictures, PNG 72 x 72 drawn at the button's top-left: a 40 x 40
// tile at (16, 6) with its shadow; rows 52..71 are clear for the caption.
#define ASSET_PAGE_APPS 220
#define ASSET_PAGE_FLASH 221
#define ASSET_PAGE_TASKS 222

// List-mode check box, PNG 18 x 18.
#define ASSET_LIST_MODE_OFF 230
#define ASSET_LIST_MODE_ON 231

// The skin chooser's mark on the selected thumbnail, PNG 20 x 20.
#define ASSET_SKIN_MARKER 240

// Sounds. The spoken time's fifteen clips, each a WAVE file behind an 8-byte
// prefix, one after another; the default ring, a standard MIDI file.
#define ASSET_SPOKEN_CLIPS 250
#define ASSET_DEFAULT_RING 251

#endif
