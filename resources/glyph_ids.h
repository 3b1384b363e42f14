/* Resource ids of the toolbar's button faces (16 x 16 bitmaps, the transparent
   colour in the bottom-left pixel); shared by the resource script and the
   toolbar definition. */
#pragma once
#define IDB_GLYPH_SAVE 101
#define IDB_GLYPH_INSERT 102
#define IDB_GLYPH_OPTIONS 103
#define IDB_GLYPH_CUSTOMER 104
#define IDB_GLYPH_INFO 105
