/* Resource ids of the button faces (the transparent colour in the bottom-left
   pixel); shared by the resource script and the toolbar and ribbon definitions. */
#pragma once
#define IDB_GLYPH_SAVE 101
#define IDB_GLYPH_INSERT 102
#define IDB_GLYPH_OPTIONS 103
#define IDB_GLYPH_CUSTOMER 104
#define IDB_GLYPH_INFO 105
/* The ribbon's: 32 x 32 (256 colours and 24-bit) and 16 x 16 (32-bit with alpha). */
#define IDB_RIBBON_SAVE 111
#define IDB_RIBBON_INSERT 112
#define IDB_RIBBON_OPTIONS 113
#define IDB_RIBBON_CUSTOMER 114
#define IDB_RIBBON_INFO 115
